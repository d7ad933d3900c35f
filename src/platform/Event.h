#pragma once
// A manual-reset event: stays set until a taker resets it. Its state is
// guarded by the host, so that a virtual-time host can tell a waiting worker
// from a running one.
#include "platform/Host.h"

class TEvent {
  public:
    explicit TEvent(THost& host = Host()) : FHost(host) {}
    TEvent(const TEvent&) = delete;
    TEvent& operator=(const TEvent&) = delete;

    void SetEvent() { FHost.SetEvent(*this); }
    void ResetEvent() { FHost.ResetEvent(*this); }
    // timeoutMs < 0 waits without limit.
    TWaitResult WaitFor(int32_t timeoutMs) { return FHost.WaitForEvent(*this, timeoutMs); }

    // Host side only, under the host's lock.
    bool FSignaled = false;

  private:
    THost& FHost;
};
