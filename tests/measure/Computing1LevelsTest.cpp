// Levels, spectra and crest factor at their limits: no signal, scaled
// signals, DC in the crest factor.
#include "Computing1TestSignals.h"

#include "device/Global.h"
#include "measure/Computing1.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class LevelsTest : public ::testing::Test {
  protected:
    void SetUp() override { SetMeasurementDefaults(); }
};

class ConstantInputTest : public LevelsTest, public ::testing::WithParamInterface<int> {};

TEST_P(ConstantInputTest, GivesZeroLevelsAndAnEmptySpectrum) {
    signals::Fill(static_cast<int16_t>(GetParam()));
    TMeasResults results;
    results.Value.fill(-1.0f);
    ComputeVibrationResults(results);
    for (float v : results.Value)
        EXPECT_EQ(v, 0.0f);

    float scale = 0.0f;
    ComputeSpectrum(32, 3200, true, KIND_MEAS, scale);
    for (int k = 32; k <= 3200; ++k)
        ASSERT_EQ(SpecRe[k], 0) << k;
}

INSTANTIATE_TEST_SUITE_P(Codes, ConstantInputTest, ::testing::Values(0, 1, 32768 - 65536, 12345, -1));

// Deviations below 0x2000 codes are scaled up before the transform; four
// times the signal, still below 0x2000, must give four times every level.
TEST_F(LevelsTest, FourTimesASmallSignalGivesFourTimesEveryLevel) {
    signals::Write({{23.1, 300.0, 0.3}, {69.7, 200.0, 1.1}, {412.0, 150.0, 2.0}}, 32768.0);
    TMeasResults small;
    ComputeVibrationResults(small);
    for (int16_t& x : SampleBuffer)
        x = static_cast<int16_t>(32768 + 4 * (static_cast<uint16_t>(x) - 32768));
    TMeasResults large;
    ComputeVibrationResults(large);

    for (std::size_t i = 0; i < small.Value.size(); ++i) {
        ASSERT_GT(small.Value[i], 0.0f) << "slot " << i;
        EXPECT_NEAR(large.Value[i] / small.Value[i], 4.0, 4.0 * 1e-4) << "slot " << i;
    }
}

// The crest factor reads raw samples: a DC level counts in both the peak
// and the RMS.
struct CrestCase {
    double amplitude;
    double dc;
    double hz;
};

class CrestFactorTest : public LevelsTest, public ::testing::WithParamInterface<CrestCase> {};

TEST_P(CrestFactorTest, IsPeakOverRmsWithDcIncluded) {
    const CrestCase c = GetParam();
    signals::Write({{c.hz, c.amplitude}}, c.dc, true);
    TMeasResults results;
    results.Value.fill(-1.0f);
    ComputeCrestFactor(results);
    const double expected = (c.amplitude + c.dc) / std::sqrt(c.amplitude * c.amplitude / 2 + c.dc * c.dc);
    EXPECT_NEAR(results.Value[RESULT_CREST], expected, expected * 0.01);
    for (int i = 1; i < 9; ++i)
        EXPECT_EQ(results.Value[i], 0.0f);
}

INSTANTIATE_TEST_SUITE_P(Sines, CrestFactorTest,
                         ::testing::Values(CrestCase{10000.0, 0.0, 92.5}, CrestCase{200.0, 0.0, 23.1},
                                           CrestCase{30000.0, 0.0, 500.0}, CrestCase{150.0, 50.0, 92.5},
                                           CrestCase{1000.0, 3000.0, 277.5}));

TEST_F(LevelsTest, SampleMeanIsTheDcLevelOfAKindOneSignal) {
    signals::Write({{92.5, 400.0}}, 50.0, true);
    EXPECT_NEAR(SampleMean(), 50.0 * CAL_K / 2.0, 1e-6);
}

} // namespace
