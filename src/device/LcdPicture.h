#pragma once
// The LCD as the window shows it: LcdBuffer at double size, dark pixels black
// on the lit or unlit background, the LCD's top-left pixel at (7, 2) and a
// frame of background around it. Owned by the device, painted in the GUI thread.
#include <array>
#include <cstdint>
#include <vector>

inline constexpr int LCD_PICTURE_WIDTH = 254;
inline constexpr int LCD_PICTURE_HEIGHT = 68;
inline constexpr uint32_t LCD_COLOR_LIT = 0xFF04FF04;   // RGB (4, 255, 4)
inline constexpr uint32_t LCD_COLOR_UNLIT = 0xFF009F00; // RGB (0, 159, 0)
inline constexpr uint32_t LCD_COLOR_PIXEL = 0xFF000000;

struct TLcdPicture {
    // 0xAARRGGBB, row-major, row 0 at the top.
    std::array<uint32_t, LCD_PICTURE_WIDTH * LCD_PICTURE_HEIGHT> Pixels{};

    uint32_t At(int x, int y) const { return Pixels[static_cast<std::size_t>(y * LCD_PICTURE_WIDTH + x)]; }
};

// Paints LcdBuffer into picture with the lit or unlit background: the LCD's
// top-left pixel at the origin, each LCD pixel a square of LCD_PICTURE_SCALE
// picture pixels.
inline constexpr int LCD_PICTURE_ORIGIN_X = 7;
inline constexpr int LCD_PICTURE_ORIGIN_Y = 2;
inline constexpr int LCD_PICTURE_SCALE = 2;
void PaintLcdPicture(TLcdPicture& picture, bool lit);

// The picture enlarged scale times in each direction, each pixel a square
// block (no smoothing: the LCD's pixels stay sharp). Rows as in Pixels.
inline constexpr int LCD_PICTURE_MAX_SCALE = 16;
std::vector<uint32_t> ScaledLcdPicture(const TLcdPicture& picture, int scale);

// The picture for a window shown at pixelSize / LCD_PICTURE_SCALE of its
// designed size: the same frame around the LCD, each LCD pixel a square of
// pixelSize screen pixels, so that it stays sharp at 1.5x too, where the
// picture itself cannot be enlarged evenly. Its size is the picture's times
// that ratio, rounded; pixelSize 2 gives the picture as it is, 4 the same as
// ScaledLcdPicture(picture, 2).
struct TLcdPictureAtSize {
    int Width = 0;
    int Height = 0;
    int OriginX = 0; // the LCD's top-left pixel
    int OriginY = 0;
    std::vector<uint32_t> Pixels; // rows as in TLcdPicture
};
TLcdPictureAtSize LcdPictureAtPixelSize(const TLcdPicture& picture, int pixelSize);
