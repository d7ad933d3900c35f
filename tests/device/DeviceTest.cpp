// The device runtime under virtual time: power cycle, mailbox, timers,
// resource loading and the hints it publishes while off.
#include "DeviceFixture.h"
#include "device/Font.h"
#include "device/Lcd.h"
#include "hints/Hints.h"
#include "platform/Resources.h"
#include "resources/StringIds.h"

#include <gmock/gmock.h>

#include <cstring>

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

TEST_F(DeviceTest, WhileOffOnlyALongOrHeldK1SwitchesOn) {
    Press(KEY_K1, 100);
    Press(KEY_K2, 500);
    Press(KEY_K2, 1500);
    device->PostKeyEvent(KEY_NONE);
    host.RunUntilIdle();
    EXPECT_EQ(starts, 0);
    EXPECT_FALSE(device->IsOn());

    PowerOn();
    EXPECT_TRUE(device->IsOn());
    EXPECT_EQ(starts, 1);
    EXPECT_THAT(keys, IsEmpty()) << "the press that switches on yields no event";
}

TEST_F(DeviceTest, HeldK1SwitchesOnAndTheStillHeldKeyRepeatsNothing) {
    ButtonDown(device->Buttons(), KEY_K1);
    host.Advance(3000);
    ButtonUp(device->Buttons());
    host.RunUntilIdle();
    EXPECT_TRUE(device->IsOn());
    EXPECT_EQ(starts, 1);
    EXPECT_THAT(keys, IsEmpty());
}

TEST_F(DeviceTest, TheMailboxHoldsOneCodeAndTheLatestWins) {
    body = [] { Sleep(100); }; // busy: not waiting for keys yet
    PowerOn();
    device->PostKeyEvent(KEY_K1 + KEY_SHORT);
    device->PostKeyEvent(KEY_K2 + KEY_SHORT);
    host.Advance(100);
    EXPECT_THAT(keys, ElementsAre(KEY_K2 + KEY_SHORT));
}

TEST_F(DeviceTest, FlushKeepsAPendingPowerOff) {
    body = [] {
        Sleep(100);
        FlushKey();
    };
    PowerOn();
    device->PowerTimerTimer();
    host.Advance(100);
    EXPECT_EQ(powerOffs, 1);
    EXPECT_FALSE(device->IsOn());
}

TEST_F(DeviceTest, AfterAFlushTheStillSetEventWakesAtOnceWithZeroAndReloads) {
    std::vector<int16_t> seen;
    body = [&] {
        Sleep(100);
        FlushKey();
        seen.push_back(WaitKeyTimeout(5000));
        seen.push_back(static_cast<int16_t>(host.Elapsed()));
    };
    PowerOn();
    const std::basic_string<uint8_t> marked(FONT2_SIZE, 0x5A);
    TResourceOverride font2("FONT2", marked);
    device->PostKeyEvent(KEY_K1 + KEY_SHORT);
    host.Advance(100);
    EXPECT_THAT(seen, ElementsAre(KEY_NONE, 600));
    EXPECT_EQ(Font2Data[7], 0x5A) << "the zero taken through the event reloaded the fonts";
}

TEST_F(DeviceTest, OnlyAZeroThroughTheEventReloadsNotATimeout) {
    std::vector<int16_t> seen;
    body = [&] {
        for (int i = 0; i < 3; ++i)
            seen.push_back(WaitKeyTimeout(3000));
    };
    PowerOn();
    TResourceOverride missing("FONT2", std::nullopt);
    host.Advance(3000); // time-out: no reload
    EXPECT_THAT(host.Messages(), IsEmpty());
    host.Advance(7000); // backlight time-out posts 0 through the event: reload
    EXPECT_THAT(host.Messages(), ElementsAre("RCDATA FONT2 not found"));
    device->SetLanguage(LANG_ENGLISH); // a language change: reload
    host.RunUntilIdle();
    EXPECT_THAT(seen, ElementsAre(0, 0, 0));
    EXPECT_EQ(host.Messages().size(), 2u);
}

TEST_F(DeviceTest, BacklightGoesOutAfterTenSecondsAndAKeyLightsItAgain) {
    PowerOn();
    EXPECT_TRUE(device->IsLit());
    host.Advance(9999);
    EXPECT_TRUE(device->IsLit());
    host.Advance(1);
    EXPECT_FALSE(device->IsLit());
    EXPECT_THAT(keys, ElementsAre(KEY_NONE)) << "the time-out wakes the firmware to redraw unlit";
    Press(KEY_K2, 50);
    EXPECT_TRUE(device->IsLit());
    backlight = 0;
    EXPECT_FALSE(device->IsLit()) << "the firmware's backlight option switches it off";
}

// Use other than the keys: the pointer moving over the instrument, or a
// language chosen. Each restarts the power-off count; neither lights the LCD.
struct UseCase {
    const char* name;
    void (*use)(TDevice&);
};

class UseWithoutKeys : public DeviceTest, public ::testing::WithParamInterface<UseCase> {};

TEST_P(UseWithoutKeys, KeepsItOnButTheBacklightStillGoesOut) {
    PowerOn();
    for (int i = 0; i < 10; ++i) {
        host.Advance(59000);
        GetParam().use(*device);
        host.RunUntilIdle();
    }
    EXPECT_TRUE(device->IsOn());
    EXPECT_FALSE(device->IsLit());
    host.Advance(59999);
    EXPECT_TRUE(device->IsOn());
    host.Advance(1);
    EXPECT_FALSE(device->IsOn());
    EXPECT_EQ(starts, 1);
}

INSTANTIATE_TEST_SUITE_P(Uses, UseWithoutKeys,
                         ::testing::Values(UseCase{"MouseMovement", [](TDevice& d) { d.KeepAlive(); }},
                                           UseCase{"LanguageChange",
                                                   [](TDevice& d) { d.SetLanguage(GetThreadLanguage()); }}),
                         [](const auto& instance) { return std::string(instance.param.name); });

TEST_F(DeviceTest, KeepAliveWhileOffDoesNotSwitchOn) {
    device->KeepAlive();
    host.Advance(120000);
    EXPECT_FALSE(device->IsOn());
}

TEST_F(DeviceTest, SixtySecondsWithoutUseSwitchOffBlankUnlitWithThePowerOnHint) {
    PowerOn();
    LcdPutText(0, 0, 1, "XXXX");
    host.Advance(59999);
    EXPECT_TRUE(device->IsOn());
    host.Advance(1);
    EXPECT_FALSE(device->IsOn());
    EXPECT_EQ(powerOffs, 1);
    for (uint8_t byte : LcdBuffer)
        ASSERT_EQ(byte, 0);
    EXPECT_EQ(device->Picture().At(0, 0), LCD_COLOR_UNLIT);
    EXPECT_THAT(device->GetHintK1(), HasSubstr("Device Power On"));
    EXPECT_THAT(device->GetHintK2(), Not(HasSubstr("Device Power On")));
    // The backlight timer, restarted by the power-off post, stops by itself.
    host.Advance(10000);
    host.Advance(60000);
    EXPECT_EQ(starts, 1);
    PowerOn();
    EXPECT_EQ(starts, 2);
}

TEST_F(DeviceTest, LanguageChangeWhileOffChangesTheHintWithoutWakingTheWorker) {
    int refreshes = 0;
    device->OnRefresh = [&] { ++refreshes; };
    SetThreadLanguage(LANG_RUSSIAN);
    device->SetLanguage(LANG_RUSSIAN);
    SetThreadLanguage(LANG_ENGLISH);
    host.RunUntilIdle();
    EXPECT_THAT(device->GetHintK1(), HasSubstr("Включение прибора"));
    EXPECT_EQ(refreshes, 1);
    EXPECT_EQ(starts, 0);
    device->OnRefresh = nullptr;
}

TEST_F(DeviceTest, WorkerTextsFollowTheDeviceLanguage) {
    std::vector<std::string> labels;
    body = [&] {
        for (;;) {
            labels.push_back(LoadStr(TEXT_LEVEL_PEAK));
            WaitKey();
        }
    };
    PowerOn();
    device->SetLanguage(LANG_RUSSIAN);
    host.RunUntilIdle();
    EXPECT_THAT(labels, ElementsAre("PK  ", "ПИК "));
}

TEST_F(DeviceTest, TheScreenTextSaysOffWhileOffAndWhatTheFirmwareDrewAtEachRefresh) {
    std::vector<std::string> read;
    device->OnRefresh = [&] { read.push_back(device->GetScreenText()); };
    body = [] {
        LcdClear();
        LcdPutText(0, 0, 1, "ITEM");
        LcdPutText(1, 0, 0, "  NEXT  ");
        LcdRefresh();
    };
    EXPECT_EQ(device->GetScreenText(), "The instrument is off");
    SetThreadLanguage(LANG_RUSSIAN);
    EXPECT_EQ(device->GetScreenText(), "Прибор выключен");
    SetThreadLanguage(LANG_ENGLISH);
    PowerOn();
    ASSERT_FALSE(read.empty());
    EXPECT_EQ(read.back(), "ITEM (selected)\nNEXT");
    device->OnRefresh = nullptr;
}

TEST_F(DeviceTest, ClosingWhileTheFirmwareWaitsLetsItUnwindAndSave) {
    PowerOn();
    device.reset();
    g_Device = nullptr;
    EXPECT_EQ(powerOffs, 1);
}

TEST_F(DeviceTest, AFirmwareErrorIsShownAndTheNextEventStartsItAgain) {
    body = [&] {
        if (starts == 1) throw Exception("Division by zero");
    };
    PowerOn();
    EXPECT_THAT(host.Messages(), ElementsAre("Division by zero"));
    EXPECT_TRUE(device->IsOn());
    EXPECT_EQ(starts, 1);
    Press(KEY_K2, 50);
    EXPECT_EQ(starts, 2);
}

TEST_F(DeviceTest, MissingOrWrongSizedFontsAreReportedAndKeepTheOldContent) {
    PowerOn(); // loads the real fonts
    const std::vector<uint8_t> before1(Font1Data, Font1Data + FONT1_SIZE);
    const std::vector<uint8_t> before2(Font2Data, Font2Data + FONT2_SIZE);
    {
        TResourceOverride missing("FONT1", std::nullopt);
        TResourceOverride wrong("FONT2", std::basic_string<uint8_t>(FONT2_SIZE - 1, 0xFF));
        device->SetLanguage(LANG_ENGLISH);
        host.RunUntilIdle();
    }
    EXPECT_THAT(host.Messages(), ElementsAre("RCDATA FONT1 not found", "RCDATA FONT2 size is incorrect"));
    EXPECT_EQ(std::memcmp(before1.data(), Font1Data, FONT1_SIZE), 0);
    EXPECT_EQ(std::memcmp(before2.data(), Font2Data, FONT2_SIZE), 0);
}

TEST_F(DeviceTest, AFontMessageDoesNotHoldTheLockWhileTheBoxIsOpen) {
    PowerOn();
    // A timer firing in the box's message loop posts an event, which takes
    // the device's lock; with the lock held by the loader this would hang.
    host.OnMessageBox = [&](const std::string&) { device->PostKeyEvent(KEY_K1 + KEY_SHORT); };
    TResourceOverride missing("FONT1", std::nullopt);
    device->SetLanguage(LANG_ENGLISH);
    host.RunUntilIdle();
    EXPECT_EQ(host.Messages().size(), 1u);
    EXPECT_THAT(keys, ElementsAre(KEY_NONE, KEY_K1 + KEY_SHORT));
}

TEST_F(DeviceTest, ScreenHintPointsMapToLcdPixelsWithTruncation) {
    g_ScreenHints.ClearScreenHints();
    g_ScreenHints.AddScreenHint(0, 0, 1, 1, "corner");
    g_ScreenHints.AddScreenHint(121, 31, 122, 32, "far");
    EXPECT_EQ(device->GetScreenHint(7, 2), "corner");
    EXPECT_EQ(device->GetScreenHint(8, 3), "corner");
    EXPECT_EQ(device->GetScreenHint(6, 1), "corner") << "(-1) / 2 truncates to 0";
    EXPECT_EQ(device->GetScreenHint(9, 2), "");
    EXPECT_EQ(device->GetScreenHint(7 + 2 * 121 + 1, 2 + 2 * 31 + 1), "far");
    g_ScreenHints.ClearScreenHints();
}

} // namespace
