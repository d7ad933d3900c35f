#pragma once
// Classifies presses of the two keys by their timing into key event codes.
// GUI thread only. One key is tracked at a time: the first key pressed; a
// second key is either the both-keys event or ignored, and any release ends
// the press.
#include "device/KeyCodes.h"
#include "platform/Timer.h"

#include <cstdint>
#include <functional>
#include <memory>

// Sees each press and release as a front end feeds it in, before it is
// classified: a recorder keeps them with their times. GUI thread; the
// observer must outlive its registration.
class TKeyInputObserver {
  public:
    virtual void KeyDown(int16_t key) = 0;
    virtual void KeyUp() = 0;
    // The user moved the pointer over the instrument (or otherwise used it
    // without a key) while it was on: its power-off count started anew.
    virtual void KeepAlive() {}

  protected:
    ~TKeyInputObserver() = default;
};

struct TKeyButtons {
    // First fires 1100 ms after a press, then every 50 ms; its Tag is the
    // repeat flag (1 once it has fired for the current press).
    std::unique_ptr<TTimer> RepeatTimer;
    uint32_t PressTick = 0;
    int16_t HeldKey = 0; // 1 or 2; 0 when none
    std::function<void(int16_t)> OnKeyEvent;
    TKeyInputObserver* InputObserver = nullptr; // not owned; null when nobody listens
};

void ButtonsInit(TKeyButtons& buttons);
void ButtonsFree(TKeyButtons& buttons);
// Back to idle without an event.
void ButtonsReset(TKeyButtons& buttons);
void ButtonDown(TKeyButtons& buttons, int16_t key);
void ButtonUp(TKeyButtons& buttons);
void RepeatTimerTimer(TKeyButtons& buttons);
