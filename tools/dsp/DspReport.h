#pragma once
// The instrument's own arithmetic applied to one waveform, printed in the
// form scripts read: "NAME VALUE" lines, floats with %.9g (enough digits to
// recover the single-precision value exactly), integers as they are.
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

// Kind 0: the nine levels in slot order (acc_pk acc_rms acc_pp vel_pk vel_rms
// vel_pp disp_pk disp_rms disp_pp). Kind 1: "crest VALUE"; false and nothing
// written when the crest factor is undefined (a signal whose RMS is 0).
bool WriteLevels(int16_t kind, const std::vector<int16_t>& samples, std::ostream& out);
// "scale VALUE", then "k value" for the windowed line magnitudes 32..3200.
void WriteSpectrum(int16_t kind, const std::vector<int16_t>& samples, std::ostream& out);
// The samples as 16-bit little-endian words: the tool's input format.
std::string SampleBytes(const std::vector<int16_t>& samples);
void WriteSampleBytes(const std::vector<int16_t>& samples, std::ostream& out);
