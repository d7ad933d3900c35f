#pragma once
// THost: everything the instrument side needs from the machine it runs on:
// GUI-thread timers, the millisecond tick count, the worker's sleep and timed
// waits, Synchronize, the error message box and the wall clock.
//
// Two implementations: the Qt one of the program (real time, a queued call
// the GUI thread serves) and TVirtualHost for tests and the headless runner,
// where time passes only when the driver advances it. Everything that can
// block or depends on time goes through here, so that a 60-second power-off
// costs a test microseconds and every run is deterministic.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class TEvent;
class TThread;

enum class TWaitResult { Signaled, Timeout };

// A GUI-thread timer as the host provides it: Start (re)arms it to fire every
// ms milliseconds from now, Stop disarms it. The callback runs in the GUI thread.
class TTimerBackend {
  public:
    virtual ~TTimerBackend() = default;
    virtual void Start(uint32_t ms) = 0;
    virtual void Stop() = 0;
};

class THost {
  public:
    virtual ~THost() = default;

    // Milliseconds since an arbitrary start, wrapping at 2^32.
    virtual uint32_t GetTickCount() = 0;
    // The local date and time as days since 1899-12-30 with the time of day as fraction.
    virtual double Now() = 0;
    // Blocks the calling (worker) thread for ms milliseconds, or until the
    // worker's TThread is asked to stop (Terminate), whichever comes first.
    virtual void Sleep(uint32_t ms) = 0;

    // Manual-reset event operations; the event's state is guarded by the host.
    virtual void SetEvent(TEvent& event) = 0;
    virtual void ResetEvent(TEvent& event) = 0;
    // timeoutMs < 0 waits without limit.
    virtual TWaitResult WaitForEvent(TEvent& event, int32_t timeoutMs) = 0;

    // Worker threads report their start (before the OS thread exists) and end.
    virtual void ThreadStarting(TThread& thread) = 0;
    virtual void ThreadFinished(TThread& thread) = 0;
    // Called in the GUI thread: returns when the thread has finished, serving
    // its Synchronize calls meanwhile.
    virtual void WaitForThread(TThread& thread) = 0;
    // Runs fn in the GUI thread and returns when it has run; called from the
    // GUI thread itself it runs fn at once.
    virtual void Synchronize(const std::function<void()>& fn) = 0;

    virtual std::unique_ptr<TTimerBackend> CreateTimer(std::function<void()> onFire) = 0;

    // The error message box: application title as caption, error icon. Any
    // thread; returns when the user has dismissed it. The caller must hold no
    // lock the GUI thread may take.
    virtual void ShowErrorMessage(const std::string& text) = 0;

  protected:
    // The state of events and threads that an implementation guards with its
    // own lock.
    static bool& Signaled(TEvent& event);
    static bool& Finished(TThread& thread);
};

// The host of this process: the one way everything reaches it. Installed by
// the program's entry, a test fixture or the headless runner for the life of
// a THostInstall, which must outlive every timer, event, thread and device
// created under it; nothing keeps a reference of its own.
THost& Host();

class THostInstall {
  public:
    explicit THostInstall(THost& host);
    ~THostInstall();
    THostInstall(const THostInstall&) = delete;
    THostInstall& operator=(const THostInstall&) = delete;

  private:
    THost* FPrevious;
};

// Convenience for the instrument side.
inline uint32_t GetTickCount() {
    return Host().GetTickCount();
}
inline void Sleep(uint32_t ms) {
    Host().Sleep(ms);
}

// The date and time the instrument reads: the host's clock moved by a shift
// (days) that the instrument's owner sets, 0 unless a trend exercise has
// moved the instrument to one of its visit dates. Any thread.
double InstrumentNow();
void SetInstrumentDateShift(double days);
double InstrumentDateShift();
