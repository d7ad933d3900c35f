#pragma once
// A worker thread in the manner of the class library: the owner creates it,
// Start runs Execute on a new thread, Terminate asks it to stop, WaitFor (GUI
// thread) waits for the end while serving Synchronize. The owner frees it.
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
    void Terminate() { FTerminated.store(true); }
    bool Terminated() const { return FTerminated.load(); }
    // GUI thread: returns when Execute has ended.
    void WaitFor();

    // An exception Execute let through; it ended the thread.
    std::exception_ptr FatalException() const { return FFatalException; }

  protected:
    virtual void Execute() = 0;
    void Synchronize(const std::function<void()>& fn) { Host().Synchronize(fn); }

  private:
    void Run();

    friend class THost;
    bool FFinished = false; // under the host's lock
    std::atomic<bool> FTerminated{false};
    std::exception_ptr FFatalException;
    std::thread FThread;
};
