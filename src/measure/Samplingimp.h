#pragma once
// The emulated acquisition: a measurement copies one of the three stored
// waveforms into SampleBuffer and, when real, takes the 5 s a device needs to
// sample. Worker thread only.
#include "measure/PointConditions.h"

#include <cstdint>

inline constexpr int SAMPLE_COUNT = 8192;
inline constexpr int16_t KIND_MEAS = 0;   // unsigned converter codes
inline constexpr int16_t KIND_MEAS_E = 1; // two's complement
inline constexpr int16_t KIND_HF = 2;     // unsigned converter codes, 25 x the rate
inline constexpr uint32_t ACQUISITION_MS = 5000;

// The current waveform, in time order; kept until the next acquisition.
extern int16_t SampleBuffer[SAMPLE_COUNT];

// Fills SampleBuffer with the waveform of kind (another kind leaves it as it
// is); a real measurement marks *status 0xAAAA (when given) and waits 5 s.
// source (PointConditions.h) chooses the waveform: a real measurement takes
// the condition assigned to the source now and, for a point, records it; a
// rebuild takes the condition the point was measured with. A stored
// condition, and SOURCE_STORED, copy the stored waveform. Returns non-zero
// when the signal overloaded the input (only a synthesized one can).
int16_t AcquireWaveform(int16_t kind, uint16_t* status, bool real, int16_t source = SOURCE_STORED);

// The stored waveform of kind (0..2) as 16-bit values; false for another kind.
bool ReadWaveformTable(int16_t kind, int16_t (&samples)[SAMPLE_COUNT]);
