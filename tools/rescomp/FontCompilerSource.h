#pragma once
#include <string>
#include <vector>

// One glyph of a text-art font source: the header line that names it and its
// rows of pixels, top row first, each exactly as wide as the font's cell.
struct GlyphArt {
    std::string header;
    int line = 0; // line of the header, for messages
    std::vector<std::string> rows;

    bool Dark(int row, int column) const { return rows[row][column] == '#'; }
};

// A whole source: its glyphs in file order and its length in lines, the line
// that messages about something missing point at.
struct GlyphArtFile {
    std::vector<GlyphArt> glyphs;
    int lines = 0;
};

// Reads a text-art font source: ';' comment lines and empty lines between
// glyphs, each glyph a header line followed by exactly `height` rows of
// `width` characters, '#' (dark) or '.' (clear). Only the layout is checked
// here; what a header may say is up to the caller. On failure `error` reads
// "file:line: what is wrong".
bool ReadGlyphArt(const std::string& path, int width, int height, GlyphArtFile& file, std::string& error);

// "file:line: message", the form of every font source error.
std::string SourceError(const std::string& path, int line, const std::string& message);

// Appends one column of pixels as the 16-bit little-endian word the fonts
// store: the pixels in the low byte, `firstRow` in bit 7, the high byte zero.
void AppendColumnWord(const GlyphArt& glyph, int column, int firstRow, std::string& bytes);
