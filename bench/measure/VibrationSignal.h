#pragma once
// The benchmarks' input: a vibration signal like a machine's in the sample
// buffer, the same for every back end measured (native and WebAssembly).
#include "measure/Samplingimp.h"

#include <cmath>
#include <cstdint>
#include <numbers>

// A vibration signal like a machine's, in unsigned codes: two running-speed
// lines, strong content below 6 Hz and broadband noise, about 100 codes RMS.
inline void WriteKind0Signal() {
    uint32_t noise = 12345;
    for (int n = 0; n < SAMPLE_COUNT; ++n) {
        const double t = n / 2560.0;
        noise = noise * 1664525u + 1013904223u;
        const double v = 32210.0 + 80.0 * std::sin(2 * std::numbers::pi * 23.1 * t) +
                         60.0 * std::sin(2 * std::numbers::pi * 69.7 * t + 1.0) +
                         90.0 * std::sin(2 * std::numbers::pi * 4.2 * t) + static_cast<double>(noise >> 26) -
                         32.0;
        SampleBuffer[n] = static_cast<int16_t>(static_cast<uint16_t>(std::lround(v)));
    }
}
