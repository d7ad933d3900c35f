// The screen elements: list, message, question, backlight flash and reading.
// Drawing is checked against the real fonts: each expected text is found at
// its place and taken off the LCD, and whatever remains must be blank, so a
// stray or misplaced glyph fails. Waiting elements run on a device under
// virtual time.
#include "TextLines.h"
#include "VirtualHostFixture.h"
#include "device/Device.h"
#include "device/Deviceioemulation.h"
#include "device/Font.h"
#include "device/Global.h"
#include "device/Lcd.h"
#include "device/ScreenArt.h"
#include "firmware/Offlinemode.h"
#include "hints/Hints.h"
#include "platform/Exception.h"
#include "platform/Resources.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Every parameter set names its case.
struct CaseName {
    template <class T> std::string operator()(const ::testing::TestParamInfo<T>& p) const {
        return p.param.name;
    }
};

constexpr int SMALL_WIDTH = 6;
constexpr int BIG_WIDTH = 12;
constexpr int BIG_POINT_ADVANCE = 6;
constexpr char BIG_CHARACTERS[] = "0123456789. -"; // in glyph order

uint8_t& Cell(int page, int column) {
    return LcdBuffer[page * LCD_WIDTH + column];
}

uint8_t SmallColumn(int glyph, int j) {
    return Font1Data[glyph * FONT1_GLYPH_BYTES + 2 * j];
}

// Column j (0..11) of a large glyph on its upper (0) or lower (1) page.
uint8_t BigColumn(int glyph, int half, int j) {
    return Font2Data[glyph * FONT2_GLYPH_BYTES + half * FONT2_GLYPH_BYTES / 2 + 2 * j];
}

std::string BlankArt() {
    std::string art;
    for (int row = 0; row < LCD_HEIGHT; ++row)
        art += std::string(LCD_WIDTH, '.') + '\n';
    return art;
}

bool SmallGlyphAt(int page, int column, int glyph, bool inverted) {
    for (int j = 0; j < SMALL_WIDTH; ++j) {
        const auto expected = static_cast<uint8_t>(inverted ? ~SmallColumn(glyph, j) : SmallColumn(glyph, j));
        if (column + j >= LCD_WIDTH || Cell(page, column + j) != expected) return false;
    }
    return true;
}

void Erase(int page, int column, int width) {
    for (int j = 0; j < width && column + j < LCD_WIDTH; ++j)
        Cell(page, column + j) = 0;
}

// Checks that text (code page 1251) stands at (page, column) and erases it.
::testing::AssertionResult TakeText(int page, int column, const std::string& text, bool inverted = false) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const int at = column + SMALL_WIDTH * static_cast<int>(i);
        if (!SmallGlyphAt(page, at, static_cast<unsigned char>(text[i]), inverted)) {
            return ::testing::AssertionFailure() << "no \"" << text << "\"" << (inverted ? " inverted" : "")
                                                 << " at page " << page << ", column " << column << "\n"
                                                 << LcdArt();
        }
    }
    Erase(page, column, SMALL_WIDTH * static_cast<int>(text.size()));
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult TakeGlyph(int page, int column, int glyph) {
    if (!SmallGlyphAt(page, column, glyph, false))
        return ::testing::AssertionFailure()
               << "no glyph " << glyph << " at page " << page << ", column " << column << "\n"
               << LcdArt();
    Erase(page, column, SMALL_WIDTH);
    return ::testing::AssertionSuccess();
}

bool BigGlyphAt(int page, int column, int glyph, int width) {
    for (int half = 0; half < 2; ++half)
        for (int j = 0; j < width; ++j)
            if (column + j >= LCD_WIDTH || Cell(page + half, column + j) != BigColumn(glyph, half, j))
                return false;
    return true;
}

// Reads large characters from (page, column) on: a digit or minus shows
// whole; a point shows only its left half, since the next character covers
// the rest. Stops at the first cell that is none of these, a blank one too
// (a blank glyph cannot be told from nothing drawn).
std::string ReadBigText(int page, int column, int count) {
    std::string text;
    while (static_cast<int>(text.size()) < count) {
        char found = '\0';
        for (int glyph = 0; glyph < 13 && found == '\0'; ++glyph)
            if (glyph != BIG_GLYPH_POINT && glyph != BIG_GLYPH_BLANK &&
                BigGlyphAt(page, column, glyph, BIG_WIDTH))
                found = BIG_CHARACTERS[glyph];
        if (found == '\0' && BigGlyphAt(page, column, BIG_GLYPH_POINT, BIG_POINT_ADVANCE)) found = '.';
        if (found == '\0') break;
        text += found;
        column += found == '.' ? BIG_POINT_ADVANCE : BIG_WIDTH;
    }
    return text;
}

::testing::AssertionResult LcdIsBlank() {
    for (uint8_t byte : LcdBuffer)
        if (byte != 0) return ::testing::AssertionFailure() << "something else is drawn:\n" << LcdArt();
    return ::testing::AssertionSuccess();
}

void LoadFont(const char* name, uint8_t* data, std::size_t size) {
    const auto font = FindResource(name);
    ASSERT_TRUE(font.has_value()) << name;
    ASSERT_EQ(font->size(), size) << name;
    std::memcpy(data, font->data(), size);
}

// The drawing tests need no device: a refresh without one does nothing.
class ScreenElementsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SetThreadLanguage(LANG_ENGLISH);
        LoadFont("FONT1", Font1Data, FONT1_SIZE);
        LoadFont("FONT2", Font2Data, FONT2_SIZE);
        LoadDeviceTexts();
        MenuState = TMenuState{};
        LcdClear();
    }
    void TearDown() override {
        std::memset(Font1Data, 0, sizeof Font1Data);
        std::memset(Font2Data, 0, sizeof Font2Data);
        LcdClear();
    }
};

// --- the scrolling list ------------------------------------------------------------

struct ListCase {
    const char* name;
    int16_t items;
    int16_t visible;
    int16_t selected;
    int16_t first; // the first item shown
};

class DrawListTest : public ScreenElementsTest, public ::testing::WithParamInterface<ListCase> {};

std::string ListItem(int i) {
    return "ITEM " + std::to_string(i);
}

TEST_P(DrawListTest, ShowsTheWindowAroundTheSelectionWithScrollMarks) {
    const ListCase& c = GetParam();
    std::vector<std::string> items;
    for (int i = 0; i < c.items; ++i)
        items.push_back(ListItem(i));

    DrawList(0, 0, items, c.visible, c.selected);

    for (int line = 0; line < c.visible; ++line) {
        const int item = c.first + line;
        EXPECT_TRUE(TakeText(line, 0, ListItem(item), item == c.selected)) << "line " << line;
    }
    EXPECT_TRUE(TakeGlyph(0, 36, GLYPH_ARROW_UP));
    EXPECT_TRUE(TakeGlyph(c.visible - 1, 36, GLYPH_ARROW_DOWN));
    EXPECT_TRUE(LcdIsBlank());
}

INSTANTIATE_TEST_SUITE_P(Windows, DrawListTest,
                         ::testing::Values(ListCase{"SelectionInFirstWindow", 7, 4, 2, 0},
                                           ListCase{"SelectionOnLastLineOfFirstWindow", 7, 4, 3, 0},
                                           ListCase{"SelectionPastFirstWindowStaysOnLastLine", 7, 4, 5, 2},
                                           ListCase{"LastItemOfSeven", 7, 4, 6, 3},
                                           ListCase{"LastItemOfNineInThreeLines", 9, 3, 8, 6},
                                           ListCase{"FirstItemOfNineInThreeLines", 9, 3, 0, 0}),
                         CaseName());

// --- splitting a message -------------------------------------------------------------

struct SplitCase {
    const char* name;
    const char* text;
    std::vector<std::string> lines;
};

class SplitLinesTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitLinesTest, CutsAtLineFeedsIntoThreeLines) {
    std::string lines[3] = {"old", "old", "old"};
    SplitLines(GetParam().text, lines);
    EXPECT_THAT(lines, ::testing::ElementsAreArray(GetParam().lines));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SplitLinesTest,
    ::testing::Values(
        SplitCase{"Empty", "", {"", "", ""}}, SplitCase{"OneLine", "Erasing ...", {"Erasing ...", "", ""}},
        SplitCase{"TwoLines", "Measurement\nis completed.", {"Measurement", "is completed.", ""}},
        SplitCase{"FourLinesKeepThree", "one\ntwo\nthree\nfour", {"one", "two", "three"}},
        SplitCase{"EmptyMiddleLine", "one\n\nthree", {"one", "", "three"}},
        SplitCase{"TrailingLineFeed", "one\n", {"one", "", ""}},
        SplitCase{
            "LongLineCutAtTwenty", "abcdefghijklmnopqrstuvwxyz\nnext", {"abcdefghijklmnopqrst", "next", ""}}),
    CaseName());

// --- message ----------------------------------------------------------------------------

TEST_F(ScreenElementsTest, MessageCentresItsLinesFromTheGivenPageAndClearsTheHints) {
    g_KeyHints.SetKeyHintText("");
    const std::string noActions = g_KeyHints.GetKeyHintK1();
    g_KeyHints.SetKeyHintText("back\nenter\nenter\nnext\nprevious");
    g_ScreenHints.AddScreenHint(0, 0, 122, 32, "a region");
    LcdPutText(3, 0, 0, "LEFT OVER");

    ShowMessage("Measurement\nis completed.", 1, 0);

    EXPECT_TRUE(TakeText(1, 28, "Measurement")); // (122 - 66) / 2
    EXPECT_TRUE(TakeText(2, 22, "is completed."));
    EXPECT_TRUE(LcdIsBlank());
    EXPECT_EQ(g_KeyHints.GetKeyHintK1(), noActions);
    EXPECT_EQ(g_ScreenHints.FindScreenHint(60, 16), "");
}

TEST_F(ScreenElementsTest, MessageStopsAtTheFirstEmptyLineAndShowsAtMostThree) {
    ShowMessage("ONE\n\nTHREE", 0, 0);
    EXPECT_TRUE(TakeText(0, 52, "ONE"));
    EXPECT_TRUE(LcdIsBlank());

    ShowMessage("A\nBB\nCCCC\nDDDDD", 0, 0);
    EXPECT_TRUE(TakeText(0, 58, "A"));
    EXPECT_TRUE(TakeText(1, 55, "BB")); // odd remainder rounds down
    EXPECT_TRUE(TakeText(2, 49, "CCCC"));
    EXPECT_TRUE(LcdIsBlank());
}

// --- reading -------------------------------------------------------------------------------

struct ReadingCase {
    const char* name;
    int16_t kind;
    int16_t quantity;
    int16_t levelType;
    int16_t unitSystem;
    float value; // placed in the slot the reading should show
    bool measured;
    bool showTexts;
    bool inverted;
    const char* digits; // empty: the digit area stays blank
    const char* level;  // null: no level and unit texts
    const char* unit;
};

class DrawReadingTest : public ScreenElementsTest, public ::testing::WithParamInterface<ReadingCase> {};

TEST_P(DrawReadingTest, ShowsTheLevelOfTheChosenSlotWithItsTexts) {
    const ReadingCase& c = GetParam();
    MenuState.LevelType[c.quantity] = c.levelType;
    MenuState.UnitSystem[c.quantity] = c.unitSystem;
    TMeasResults results;
    results.Value.fill(7777.0f); // any other slot would show
    const int slot = c.kind == 1 ? 0 : c.quantity * 3 + c.levelType;
    results.Value[static_cast<std::size_t>(slot)] = c.value;
    // Texts drawn over whatever stood there before: the blanks count too.
    LcdPutText(3, 96, 0, "XXXX");

    DrawReading(results, c.kind, c.quantity, c.inverted, c.measured, c.showTexts);

    EXPECT_EQ(ReadBigText(2, 42, 5), c.digits) << LcdArt();
    for (int page = 2; page <= 3; ++page)
        Erase(page, 42, 96 - 42);
    if (c.level != nullptr) {
        EXPECT_TRUE(TakeText(2, 96, c.level, c.inverted));
        EXPECT_TRUE(TakeText(3, 96, c.unit, c.inverted));
    } else {
        EXPECT_TRUE(TakeText(3, 96, "XXXX"));
    }
    EXPECT_TRUE(LcdIsBlank());
}

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Readings, DrawReadingTest,
    ::testing::Values(
        ReadingCase{"VelocityRmsInInchSystemKeepsTheNumber", 0, 1, 1, 1, 12.5f, true, false, false, "12.50",
                    "RMS ", "in/s"},
        ReadingCase{"AccelerationPeakMetric", 0, 0, 0, 0, 3.14159f, true, false, false, "3.142", "PK  ",
                    "m/s2"},
        ReadingCase{"DisplacementPeakToPeakInchInverted", 0, 2, 2, 1, 250.0f, true, false, true, "250.0",
                    "P-P ", "mil "},
        ReadingCase{"LargestReading", 0, 1, 0, 0, 9999.0f, true, false, false, "9999.", "PK  ", "mm/s"},
        ReadingCase{"Zero", 0, 1, 1, 0, 0.0f, true, false, false, "0.000", "RMS ", "mm/s"},
        ReadingCase{"CrestFactorHasNoUnit", 1, 1, 2, 1, 4.2f, true, false, false, "4.200", " CF", "    "},
        ReadingCase{"CrestFactorInverted", 1, 0, 0, 0, 3.0f, true, false, true, "3.000", " CF", "    "},
        ReadingCase{"NotANumberDrawsNoDigits", 0, 1, 1, 0, NaN, true, false, false, "", "RMS ", "mm/s"},
        ReadingCase{"NegativeDrawsNoDigits", 0, 1, 1, 0, -0.5f, true, false, false, "", "RMS ", "mm/s"},
        ReadingCase{"AboveTheLargestDrawsNoDigits", 0, 0, 1, 0, 10000.0f, true, false, false, "", "RMS ",
                    "m/s2"},
        ReadingCase{"CrestFactorNotANumber", 1, 1, 1, 0, NaN, true, false, false, "", " CF", "    "},
        ReadingCase{"UnmeasuredWithTexts", 0, 2, 0, 0, 1.0f, false, true, false, "-.---", "PK  ", "um  "},
        ReadingCase{"UnmeasuredCrestFactorWithTexts", 1, 1, 1, 0, 1.0f, false, true, true, "-.---", " CF",
                    "    "},
        ReadingCase{"UnmeasuredWithoutTexts", 0, 1, 1, 0, 1.0f, false, false, false, "-.---", nullptr,
                    nullptr}),
    CaseName());

TEST_F(ScreenElementsTest, BigDigitsDrawExactlyFiveCharacters) {
    DrawBigDigits(0, 0, "1.2345678");
    EXPECT_EQ(ReadBigText(0, 0, 10), "1.234");
    for (int page = 0; page <= 1; ++page)
        Erase(page, 0, 54); // 4 x 12 + 6
    EXPECT_TRUE(LcdIsBlank());
}

// --- elements that wait: on a device under virtual time ----------------------------------

struct TRefresh {
    bool Lit;
    uint64_t At;
    bool operator==(const TRefresh&) const = default;
};

std::ostream& operator<<(std::ostream& out, const TRefresh& r) {
    return out << (r.Lit ? "lit" : "dark") << "@" << r.At;
}

// A device whose firmware runs body and then takes every key it is given.
class ElementsOnDeviceTest : public VirtualHostTest {
  protected:
    void SetUp() override {
        SetThreadLanguage(LANG_ENGLISH);
        MenuState = TMenuState{};
        MenuState.Backlight = 1;
        device = std::make_unique<TDevice>([this] { Firmware(); }, &MenuState.Backlight);
        g_Device = device.get();
        device->OnRefresh = [this] {
            refreshes.push_back({device->IsLit(), host.Elapsed()});
            screens.push_back(LcdArt());
        };
        host.RunUntilIdle();
    }
    void TearDown() override {
        device->OnRefresh = nullptr;
        device.reset();
        g_Device = nullptr;
        std::memset(Font1Data, 0, sizeof Font1Data);
        std::memset(Font2Data, 0, sizeof Font2Data);
        LcdClear();
    }

    void Firmware() {
        try {
            bodyStart = host.Elapsed();
            if (body) body();
            bodyEnd = host.Elapsed();
            bodyDone = true;
            for (;;)
                keys.push_back(WaitKey());
        } catch (const Exception&) {
            MenuState.Backlight = 0;
            throw;
        }
    }

    // The firmware starts at once; refreshes from before do not count.
    void PowerOn() {
        ButtonDown(device->Buttons(), KEY_K1);
        host.Advance(500);
        ButtonUp(device->Buttons());
        host.RunUntilIdle();
    }

    void Post(int16_t code) {
        device->PostKeyEvent(code);
        host.RunUntilIdle();
    }

    std::unique_ptr<TDevice> device;
    std::function<void()> body;
    std::vector<TRefresh> refreshes;
    std::vector<std::string> screens;
    std::vector<int16_t> keys;
    uint64_t bodyStart = 0;
    uint64_t bodyEnd = 0;
    bool bodyDone = false;
};

TEST_F(ElementsOnDeviceTest, WaitingMessageShowsThePromptAndClosesOnAnyKeyWhichItConsumes) {
    body = [] { ShowMessage("Route is deleted.", 1, 1); };
    PowerOn();
    ASSERT_FALSE(bodyDone);
    EXPECT_TRUE(TakeText(1, 10, "Route is deleted."));
    EXPECT_TRUE(TakeText(3, 13, "Press button."));
    EXPECT_TRUE(LcdIsBlank());

    Post(KEY_BOTH);
    EXPECT_TRUE(bodyDone);
    EXPECT_THAT(keys, IsEmpty()) << "the closing key is consumed";
    EXPECT_TRUE(LcdIsBlank()) << "the message leaves a blank LCD";
    ASSERT_FALSE(screens.empty());
    EXPECT_EQ(screens.back(), BlankArt()) << "and shows it";
}

TEST_F(ElementsOnDeviceTest, WaitingMessageClosesAtTheBacklightTimeOut) {
    body = [] { ShowMessage("Memory error!!!", 1, 1); };
    PowerOn(); // the backlight timer runs from here for 10 s
    host.Advance(9999);
    EXPECT_FALSE(bodyDone);
    host.Advance(1);
    EXPECT_TRUE(bodyDone);
    EXPECT_EQ(bodyEnd - bodyStart, 10000u);
    EXPECT_FALSE(device->IsLit());
}

TEST_F(ElementsOnDeviceTest, KeyPressedBeforeTheQuestionDoesNotAnswerIt) {
    int16_t answer = -1;
    body = [&] {
        Sleep(100);
        answer = AskYesNo("Delete route?", 1, HINT_ASK_DELETE_ROUTE);
    };
    PowerOn();
    device->PostKeyEvent(KEY_K2 + KEY_SHORT); // arrives while the body is busy
    host.Advance(100);
    EXPECT_FALSE(bodyDone) << "the early key answered";
    Post(KEY_K1 + KEY_SHORT);
    ASSERT_TRUE(bodyDone);
    EXPECT_EQ(answer, 0);
}

struct QuestionCase {
    const char* name;
    std::vector<int16_t> ignored; // posted first: the question stays
    int16_t answerKey;
    int16_t answer;
};

class AskYesNoTest : public ElementsOnDeviceTest, public ::testing::WithParamInterface<QuestionCase> {};

TEST_P(AskYesNoTest, AnswersOnlyToClicksOfOneKey) {
    int16_t answer = -1;
    body = [&] { answer = AskYesNo("Delete route?", 1, HINT_ASK_DELETE_ROUTE); };
    PowerOn();
    EXPECT_TRUE(TakeText(1, 22, "Delete route?"));
    EXPECT_TRUE(TakeText(3, 24, "<- Yes No ->"));
    EXPECT_TRUE(LcdIsBlank());

    for (int16_t code : GetParam().ignored) {
        Post(code);
        EXPECT_FALSE(bodyDone) << "code " << code << " answered";
    }
    Post(GetParam().answerKey);
    ASSERT_TRUE(bodyDone);
    EXPECT_EQ(answer, GetParam().answer);
    EXPECT_THAT(keys, IsEmpty()) << "the answering key is consumed";
    EXPECT_TRUE(LcdIsBlank());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, AskYesNoTest,
    ::testing::Values(QuestionCase{"LeftShortIsYes", {}, KEY_K2 + KEY_SHORT, 1},
                      QuestionCase{"LeftLongIsYes", {}, KEY_K2 + KEY_LONG, 1},
                      QuestionCase{"RightShortIsNo", {}, KEY_K1 + KEY_SHORT, 0},
                      QuestionCase{"RightLongIsNoAfterIgnoredCodes",
                                   {KEY_BOTH, KEY_K1 + KEY_REPEAT, KEY_K2 + KEY_REPEAT, KEY_NONE},
                                   KEY_K1 + KEY_LONG,
                                   0},
                      QuestionCase{"YesAfterHeldRightKey", {KEY_K1 + KEY_REPEAT}, KEY_K2 + KEY_SHORT, 1}),
    CaseName());

TEST_F(ElementsOnDeviceTest, QuestionWaitsThroughTheBacklightTimeOut) {
    int16_t answer = -1;
    body = [&] { answer = AskYesNo("Measure HF spectrum?", 1, HINT_ASK_MEASURE_HF); };
    PowerOn();
    host.Advance(30000);
    EXPECT_FALSE(bodyDone);
    EXPECT_FALSE(device->IsLit());
    Post(KEY_K2 + KEY_LONG);
    EXPECT_EQ(answer, 1);
}

struct QuestionHintCase {
    const char* name;
    LANGID language;
    int hintId;
};

class QuestionHints : public ElementsOnDeviceTest, public ::testing::WithParamInterface<QuestionHintCase> {};

// The balloons name the answer each key gives, in the words of the LCD's
// "<- Yes No ->", and that both keys do nothing.
TEST_P(QuestionHints, NameTheAnswerOfEachKey) {
    const LANGID language = GetParam().language;
    body = [&] {
        SetThreadLanguage(language);
        AskYesNo("Delete route?", 1, GetParam().hintId);
    };
    PowerOn();
    ASSERT_FALSE(bodyDone);
    SetThreadLanguage(language);
    std::istringstream prompt(LoadStr(TEXT_YES_NO));
    std::string arrow, yes, no;
    prompt >> arrow >> yes >> no;
    const std::string nothing = LoadStr(HINT_NO_ACTIONS);
    using ::testing::EndsWith;
    using ::testing::HasSubstr;
    EXPECT_THAT(
        TextLines(g_KeyHints.GetKeyHintK2()),
        ElementsAre(HasSubstr("«" + yes + "»:"), HasSubstr("«" + yes + "»:"), EndsWith(" " + nothing)));
    EXPECT_THAT(TextLines(g_KeyHints.GetKeyHintK1()),
                ElementsAre(HasSubstr("«" + no + "»:"), HasSubstr("«" + no + "»:"), EndsWith(" " + nothing)));
}

INSTANTIATE_TEST_SUITE_P(
    Questions, QuestionHints,
    ::testing::Values(QuestionHintCase{"MeasureAgainEnglish", LANG_ENGLISH, HINT_ASK_MEASURE_AGAIN},
                      QuestionHintCase{"MeasureAgainRussian", LANG_RUSSIAN, HINT_ASK_MEASURE_AGAIN},
                      QuestionHintCase{"MeasureHfEnglish", LANG_ENGLISH, HINT_ASK_MEASURE_HF},
                      QuestionHintCase{"MeasureHfRussian", LANG_RUSSIAN, HINT_ASK_MEASURE_HF},
                      QuestionHintCase{"DeleteRouteEnglish", LANG_ENGLISH, HINT_ASK_DELETE_ROUTE},
                      QuestionHintCase{"DeleteRouteRussian", LANG_RUSSIAN, HINT_ASK_DELETE_ROUTE},
                      QuestionHintCase{"DeleteOffRouteEnglish", LANG_ENGLISH, HINT_ASK_DELETE_OFFROUTE},
                      QuestionHintCase{"DeleteOffRouteRussian", LANG_RUSSIAN, HINT_ASK_DELETE_OFFROUTE}),
    CaseName());

struct FlashCase {
    const char* name;
    int16_t backlight;
    int16_t onMs;
    int16_t offMs;
    std::vector<TRefresh> refreshes; // times from the start of the flash
    uint64_t duration;
    int16_t backlightAfter;
};

class FlashBacklightTest : public ElementsOnDeviceTest, public ::testing::WithParamInterface<FlashCase> {};

TEST_P(FlashBacklightTest, LightsAndDarkensWithTimedPauses) {
    const FlashCase& c = GetParam();
    body = [&] {
        MenuState.Backlight = c.backlight;
        refreshes.clear();
        bodyStart = host.Elapsed();
        FlashBacklight(c.onMs, c.offMs);
    };
    PowerOn();
    host.RunUntilEventWait(1000);
    ASSERT_TRUE(bodyDone);
    std::vector<TRefresh> relative;
    for (const TRefresh& r : refreshes)
        relative.push_back({r.Lit, r.At - bodyStart});
    EXPECT_THAT(relative, ::testing::ElementsAreArray(c.refreshes));
    EXPECT_EQ(bodyEnd - bodyStart, c.duration);
    EXPECT_EQ(MenuState.Backlight, c.backlightAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Phases, FlashBacklightTest,
    ::testing::Values(
        FlashCase{"LitThenDarkWithoutPauseRestoresSilently", 1, 100, -1, {{true, 0}, {false, 100}}, 100, 1},
        FlashCase{"DarkOnly", 1, 0, -1, {{false, 0}}, 0, 1},
        FlashCase{"BothPausesFromDark", 0, 100, 200, {{true, 0}, {false, 100}}, 300, 0},
        FlashCase{"LitOnlyLeavesTheLightOn", 0, 250, 0, {{true, 0}}, 250, 1},
        FlashCase{"NoPauses", 0, -1, -1, {{true, 0}, {false, 0}}, 0, 0},
        FlashCase{"NothingAtAll", 1, 0, 0, {}, 0, 1}),
    CaseName());

} // namespace
