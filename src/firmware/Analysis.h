#pragma once
// The spectrum view of the waveform in SampleBuffer: a modal loop on the
// worker thread that returns when the user leaves it with both keys.
#include <cstdint>

// kind: 0 MEAS (velocity spectrum, unit switching), 1 MEAS.E, 2 HF spectrum.
void SpectrumView(int16_t kind);
