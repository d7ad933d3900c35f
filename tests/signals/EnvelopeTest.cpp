// The E signal is judged by what the instrument reads of it: the envelope of
// the band around the structure's resonance.
#include "signals/Envelope.h"
#include "InstrumentReading.h"
#include "signals/SignalMath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace {

bool IsBearing(TConditionKind kind) {
    return kind == TConditionKind::BearingOuter || kind == TConditionKind::BearingInner ||
           kind == TConditionKind::BearingBall || kind == TConditionKind::BearingCage;
}

struct TEnvelopeCase {
    TConditionKind Kind;
    double Rpm;
};

class EnvelopeTest : public testing::TestWithParam<TEnvelopeCase> {};

// The E signal is the envelope of the band around the structure's
// resonance: running speed tones never reach it (no 2x of a smooth
// machine), nothing folds into it (no line off the condition's frequencies),
// and a bearing's largest lines are its own defect comb.
TEST_P(EnvelopeTest, ShowsOnlyTheConditionsOwnLines) {
    const auto& p = GetParam();
    const TCondition c = Make(p.Kind, p.Rpm, 4.5);
    const TReading e = ReadCondition(c, KIND_MEAS_E);
    const std::vector<double> bases = DefiningFrequencies(c);
    const float standing = 6.0f * Floor(e);
    const std::string what = std::string(ConditionName(p.Kind)) + " at " + std::to_string(p.Rpm) + " rpm";
    int largest = 30;
    for (int k = 31; k < 3202; ++k) {
        const float v = e.Lines[static_cast<std::size_t>(k)];
        if (v > e.Lines[static_cast<std::size_t>(largest)]) largest = k;
        if (v > standing && v >= e.Lines[static_cast<std::size_t>(k - 1)] &&
            v >= e.Lines[static_cast<std::size_t>(k + 1)]) {
            EXPECT_TRUE(IsCombination(bases, k * 0.3125, false))
                << what << ": a line at " << k * 0.3125 << " Hz, " << v / Floor(e) << " x the floor";
        }
    }
    const double fr = p.Rpm / 60.0;
    if (IsBearing(p.Kind)) {
        EXPECT_TRUE(IsCombination(bases, largest * 0.3125, true))
            << what << ": the largest line lies at " << largest * 0.3125 << " Hz";
        EXPECT_GT(e.Lines[static_cast<std::size_t>(largest)], 4.0f * Floor(e)) << what;
    } else {
        EXPECT_LT(LineAt(e, 2.0 * fr), standing) << what << ": 2x stands out of the floor";
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Conditions, EnvelopeTest, testing::ValuesIn([] {
    std::vector<TEnvelopeCase> cases;
    for (const auto kind : {TConditionKind::Imbalance, TConditionKind::Misalignment, TConditionKind::BearingCage,
                            TConditionKind::BearingOuter, TConditionKind::BearingInner,
                            TConditionKind::BearingBall, TConditionKind::Gear})
        for (const double rpm : {600.0, 1480.0, 3000.0})
            cases.push_back({kind, rpm});
    return cases;
}()));
// clang-format on

TEST(SynthesisBearing, ImpactsRaiseTheEnvelopesCrestFactorOverANoiseEnvelopes) {
    const TReading smooth = ReadCondition(Make(TConditionKind::Imbalance, 1500, 4.5), KIND_MEAS_E);
    // The envelope of band-limited noise: Rayleigh's peaks over its RMS.
    EXPECT_GT(smooth.Results.Value[RESULT_CREST], 1.7f);
    EXPECT_LT(smooth.Results.Value[RESULT_CREST], 2.8f);
    for (const auto kind :
         {TConditionKind::BearingOuter, TConditionKind::BearingInner, TConditionKind::BearingBall}) {
        const TReading e = ReadCondition(Make(kind, 1500, 4.5), KIND_MEAS_E);
        EXPECT_GE(e.Results.Value[RESULT_CREST], 1.5f * smooth.Results.Value[RESULT_CREST])
            << ConditionName(kind);
    }
}

// Each envelope value depends only on the samples around its own instant,
// wherever the waveform is cut and however many values are asked (odd or
// even counts): the demodulator works on pieces of the waveform side by
// side, and a seam between them must not show.
TEST(Demodulate, AValueDoesNotDependOnWhereTheWaveformIsCut) {
    // Band-pass content: two tones in the band, one amplitude-modulated,
    // over noise, so that the envelope varies from value to value.
    constexpr int LONGEST = 96;
    std::vector<double> x(ENVELOPE_LEAD + ENVELOPE_DECIMATION * LONGEST + ENVELOPE_TRAIL);
    TSplitMix rng(7);
    for (std::size_t n = 0; n < x.size(); ++n) {
        const double t = static_cast<double>(n) / ENVELOPE_RATE;
        x[n] = (1.0 + 0.8 * PortableSin(2.0 * PI * 61.0 * t)) * PortableSin(2.0 * PI * 2900.0 * t) +
               0.5 * PortableSin(2.0 * PI * 3650.0 * t + 1.0) + 0.3 * (2.0 * rng.Uniform() - 1.0);
    }
    const auto cut = [&](int from, int count) {
        const auto first = x.begin() + ENVELOPE_DECIMATION * from;
        return Demodulate(
            std::vector<double>(first, first + ENVELOPE_LEAD + ENVELOPE_DECIMATION * count + ENVELOPE_TRAIL),
            count);
    };
    const std::vector<double> whole = cut(0, LONGEST);
    const double peak = *std::max_element(whole.begin(), whole.end());
    ASSERT_GT(peak, 1.0);
    struct TCut {
        int From, Count;
    };
    for (const TCut c :
         {TCut{0, 1}, TCut{0, 2}, TCut{0, 63}, TCut{5, 64}, TCut{20, 64}, TCut{33, 63}, TCut{1, 95}}) {
        const std::vector<double> part = cut(c.From, c.Count);
        ASSERT_EQ(part.size(), static_cast<std::size_t>(c.Count));
        for (int m = 0; m < c.Count; ++m)
            EXPECT_NEAR(part[static_cast<std::size_t>(m)], whole[static_cast<std::size_t>(c.From + m)],
                        1e-5 * peak)
                << "value " << m << " of " << c.Count << " from " << c.From;
    }
    // A waveform of the wrong length: zeros, not a read past its end.
    x.pop_back();
    EXPECT_EQ(Demodulate(x, LONGEST), std::vector<double>(LONGEST));
}

} // namespace
