// Line spectra and what is read from them: the Hann window on a spectrum,
// magnitudes, band RMS, conversion between velocity, acceleration and
// displacement lines, and the DC level. Eight lines at a time where the
// lines are independent.
#include "device/Global.h"
#include "measure/Computing1.h"
#include "measure/HalvingSquareSum.h"
#include "measure/Samplingimp.h"

#include <algorithm>

namespace {

using fixp::vec::V16;
using fixp::vec::V32;
namespace v = fixp::vec;

constexpr int LANES = 8;
constexpr float TWO_PI = 6.2831854f;
constexpr float WINDOW_CORRECTION = 1.632993f; // the Hann window's energy loss
constexpr int32_t LINE_LIMIT = 0x7FFF;

// Calibration of one code of the given kind, in the kind's physical unit.
float CodeScale(int16_t kind) {
    return CAL_K / (MeasGain * MeasSensitivity[kind]);
}

// One line of the windowed spectrum from the old values of it and its neighbours.
int16_t HannLine(int16_t before, int16_t line, int16_t after) {
    return fixp::Store16((line >> 1) - (before >> 2) - (after >> 2));
}

// The real or the imaginary parts (the DC line's imaginary part read as 0).
// Eight lines at a time from line 8 on; a run's lower neighbours come from
// the run before, kept as it was read.
void HannWindowLines(int16_t* x, int16_t n, bool imaginary) {
    const int last = n - 1;
    if (n <= 2 * LANES) {
        int16_t below = imaginary ? int16_t{0} : x[0];
        x[0] = imaginary ? int16_t{0} : fixp::Store16((x[0] >> 1) - (x[1] >> 1));
        for (int k = 1; k < last; ++k) {
            const int16_t line = x[k];
            x[k] = HannLine(below, line, x[k + 1]);
            below = line;
        }
        x[last] = fixp::Store16((x[last] >> 1) - (below >> 2));
        return;
    }
    int16_t head[LANES + 1];
    std::copy(x, x + LANES + 1, head);
    if (imaginary) head[0] = 0;
    int k = LANES;
    V16 before = v::Load(head);
    for (; k + LANES < n; k += LANES) {
        const V16 line = v::Load(x + k);
        const V16 after = v::Load(x + k + 1);
        const V16 below = v::ShiftLanesIn(before, line);
        v::Store(x + k,
                 v::Sub(v::Sub(v::ShiftRight(line, 1), v::ShiftRight(below, 2)), v::ShiftRight(after, 2)));
        before = line;
    }
    alignas(16) int16_t previous[LANES];
    v::Store(previous, before);
    int16_t below = previous[LANES - 1];
    for (; k < last; ++k) {
        const int16_t line = x[k];
        x[k] = HannLine(below, line, x[k + 1]);
        below = line;
    }
    x[last] = fixp::Store16((x[last] >> 1) - (below >> 2));
    x[0] = imaginary ? int16_t{0} : fixp::Store16((head[0] >> 1) - (head[1] >> 1));
    for (int j = 1; j < LANES && j < last; ++j)
        x[j] = HannLine(head[j - 1], head[j], head[j + 1]);
}

} // namespace

void SpectrumMagnitude(int16_t* re, const int16_t* im, int16_t first, int16_t last, int16_t e, float base,
                       float& resultScale) {
    // re^2 + im^2 wraps as a 32-bit sum does, and a wrapped (negative) power
    // has root 0, as IntSqrt gives.
    auto magnitude = [](V32 power) { return v::ShiftRight(v::SquareRootFloor(power), 1); };
    int k = first;
    for (; k + LANES - 1 <= last; k += LANES) {
        const V16 r = v::Load(re + k), i = v::Load(im + k);
        const V16 lo = v::InterleaveLow(r, i), hi = v::InterleaveHigh(r, i);
        v::Store(re + k, v::Narrow(magnitude(v::MulAddPairs(lo, lo)), magnitude(v::MulAddPairs(hi, hi))));
    }
    for (; k <= last; ++k) {
        const uint32_t power = static_cast<uint32_t>(re[k] * re[k]) + static_cast<uint32_t>(im[k] * im[k]);
        re[k] = static_cast<int16_t>(IntSqrt(static_cast<int32_t>(power)) >> 1);
    }
    resultScale = e >= 2 ? base / fixp::Pow2(e - 2) : base * fixp::Pow2(2 - e);
}

float BandRms(const int16_t* p, int16_t first, int16_t last, float scale) {
    fixp::HalvingSquareSum sum{0, 1};
    sum.AddRange(p, first, last);
    return Pow2Half(static_cast<int16_t>(sum.c - 1)) * scale *
           static_cast<float>(IntSqrt(static_cast<int32_t>(sum.acc)));
}

void SpectrumTimesF(const int16_t* src, int16_t first, int16_t last, float scaleIn, int16_t* dst, float df,
                    float& scaleOut) {
    V32 largest = v::Splat32(0);
    int k = first;
    for (; k + LANES - 1 <= last; k += LANES) {
        const V16 x = v::Load(src + k), n = v::Ramp(static_cast<int16_t>(k));
        largest = v::Max(largest, v::Max(v::ProductsLow(x, n), v::ProductsHigh(x, n)));
    }
    int32_t m = v::Largest(largest);
    for (; k <= last; ++k)
        m = std::max(m, src[k] * k);
    const int16_t s = fixp::HalvingsToFit(m, LINE_LIMIT);
    for (k = first; k + LANES - 1 <= last; k += LANES) {
        const V16 x = v::Load(src + k), n = v::Ramp(static_cast<int16_t>(k));
        v::Store(dst + k, v::NarrowWrap(v::ShiftRight(v::ProductsLow(x, n), s),
                                        v::ShiftRight(v::ProductsHigh(x, n), s)));
    }
    for (; k <= last; ++k)
        dst[k] = fixp::Store16((src[k] * k) >> s);
    scaleOut = scaleIn * fixp::Pow2(s) * (TWO_PI * df) * 0.001f;
}

// Lines are divided by k / last, so the highest line keeps its value. The DC
// line has no displacement and is given 0 should a caller include it. Each
// quotient is formed once and kept for the second pass.
void SpectrumOverF(const int16_t* src, int16_t first, int16_t last, float scaleIn, int16_t* dst, float df,
                   float& scaleOut) {
    const double* reciprocal = fixp::LineReciprocals();
    alignas(16) int32_t quotient[SPEC_SIZE];
    int32_t m = 0;
    int k = first;
    if (k == 0) quotient[k++] = 0;
    V32 largest = v::Splat32(0);
    const V16 top = v::Splat(last);
    for (; k + LANES - 1 <= last; k += LANES) {
        const V16 x = v::Load(src + k);
        const V32 lo = v::DivideTowardZero(v::ProductsLow(x, top), reciprocal + k);
        const V32 hi = v::DivideTowardZero(v::ProductsHigh(x, top), reciprocal + k + 4);
        v::Store(quotient + k, lo);
        v::Store(quotient + k + 4, hi);
        largest = v::Max(largest, v::Max(lo, hi));
    }
    m = v::Largest(largest);
    for (; k <= last; ++k) {
        quotient[k] = fixp::DivideTowardZero(src[k] * last, reciprocal[k]);
        m = std::max(m, quotient[k]);
    }
    const int16_t s = fixp::HalvingsToFit(m, LINE_LIMIT);
    for (k = first; k + LANES - 1 <= last; k += LANES) {
        v::Store(dst + k, v::NarrowWrap(v::ShiftRight(v::Load(quotient + k), s),
                                        v::ShiftRight(v::Load(quotient + k + 4), s)));
    }
    for (; k <= last; ++k)
        dst[k] = fixp::Store16(quotient[k] >> s);
    scaleOut = scaleIn * fixp::Pow2(s) * 1000.0f / (TWO_PI * df * static_cast<float>(last));
}

// Multiplies the packed time signal by 0.5 - 0.5 cos(2 pi t / 8192) as the
// convolution of its spectrum with (-1/4, 1/2, -1/4); every term is shifted on
// its own, and each line reads its neighbours' values from before the step.
void HannWindowSpectrum(int16_t* re, int16_t* im, int16_t n) {
    HannWindowLines(re, n, false);
    HannWindowLines(im, n, true);
}

void ComputeSpectrum(int16_t first, int16_t last, bool windowed, int16_t kind, float& scaleOut) {
    const int16_t e1 = NormalizeSamples(SampleBuffer, SpecRe, SpecIm, kind == KIND_MEAS_E);
    const auto e = static_cast<int16_t>(FftForward(SpecRe, SpecIm, SPEC_LOG2) - e1);
    const float base = CodeScale(kind);
    if (windowed) {
        HannWindowSpectrum(SpecRe, SpecIm, SPEC_SIZE);
        SpectrumMagnitude(SpecRe, SpecIm, first, last, e, base, scaleOut);
        scaleOut = scaleOut * WINDOW_CORRECTION;
    } else {
        SpectrumMagnitude(SpecRe, SpecIm, first, last, e, base, scaleOut);
    }
}

float SampleMean() {
    int32_t sum = 0; // 8192 16-bit values: at most 2^28 in size
    for (int16_t x : SampleBuffer)
        sum += x;
    return static_cast<float>(sum) * fixp::Pow2(-13) * CAL_K / (MeasSensitivity[KIND_MEAS_E] * MeasGain);
}
