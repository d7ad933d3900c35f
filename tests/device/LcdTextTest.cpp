// Text output: whole column bytes copied from the fonts, cut at the right edge.
#include "LcdTestSupport.h"

#include <string>
#include <vector>

namespace lcdtest {
namespace {

constexpr uint8_t BACKGROUND = 0x3C;

// Expects columns [first, first + count) of page to hold FONT1 glyph g's
// columns starting at glyph column firstGlyphColumn.
void ExpectGlyph1(int page, int first, int g, int count = 6, uint8_t invert = 0, int firstGlyphColumn = 0) {
    for (int j = 0; j < count; ++j) {
        const int gj = firstGlyphColumn + j;
        const auto expected = static_cast<uint8_t>(invert != 0 ? ~Glyph1Column(g, gj) : Glyph1Column(g, gj));
        EXPECT_EQ(Byte(page, first + j), expected) << "glyph " << g << " column " << gj;
    }
}

void ExpectBackground(int page, int first, int last) {
    for (int c = first; c <= last; ++c)
        EXPECT_EQ(Byte(page, c), BACKGROUND) << "page " << page << " column " << c;
}

void ExpectOtherPagesUntouched(int page) {
    for (int p = 0; p < LCD_PAGES; ++p) {
        if (p != page) ExpectBackground(p, 0, LCD_WIDTH - 1);
    }
}

using LcdTextTest = LcdTest;

TEST_F(LcdTextTest, CharactersFollowEachOtherSixColumnsApartAndTouchNothingElse) {
    FillBackground(BACKGROUND);
    LcdPutText(1, 10, 0, "AZ9");
    ExpectGlyph1(1, 10, 'A');
    ExpectGlyph1(1, 16, 'Z');
    ExpectGlyph1(1, 22, '9');
    ExpectBackground(1, 0, 9);
    ExpectBackground(1, 28, LCD_WIDTH - 1);
    ExpectOtherPagesUntouched(1);
}

TEST_F(LcdTextTest, InvertStoresTheComplementOfEveryColumn) {
    FillBackground(BACKGROUND);
    LcdPutText(2, 0, 1, "K7");
    ExpectGlyph1(2, 0, 'K', 6, 1);
    ExpectGlyph1(2, 6, '7', 6, 1);
    ExpectBackground(2, 12, LCD_WIDTH - 1);
}

TEST_F(LcdTextTest, InvertedSpaceIsAFullyDarkCell) {
    LcdPutText(0, 30, 1, " ");
    for (int c = 30; c < 36; ++c)
        EXPECT_EQ(Byte(0, c), 0xFF) << c;
    EXPECT_EQ(CountPixels(), 6 * 8);
}

TEST_F(LcdTextTest, TextReplacesWholeBytesBehindTheCharacter) {
    FillBackground(0xFF);
    LcdPutText(3, 50, 0, " ");
    for (int c = 50; c < 56; ++c)
        EXPECT_EQ(Byte(3, c), 0) << c;
    EXPECT_EQ(Byte(3, 49), 0xFF);
    EXPECT_EQ(Byte(3, 56), 0xFF);
}

TEST_F(LcdTextTest, TextFromColumn118IsCutAfterColumn121) {
    FillBackground(BACKGROUND);
    LcdPutText(1, 118, 0, "MN");
    ExpectGlyph1(1, 118, 'M', 4);
    // The byte after column 121 of page 1 is column 0 of page 2: nothing spills.
    ExpectBackground(2, 0, LCD_WIDTH - 1);
    ExpectBackground(1, 0, 117);
    ExpectOtherPagesUntouched(1);
}

TEST_F(LcdTextTest, TextFromTheLastColumnWritesOneColumn) {
    FillBackground(BACKGROUND);
    LcdPutText(0, 121, 1, "Q");
    ExpectGlyph1(0, 121, 'Q', 1, 1);
    ExpectBackground(0, 0, 120);
    ExpectOtherPagesUntouched(0);
}

TEST_F(LcdTextTest, LongLineStopsExactlyAtTheRightEdge) {
    FillBackground(BACKGROUND);
    const std::string line(25, 'W'); // 150 columns' worth
    LcdPutText(3, 0, 0, line.c_str());
    for (int k = 0; k < 20; ++k)
        ExpectGlyph1(3, 6 * k, 'W');
    ExpectGlyph1(3, 120, 'W', 2);
    ExpectOtherPagesUntouched(3);
}

TEST_F(LcdTextTest, EmptyOrAbsentTextDrawsNothing) {
    FillBackground(BACKGROUND);
    LcdPutText(0, 0, 1, "");
    LcdPutText(0, 0, 1, nullptr);
    LcdPutBigText(0, 0, 1, "");
    LcdPutBigText(0, 0, 1, nullptr);
    for (int p = 0; p < LCD_PAGES; ++p)
        ExpectBackground(p, 0, LCD_WIDTH - 1);
}

// Every code of code page 1251 draws the glyph of the same number: the font
// carries the repeats (lower case, placeholder dots), not the primitive. Codes
// from 0x80 are the ones a signed char would send astray.
class LcdTextCodeTest : public LcdTest, public ::testing::WithParamInterface<int> {};

TEST_P(LcdTextCodeTest, CodeIsTheGlyphNumber) {
    const int code = GetParam();
    const char text[] = {static_cast<char>(code), '\0'};
    LcdPutText(2, 40, 0, text);
    ExpectGlyph1(2, 40, code);
}

INSTANTIATE_TEST_SUITE_P(CodePage1251, LcdTextCodeTest,
                         ::testing::Values(0x01, 0x1F, '0', 'A', 'a', 'z', 0x7E, 0x7F, 0x80, 0xA8, 0xB8, 0xBF,
                                           0xC0, 0xDF, 0xE0, 0xFF));

TEST_F(LcdTextTest, PutGlyphReachesTheTwoArrows) {
    FillBackground(BACKGROUND);
    LcdPutGlyph(1, 20, 0, GLYPH_ARROW_UP);
    LcdPutGlyph(1, 26, 1, GLYPH_ARROW_DOWN);
    ExpectGlyph1(1, 20, GLYPH_ARROW_UP);
    ExpectGlyph1(1, 26, GLYPH_ARROW_DOWN, 6, 1);
    ExpectBackground(1, 32, LCD_WIDTH - 1);
    ExpectBackground(1, 0, 19);
}

TEST_F(LcdTextTest, PutGlyphStopsAfterColumn121) {
    FillBackground(BACKGROUND);
    LcdPutGlyph(0, 119, 0, 'X');
    ExpectGlyph1(0, 119, 'X', 3);
    ExpectOtherPagesUntouched(0);
}

// Big digits: 12 columns per character over two pages.
void ExpectGlyph2(int page, int first, int g, int count = 12, uint8_t invert = 0) {
    for (int j = 0; j < count; ++j) {
        auto upper = Glyph2Column(g, j);
        auto lower = Glyph2Column(g, 12 + j);
        if (invert != 0) {
            upper = static_cast<uint8_t>(~upper);
            lower = static_cast<uint8_t>(~lower);
        }
        EXPECT_EQ(Byte(page, first + j), upper) << "big glyph " << g << " column " << j;
        EXPECT_EQ(Byte(page + 1, first + j), lower) << "big glyph " << g << " column " << j;
    }
}

TEST_F(LcdTextTest, BigTextOfANegativeNumberIsSixtyColumnsOfMinusDigitsAndPoint) {
    FillBackground(BACKGROUND);
    LcdPutBigText(1, 0, 0, "-12.5");
    const std::vector<int> glyphs = {BIG_GLYPH_MINUS, 1, 2, BIG_GLYPH_POINT, 5};
    for (std::size_t k = 0; k < glyphs.size(); ++k)
        ExpectGlyph2(1, static_cast<int>(12 * k), glyphs[k]);
    ExpectBackground(1, 60, LCD_WIDTH - 1);
    ExpectBackground(2, 60, LCD_WIDTH - 1);
    ExpectBackground(0, 0, LCD_WIDTH - 1);
    ExpectBackground(3, 0, LCD_WIDTH - 1);
}

TEST_F(LcdTextTest, BigTextInvertedDarkensBothPages) {
    LcdPutBigText(2, 30, 1, " 0");
    ExpectGlyph2(2, 30, BIG_GLYPH_BLANK, 12, 1);
    ExpectGlyph2(2, 42, 0, 12, 1);
}

TEST_F(LcdTextTest, BigTextIsCutAfterColumn121) {
    FillBackground(BACKGROUND);
    LcdPutBigText(0, 115, 0, "88");
    ExpectGlyph2(0, 115, 8, 7);
    ExpectBackground(0, 0, 114);
    ExpectBackground(1, 0, 114);
    ExpectBackground(2, 0, LCD_WIDTH - 1);
}

struct TBigCase {
    char ch;
    int glyph;
};

class LcdBigTextMappingTest : public LcdTest, public ::testing::WithParamInterface<TBigCase> {};

TEST_P(LcdBigTextMappingTest, CharacterSelectsItsGlyph) {
    const char text[] = {GetParam().ch, '\0'};
    LcdPutBigText(0, 7, 0, text);
    ExpectGlyph2(0, 7, GetParam().glyph);
}

INSTANTIATE_TEST_SUITE_P(AllKinds, LcdBigTextMappingTest,
                         ::testing::Values(TBigCase{'0', 0}, TBigCase{'4', 4}, TBigCase{'9', 9},
                                           TBigCase{' ', BIG_GLYPH_BLANK}, TBigCase{'-', BIG_GLYPH_MINUS},
                                           TBigCase{'.', BIG_GLYPH_POINT}, TBigCase{',', BIG_GLYPH_POINT},
                                           TBigCase{'E', BIG_GLYPH_POINT},
                                           TBigCase{'\xB0', BIG_GLYPH_POINT}));

} // namespace
} // namespace lcdtest
