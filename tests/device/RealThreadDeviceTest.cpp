// The mailbox and shut-down with real threads and real waits (run under
// ThreadSanitizer too). Timers are inert here: the tests call the handlers.
#include "device/Device.h"
#include "device/Deviceioemulation.h"
#include "platform/Exception.h"
#include "platform/RealTimeHost.h"

#include <gmock/gmock.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace {

class InertTimer : public TTimerBackend {
  public:
    void Start(uint32_t) override {}
    void Stop() override {}
};

class TestRealHost : public TRealTimeHost {
  public:
    std::unique_ptr<TTimerBackend> CreateTimer(std::function<void()>) override {
        return std::make_unique<InertTimer>();
    }
    void ShowErrorMessage(const std::string&) override {}
};

class RealThreadDeviceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        device = std::make_unique<TDevice>([this] { Firmware(); }, &backlight);
        g_Device = device.get();
    }
    void TearDown() override {
        device.reset();
        g_Device = nullptr;
    }

    void Firmware() {
        started.store(true);
        try {
            for (;;) {
                const int16_t key = WaitKey();
                {
                    std::lock_guard lock(mutex);
                    keys.push_back(key);
                }
                if (refreshEachKey) RefreshLcd();
            }
        } catch (const Exception& e) {
            if (e.Message().empty()) powerOffs.fetch_add(1);
            throw;
        }
    }

    std::vector<int16_t> Keys() {
        std::lock_guard lock(mutex);
        return keys;
    }

    // The GUI thread's side of waiting: serve Synchronize calls until done.
    template <class Pred> void ServeUntil(Pred done) {
        while (!done()) {
            host.ServeSynchronize();
            std::this_thread::yield();
        }
    }

    // Power-on wakes the worker with 0; a key posted before the worker took
    // that 0 would replace it, so wait until the firmware runs.
    void PowerOn() {
        device->PostKeyEvent(KEY_K1 + KEY_LONG);
        ServeUntil([&] { return started.load(); });
    }

    TestRealHost host;
    THostInstall install{host};
    int16_t backlight = 1;
    std::mutex mutex;
    std::vector<int16_t> keys;
    std::atomic<int> powerOffs{0};
    std::atomic<bool> started{false};
    bool refreshEachKey = false;
    std::unique_ptr<TDevice> device;
};

TEST_F(RealThreadDeviceTest, EveryKeyTakenBeforeTheNextIsPostedArrivesInOrder) {
    PowerOn();
    const int16_t codes[] = {17, 18, 33, 34, 49, 50, 64};
    std::vector<int16_t> expected;
    for (int round = 0; round < 200; ++round) {
        const int16_t code = codes[round % 7];
        device->PostKeyEvent(code);
        expected.push_back(code);
        ServeUntil([&] { return Keys().size() == expected.size(); });
    }
    EXPECT_EQ(Keys(), expected);
}

TEST_F(RealThreadDeviceTest, KeysPostedFasterThanTakenArriveAsAnOrderedSubsequence) {
    refreshEachKey = true; // each key costs the worker a round trip to this thread
    PowerOn();
    for (int16_t code = 1; code <= 2000; ++code) {
        device->PostKeyEvent(code);
        if (code % 16 == 0) host.ServeSynchronize();
    }
    ServeUntil([&] { return !Keys().empty() && Keys().back() == 2000; });
    const std::vector<int16_t> seen = Keys();
    for (std::size_t i = 1; i < seen.size(); ++i)
        ASSERT_LT(seen[i - 1], seen[i]) << "at " << i;
}

TEST_F(RealThreadDeviceTest, ClosingWhileTheWorkerRefreshesServesItAndUnwinds) {
    refreshEachKey = true;
    PowerOn();
    for (int16_t code = 1; code <= 50; ++code)
        device->PostKeyEvent(code);
    device.reset(); // must not hang on the worker's pending Synchronize
    g_Device = nullptr;
    EXPECT_EQ(powerOffs.load(), 1);
}

TEST_F(RealThreadDeviceTest, ClosingWhileOffEndsTheWorkerWithoutStartingTheFirmware) {
    device.reset();
    g_Device = nullptr;
    EXPECT_EQ(powerOffs.load(), 0);
    EXPECT_TRUE(Keys().empty());
}

TEST_F(RealThreadDeviceTest, PowerOffReachesAFirmwareWaitingWithoutLimit) {
    PowerOn();
    device->PostKeyEvent(KEY_K2 + KEY_SHORT);
    ServeUntil([&] { return Keys().size() == 1; });
    device->PowerTimerTimer();
    ServeUntil([&] { return powerOffs.load() == 1; });
    EXPECT_FALSE(device->IsOn());
}

} // namespace
