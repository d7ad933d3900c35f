// The frame buffer's layout as seen through pixels, and the clearing operations.
#include "LcdTestSupport.h"

namespace lcdtest {
namespace {

struct TPixelCase {
    int16_t x;
    int16_t y;
    int page;
    int column;
    int bit;
};

class LcdPixelAddressTest : public LcdTest, public ::testing::WithParamInterface<TPixelCase> {};

TEST_P(LcdPixelAddressTest, PixelIsOneBitOfOneByte) {
    const TPixelCase& c = GetParam();
    LcdSetPixel(c.x, c.y, LCD_MODE_SET);
    for (int i = 0; i < LCD_PAGES * LCD_WIDTH; ++i) {
        const uint8_t expected = i == c.page * LCD_WIDTH + c.column ? static_cast<uint8_t>(1u << c.bit) : 0;
        ASSERT_EQ(LcdBuffer[i], expected) << "byte index " << i;
    }
}

// y counts from the bottom row; bit 7 is the top pixel of a page.
INSTANTIATE_TEST_SUITE_P(Corners, LcdPixelAddressTest,
                         ::testing::Values(TPixelCase{0, 0, 3, 0, 0}, TPixelCase{121, 31, 0, 121, 7},
                                           TPixelCase{0, 31, 0, 0, 7}, TPixelCase{121, 0, 3, 121, 0},
                                           TPixelCase{5, 7, 3, 5, 7}, TPixelCase{5, 8, 2, 5, 0},
                                           TPixelCase{60, 20, 1, 60, 4}));

using LcdPixelTest = LcdTest;

TEST_F(LcdPixelTest, XorTwiceRestoresAndLeavesTheOtherBitsOfTheByte) {
    LcdBuffer[2 * LCD_WIDTH + 9] = 0x81;
    LcdSetPixel(9, 11, LCD_MODE_XOR); // bit 3 of byte (2, 9)
    EXPECT_EQ(LcdBuffer[2 * LCD_WIDTH + 9], 0x89);
    LcdSetPixel(9, 11, LCD_MODE_XOR);
    EXPECT_EQ(LcdBuffer[2 * LCD_WIDTH + 9], 0x81);
    LcdSetPixel(9, 8, LCD_MODE_XOR); // bit 0, already set: XOR clears it
    EXPECT_EQ(LcdBuffer[2 * LCD_WIDTH + 9], 0x80);
}

TEST_F(LcdPixelTest, EveryModeButXorSetsAndNeverClears) {
    for (int16_t mode : {int16_t{0}, int16_t{2}, int16_t{-1}, int16_t{255}}) {
        LcdClear();
        LcdSetPixel(40, 25, mode);
        EXPECT_TRUE(PixelAt(40, 25)) << "mode " << mode;
        LcdSetPixel(40, 25, mode);
        EXPECT_TRUE(PixelAt(40, 25)) << "mode " << mode;
        EXPECT_EQ(CountPixels(), 1) << "mode " << mode;
    }
}

TEST_F(LcdPixelTest, ClearBlanksEveryByte) {
    FillBackground(0xFF);
    LcdClear();
    for (uint8_t b : LcdBuffer)
        ASSERT_EQ(b, 0);
}

TEST_F(LcdPixelTest, ClearAreaBlanksExactlyItsPagesAndColumns) {
    FillBackground(0xFF);
    LcdClearArea(1, 10, 2, 20);
    for (int p = 0; p < LCD_PAGES; ++p) {
        for (int c = 0; c < LCD_WIDTH; ++c) {
            const bool inside = p >= 1 && p <= 2 && c >= 10 && c <= 20;
            EXPECT_EQ(Byte(p, c), inside ? 0 : 0xFF) << "page " << p << " column " << c;
        }
    }
}

TEST_F(LcdPixelTest, ClearAreaOfTheWholeScreenAndOfNothing) {
    FillBackground(0xFF);
    LcdClearArea(0, 30, 3, 29); // last column = first - 1: clears nothing
    for (uint8_t b : LcdBuffer)
        ASSERT_EQ(b, 0xFF);
    LcdClearArea(0, 0, 3, LCD_WIDTH - 1);
    for (uint8_t b : LcdBuffer)
        ASSERT_EQ(b, 0);
}

} // namespace
} // namespace lcdtest
