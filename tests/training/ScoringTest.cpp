// Scoring: each asked part against the hidden truth, the zone from the
// severity the point plays against its own machine's group.
#include "training/Scoring.h"
#include "TrainingSamples.h"

#include <gtest/gtest.h>

namespace {

struct TScoreCase {
    const char* Case;
    TAsk What;
    TAnswer Answer;
    bool ConditionRight, ZoneRight, Right;
};

const TRightAnswer kOuterInB{"bearing-outer", 'B', 2.0};

const TScoreCase kScores[] = {
    {"BothRight", TAsk::Both, {"bearing-outer", 'B', ""}, true, true, true},
    {"BothWrongZone", TAsk::Both, {"bearing-outer", 'C', ""}, true, false, false},
    {"BothWrongCondition", TAsk::Both, {"bearing-inner", 'B', ""}, false, true, false},
    {"BothZoneMissing", TAsk::Both, {"bearing-outer", 0, ""}, true, false, false},
    {"ConditionAskedZoneWrong", TAsk::Condition, {"bearing-outer", 'D', ""}, true, false, true},
    {"ConditionAskedOnlyZoneGiven", TAsk::Condition, {"", 'B', ""}, false, true, false},
    {"ZoneAskedConditionWrong", TAsk::Zone, {"imbalance", 'B', ""}, false, true, true},
    {"ZoneAskedWrong", TAsk::Zone, {"", 'A', ""}, false, false, false},
    {"Unanswered", TAsk::Both, {}, false, false, false},
    {"NotACondition", TAsk::Condition, {"wobble", 'B', ""}, false, true, false},
    {"StoredIsNoAnswer", TAsk::Condition, {"stored", 'B', ""}, false, true, false},
    {"OneFaultOfTwoGiven", TAsk::Condition, {"bearing-outer+imbalance", 0, ""}, false, false, false},
};

class Scoring : public ::testing::TestWithParam<TScoreCase> {};

TEST_P(Scoring, EachAskedPartCounts) {
    const TScoreCase& c = GetParam();
    const TPointScore score = ScoreAnswer(c.What, c.Answer, kOuterInB);
    EXPECT_EQ(score.ConditionRight, c.ConditionRight);
    EXPECT_EQ(score.ZoneRight, c.ZoneRight);
    EXPECT_EQ(score.Right, c.Right);
}

INSTANTIATE_TEST_SUITE_P(Answers, Scoring, ::testing::ValuesIn(kScores),
                         [](const ::testing::TestParamInfo<TScoreCase>& p) {
                             return std::string(p.param.Case);
                         });

TEST(Scoring, TwoFaultsMatchInEitherOrder) {
    const TRightAnswer two{"misalignment+looseness", 'C', 5.0};
    EXPECT_TRUE(ScoreAnswer(TAsk::Condition, {"looseness+misalignment", 0, ""}, two).Right);
    EXPECT_TRUE(ScoreAnswer(TAsk::Condition, {"misalignment+looseness", 0, ""}, two).Right);
    EXPECT_FALSE(ScoreAnswer(TAsk::Condition, {"misalignment", 0, ""}, two).Right);
}

TEST(Scoring, TheRightZoneIsTheSeverityAgainstThePointsOwnMachine) {
    // 3.6 mm/s: C on a medium machine on a rigid foundation (2.8..4.5), B on
    // a large one on a flexible foundation (3.5..7.1). 0.9 mm/s is A on both.
    TExercise e = ThreePumps();
    EXPECT_EQ(RightAnswer(e, 2).Zone, 'C');
    EXPECT_NEAR(RightAnswer(e, 2).Velocity, 3.6, 0.1);
    EXPECT_EQ(RightAnswer(e, 2).Condition, "imbalance");
    e.Groups[0] = TMachineGroup::Group1Flexible;
    EXPECT_EQ(RightAnswer(e, 2).Zone, 'B');
    // Point 6 is on machine 2 (large, flexible): 2 mm/s is A there, B on machine 1's group.
    EXPECT_EQ(RightAnswer(e, 6).Zone, 'A');
    e.Groups[1] = TMachineGroup::Group2Rigid;
    EXPECT_EQ(RightAnswer(e, 6).Zone, 'B');
    EXPECT_EQ(RightAnswer(e, 9).Condition, "good");
    EXPECT_EQ(RightAnswer(e, 11).Condition, "misalignment+looseness");
}

} // namespace
