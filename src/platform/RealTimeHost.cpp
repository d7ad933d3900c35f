#include "platform/RealTimeHost.h"

#include "platform/DateTime.h"
#include "platform/Event.h"
#include "platform/Thread.h"

#include <chrono>

TRealTimeHost::TRealTimeHost() : FGuiThread(std::this_thread::get_id()) {}

uint32_t TRealTimeHost::GetTickCount() {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
    return static_cast<uint32_t>(static_cast<uint64_t>(ms.count()));
}

double TRealTimeHost::Now() {
    return CurrentLocalDateTime();
}

void TRealTimeHost::Sleep(uint32_t ms) {
    TThread* self = TThread::Current();
    if (self == nullptr) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
    }
    std::unique_lock lock(FMutex);
    TEvent& stop = self->StopRequest();
    FChanged.wait_for(lock, std::chrono::milliseconds(ms), [&] { return Signaled(stop); });
}

void TRealTimeHost::SetEvent(TEvent& event) {
    std::lock_guard lock(FMutex);
    Signaled(event) = true;
    FChanged.notify_all();
}

void TRealTimeHost::ResetEvent(TEvent& event) {
    std::lock_guard lock(FMutex);
    Signaled(event) = false;
}

TWaitResult TRealTimeHost::WaitForEvent(TEvent& event, int32_t timeoutMs) {
    std::unique_lock lock(FMutex);
    const auto signaled = [&] { return Signaled(event); };
    if (timeoutMs < 0) {
        FChanged.wait(lock, signaled);
        return TWaitResult::Signaled;
    }
    return FChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs), signaled) ? TWaitResult::Signaled
                                                                                   : TWaitResult::Timeout;
}

void TRealTimeHost::ThreadStarting(TThread&) {}

void TRealTimeHost::ThreadFinished(TThread& thread) {
    std::lock_guard lock(FMutex);
    Finished(thread) = true;
    FChanged.notify_all();
}

void TRealTimeHost::WaitForThread(TThread& thread) {
    std::unique_lock lock(FMutex);
    while (!Finished(thread)) {
        if (!FQueue.empty()) {
            ServeOne(lock);
            continue;
        }
        FChanged.wait(lock);
    }
}

void TRealTimeHost::Synchronize(const std::function<void()>& fn) {
    if (IsGuiThread()) {
        fn();
        return;
    }
    TRequest request{&fn, false, nullptr};
    {
        std::unique_lock lock(FMutex);
        FQueue.push_back(&request);
        FChanged.notify_all();
    }
    NotifyGuiThread();
    std::unique_lock lock(FMutex);
    FChanged.wait(lock, [&] { return request.Done; });
    if (request.Error) std::rethrow_exception(request.Error);
}

void TRealTimeHost::ServeSynchronize() {
    std::unique_lock lock(FMutex);
    while (!FQueue.empty())
        ServeOne(lock);
}

void TRealTimeHost::ServeOne(std::unique_lock<std::mutex>& lock) {
    TRequest* request = FQueue.front();
    FQueue.pop_front();
    RunSyncRequest(*request, lock);
    FChanged.notify_all();
}
