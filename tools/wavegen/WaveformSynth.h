#pragma once
// The three stored waveforms of the instrument, synthesised from a fixed seed.
// The output is committed under resources/waveforms and compiled into the
// program; this code only has to run again when a waveform is redesigned, and
// a test proves that the committed files are exactly what it produces.
#include <cstdint>
#include <string>
#include <vector>

inline constexpr int WAVEFORM_LENGTH = 8192;
inline constexpr int WAVEFORM_KINDS = 3;

// How a kind's values are stored: unsigned converter codes (kinds 0 and 2)
// or two's complement (kind 1).
enum class TSampleForm { Unsigned, Signed };

// The figures a synthesised waveform is fitted to: its extremes exactly, its
// mean exactly (as the nearest integer sum), its AC RMS to within the
// rounding of the samples.
struct TWaveformTarget {
    int32_t Min;
    int32_t Max;
    double Mean;
    double AcRms;
};

TSampleForm WaveformForm(int kind);
TWaveformTarget WaveformTarget(int kind);
// What the waveform stands for, a few lines of plain text.
std::string WaveformDescription(int kind);

// The stored values of kind (0..2) in time order, as the numbers the text
// file holds: 0..65535 for unsigned, -32768..32767 for signed.
std::vector<int32_t> SynthesizeWaveform(int kind);

// Maps signal onto target: an affine fit to the mean and AC RMS, repeated
// with the excursions beyond the extremes clipped, then rounding that keeps
// the sum at the target mean. The signal's own extremes must reach beyond
// the target's; throws std::runtime_error when the result misses a figure.
std::vector<int32_t> FitToTarget(std::vector<double> signal, const TWaveformTarget& target);
