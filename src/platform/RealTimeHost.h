#pragma once
// The real-time half of a host: steady tick count, real sleeps and timed
// waits, the local clock, and a Synchronize queue that the GUI thread serves.
// A GUI front end derives from it and adds timers, the message box and a way
// to have its event loop call ServeSynchronize.
#include "platform/Host.h"
#include "platform/SyncRequest.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

class TRealTimeHost : public THost {
  public:
    // The constructing thread is the GUI thread.
    TRealTimeHost();

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

    // GUI thread: runs every queued Synchronize call.
    void ServeSynchronize();

  protected:
    bool IsGuiThread() const { return std::this_thread::get_id() == FGuiThread; }
    // Called (from a worker) after a Synchronize call was queued.
    virtual void NotifyGuiThread() {}

  private:
    using TRequest = TSyncRequest;
    void ServeOne(std::unique_lock<std::mutex>& lock);

    const std::thread::id FGuiThread;
    std::mutex FMutex;
    std::condition_variable FChanged;
    std::deque<TRequest*> FQueue;
};
