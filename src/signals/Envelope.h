#pragma once
// The demodulation of the "E" channel: the high-frequency vibration, sampled
// at ENVELOPE_RATE, is band-passed around the structure's resonance, its
// envelope is taken as the magnitude of the analytic signal, low-passed
// below 1000 Hz and decimated to the low channel's 2560 values per second.
// Running speed tones lie far below the band and so never reach the
// envelope: a smooth machine's E signal is the envelope of its noise.
#include <vector>

inline constexpr double ENVELOPE_RATE = 10240.0; // 4 x 2560
inline constexpr int ENVELOPE_DECIMATION = 4;
// The pass band, 2000-4400 Hz, around the structural resonance the band is
// set on (the one impacts ring in the synthesis).
inline constexpr double ENVELOPE_CENTRE_HZ = 3200.0;
inline constexpr double ENVELOPE_HALF_WIDTH_HZ = 1200.0;
inline constexpr int ENVELOPE_BAND_ORDER = 6;
// High-rate samples the filters need before the first output value (to
// settle) and after the last (the anti-alias filter is centred). The band
// filter's slowest poles decay by e every 6 samples: over the lead, what it
// held before falls by 19 orders of magnitude, below the last bit.
inline constexpr int ENVELOPE_LEAD = 256;
inline constexpr int ENVELOPE_TRAIL = 64;

// How much of a tone at hz the band-pass lets through (0..1).
double EnvelopeBandGain(double hz);

// high: ENVELOPE_LEAD + 4 count + ENVELOPE_TRAIL samples at ENVELOPE_RATE.
// Returns count envelope values; value m is the envelope around
// high[ENVELOPE_LEAD + 4 m], on the scale of high (a sinusoid of amplitude A
// in the band has the envelope A). Each value depends only on the samples
// from ENVELOPE_LEAD before its own to ENVELOPE_TRAIL after (to far below
// the last bit). A high of another length gives count zeros.
std::vector<double> Demodulate(const std::vector<double>& high, int count);
