// Virtual time: timers fire in order, worker waits end when time reaches
// them, and "idle" is exact, so scenario tests are deterministic.
#include "LambdaThread.h"
#include "VirtualHostFixture.h"
#include "platform/Event.h"
#include "platform/Thread.h"
#include "platform/Timer.h"

#include <gmock/gmock.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;

using VirtualTimeTest = VirtualHostTest;

TEST_F(VirtualTimeTest, TimersFireInTimeOrderAndTiesInArmingOrder) {
    std::vector<std::string> fired;
    TTimer slow, fastA, fastB;
    for (auto* t : {&slow, &fastA, &fastB})
        t->SetEnabled(false);
    slow.SetInterval(300);
    slow.SetOnTimer([&] { fired.push_back("slow@" + std::to_string(host.Elapsed())); });
    fastB.SetInterval(100);
    fastB.SetOnTimer([&] { fired.push_back("B@" + std::to_string(host.Elapsed())); });
    fastA.SetInterval(100);
    fastA.SetOnTimer([&] { fired.push_back("A@" + std::to_string(host.Elapsed())); });
    slow.SetEnabled(true);
    fastB.SetEnabled(true);
    fastA.SetEnabled(true);

    host.Advance(299);
    EXPECT_THAT(fired, ElementsAre("B@100", "A@100", "B@200", "A@200"));
    fired.clear();
    host.Advance(1);
    EXPECT_THAT(fired, ElementsAre("slow@300", "B@300", "A@300"))
        << "slow was armed before the re-armed ones";
}

TEST_F(VirtualTimeTest, DisablingAndEnablingRestartsAFullInterval) {
    int fired = 0;
    TTimer timer;
    timer.SetEnabled(false);
    timer.SetInterval(1000);
    timer.SetOnTimer([&] { ++fired; });
    timer.SetEnabled(true);
    host.Advance(900);
    timer.SetEnabled(false);
    timer.SetEnabled(true);
    host.Advance(900);
    EXPECT_EQ(fired, 0);
    host.Advance(100);
    EXPECT_EQ(fired, 1);
    // Setting the same interval again changes nothing; a new one re-arms.
    timer.SetInterval(1000);
    host.Advance(999);
    EXPECT_EQ(fired, 1);
    timer.SetInterval(50);
    host.Advance(50);
    EXPECT_EQ(fired, 2);
}

TEST_F(VirtualTimeTest, AHandlerChangingItsIntervalTakesEffectFromThatFiring) {
    std::vector<uint64_t> at;
    TTimer timer;
    timer.SetEnabled(false);
    timer.SetInterval(1100);
    timer.SetOnTimer([&] {
        at.push_back(host.Elapsed());
        timer.SetInterval(50);
    });
    timer.SetEnabled(true);
    host.Advance(1200);
    EXPECT_THAT(at, ElementsAre(1100, 1150, 1200));
}

TEST_F(VirtualTimeTest, WorkerSleepEndsExactlyWhenVirtualTimeReachesIt) {
    uint64_t wokeAt = 0;
    LambdaThread worker([&] {
        Sleep(5000);
        wokeAt = host.Elapsed();
    });
    host.Advance(4999);
    EXPECT_EQ(wokeAt, 0u);
    host.Advance(1);
    EXPECT_EQ(wokeAt, 5000u);
}

// A stop request cuts the worker's pause short, and every later pause too, so
// an owner waiting for the thread's end does not wait out a long acquisition.
TEST_F(VirtualTimeTest, TerminateEndsTheWorkersSleepsAtOnce) {
    std::vector<uint64_t> wokeAt;
    LambdaThread worker([&] {
        Sleep(5000);
        wokeAt.push_back(host.Elapsed());
        Sleep(300);
        wokeAt.push_back(host.Elapsed());
    });
    host.Advance(1000);
    worker.Terminate();
    host.RunUntilIdle();
    EXPECT_THAT(wokeAt, ElementsAre(1000, 1000));
}

TEST_F(VirtualTimeTest, TimedEventWaitEndsBySignalOrByTime) {
    TEvent event;
    std::vector<std::string> results;
    LambdaThread worker([&] {
        results.push_back(event.WaitFor(1000) == TWaitResult::Signaled ? "signaled" : "timeout");
        results.push_back(std::to_string(host.Elapsed()));
        event.ResetEvent();
        results.push_back(event.WaitFor(1000) == TWaitResult::Signaled ? "signaled" : "timeout");
        results.push_back(std::to_string(host.Elapsed()));
    });
    host.Advance(400);
    event.SetEvent();
    host.RunUntilIdle();
    host.Advance(1000);
    EXPECT_THAT(results, ElementsAre("signaled", "400", "timeout", "1400"));
}

TEST_F(VirtualTimeTest, ManualResetEventStaysSetUntilReset) {
    TEvent event;
    int passes = 0;
    LambdaThread worker([&] {
        for (int i = 0; i < 3; ++i)
            if (event.WaitFor(-1) == TWaitResult::Signaled) ++passes;
    });
    event.SetEvent();
    host.RunUntilIdle();
    EXPECT_EQ(passes, 3);
}

TEST_F(VirtualTimeTest, SynchronizeRunsInTheDriverThreadWhileTheWorkerWaits) {
    const auto driver = std::this_thread::get_id();
    std::thread::id ranOn;
    int order = 0;
    int syncAt = 0;
    int afterAt = 0;
    LambdaThread worker([&] {
        host.Synchronize([&] {
            ranOn = std::this_thread::get_id();
            syncAt = ++order;
        });
        afterAt = ++order;
    });
    host.RunUntilIdle();
    EXPECT_EQ(ranOn, driver);
    EXPECT_EQ(syncAt, 1);
    EXPECT_EQ(afterAt, 2);
}

TEST_F(VirtualTimeTest, ExceptionInSynchronizedCallReachesTheWorker) {
    std::string caught;
    LambdaThread worker([&] {
        try {
            host.Synchronize([] { throw std::runtime_error("boom"); });
        } catch (const std::runtime_error& e) {
            caught = e.what();
        }
    });
    host.RunUntilIdle();
    EXPECT_EQ(caught, "boom");
}

TEST_F(VirtualTimeTest, RunUntilEventWaitSkipsSleepsButStopsBeforeTimers) {
    TEvent event;
    int timerFired = 0;
    TTimer timer;
    timer.SetEnabled(false);
    timer.SetInterval(8000);
    timer.SetOnTimer([&] { ++timerFired; });
    timer.SetEnabled(true);
    LambdaThread worker([&] {
        Sleep(5000);
        event.WaitFor(-1);
    });
    EXPECT_TRUE(host.RunUntilEventWait(60000));
    EXPECT_EQ(host.Elapsed(), 5000u);
    EXPECT_EQ(timerFired, 0);
    EXPECT_FALSE(host.RunUntilEventWait(1000) && host.Elapsed() != 5000u);
    event.SetEvent();
    host.RunUntilIdle();
    timer.SetEnabled(false);
    EXPECT_FALSE(host.RunUntilEventWait(60000)) << "nothing is left to wait for";
}

TEST_F(VirtualTimeTest, TickCountWrapsAtThirtyTwoBits) {
    host.SetTickBase(0xFFFFFF00u);
    host.Advance(0x100);
    EXPECT_EQ(host.GetTickCount(), 0u);
}

TEST_F(VirtualTimeTest, ErrorMessagesAreShownByTheDriverAndRecorded) {
    std::thread::id shownOn;
    host.OnMessageBox = [&](const std::string&) { shownOn = std::this_thread::get_id(); };
    LambdaThread worker([&] { host.ShowErrorMessage("RCDATA FONT1 not found"); });
    host.RunUntilIdle();
    EXPECT_EQ(shownOn, std::this_thread::get_id());
    EXPECT_THAT(host.Messages(), ElementsAre("RCDATA FONT1 not found"));
}

TEST_F(VirtualTimeTest, ClockAdvancesWithVirtualTime) {
    host.SetClock(46000.5);
    host.Advance(6 * 3600 * 1000);
    EXPECT_DOUBLE_EQ(host.Now(), 46000.75);
}

} // namespace
