#pragma once
// An ini file as the Windows profile functions see it: [sections] of
// key=value lines, names compared without regard to case, blanks around keys
// and values ignored, ';' starting a comment line, nothing quoted or escaped.
// The whole file is held in memory so that writing keeps every line it does
// not change, and is saved by writing a new file beside it and renaming it
// over the old one: a crash or a full disk never leaves half a file.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// A file above this size is not one of ours: it is read as unreadable (the
// defaults), and left as it is.
const std::size_t MAX_INI_FILE_BYTES = 4 * 1024 * 1024;

class TIniDocument {
  public:
    TIniDocument() = default;
    // Reads text with LF, CRLF or CR line ends; every line that is not a
    // key the program writes is kept as it is, with its own line end.
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

    // False for the document of a file that exists but could not be read
    // (too big, not a regular file, another encoding): writing it would
    // destroy what the user has, so it is never saved.
    bool MaySave() const { return FMaySave; }
    static TIniDocument Unreadable();

  private:
    struct TLine {
        std::string Raw; // without its line end
        uint8_t End = 0; // an index into LINE_ENDS
    };
    struct TSection {
        std::string Name; // trimmed, as in the header
        bool IsHead{};    // the lines before the first header: no section
        bool HasHeader{}; // Header holds the line as read; else "[Name]" is written
        bool Erased{};
        TLine Header;
        std::vector<TLine> Lines;
        std::unordered_map<std::string, std::size_t> Keys; // folded key -> its first line
        std::size_t TrailingBlanks{};                      // blank lines at the end of Lines
    };
    const TSection* Find(const std::string& section) const;
    TSection& FindOrAdd(const std::string& section);
    void Index(std::size_t section);

    std::vector<TSection> FSections;
    // Folded section name -> its live sections, in file order.
    std::unordered_map<std::string, std::vector<std::size_t>> FByName;
    std::string FMark; // a UTF-8 byte-order mark the file began with
    uint8_t FEnd = 1;  // the line end of lines the program adds
    bool FMaySave = true;
};

// Reads path; a missing file reads as an empty document, an unreadable one
// as an empty document that is never saved.
TIniDocument LoadIniDocument(const std::string& path);
enum class TIniSave {
    Saved,
    // The text would pass MAX_INI_FILE_BYTES: the next start could not read
    // it, and nothing after it would be saved.
    TooLarge,
    // Not written: the document may not be saved, or a step of the write failed.
    Failed,
};

// Writes path through a temporary file beside it and a rename (see
// ReplaceFile). Anything but Saved leaves the old file untouched.
TIniSave SaveIniDocument(const TIniDocument& document, const std::string& path);
