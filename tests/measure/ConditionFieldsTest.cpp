// A typed figure taken into a machine condition: the one door both front
// ends' editors go through, at and past every field's limits.
#include "measure/ConditionFields.h"
#include "measure/PointConditions.h"
#include "resources/StringIds.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct TFieldCase {
    const char* Case;
    const char* Key;
    const char* Text;
    int RefusalId; // 0: taken
    double Shown;  // the field's figure afterwards
};

class ConditionFieldsTest : public ::testing::TestWithParam<TFieldCase> {};

TEST_P(ConditionFieldsTest, TakesAFigureWithinItsRangeAndRefusesTheRestUnchanged) {
    const TFieldCase& c = GetParam();
    TCondition condition;
    condition.Kind = TConditionKind::BearingOuter;
    const TCondition before = condition;
    const std::optional<TConditionNote> refusal = SetConditionField(condition, c.Key, c.Text, 1);
    EXPECT_EQ(refusal ? refusal->TextId : 0, c.RefusalId);
    if (refusal) {
        EXPECT_EQ(condition, before);
    }
    if (const TConditionField* field = FindConditionField(c.Key)) {
        EXPECT_DOUBLE_EQ(ConditionFieldValue(condition, *field, 1), c.Shown);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fields, ConditionFieldsTest,
    ::testing::Values(TFieldCase{"RpmAtLeast", "rpm", "60", 0, 60},
                      TFieldCase{"RpmBelow", "rpm", "59.9", TEXT_VALUE_REFUSED, 1480},
                      TFieldCase{"RpmAtMost", "rpm", "30000", 0, 30000},
                      TFieldCase{"RpmPast", "rpm", "30000.1", TEXT_VALUE_REFUSED, 1480},
                      TFieldCase{"DecimalComma", "velocity", " 7,25 ", 0, 7.25},
                      TFieldCase{"RoundedToDecimals", "velocity", "0.0104", 0, 0.01},
                      TFieldCase{"RoundedBelowRange", "velocity", "0.0049", TEXT_VALUE_REFUSED, 4.5},
                      TFieldCase{"NotAFigure", "velocity", "4.5mm", TEXT_VALUE_REFUSED, 4.5},
                      TFieldCase{"Empty", "noise", "", TEXT_VALUE_REFUSED, 0.05},
                      TFieldCase{"Exponent", "noise", "1e-1", TEXT_VALUE_REFUSED, 0.05},
                      TFieldCase{"Infinity", "rpm", "inf", TEXT_VALUE_REFUSED, 1480},
                      TFieldCase{"SeedAtMost", "seed", "4294967295", 0, 4294967295.0},
                      TFieldCase{"SeedPast", "seed", "4294967296", TEXT_VALUE_REFUSED,
                                 static_cast<double>(PointSeed(1))},
                      TFieldCase{"StagePast", "stage", "5", TEXT_VALUE_REFUSED, 2},
                      // The parser's rules between fields: the ball must fit its circle.
                      TFieldCase{"BallNotBelowPitch", "ball", "12", TEXT_BALL_NOT_BELOW_PITCH, 2},
                      TFieldCase{"BallsDoNotFit", "elements", "100", TEXT_BEARING_REFUSED, 8},
                      TFieldCase{"SharesOutOfProportion", "share1", "100", TEXT_SHARES_REFUSED, 1},
                      TFieldCase{"SameFaultTwice", "second", "bearing-outer", TEXT_SAME_FAULT_TWICE, 0},
                      TFieldCase{"UnknownKind", "kind", "wobble", TEXT_FIELD_VALUE_UNKNOWN, 0},
                      TFieldCase{"OddLine", "line", "55", TEXT_FIELD_VALUE_UNKNOWN, 0},
                      TFieldCase{"UnknownKey", "colour", "1", TEXT_FIELD_VALUE_UNKNOWN, 0}),
    [](const ::testing::TestParamInfo<TFieldCase>& p) { return std::string(p.param.Case); });

// A seed typed as the point's own stays unnamed, so that it follows the
// point; any other is held.
TEST(ConditionFields, APointsOwnSeedStaysUnnamed) {
    TCondition condition;
    condition.Kind = TConditionKind::Good;
    ASSERT_FALSE(SetConditionField(condition, "seed", std::to_string(PointSeed(3)), 3));
    EXPECT_FALSE(condition.Seed.has_value());
    ASSERT_FALSE(SetConditionField(condition, "seed", "7", 3));
    EXPECT_EQ(condition.Seed, 7u);
}

// A stored condition takes no second fault; choosing it clears one.
TEST(ConditionFields, AStoredConditionHasNoSecondFault) {
    TCondition condition;
    ASSERT_FALSE(SetConditionField(condition, "kind", "imbalance", 1));
    ASSERT_FALSE(SetConditionField(condition, "second", "gear", 1));
    EXPECT_TRUE(IsCombined(condition));
    ASSERT_FALSE(SetConditionField(condition, "kind", "stored", 1));
    EXPECT_EQ(condition.Second, TConditionKind::Stored);
    ASSERT_FALSE(SetConditionField(condition, "second", "gear", 1));
    EXPECT_EQ(condition.Second, TConditionKind::Stored);
}

} // namespace
