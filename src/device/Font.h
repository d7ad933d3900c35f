#pragma once
// The two LCD fonts, loaded from the FONT1 and FONT2 resources by the device
// thread at every power-on and language change. All zero until the first
// successful load, which draws blank glyphs.
#include <cstdint>

inline constexpr int FONT1_SIZE = 3096; // 258 glyphs x 6 columns x 16-bit words
inline constexpr int FONT2_SIZE = 624;  // 13 glyphs x 24 columns x 16-bit words
inline constexpr int FONT1_GLYPH_BYTES = 12;
inline constexpr int FONT2_GLYPH_BYTES = 48;
inline constexpr int16_t GLYPH_ARROW_UP = 256;
inline constexpr int16_t GLYPH_ARROW_DOWN = 257;
inline constexpr int16_t BIG_GLYPH_POINT = 10;
inline constexpr int16_t BIG_GLYPH_BLANK = 11;
inline constexpr int16_t BIG_GLYPH_MINUS = 12;

extern uint8_t Font1Data[FONT1_SIZE];
extern uint8_t Font2Data[FONT2_SIZE];
