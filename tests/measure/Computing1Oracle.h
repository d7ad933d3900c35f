#pragma once
// The level and spectrum computation written the plain way, one value at a
// time, as the reference that the library's faster code must match bit for
// bit. It works on the arrays it is given instead of the library's globals.
#include "measure/MeasResults.h"

#include <cstdint>

namespace oracle {

inline constexpr int AREA_SIZE = 8192; // re followed by im, 4096 each

uint16_t IntSqrt(int32_t value);
float Pow2Half(int16_t n);
int16_t NormalizeSamples(const int16_t* src, int16_t* re, int16_t* im, bool signedInput);
int16_t FftForward(int16_t* re, int16_t* im, int16_t log2n);
int16_t FftInverse(int16_t* re, int16_t* im, int16_t log2n);
void HannWindowSpectrum(int16_t* re, int16_t* im, int16_t n);
void SpectrumMagnitude(int16_t* re, const int16_t* im, int16_t first, int16_t last, int16_t e, float base,
                       float& resultScale);
float BandRms(const int16_t* p, int16_t first, int16_t last, float scale);
void SpectrumTimesF(const int16_t* src, int16_t first, int16_t last, float scaleIn, int16_t* dst, float df,
                    float& scaleOut);
void SpectrumOverF(const int16_t* src, int16_t first, int16_t last, float scaleIn, int16_t* dst, float df,
                   float& scaleOut);

// The whole computations, from samples into area (AREA_SIZE values).
void ComputeSpectrum(const int16_t* samples, int16_t* area, int16_t first, int16_t last, bool windowed,
                     int16_t kind, float& scaleOut);
void PeakLevels(const int16_t* samples, int16_t* area, int16_t quantity, float& pp, float& pk);
void ComputeVibrationResults(const int16_t* samples, int16_t* area, TMeasResults& results);
void ComputeCrestFactor(const int16_t* samples, TMeasResults& results);

} // namespace oracle
