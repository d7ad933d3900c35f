// Clipped lines: only the part inside the rectangle, end points cut exactly
// (rational parameters, offsets truncated toward zero).
#include "LcdTestSupport.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>
#include <vector>

namespace lcdtest {
namespace {

std::vector<uint8_t> Snapshot() {
    return {LcdBuffer, LcdBuffer + LCD_PAGES * LCD_WIDTH};
}

struct TSegment {
    int x0, y0, x1, y1;
};

// A fraction with a positive denominator, in 64 bits.
struct TFraction {
    int64_t num;
    int64_t den;
};

bool operator<(TFraction a, TFraction b) {
    return a.num * b.den < b.num * a.den;
}

TFraction Make(int64_t num, int64_t den) {
    return den < 0 ? TFraction{-num, -den} : TFraction{num, den};
}

// Independent reference: the visible parameter interval is the intersection of
// the four half-planes; the end points are the start point plus the offset at
// each end truncated toward zero. Empty when the line misses the rectangle.
std::optional<TSegment> ReferenceClip(TSegment s, TLcdRect r) {
    const int64_t dx = s.x1 - s.x0;
    const int64_t dy = s.y1 - s.y0;
    TFraction enter{0, 1};
    TFraction leave{1, 1};
    // Constraint t * p <= q for each edge.
    const int64_t p[4] = {-dx, dx, -dy, dy};
    const int64_t q[4] = {s.x0 - r.xmin, r.xmax - s.x0, s.y0 - r.ymin, r.ymax - s.y0};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0) {
            if (q[k] < 0) return std::nullopt;
        } else if (p[k] < 0) {
            enter = std::max(enter, Make(q[k], p[k]));
        } else {
            leave = std::min(leave, Make(q[k], p[k]));
        }
    }
    if (leave < enter) return std::nullopt;
    const auto at = [](int origin, int64_t delta, TFraction t) {
        return static_cast<int>(origin + delta * t.num / t.den);
    };
    return TSegment{at(s.x0, dx, enter), at(s.y0, dy, enter), at(s.x0, dx, leave), at(s.y0, dy, leave)};
}

void DrawClipped(TSegment s, TLcdRect r, int16_t mode = LCD_MODE_SET) {
    LcdClippedLine(static_cast<int16_t>(s.x0), static_cast<int16_t>(s.y0), static_cast<int16_t>(s.x1),
                   static_cast<int16_t>(s.y1), mode, r);
}

void DrawLine(TSegment s) {
    LcdLine(static_cast<int16_t>(s.x0), static_cast<int16_t>(s.y0), static_cast<int16_t>(s.x1),
            static_cast<int16_t>(s.y1), LCD_MODE_SET);
}

constexpr TLcdRect BOX{20, 5, 100, 25};

struct TMissCase {
    const char* name;
    TSegment line;
};

class LcdClippedLineMissTest : public LcdTest, public ::testing::WithParamInterface<TMissCase> {};

TEST_P(LcdClippedLineMissTest, DrawsNothing) {
    DrawClipped(GetParam().line, BOX);
    EXPECT_EQ(CountPixels(), 0) << LcdArt();
}

INSTANTIATE_TEST_SUITE_P(Outside, LcdClippedLineMissTest,
                         ::testing::Values(TMissCase{"LeftOfTheBox", {0, 0, 19, 31}},
                                           TMissCase{"RightOfTheBox", {101, 10, 121, 20}},
                                           TMissCase{"BelowTheBox", {0, 4, 121, 4}},
                                           TMissCase{"AboveTheBox", {0, 26, 121, 31}},
                                           TMissCase{"ParallelBeyondTheLeftEdge", {19, 0, 19, 31}},
                                           TMissCase{"PassingTheLowerLeftCorner", {10, 10, 20, 0}},
                                           TMissCase{"PassingTheUpperRightCorner", {95, 31, 110, 22}},
                                           TMissCase{"SinglePointOutside", {19, 5, 19, 5}}),
                         [](const auto& param) { return param.param.name; });

using LcdClippedLineTest = LcdTest;

TEST_F(LcdClippedLineTest, CrossingLineDrawsExactlyTheInsidePartWithBothCutEnds) {
    DrawClipped({0, 15, 121, 15}, BOX);
    for (int x = 0; x < LCD_WIDTH; ++x)
        EXPECT_EQ(PixelAt(x, 15), x >= 20 && x <= 100) << x;
    EXPECT_EQ(CountPixels(), 81);
}

TEST_F(LcdClippedLineTest, VerticalLineThroughTheBoxKeepsItsInsideRows) {
    DrawClipped({60, 31, 60, 0}, BOX);
    for (int y = 0; y < LCD_HEIGHT; ++y)
        EXPECT_EQ(PixelAt(60, y), y >= 5 && y <= 25) << y;
}

TEST_F(LcdClippedLineTest, CutOffsetsTruncateTowardZero) {
    // Leaving through x = 20 at t = 80/100: y = 26 - 21 * 0.8 = 9.2 exactly,
    // 26 + (-1680 / 100) = 26 - 16 = 10 once truncated toward zero (not 9).
    DrawClipped({100, 26, 0, 5}, {20, 0, 121, 31});
    const auto actual = Snapshot();
    LcdClear();
    LcdLine(100, 26, 20, 10, LCD_MODE_SET);
    EXPECT_EQ(actual, Snapshot());
    EXPECT_TRUE(PixelAt(20, 10));
}

TEST_F(LcdClippedLineTest, BothEndsAreCutFromTheLineAsPassedIn) {
    // Entry at x = 0 (t = 7/137): y = 3 + 196/137 -> 4. Exit at x = 121
    // (t = 128/137): y = 3 + 3584/137 -> 29. Cutting the exit from the already
    // moved start would give x = 128 instead.
    DrawClipped({-7, 3, 130, 31}, {0, 0, 121, 31});
    const auto actual = Snapshot();
    LcdClear();
    LcdLine(0, 4, 121, 29, LCD_MODE_SET);
    EXPECT_EQ(actual, Snapshot()) << LcdArt();
}

TEST_F(LcdClippedLineTest, LineInsideTheBoxIsDrawnWhole) {
    DrawClipped({25, 6, 99, 24}, BOX);
    const auto actual = Snapshot();
    LcdClear();
    LcdLine(25, 6, 99, 24, LCD_MODE_SET);
    EXPECT_EQ(actual, Snapshot());
}

TEST_F(LcdClippedLineTest, SinglePointInsideAndOnTheEdgeIsDrawn) {
    DrawClipped({50, 12, 50, 12}, BOX);
    DrawClipped({20, 5, 20, 5}, BOX);
    DrawClipped({100, 25, 100, 25}, BOX);
    EXPECT_EQ(CountPixels(), 3);
    EXPECT_TRUE(PixelAt(50, 12));
    EXPECT_TRUE(PixelAt(20, 5));
    EXPECT_TRUE(PixelAt(100, 25));
}

TEST_F(LcdClippedLineTest, LineTouchingACornerDrawsThatPoint) {
    DrawClipped({10, 15, 30, -5}, BOX); // passes through (20, 5) only
    EXPECT_EQ(CountPixels(), 1) << LcdArt();
    EXPECT_TRUE(PixelAt(20, 5));
}

TEST_F(LcdClippedLineTest, RandomLinesMatchTheReferenceAndStayInside) {
    std::mt19937 random(1234567);
    std::uniform_int_distribution<int> xs(-60, 180);
    std::uniform_int_distribution<int> ys(-40, 70);
    std::uniform_int_distribution<int> cx(0, LCD_WIDTH - 1);
    std::uniform_int_distribution<int> cy(0, LCD_HEIGHT - 1);
    int drawn = 0;
    for (int n = 0; n < 3000; ++n) {
        const TSegment s{xs(random), ys(random), xs(random), ys(random)};
        int a = cx(random), b = cx(random), c = cy(random), d = cy(random);
        const TLcdRect r{static_cast<int16_t>(std::min(a, b)), static_cast<int16_t>(std::min(c, d)),
                         static_cast<int16_t>(std::max(a, b)), static_cast<int16_t>(std::max(c, d))};
        LcdClear();
        DrawClipped(s, r);
        const auto actual = Snapshot();

        for (int x = 0; x < LCD_WIDTH; ++x) {
            for (int y = 0; y < LCD_HEIGHT; ++y) {
                if (!PixelAt(x, y)) continue;
                ASSERT_TRUE(x >= r.xmin && x <= r.xmax && y >= r.ymin && y <= r.ymax)
                    << "pixel (" << x << "," << y << ") outside the clip";
            }
        }

        LcdClear();
        const auto expected = ReferenceClip(s, r);
        if (expected) {
            ++drawn;
            // The cut ends lie on the real segment within one pixel along the
            // other axis: |cross product| < |d| along the major axis.
            for (auto [px, py] :
                 {std::pair{expected->x0, expected->y0}, std::pair{expected->x1, expected->y1}}) {
                const int64_t dx = s.x1 - s.x0, dy = s.y1 - s.y0;
                const int64_t cross = (px - s.x0) * dy - (py - s.y0) * dx;
                ASSERT_LT(std::abs(cross),
                          std::max(std::abs(dx), std::abs(dy)) + (dx == 0 && dy == 0 ? 1 : 0));
            }
            DrawLine(*expected);
        }
        ASSERT_EQ(actual, Snapshot())
            << "(" << s.x0 << "," << s.y0 << ")-(" << s.x1 << "," << s.y1 << ") in [" << r.xmin << ","
            << r.ymin << "," << r.xmax << "," << r.ymax << "]";
    }
    EXPECT_GT(drawn, 300); // the sample really exercises cut lines, not only misses
}

TEST_F(LcdClippedLineTest, XorClippedLineTwiceRestores) {
    FillBackground(0xA5);
    DrawClipped({-30, -10, 150, 40}, BOX, LCD_MODE_XOR);
    DrawClipped({-30, -10, 150, 40}, BOX, LCD_MODE_XOR);
    for (uint8_t b : LcdBuffer)
        ASSERT_EQ(b, 0xA5);
}

} // namespace
} // namespace lcdtest
