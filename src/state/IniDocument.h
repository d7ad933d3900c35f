#pragma once
// An ini file as the Windows profile functions see it: [sections] of
// key=value lines, names compared without regard to case, blanks around keys
// and values ignored, ';' starting a comment line, nothing quoted or escaped.
// The whole file is held in memory so that writing keeps every line it does
// not change, and is saved by writing a new file beside it and renaming it
// over the old one: a crash or a full disk never leaves half a file.
#include <optional>
#include <string>
#include <utility>
#include <vector>

class TIniDocument {
  public:
    TIniDocument() = default;
    // Reads text; lines that are neither a section, a key nor a comment are kept as they are.
    explicit TIniDocument(const std::string& text);

    // The raw value of key in section; empty optional when there is none.
    std::optional<std::string> ReadString(const std::string& section, const std::string& key) const;
    // A whole-string decimal (or $/0x hexadecimal) 32-bit number, else fallback.
    long long ReadInteger(const std::string& section, const std::string& key, long long fallback) const;
    bool ReadBool(const std::string& section, const std::string& key, bool fallback) const;
    // Every key=value line of the section, as "key=value", in file order.
    std::vector<std::string> ReadSectionValues(const std::string& section) const;

    // Replaces the key's value in place, or appends the key (and the section).
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, long long value);
    void WriteBool(const std::string& section, const std::string& key, bool value);
    void EraseSection(const std::string& section);

    std::string Text() const;

  private:
    struct TLine {
        std::string Raw; // as read, or as written
        std::string Key; // trimmed; empty for comments and other lines
        std::string Value;
    };
    struct TSection {
        std::string Name; // empty for the lines before the first section
        std::vector<TLine> Lines;
    };
    const TSection* Find(const std::string& section) const;
    TSection& FindOrAdd(const std::string& section);

    std::vector<TSection> FSections;
};

// Reads path; a missing or unreadable file reads as an empty document.
TIniDocument LoadIniDocument(const std::string& path);
// Writes path through a temporary file in the same folder and a rename.
// False (and the old file untouched) when any step fails.
bool SaveIniDocument(const TIniDocument& document, const std::string& path);
