#include "FontCompiler.h"

#include "FontCompilerSource.h"
#include "OutputFile.h"

#include <array>
#include <sstream>

namespace {

// ---- FONT1: 258 glyphs of 6 x 8 pixels ----

constexpr int kFont1Width = 6;
constexpr int kFont1Height = 8;
constexpr int kFont1Glyphs = 258;
constexpr int kArrowUp = 256;
constexpr int kArrowDown = 257;
constexpr int kPlaceholder = 258; // a source slot only: no glyph index of its own
using Font1Slots = std::array<const GlyphArt*, kFont1Glyphs + 1>;

// The codes the source draws itself; every other code borrows a glyph.
bool HasOwnGlyph(int code) {
    return (code >= 0x20 && code <= 0x60) || (code >= 0x7B && code <= 0x7E) || (code >= 0xC0 && code <= 0xDF);
}

// The source slot glyph `glyph` shows: lower-case letters their capitals
// (the LCD has upper case only), codes without a glyph the placeholder.
int Font1SlotOf(int glyph) {
    if (glyph >= 0x61 && glyph <= 0x7A) return glyph - 0x20;
    if (glyph >= 0xE0 && glyph <= 0xFF) return glyph - 0x20;
    if (glyph < 0x100 && !HasOwnGlyph(glyph)) return kPlaceholder;
    return glyph;
}

std::string Font1SlotName(int slot) {
    if (slot == kArrowUp) return "arrow_up";
    if (slot == kArrowDown) return "arrow_down";
    if (slot == kPlaceholder) return "placeholder";
    static const char kHex[] = "0123456789ABCDEF";
    return std::string("0x") + kHex[slot >> 4] + kHex[slot & 0xF];
}

// The UTF-8 spelling of a code page 1251 character the source draws.
std::string Cp1251AsUtf8(int code) {
    if (code < 0x80) return std::string(1, static_cast<char>(code));
    const int unicode = 0x410 + (code - 0xC0); // А..я run contiguously in both
    return {static_cast<char>(0xC0 | (unicode >> 6)), static_cast<char>(0x80 | (unicode & 0x3F))};
}

// "0x41" -> 0x41; exactly two hex digits.
bool ParseCode(const std::string& text, int& code) {
    if (text.size() != 4 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) return false;
    code = 0;
    for (std::size_t i = 2; i < 4; ++i) {
        const char c = text[i];
        int digit = -1;
        if (c >= '0' && c <= '9') digit = c - '0';
        if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        if (digit < 0) return false;
        code = code * 16 + digit;
    }
    return true;
}

// "glyph 0xNN [c]", "glyph placeholder", "glyph arrow_up", "glyph arrow_down".
bool ParseFont1Header(const GlyphArt& glyph, int& slot, std::string& problem) {
    std::istringstream words(glyph.header);
    std::string keyword, name, label, extra;
    words >> keyword >> name >> label >> extra;
    if (keyword != "glyph" || name.empty() || !extra.empty()) {
        problem = "expected 'glyph 0xNN [character]', 'glyph placeholder', 'glyph arrow_up' or "
                  "'glyph arrow_down', got '" +
                  glyph.header + "'";
        return false;
    }
    if (name == "placeholder" || name == "arrow_up" || name == "arrow_down") {
        slot = name == "placeholder" ? kPlaceholder : name == "arrow_up" ? kArrowUp : kArrowDown;
        if (label.empty()) return true;
        problem = "unexpected '" + label + "' after '" + name + "'";
        return false;
    }
    if (!ParseCode(name, slot)) {
        problem = "'" + name + "' is not a code of the form 0xNN";
        return false;
    }
    if (!HasOwnGlyph(slot)) {
        const int shown = Font1SlotOf(slot);
        problem = "code " + name + " has no glyph of its own: it shows " +
                  (shown == kPlaceholder ? "the placeholder" : "glyph " + Font1SlotName(shown));
        return false;
    }
    if (!label.empty() && label != Cp1251AsUtf8(slot)) {
        problem = "code " + name + " is '" + Cp1251AsUtf8(slot) + "', not '" + label + "'";
        return false;
    }
    return true;
}

// The bottom row and the right column are the gaps between characters.
bool CheckFont1Spacing(const GlyphArt& glyph, int& badLine) {
    for (int row = 0; row < kFont1Height; ++row) {
        for (int column = 0; column < kFont1Width; ++column) {
            const bool spacing = row == kFont1Height - 1 || column == kFont1Width - 1;
            if (spacing && glyph.Dark(row, column)) {
                badLine = glyph.line + 1 + row;
                return false;
            }
        }
    }
    return true;
}

bool CollectFont1(const std::string& path, const GlyphArtFile& file, Font1Slots& slots, std::string& error) {
    slots.fill(nullptr);
    for (const GlyphArt& glyph : file.glyphs) {
        int slot = 0;
        std::string problem;
        if (!ParseFont1Header(glyph, slot, problem)) {
            error = SourceError(path, glyph.line, problem);
            return false;
        }
        if (slots[slot] != nullptr) {
            error = SourceError(path, glyph.line,
                                "glyph " + Font1SlotName(slot) + " is already defined at line " +
                                    std::to_string(slots[slot]->line));
            return false;
        }
        int badLine = 0;
        if (!CheckFont1Spacing(glyph, badLine)) {
            error = SourceError(path, badLine,
                                "glyph " + Font1SlotName(slot) +
                                    " draws into the bottom row or right column, which stay clear");
            return false;
        }
        slots[slot] = &glyph;
    }
    for (int slot = 0; slot <= kFont1Glyphs; ++slot) {
        const bool needed = slot >= 0x100 || HasOwnGlyph(slot);
        if (needed && slots[slot] == nullptr) {
            error = SourceError(path, file.lines, "missing glyph " + Font1SlotName(slot));
            return false;
        }
    }
    return true;
}

std::string EncodeFont1(const Font1Slots& slots) {
    std::string bytes;
    for (int glyph = 0; glyph < kFont1Glyphs; ++glyph) {
        const GlyphArt& art = *slots[Font1SlotOf(glyph)];
        for (int column = 0; column < kFont1Width; ++column)
            AppendColumnWord(art, column, 0, bytes);
    }
    return bytes;
}

// ---- FONT2: 13 glyphs of 12 x 16 pixels, two pages of 8 rows ----

constexpr int kFont2Width = 12;
constexpr int kFont2Height = 16;
constexpr int kFont2Glyphs = 13;
constexpr int kFont2Blank = 11;
using Font2Slots = std::array<const GlyphArt*, kFont2Glyphs>;

std::string Font2Name(int slot) {
    if (slot < 10) return "digit " + std::to_string(slot);
    return slot == 10 ? "point" : slot == kFont2Blank ? "blank" : "minus";
}

bool ParseFont2Header(const GlyphArt& glyph, int& slot, std::string& problem) {
    for (slot = 0; slot < kFont2Glyphs; ++slot) {
        if (glyph.header == Font2Name(slot)) return true;
    }
    problem = "expected 'digit 0'..'digit 9', 'point', 'blank' or 'minus', got '" + glyph.header + "'";
    return false;
}

// The top row and the two right columns are the gaps between characters;
// the blank glyph is clear throughout.
bool CheckFont2Spacing(const GlyphArt& glyph, int slot, int& badLine) {
    for (int row = 0; row < kFont2Height; ++row) {
        for (int column = 0; column < kFont2Width; ++column) {
            const bool clear = slot == kFont2Blank || row == 0 || column >= kFont2Width - 2;
            if (clear && glyph.Dark(row, column)) {
                badLine = glyph.line + 1 + row;
                return false;
            }
        }
    }
    return true;
}

bool CollectFont2(const std::string& path, const GlyphArtFile& file, Font2Slots& slots, std::string& error) {
    slots.fill(nullptr);
    for (const GlyphArt& glyph : file.glyphs) {
        int slot = 0;
        std::string problem;
        if (!ParseFont2Header(glyph, slot, problem)) {
            error = SourceError(path, glyph.line, problem);
            return false;
        }
        if (slots[slot] != nullptr) {
            error = SourceError(path, glyph.line,
                                "'" + glyph.header + "' is already defined at line " +
                                    std::to_string(slots[slot]->line));
            return false;
        }
        int badLine = 0;
        if (!CheckFont2Spacing(glyph, slot, badLine)) {
            error = SourceError(path, badLine,
                                slot == kFont2Blank ? std::string("'blank' must be clear")
                                                    : "'" + glyph.header +
                                                          "' draws into the top row or the two right "
                                                          "columns, which stay clear");
            return false;
        }
        slots[slot] = &glyph;
    }
    for (int slot = 0; slot < kFont2Glyphs; ++slot) {
        if (slots[slot] == nullptr) {
            error = SourceError(path, file.lines, "missing glyph '" + Font2Name(slot) + "'");
            return false;
        }
    }
    return true;
}

std::string EncodeFont2(const Font2Slots& slots) {
    std::string bytes;
    for (const GlyphArt* art : slots) {
        for (int page = 0; page < 2; ++page) {
            for (int column = 0; column < kFont2Width; ++column)
                AppendColumnWord(*art, column, 8 * page, bytes);
        }
    }
    return bytes;
}

} // namespace

bool CompileFont1File(const std::string& inPath, const std::string& outPath, std::string& error) {
    GlyphArtFile file;
    Font1Slots slots{};
    if (!ReadGlyphArt(inPath, kFont1Width, kFont1Height, file, error)) return false;
    if (!CollectFont1(inPath, file, slots, error)) return false;
    return WriteOutputFile(outPath, EncodeFont1(slots), error);
}

bool CompileFont2File(const std::string& inPath, const std::string& outPath, std::string& error) {
    GlyphArtFile file;
    Font2Slots slots{};
    if (!ReadGlyphArt(inPath, kFont2Width, kFont2Height, file, error)) return false;
    if (!CollectFont2(inPath, file, slots, error)) return false;
    return WriteOutputFile(outPath, EncodeFont2(slots), error);
}
