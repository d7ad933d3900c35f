#pragma once
// The double-precision spectrum of one 8192-sample waveform, windowed as the
// instrument windows it (Hann, through the spectrum) and scaled so that a
// line reads the RMS of a sinusoid centred on it. It calibrates the
// synthesis and draws the previews; the instrument itself never uses it.
#include <vector>

inline constexpr int SIGNAL_LENGTH = 8192;
inline constexpr int SIGNAL_LINES = SIGNAL_LENGTH / 2;
// The band of the overall levels, in lines of the low channel (10-1000 Hz).
inline constexpr int BAND_FIRST_LINE = 30;
inline constexpr int BAND_LAST_LINE = 3202;

// Line RMS values 0..4095 of samples[0..8191], in the samples' unit.
std::vector<double> LineRms(const std::vector<double>& samples);
// The RMS of lines first..last: the band level, energy-corrected for the window.
double BandRms(const std::vector<double>& lines, int first, int last);
// BandRms(LineRms(samples), first, last), computed without the lines.
double SignalBandRms(const std::vector<double>& samples, int first, int last);
