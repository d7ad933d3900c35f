// The library's computation must give exactly what the plain one-value-at-a-
// time version gives: every integer of the working arrays and every bit of
// the float results, on ordinary signals and on the extremes.
#include "Computing1Oracle.h"
#include "Computing1TestSignals.h"

#include "device/Global.h"
#include "measure/Computing1.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <functional>
#include <random>
#include <string>

namespace {

using Area = std::array<int16_t, oracle::AREA_SIZE>;
using Samples = std::array<int16_t, SAMPLE_COUNT>;

struct SignalCase {
    std::string name;
    std::function<void()> write; // into SampleBuffer
};

std::ostream& operator<<(std::ostream& out, const SignalCase& c) {
    return out << c.name;
}

Area LibraryArea() {
    Area a;
    std::copy(SpecArea, SpecArea + a.size(), a.begin());
    return a;
}

Samples CurrentSamples() {
    Samples s;
    std::copy(std::begin(SampleBuffer), std::end(SampleBuffer), s.begin());
    return s;
}

// First differing index, or -1.
int FirstDifference(const Area& a, const Area& b) {
    const auto mismatch = std::mismatch(a.begin(), a.end(), b.begin());
    return mismatch.first == a.end() ? -1 : static_cast<int>(mismatch.first - a.begin());
}

::testing::AssertionResult SameBits(float a, float b) {
    if (std::bit_cast<uint32_t>(a) == std::bit_cast<uint32_t>(b)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << a << " differs from " << b;
}

void WriteRandom(unsigned seed, int lo, int hi) {
    std::mt19937 random(seed);
    for (int16_t& x : SampleBuffer)
        x = static_cast<int16_t>(lo + static_cast<int>(random() % (hi - lo + 1)));
}

void WritePattern(const std::function<int(int)>& code) {
    for (int n = 0; n < SAMPLE_COUNT; ++n)
        SampleBuffer[n] = static_cast<int16_t>(code(n));
}

class OracleTest : public ::testing::TestWithParam<SignalCase> {
  protected:
    void SetUp() override {
        SetMeasurementDefaults();
        GetParam().write();
        samples_ = CurrentSamples();
    }
    Samples samples_{};
    Area area_{};
};

TEST_P(OracleTest, VibrationResultsAreIdentical) {
    TMeasResults fast;
    ComputeVibrationResults(fast);
    TMeasResults plain;
    oracle::ComputeVibrationResults(samples_.data(), area_.data(), plain);
    for (std::size_t i = 0; i < fast.Value.size(); ++i)
        EXPECT_TRUE(SameBits(fast.Value[i], plain.Value[i])) << i;
    EXPECT_EQ(FirstDifference(LibraryArea(), area_), -1);
}

TEST_P(OracleTest, PeakLevelsAreIdenticalInEachQuantity) {
    for (int16_t quantity : {-1, 0, 1}) {
        float pp = 0, pk = 0, ppPlain = 0, pkPlain = 0;
        PeakLevels(quantity, pp, pk);
        oracle::PeakLevels(samples_.data(), area_.data(), quantity, ppPlain, pkPlain);
        EXPECT_TRUE(SameBits(pp, ppPlain)) << quantity;
        EXPECT_TRUE(SameBits(pk, pkPlain)) << quantity;
        EXPECT_EQ(FirstDifference(LibraryArea(), area_), -1) << quantity;
    }
}

TEST_P(OracleTest, SpectraAreIdenticalInEachKindAndForm) {
    for (int16_t kind : {0, 1, 2}) {
        for (bool windowed : {true, false}) {
            float scale = 0, scalePlain = 0;
            ComputeSpectrum(32, 3200, windowed, kind, scale);
            oracle::ComputeSpectrum(samples_.data(), area_.data(), 32, 3200, windowed, kind, scalePlain);
            EXPECT_TRUE(SameBits(scale, scalePlain)) << kind << windowed;
            EXPECT_EQ(FirstDifference(LibraryArea(), area_), -1) << kind << windowed;
        }
    }
}

TEST_P(OracleTest, CrestFactorIsIdentical) {
    TMeasResults fast;
    ComputeCrestFactor(fast);
    TMeasResults plain;
    oracle::ComputeCrestFactor(samples_.data(), plain);
    for (std::size_t i = 0; i < fast.Value.size(); ++i)
        EXPECT_TRUE(SameBits(fast.Value[i], plain.Value[i])) << i;
}

// The transforms and line operations on the raw samples as they are: any
// 16-bit content, wrapping included, must come out the same.
TEST_P(OracleTest, TransformsOfArbitraryArraysAreIdentical) {
    std::copy(samples_.begin(), samples_.end(), SpecArea);
    area_ = LibraryArea();
    EXPECT_EQ(FftForward(SpecRe, SpecIm, SPEC_LOG2),
              oracle::FftForward(area_.data(), area_.data() + 4096, 12));
    EXPECT_EQ(FirstDifference(LibraryArea(), area_), -1);
    HannWindowSpectrum(SpecRe, SpecIm, SPEC_SIZE);
    oracle::HannWindowSpectrum(area_.data(), area_.data() + 4096, 4096);
    EXPECT_EQ(FirstDifference(LibraryArea(), area_), -1);

    std::copy(samples_.begin(), samples_.end(), SpecArea);
    area_ = LibraryArea();
    EXPECT_EQ(FftInverse(SpecRe, SpecIm, SPEC_LOG2),
              oracle::FftInverse(area_.data(), area_.data() + 4096, 12));
    EXPECT_EQ(FirstDifference(LibraryArea(), area_), -1);

    std::copy(samples_.begin(), samples_.end(), SpecArea);
    area_ = LibraryArea();
    float scale = 0, scalePlain = 0;
    SpectrumMagnitude(SpecRe, SpecIm, 0, 4095, 5, 0.25f, scale);
    oracle::SpectrumMagnitude(area_.data(), area_.data() + 4096, 0, 4095, 5, 0.25f, scalePlain);
    EXPECT_EQ(FirstDifference(LibraryArea(), area_), -1);
    EXPECT_TRUE(SameBits(scale, scalePlain));
    EXPECT_TRUE(
        SameBits(BandRms(samples_.data(), 0, 4095, 0.5f), oracle::BandRms(samples_.data(), 0, 4095, 0.5f)));
}

TEST_P(OracleTest, LineConversionsAreIdentical) {
    // Non-negative lines, as magnitudes are.
    Area lines;
    std::transform(samples_.begin(), samples_.end(), lines.begin(),
                   [](int16_t v) { return static_cast<int16_t>(v & 0x7FFF); });
    Area fast{}, plain{};
    float scale = 0, scalePlain = 0;
    SpectrumTimesF(lines.data(), 30, 3202, 0.5f, fast.data(), 0.3125f, scale);
    oracle::SpectrumTimesF(lines.data(), 30, 3202, 0.5f, plain.data(), 0.3125f, scalePlain);
    EXPECT_EQ(FirstDifference(fast, plain), -1);
    EXPECT_TRUE(SameBits(scale, scalePlain));
    SpectrumOverF(lines.data(), 30, 3202, 0.5f, fast.data(), 0.3125f, scale);
    oracle::SpectrumOverF(lines.data(), 30, 3202, 0.5f, plain.data(), 0.3125f, scalePlain);
    EXPECT_EQ(FirstDifference(fast, plain), -1);
    EXPECT_TRUE(SameBits(scale, scalePlain));
}

const SignalCase CASES[] = {
    {"sine_23Hz_small",
     [] {
         signals::Write({{23.1, 150.0}}, 32210.0);
     }},
    {"sine_500Hz_full",
     [] {
         signals::Write({{500.0, 32767.0}}, 32768.0);
     }},
    {"tones",
     [] {
         signals::Write({{3.0, 900.0}, {23.1, 300.0}, {69.7, 500.0, 1.0}, {777.0, 200.0}}, 32000.0);
     }},
    {"noise_band", [] { signals::Write(signals::BandNoise(3, 10.0, 1100.0, 2000.0), 32768.0); }},
    {"noise_white_full_range", [] { WriteRandom(11, -32768, 32767); }},
    {"noise_white_small", [] { WriteRandom(12, 32760, 32775); }},
    {"square_full_scale", [] { WritePattern([](int n) { return (n / 37) % 2 == 0 ? 0 : 0xFFFF; }); }},
    {"alternating_full_scale", [] { WritePattern([](int n) { return n % 2 == 0 ? 0 : 0xFFFF; }); }},
    {"all_0x8000", [] { signals::Fill(static_cast<int16_t>(0x8000 - 0x10000)); }},
    {"constant", [] { signals::Fill(31000); }},
    {"one_spike", [] { WritePattern([](int n) { return n == 4100 ? 0xFFFF : 32768; }); }},
    {"ramp", [] { WritePattern([](int n) { return n * 8; }); }},
    {"kind1_pulses", [] { WritePattern([](int n) { return n % 28 < 3 ? 497 : -22 + n % 7; }); }},
    {"hf_content",
     [] {
         signals::Write({{1100.0, 2000.0}, {1270.0, 3000.0}}, 34000.0);
     }},
};

INSTANTIATE_TEST_SUITE_P(Signals, OracleTest, ::testing::ValuesIn(CASES),
                         [](const ::testing::TestParamInfo<SignalCase>& c) { return c.param.name; });

TEST(OracleArithmeticTest, IntSqrtAndPow2HalfAreIdentical) {
    for (int32_t r = 0; r <= 46340; ++r) {
        for (int32_t a : {r * r - 1, r * r, r * r + r})
            ASSERT_EQ(IntSqrt(a), oracle::IntSqrt(a)) << a;
    }
    for (int32_t a : {INT32_MAX, INT32_MIN, -1})
        EXPECT_EQ(IntSqrt(a), oracle::IntSqrt(a));
    for (int n = -32768; n <= 32767; ++n) {
        ASSERT_TRUE(SameBits(Pow2Half(static_cast<int16_t>(n)), oracle::Pow2Half(static_cast<int16_t>(n))))
            << n;
    }
}

} // namespace
