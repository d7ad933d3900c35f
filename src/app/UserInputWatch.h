#pragma once
// Sees every input a person makes anywhere in the program (a key press, a
// click, the wheel, a touch, a pointer that really moved) before the control
// it goes to, and reports it: the kiosk hands the instrument over and counts
// idle time from it, and a playback stops at it. Installed on the
// application while it lives. GUI thread.
#include <QObject>
#include <QPointF>

#include <functional>

class TUserInputWatch : public QObject {
  public:
    explicit TUserInputWatch(std::function<void()> onInput, QObject* parent = nullptr);
    ~TUserInputWatch() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::function<void()> FOnInput;
    // Qt repeats a move at the same place when what lies under the pointer
    // changes; only a move to elsewhere is a person.
    QPointF FLastPointer{-1e9, -1e9};
};
