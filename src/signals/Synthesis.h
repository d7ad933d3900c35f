#pragma once
// The waveform a machine in a given condition gives the instrument, in the
// numeric form each measurement kind expects:
//   kind 0: unsigned converter codes of vibration velocity at 2560 values per
//           second, centred on 32768, one code = 2500/65535/10 mm/s, scaled so
//           that the machine's velocity RMS over the severity band (10-1000
//           Hz, 2-1000 Hz at or below 600 rpm) is the condition's severity;
//           nothing above 1000 Hz is in them;
//   kind 1: the two's-complement, positive "E" signal at 2560 values per
//           second, on the scale of kind 0: the envelope of the vibration in
//           a band around the structure's resonance (2-4.4 kHz), where
//           impacts ring; a smooth machine's is the envelope of its noise;
//   kind 2: unsigned codes of the high-frequency channel at 64000 values per
//           second, centred on 32768, where impacts ring the structure's
//           resonance in the kHz range.
// A combined condition is the sum of its parts, each at its share of the
// severity. The same condition always gives the same samples: it runs at
// its Rpm, a reading's speed jitter being resolved before (SpeedJitter.h).
#include "signals/Condition.h"

#include <cstdint>
#include <vector>

// Fills samples (8192) for kind 0..2. Values beyond the 16-bit range are
// clipped; the result then is true (an input overload). A stored condition
// or another kind leaves samples as they are and returns false.
bool SynthesizeCondition(const TCondition& condition, int16_t kind, int16_t* samples);

// The same signal before it is put into codes, in mm/s (kinds 0 and 2) or
// in the E signal's mm/s (kind 1), for the previews; empty for a stored
// condition or another kind.
std::vector<double> SynthesizeSignal(const TCondition& condition, int16_t kind);

// Rates of the low (kinds 0 and 1) and high-frequency (kind 2) channels.
inline constexpr double LOW_RATE = 2560.0;
inline constexpr double HF_RATE = 64000.0;
// mm/s per code of kind 0.
inline constexpr double VELOCITY_PER_CODE = 2500.0 / 65535.0 / 10.0;
