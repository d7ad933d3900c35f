// Line spectra and what is read from them: magnitudes, band RMS, conversion
// between velocity, acceleration and displacement lines, and the DC level.
#include "device/Global.h"
#include "measure/Computing1.h"
#include "measure/FixedPoint.h"
#include "measure/Samplingimp.h"

#include <algorithm>

namespace {

constexpr float TWO_PI = 6.2831854f;
constexpr float WINDOW_CORRECTION = 1.632993f; // the Hann window's energy loss
constexpr int32_t LINE_LIMIT = 0x7FFF;

// Calibration of one code of the given kind, in the kind's physical unit.
float CodeScale(int16_t kind) { return CAL_K / (MeasGain * MeasSensitivity[kind]); }

} // namespace

void SpectrumMagnitude(int16_t* re, const int16_t* im, int16_t first, int16_t last, int16_t e, float base,
                       float& resultScale) {
    for (int k = first; k <= last; ++k) {
        const uint32_t power = static_cast<uint32_t>(re[k] * re[k]) + static_cast<uint32_t>(im[k] * im[k]);
        re[k] = static_cast<int16_t>(IntSqrt(static_cast<int32_t>(power)) >> 1);
    }
    resultScale = e >= 2 ? base / fixp::Pow2(e - 2) : base * fixp::Pow2(2 - e);
}

float BandRms(const int16_t* p, int16_t first, int16_t last, float scale) {
    fixp::HalvingSquareSum sum{0, 1};
    for (int k = first; k <= last; ++k) sum.Add(p[k]);
    return Pow2Half(static_cast<int16_t>(sum.c - 1)) * scale *
           static_cast<float>(IntSqrt(static_cast<int32_t>(sum.acc)));
}

void SpectrumTimesF(const int16_t* src, int16_t first, int16_t last, float scaleIn, int16_t* dst, float df,
                    float& scaleOut) {
    int32_t m = 0;
    for (int k = first; k <= last; ++k) m = std::max(m, src[k] * k);
    const int16_t s = fixp::HalvingsToFit(m, LINE_LIMIT);
    for (int k = first; k <= last; ++k) dst[k] = fixp::Store16((src[k] * k) >> s);
    scaleOut = scaleIn * fixp::Pow2(s) * (TWO_PI * df) * 0.001f;
}

// Lines are divided by k / last, so the highest line keeps its value. The DC
// line has no displacement and is given 0 should a caller include it.
void SpectrumOverF(const int16_t* src, int16_t first, int16_t last, float scaleIn, int16_t* dst, float df,
                   float& scaleOut) {
    auto over = [&](int k) { return k == 0 ? 0 : (src[k] * last) / k; };
    int32_t m = 0;
    for (int k = first; k <= last; ++k) m = std::max(m, over(k));
    const int16_t s = fixp::HalvingsToFit(m, LINE_LIMIT);
    for (int k = first; k <= last; ++k) dst[k] = fixp::Store16(over(k) >> s);
    scaleOut = scaleIn * fixp::Pow2(s) * 1000.0f / (TWO_PI * df * static_cast<float>(last));
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
    for (int16_t x : SampleBuffer) sum += x;
    return static_cast<float>(sum) * fixp::Pow2(-13) * CAL_K / (MeasSensitivity[KIND_MEAS_E] * MeasGain);
}
