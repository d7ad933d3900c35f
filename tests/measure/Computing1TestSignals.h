#pragma once
// Synthetic waveforms for the computation's tests, written into SampleBuffer
// in the numeric form of a measurement kind.
#include "measure/Samplingimp.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

namespace signals {

inline constexpr double SAMPLE_RATE = 2560.0;

struct Tone {
    double hz;
    double amplitude; // codes
    double phase = 0.0;
};

// Rounded and clipped to the kind's code range: unsigned converter codes
// (kinds 0 and 2) or two's complement (kind 1).
inline int16_t Code(double value, bool signedInput) {
    const double lo = signedInput ? -32768.0 : 0.0;
    const double v = std::clamp(std::round(value), lo, lo + 65535.0);
    return signedInput ? static_cast<int16_t>(v) : static_cast<int16_t>(static_cast<uint16_t>(v));
}

// Each tone is a rotating phasor: thousands of tones cost no sine calls.
inline void Write(const std::vector<Tone>& tones, double offset, bool signedInput = false) {
    std::vector<double> v(SAMPLE_COUNT, offset);
    for (const Tone& t : tones) {
        const auto step = std::polar(1.0, 2.0 * std::numbers::pi * t.hz / SAMPLE_RATE);
        auto z = std::polar(t.amplitude, t.phase);
        for (double& x : v) {
            x += z.imag();
            z *= step;
        }
    }
    for (int n = 0; n < SAMPLE_COUNT; ++n)
        SampleBuffer[n] = Code(v[n], signedInput);
}

// Equal lines with random phases on every line from lowHz to highHz:
// band-limited noise with the given RMS. The seed fixes it.
inline std::vector<Tone> BandNoise(unsigned seed, double lowHz, double highHz, double rms) {
    std::mt19937 random(seed);
    std::vector<Tone> tones;
    constexpr double lineHz = SAMPLE_RATE / SAMPLE_COUNT;
    for (double hz = std::ceil(lowHz / lineHz) * lineHz; hz <= highHz; hz += lineHz) {
        tones.push_back({hz, 1.0, 2.0 * std::numbers::pi * (random() / 4294967296.0)});
    }
    const double amplitude = rms * std::sqrt(2.0 / static_cast<double>(tones.size()));
    for (Tone& t : tones)
        t.amplitude = amplitude;
    return tones;
}

inline void Fill(int16_t value) {
    std::fill(std::begin(SampleBuffer), std::end(SampleBuffer), value);
}

} // namespace signals
