// The overall levels of a measurement: RMS values from the velocity spectrum,
// peak values from band-limited waveforms rebuilt by the inverse transform and
// read through the 8-phase interpolator, and the crest factor of raw samples.
#include "device/Global.h"
#include "measure/Computing1.h"
#include "measure/FixedPoint.h"
#include "measure/Samplingimp.h"

#include <algorithm>
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
constexpr int FILTER_SPAN = 16; // samples under one phase of the filter
constexpr int PEAK_FIRST = 2048; // the middle half of the rebuilt waveform
constexpr int PEAK_COUNT = 4096;
constexpr int CREST_BLOCKS = 16;
constexpr int CREST_BLOCK = 504;

enum Quantity : int16_t { ACCELERATION = -1, VELOCITY = 0, DISPLACEMENT = 1 };

int16_t& PackedSample(int n) { return (n & 1) == 0 ? SpecRe[n >> 1] : SpecIm[n >> 1]; }

void ClearLines(int first, int last) {
    for (int k = first; k <= last; ++k) {
        SpecRe[k] = 0;
        SpecIm[k] = 0;
    }
}

// Band 30..3202 with half-weight edges, renormalised so the largest part
// reaches 8191 or more.
void ShapeForVelocity(float& scale) {
    int32_t m = 0;
    for (int k = BAND_FIRST; k <= BAND_LAST; ++k) m = std::max({m, fixp::Abs16(SpecRe[k]), fixp::Abs16(SpecIm[k])});
    int16_t s = 0;
    while (m > 0 && m < VELOCITY_FLOOR) {
        m *= 2;
        ++s;
    }
    ClearLines(0, BAND_FIRST - 1);
    ClearLines(BAND_LAST + 1, LAST_LINE);
    for (int k = BAND_FIRST + 1; k < BAND_LAST; ++k) {
        SpecRe[k] = fixp::ShiftLeft16(SpecRe[k], s);
        SpecIm[k] = fixp::ShiftLeft16(SpecIm[k], s);
    }
    for (int k : {BAND_FIRST, BAND_LAST}) {
        SpecRe[k] = fixp::ShiftLeft16(fixp::Store16((SpecRe[k] * 3) >> 2), s);
        SpecIm[k] = fixp::ShiftLeft16(fixp::Store16((SpecIm[k] * 3) >> 2), s);
    }
    scale = scale / fixp::Pow2(s);
}

// Multiplies line k by j k (the top line by three quarters of it).
void ShapeForAcceleration(float& scale) {
    auto weight = [](int k) { return k < BAND_LAST ? k : (3 * BAND_LAST) >> 2; };
    int32_t m = 0;
    for (int k = 0; k <= BAND_LAST; ++k) {
        m = std::max({m, fixp::Abs16(SpecRe[k]) * weight(k), fixp::Abs16(SpecIm[k]) * weight(k)});
    }
    const int16_t s = fixp::HalvingsToFit(m, SHAPE_LIMIT);
    for (int k = 0; k <= BAND_LAST; ++k) {
        const int32_t re = SpecRe[k] * weight(k);
        const int32_t im = SpecIm[k] * weight(k);
        SpecRe[k] = fixp::Store16(-(im >> s));
        SpecIm[k] = fixp::Store16(re >> s);
    }
    ClearLines(BAND_LAST + 1, LAST_LINE);
    scale = scale * fixp::Pow2(s) * TWO_PI * LINE_SPACING * 0.001f;
}

// Divides line k by j k / 4096; the two lowest lines of the band are divided
// by more than their number, which tapers the band's lower edge.
void ShapeForDisplacement(float& scale) {
    auto divisor = [](int k) { return k == BAND_FIRST ? 64 : k == BAND_FIRST + 1 ? 32 : k; };
    int32_t m = 0;
    for (int k = BAND_FIRST; k <= LAST_LINE; ++k) {
        m = std::max({m, fixp::Abs16(SpecRe[k]) * DISPLACEMENT_GAIN / divisor(k),
                      fixp::Abs16(SpecIm[k]) * DISPLACEMENT_GAIN / divisor(k)});
    }
    const int16_t s = fixp::HalvingsToFit(m, SHAPE_LIMIT);
    ClearLines(0, BAND_FIRST - 1);
    for (int k = BAND_FIRST; k <= LAST_LINE; ++k) {
        const int32_t re = SpecRe[k] * DISPLACEMENT_GAIN / divisor(k);
        const int32_t im = SpecIm[k] * DISPLACEMENT_GAIN / divisor(k);
        SpecRe[k] = fixp::Store16(im >> s);
        SpecIm[k] = fixp::Store16(-(re >> s));
    }
    scale = scale * fixp::Pow2(s) * 1000.0f / (TWO_PI * LINE_SPACING * static_cast<float>(DISPLACEMENT_GAIN));
}

// One phase of the interpolator at position n of a sample sequence, before
// the final >> 15. Cannot pass 2^31 (see PeakFilter).
template <typename Sample>
int32_t PhaseSum(Sample sample, int n, int p) {
    int32_t sum = 0;
    for (int i = PHASES - 1 - p, m = 0; i <= FILTER_LAST; i += PHASES, ++m) sum += sample(n + m) * PeakFilter[i];
    return sum;
}

struct PeakRange {
    int32_t max = std::numeric_limits<int32_t>::min();
    int32_t min = std::numeric_limits<int32_t>::max();
};

// Largest and smallest interpolated value over start positions first..last.
template <typename Sample>
PeakRange InterpolatedPeaks(Sample sample, int first, int last) {
    PeakRange r;
    for (int n = first; n <= last; ++n) {
        for (int p = 0; p < PHASES; ++p) {
            const int32_t y = PhaseSum(sample, n, p) >> 15;
            r.max = std::max(r.max, y);
            r.min = std::min(r.min, y);
        }
    }
    return r;
}

// Divides the middle half of the rebuilt waveform by the window it was
// multiplied with, 0.5 + 0.5 sin(pi i / 4096) in Q15 there.
void RemoveWindow() {
    for (int i = 0; i < PEAK_COUNT; ++i) {
        const int index = i < PEAK_COUNT / 2 ? i : PEAK_COUNT - i;
        const int32_t w = (SineTable[index] >> 1) + 0x4000;
        int16_t& v = PackedSample(PEAK_FIRST + i);
        v = fixp::Store16((v * 32768) / w);
    }
}

} // namespace

void PeakLevels(int16_t quantity, float& pp, float& pk) {
    const int16_t e1 = NormalizeSamples(SampleBuffer, SpecRe, SpecIm, false);
    auto e = static_cast<int16_t>(FftForward(SpecRe, SpecIm, SPEC_LOG2) - e1);
    float scale = CAL_K / (MeasSensitivity[KIND_MEAS] * MeasGain);
    HannWindowSpectrum(SpecRe, SpecIm, SPEC_SIZE);

    const int d = std::max(e - 8, 0) + 4;
    for (int i = 0; i < 2 * SPEC_SIZE; ++i) SpecArea[i] = fixp::ShiftTowardZero(SpecArea[i], d);
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

    RemoveWindow();
    const PeakRange r = InterpolatedPeaks([](int n) { return PackedSample(n); }, PEAK_FIRST,
                                          PEAK_FIRST + PEAK_COUNT - FILTER_SPAN);
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
    auto sample = [](int n) { return SampleBuffer[n]; };
    int32_t peakSum = 0;
    for (int b = 0; b < CREST_BLOCKS; ++b) {
        const int first = b * CREST_BLOCK;
        const PeakRange r = InterpolatedPeaks(sample, first, first + CREST_BLOCK - 1);
        peakSum += std::max(r.max, 0);
    }
    const float averagePeak = static_cast<float>(peakSum) / 16.0f;

    fixp::HalvingSquareSum squares;
    for (int16_t x : SampleBuffer) squares.Add(x);
    const float rms = Pow2Half(static_cast<int16_t>(squares.c - 13)) *
                      static_cast<float>(IntSqrt(static_cast<int32_t>(squares.acc)));

    results.Value.fill(0.0f);
    results.Value[RESULT_CREST] = averagePeak / rms;
}
