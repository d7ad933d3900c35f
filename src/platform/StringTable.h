#pragma once
// The text form of a string table: one entry per line, a decimal id, blanks,
// and the text in double quotes with C escapes (\n \r \t \" \\), so blanks at
// either end stay visible. Lines that are empty or start with '#' are comments.
#include <map>
#include <string>
#include <vector>

using TStringTable = std::map<int, std::string>;

// Parses source into table; each malformed line adds "line N: what" to errors
// and is skipped. A repeated id is an error; the first text stays.
TStringTable ParseStringTable(const std::string& source, std::vector<std::string>& errors);
