#pragma once
// An independent double-precision model of what the fixed-point chain
// measures: its own transform, the Hann window, the 9.375..1000.625 Hz band,
// the calibration and the conversions between velocity, acceleration and
// displacement. The fixed-point results must stay within an accuracy floor
// of it.
#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <vector>

namespace reference {

inline constexpr int N = 8192;
inline constexpr double LINE_HZ = 0.3125;
inline constexpr double SAMPLE_RATE = 2560.0;
inline constexpr double WINDOW_CORRECTION = 1.632993;
inline constexpr double CODE_K = 2500.0 / 65535.0;

using Spectrum = std::vector<std::complex<double>>;

// Iterative radix-2 DFT, X[k] = sum x[n] exp(-j 2 pi k n / N).
inline Spectrum Dft(const std::vector<double>& x) {
    const auto n = x.size();
    Spectrum a(x.begin(), x.end());
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; (j & bit) != 0; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const double angle = -2.0 * std::numbers::pi / static_cast<double>(len);
        for (std::size_t i = 0; i < n; i += len) {
            for (std::size_t k = 0; k < len / 2; ++k) {
                const auto w = std::polar(1.0, angle * static_cast<double>(k));
                const auto u = a[i + k];
                const auto v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
    return a;
}

// Samples as numbers: unsigned converter codes or two's complement.
inline std::vector<double> Codes(const int16_t* samples, bool signedInput) {
    std::vector<double> x(N);
    for (int i = 0; i < N; ++i) {
        x[i] = signedInput ? samples[i] : static_cast<double>(static_cast<uint16_t>(samples[i]));
    }
    return x;
}

// Hann-windowed line magnitudes (window energy restored), in physical units
// per line, for lines 0..N/2-1; a sine of amplitude A off the window's
// influence reads A x sqrt(2/3) at its line.
inline std::vector<double> WindowedLines(const int16_t* samples, bool signedInput, double codeScale) {
    auto x = Codes(samples, signedInput);
    for (int i = 0; i < N; ++i)
        x[i] *= 0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / N);
    const auto spectrum = Dft(x);
    std::vector<double> lines(N / 2);
    for (int k = 0; k < N / 2; ++k)
        lines[k] = std::abs(spectrum[k]) / (N / 2) * WINDOW_CORRECTION * codeScale;
    return lines;
}

struct BandLevels {
    double velocityRms;
    double displacementRms;
    double accelerationRms;
};

// RMS of the band from windowed lines: sqrt(sum of line^2 / 2), velocity
// lines converted by 2 pi f.
inline BandLevels Levels(const int16_t* samples, double codeScale, int first = 30, int last = 3202) {
    const auto lines = WindowedLines(samples, false, codeScale);
    double v = 0, d = 0, a = 0;
    for (int k = first; k <= last; ++k) {
        const double omega = 2.0 * std::numbers::pi * k * LINE_HZ;
        const double line = lines[k];
        v += line * line;
        d += std::pow(line / omega * 1000.0, 2);
        a += std::pow(line * omega / 1000.0, 2);
    }
    return {std::sqrt(v / 2), std::sqrt(d / 2), std::sqrt(a / 2)};
}

} // namespace reference
