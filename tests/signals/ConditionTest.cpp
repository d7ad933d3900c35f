#include "signals/Condition.h"

#include <gtest/gtest.h>

namespace {

TEST(ConditionText, EveryConditionSurvivesItsTextForm) {
    for (int i = 0; i < CONDITION_KIND_COUNT; ++i) {
        TCondition c;
        c.Kind = static_cast<TConditionKind>(i);
        c.Rpm = 2975.5;
        c.Velocity = 0.37;
        c.Noise = 0.125;
        c.Seed = 4000000000u;
        c.Bearing = {13, 7.94, 46.5, 15.0};
        c.Teeth = 41;
        std::string error;
        const auto back = ParseCondition(FormatCondition(c), error);
        ASSERT_TRUE(back.has_value()) << error;
        EXPECT_EQ(*back, c) << FormatCondition(c);
    }
}

struct TBadText {
    const char* Text;
    const char* Reason; // a word the one-line reason must hold
};

class ConditionBadTextTest : public testing::TestWithParam<TBadText> {};

TEST_P(ConditionBadTextTest, IsRefusedWithAReason) {
    std::string error;
    EXPECT_FALSE(ParseCondition(GetParam().Text, error).has_value());
    EXPECT_NE(error.find(GetParam().Reason), std::string::npos) << error;
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Texts, ConditionBadTextTest, testing::Values(
    TBadText{"", "name"},
    TBadText{"wobble rpm=1480", "wobble"},
    TBadText{"imbalance rpm=12", "rpm"},
    TBadText{"imbalance rpm=1480x", "rpm"},
    TBadText{"imbalance rpm=nan", "rpm"},
    TBadText{"imbalance velocity=0", "velocity"},
    TBadText{"imbalance noise=-1", "noise"},
    TBadText{"imbalance seed=-1", "seed"},
    TBadText{"bearing-outer bearing=8,12,2,0", "bearing"},
    TBadText{"bearing-outer bearing=8,2,12", "bearing"},
    TBadText{"bearing-outer bearing=8.5,2,12,0", "bearing"},
    TBadText{"bearing-outer bearing=8,2,12,0,1", "bearing"},
    TBadText{"gear teeth=1", "teeth"},
    TBadText{"gear teeth", "key=value"},
    TBadText{"gear colour=red", "unknown key"}));
// clang-format on

TEST(ConditionLines, MarkTheFaultAndItsHarmonics) {
    TCondition c;
    c.Kind = TConditionKind::BearingOuter;
    c.Rpm = 1500;
    const auto lines = CharacteristicLines(c, 300.0);
    ASSERT_EQ(lines.size(), 4u); // 1x, BPFO, 2xBPFO, 3xBPFO
    EXPECT_EQ(lines[1].Label, "BPFO");
    EXPECT_NEAR(lines[2].Hz, 2 * 83.333, 0.01);
    const auto band = CharacteristicLines(c, 1000.0);
    ASSERT_EQ(band.size(), 13u); // 1x and every BPFO harmonic up to 12 x 83.33 Hz
    EXPECT_EQ(band.back().Label, "12xBPFO");
    c.Kind = TConditionKind::Gear;
    c.Teeth = 20;
    const auto gear = CharacteristicLines(c, 1000.0);
    ASSERT_EQ(gear.size(), 5u);
    EXPECT_EQ(gear[1].Label, "GMF-1x");
    EXPECT_NEAR(gear[2].Hz, 500.0, 1e-9);
}

} // namespace
