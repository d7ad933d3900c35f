#pragma once
// Filter designs of the synthesis, with coefficients computed from the
// textbook designs (never tuned by hand). Only +, -, *, / and the portable
// functions of SignalMath: the same coefficients from any compiler.
#include <array>
#include <vector>

// One second-order section, transposed direct form II, a0 = 1.
struct TBiquad {
    double B0, B1, B2, A1, A2;
};

// A Butterworth low-pass of even order as second-order sections: the analog
// prototype's pole pairs (Q_k = 1 / (2 sin((2k - 1) pi / 2n))) taken through
// the bilinear transform with the cut-off prewarped (tan(pi fc / rate)), one
// section per pair, as in R. Bristow-Johnson's "Audio EQ Cookbook".
template <int Order> std::array<TBiquad, Order / 2> ButterworthLowPass(double cutoffHz, double rate);

// |H(f)| of a Butterworth low-pass of that order through the bilinear
// transform: 1 / sqrt(1 + (tan(pi f / rate) / tan(pi fc / rate))^2n).
double ButterworthGain(int order, double hz, double cutoffHz, double rate);

// A linear-phase low-pass FIR of taps (odd) coefficients: the ideal
// low-pass's sinc at cutoffHz under a Blackman window (S. W. Smith, "The
// Scientist and Engineer's Guide to Digital Signal Processing", ch. 16),
// scaled to unit gain at 0 Hz. Stop band about -74 dB from cutoff +- 2 rate /
// taps on.
std::vector<double> BlackmanSincLowPass(int taps, double cutoffHz, double rate);

// A half-band low-pass FIR of taps (odd) coefficients for a decimation
// by 2: BlackmanSincLowPass at a quarter of the rate, whose coefficients an
// even number of places from the centre are exactly 0 (the sinc's zeros),
// as are the first and the last (the window's), so that a decimator
// multiplies only the centre and the odd places between. Its
// response is symmetric about a quarter of the rate: what it passes below
// f within some ripple, it stops above half the rate - f by as much.
std::vector<double> BlackmanHalfBand(int taps);
