// The LCD picture: double size, black pixels on the lit or unlit background.
#include "device/LcdPicture.h"

#include "LcdTestSupport.h"

#include <algorithm>
#include <memory>

namespace lcdtest {
namespace {

class LcdPictureTest : public LcdTest {
  protected:
    // The picture is 69 KB: too large for the stack under the sanitizers' frames.
    std::unique_ptr<TLcdPicture> picture = std::make_unique<TLcdPicture>();

    long CountColour(uint32_t colour) const {
        return std::count(picture->Pixels.begin(), picture->Pixels.end(), colour);
    }
};

TEST_F(LcdPictureTest, BlankLcdIsAllBackgroundInTheChosenColour) {
    PaintLcdPicture(*picture, true);
    EXPECT_EQ(CountColour(LCD_COLOR_LIT), LCD_PICTURE_WIDTH * LCD_PICTURE_HEIGHT);
    PaintLcdPicture(*picture, false);
    EXPECT_EQ(CountColour(LCD_COLOR_UNLIT), LCD_PICTURE_WIDTH * LCD_PICTURE_HEIGHT);
}

TEST_F(LcdPictureTest, RepaintReplacesThePreviousFrame) {
    FillBackground(0xFF);
    PaintLcdPicture(*picture, true);
    LcdClear();
    PaintLcdPicture(*picture, false);
    EXPECT_EQ(CountColour(LCD_COLOR_UNLIT), LCD_PICTURE_WIDTH * LCD_PICTURE_HEIGHT);
}

struct TPictureCase {
    int16_t x; // LCD pixel, y bottom-up
    int16_t y;
    int left; // its 2 x 2 block in the picture, y top-down
    int top;
};

class LcdPicturePixelTest : public LcdPictureTest, public ::testing::WithParamInterface<TPictureCase> {};

TEST_P(LcdPicturePixelTest, LcdPixelBecomesOneBlackTwoByTwoBlock) {
    const TPictureCase& c = GetParam();
    LcdSetPixel(c.x, c.y, LCD_MODE_SET);
    PaintLcdPicture(*picture, true);
    for (int y = 0; y < LCD_PICTURE_HEIGHT; ++y) {
        for (int x = 0; x < LCD_PICTURE_WIDTH; ++x) {
            const bool inBlock = x >= c.left && x <= c.left + 1 && y >= c.top && y <= c.top + 1;
            ASSERT_EQ(picture->At(x, y), inBlock ? LCD_COLOR_PIXEL : LCD_COLOR_LIT)
                << "at (" << x << "," << y << ")";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Corners, LcdPicturePixelTest,
                         ::testing::Values(TPictureCase{0, 31, 7, 2}, TPictureCase{121, 31, 249, 2},
                                           TPictureCase{0, 0, 7, 64}, TPictureCase{121, 0, 249, 64},
                                           TPictureCase{10, 23, 27, 18}, TPictureCase{10, 24, 27, 16}));

TEST_F(LcdPictureTest, FullLcdLeavesOnlyTheFrameInBackground) {
    FillBackground(0xFF);
    PaintLcdPicture(*picture, false);
    for (int y = 0; y < LCD_PICTURE_HEIGHT; ++y) {
        for (int x = 0; x < LCD_PICTURE_WIDTH; ++x) {
            const bool onLcd = x >= 7 && x < 7 + 2 * LCD_WIDTH && y >= 2 && y < 2 + 2 * LCD_HEIGHT;
            ASSERT_EQ(picture->At(x, y), onLcd ? LCD_COLOR_PIXEL : LCD_COLOR_UNLIT)
                << "at (" << x << "," << y << ")";
        }
    }
}

TEST_F(LcdPictureTest, TopBitOfAPageIsItsUpperRow) {
    LcdBuffer[1 * LCD_WIDTH + 3] = 0x80; // page 1, column 3, topmost pixel: LCD row 8
    LcdBuffer[2 * LCD_WIDTH + 4] = 0x01; // page 2, column 4, lowest pixel: LCD row 23
    PaintLcdPicture(*picture, true);
    EXPECT_EQ(picture->At(7 + 6, 2 + 16), LCD_COLOR_PIXEL);
    EXPECT_EQ(picture->At(7 + 6, 2 + 16 - 1), LCD_COLOR_LIT);
    EXPECT_EQ(picture->At(7 + 8 + 1, 2 + 46 + 1), LCD_COLOR_PIXEL);
    EXPECT_EQ(picture->At(7 + 8, 2 + 48), LCD_COLOR_LIT);
    EXPECT_EQ(CountColour(LCD_COLOR_PIXEL), 8);
}

} // namespace
} // namespace lcdtest
