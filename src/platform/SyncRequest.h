#pragma once
// One Synchronize call waiting in a host's queue: the worker that asked owns
// it and waits until Done; the GUI side (or the test driver) runs it.
#include <exception>
#include <functional>
#include <mutex>

struct TSyncRequest {
    const std::function<void()>* Fn;
    bool Done = false;
    std::exception_ptr Error;
};

// Runs request with lock released, so that the function may itself call into
// the host, and marks it done under lock again. An exception is kept for the
// worker that asked, which raises it again, as the class library does. The
// caller wakes the worker.
inline void RunSyncRequest(TSyncRequest& request, std::unique_lock<std::mutex>& lock) {
    lock.unlock();
    std::exception_ptr error;
    try {
        (*request.Fn)();
    } catch (...) {
        error = std::current_exception();
    }
    lock.lock();
    request.Error = error;
    request.Done = true;
}
