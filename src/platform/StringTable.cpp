#include "platform/StringTable.h"

#include <sstream>

namespace {

// Reads a quoted text starting at pos (the opening quote); on success pos is
// just past the closing quote.
bool ParseQuoted(const std::string& line, std::size_t& pos, std::string& text, std::string& error) {
    if (pos >= line.size() || line[pos] != '"') {
        error = "expected a text in double quotes";
        return false;
    }
    for (++pos; pos < line.size(); ++pos) {
        const char c = line[pos];
        if (c == '"') {
            ++pos;
            return true;
        }
        if (c != '\\') {
            text += c;
            continue;
        }
        if (++pos >= line.size()) break;
        switch (line[pos]) {
        case 'n':
            text += '\n';
            break;
        case 'r':
            text += '\r';
            break;
        case 't':
            text += '\t';
            break;
        case '"':
            text += '"';
            break;
        case '\\':
            text += '\\';
            break;
        default:
            error = std::string("unknown escape \\") + line[pos];
            return false;
        }
    }
    error = "the text has no closing quote";
    return false;
}

bool IsNameStart(char c) {
    return c >= 'A' && c <= 'Z';
}

bool IsNameChar(char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '_';
}

// Reads the optional name at pos (the first character after the id's blanks);
// on return pos is at the text's opening quote or at what stands in its way.
bool ParseName(const std::string& line, std::size_t& pos, std::string& name, std::string& error) {
    if (pos >= line.size() || !IsNameStart(line[pos])) return true;
    const std::size_t start = pos;
    while (pos < line.size() && IsNameChar(line[pos]))
        ++pos;
    name = line.substr(start, pos - start);
    const std::size_t text = line.find_first_not_of(" \t", pos);
    if (text == pos || text == std::string::npos) {
        error = "expected blanks and a text after the name";
        return false;
    }
    pos = text;
    return true;
}

} // namespace

TStringTable ParseStringTable(const std::string& source, std::vector<std::string>& errors,
                              std::map<int, std::string>* names) {
    TStringTable table;
    std::istringstream lines(source);
    std::string line;
    int lineNo = 0;
    while (std::getline(lines, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line[start] == '#') continue;

        std::size_t pos = start;
        int id = 0;
        while (pos < line.size() && line[pos] >= '0' && line[pos] <= '9' && id < 1000000)
            id = id * 10 + (line[pos++] - '0');
        std::string error;
        std::string name;
        std::string text;
        const std::size_t afterId = pos;
        pos = line.find_first_not_of(" \t", pos);
        if (afterId == start || pos == afterId) {
            error = "expected a numeric id and blanks before the text";
        } else if (ParseName(line, pos, name, error) && ParseQuoted(line, pos, text, error) &&
                   line.find_first_not_of(" \t", pos) != std::string::npos) {
            error = "unexpected characters after the closing quote";
        }
        if (error.empty() && !table.emplace(id, text).second)
            error = "id " + std::to_string(id) + " is repeated";
        if (error.empty() && names && !name.empty()) (*names)[id] = name;
        if (!error.empty()) errors.push_back("line " + std::to_string(lineNo) + ": " + error);
    }
    return table;
}
