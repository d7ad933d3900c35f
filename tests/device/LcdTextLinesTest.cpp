// The text the LCD remembers for a screen reader: what the text primitives
// drew and is still on the screen, page by page.
#include "LcdTestSupport.h"
#include "device/LcdText.h"

#include <functional>
#include <string>

namespace lcdtest {
namespace {

// The four pages as "page0|page1|page2|page3", inverted runs in brackets.
std::string Lines() {
    std::string all;
    for (int16_t page = 0; page < LCD_PAGES; ++page) {
        if (page > 0) all += '|';
        for (const TLcdTextRun& run : LcdTextLine(page))
            all += run.Inverted ? "[" + run.Text + "]" : run.Text;
    }
    return all;
}

struct TTextCase {
    const char* Name;
    std::function<void()> Draw;
    const char* Expected;
};

class LcdTextLinesTest : public LcdTest, public ::testing::WithParamInterface<TTextCase> {};

TEST_P(LcdTextLinesTest, FollowsWhatIsOnTheScreen) {
    GetParam().Draw();
    EXPECT_EQ(Lines(), GetParam().Expected);
}

// clang-format off
const TTextCase kCases[] = {
    {"TextOnEachPageWithItsBlanks", [] {
         LcdPutText(0, 0, 0, "Velocity   RMS");
         LcdPutText(3, 12, 0, "\xC8\xC7\xCC.");  // code page 1251 bytes, as drawn
     }, "Velocity   RMS|||\xC8\xC7\xCC."},
    {"BlankColumnsBetweenTextsReadAsOneBlank", [] {
         LcdPutText(1, 0, 0, "AB");
         LcdPutText(1, 40, 0, "CD");
         LcdPutText(1, 52, 0, "E");  // adjacent: no blank
     }, "|AB CDE||"},
    {"InvertedTextIsARunOfItsOwn", [] {
         LcdPutText(0, 0, 0, "MEAS ");
         LcdPutText(0, 30, 1, "ANALYS");
         LcdPutText(0, 66, 0, "WATCH");
     }, "MEAS [ANALYS]WATCH|||"},
    {"ClearingAnyColumnOfACharacterForgetsIt", [] {
         LcdPutText(2, 0, 0, "ABCD");
         LcdClearArea(2, 8, 2, 8);     // inside B
         LcdClearArea(0, 0, 1, 121);   // other pages only
     }, "||A CD|"},
    {"ClearingTheScreenForgetsEverything", [] {
         LcdPutText(0, 0, 0, "ABC");
         LcdPutBigText(1, 0, 0, "12");
         LcdClear();
     }, "|||"},
    {"TextWrittenOverTextReplacesIt", [] {
         LcdPutText(0, 0, 0, "OLD TEXT");
         LcdPutText(0, 3, 0, "NEW");  // half a cell off: the letters it covers go
     }, "NEW TEXT|||"},
    {"PixelsAndLinesOverTextLeaveIt", [] {
         LcdPutText(3, 0, 0, "CURSOR");
         LcdLine(0, 2, 40, 2, LCD_MODE_XOR);
         LcdSetPixel(3, 3, LCD_MODE_SET);
     }, "|||CURSOR"},
    {"ArrowMarksOverdrawButAreNoText", [] {
         LcdPutText(0, 0, 0, "ITEM1X");
         LcdPutGlyph(0, 30, 0, GLYPH_ARROW_UP);
         LcdPutGlyph(1, 0, 0, 'Q');
     }, "ITEM1|Q||"},
    {"BigDigitsReadOnTheirUpperPageAndOverdrawTheLowerOne", [] {
         LcdPutText(2, 0, 0, "UNDER");
         LcdPutBigText(1, 0, 0, "-12,5 ");
     }, "|-12.5 ||"},
    {"ACharacterCutAtTheRightEdgeCountsAndNothingAfterIt", [] {
         LcdPutText(1, 112, 0, "XYZ");
     }, "|XY||"},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Screens, LcdTextLinesTest, ::testing::ValuesIn(kCases),
                         [](const auto& param) { return std::string(param.param.Name); });

using LcdScreenTextTest = LcdTest;

TEST_F(LcdScreenTextTest, ReadsTheTextPagesInUtf8WithBlanksFoldedAndTheSelectionNamed) {
    LcdPutText(0, 0, 0, "  Velocity   RMS  ");
    LcdPutText(2, 0, 1, "\xC8\xC7\xCC.  "); // "ИЗМ." light on dark, code page 1251
    LcdPutText(2, 36, 0, "\xC0\xCD\xC0\xCB\xC8\xC7");
    LcdPutText(3, 0, 1, "     "); // a dark band with no text: nothing to read
    EXPECT_EQ(LcdScreenText("%s (selected)"),
              "Velocity RMS\n\u0418\u0417\u041C. (selected) \u0410\u041D\u0410\u041B\u0418\u0417");
    // A format that lost its "%s" (a damaged table) still reads the text.
    EXPECT_EQ(LcdScreenText("no mark"),
              "Velocity RMS\n\u0418\u0417\u041C. \u0410\u041D\u0410\u041B\u0418\u0417");
    LcdClear();
    EXPECT_EQ(LcdScreenText("%s (selected)"), "");
}

} // namespace
} // namespace lcdtest
