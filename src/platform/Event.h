#pragma once
// A manual-reset event: stays set until a taker resets it. Its state is
// guarded by the installed host, so that a virtual-time host can tell a
// waiting worker from a running one.
#include "platform/Host.h"

class TEvent {
  public:
    TEvent() = default;
    TEvent(const TEvent&) = delete;
    TEvent& operator=(const TEvent&) = delete;

    void SetEvent() { Host().SetEvent(*this); }
    void ResetEvent() { Host().ResetEvent(*this); }
    // timeoutMs < 0 waits without limit.
    TWaitResult WaitFor(int32_t timeoutMs) { return Host().WaitForEvent(*this, timeoutMs); }

  private:
    friend class THost;
    bool FSignaled = false; // under the host's lock
};
