#pragma once
// The forward DFT of a real record, bins 0..n/2 (X[k] = sum x[j] e^(-2 pi i jk/n)),
// as the readings' spectra take it. The desktop and the tools use FFTW; the
// web edition, which has no FFTW, uses RealDftRadix2 (a radix-2 FFT for the
// power-of-two records the instrument makes, a direct sum for any other
// length), which a test holds to FFTW's results.
#include <complex>
#include <vector>

std::vector<std::complex<double>> RealDft(const std::vector<double>& in);
std::vector<std::complex<double>> RealDftRadix2(const std::vector<double>& in);
