// Normalisation of the samples and the transforms, on their own.
#include "Computing1TestSignals.h"

#include "measure/Computing1.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <iostream>

namespace {

using Packed = std::array<int16_t, 2 * SPEC_SIZE>;

Packed PackedNow() {
    Packed p{};
    std::copy(SpecArea, SpecArea + 2 * SPEC_SIZE, p.begin());
    return p;
}

int16_t PackedAt(const Packed& p, int n) {
    return p[(n & 1) * SPEC_SIZE + n / 2];
}

TEST(NormalizeSamplesTest, RemovesTheMeanAndScalesThePeakIntoRange) {
    signals::Write({{100.0, 1000.0}}, 32768.0);
    const int16_t e = NormalizeSamples(SampleBuffer, SpecRe, SpecIm, false);
    EXPECT_EQ(e, -4); // peak 1000 becomes 16000
    const Packed p = PackedNow();
    for (int n = 0; n < SAMPLE_COUNT; ++n) {
        ASSERT_EQ(PackedAt(p, n), (static_cast<uint16_t>(SampleBuffer[n]) - 32768) * 16) << n;
    }
}

TEST(NormalizeSamplesTest, SignedInputIsOffsetByHalfTheRange) {
    signals::Write({{92.5, 20000.0}}, 100.0, true);
    const int16_t e = NormalizeSamples(SampleBuffer, SpecRe, SpecIm, true);
    EXPECT_EQ(e, 1);
    const Packed p = PackedNow();
    const int16_t most = *std::max_element(p.begin(), p.end());
    const int16_t least = *std::min_element(p.begin(), p.end());
    EXPECT_NEAR(most, 10000, 2);
    EXPECT_NEAR(least, -10000, 2);
}

TEST(NormalizeSamplesTest, EqualSamplesGiveZeroesAndExponentZero) {
    signals::Fill(12345);
    EXPECT_EQ(NormalizeSamples(SampleBuffer, SpecRe, SpecIm, false), 0);
    const Packed p = PackedNow();
    EXPECT_TRUE(std::all_of(p.begin(), p.end(), [](int16_t v) { return v == 0; }));
}

// Half the samples at code 0 and half at 0xFFFF: the mean is moved so that
// the span fits, and a peak of 0x8000 is left unscaled.
TEST(NormalizeSamplesTest, FullScaleSquareWaveIsNotScaled) {
    for (int n = 0; n < SAMPLE_COUNT; ++n)
        SampleBuffer[n] = static_cast<int16_t>((n / 64) % 2 == 0 ? -1 : 0);
    EXPECT_EQ(NormalizeSamples(SampleBuffer, SpecRe, SpecIm, false), 0);
    const Packed p = PackedNow();
    EXPECT_EQ(PackedAt(p, 0), 0x7FFF);
    EXPECT_EQ(PackedAt(p, 64), -0x8000);
}

// The forward and inverse transforms give back the normalised signal, scaled
// by 2^(forward exponent - inverse exponent). Their truncating shifts bias
// every line the same way, and the biases add up near the ends of the
// signal, outside the middle half that the peak levels read; there the error
// must stay below 2 % of the peak, and over the whole signal below 0.5 % RMS.
class RoundTripTest : public ::testing::TestWithParam<std::vector<signals::Tone>> {};

TEST_P(RoundTripTest, InverseOfForwardReturnsTheSignal) {
    signals::Write(GetParam(), 32768.0);
    NormalizeSamples(SampleBuffer, SpecRe, SpecIm, false);
    const Packed before = PackedNow();
    const int16_t forward = FftForward(SpecRe, SpecIm, SPEC_LOG2);
    const int16_t inverse = FftInverse(SpecRe, SpecIm, SPEC_LOG2);
    const double gain = std::ldexp(1.0, forward - inverse);
    const Packed after = PackedNow();

    double peak = 0.0;
    double middleWorst = 0.0;
    double squares = 0.0;
    for (int n = 0; n < SAMPLE_COUNT; ++n) {
        const double expected = PackedAt(before, n) * gain;
        const double error = PackedAt(after, n) - expected;
        peak = std::max(peak, std::abs(expected));
        squares += error * error;
        if (n >= SAMPLE_COUNT / 4 && n < 3 * SAMPLE_COUNT / 4)
            middleWorst = std::max(middleWorst, std::abs(error));
    }
    const double rms = std::sqrt(squares / SAMPLE_COUNT);
    std::cout << "[ accuracy ] round trip: gain " << gain << ", peak " << peak << ", middle half worst "
              << middleWorst << ", RMS error " << rms << " (codes of the result)\n";
    EXPECT_LT(middleWorst, peak * 0.02);
    EXPECT_LT(rms, peak * 0.005);
    EXPECT_GE(gain, 1.0 / 4); // the signal keeps most of its 14 bits
}

INSTANTIATE_TEST_SUITE_P(Signals, RoundTripTest,
                         ::testing::Values(std::vector<signals::Tone>{{100.0, 12000.0}},
                                           std::vector<signals::Tone>{{0.9375, 3000.0}, {1200.0, 3000.0}},
                                           signals::BandNoise(7, 5.0, 1200.0, 4000.0)));

// A tone of amplitude A on line k lands on line k as A x 4096 codes (the
// 8192-point transform), the array holding it divided by 2^(13 - e); every
// other line holds only rounding, 60 dB below.
TEST(FftForwardTest, ToneOnALineGivesThatLineOnly) {
    signals::Write({{100.0, 8000.0}}, 32768.0); // line 320
    const int16_t e1 = NormalizeSamples(SampleBuffer, SpecRe, SpecIm, false);
    const int e = FftForward(SpecRe, SpecIm, SPEC_LOG2) - e1;
    const double line = std::hypot(SpecRe[320], SpecIm[320]);
    EXPECT_NEAR(line * std::ldexp(1.0, 1 - e), 8000.0, 8.0);
    for (int k = 0; k < SPEC_SIZE; ++k) {
        if (k != 320) {
            ASSERT_LE(std::hypot(SpecRe[k], SpecIm[k]), line * 1e-3) << k;
        }
    }
}

} // namespace
