#pragma once
// The committed text form of a stored waveform: a comment header saying what
// it is and how to regenerate it, the line "form unsigned" or "form signed",
// then the values, 16 to a line. The resource compiler reads it back.
#include <cstdint>
#include <string>
#include <vector>

std::string WaveformText(int kind, const std::vector<int32_t>& values);
