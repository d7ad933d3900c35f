#pragma once
// Shared fixture of the LCD tests: a clean frame buffer and synthetic fonts
// whose glyphs are all distinct, so a test can tell which glyph and which
// column landed where without depending on the real font resources.
#include "device/Font.h"
#include "device/Lcd.h"
#include "device/ScreenArt.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace lcdtest {

// Column j (0..5) of synthetic FONT1 glyph g (0..257). The space is blank, as
// in any real font, so inverted blanks can be checked.
inline uint8_t Glyph1Column(int g, int j) {
    if (g == ' ') return 0;
    return j < 5 ? static_cast<uint8_t>(g + 1 + 59 * j) : static_cast<uint8_t>(0xC0 | (g >> 8));
}

// Word w (0..23: upper page 0..11, lower page 12..23) of synthetic FONT2 glyph g.
inline uint8_t Glyph2Column(int g, int w) {
    return static_cast<uint8_t>(0x11 * (g + 1) + 3 * w);
}

// The high bytes of the font words are not part of the glyph; they are filled
// with junk here so that reading them shows up.
inline constexpr uint8_t FONT_HIGH_BYTE_JUNK = 0xA5;

inline uint8_t Byte(int page, int column) {
    return LcdBuffer[page * LCD_WIDTH + column];
}

inline bool PixelAt(int x, int y) {
    return (Byte(3 - y / 8, x) >> (y % 8) & 1) != 0;
}

inline int CountPixels() {
    int count = 0;
    for (int x = 0; x < LCD_WIDTH; ++x) {
        for (int y = 0; y < LCD_HEIGHT; ++y)
            count += PixelAt(x, y) ? 1 : 0;
    }
    return count;
}

class LcdTest : public ::testing::Test {
  protected:
    void SetUp() override {
        LcdClear();
        for (int g = 0; g < FONT1_SIZE / FONT1_GLYPH_BYTES; ++g) {
            for (int j = 0; j < 6; ++j) {
                Font1Data[g * FONT1_GLYPH_BYTES + 2 * j] = Glyph1Column(g, j);
                Font1Data[g * FONT1_GLYPH_BYTES + 2 * j + 1] = FONT_HIGH_BYTE_JUNK;
            }
        }
        for (int g = 0; g < FONT2_SIZE / FONT2_GLYPH_BYTES; ++g) {
            for (int w = 0; w < 24; ++w) {
                Font2Data[g * FONT2_GLYPH_BYTES + 2 * w] = Glyph2Column(g, w);
                Font2Data[g * FONT2_GLYPH_BYTES + 2 * w + 1] = FONT_HIGH_BYTE_JUNK;
            }
        }
    }

    void TearDown() override {
        std::memset(Font1Data, 0, sizeof Font1Data);
        std::memset(Font2Data, 0, sizeof Font2Data);
        LcdClear();
    }

    // Fills the whole buffer with a pattern no primitive writes by itself, so
    // that bytes a call must leave alone can be checked.
    static void FillBackground(uint8_t value) { std::memset(LcdBuffer, value, sizeof LcdBuffer); }
};

} // namespace lcdtest
