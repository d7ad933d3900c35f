#pragma once
// TCaptionStrip: the key captions under the instrument, for an audience. It
// shows the last few key events the instrument received in large type, the
// newest at the bottom right, each fading out a few seconds after it came. Its
// fading runs on a host timer, so tests drive it in virtual time. It takes no
// mouse input: clicks pass on to the window. GUI thread.
#include "platform/Timer.h"
#include "recording/KeyCaptions.h"

#include <QWidget>

#include <functional>

class TCaptionStrip : public QWidget {
  public:
    TCaptionStrip(QWidget* parent, QRect geometry);

    // The type and its margins at halves of their designed size (2: 1x).
    void SetSize(int halves);
    // A key event as the key classifier sends it to the instrument.
    void KeyEvent(int16_t code);
    // The captions as they look now, oldest first (for the accessible name
    // and the tests).
    std::vector<TKeyCaption> Shown() const;
    // After the captions' look changed (a key event, a fade step, one gone).
    std::function<void()> OnChanged;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void Restart();

    int FHalves = 2;
    TKeyCaptions FCaptions;
    TTimer FTimer;
};
