#pragma once
#include <string>

// Writes the header of named string ids from a string table source: one
// `inline constexpr int NAME = id;` per entry, in id order. Every entry must
// carry a name (the column between the id and the text), starting with
// TEXT_ (a text on the LCD or in a window), HINT_ (a key hint balloon text)
// or TIP_ (the text of an explained LCD area), and no name may repeat.
bool CompileStringIdsFile(const std::string& inPath, const std::string& outPath, std::string& error);

// The header's text for a table source; false with `error` set as above.
bool StringIdsHeader(const std::string& source, const std::string& sourceName, std::string& header,
                     std::string& error);
