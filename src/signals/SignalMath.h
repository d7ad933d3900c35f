#pragma once
// Portable building blocks of the waveform synthesis. The committed waveform
// files must come out bit for bit the same from any compiler and C library,
// so nothing here uses the library's transcendental functions (whose last
// bits differ between implementations) or its random distributions (whose
// algorithms are unspecified): only +, -, *, / and rounding on doubles, which
// IEEE 754 fixes exactly.
#include <cstdint>

// splitmix64: a fixed, well-mixed sequence from a 64-bit seed.
class TSplitMix {
  public:
    explicit TSplitMix(uint64_t seed) : FState(seed) {}
    uint64_t Next();
    // Uniform in [0, 1) with 53 random bits.
    double Uniform();
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
