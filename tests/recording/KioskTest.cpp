// The kiosk under virtual time on the real firmware: the tour keeps the
// instrument on through pauses longer than its power-off, loops from its own
// start, gives way to a visitor's first input, comes back after the idle time
// (any input starting the count anew), and leaves the user's ini as it was.
#include "recording/Kiosk.h"

#include "IniFolderFixture.h"
#include "device/Device.h"
#include "device/Deviceioemulation.h"
#include "device/KeyCodes.h"
#include "firmware/Offlinemode.h"
#include "measure/PointConditions.h"
#include "platform/VirtualHost.h"
#include "state/Inifile.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

// Power on, a pause past the power-off and the backlight time-outs, a key.
const char* const kTour = "recording 1\n"
                          "state [DeviceState]\n"
                          "state SelectedPoint=9\n"
                          "state-end\n"
                          "lang ENG\n"
                          "wait 200\n"
                          "k1-long\n"
                          "wait 130000\n"
                          "k2\n"
                          "wait 1000\n";
constexpr uint32_t kTourMs = 131200;
constexpr int kIdleMinutes = 2;
constexpr uint32_t kIdleMs = kIdleMinutes * 60000;

class KioskTest : public IniFolderTest {
  protected:
    void SetUp() override {
        IniFolderTest::SetUp();
        SavedState = TDeviceState{};
        ClearConditions();
        device = std::make_unique<TDevice>(FirmwareMain, &MenuState.Backlight);
        g_Device = device.get();
        device->Buttons().OnKeyEvent = [this, post = device->Buttons().OnKeyEvent](int16_t code) {
            events.push_back(code);
            post(code);
        };
        host.RunUntilIdle();
        TRecordingPlan tour;
        std::string error;
        ASSERT_TRUE(ParseRecordingPlan(kTour, tour, error)) << error;
        ASSERT_EQ(tour.Duration, kTourMs);
        kiosk = std::make_unique<TKiosk>(*device, tour, kIdleMinutes);
    }
    void TearDown() override {
        kiosk.reset();
        device.reset();
        g_Device = nullptr;
        IniFolderTest::TearDown();
    }
    void Advance(uint32_t ms) {
        host.Advance(ms);
        host.RunUntilIdle();
    }
    // A visitor's short press of K2.
    void VisitorPressesK2() {
        kiosk->UserInput();
        ButtonDown(device->Buttons(), KEY_K2);
        Advance(100);
        kiosk->UserInput();
        ButtonUp(device->Buttons());
        host.RunUntilIdle();
    }

    TVirtualHost host;
    THostInstall install{host};
    std::unique_ptr<TDevice> device;
    std::unique_ptr<TKiosk> kiosk;
    std::vector<int16_t> events;
};

TEST_F(KioskTest, TheTourKeepsTheInstrumentOnAndLitAndLoopsFromItsOwnStart) {
    kiosk->Start();
    Advance(1000);
    ASSERT_EQ(kiosk->Phase(), TKiosk::TPhase::Touring);
    ASSERT_TRUE(device->IsOn());
    // Past the power-off (60 s) twice and the backlight (10 s) many times.
    uint32_t at = 1000;
    for (; at < 130000; at += 5000) {
        Advance(5000);
        ASSERT_TRUE(device->IsOn()) << "at " << at << " ms";
        ASSERT_TRUE(device->IsLit()) << "at " << at << " ms";
    }
    Advance(kTourMs + 1000 - at);
    // The second turn started from the tour's state, the instrument switched
    // off and on again by the tour's own key.
    EXPECT_EQ(kiosk->Phase(), TKiosk::TPhase::Touring);
    EXPECT_TRUE(device->IsOn());
    EXPECT_EQ(SavedState.SelectedPoint, 9);
    const std::vector<int16_t> turn = {KEY_K1 + KEY_LONG, KEY_K2 + KEY_SHORT, KEY_K1 + KEY_LONG};
    EXPECT_EQ(events, turn);
}

TEST_F(KioskTest, AVisitorsInputHandsTheInstrumentOverAndTheIdleTimeBringsTheTourBack) {
    kiosk->Start();
    Advance(10000);
    ASSERT_EQ(kiosk->Phase(), TKiosk::TPhase::Touring);
    VisitorPressesK2();
    EXPECT_EQ(kiosk->Phase(), TKiosk::TPhase::Live);
    // The visitor's key went in; the tour's own K2 (at 130 s) never comes.
    const std::vector<int16_t> handedOver = {KEY_K1 + KEY_LONG, KEY_K2 + KEY_SHORT};
    EXPECT_EQ(events, handedOver);
    // A visitor has the instrument's own time-outs: it switches off after
    // 60 s without a key, and the kiosk still waits.
    Advance(POWER_OFF_MS + 1000);
    EXPECT_FALSE(device->IsOn());
    EXPECT_EQ(kiosk->Phase(), TKiosk::TPhase::Live);
    // Any input (here a pointer move) starts the idle count anew.
    Advance(kIdleMs - POWER_OFF_MS - 1000 - 200);
    kiosk->UserInput();
    Advance(kIdleMs - 100);
    EXPECT_EQ(kiosk->Phase(), TKiosk::TPhase::Live);
    Advance(200);
    EXPECT_NE(kiosk->Phase(), TKiosk::TPhase::Live);
    Advance(1000);
    EXPECT_EQ(kiosk->Phase(), TKiosk::TPhase::Touring);
    EXPECT_TRUE(device->IsOn());
    EXPECT_EQ(events.back(), KEY_K1 + KEY_LONG);
    EXPECT_EQ(events.size(), 3u);
}

TEST_F(KioskTest, TheUsersIniIsAsItWasAfterAKioskSession) {
    Write("[DeviceState]\nSelectedPoint=4\n");
    LoadIniFile(path);
    std::string error;
    ASSERT_TRUE(ApplyConditionLine("3 looseness", error)) << error;
    ASSERT_TRUE(SaveIniFile());
    LoadIniFile(path);
    ASSERT_TRUE(SaveIniFile()); // the file as the program writes it
    const std::string before = Read();
    LoadIniFile(path);

    kiosk->Start();
    Advance(10000);
    VisitorPressesK2();
    Advance(kIdleMs + 5000); // back to the tour
    ASSERT_EQ(kiosk->Phase(), TKiosk::TPhase::Touring);
    ASSERT_EQ(SavedState.SelectedPoint, 9);
    // The program ends: the window deletes the device (the firmware keeps the
    // session's state), then the kiosk finishes and the state is saved.
    device.reset();
    g_Device = nullptr;
    kiosk->Finish();
    ASSERT_TRUE(SaveIniFile());
    EXPECT_EQ(Read(), before);
}

} // namespace
