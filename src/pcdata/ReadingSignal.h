#pragma once
// A reading's samples in physical units, and its spectrum computed on the PC
// in double precision: what the analyst sees larger than the LCD can show.
//
// Kind 0 samples are unsigned converter codes of velocity, kind 1 the
// two's-complement E signal on the same scale; both at 2560 values a second.
#include <cstdint>
#include <vector>

inline constexpr double READING_RATE = 2560.0;
// mm/s per converter code.
inline constexpr double READING_MM_S_PER_CODE = 2500.0 / 65535.0 / 10.0;

// mm/s (the E signal's for kind 1), one value a sample. Kind 0 is drawn
// about the record's mean, as the instrument measures it; kind 1 keeps its
// mean, the DC level its band values are a percentage of.
std::vector<double> ReadingWaveform(int16_t kind, const std::vector<int16_t>& samples);

// The signed PCM value of a sample (kind 0 codes are centred on 32768).
int16_t ReadingPcm(int16_t kind, int16_t sample);

struct TReadingSpectrum {
    double LineSpacing = 0;        // Hz
    std::vector<double> Amplitude; // peak mm/s of each line from 0 Hz, below the Nyquist frequency
};

// The Hann-windowed amplitude spectrum of the waveform, mean removed, the
// window's gain put back so a pure tone reads its peak value. finer (1, 2,
// 4 or 8) pads the record with zeros to interpolate between the lines; 1 is
// the instrument's resolution (0.3125 Hz for 8192 samples).
TReadingSpectrum ReadingSpectrum(int16_t kind, const std::vector<int16_t>& samples, int finer = 1);
