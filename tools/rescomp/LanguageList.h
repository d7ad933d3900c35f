#pragma once
#include <string>

// Compiles the text form of the language list ("0x0409 ENG" per line, the
// name optional) into its binary records: 16-bit little-endian LANGID, name,
// zero byte.
bool CompileLanguageListFile(const std::string& inPath, const std::string& outPath, std::string& error);
