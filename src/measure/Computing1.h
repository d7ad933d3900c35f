#pragma once
// The instrument's level and spectrum arithmetic, exactly as its fixed-point
// processor does it: 16-bit samples and spectrum values, 32-bit products and
// sums, Q15 twiddles, block floating point with an exponent beside the
// arrays, single-precision floats only for scale factors and results. Every
// integer result is part of the contract: an optimisation may not change one.
// Worker thread only; the arrays are shared without locks.
#include "measure/MeasResults.h"

#include <cstdint>

inline constexpr int SPEC_SIZE = 4096;
inline constexpr int16_t SPEC_LOG2 = 12;
inline constexpr float CAL_K = 2500.0f / 65535.0f;
inline constexpr float LINE_SPACING = 0.3125f;

// SpecRe and SpecIm are one working area: SpecIm follows SpecRe in memory.
extern int16_t SpecArea[2 * SPEC_SIZE];
inline int16_t* const SpecRe = SpecArea;
inline int16_t* const SpecIm = SpecArea + SPEC_SIZE;

extern const int16_t SineTable[2049]; // Q15 quarter wave
extern const int16_t PeakFilter[121]; // 8-phase interpolator

uint16_t IntSqrt(int32_t value);
float Pow2Half(int16_t n);

// Removes the mean, scales into 0x2000..0x3FFF and packs src (8192 samples)
// into re/im (even samples in re, odd in im). Returns the exponent.
int16_t NormalizeSamples(const int16_t* src, int16_t* re, int16_t* im, bool signedInput);
int16_t FftForward(int16_t* re, int16_t* im, int16_t log2n);
int16_t FftInverse(int16_t* re, int16_t* im, int16_t log2n);
void HannWindowSpectrum(int16_t* re, int16_t* im, int16_t n);
// Magnitudes into re[first..last]; resultScale = base x 2^(2 - e).
void SpectrumMagnitude(int16_t* re, const int16_t* im, int16_t first, int16_t last, int16_t e, float base,
                       float& resultScale);
float BandRms(const int16_t* p, int16_t first, int16_t last, float scale);
void SpectrumTimesF(const int16_t* src, int16_t first, int16_t last, float scaleIn, int16_t* dst, float df,
                    float& scaleOut);
void SpectrumOverF(const int16_t* src, int16_t first, int16_t last, float scaleIn, int16_t* dst, float df,
                   float& scaleOut);

// Windowed (or not) line magnitudes of SampleBuffer in SpecRe[first..last];
// line k measures scaleOut x SpecRe[k].
void ComputeSpectrum(int16_t first, int16_t last, bool windowed, int16_t kind, float& scaleOut);
float SampleMean();
// quantity: -1 acceleration, 0 velocity, +1 displacement.
void PeakLevels(int16_t quantity, float& pp, float& pk);
void ComputeVibrationResults(TMeasResults& results);
void ComputeCrestFactor(TMeasResults& results);
