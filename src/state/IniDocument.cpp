#include "state/IniDocument.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::optional<long long> ParseInteger(const std::string& text) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    int base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i >= text.size()) return std::nullopt;
    long long value = 0;
    for (; i < text.size(); ++i) {
        const int c = std::tolower(static_cast<unsigned char>(text[i]));
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return std::nullopt;
        value = value * base + digit;
        if (value > 0xFFFFFFFFLL) return std::nullopt; // beyond 32 bits: not a number of ours
    }
    if (base == 10 && value > (negative ? 2147483648LL : 2147483647LL)) return std::nullopt;
    if (base == 16 && value > 0x7FFFFFFF) value -= 0x100000000LL; // $FFFFFFFF is -1, as 32-bit
    return negative ? -value : value;
}

} // namespace

TIniDocument::TIniDocument(const std::string& text) {
    FSections.push_back({"", {}});
    std::istringstream in(text);
    std::string raw;
    bool first = true;
    while (std::getline(in, raw)) {
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        if (first && raw.compare(0, 3, "\xEF\xBB\xBF") == 0) raw.erase(0, 3); // a UTF-8 mark from an editor
        first = false;
        const std::string line = Trim(raw);
        if (line.size() >= 2 && line.front() == '[' && line.find(']') != std::string::npos) {
            FSections.push_back({Trim(line.substr(1, line.find(']') - 1)), {}});
            continue;
        }
        TLine entry{raw, {}, {}};
        const auto eq = line.find('=');
        if (!line.empty() && line[0] != ';' && eq != std::string::npos && eq > 0) {
            entry.Key = Trim(line.substr(0, eq));
            entry.Value = Trim(line.substr(eq + 1));
        }
        FSections.back().Lines.push_back(entry);
    }
}

const TIniDocument::TSection* TIniDocument::Find(const std::string& section) const {
    for (const TSection& s : FSections)
        if (!s.Name.empty() && SameName(s.Name, section)) return &s;
    return nullptr;
}

TIniDocument::TSection& TIniDocument::FindOrAdd(const std::string& section) {
    for (TSection& s : FSections)
        if (!s.Name.empty() && SameName(s.Name, section)) return s;
    FSections.push_back({section, {}});
    return FSections.back();
}

std::optional<std::string> TIniDocument::ReadString(const std::string& section,
                                                    const std::string& key) const {
    if (const TSection* s = Find(section))
        for (const TLine& line : s->Lines)
            if (!line.Key.empty() && SameName(line.Key, key)) return line.Value;
    return std::nullopt;
}

long long TIniDocument::ReadInteger(const std::string& section, const std::string& key,
                                    long long fallback) const {
    const auto text = ReadString(section, key);
    if (!text) return fallback;
    return ParseInteger(*text).value_or(fallback);
}

bool TIniDocument::ReadBool(const std::string& section, const std::string& key, bool fallback) const {
    return ReadInteger(section, key, fallback ? 1 : 0) != 0;
}

std::vector<std::string> TIniDocument::ReadSectionValues(const std::string& section) const {
    std::vector<std::string> values;
    if (const TSection* s = Find(section))
        for (const TLine& line : s->Lines)
            if (!line.Key.empty()) values.push_back(line.Key + "=" + line.Value);
    return values;
}

void TIniDocument::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    TSection& s = FindOrAdd(section);
    const std::string raw = key + "=" + value;
    for (TLine& line : s.Lines) {
        if (!line.Key.empty() && SameName(line.Key, key)) {
            line = {raw, key, value};
            return;
        }
    }
    // After the section's last key, before trailing blank lines.
    auto at = s.Lines.end();
    while (at != s.Lines.begin() && Trim(std::prev(at)->Raw).empty())
        --at;
    s.Lines.insert(at, {raw, key, value});
}

void TIniDocument::WriteInteger(const std::string& section, const std::string& key, long long value) {
    WriteString(section, key, std::to_string(value));
}

void TIniDocument::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void TIniDocument::EraseSection(const std::string& section) {
    FSections.erase(
        std::remove_if(FSections.begin(), FSections.end(),
                       [&](const TSection& s) { return !s.Name.empty() && SameName(s.Name, section); }),
        FSections.end());
}

std::string TIniDocument::Text() const {
    std::string text;
    for (const TSection& s : FSections) {
        if (!s.Name.empty()) {
            if (!text.empty() && (text.size() < 2 || text.compare(text.size() - 2, 2, "\n\n") != 0))
                text += "\n";
            text += "[" + s.Name + "]\n";
        }
        for (const TLine& line : s.Lines)
            text += line.Raw + "\n";
    }
    return text;
}

TIniDocument LoadIniDocument(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return TIniDocument(std::string());
    std::ostringstream text;
    text << in.rdbuf();
    return TIniDocument(text.str());
}

bool SaveIniDocument(const TIniDocument& document, const std::string& path) {
    const std::string temporary = path + ".new";
    const std::string text = document.Text();
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    const bool flushed = std::fflush(file) == 0 && fsync(fileno(file)) == 0;
    const bool closed = std::fclose(file) == 0;
    if (!written || !flushed || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}
