#pragma once
// A worker thread in the manner of the class library: the owner creates it,
// Start runs Execute on a new thread, Terminate asks it to stop, WaitFor (GUI
// thread) waits for the end while serving Synchronize. The owner frees it.
//
// Terminate also ends the thread's current and later host sleeps at once: a
// worker asked to stop in the middle of a long pause (a 5-second acquisition)
// goes on with its work instead of holding up its owner's WaitFor.
#include "platform/Event.h"
#include "platform/Host.h"

#include <atomic>
#include <exception>
#include <functional>
#include <thread>

class TThread {
  public:
    TThread() = default;
    virtual ~TThread();
    TThread(const TThread&) = delete;
    TThread& operator=(const TThread&) = delete;

    void Start();
    void Terminate() {
        FTerminated.store(true);
        FStopRequest.SetEvent();
    }
    bool Terminated() const { return FTerminated.load(); }
    // GUI thread: returns when Execute has ended.
    void WaitFor();

    // An exception Execute let through; it ended the thread.
    std::exception_ptr FatalException() const { return FFatalException; }

    // The TThread whose Execute runs on the calling thread, or null.
    static TThread* Current();
    // Set by Terminate, never reset: hosts end the thread's sleeps on it.
    TEvent& StopRequest() { return FStopRequest; }

  protected:
    virtual void Execute() = 0;
    void Synchronize(const std::function<void()>& fn) { Host().Synchronize(fn); }

  private:
    void Run();

    friend class THost;
    bool FFinished = false; // under the host's lock
    TEvent FStopRequest;
    std::atomic<bool> FTerminated{false};
    std::exception_ptr FFatalException;
    std::thread FThread;
};
