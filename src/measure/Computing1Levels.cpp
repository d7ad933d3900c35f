// The overall levels of a measurement: RMS values from the velocity spectrum,
// peak values from band-limited waveforms rebuilt by the inverse transform and
// read through the 8-phase interpolator, and the crest factor of raw samples.
#include "device/Global.h"
#include "measure/Computing1.h"
#include "measure/HalvingSquareSum.h"
#include "measure/Samplingimp.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>

namespace {

constexpr float TWO_PI = 6.2831854f;
constexpr int16_t BAND_FIRST = 30;  // 9.375 Hz
constexpr int16_t BAND_LAST = 3202; // 1000.625 Hz
constexpr int16_t LAST_LINE = SPEC_SIZE - 1;
constexpr int32_t SHAPE_LIMIT = 0x3FFF;
constexpr int32_t VELOCITY_FLOOR = 8191;
constexpr int32_t DISPLACEMENT_GAIN = 4096;
constexpr int PHASES = 8;
constexpr int FILTER_LAST = 120;
constexpr int FILTER_SPAN = 16;  // samples under one phase of the filter
constexpr int PEAK_FIRST = 2048; // the middle half of the rebuilt waveform
constexpr int PEAK_COUNT = 4096;
constexpr int CREST_BLOCKS = 16;
constexpr int CREST_BLOCK = 504;

constexpr int LANES = 8;

using fixp::vec::V16;
using fixp::vec::V32;
using fixp::vec::VF;
namespace v = fixp::vec;

enum Quantity : int16_t { ACCELERATION = -1, VELOCITY = 0, DISPLACEMENT = 1 };

// v >> d rounded toward zero, lane by lane: the magnitude (0x8000 read as
// 32768) is shifted without sign, then the sign is put back.
V16 ShiftTowardZero(V16 x, int d) {
    const V16 sign = v::ShiftRight(x, 15);
    const V16 magnitude = v::Sub(v::Xor(x, sign), sign);
    const V16 shifted = v::ShiftRightLogical(magnitude, d);
    return v::Sub(v::Xor(shifted, sign), sign);
}

void ClearLines(int first, int last) {
    std::fill(SpecRe + first, SpecRe + last + 1, int16_t{0});
    std::fill(SpecIm + first, SpecIm + last + 1, int16_t{0});
}

// The largest |re[k]| or |im[k]| over k = first..last (0x8000 as 32768).
int32_t LargestMagnitude(int first, int last) {
    V16 high = v::Splat(0), low = v::Splat(0);
    int k = first;
    for (; k + LANES - 1 <= last; k += LANES) {
        for (const int16_t* x : {SpecRe, SpecIm}) {
            const V16 a = v::Load(x + k);
            high = v::Max(high, a);
            low = v::Min(low, a);
        }
    }
    int32_t m = std::max<int32_t>(v::Largest(high), -v::Smallest(low));
    for (; k <= last; ++k)
        m = std::max({m, fixp::Abs16(SpecRe[k]), fixp::Abs16(SpecIm[k])});
    return m;
}

// Band 30..3202 with three-quarter weight at its two edges, renormalised so
// the largest part reaches 8191 or more.
void ShapeForVelocity(float& scale) {
    int32_t m = LargestMagnitude(BAND_FIRST, BAND_LAST);
    int16_t s = 0;
    while (m > 0 && m < VELOCITY_FLOOR) {
        m *= 2;
        ++s;
    }
    ClearLines(0, BAND_FIRST - 1);
    ClearLines(BAND_LAST + 1, LAST_LINE);
    int k = BAND_FIRST + 1;
    for (; k + LANES - 1 < BAND_LAST; k += LANES) {
        v::Store(SpecRe + k, v::ShiftLeft(v::Load(SpecRe + k), s));
        v::Store(SpecIm + k, v::ShiftLeft(v::Load(SpecIm + k), s));
    }
    for (; k < BAND_LAST; ++k) {
        SpecRe[k] = fixp::ShiftLeft16(SpecRe[k], s);
        SpecIm[k] = fixp::ShiftLeft16(SpecIm[k], s);
    }
    for (int edge : {BAND_FIRST, BAND_LAST}) {
        SpecRe[edge] = fixp::ShiftLeft16(fixp::Store16((SpecRe[edge] * 3) >> 2), s);
        SpecIm[edge] = fixp::ShiftLeft16(fixp::Store16((SpecIm[edge] * 3) >> 2), s);
    }
    scale = scale / fixp::Pow2(s);
}

// Multiplies line k by j k (the top line by three quarters of it).
void ShapeForAcceleration(float& scale) {
    auto weight = [](int k) { return k < BAND_LAST ? k : (3 * BAND_LAST) >> 2; };
    // Lines 0..3199 eight at a time, their weights being their numbers.
    constexpr int VECTOR_END = BAND_LAST - BAND_LAST % LANES;
    V32 largest = v::Splat32(0);
    for (int k = 0; k < VECTOR_END; k += LANES) {
        const V16 w = v::Ramp(static_cast<int16_t>(k));
        for (const int16_t* x : {SpecRe, SpecIm}) {
            const V16 a = v::Load(x + k);
            largest = v::Max(largest, v::Max(v::Abs(v::ProductsLow(a, w)), v::Abs(v::ProductsHigh(a, w))));
        }
    }
    int32_t m = v::Largest(largest);
    for (int k = VECTOR_END; k <= BAND_LAST; ++k) {
        m = std::max({m, fixp::Abs16(SpecRe[k]) * weight(k), fixp::Abs16(SpecIm[k]) * weight(k)});
    }
    const int16_t s = fixp::HalvingsToFit(m, SHAPE_LIMIT);
    for (int k = 0; k < VECTOR_END; k += LANES) {
        const V16 w = v::Ramp(static_cast<int16_t>(k));
        const V16 re = v::Load(SpecRe + k), im = v::Load(SpecIm + k);
        const V16 reW =
            v::NarrowWrap(v::ShiftRight(v::ProductsLow(re, w), s), v::ShiftRight(v::ProductsHigh(re, w), s));
        const V16 imW =
            v::NarrowWrap(v::ShiftRight(v::ProductsLow(im, w), s), v::ShiftRight(v::ProductsHigh(im, w), s));
        v::Store(SpecRe + k, v::Sub(v::Splat(0), imW));
        v::Store(SpecIm + k, reW);
    }
    for (int k = VECTOR_END; k <= BAND_LAST; ++k) {
        const int32_t re = SpecRe[k] * weight(k);
        const int32_t im = SpecIm[k] * weight(k);
        SpecRe[k] = fixp::Store16(-(im >> s));
        SpecIm[k] = fixp::Store16(re >> s);
    }
    ClearLines(BAND_LAST + 1, LAST_LINE);
    scale = scale * fixp::Pow2(s) * TWO_PI * LINE_SPACING * 0.001f;
}

// Divides line k by j k / 4096; the two lowest lines of the band are divided
// by more than their number, which tapers the band's lower edge. Each
// quotient is formed once and kept for the second pass.
void ShapeForDisplacement(float& scale) {
    static const auto reciprocals = [] {
        std::array<double, SPEC_SIZE> r{};
        for (int k = BAND_FIRST; k < SPEC_SIZE; ++k)
            r[k] = k == BAND_FIRST ? 1.0 / 64 : k == BAND_FIRST + 1 ? 1.0 / 32 : 1.0 / k;
        return r;
    }();
    alignas(16) int32_t quotientRe[SPEC_SIZE];
    alignas(16) int32_t quotientIm[SPEC_SIZE];
    V32 largest = v::Splat32(0);
    int k = BAND_FIRST;
    for (; k + LANES - 1 <= LAST_LINE; k += LANES) {
        for (int half = 0; half < 2; ++half) {
            const int at = k + 4 * half;
            const V16 re = v::Load(SpecRe + k), im = v::Load(SpecIm + k);
            const V32 n = v::ShiftLeft(half == 0 ? v::WidenLow(re) : v::WidenHigh(re), 12);
            const V32 ni = v::ShiftLeft(half == 0 ? v::WidenLow(im) : v::WidenHigh(im), 12);
            const V32 qr = v::DivideTowardZero(n, reciprocals.data() + at);
            const V32 qi = v::DivideTowardZero(ni, reciprocals.data() + at);
            v::Store(quotientRe + at, qr);
            v::Store(quotientIm + at, qi);
            largest = v::Max(largest, v::Max(v::Abs(qr), v::Abs(qi)));
        }
    }
    int32_t m = v::Largest(largest);
    for (; k <= LAST_LINE; ++k) {
        quotientRe[k] = fixp::DivideTowardZero(SpecRe[k] * DISPLACEMENT_GAIN, reciprocals[k]);
        quotientIm[k] = fixp::DivideTowardZero(SpecIm[k] * DISPLACEMENT_GAIN, reciprocals[k]);
        m = std::max({m, std::abs(quotientRe[k]), std::abs(quotientIm[k])});
    }
    const int16_t s = fixp::HalvingsToFit(m, SHAPE_LIMIT);
    ClearLines(0, BAND_FIRST - 1);
    k = BAND_FIRST;
    for (; k + LANES - 1 <= LAST_LINE; k += LANES) {
        const V16 re = v::NarrowWrap(v::ShiftRight(v::Load(quotientIm + k), s),
                                     v::ShiftRight(v::Load(quotientIm + k + 4), s));
        const V16 im = v::NarrowWrap(v::ShiftRight(v::Load(quotientRe + k), s),
                                     v::ShiftRight(v::Load(quotientRe + k + 4), s));
        v::Store(SpecRe + k, re);
        v::Store(SpecIm + k, v::Sub(v::Splat(0), im));
    }
    for (; k <= LAST_LINE; ++k) {
        SpecRe[k] = fixp::Store16(quotientIm[k] >> s);
        SpecIm[k] = fixp::Store16(-(quotientRe[k] >> s));
    }
    scale = scale * fixp::Pow2(s) * 1000.0f / (TWO_PI * LINE_SPACING * static_cast<float>(DISPLACEMENT_GAIN));
}

// One phase of the interpolator at position n of x, before the final >> 15.
int32_t PhaseSum(const int16_t* x, int n, int p) {
    int32_t sum = 0;
    for (int i = PHASES - 1 - p, m = 0; i <= FILTER_LAST; i += PHASES, ++m)
        sum += x[n + m] * PeakFilter[i];
    return sum;
}

// The taps of each phase as pairs for MulAddPairs: pair k of phase p holds
// taps 2k and 2k + 1, PeakFilter[7 - p + 16 k] and [15 - p + 16 k], the
// latter 0 where it would lie beyond 120.
struct PhasePairs {
    V16 pair[PHASES][PHASES];

    PhasePairs() {
        auto tap = [](int i) { return i <= FILTER_LAST ? PeakFilter[i] : int16_t{0}; };
        for (int p = 0; p < PHASES; ++p) {
            [[maybe_unused]] int32_t weight = 0; // the sum of |tap| over the phase
            for (int k = 0; k < PHASES; ++k) {
                pair[p][k] = v::SplatPair(tap(7 - p + 16 * k), tap(15 - p + 16 * k));
                weight += fixp::Abs16(tap(7 - p + 16 * k)) + fixp::Abs16(tap(15 - p + 16 * k));
            }
            ORX_FIXED_POINT_CLAIM(weight < 65536, "a phase sum of 16-bit samples is below 2^31");
        }
    }
};

struct PeakRange {
    int32_t max = std::numeric_limits<int32_t>::min();
    int32_t min = std::numeric_limits<int32_t>::max();
};

// Largest and smallest interpolated value over start positions 0..count-1
// of x, which holds count + 15 samples. Eight positions at a time, every
// phase for them; the sample pairs are shared by the phases. A phase sum
// stays below 2^31 in size (see PeakFilter), so the 32-bit lanes never
// wrap, and after >> 15 it is below 2^17: exact as a float, where SSE2 can
// take maxima of four lanes.
PeakRange InterpolatedPeaks(const int16_t* x, int count) {
    static const PhasePairs taps;
    VF high = v::SplatF(std::numeric_limits<float>::lowest());
    VF low = v::SplatF(std::numeric_limits<float>::max());
    int q = 0;
    for (; q + LANES <= count; q += LANES) {
        V16 lo[PHASES], hi[PHASES];
#pragma GCC unroll 8
        for (int k = 0; k < PHASES; ++k) {
            const V16 a = v::Load(x + q + 2 * k), b = v::Load(x + q + 2 * k + 1);
            lo[k] = v::InterleaveLow(a, b);
            hi[k] = v::InterleaveHigh(a, b);
        }
        for (int p = 0; p < PHASES; ++p) {
            const V16* t = taps.pair[p];
            V32 sumLo = v::MulAddPairs(lo[0], t[0]), sumHi = v::MulAddPairs(hi[0], t[0]);
#pragma GCC unroll 8
            for (int k = 1; k < PHASES; ++k) {
                sumLo = v::Add(sumLo, v::MulAddPairs(lo[k], t[k]));
                sumHi = v::Add(sumHi, v::MulAddPairs(hi[k], t[k]));
            }
            const VF yLo = v::ToFloat(v::ShiftRight(sumLo, 15)), yHi = v::ToFloat(v::ShiftRight(sumHi, 15));
            high = v::Max(high, v::Max(yLo, yHi));
            low = v::Min(low, v::Min(yLo, yHi));
        }
    }
    PeakRange r;
    if (q > 0) {
        r.max = static_cast<int32_t>(v::Largest(high));
        r.min = static_cast<int32_t>(v::Smallest(low));
    }
    for (; q < count; ++q) {
        for (int p = 0; p < PHASES; ++p) {
            const int32_t y = PhaseSum(x, q, p) >> 15;
            r.max = std::max(r.max, y);
            r.min = std::min(r.min, y);
        }
    }
    return r;
}

// Divides the middle half of the rebuilt waveform by the window it was
// multiplied with, 0.5 + 0.5 sin(pi i / 4096) in Q15 there, and copies it in
// time order into wave for the interpolator. Time samples 2048 + i, i even,
// are SpecRe[1024 + i / 2] and the odd ones SpecIm[1024 + i / 2]; sixteen at
// a time.
void RemoveWindow(int16_t* wave) {
    static const auto reciprocals = [] {
        std::array<double, PEAK_COUNT> r{};
        for (int i = 0; i < PEAK_COUNT; ++i) {
            const int index = i < PEAK_COUNT / 2 ? i : PEAK_COUNT - i;
            r[i] = 1.0 / ((SineTable[index] >> 1) + 0x4000);
        }
        return r;
    }();
    auto divide = [](V16 x, const double* r) {
        const V32 lo = v::DivideTowardZero(v::ShiftLeft(v::WidenLow(x), 15), r);
        const V32 hi = v::DivideTowardZero(v::ShiftLeft(v::WidenHigh(x), 15), r + 4);
        return v::NarrowWrap(lo, hi);
    };
    int16_t* re = SpecRe + PEAK_FIRST / 2;
    int16_t* im = SpecIm + PEAK_FIRST / 2;
    for (int i = 0; i < PEAK_COUNT; i += 2 * LANES) {
        const V16 even = v::Load(re + i / 2), odd = v::Load(im + i / 2);
        const V16 first = divide(v::InterleaveLow(even, odd), reciprocals.data() + i);
        const V16 second = divide(v::InterleaveHigh(even, odd), reciprocals.data() + i + LANES);
        v::Store(wave + i, first);
        v::Store(wave + i + LANES, second);
        v::Store(re + i / 2, v::EvenLanes(first, second));
        v::Store(im + i / 2, v::OddLanes(first, second));
    }
}

} // namespace

void PeakLevels(int16_t quantity, float& pp, float& pk) {
    const int16_t e1 = NormalizeSamples(SampleBuffer, SpecRe, SpecIm, false);
    auto e = static_cast<int16_t>(FftForward(SpecRe, SpecIm, SPEC_LOG2) - e1);
    float scale = CAL_K / (MeasSensitivity[KIND_MEAS] * MeasGain);
    HannWindowSpectrum(SpecRe, SpecIm, SPEC_SIZE);

    const int d = std::max(e - 8, 0) + 4;
    for (int i = 0; i < 2 * SPEC_SIZE; i += LANES)
        v::Store(SpecArea + i, ShiftTowardZero(v::Load(SpecArea + i), d));
    e = static_cast<int16_t>(e - d);

    if (quantity == ACCELERATION) {
        ShapeForAcceleration(scale);
    } else if (quantity == DISPLACEMENT) {
        ShapeForDisplacement(scale);
    } else {
        ShapeForVelocity(scale);
    }

    e = static_cast<int16_t>(e - FftInverse(SpecRe, SpecIm, SPEC_LOG2));
    scale = e >= 0 ? scale / fixp::Pow2(e) : scale * fixp::Pow2(-e);

    int16_t wave[PEAK_COUNT];
    RemoveWindow(wave);
    const PeakRange r = InterpolatedPeaks(wave, PEAK_COUNT - FILTER_SPAN + 1);
    pp = static_cast<float>(r.max - r.min) * scale;
    pk = static_cast<float>(std::max(std::abs(r.max), std::abs(r.min))) * scale;
}

void ComputeVibrationResults(TMeasResults& results) {
    auto& v = results.Value;
    float velocityScale = 0.0f;
    ComputeSpectrum(BAND_FIRST, BAND_LAST, true, KIND_MEAS, velocityScale);
    v[RESULT_VEL_RMS] = BandRms(SpecRe, BAND_FIRST, BAND_LAST, velocityScale);

    float scale = 0.0f;
    SpectrumOverF(SpecRe, BAND_FIRST, BAND_LAST, velocityScale, SpecIm, LINE_SPACING, scale);
    v[RESULT_DISP_RMS] = BandRms(SpecIm, BAND_FIRST, BAND_LAST, scale);
    SpectrumTimesF(SpecRe, BAND_FIRST, BAND_LAST, velocityScale, SpecIm, LINE_SPACING, scale);
    v[RESULT_ACC_RMS] = BandRms(SpecIm, BAND_FIRST, BAND_LAST, scale);

    PeakLevels(VELOCITY, v[RESULT_VEL_PP], v[RESULT_VEL_PK]);
    PeakLevels(DISPLACEMENT, v[RESULT_DISP_PP], v[RESULT_DISP_PK]);
    PeakLevels(ACCELERATION, v[RESULT_ACC_PP], v[RESULT_ACC_PK]);
}

// Crest factor of the raw samples, DC included: the mean over 16 blocks of
// each block's largest interpolated value, over the RMS of all samples.
void ComputeCrestFactor(TMeasResults& results) {
    int32_t peakSum = 0;
    for (int b = 0; b < CREST_BLOCKS; ++b) {
        peakSum += std::max(InterpolatedPeaks(SampleBuffer + b * CREST_BLOCK, CREST_BLOCK).max, 0);
    }
    const float averagePeak = static_cast<float>(peakSum) / 16.0f;

    fixp::HalvingSquareSum squares;
    squares.AddRange(SampleBuffer, 0, SAMPLE_COUNT - 1);
    const float rms = Pow2Half(static_cast<int16_t>(squares.c - 13)) *
                      static_cast<float>(IntSqrt(static_cast<int32_t>(squares.acc)));

    results.Value.fill(0.0f);
    results.Value[RESULT_CREST] = averagePeak / rms;
}
