#pragma once
// The text form of a string table: one entry per line, a decimal id, blanks,
// an optional name (capitals, digits and '_', starting with a capital) and
// blanks, and the text in double quotes with C escapes (\n \r \t \" \\), so
// blanks at either end stay visible. Lines that are empty or start with '#'
// are comments. The names of the English table become the program's named
// ids (resources/StringIds.h, generated at build time); lookups ignore them.
#include <map>
#include <string>
#include <vector>

using TStringTable = std::map<int, std::string>;

// Parses source into table; each malformed line adds "line N: what" to errors
// and is skipped. A repeated id is an error; the first text stays. When names
// is given it receives the name of every entry that has one, by id.
TStringTable ParseStringTable(const std::string& source, std::vector<std::string>& errors,
                              std::map<int, std::string>* names = nullptr);
