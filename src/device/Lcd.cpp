#include "device/Lcd.h"

#include "device/Deviceioemulation.h"
#include "device/Font.h"
#include "device/LcdText.h"

#include <cstring>

uint8_t LcdBuffer[LCD_PAGES * LCD_WIDTH];

namespace {

constexpr int16_t LAST_COLUMN = LCD_WIDTH - 1;
constexpr int FONT1_GLYPH_COUNT = FONT1_SIZE / FONT1_GLYPH_BYTES;
constexpr int16_t GLYPH_WIDTH = FONT1_GLYPH_BYTES / 2;
constexpr int16_t BIG_GLYPH_WIDTH = FONT2_GLYPH_BYTES / 4;
constexpr int BIG_GLYPH_LOWER_PAGE = FONT2_GLYPH_BYTES / 2; // offset of the lower page's 12 words

// The callers' contract keeps every write inside the LCD. A write that breaks
// it is dropped here rather than let it land in memory beside the buffer.
void StoreColumn(int16_t page, int16_t column, uint8_t value) {
    if (page < 0 || page >= LCD_PAGES || column < 0 || column > LAST_COLUMN) return;
    LcdBuffer[page * LCD_WIDTH + column] = value;
}

uint8_t Shade(uint8_t bits, uint8_t invert) {
    return invert != 0 ? static_cast<uint8_t>(~bits) : bits;
}

// Column j of a font word array: the low byte of its 16-bit little-endian word.
uint8_t FontColumn(const uint8_t* glyph, int j) {
    return glyph[2 * j];
}

int16_t BigGlyphOf(char ch) {
    if (ch >= '0' && ch <= '9') return static_cast<int16_t>(ch - '0');
    if (ch == ' ') return BIG_GLYPH_BLANK;
    if (ch == '-') return BIG_GLYPH_MINUS;
    return BIG_GLYPH_POINT;
}

// The character a big glyph shows, for the text the LCD remembers.
char BigGlyphText(int16_t glyph) {
    if (glyph < 10) return static_cast<char>('0' + glyph);
    if (glyph == BIG_GLYPH_BLANK) return ' ';
    if (glyph == BIG_GLYPH_MINUS) return '-';
    return '.';
}

} // namespace

void LcdClear() {
    std::memset(LcdBuffer, 0, sizeof LcdBuffer);
    LcdTextForgetAll();
}

void LcdClearArea(int16_t firstPage, int16_t firstColumn, int16_t lastPage, int16_t lastColumn) {
    for (int page = firstPage; page <= lastPage; ++page) {
        LcdTextForget(static_cast<int16_t>(page), firstColumn, lastColumn);
        for (int column = firstColumn; column <= lastColumn; ++column) {
            StoreColumn(static_cast<int16_t>(page), static_cast<int16_t>(column), 0);
        }
    }
}

void LcdPutGlyph(int16_t page, int16_t column, uint8_t invert, int16_t glyph) {
    if (glyph < 0 || glyph >= FONT1_GLYPH_COUNT) return;
    const uint8_t* bits = Font1Data + glyph * FONT1_GLYPH_BYTES;
    // The arrows are marks, not text: they only overdraw what was there.
    if (glyph < GLYPH_ARROW_UP)
        LcdTextRemember(page, column, GLYPH_WIDTH, static_cast<char>(glyph), invert != 0);
    else
        LcdTextForget(page, column, static_cast<int16_t>(column + GLYPH_WIDTH - 1));
    for (int j = 0; j < FONT1_GLYPH_BYTES / 2 && column <= LAST_COLUMN; ++j) {
        StoreColumn(page, column, Shade(FontColumn(bits, j), invert));
        column = static_cast<int16_t>(column + 1);
    }
}

void LcdPutText(int16_t page, int16_t column, uint8_t invert, const char* text) {
    if (text == nullptr) return;
    for (; *text != '\0'; ++text) {
        // Code page 1251: the code itself is the glyph number; the font holds
        // the repeats (lower case, placeholders).
        const uint8_t* bits = Font1Data + static_cast<unsigned char>(*text) * FONT1_GLYPH_BYTES;
        if (column > LAST_COLUMN) return;
        LcdTextRemember(page, column, GLYPH_WIDTH, *text, invert != 0);
        for (int j = 0; j < FONT1_GLYPH_BYTES / 2; ++j) {
            if (column > LAST_COLUMN) return;
            StoreColumn(page, column, Shade(FontColumn(bits, j), invert));
            column = static_cast<int16_t>(column + 1);
        }
    }
}

void LcdPutBigText(int16_t page, int16_t column, uint8_t invert, const char* text) {
    if (text == nullptr) return;
    const auto lowerPage = static_cast<int16_t>(page + 1);
    for (; *text != '\0'; ++text) {
        const int16_t glyph = BigGlyphOf(*text);
        const uint8_t* bits = Font2Data + glyph * FONT2_GLYPH_BYTES;
        if (column > LAST_COLUMN) return;
        // Remembered as the character the glyph shows; its lower half only
        // overdraws the page below.
        LcdTextRemember(page, column, BIG_GLYPH_WIDTH, BigGlyphText(glyph), invert != 0);
        LcdTextForget(lowerPage, column, static_cast<int16_t>(column + BIG_GLYPH_WIDTH - 1));
        for (int j = 0; j < FONT2_GLYPH_BYTES / 4; ++j) {
            if (column > LAST_COLUMN) return;
            StoreColumn(page, column, Shade(FontColumn(bits, j), invert));
            StoreColumn(lowerPage, column, Shade(FontColumn(bits + BIG_GLYPH_LOWER_PAGE, j), invert));
            column = static_cast<int16_t>(column + 1);
        }
    }
}

void LcdSetPixel(int16_t x, int16_t y, int16_t mode) {
    if (x < 0 || x > LAST_COLUMN || y < 0 || y >= LCD_HEIGHT) return; // see StoreColumn
    uint8_t& byte = LcdBuffer[(LCD_PAGES - 1 - y / 8) * LCD_WIDTH + x];
    const auto bit = static_cast<uint8_t>(1u << (y % 8));
    byte = static_cast<uint8_t>(mode == LCD_MODE_XOR ? byte ^ bit : byte | bit);
}

void LcdRefresh() {
    RefreshLcd();
}
