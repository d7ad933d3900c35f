#include "device/LcdPicture.h"

#include "device/Lcd.h"

#include <algorithm>

namespace {

void PaintBlock(TLcdPicture& picture, int left, int top) {
    for (int j = 0; j < LCD_PICTURE_SCALE; ++j) {
        uint32_t* row = picture.Pixels.data() + (top + j) * LCD_PICTURE_WIDTH + left;
        std::fill(row, row + LCD_PICTURE_SCALE, LCD_COLOR_PIXEL);
    }
}

} // namespace

void PaintLcdPicture(TLcdPicture& picture, bool lit) {
    picture.Pixels.fill(lit ? LCD_COLOR_LIT : LCD_COLOR_UNLIT);
    for (int page = 0; page < LCD_PAGES; ++page) {
        for (int column = 0; column < LCD_WIDTH; ++column) {
            const uint8_t bits = LcdBuffer[page * LCD_WIDTH + column];
            if (bits == 0) continue;
            for (int k = 0; k < 8; ++k) {
                if ((bits & (0x80u >> k)) == 0) continue; // bit 7 is the top row of the page
                PaintBlock(picture, LCD_PICTURE_ORIGIN_X + LCD_PICTURE_SCALE * column,
                           LCD_PICTURE_ORIGIN_Y + LCD_PICTURE_SCALE * (8 * page + k));
            }
        }
    }
}

std::vector<uint32_t> ScaledLcdPicture(const TLcdPicture& picture, int scale) {
    scale = std::clamp(scale, 1, LCD_PICTURE_MAX_SCALE);
    const auto width = static_cast<std::size_t>(LCD_PICTURE_WIDTH * scale);
    std::vector<uint32_t> pixels(width * static_cast<std::size_t>(LCD_PICTURE_HEIGHT * scale));
    for (int y = 0; y < LCD_PICTURE_HEIGHT * scale; ++y)
        for (int x = 0; x < LCD_PICTURE_WIDTH * scale; ++x)
            pixels[static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x)] =
                picture.At(x / scale, y / scale);
    return pixels;
}

TLcdPictureAtSize LcdPictureAtPixelSize(const TLcdPicture& picture, int pixelSize) {
    const int p = std::clamp(pixelSize, 1, LCD_PICTURE_MAX_SCALE * LCD_PICTURE_SCALE);
    const auto scaled = [p](int length) { return (length * p + LCD_PICTURE_SCALE / 2) / LCD_PICTURE_SCALE; };
    TLcdPictureAtSize out;
    out.Width = scaled(LCD_PICTURE_WIDTH);
    out.Height = scaled(LCD_PICTURE_HEIGHT);
    out.OriginX = LCD_PICTURE_ORIGIN_X * p / LCD_PICTURE_SCALE;
    out.OriginY = LCD_PICTURE_ORIGIN_Y * p / LCD_PICTURE_SCALE;
    // The frame is the background: the colour of the picture's corner.
    out.Pixels.assign(static_cast<std::size_t>(out.Width) * static_cast<std::size_t>(out.Height),
                      picture.At(0, 0));
    for (int y = 0; y < LCD_HEIGHT * p; ++y) {
        uint32_t* row = out.Pixels.data() +
                        static_cast<std::size_t>(out.OriginY + y) * static_cast<std::size_t>(out.Width) +
                        out.OriginX;
        const int pictureY = LCD_PICTURE_ORIGIN_Y + LCD_PICTURE_SCALE * (y / p);
        for (int x = 0; x < LCD_WIDTH * p; ++x)
            row[x] = picture.At(LCD_PICTURE_ORIGIN_X + LCD_PICTURE_SCALE * (x / p), pictureY);
    }
    return out;
}
