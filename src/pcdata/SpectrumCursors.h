#pragma once
// What an analyst reads off a spectrum beyond one cursor: the harmonics of a
// chosen line, and the change of a reading against its baseline.
#include <cstddef>
#include <vector>

// The highest line within reach lines of line index (an analyst clicking
// near a peak means the peak).
std::size_t PeakLineNear(const std::vector<double>& amplitude, std::size_t index, std::size_t reach);

// Where a peak really lies between its lines, in lines: the top of a
// parabola through the logarithms of the peak line and its two neighbours
// (close to exact for the Hann window's bell-shaped main lobe). index itself
// at either end of the spectrum or where a neighbour is zero.
double PeakPosition(const std::vector<double>& amplitude, std::size_t index);

struct THarmonicCursor {
    int Order;        // 1 for the chosen line itself
    double Hz;        // Order times the chosen line's frequency
    std::size_t Line; // the line the value is read from
    double Amplitude; // that line's value
};

// The chosen peak line's harmonics 1x..count x that lie in the spectrum.
// The fundamental is the peak's interpolated frequency, so that 10x still
// lands on the tenth harmonic; each value is that of the highest line within
// reach lines of the multiple (the multiple of a frequency known to a fraction
// of a line falls between lines).
std::vector<THarmonicCursor> HarmonicCursors(const std::vector<double>& amplitude, double lineSpacing,
                                             std::size_t chosenLine, int count = 10, std::size_t reach = 1);

// today minus baseline, line by line, over the lines both have: the growth
// of each line in the spectra's own unit. Both must share their line
// spacing (the caller computes them alike).
std::vector<double> SpectrumDifference(const std::vector<double>& today, const std::vector<double>& baseline);

// The baseline's spectrum moved onto the lines of a reading taken at another
// running speed, so that each order falls on the same line in both: line k
// takes the baseline's value at k x baselineShaftHz / shaftHz of its lines,
// between lines interpolated, and every baseline line also lands, at its
// height, on the line nearest its order (a peak is never lowered by the
// move). The baseline as it is when either speed is unknown (0).
std::vector<double> SpectrumAtSpeed(const std::vector<double>& baseline, double baselineShaftHz,
                                    double shaftHz);
