#pragma once
// A plain lock. Held only briefly and never across a wait for the other thread.
#include <mutex>

class TCriticalSection {
  public:
    void Enter() { FMutex.lock(); }
    void Leave() { FMutex.unlock(); }
    // So that std::lock_guard and std::unique_lock work with it.
    void lock() { Enter(); }
    void unlock() { Leave(); }

  private:
    std::mutex FMutex;
};
