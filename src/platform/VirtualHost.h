#pragma once
// A host whose time stands still until its driver advances it.
//
// The driver's thread plays the GUI thread: it fires timers and serves
// Synchronize calls and message boxes. Worker threads run freely between
// waits; the host counts the workers that are not blocked in one of its
// waits, so "idle" (every worker waits, nothing queued) is exact and every
// run is deterministic. Timers fire in time order (ties in the order they
// were armed); after each timer, and after each wake-up of a worker, the
// driver lets the workers settle before it goes on.
#include "platform/Host.h"
#include "platform/SyncRequest.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <list>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TVirtualHost : public THost {
  public:
    TVirtualHost();
    ~TVirtualHost() override;

    // --- THost ---
    uint32_t GetTickCount() override;
    double Now() override;
    void Sleep(uint32_t ms) override;
    void SetEvent(TEvent& event) override;
    void ResetEvent(TEvent& event) override;
    TWaitResult WaitForEvent(TEvent& event, int32_t timeoutMs) override;
    void ThreadStarting(TThread& thread) override;
    void ThreadFinished(TThread& thread) override;
    void WaitForThread(TThread& thread) override;
    void Synchronize(const std::function<void()>& fn) override;
    std::unique_ptr<TTimerBackend> CreateTimer(std::function<void()> onFire) override;
    void ShowErrorMessage(const std::string& text) override;

    // --- driver (the thread that created the host) ---
    // Lets the workers run until each waits, serving their Synchronize calls.
    void RunUntilIdle();
    // Moves time forward by ms, firing timers and ending timed waits in order.
    void Advance(uint32_t ms);
    // Advances time until a worker waits for an event (a key), at most limitMs.
    // False when the limit passed or nothing is left that could ever happen.
    bool RunUntilEventWait(uint32_t limitMs);
    // Virtual milliseconds since the host was created.
    uint64_t Elapsed();
    // How often the workers have used time (read the clock or the tick
    // count, slept, waited with a time-out) or shown a message. Equal counts
    // before and after a stretch of time mean the workers only answered
    // events in it, whenever those came.
    uint64_t TimeUses();
    // Moves time forward by ms at once, as if the last ms had passed again
    // exactly: every armed timer and timed wait moves with it, nothing fires.
    // For a driver that has found the workers going round a cycle of states
    // driven by a periodic timer, to skip whole cycles. Call while idle.
    void SkipAhead(uint64_t ms);
    // The tick count at Elapsed() == 0, to test wrap-around.
    void SetTickBase(uint32_t base);
    // The wall clock at Elapsed() == 0.
    void SetClock(double dateTime);
    // Makes each worker Sleep(ms) last ms + overrun(ms), as a real scheduler
    // wakes a thread late; for drivers that stand in for a real-time session.
    // Set before the workers sleep; an empty function restores exact pauses.
    void SetSleepOverrun(std::function<uint32_t(uint32_t ms)> overrun);

    // Every error message shown, in order.
    std::vector<std::string> Messages();
    // Runs in the driver's thread while a message box is "open".
    std::function<void(const std::string&)> OnMessageBox;

  private:
    class TVirtualTimer;
    struct TWaiter {
        TEvent* Event; // for Sleep: the thread's stop request, or null
        uint64_t Deadline;
        bool Woken = false;
        TWaitResult Result = TWaitResult::Timeout;
        bool Sleeping = false; // a pause, not a wait for an event
    };
    using TRequest = TSyncRequest;

    bool IsDriverThread() const { return std::this_thread::get_id() == FDriver; }
    void RequireWorkerThread(const char* what) const;
    TWaitResult Block(std::unique_lock<std::mutex>& lock, TWaiter& waiter);
    void SettleLocked(std::unique_lock<std::mutex>& lock);
    void ServeOne(std::unique_lock<std::mutex>& lock);
    uint64_t NextDueLocked() const;
    void WakeExpiredLocked();
    void FireDueTimers();
    void StepTo(uint64_t time);
    void RecordMessage(const std::string& text);

    const std::thread::id FDriver;
    std::mutex FMutex;
    std::condition_variable FChanged;
    uint64_t FNow = 0;
    uint32_t FTickBase = 0;
    double FClock;
    std::function<uint32_t(uint32_t)> FSleepOverrun;
    int FRunning = 0;
    uint64_t FArmSequence = 0;
    uint64_t FTimeUses = 0;
    std::list<TWaiter*> FWaiters;
    std::deque<TRequest*> FQueue;
    std::vector<TVirtualTimer*> FTimers;
    std::vector<std::string> FMessages;
};
