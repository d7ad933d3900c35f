// The severity is the machine's velocity RMS over the ISO band, checked by
// an independent transform of the velocity channel's samples; the
// instrument shows what its own band sees, and nothing the channel cannot
// show reaches its samples.
#include "../measure/DoubleReference.h"
#include "InstrumentReading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

struct TBandCase {
    TConditionKind Kind;
    double Rpm;
    double Velocity;
    int16_t Teeth;
    int FirstLine;  // of the ISO band: 10 Hz (30) above 600 rpm, 2 Hz (6) or 1x below
    bool ReadsLess; // 1x lies below the instrument's 10 Hz band
};

class SeverityBandTest : public testing::TestWithParam<TBandCase> {};

TEST_P(SeverityBandTest, TheBandHoldsTheSeverityAndNothingFoldsOrClips) {
    const auto& p = GetParam();
    TCondition c = Make(p.Kind, p.Rpm, p.Velocity);
    c.Teeth = p.Teeth;
    const std::string what = std::string(ConditionName(p.Kind)) + " at " + std::to_string(p.Rpm) + " rpm";
    const TReading r = ReadCondition(c, KIND_MEAS);
    EXPECT_FALSE(r.Clipped) << what;
    const double severity = reference::Levels(SampleBuffer, VELOCITY_PER_CODE, p.FirstLine, 3202).velocityRms;
    EXPECT_NEAR(severity, p.Velocity, 0.03 * p.Velocity) << what;
    const float read = r.Results.Value[RESULT_VEL_RMS];
    if (p.ReadsLess)
        EXPECT_LT(read, 0.5 * p.Velocity) << what;
    else
        EXPECT_NEAR(read, p.Velocity, 0.03 * p.Velocity) << what;
    // Every line standing out of the floor is the shaft's or a multiple of it.
    const double perLine = p.Rpm / 60.0 / 0.3125;
    for (int k = 31; k < 3202; ++k) {
        const float v = r.Lines[static_cast<std::size_t>(k)];
        if (v > 6.0f * Floor(r) && v >= r.Lines[static_cast<std::size_t>(k - 1)] &&
            v >= r.Lines[static_cast<std::size_t>(k + 1)]) {
            EXPECT_NEAR(k, std::round(k / perLine) * perLine, 1.5)
                << what << ": a line at " << k * 0.3125 << " Hz";
        }
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Machines, SeverityBandTest, testing::Values(
    // A mesh at 1150 Hz and at 2000 Hz: beyond the velocity channel.
    TBandCase{TConditionKind::Gear, 3000, 15.0, 23, 30, false},
    TBandCase{TConditionKind::Gear, 3000, 15.0, 40, 30, false},
    // 1x at 5 Hz and 1.5 Hz (below the standard's 120 rpm: the band opens at 1x).
    TBandCase{TConditionKind::Imbalance, 300, 2.8, 23, 6, true},
    TBandCase{TConditionKind::Imbalance, 90, 2.8, 23, 3, true},
    TBandCase{TConditionKind::Misalignment, 120, 4.5, 23, 6, true},
    // At the edge: 600 rpm is a slow machine, its 1x on the instrument's edge.
    TBandCase{TConditionKind::Imbalance, 600, 4.5, 23, 6, false}));
// clang-format on

// Impacts faster than the channel can show ring its resonance with lines
// above 1280 Hz; sampled as they are, they would fold to 2560 - k f (893 Hz
// for the outer race at 3000 rpm, 927 Hz for the inner). Above the
// resonance's haystack (slip spreads the comb around 650 Hz) every line
// standing out must be the defect's comb with its 1x sidebands.
TEST(SeverityBandTest, ImpactTrainsFoldNoLineIntoTheVelocityChannel) {
    for (const auto kind : {TConditionKind::BearingOuter, TConditionKind::BearingInner})
        for (const double rpm : {2400.0, 3000.0}) {
            const TCondition c = Make(kind, rpm, 4.5);
            const TReading r = ReadCondition(c, KIND_MEAS);
            const std::vector<double> bases = {DefiningFrequencies(c)[0], rpm / 60.0};
            for (int k = static_cast<int>(800.0 / 0.3125); k < 3202; ++k) {
                const float v = r.Lines[static_cast<std::size_t>(k)];
                if (v > 6.0f * Floor(r) && v >= r.Lines[static_cast<std::size_t>(k - 1)] &&
                    v >= r.Lines[static_cast<std::size_t>(k + 1)]) {
                    EXPECT_TRUE(IsCombination(bases, k * 0.3125, false))
                        << ConditionName(kind) << " at " << rpm << " rpm: a line at " << k * 0.3125 << " Hz, "
                        << v / Floor(r) << " x the floor";
                }
            }
        }
}

} // namespace
