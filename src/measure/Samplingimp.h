#pragma once
// The emulated acquisition: a measurement copies one of the three stored
// waveforms into SampleBuffer and, when real, takes the 5 s a device needs to
// sample. Worker thread only.
#include <cstdint>

inline constexpr int SAMPLE_COUNT = 8192;
inline constexpr int16_t KIND_MEAS = 0;   // unsigned converter codes
inline constexpr int16_t KIND_MEAS_E = 1; // two's complement
inline constexpr int16_t KIND_HF = 2;     // unsigned converter codes, 25 x the rate
inline constexpr uint32_t ACQUISITION_MS = 5000;

// The current waveform, in time order; kept until the next acquisition.
extern int16_t SampleBuffer[SAMPLE_COUNT];

// Copies stored waveform kind into SampleBuffer (another kind leaves it as it
// is); a real measurement marks *status 0xAAAA (when given) and waits 5 s.
// Returns 0: there is no overload detection.
int16_t AcquireWaveform(int16_t kind, uint16_t* status, bool real);

// The stored waveform of kind (0..2) as 16-bit values; false for another kind.
bool ReadWaveformTable(int16_t kind, int16_t (&samples)[SAMPLE_COUNT]);
