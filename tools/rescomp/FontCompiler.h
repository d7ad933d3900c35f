#pragma once
#include <string>

// Compile the text-art font sources into the exact binary resource layouts:
// FONT1 is 258 glyphs x 6 columns, FONT2 13 glyphs x 24 columns, each column a
// 16-bit little-endian word with the pixels in the low byte (bit 7 = top).
bool CompileFont1File(const std::string& inPath, const std::string& outPath, std::string& error);
bool CompileFont2File(const std::string& inPath, const std::string& outPath, std::string& error);
