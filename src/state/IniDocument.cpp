#include "state/IniDocument.h"

#include "platform/SafeFile.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
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

// A line's end: none (the file's last line), LF, CRLF or CR.
const char* const LINE_ENDS[] = {"", "\n", "\r\n", "\r"};

std::string Fold(const std::string& name) {
    std::string folded = name;
    for (char& c : folded)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return folded;
}

bool IsBlank(const std::string& raw) {
    return raw.find_first_not_of(" \t") == std::string::npos;
}

// The trimmed key of a key=value line; empty for comments and other lines.
std::string KeyOf(const std::string& raw) {
    const std::string line = Trim(raw);
    const auto eq = line.find('=');
    if (line.empty() || line[0] == ';' || eq == std::string::npos || eq == 0) return {};
    return Trim(line.substr(0, eq));
}

std::string ValueOf(const std::string& raw) {
    return Trim(raw.substr(raw.find('=') + 1));
}

// The section name of a header line, or nothing when the line is no header.
std::optional<std::string> HeaderName(const std::string& raw) {
    const std::string line = Trim(raw);
    const auto close = line.find(']');
    if (line.size() < 2 || line.front() != '[' || close == std::string::npos) return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

} // namespace

TIniDocument::TIniDocument(const std::string& text) {
    FSections.push_back({});
    FSections.back().IsHead = true;
    std::size_t at = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) { // a UTF-8 mark from an editor, written back
        FMark = text.substr(0, 3);
        at = 3;
    }
    bool firstEnd = true;
    while (at < text.size()) {
        const auto stop = text.find_first_of("\r\n", at);
        TLine line;
        if (stop == std::string::npos) {
            line.Raw = text.substr(at);
            at = text.size();
        } else {
            line.Raw = text.substr(at, stop - at);
            const bool crlf = text.compare(stop, 2, "\r\n") == 0;
            const std::size_t endLength = crlf ? 2 : 1;
            line.End = crlf ? 2 : text[stop] == '\n' ? 1 : 3;
            at = stop + endLength;
            if (firstEnd) FEnd = line.End;
            firstEnd = false;
        }
        if (const auto name = HeaderName(line.Raw)) {
            Index(FSections.size() - 1);
            TSection section;
            section.Name = *name;
            section.HasHeader = true;
            section.Header = std::move(line);
            FSections.push_back(std::move(section));
            continue;
        }
        FSections.back().Lines.push_back(std::move(line));
    }
    Index(FSections.size() - 1);
}

TIniDocument TIniDocument::Unreadable() {
    TIniDocument document;
    document.FMaySave = false;
    return document;
}

// Indexes a section that has all its lines.
void TIniDocument::Index(std::size_t index) {
    TSection& s = FSections[index];
    for (std::size_t i = 0; i < s.Lines.size(); ++i)
        if (const std::string key = KeyOf(s.Lines[i].Raw); !key.empty()) s.Keys.emplace(Fold(key), i);
    s.TrailingBlanks = 0;
    while (s.TrailingBlanks < s.Lines.size() && IsBlank(s.Lines[s.Lines.size() - 1 - s.TrailingBlanks].Raw))
        ++s.TrailingBlanks;
    if (!s.IsHead) FByName[Fold(s.Name)].push_back(index);
}

const TIniDocument::TSection* TIniDocument::Find(const std::string& section) const {
    const auto found = FByName.find(Fold(section));
    return found == FByName.end() || found->second.empty() ? nullptr : &FSections[found->second.front()];
}

TIniDocument::TSection& TIniDocument::FindOrAdd(const std::string& section) {
    if (const auto found = FByName.find(Fold(section)); found != FByName.end() && !found->second.empty())
        return FSections[found->second.front()];
    TSection added;
    added.Name = section;
    FSections.push_back(std::move(added));
    FByName[Fold(section)].push_back(FSections.size() - 1);
    return FSections.back();
}

std::optional<std::string> TIniDocument::ReadString(const std::string& section,
                                                    const std::string& key) const {
    const TSection* s = Find(section);
    if (s == nullptr) return std::nullopt;
    const auto line = s->Keys.find(Fold(key));
    if (line == s->Keys.end()) return std::nullopt;
    return ValueOf(s->Lines[line->second].Raw);
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
            if (const std::string key = KeyOf(line.Raw); !key.empty())
                values.push_back(key + "=" + ValueOf(line.Raw));
    return values;
}

void TIniDocument::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    TSection& s = FindOrAdd(section);
    const std::string raw = key + "=" + value;
    const std::string folded = Fold(key);
    if (const auto line = s.Keys.find(folded); line != s.Keys.end()) {
        s.Lines[line->second].Raw = raw;
        return;
    }
    // After the section's last key, before its trailing blank lines, which
    // are the only lines that move: keys keep their places.
    const std::size_t at = s.Lines.size() - s.TrailingBlanks;
    s.Lines.insert(s.Lines.begin() + static_cast<std::ptrdiff_t>(at), TLine{raw, FEnd});
    s.Keys.emplace(folded, at);
}

void TIniDocument::WriteInteger(const std::string& section, const std::string& key, long long value) {
    WriteString(section, key, std::to_string(value));
}

void TIniDocument::WriteBool(const std::string& section, const std::string& key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void TIniDocument::EraseSection(const std::string& section) {
    const auto found = FByName.find(Fold(section));
    if (found == FByName.end()) return;
    for (const std::size_t index : found->second) {
        FSections[index].Erased = true;
        FSections[index].Lines = {};
        FSections[index].Keys = {};
    }
    FByName.erase(found);
}

std::string TIniDocument::Text() const {
    std::string text = FMark;
    bool lastBlank = true; // no blank line before a first section
    const auto put = [&](const std::string& raw, uint8_t end) {
        // A last line without its end gets one when more follows.
        if (!text.empty() && text.back() != '\n' && text.back() != '\r' && text.size() > FMark.size())
            text += LINE_ENDS[FEnd];
        text += raw;
        text += LINE_ENDS[end];
        lastBlank = IsBlank(raw);
    };
    for (const TSection& s : FSections) {
        if (s.Erased) continue;
        if (s.HasHeader) {
            put(s.Header.Raw, s.Header.End);
        } else if (!s.IsHead) {
            if (!lastBlank) put("", FEnd); // a section the program adds stands apart
            put("[" + s.Name + "]", FEnd);
        }
        for (const TLine& line : s.Lines)
            put(line.Raw, line.End);
    }
    return text;
}

TIniDocument LoadIniDocument(const std::string& path) {
    std::string text;
    switch (ReadRegularFile(path, MAX_INI_FILE_BYTES, text)) {
    case TFileRead::Missing:
        return TIniDocument();
    case TFileRead::Refused:
        return TIniDocument::Unreadable();
    case TFileRead::Read:
        break;
    }
    // UTF-16 or UTF-32 (a mark of FF FE or FE FF): not ours to read or rewrite.
    if (text.compare(0, 2, "\xFF\xFE") == 0 || text.compare(0, 2, "\xFE\xFF") == 0)
        return TIniDocument::Unreadable();
    return TIniDocument(text);
}

TIniSave SaveIniDocument(const TIniDocument& document, const std::string& path) {
    if (!document.MaySave()) return TIniSave::Failed;
    const std::string text = document.Text();
    if (text.size() > MAX_INI_FILE_BYTES) return TIniSave::TooLarge;
    std::string error;
    return ReplaceFile(path, text, error) ? TIniSave::Saved : TIniSave::Failed;
}
