#pragma once
// Portable building blocks of the waveform synthesis. The committed waveform
// files must come out bit for bit the same from any compiler and C library,
// so nothing here uses the library's transcendental functions (whose last
// bits differ between implementations) or its random distributions (whose
// algorithms are unspecified): only +, -, *, / and rounding on doubles, which
// IEEE 754 fixes exactly.
#include <cstdint>

// splitmix64: a fixed, well-mixed sequence from a 64-bit seed. Next and
// Uniform are inline: the synthesis draws one or more per sample, and a
// loop that calls out for each draw cannot overlap them.
class TSplitMix {
  public:
    explicit TSplitMix(uint64_t seed) : FState(seed) {}
    uint64_t Next() {
        FState += 0x9E3779B97F4A7C15ull;
        uint64_t z = FState;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1) with 53 random bits.
    double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
    // Approximately standard normal (the Irwin-Hall sum of 12 uniforms, so
    // bounded to +-6).
    double Normal();

  private:
    uint64_t FState;
};

inline constexpr double PI = 3.14159265358979323846;

// sin(x) by reduction to [-pi, pi] and its Taylor series; accurate to a few
// units in the last place, which is far below one converter code.
double PortableSin(double x);
double PortableCos(double x);
// e^x for |x| <= 700 (0 below -700).
double PortableExp(double x);
