#pragma once
// The tooltip that explains the LCD region under the pointer. Unlike Qt's
// own tooltip it shows at once, stays up for as long as the pointer rests
// on the region, and goes the moment the window says so: the window moves,
// changes and hides it on every pointer move and every LCD repaint.
#include <QLabel>

class TScreenHintWindow : public QLabel {
  public:
    // parent: the window whose input drives the hint.
    explicit TScreenHintWindow(QWidget* parent);

    // Shows text level with the pointer at globalPos and clear of keepClear
    // (global coordinates), the picture the text is about: just below it, or
    // just above it where the screen ends below. An empty text hides the
    // hint.
    void ShowAt(QPoint globalPos, const QString& text, const QRect& keepClear);
    // The text at halves of the tooltip's size (2: as the system's tooltips),
    // for an audience.
    void SetSize(int halves);

  protected:
    void paintEvent(QPaintEvent* event) override;
};
