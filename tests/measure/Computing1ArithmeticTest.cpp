// The shared arithmetic and the constant tables of the computation.
#include "measure/Computing1.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <numeric>

namespace {

struct SqrtCase {
    int32_t argument;
    uint16_t root;
};

class IntSqrtTest : public ::testing::TestWithParam<SqrtCase> {};

TEST_P(IntSqrtTest, GivesTheIntegerPartOfTheRoot) {
    EXPECT_EQ(IntSqrt(GetParam().argument), GetParam().root);
}

INSTANTIATE_TEST_SUITE_P(Limits, IntSqrtTest,
                         ::testing::Values(SqrtCase{0, 0}, SqrtCase{1, 1}, SqrtCase{3, 1}, SqrtCase{4, 2},
                                           SqrtCase{5000, 70}, SqrtCase{2147395599, 46339},
                                           SqrtCase{2147395600, 46340}, SqrtCase{2147483647, 46340},
                                           SqrtCase{-1, 0}, SqrtCase{INT32_MIN, 0}));

TEST(IntSqrtTest, BracketsTheRootAcrossTheRange) {
    for (int64_t a = 1; a <= INT32_MAX; a = a * 3 + 7) {
        const int64_t r = IntSqrt(static_cast<int32_t>(a));
        EXPECT_LE(r * r, a);
        EXPECT_GT((r + 1) * (r + 1), a);
    }
}

TEST(Pow2HalfTest, HalfStepsUseTheFloatRootOfTwo) {
    EXPECT_EQ(Pow2Half(0), 1.0f);
    EXPECT_EQ(Pow2Half(3), 2.8284272f);
    EXPECT_EQ(Pow2Half(-1), 0.70710677f);
    EXPECT_EQ(Pow2Half(8), 16.0f);
    EXPECT_EQ(Pow2Half(-8), 0.0625f);
    EXPECT_EQ(Pow2Half(-32768), 0.0f); // far below the smallest float, and no endless negation
}

TEST(BandRmsTest, OneLineRoundsItsRootInIntegers) {
    int16_t lines[8] = {};
    lines[3] = 100;
    EXPECT_EQ(BandRms(lines, 3, 3, 1.0f), 70.0f);
    EXPECT_EQ(BandRms(lines, 0, 7, 0.5f), 35.0f);
    EXPECT_EQ(BandRms(lines, 4, 7, 1.0f), 0.0f);
}

// A sum far above 2^31 exercises the halvings; full-scale lines of either sign.
TEST(BandRmsTest, StaysWithinRoundingOfTheTrueRmsWhenTheSumHalves) {
    int16_t lines[4096];
    double sum = 0;
    for (int k = 0; k < 4096; ++k) {
        lines[k] = static_cast<int16_t>(k % 3 == 0 ? -32768 : 32767 - 5 * k);
        sum += static_cast<double>(lines[k]) * lines[k];
    }
    const double expected = std::sqrt(sum / 2);
    EXPECT_NEAR(BandRms(lines, 0, 4095, 1.0f), expected, expected * 2e-4);
}

TEST(SineTableTest, IsTheRoundedQuarterWave) {
    EXPECT_EQ(SineTable[0], 0);
    EXPECT_EQ(SineTable[2048], 32767);
    EXPECT_EQ(SineTable[1024], 23170);
    for (int k = 0; k <= 2048; ++k) {
        EXPECT_EQ(SineTable[k], std::lround(32767.0 * std::sin(std::numbers::pi * k / 4096)))
            << "entry " << k;
    }
}

TEST(PeakFilterTest, IsSymmetricAndEachPhaseHasUnitGain) {
    for (int i = 0; i <= 120; ++i)
        EXPECT_EQ(PeakFilter[i], PeakFilter[120 - i]) << i;
    EXPECT_EQ(PeakFilter[60], 31733);
    for (int p = 0; p < 8; ++p) {
        int sum = 0;
        for (int i = 7 - p; i <= 120; i += 8)
            sum += PeakFilter[i];
        EXPECT_NEAR(sum, 32768, 12) << "phase " << p;
    }
}

} // namespace
