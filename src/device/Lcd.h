#pragma once
// The emulated LCD: 122 x 32 monochrome pixels in the controller's own layout,
// 4 pages of 122 column bytes, page 0 at the top, bit 7 the topmost pixel of a
// byte. Text and area operations address (page, column); pixel and line
// operations use x = 0..121 from the left and y = 0..31 from the BOTTOM row up.
// Written only by the worker thread; the GUI thread reads it only while the
// worker waits inside LcdRefresh.
#include <cstdint>

inline constexpr int16_t LCD_WIDTH = 122;
inline constexpr int16_t LCD_HEIGHT = 32;
inline constexpr int16_t LCD_PAGES = 4;
inline constexpr int16_t LCD_MODE_SET = 0;
inline constexpr int16_t LCD_MODE_XOR = 1;

extern uint8_t LcdBuffer[LCD_PAGES * LCD_WIDTH];

// Clip rectangle in pixel coordinates (y bottom-up), all edges inclusive.
struct TLcdRect {
    int16_t xmin;
    int16_t ymin;
    int16_t xmax;
    int16_t ymax;
};

void LcdClear();
void LcdClearArea(int16_t firstPage, int16_t firstColumn, int16_t lastPage, int16_t lastColumn);
void LcdPutGlyph(int16_t page, int16_t column, uint8_t invert, int16_t glyph);
// Texts are code page 1251 bytes ending at the first zero; null draws nothing.
void LcdPutText(int16_t page, int16_t column, uint8_t invert, const char* text);
void LcdPutBigText(int16_t page, int16_t column, uint8_t invert, const char* text);
void LcdSetPixel(int16_t x, int16_t y, int16_t mode);
void LcdLine(int16_t x0, int16_t y0, int16_t x1, int16_t y1, int16_t mode);
void LcdClippedLine(int16_t x0, int16_t y0, int16_t x1, int16_t y1, int16_t mode, const TLcdRect& clip);
// Shows the finished frame; the worker waits until the picture is painted.
void LcdRefresh();
