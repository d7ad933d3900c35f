#include "platform/VirtualHost.h"

#include "platform/DateTime.h"
#include "platform/Event.h"
#include "platform/Thread.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <stdexcept>

namespace {

constexpr uint64_t kNever = std::numeric_limits<uint64_t>::max();
// Real time a worker may run between two waits before the driver calls it a
// hang (a firmware loop that never waits, or a deadlock).
constexpr auto kSettleLimit = std::chrono::seconds(60);

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "virtual host: %s\n", what);
    std::abort();
}

} // namespace

class TVirtualHost::TVirtualTimer : public TTimerBackend {
  public:
    TVirtualTimer(TVirtualHost& host, std::function<void()> onFire)
        : FHost(host), FOnFire(std::move(onFire)) {
        std::lock_guard lock(FHost.FMutex);
        FHost.FTimers.push_back(this);
    }
    ~TVirtualTimer() override {
        std::lock_guard lock(FHost.FMutex);
        FHost.FTimers.erase(std::find(FHost.FTimers.begin(), FHost.FTimers.end(), this));
    }
    void Start(uint32_t ms) override {
        std::lock_guard lock(FHost.FMutex);
        Arm(ms);
    }
    void Stop() override {
        std::lock_guard lock(FHost.FMutex);
        FArmed = false;
    }
    // Under the host's lock.
    void Arm(uint32_t ms) {
        FArmed = true;
        FInterval = ms;
        FDue = FHost.FNow + ms;
        FSequence = FHost.FArmSequence++;
    }

    TVirtualHost& FHost;
    std::function<void()> FOnFire;
    bool FArmed = false;
    uint32_t FInterval = 0;
    uint64_t FDue = 0;
    uint64_t FSequence = 0;
};

TVirtualHost::TVirtualHost()
    : FDriver(std::this_thread::get_id()), FClock(EncodeDateTime(2026, 1, 1, 12, 0, 0, 0)) {}

TVirtualHost::~TVirtualHost() {
    if (FRunning != 0 || !FTimers.empty()) Fail("destroyed while threads or timers still exist");
}

uint32_t TVirtualHost::GetTickCount() {
    std::lock_guard lock(FMutex);
    if (!IsDriverThread()) ++FTimeUses;
    return static_cast<uint32_t>((FNow + FTickBase) & 0xFFFFFFFFu);
}

double TVirtualHost::Now() {
    std::lock_guard lock(FMutex);
    if (!IsDriverThread()) ++FTimeUses;
    return FClock + static_cast<double>(FNow) / 86400000.0;
}

void TVirtualHost::RequireWorkerThread(const char* what) const {
    if (IsDriverThread()) Fail(what);
}

TWaitResult TVirtualHost::Block(std::unique_lock<std::mutex>& lock, TWaiter& waiter) {
    FWaiters.push_back(&waiter);
    --FRunning;
    FChanged.notify_all();
    FChanged.wait(lock, [&] { return waiter.Woken; });
    FWaiters.remove(&waiter);
    return waiter.Result;
}

void TVirtualHost::SetSleepOverrun(std::function<uint32_t(uint32_t)> overrun) {
    std::lock_guard lock(FMutex);
    FSleepOverrun = std::move(overrun);
}

void TVirtualHost::Sleep(uint32_t ms) {
    if (ms == 0) return;
    RequireWorkerThread("Sleep on the driver's thread would never end");
    TThread* self = TThread::Current();
    TEvent* stop = self != nullptr ? &self->StopRequest() : nullptr;
    std::unique_lock lock(FMutex);
    ++FTimeUses;
    if (stop != nullptr && Signaled(*stop)) return;
    const uint64_t late = FSleepOverrun ? FSleepOverrun(ms) : 0;
    TWaiter waiter{stop, FNow + ms + late, false, TWaitResult::Timeout, true};
    Block(lock, waiter);
}

void TVirtualHost::SetEvent(TEvent& event) {
    std::lock_guard lock(FMutex);
    Signaled(event) = true;
    for (TWaiter* waiter : FWaiters) {
        if (waiter->Event == &event && !waiter->Woken) {
            waiter->Woken = true;
            waiter->Result = TWaitResult::Signaled;
            ++FRunning; // counted as running from now on, so the driver waits for it
        }
    }
    FChanged.notify_all();
}

void TVirtualHost::ResetEvent(TEvent& event) {
    std::lock_guard lock(FMutex);
    Signaled(event) = false;
}

TWaitResult TVirtualHost::WaitForEvent(TEvent& event, int32_t timeoutMs) {
    std::unique_lock lock(FMutex);
    if (timeoutMs >= 0 && !IsDriverThread()) ++FTimeUses;
    if (Signaled(event)) return TWaitResult::Signaled;
    if (timeoutMs == 0) return TWaitResult::Timeout;
    lock.unlock();
    RequireWorkerThread("a blocking wait on the driver's thread would never end");
    lock.lock();
    if (Signaled(event)) return TWaitResult::Signaled;
    TWaiter waiter{&event, timeoutMs < 0 ? kNever : FNow + static_cast<uint64_t>(timeoutMs), false,
                   TWaitResult::Timeout};
    return Block(lock, waiter);
}

void TVirtualHost::ThreadStarting(TThread&) {
    std::lock_guard lock(FMutex);
    ++FRunning;
}

void TVirtualHost::ThreadFinished(TThread& thread) {
    std::lock_guard lock(FMutex);
    Finished(thread) = true;
    --FRunning;
    FChanged.notify_all();
}

void TVirtualHost::WaitForThread(TThread& thread) {
    std::unique_lock lock(FMutex);
    for (;;) {
        SettleLocked(lock);
        if (Finished(thread)) return;
        // The thread still waits: let time pass up to its next deadline.
        const uint64_t next = NextDueLocked();
        if (next == kNever) Fail("waiting for a thread that waits for nothing that could happen");
        lock.unlock();
        StepTo(next);
        lock.lock();
    }
}

void TVirtualHost::Synchronize(const std::function<void()>& fn) {
    if (IsDriverThread()) {
        fn();
        return;
    }
    TRequest request{&fn, false, nullptr};
    std::unique_lock lock(FMutex);
    FQueue.push_back(&request);
    --FRunning;
    FChanged.notify_all();
    FChanged.wait(lock, [&] { return request.Done; });
    if (request.Error) std::rethrow_exception(request.Error);
}

void TVirtualHost::ServeOne(std::unique_lock<std::mutex>& lock) {
    TRequest* request = FQueue.front();
    FQueue.pop_front();
    RunSyncRequest(*request, lock);
    ++FRunning;
    FChanged.notify_all();
}

void TVirtualHost::SettleLocked(std::unique_lock<std::mutex>& lock) {
    for (;;) {
        if (!FQueue.empty()) {
            ServeOne(lock);
            continue;
        }
        if (FRunning == 0) return;
        if (!FChanged.wait_for(lock, kSettleLimit, [&] { return !FQueue.empty() || FRunning == 0; }))
            Fail("a worker neither waits nor ends (a loop without a wait, or a deadlock)");
    }
}

void TVirtualHost::RunUntilIdle() {
    std::unique_lock lock(FMutex);
    SettleLocked(lock);
}

uint64_t TVirtualHost::NextDueLocked() const {
    uint64_t next = kNever;
    for (const TWaiter* waiter : FWaiters)
        if (!waiter->Woken) next = std::min(next, waiter->Deadline);
    for (const TVirtualTimer* timer : FTimers)
        if (timer->FArmed) next = std::min(next, timer->FDue);
    return next;
}

void TVirtualHost::WakeExpiredLocked() {
    for (TWaiter* waiter : FWaiters) {
        if (!waiter->Woken && waiter->Deadline <= FNow) {
            waiter->Woken = true;
            waiter->Result = TWaitResult::Timeout;
            ++FRunning;
        }
    }
    FChanged.notify_all();
}

void TVirtualHost::FireDueTimers() {
    for (;;) {
        TVirtualTimer* due = nullptr;
        {
            std::lock_guard lock(FMutex);
            for (TVirtualTimer* timer : FTimers) {
                if (!timer->FArmed || timer->FDue > FNow) continue;
                if (due == nullptr || timer->FDue < due->FDue ||
                    (timer->FDue == due->FDue && timer->FSequence < due->FSequence))
                    due = timer;
            }
            if (due == nullptr) return;
            due->Arm(due->FInterval); // periodic: the next interval counts from now
        }
        due->FOnFire();
        RunUntilIdle();
    }
}

void TVirtualHost::StepTo(uint64_t time) {
    {
        std::unique_lock lock(FMutex);
        FNow = std::max(FNow, time);
        WakeExpiredLocked();
        SettleLocked(lock);
    }
    FireDueTimers();
}

void TVirtualHost::Advance(uint32_t ms) {
    RunUntilIdle();
    const uint64_t target = Elapsed() + ms;
    for (;;) {
        uint64_t next;
        {
            std::lock_guard lock(FMutex);
            next = NextDueLocked();
        }
        if (next > target) break;
        StepTo(next);
    }
    StepTo(target);
}

bool TVirtualHost::RunUntilEventWait(uint32_t limitMs) {
    const uint64_t limit = Elapsed() + limitMs;
    for (;;) {
        uint64_t next;
        {
            std::unique_lock lock(FMutex);
            SettleLocked(lock);
            for (const TWaiter* waiter : FWaiters)
                if (!waiter->Sleeping && !waiter->Woken) return true;
            next = NextDueLocked();
        }
        if (next == kNever || next > limit) return false;
        StepTo(next);
    }
}

uint64_t TVirtualHost::Elapsed() {
    std::lock_guard lock(FMutex);
    return FNow;
}

uint64_t TVirtualHost::TimeUses() {
    std::lock_guard lock(FMutex);
    return FTimeUses;
}

void TVirtualHost::SkipAhead(uint64_t ms) {
    RunUntilIdle();
    std::lock_guard lock(FMutex);
    FNow += ms;
    for (TVirtualTimer* timer : FTimers)
        if (timer->FArmed) timer->FDue += ms;
    for (TWaiter* waiter : FWaiters)
        if (!waiter->Woken && waiter->Deadline != kNever) waiter->Deadline += ms;
}

void TVirtualHost::SetTickBase(uint32_t base) {
    std::lock_guard lock(FMutex);
    FTickBase = base;
}

void TVirtualHost::SetClock(double dateTime) {
    std::lock_guard lock(FMutex);
    FClock = dateTime - static_cast<double>(FNow) / 86400000.0;
}

std::unique_ptr<TTimerBackend> TVirtualHost::CreateTimer(std::function<void()> onFire) {
    return std::make_unique<TVirtualTimer>(*this, std::move(onFire));
}

void TVirtualHost::RecordMessage(const std::string& text) {
    {
        std::lock_guard lock(FMutex);
        ++FTimeUses;
        FMessages.push_back(text);
    }
    if (OnMessageBox) OnMessageBox(text);
}

void TVirtualHost::ShowErrorMessage(const std::string& text) {
    // Like a real box: shown by the GUI thread, the asking worker waits.
    Synchronize([&] { RecordMessage(text); });
}

std::vector<std::string> TVirtualHost::Messages() {
    std::lock_guard lock(FMutex);
    return FMessages;
}
