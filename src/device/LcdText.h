#pragma once
// The text the text primitives put on the LCD, kept beside LcdBuffer so that a
// front end can offer what the screen says to a screen reader. A character is
// remembered at the column where it starts, with its width; it is forgotten as
// soon as any of its columns is cleared or written over by other text or a
// glyph. Pixels and lines drawn over text leave it (a cursor over a label
// still shows the label). Same ownership as LcdBuffer: written by the worker
// through the primitives, read by the GUI thread only while the worker waits
// inside LcdRefresh.
#include <cstdint>
#include <string>
#include <vector>

// One stretch of text on a page, left to right: code page 1251 bytes, and
// whether it is drawn light on dark (the firmware's mark of a selection).
// Characters with a gap of blank columns between them are separated by a
// blank; runs of blanks are kept as drawn (the caller may fold them).
struct TLcdTextRun {
    std::string Text;
    bool Inverted = false;
};

std::vector<TLcdTextRun> LcdTextLine(int16_t page);

// What the screen says, for a screen reader: one UTF-8 line per page that
// holds text, top down, joined by line feeds; blanks folded to one and
// trimmed; an inverted run written through selectedFormat (its "%s" replaced
// by the run's text), so that the selection is heard.
std::string LcdScreenText(const std::string& selectedFormat);

// Kept up to date by the primitives of Lcd.cpp; nothing else calls them.
void LcdTextForget(int16_t page, int16_t firstColumn, int16_t lastColumn);
void LcdTextForgetAll();
void LcdTextRemember(int16_t page, int16_t column, int16_t width, char ch, bool inverted);
