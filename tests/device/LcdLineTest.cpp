// Unclipped lines: the exact pixels of the integer line algorithm.
#include "LcdTestSupport.h"

#include <cstdlib>
#include <random>
#include <set>
#include <utility>
#include <vector>

namespace lcdtest {
namespace {

using TPixels = std::set<std::pair<int, int>>;

TPixels DrawnPixels() {
    TPixels drawn;
    for (int x = 0; x < LCD_WIDTH; ++x) {
        for (int y = 0; y < LCD_HEIGHT; ++y) {
            if (PixelAt(x, y)) drawn.insert({x, y});
        }
    }
    return drawn;
}

// Independent closed form of the line: pixel i along the major axis is offset
// on the minor axis by i * short / long rounded half up, i.e. a tie steps
// towards the far end point.
TPixels ReferenceLine(int x0, int y0, int x1, int y1) {
    const int dx = x1 - x0;
    const int dy = y1 - y0;
    const int ax = std::abs(dx);
    const int ay = std::abs(dy);
    const int sx = (dx > 0) - (dx < 0);
    const int sy = (dy > 0) - (dy < 0);
    const bool steep = ax < ay;
    const int longSide = steep ? ay : ax;
    const int shortSide = steep ? ax : ay;
    TPixels pixels{{x0, y0}};
    for (int i = 1; i <= longSide; ++i) {
        const int minor = (2 * i * shortSide + longSide) / (2 * longSide);
        if (steep) {
            pixels.insert({x0 + sx * minor, y0 + sy * i});
        } else {
            pixels.insert({x0 + sx * i, y0 + sy * minor});
        }
    }
    return pixels;
}

using LcdLineTest = LcdTest;

TEST_F(LcdLineTest, ShallowLineSetsOnePixelPerColumn) {
    LcdLine(0, 0, 5, 2, LCD_MODE_SET);
    EXPECT_EQ(DrawnPixels(), (TPixels{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}})) << LcdArt();
}

TEST_F(LcdLineTest, SteepLineSetsOnePixelPerRow) {
    LcdLine(0, 0, 2, 5, LCD_MODE_SET);
    EXPECT_EQ(DrawnPixels(), (TPixels{{0, 0}, {0, 1}, {1, 2}, {1, 3}, {2, 4}, {2, 5}})) << LcdArt();
}

TEST_F(LcdLineTest, DiagonalHorizontalVerticalAndSinglePoint) {
    LcdLine(10, 10, 13, 13, LCD_MODE_SET);
    EXPECT_EQ(DrawnPixels(), (TPixels{{10, 10}, {11, 11}, {12, 12}, {13, 13}}));
    LcdClear();
    LcdLine(7, 30, 3, 30, LCD_MODE_SET);
    EXPECT_EQ(DrawnPixels(), (TPixels{{3, 30}, {4, 30}, {5, 30}, {6, 30}, {7, 30}}));
    LcdClear();
    LcdLine(121, 2, 121, 0, LCD_MODE_SET);
    EXPECT_EQ(DrawnPixels(), (TPixels{{121, 0}, {121, 1}, {121, 2}}));
    LcdClear();
    LcdLine(64, 16, 64, 16, LCD_MODE_XOR);
    EXPECT_EQ(DrawnPixels(), (TPixels{{64, 16}}));
}

TEST_F(LcdLineTest, TiesStepTowardsTheFarEndSoDirectionMatters) {
    LcdLine(0, 0, 2, 1, LCD_MODE_SET);
    EXPECT_EQ(DrawnPixels(), (TPixels{{0, 0}, {1, 1}, {2, 1}}));
    LcdClear();
    LcdLine(2, 1, 0, 0, LCD_MODE_SET);
    EXPECT_EQ(DrawnPixels(), (TPixels{{2, 1}, {1, 0}, {0, 0}}));
}

TEST_F(LcdLineTest, XorLineTwiceRestoresTheScreen) {
    FillBackground(0x5A);
    LcdLine(3, 29, 118, 4, LCD_MODE_XOR);
    LcdLine(3, 29, 118, 4, LCD_MODE_XOR);
    for (uint8_t b : LcdBuffer)
        ASSERT_EQ(b, 0x5A);
}

TEST_F(LcdLineTest, RandomLinesMatchTheReferenceAndVisitEachPixelOnce) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> xs(0, LCD_WIDTH - 1);
    std::uniform_int_distribution<int> ys(0, LCD_HEIGHT - 1);
    for (int n = 0; n < 2000; ++n) {
        const int x0 = xs(random), y0 = ys(random), x1 = xs(random), y1 = ys(random);
        LcdClear();
        // XOR: a pixel visited twice would vanish and the sets would differ.
        LcdLine(static_cast<int16_t>(x0), static_cast<int16_t>(y0), static_cast<int16_t>(x1),
                static_cast<int16_t>(y1), LCD_MODE_XOR);
        ASSERT_EQ(DrawnPixels(), ReferenceLine(x0, y0, x1, y1))
            << "(" << x0 << "," << y0 << ")-(" << x1 << "," << y1 << ")\n"
            << LcdArt();
    }
}

TEST_F(LcdLineTest, MirroredLinesGiveMirroredPixels) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> coord(0, LCD_HEIGHT - 1); // square, so x and y may swap
    for (int n = 0; n < 500; ++n) {
        const auto x0 = static_cast<int16_t>(coord(random)), y0 = static_cast<int16_t>(coord(random));
        const auto x1 = static_cast<int16_t>(coord(random)), y1 = static_cast<int16_t>(coord(random));
        LcdClear();
        LcdLine(x0, y0, x1, y1, LCD_MODE_SET);
        const TPixels original = DrawnPixels();

        TPixels mirrored;
        for (auto [x, y] : original)
            mirrored.insert({31 - x, y});
        LcdClear();
        LcdLine(static_cast<int16_t>(31 - x0), y0, static_cast<int16_t>(31 - x1), y1, LCD_MODE_SET);
        ASSERT_EQ(DrawnPixels(), mirrored)
            << "x mirror of (" << x0 << "," << y0 << ")-(" << x1 << "," << y1 << ")";

        TPixels transposed;
        for (auto [x, y] : original)
            transposed.insert({y, x});
        LcdClear();
        LcdLine(y0, x0, y1, x1, LCD_MODE_SET);
        ASSERT_EQ(DrawnPixels(), transposed)
            << "transpose of (" << x0 << "," << y0 << ")-(" << x1 << "," << y1 << ")";
    }
}

} // namespace
} // namespace lcdtest
