// The shipped FONT1 and FONT2 resources: exact layout, the glyphs whose bytes
// are fixed, and the design rules every other glyph must keep.
#include "device/Font.h"
#include "platform/Resources.h"

#include <gmock/gmock.h>

#include <vector>

namespace {

using ::testing::ElementsAreArray;

std::vector<uint8_t> Font1Columns(const TResourceBytes& font, int glyph) {
    std::vector<uint8_t> columns;
    for (int j = 0; j < 6; ++j)
        columns.push_back(font[static_cast<std::size_t>(glyph * FONT1_GLYPH_BYTES + 2 * j)]);
    return columns;
}

std::vector<uint8_t> Font2Page(const TResourceBytes& font, int glyph, int page) {
    std::vector<uint8_t> columns;
    for (int j = 0; j < 12; ++j)
        columns.push_back(font[static_cast<std::size_t>(glyph * FONT2_GLYPH_BYTES + 2 * (12 * page + j))]);
    return columns;
}

class Font1Resource : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto found = FindResource("FONT1");
        ASSERT_TRUE(found);
        font = *found;
    }
    TResourceBytes font;
};

TEST_F(Font1Resource, HasTheExactSizeAndZeroHighBytes) {
    ASSERT_EQ(font.size(), static_cast<std::size_t>(FONT1_SIZE));
    for (std::size_t i = 1; i < font.size(); i += 2)
        ASSERT_EQ(font[i], 0) << "byte " << i;
}

TEST_F(Font1Resource, FixedGlyphsComeOutByteForByte) {
    const std::vector<std::pair<int, std::vector<uint8_t>>> fixed = {
        {'0', {0x7C, 0x8A, 0x92, 0xA2, 0x7C, 0x00}},
        {'A', {0x3E, 0x48, 0x88, 0x48, 0x3E, 0x00}},
        {'.', {0x00, 0x02, 0x00, 0x00, 0x00, 0x00}},
        {'-', {0x00, 0x10, 0x10, 0x10, 0x10, 0x00}},
        {0x00, {0x00, 0x00, 0x18, 0x18, 0x00, 0x00}},
        {GLYPH_ARROW_UP, {0x20, 0x60, 0xE0, 0x60, 0x20, 0x00}},
        {GLYPH_ARROW_DOWN, {0x08, 0x0C, 0x0E, 0x0C, 0x08, 0x00}},
    };
    for (const auto& [glyph, bytes] : fixed)
        EXPECT_THAT(Font1Columns(font, glyph), ElementsAreArray(bytes)) << glyph;
}

TEST_F(Font1Resource, ControlAndUnassignedCodesShowThePlaceholderDot) {
    const std::vector<uint8_t> dot = Font1Columns(font, 0);
    for (int code = 0; code <= 0x1F; ++code)
        EXPECT_EQ(Font1Columns(font, code), dot) << code;
    for (int code = 0x7F; code <= 0xBF; ++code)
        EXPECT_EQ(Font1Columns(font, code), dot) << code;
}

TEST_F(Font1Resource, LowerCaseRepeatsTheCapitalsLatinAndCyrillic) {
    for (int code = 'a'; code <= 'z'; ++code)
        EXPECT_EQ(Font1Columns(font, code), Font1Columns(font, code - 0x20));
    for (int code = 0xE0; code <= 0xFF; ++code)
        EXPECT_EQ(Font1Columns(font, code), Font1Columns(font, code - 0x20));
}

TEST_F(Font1Resource, EveryCharacterKeepsTheSpacingColumnAndRowAndIsDrawn) {
    for (int code = 0x21; code <= 0xFF; ++code) {
        const std::vector<uint8_t> columns = Font1Columns(font, code);
        EXPECT_EQ(columns[5], 0) << "column 5 of " << code;
        uint8_t any = 0;
        for (uint8_t c : columns) {
            EXPECT_EQ(c & 0x01, 0) << "row 7 of " << code;
            any |= c;
        }
        EXPECT_NE(any, 0) << "glyph " << code << " is blank";
    }
    EXPECT_THAT(Font1Columns(font, ' '), ElementsAreArray({0, 0, 0, 0, 0, 0}));
}

TEST_F(Font1Resource, LettersAndDigitsAreDistinctExceptTrueLookAlikes) {
    // Cyrillic capitals that are drawn exactly like a Latin capital.
    const std::string sameAsLatin = "ABCEHKMOPTX";
    std::vector<std::vector<uint8_t>> seen;
    for (int code = '0'; code <= 'Z'; ++code) {
        if (code > '9' && code < 'A') continue;
        for (const auto& other : seen)
            EXPECT_NE(Font1Columns(font, code), other) << "code " << code;
        seen.push_back(Font1Columns(font, code));
    }
    int lookAlikes = 0;
    for (int code = 0xC0; code <= 0xDF; ++code) {
        const std::vector<uint8_t> glyph = Font1Columns(font, code);
        for (char latin : sameAsLatin)
            lookAlikes += glyph == Font1Columns(font, latin) ? 1 : 0;
    }
    EXPECT_EQ(lookAlikes, static_cast<int>(sameAsLatin.size()));
}

TEST(Font2Resource, HasTheExactLayoutAndTheFixedGlyphs) {
    const auto found = FindResource("FONT2");
    ASSERT_TRUE(found);
    const TResourceBytes font = *found;
    ASSERT_EQ(font.size(), static_cast<std::size_t>(FONT2_SIZE));
    for (std::size_t i = 1; i < font.size(); i += 2)
        ASSERT_EQ(font[i], 0);

    EXPECT_THAT(Font2Page(font, 0, 0),
                ElementsAreArray({0x07, 0x1F, 0x38, 0x60, 0x60, 0x60, 0x60, 0x38, 0x1F, 0x07, 0, 0}));
    EXPECT_THAT(Font2Page(font, 0, 1),
                ElementsAreArray({0xF0, 0xFC, 0x0E, 0x03, 0x03, 0x03, 0x03, 0x0E, 0xFC, 0xF0, 0, 0}));
    EXPECT_THAT(Font2Page(font, BIG_GLYPH_POINT, 0), ElementsAreArray(std::vector<uint8_t>(12, 0)));
    EXPECT_THAT(Font2Page(font, BIG_GLYPH_POINT, 1), ElementsAreArray({0, 3, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_THAT(Font2Page(font, BIG_GLYPH_BLANK, 0), ElementsAreArray(std::vector<uint8_t>(12, 0)));
    EXPECT_THAT(Font2Page(font, BIG_GLYPH_BLANK, 1), ElementsAreArray(std::vector<uint8_t>(12, 0)));
    EXPECT_THAT(Font2Page(font, BIG_GLYPH_MINUS, 0), ElementsAreArray(std::vector<uint8_t>(12, 0)));
    EXPECT_THAT(Font2Page(font, BIG_GLYPH_MINUS, 1),
                ElementsAreArray({0, 0, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30, 0, 0}));

    for (int digit = 0; digit <= 9; ++digit) {
        const std::vector<uint8_t> upper = Font2Page(font, digit, 0);
        EXPECT_EQ(upper[10] | upper[11], 0) << digit;
        for (uint8_t c : upper)
            EXPECT_EQ(c & 0x80, 0) << "top row of digit " << digit;
        for (int other = 0; other < digit; ++other)
            EXPECT_TRUE(Font2Page(font, digit, 0) != Font2Page(font, other, 0) ||
                        Font2Page(font, digit, 1) != Font2Page(font, other, 1))
                << digit << " vs " << other;
    }
}

} // namespace
