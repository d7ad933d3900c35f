#pragma once
// A timer that fires in the GUI thread. Like the class library's: changing
// Enabled or Interval re-arms it from now, so disabling and enabling starts a
// full interval anew; it runs only while enabled, with a non-zero interval
// and a handler.
#include "platform/Host.h"

#include <functional>
#include <memory>

class TTimer {
  public:
    TTimer();

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);
    uint32_t Interval() const { return FInterval; }
    void SetInterval(uint32_t ms);
    void SetOnTimer(std::function<void()> handler);

    int Tag = 0;

  private:
    void UpdateTimer();
    void Fire();

    bool FEnabled = true;
    uint32_t FInterval = 1000;
    std::function<void()> FOnTimer;
    std::unique_ptr<TTimerBackend> FBackend;
};
