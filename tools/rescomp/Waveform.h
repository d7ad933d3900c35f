#pragma once
// The text form of a stored waveform: '#' starts a comment, the first other
// line is "form unsigned" (values 0..65535) or "form signed" (-32768..32767),
// and exactly 8192 decimal values follow, separated by blanks or line ends.
// The binary form is 16384 bytes: the values as 16-bit little-endian words.
#include <cstdint>
#include <istream>
#include <string>
#include <vector>

inline constexpr std::size_t WAVEFORM_VALUES = 8192;

// Reads the text strictly; on failure error says "path:line: what".
bool ParseWaveformText(std::istream& in, const std::string& path, std::vector<uint16_t>& words,
                       std::string& error);
bool CompileWaveformFile(const std::string& inPath, const std::string& outPath, std::string& error);
