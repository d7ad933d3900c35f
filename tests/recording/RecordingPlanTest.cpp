// Reading a recording for live playback: steps at their times, the starting
// state kept whole, and every bad line refused with its line number; the
// kiosk's idle time at and past its bounds.
#include "recording/RecordingPlan.h"
#include "recording/Kiosk.h"

#include "device/KeyCodes.h"
#include "measure/PointConditions.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(RecordingPlan, StepsComeAtTheirTimesAndTheStateIsKeptWhole) {
    TRecordingPlan plan;
    std::string error;
    ASSERT_TRUE(ParseRecordingPlan("# a tour\nrecording 1\nclock 2026-03-14 10:30:15.250\n"
                                   "state [DeviceState]\nstate Name=a#b\nstate-end\nlang RUS\nwait 100\n"
                                   "down k1\nwait 1200\nup\ncheck 0123456789abcdef 0123456789abcdef\n"
                                   "condition watch imbalance rpm=1500\nk2-long\npng x.png\nwait 86398700\n",
                                   plan, error))
        << error;
    EXPECT_TRUE(plan.HasClock);
    EXPECT_TRUE(plan.HasState);
    EXPECT_EQ(plan.StateIni, "[DeviceState]\nName=a#b\n");
    ASSERT_EQ(plan.Steps.size(), 5u);
    EXPECT_EQ(plan.Steps[0].Action, TRecordingAction::Language);
    EXPECT_EQ(plan.Steps[0].At, 0u);
    EXPECT_EQ(plan.Steps[1].Action, TRecordingAction::Down);
    EXPECT_EQ(plan.Steps[1].Code, KEY_K1);
    EXPECT_EQ(plan.Steps[1].At, 100u);
    EXPECT_EQ(plan.Steps[2].At, 1300u);
    EXPECT_EQ(plan.Steps[3].Text, " watch imbalance rpm=1500");
    EXPECT_EQ(plan.Steps[4].Code, KEY_K2 + KEY_LONG);
    EXPECT_EQ(plan.Steps[4].Line, 14);
    EXPECT_EQ(plan.Duration, RECORDING_MAX_DURATION_MS); // at the limit
}

// The lines a recording writes for a change in the Machines window or panel
// give the replay the same assignments: changed, new and cleared sources,
// the named ones among them, several at once (a whole machine's preset).
TEST(RecordingPlan, ConditionLinesBetweenAssignmentsReplayToTheSameAssignments) {
    const auto condition = [](const char* text) {
        std::string error;
        return *ParseCondition(text, error);
    };
    const std::map<int16_t, TCondition> before = {
        {2, condition("imbalance rpm=2950 velocity=7.1")},
        {5, condition("looseness")},
        {SOURCE_WATCH, condition("gear teeth=31")},
    };
    const std::map<int16_t, TCondition> after = {
        {2, condition("imbalance rpm=2950 velocity=7.15 seed=12")},
        {SOURCE_WATCH, condition("gear teeth=31")},
        {SOURCE_OFFROUTE, condition("bearing-outer+electrical shares=0.6,0.4 line=60")},
        {SOURCE_HF, condition("resonance resonance=3200")},
        {13, condition("misalignment rpm=1480")},
    };
    ClearConditions();
    for (const auto& [source, c] : before)
        AssignCondition(source, c);
    const std::vector<std::string> lines = ConditionLinesBetween(before, after);
    EXPECT_EQ(lines.size(), 5u) << "the unchanged WATCH gets no line";
    for (const std::string& line : lines) {
        std::string error;
        EXPECT_TRUE(ApplyConditionLine(line, error)) << line << ": " << error;
    }
    EXPECT_EQ(AssignedConditions(), after);
    EXPECT_TRUE(ConditionLinesBetween(after, after).empty());
    ClearConditions();
}

TEST(RecordingPlan, BadLinesAreRefusedWithTheirLine) {
    const struct {
        const char* Text;
        const char* Error;
    } cases[] = {
        {"recording 3\n", "line 1: this recording is in format 3, newer"},
        {"k1\nwait -5\n", "line 2: wait needs a number"},
        {"k1\nwait 1000000000\n", "line 2: wait needs a number"},
        {"wait 86400000\nwait 1\n", "line 2: the recording lasts longer than a day"},
        {"\n\nclock 2026-02-30 10:00:00.000\n", "line 3: clock needs"},
        {"condition 14 looseness\n", "line 1: condition needs a route point"},
        {"condition 3 no-such-fault\n", "line 1: condition: "},
        {"down k3\n", "line 1: not a recording line: 'down k3'"},
        {"rm -rf /\n", "line 1: not a recording line"},
    };
    for (const auto& c : cases) {
        TRecordingPlan plan;
        std::string error;
        EXPECT_FALSE(ParseRecordingPlan(c.Text, plan, error)) << c.Text;
        EXPECT_EQ(error.rfind(c.Error, 0), 0u) << c.Text << " gave: " << error;
    }
}

TEST(KioskIdleMinutes, AcceptedWithinTheBoundsOnly) {
    const struct {
        const char* Text;
        int Minutes; // 0: refused
    } cases[] = {{"1", 1},  {"3", 3}, {"120", 120}, {"0", 0},     {"121", 0},
                 {"-1", 0}, {"", 0},  {"2.5", 0},   {"99999", 0}, {"x", 0}};
    for (const auto& c : cases) {
        int minutes = -7;
        std::string error;
        EXPECT_EQ(ParseKioskIdleMinutes(c.Text, minutes, error), c.Minutes != 0) << c.Text;
        if (c.Minutes != 0) {
            EXPECT_EQ(minutes, c.Minutes);
        } else {
            EXPECT_EQ(minutes, -7);
            EXPECT_NE(error.find("from 1 to 120"), std::string::npos) << error;
        }
    }
}

} // namespace
