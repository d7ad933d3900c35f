// Machine conditions on the instrument: a point measures the condition it is
// given when it is measured, keeps it until it is measured again, and a
// signal too loud for the input ends in the overload notice.
#include "Golden.h"
#include "SimSession.h"
#include "firmware/Analysis.h"
#include "firmware/Offlinemode.h"
#include "measure/PointConditions.h"
#include "measure/Routes.h"
#include "measure/Samplingimp.h"
#include "platform/DateTime.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <utility>

namespace {

TCondition Parse(const char* text) {
    std::string error;
    const auto condition = ParseCondition(text, error);
    EXPECT_TRUE(condition.has_value()) << error;
    return condition.value_or(TCondition{});
}

class ConditionsFlowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SavedState = TDeviceState{};
        ClearConditions();
        session = std::make_unique<TSimSession>(out, EncodeDateTime(2026, 12, 7, 9, 30, 0, 0));
        RunAll({"k1-long", "wait 1500"});
    }
    void TearDown() override { ClearConditions(); }
    void RunAll(std::initializer_list<const char*> lines) {
        for (const char* line : lines) {
            std::string error;
            ASSERT_TRUE(session->RunLine(line, error)) << error;
        }
    }
    float PointVelocity(int16_t index) {
        TPointRecord record{};
        RouteGetPoint(index, record);
        return record.Results.Value[RESULT_VEL_RMS];
    }

    std::ostringstream out;
    std::unique_ptr<TSimSession> session;
};

TEST_F(ConditionsFlowTest, APointKeepsWhatItWasMeasuredWithUntilMeasuredAgain) {
    const float stored = PointVelocity(2);
    // The headless runner's own command, as a trainer's script gives it.
    RunAll({"condition 2 misalignment rpm=2950  velocity=7.1 # two spaces and a comment"});
    EXPECT_EQ(AssignedCondition(2), Parse("misalignment rpm=2950 velocity=7.1"));
    RunAll({"k2", "k1", "k2", "wait 5900"}); // measure point 2 (kind 0)
    EXPECT_NEAR(PointVelocity(2), 7.1f, 0.03f * 7.1f);
    EXPECT_NEAR(CurrentPoint.Results.Value[RESULT_VEL_RMS], 7.1f, 0.03f * 7.1f);

    AssignCondition(2, Parse("imbalance velocity=1.4"));
    EXPECT_NEAR(PointVelocity(2), 7.1f, 0.03f * 7.1f) << "a new assignment waits for the next measurement";
    RunAll({"k2", "k2", "wait 5900"}); // measure again, answering Yes
    EXPECT_NEAR(PointVelocity(2), 1.4f, 0.03f * 1.4f);

    RunAll({"condition 2 stored", "k2", "k2", "wait 5900"});
    EXPECT_EQ(PointVelocity(2), stored) << "back to the stored waveform, bit for bit";
}

TEST_F(ConditionsFlowTest, TheRunnersConditionCommandNamesEverySourceAndRefusesBadLines) {
    RunAll({"condition watch gear teeth=31", "condition offroute looseness", "condition hf bearing-inner",
            "condition 13 good seed=7",
            "condition 3 electrical+bearing-outer line=60 shares=1,3 stage=3 speed-jitter=2",
            "condition 4 vane-pass blades=7", "condition 5 resonance resonance=31.5"});
    EXPECT_EQ(AssignedCondition(SOURCE_WATCH).Teeth, 31);
    EXPECT_EQ(AssignedCondition(SOURCE_OFFROUTE).Kind, TConditionKind::Looseness);
    EXPECT_EQ(AssignedCondition(SOURCE_HF).Kind, TConditionKind::BearingInner);
    EXPECT_EQ(AssignedCondition(13).Seed, 7u);
    EXPECT_EQ(AssignedCondition(3),
              Parse("electrical+bearing-outer line=60 shares=1,3 stage=3 speed-jitter=2"));
    EXPECT_EQ(AssignedCondition(4).Blades, 7);
    EXPECT_EQ(AssignedCondition(5).ResonanceHz, 31.5);

    const std::pair<const char*, const char*> bad[] = {
        {"condition 14 imbalance", "route point 1..13"},
        {"condition 0 imbalance", "route point 1..13"},
        {"condition -1 imbalance", "route point 1..13"},
        {"condition Watch imbalance", "route point 1..13"},
        {"condition 2 wobble", "unknown condition wobble"},
        {"condition 2 imbalance rpm=5", "rpm is 60 to 30000"},
        {"condition 2 bearing-outer bearing=8,0.00001,12,0", "bearing is N,d,D,a"},
        {"condition 2 gear teeth=1e10", "teeth is a whole number"},
        {"condition 2 imbalance velocity=70.5", "velocity is 0.01 to 70"},
        {"condition 2 imbalance+imbalance", "two different faults"},
        {"condition 2 electrical line=55", "line is 50 or 60"},
        {"condition 2 imbalance rpm", "expected key=value"},
        {"condition 2", "not a command"},
    };
    for (const auto& [line, says] : bad) {
        std::string error;
        EXPECT_FALSE(session->RunLine(line, error)) << line;
        EXPECT_NE(error.find(says), std::string::npos) << line << ": " << error;
    }
    EXPECT_EQ(AssignedCondition(2), TCondition{}) << "a refused line assigns nothing";
}

TEST_F(ConditionsFlowTest, AnOffRoutePointTakesTheOffRouteAssignmentAndKeepsItsOwn) {
    AssignCondition(SOURCE_OFFROUTE, Parse("bearing-outer velocity=2.8"));
    RunAll({"k1", "k1", "k1", "k2", "k2", "wait 5900"}); // the Off-route machine's new point
    EXPECT_EQ(MeasuredCondition(SOURCE_OFFROUTE_BASE + 1).Kind, TConditionKind::BearingOuter);
    AssignCondition(SOURCE_OFFROUTE, Parse("gear velocity=11"));
    EXPECT_NEAR(PointVelocity(OFFROUTE_FIRST_INDEX), 2.8f, 0.03f * 2.8f);
}

TEST_F(ConditionsFlowTest, TooLoudASignalEndsInTheOverloadNoticeEverywhere) {
    const TCondition loud = Parse("looseness velocity=70");
    AssignCondition(2, loud);
    AssignCondition(SOURCE_WATCH, loud);
    AssignCondition(SOURCE_HF, loud);
    RunAll({"both", "k1", "k1", "k1", "k2", "k2", "wait 5900", "show --art", "k1"}); // WATCH, Meas.
    EXPECT_EQ(WatchMeasured, 1);
    RunAll({"both", "k1", "k1", "k1", "k2", "k2", "wait 5900", "show --art", "k1"}); // HF sp.
    EXPECT_EQ(ViewState.Kind, KIND_HF) << "the spectrum follows the notice";
    ExpectMatchesGolden("condition_overload", out.str());
}

TEST_F(ConditionsFlowTest, AnOverloadedPointKeepsItsMarkThroughEveryRebuild) {
    AssignCondition(2, Parse("looseness velocity=70"));
    RunAll({"k2", "k1", "k2", "wait 5900", "k1"});
    TPointRecord record{};
    RouteGetPoint(2, record);
    EXPECT_EQ(record.OverloadMark, static_cast<int16_t>(0xAAAA));
    RouteGetPoint(4, record);
    EXPECT_EQ(record.OverloadMark, 0);
}

} // namespace
