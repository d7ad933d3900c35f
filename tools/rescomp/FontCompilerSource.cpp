#include "FontCompilerSource.h"

#include <fstream>

namespace {

bool IsSkippable(const std::string& line) {
    return line.empty() || line[0] == ';';
}

bool CheckRow(const std::string& row, int width, std::string& problem) {
    if (static_cast<int>(row.size()) != width) {
        problem =
            "row is " + std::to_string(row.size()) + " characters wide, expected " + std::to_string(width);
        return false;
    }
    for (char c : row) {
        if (c != '#' && c != '.') {
            problem = std::string("unexpected character '") + c + "' in a row (only '#' and '.')";
            return false;
        }
    }
    return true;
}

} // namespace

std::string SourceError(const std::string& path, int line, const std::string& message) {
    return path + ":" + std::to_string(line) + ": " + message;
}

bool ReadGlyphArt(const std::string& path, int width, int height, GlyphArtFile& file, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::string line;
    int lineNo = 0;
    bool collecting = false; // the last glyph still needs rows
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!collecting) {
            if (IsSkippable(line)) continue;
            file.glyphs.push_back(GlyphArt{line, lineNo, {}});
            collecting = true;
            continue;
        }
        GlyphArt& glyph = file.glyphs.back();
        std::string problem;
        if (!CheckRow(line, width, problem)) {
            error = SourceError(path, lineNo, "'" + glyph.header + "': " + problem);
            return false;
        }
        glyph.rows.push_back(line);
        collecting = static_cast<int>(glyph.rows.size()) < height;
    }
    file.lines = lineNo;
    if (collecting) {
        const GlyphArt& glyph = file.glyphs.back();
        error = SourceError(path, lineNo,
                            "'" + glyph.header + "' ends after " + std::to_string(glyph.rows.size()) +
                                " rows, expected " + std::to_string(height));
        return false;
    }
    return true;
}

void AppendColumnWord(const GlyphArt& glyph, int column, int firstRow, std::string& bytes) {
    unsigned pixels = 0;
    for (int bit = 0; bit < 8; ++bit) {
        if (glyph.Dark(firstRow + bit, column)) pixels |= 0x80u >> bit;
    }
    bytes += static_cast<char>(pixels);
    bytes += '\0';
}
