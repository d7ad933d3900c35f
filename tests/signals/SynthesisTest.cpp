// Every condition is judged by what the instrument itself reads from it.
#include "InstrumentReading.h"
#include "signals/SignalMath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

bool Stands(const TReading& r, double hz) {
    return LineAt(r, hz) > 10.0f * Floor(r);
}

struct TSeverityCase {
    TConditionKind Kind;
    double Rpm;
    double Velocity;
};

class SeverityTest : public testing::TestWithParam<TSeverityCase> {};

TEST_P(SeverityTest, MeasReadsTheAskedVelocityRmsWithinThreePercent) {
    const auto& p = GetParam();
    const TReading r = ReadCondition(Make(p.Kind, p.Rpm, p.Velocity), KIND_MEAS);
    EXPECT_FALSE(r.Clipped);
    EXPECT_NEAR(r.Results.Value[RESULT_VEL_RMS], p.Velocity, 0.03 * p.Velocity)
        << ConditionName(p.Kind) << " at " << p.Rpm << " rpm";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Conditions, SeverityTest, testing::Values(
    TSeverityCase{TConditionKind::Imbalance, 1480, 4.5},
    TSeverityCase{TConditionKind::Imbalance, 1480, 0.5},
    TSeverityCase{TConditionKind::Imbalance, 1480, 20.0},
    TSeverityCase{TConditionKind::Imbalance, 600, 4.5},
    TSeverityCase{TConditionKind::Imbalance, 3000, 4.5},
    TSeverityCase{TConditionKind::Good, 1480, 1.0},
    TSeverityCase{TConditionKind::Misalignment, 1480, 4.5},
    TSeverityCase{TConditionKind::Misalignment, 3000, 7.1},
    TSeverityCase{TConditionKind::Looseness, 1480, 7.1},
    TSeverityCase{TConditionKind::Looseness, 600, 2.8},
    TSeverityCase{TConditionKind::BearingOuter, 1480, 4.5},
    TSeverityCase{TConditionKind::BearingInner, 1480, 4.5},
    TSeverityCase{TConditionKind::BearingBall, 3000, 2.8},
    TSeverityCase{TConditionKind::BearingCage, 600, 2.8},
    TSeverityCase{TConditionKind::Gear, 1480, 4.5},
    TSeverityCase{TConditionKind::Gear, 600, 1.4}));
// clang-format on

TEST(SynthesisLines, ImbalanceIsOneLineAtTheShaftSpeed) {
    const TReading r = ReadCondition(Make(TConditionKind::Imbalance, 1480, 4.5), KIND_MEAS);
    const auto largest = std::max_element(r.Lines.begin(), r.Lines.end()) - r.Lines.begin();
    EXPECT_NEAR(largest, 79, 1);
}

TEST(SynthesisLines, MisalignmentTwiceTheShaftSpeedExceedsOnce) {
    const TReading r = ReadCondition(Make(TConditionKind::Misalignment, 1480, 4.5), KIND_MEAS);
    const double fr = 1480.0 / 60.0;
    EXPECT_GT(LineAt(r, 2 * fr), 1.2f * LineAt(r, fr));
}

TEST(SynthesisLines, LoosenessShowsManyHarmonicsAndHalfOrders) {
    const TReading r = ReadCondition(Make(TConditionKind::Looseness, 1480, 7.1), KIND_MEAS);
    const double fr = 1480.0 / 60.0;
    int harmonics = 0;
    for (int k = 1; k <= 10; ++k)
        harmonics += Stands(r, k * fr) ? 1 : 0;
    EXPECT_GE(harmonics, 5);
    EXPECT_TRUE(Stands(r, 1.5 * fr) || Stands(r, 2.5 * fr));
}

TEST(SynthesisLines, GearShowsTheMeshAndBothFirstSidebands) {
    TCondition c = Make(TConditionKind::Gear, 1480, 4.5);
    c.Teeth = 19;
    const TReading r = ReadCondition(c, KIND_MEAS);
    const double fr = 1480.0 / 60.0;
    const double gmf = 19 * fr;
    EXPECT_TRUE(Stands(r, gmf));
    EXPECT_TRUE(Stands(r, gmf - fr));
    EXPECT_TRUE(Stands(r, gmf + fr));
    EXPECT_GT(LineAt(r, gmf), LineAt(r, gmf - fr));
}

TEST(SynthesisBearing, DefectFrequenciesOfTheCheckBearing) {
    const TBearingFrequencies f = BearingFrequencies({8, 2.0, 12.0, 0.0}, 25.0);
    EXPECT_NEAR(f.Bpfo, 83.33, 0.005);
    EXPECT_NEAR(f.Bpfi, 116.67, 0.005);
    EXPECT_NEAR(f.Bsf, 72.92, 0.005);
    EXPECT_NEAR(f.Ftf, 10.42, 0.005);
    // A contact angle shortens the ball's reach: cos 45 scales d/D by 0.707.
    const TBearingFrequencies angled = BearingFrequencies({8, 4.0, 12.0, 45.0}, 25.0);
    EXPECT_NEAR(angled.Bpfo, 4 * 25.0 * (1 - 4.0 / 12.0 * std::cos(PI / 4)), 1e-9);
}

TEST(SynthesisBearing, HighFrequencyChannelRingsTheResonance) {
    const TReading hf = ReadCondition(Make(TConditionKind::BearingOuter, 1480, 4.5), KIND_HF);
    const auto largest = std::max_element(hf.Lines.begin(), hf.Lines.end()) - hf.Lines.begin();
    // 7.8125 Hz per line: the structure's resonance lies in the kHz range.
    EXPECT_GT(largest * 7.8125, 2000.0);
    EXPECT_LT(largest * 7.8125, 10000.0);
}

// Past 2000 impacts a second a train is synthesized as its Fourier series
// (bounded work for any bearing): on either side of that rate it must ring
// the high-frequency channel alike for the same 1x (slip and the noise move
// the scale), with its largest line on the defect's comb.
TEST(SynthesisBearing, ADenseTrainRingsAsHardAsImpactByImpact) {
    std::vector<double> ringPerShaft;
    for (const double bpfo : {1990.0, 2010.0}) {
        // 60 balls, d/D = 1/6: BPFO = 25 x the shaft.
        TCondition c = Make(TConditionKind::BearingOuter, bpfo / 25.0 * 60.0, 4.5);
        c.Bearing = {60, 2.0, 12.0, 0.0};
        const TReading hf = ReadCondition(c, KIND_HF);
        double sum = 0.0;
        for (int k = 30; k <= 3202; ++k)
            sum += static_cast<double>(hf.Lines[static_cast<std::size_t>(k)]) *
                   hf.Lines[static_cast<std::size_t>(k)];
        const auto largest = std::max_element(hf.Lines.begin(), hf.Lines.end()) - hf.Lines.begin();
        const double multiple = largest * 7.8125 / bpfo;
        EXPECT_NEAR(multiple, std::round(multiple), 1.5 * 7.8125 / bpfo) << "BPFO " << bpfo;
        EXPECT_FALSE(hf.Clipped);
        const TReading velocity = ReadCondition(c, KIND_MEAS);
        EXPECT_FALSE(velocity.Clipped);
        // A ring has no mean: a dense train piles up no offset.
        double mean = 0.0;
        for (const int16_t code : SampleBuffer)
            mean += static_cast<uint16_t>(code) - 32768.0;
        EXPECT_LT(std::abs(mean / SAMPLE_COUNT * VELOCITY_PER_CODE), 0.05 * c.Velocity) << "BPFO " << bpfo;
        ringPerShaft.push_back(std::sqrt(sum) / LineAt(velocity, c.Rpm / 60.0));
    }
    EXPECT_NEAR(ringPerShaft[1] / ringPerShaft[0], 1.0, 0.05);
}

TEST(SynthesisDeterminism, SameSeedSameSamplesOtherSeedOtherSamples) {
    for (int16_t kind = 0; kind <= 2; ++kind) {
        TCondition c = Make(TConditionKind::BearingInner, 1480, 4.5);
        int16_t a[SAMPLE_COUNT], b[SAMPLE_COUNT];
        SynthesizeCondition(c, kind, a);
        SynthesizeCondition(c, kind, b);
        EXPECT_EQ(std::memcmp(a, b, sizeof a), 0) << "kind " << kind;
        c.Seed = 2;
        SynthesizeCondition(c, kind, b);
        EXPECT_NE(std::memcmp(a, b, sizeof a), 0) << "kind " << kind;
    }
}

// Rebuilt records take kept waveforms: what is kept must be what a fresh
// synthesis gives, for that condition and kind only, also once every kept
// waveform has been replaced, and with its overload.
TEST(SynthesisDeterminism, AKeptWaveformIsTheFreshOne) {
    const TCondition c = Make(TConditionKind::Gear, 1480, 4.5);
    for (int16_t kind = 0; kind <= 2; ++kind) {
        int16_t kept[SAMPLE_COUNT], again[SAMPLE_COUNT];
        SynthesizeCondition(c, kind, kept);
        SynthesizeCondition(c, kind, kept);
        const std::vector<double> fresh = SynthesizeSignal(c, kind);
        const double offset = kind == KIND_MEAS_E ? 0.0 : 32768.0;
        int differing = 0;
        for (int i = 0; i < SAMPLE_COUNT; ++i) {
            const auto code = static_cast<int32_t>(
                std::floor(fresh[static_cast<std::size_t>(i)] / VELOCITY_PER_CODE + offset + 0.5));
            differing += static_cast<int16_t>(static_cast<uint16_t>(code & 0xFFFF)) != kept[i] ? 1 : 0;
        }
        EXPECT_EQ(differing, 0) << "kind " << kind;
        for (uint32_t seed = 100; seed < 140; ++seed) {
            TCondition other = c;
            other.Seed = seed;
            SynthesizeCondition(other, kind, again);
        }
        SynthesizeCondition(c, kind, again);
        EXPECT_EQ(std::memcmp(kept, again, sizeof kept), 0) << "kind " << kind;
    }
    TCondition slower = c;
    slower.Rpm = 1479;
    int16_t a[SAMPLE_COUNT], b[SAMPLE_COUNT];
    SynthesizeCondition(c, KIND_MEAS, a);
    SynthesizeCondition(slower, KIND_MEAS, b);
    EXPECT_NE(std::memcmp(a, b, sizeof a), 0) << "one figure apart is another waveform";
    const TCondition loud = Make(TConditionKind::Looseness, 1480, 200.0);
    EXPECT_TRUE(SynthesizeCondition(loud, KIND_MEAS, a));
    EXPECT_TRUE(SynthesizeCondition(loud, KIND_MEAS, a)) << "the kept waveform keeps its overload";
}

// The parser keeps every figure within bounds; should one slip past it (a
// program's own mistake), the synthesis still ends with codes in range,
// and an overload rather than an undefined conversion when there is no
// number to convert.
TEST(SynthesisRange, FiguresNoParserWouldPassEndInCodesOrAnOverload) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<TCondition> hostile;
    for (const double rpm : {nan, inf, -1.0, 1e10, 1e-300})
        hostile.push_back(Make(TConditionKind::BearingBall, rpm, 4.5));
    for (const double velocity : {nan, 1e300})
        hostile.push_back(Make(TConditionKind::Imbalance, 1480, velocity));
    for (const TBearingGeometry bearing :
         {TBearingGeometry{8, 1e-5, 12.0, 0.0}, TBearingGeometry{100, 12.0, 12.0, 0.0},
          TBearingGeometry{3, 20.0, 12.0, 0.0}, TBearingGeometry{8, 2.0, 12.0, nan}})
        for (const auto kind :
             {TConditionKind::BearingInner, TConditionKind::BearingBall, TConditionKind::BearingCage}) {
            hostile.push_back(Make(kind, 30000, 4.5));
            hostile.back().Bearing = bearing;
        }
    hostile.push_back(Make(TConditionKind::Gear, 30000, 4.5));
    hostile.back().Teeth = 32767;
    hostile.push_back(Make(TConditionKind::Looseness, 1480, 4.5));
    hostile.back().Noise = 1e300;
    int16_t samples[SAMPLE_COUNT];
    for (const TCondition& c : hostile)
        for (int16_t kind = 0; kind <= 2; ++kind) {
            const bool clipped = SynthesizeCondition(c, kind, samples);
            bool finite = true;
            for (const double v : SynthesizeSignal(c, kind))
                finite = finite && std::isfinite(v);
            EXPECT_TRUE(finite || clipped) << FormatCondition(c) << " kind " << kind;
        }
}

TEST(SynthesisRange, TooLoudClipsAndReportsAStoredConditionLeavesTheBuffer) {
    int16_t samples[SAMPLE_COUNT];
    EXPECT_TRUE(SynthesizeCondition(Make(TConditionKind::Looseness, 1480, 200.0), KIND_MEAS, samples));
    EXPECT_EQ(*std::max_element(
                  samples, samples + SAMPLE_COUNT,
                  [](int16_t a, int16_t b) { return static_cast<uint16_t>(a) < static_cast<uint16_t>(b); }),
              static_cast<int16_t>(0xFFFF));
    std::fill(std::begin(samples), std::end(samples), int16_t{7});
    EXPECT_FALSE(SynthesizeCondition(TCondition{}, KIND_MEAS, samples));
    EXPECT_FALSE(SynthesizeCondition(Make(TConditionKind::Imbalance, 1480, 4.5), 3, samples));
    EXPECT_TRUE(std::all_of(std::begin(samples), std::end(samples), [](int16_t v) { return v == 7; }));
}

} // namespace
