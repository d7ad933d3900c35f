#include "signals/Condition.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

TEST(ConditionText, EveryConditionSurvivesItsTextForm) {
    TCondition c;
    c.Rpm = 2975.5;
    c.Velocity = 0.37;
    c.Noise = 0.125;
    c.Seed = 4000000000u;
    c.Bearing = {13, 7.94, 46.5, 15.0};
    c.Teeth = 41;
    c.LineHz = 60;
    c.Blades = 500;
    c.ResonanceHz = 1234.5;
    c.Stage = 4;
    c.SpeedJitter = 2.5;
    for (int i = 0; i < CONDITION_KIND_COUNT; ++i) {
        c.Kind = static_cast<TConditionKind>(i);
        std::string error;
        const auto back = ParseCondition(FormatCondition(c), error);
        ASSERT_TRUE(back.has_value()) << error;
        EXPECT_EQ(*back, c) << FormatCondition(c);
    }
    // A combined condition, its shares, and no seed (the point's own).
    c.Kind = TConditionKind::Imbalance;
    c.Second = TConditionKind::BearingOuter;
    c.Shares = {0.3, 0.7};
    c.Seed.reset();
    std::string error;
    const auto back = ParseCondition(FormatCondition(c), error);
    ASSERT_TRUE(back.has_value()) << error;
    EXPECT_EQ(*back, c) << FormatCondition(c);
    EXPECT_NEAR(ShareOf(*back, 1), 0.7, 1e-12);
}

TEST(ConditionText, AnOlderKindKeepsTheTextOlderVersionsRead) {
    TCondition c;
    c.Kind = TConditionKind::BearingInner;
    c.Seed = 7;
    EXPECT_EQ(FormatCondition(c),
              "bearing-inner rpm=1480 velocity=4.5 noise=0.05 seed=7 bearing=8,2,12,0 teeth=23");
    c.Kind = TConditionKind::Electrical;
    c.Seed.reset();
    EXPECT_EQ(FormatCondition(c),
              "electrical rpm=1480 velocity=4.5 noise=0.05 bearing=8,2,12,0 teeth=23 line=50");
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

// Values at and past every bound, the absurd and the non-finite.
// clang-format off
INSTANTIATE_TEST_SUITE_P(Texts, ConditionBadTextTest, testing::Values(
    TBadText{"", "name"},
    TBadText{"wobble rpm=1480", "wobble"},
    TBadText{"imbalance+imbalance", "two different"},
    TBadText{"stored+gear", "two different"},
    TBadText{"imbalance+", "unknown condition"},
    TBadText{"imbalance+gear+looseness", "gear+looseness"},
    TBadText{"imbalance rpm=59.99", "rpm"},
    TBadText{"imbalance rpm=30000.01", "rpm"},
    TBadText{"imbalance rpm=1480x", "rpm"},
    TBadText{"imbalance rpm=nan", "rpm"},
    TBadText{"imbalance rpm=inf", "rpm"},
    TBadText{"imbalance rpm=1e10", "rpm"},
    TBadText{"imbalance velocity=0", "velocity"},
    TBadText{"imbalance velocity=70.01", "velocity"},
    TBadText{"imbalance velocity=1e-300", "velocity"},
    TBadText{"imbalance velocity=1e400", "velocity"},
    TBadText{"imbalance noise=-1", "noise"},
    TBadText{"imbalance seed=-1", "seed"},
    TBadText{"imbalance seed=4294967296", "seed"},
    TBadText{"bearing-outer bearing=8,12,2,0", "bearing"},
    TBadText{"bearing-outer bearing=8,12,12,0", "bearing"},
    TBadText{"bearing-outer bearing=8,0,12,0", "bearing"},
    TBadText{"bearing-outer bearing=8,-2,12,0", "bearing"},
    TBadText{"bearing-outer bearing=8,0.00001,12,0", "bearing"},
    TBadText{"bearing-outer bearing=8,1e-300,12,0", "bearing"},
    TBadText{"bearing-outer bearing=8,7,12,0", "bearing"},    // d/D over 0.5
    TBadText{"bearing-outer bearing=20,2,12,0", "bearing"},   // 20 balls do not fit
    TBadText{"bearing-outer bearing=2,2,12,0", "bearing"},
    TBadText{"bearing-outer bearing=101,0.3,12,0", "bearing"},
    TBadText{"bearing-outer bearing=1e10,2,12,0", "bearing"},
    TBadText{"bearing-outer bearing=8,2,12,45.1", "bearing"},
    TBadText{"bearing-outer bearing=8,2,12,-1", "bearing"},
    TBadText{"bearing-outer bearing=8,2e9,1e10,0", "bearing"},
    TBadText{"bearing-outer bearing=8,2,12", "bearing"},
    TBadText{"bearing-outer bearing=8.5,2,12,0", "bearing"},
    TBadText{"bearing-outer bearing=8,2,12,0,1", "bearing"},
    TBadText{"gear teeth=0", "teeth"},
    TBadText{"gear teeth=501", "teeth"},
    TBadText{"gear teeth=1e10", "teeth"},
    TBadText{"gear teeth=-1e10", "teeth"},
    TBadText{"gear teeth=23.5", "teeth"},
    TBadText{"electrical line=55", "line"},
    TBadText{"electrical line=50.0", "line"},
    TBadText{"vane-pass blades=0", "blades"},
    TBadText{"vane-pass blades=501", "blades"},
    TBadText{"vane-pass blades=1e10", "blades"},
    TBadText{"resonance resonance=0.5", "resonance"},
    TBadText{"resonance resonance=25000.5", "resonance"},
    TBadText{"bearing-outer stage=0", "stage"},
    TBadText{"bearing-outer stage=5", "stage"},
    TBadText{"bearing-outer stage=2.5", "stage"},
    TBadText{"imbalance speed-jitter=-1", "speed-jitter"},
    TBadText{"imbalance speed-jitter=10.5", "speed-jitter"},
    TBadText{"imbalance+gear shares=1,0", "shares"},
    TBadText{"imbalance+gear shares=1,200", "shares"},
    TBadText{"imbalance+gear shares=0.01,99", "shares"}, // under 1 % of the sum
    TBadText{"imbalance+gear shares=1,1,1", "shares"},
    TBadText{"imbalance+gear shares=1", "shares"},
    TBadText{"gear teeth", "key=value"},
    TBadText{"gear colour=red", "unknown key"}));
// clang-format on

TEST(ConditionText, ValuesAtEveryBoundAreTaken) {
    for (const char* text :
         {"imbalance rpm=60 velocity=70 noise=2 seed=4294967295", "imbalance rpm=30000 velocity=0.01 noise=0",
          "bearing-ball bearing=3,0.25,12.5,45", "bearing-ball bearing=100,0.6,20,0",
          "bearing-ball bearing=3,6,12,0", "gear teeth=1", "gear teeth=500", "vane-pass blades=1",
          "vane-pass blades=500", "electrical line=60", "resonance resonance=1", "resonance resonance=25000",
          "bearing-cage stage=1", "bearing-cage stage=4", "imbalance speed-jitter=10",
          "imbalance+gear shares=1,99", "good+resonance shares=99,1"}) {
        std::string error;
        EXPECT_TRUE(ParseCondition(text, error).has_value()) << text << ": " << error;
    }
}

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

struct TLineCase {
    const char* Text;
    const char* Label;
    double Hz;
};

// Each kind's lines where a bearing table, a gear or vane count or the
// supply predict them (geometry 8,2,12,0: d/D = 1/6).
TEST(ConditionLines, EveryKindMarksItsOwnLinesByName) {
    // clang-format off
    const TLineCase cases[] = {
        {"bearing-cage rpm=600", "239xFTF", 239 * 5.0 * 5 / 6},   // the comb reaches the top of the band
        {"bearing-ball rpm=1500", "BSF", 3 * 25.0 * 35 / 36},          // the ball's spin, the table's figure
        {"bearing-ball rpm=1500", "2xBSF", 6 * 25.0 * 35 / 36},        // its defect's strikes
        {"bearing-ball rpm=1500", "2xBSF-FTF", 6 * 25.0 * 35 / 36 - 12.5 * 5 / 6},
        {"bearing-inner rpm=1500", "BPFI+1x", 4 * 25.0 * 7 / 6 + 25},
        {"electrical rpm=2970", "2x", 99.0},
        {"electrical rpm=2970", "2xLF", 100.0},
        {"electrical rpm=2970", "2xLF+PP", 101.0},                     // two poles slipping 0.5 Hz
        {"electrical rpm=1780 line=60", "2xLF-PP", 120.0 - 4.0 / 3},   // four poles slipping 1/3 Hz
        {"vane-pass rpm=1480 blades=7", "VPF", 7 * 1480 / 60.0},
        {"vane-pass rpm=1480 blades=7", "3xVPF", 21 * 1480 / 60.0},
        {"resonance resonance=26", "RES", 26.0},
        {"imbalance+bearing-outer rpm=1500", "BPFO", 4 * 25.0 * 5 / 6},
        {"imbalance+bearing-outer rpm=1500", "2x", 50.0},
        {"resonance+electrical rpm=2970", "2xLF", 100.0},
    };
    // clang-format on
    for (const TLineCase& want : cases) {
        std::string error;
        const auto c = ParseCondition(want.Text, error);
        ASSERT_TRUE(c.has_value()) << error;
        const auto lines = CharacteristicLines(*c, 1000.0);
        const auto found = std::find_if(lines.begin(), lines.end(),
                                        [&](const TCharacteristicLine& l) { return l.Label == want.Label; });
        ASSERT_NE(found, lines.end()) << want.Text << " has no " << want.Label;
        EXPECT_NEAR(found->Hz, want.Hz, 1e-6) << want.Text << " " << want.Label;
        EXPECT_TRUE(std::is_sorted(lines.begin(), lines.end(),
                                   [](const auto& a, const auto& b) { return a.Hz < b.Hz; }));
        // A line both parts of a combined condition mark is marked once.
        EXPECT_EQ(std::count_if(lines.begin(), lines.end(), [](const auto& l) { return l.Label == "1x"; }), 1)
            << want.Text;
    }
}

TEST(ConditionLines, TheFaultFrequencyIsWhereTheDefectRepeats) {
    // clang-format off
    const std::pair<const char*, double> cases[] = {
        {"bearing-ball rpm=1500", 6 * 25.0 * 35 / 36}, // both races struck once per spin
        {"electrical rpm=2970 line=60", 120.0},
        {"vane-pass rpm=1500 blades=5", 125.0},
        {"resonance resonance=31.5", 31.5},
        {"gear+imbalance rpm=1500 teeth=20", 500.0},    // a combined condition's first part
    };
    // clang-format on
    for (const auto& [text, hz] : cases) {
        std::string error;
        const auto c = ParseCondition(text, error);
        ASSERT_TRUE(c.has_value()) << error;
        EXPECT_NEAR(FaultFrequency(*c), hz, 1e-9) << text;
    }
}

} // namespace
