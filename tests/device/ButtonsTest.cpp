// Key presses classified by their timing, under virtual time.
#include "device/Buttons.h"
#include "VirtualHostFixture.h"

#include <gmock/gmock.h>

#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class ButtonsTest : public VirtualHostTest {
  protected:
    void SetUp() override {
        buttons.OnKeyEvent = [this](int16_t code) { events.push_back(code); };
        ButtonsInit(buttons);
    }
    void TearDown() override { ButtonsFree(buttons); }

    void Down(int16_t key) { ButtonDown(buttons, key); }
    void Up() { ButtonUp(buttons); }
    void Wait(uint32_t ms) { host.Advance(ms); }

    TKeyButtons buttons;
    std::vector<int16_t> events;
};

TEST_F(ButtonsTest, ReleaseBefore300msIsShortAtOrAfterIsLong) {
    Down(KEY_K1);
    Wait(100);
    Up();
    Down(KEY_K1);
    Wait(299);
    Up();
    Down(KEY_K2);
    Wait(300);
    Up();
    Down(KEY_K1);
    Wait(500);
    Up();
    EXPECT_THAT(events, ElementsAre(17, 17, 34, 33));
}

TEST_F(ButtonsTest, HeldKeyRepeatsAt1100msThenEvery50msAndItsReleaseIsSilent) {
    Down(KEY_K1);
    Wait(1099);
    EXPECT_THAT(events, IsEmpty());
    Wait(1);
    EXPECT_THAT(events, ElementsAre(49));
    Wait(49);
    EXPECT_THAT(events, ElementsAre(49));
    Wait(1);
    EXPECT_THAT(events, ElementsAre(49, 49));
    Wait(50);
    Up();
    Wait(1000);
    EXPECT_THAT(events, ElementsAre(49, 49, 49));
}

TEST_F(ButtonsTest, SecondKeyWithin300msIsBothKeysAndNothingFollows) {
    Down(KEY_K2);
    Wait(150);
    Down(KEY_K1);
    EXPECT_THAT(events, ElementsAre(64));
    Wait(5000);
    Up();
    Up();
    EXPECT_THAT(events, ElementsAre(64));
}

TEST_F(ButtonsTest, SecondKeyAfter300msIsIgnoredAndTheFirstReleaseEndsThePress) {
    Down(KEY_K1);
    Wait(400);
    Down(KEY_K2);
    Wait(200);
    Up(); // the left key's release ends the held right key's press
    Up();
    EXPECT_THAT(events, ElementsAre(33));
}

TEST_F(ButtonsTest, AutoRepeatPressOfTheHeldKeyIsNeverBothKeys) {
    Down(KEY_K1);
    Wait(30);
    Down(KEY_K1); // keyboard auto-repeat
    Wait(30);
    Down(KEY_K1);
    Wait(100);
    Up();
    EXPECT_THAT(events, ElementsAre(17));
}

TEST_F(ButtonsTest, ReleaseWithNoKeyHeldSendsNothing) {
    Up();
    Wait(2000);
    EXPECT_THAT(events, IsEmpty());
}

TEST_F(ButtonsTest, ResetForgetsTheHeldKeyWithoutAnEvent) {
    Down(KEY_K1);
    Wait(500);
    ButtonsReset(buttons);
    Wait(2000);
    Up();
    EXPECT_THAT(events, IsEmpty());
}

TEST_F(ButtonsTest, WithoutAHandlerNothingIsSentNotEvenBothKeys) {
    buttons.OnKeyEvent = nullptr;
    Down(KEY_K1);
    Wait(100);
    Down(KEY_K2);
    buttons.OnKeyEvent = [this](int16_t code) { events.push_back(code); };
    Wait(100);
    Up();
    // The both-keys press was not taken, so K1 is still held and ends short.
    EXPECT_THAT(events, ElementsAre(17));
}

TEST_F(ButtonsTest, TimingIsRightAcrossTheTickCountWrap) {
    host.SetTickBase(0xFFFFFFFFu - 100);
    Down(KEY_K1);
    Wait(350);
    Up();
    EXPECT_THAT(events, ElementsAre(33));
}

} // namespace
