#pragma once
// Text split at its line ends, for tests that compare output line by line.
#include <sstream>
#include <string>
#include <vector>

inline std::vector<std::string> TextLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}
