// The recurring pieces of the firmware's screens: the scrolling list, the
// centred message, the yes/no question, the backlight flash and the reading
// with its large digits. Worker thread only.
#include "device/Deviceioemulation.h"
#include "device/Font.h"
#include "device/Global.h"
#include "device/KeyCodes.h"
#include "device/Lcd.h"
#include "firmware/Offlinemode.h"
#include "hints/Hints.h"
#include "platform/Codepage.h"
#include "platform/Host.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <cstddef>
#include <string>

// The instrument shows the metric number in the inch-based system too; only
// the unit text changes.
const float IMPERIAL_FACTOR[3] = {1.0f, 1.0f, 1.0f};

namespace {

constexpr std::size_t MESSAGE_LINE_MAX = 20;
constexpr int16_t GLYPH_WIDTH = 6;
constexpr int16_t BIG_GLYPH_WIDTH = 12;
constexpr int16_t BIG_POINT_WIDTH = 6;
constexpr int BIG_DIGIT_COUNT = 5;

constexpr int16_t PROMPT_PAGE = 3;
constexpr int16_t PRESS_BUTTON_COLUMN = 13;
constexpr int16_t YES_NO_COLUMN = 24;

constexpr int16_t DIGITS_PAGE = 2;
constexpr int16_t DIGITS_COLUMN = 42;
constexpr int16_t LEVEL_PAGE = 2;
constexpr int16_t UNIT_PAGE = 3;
constexpr int16_t TEXTS_COLUMN = 96;
constexpr int CREST_FACTOR_LEVEL = 3;
// Where the crest factor has no unit: blanks over a unit drawn before.
constexpr const char* NO_UNIT = "    ";
constexpr const char* NO_READING = "-.---";

// Steps 1 to 3 shared by the message and the question: the key hints of the
// screen, no explained areas, the LCD holding only the centred lines.
void DrawMessageLines(const std::string& text, int16_t page0, const std::string& keyHints) {
    g_KeyHints.SetKeyHintText(keyHints);
    g_ScreenHints.ClearScreenHints();
    LcdClear();
    std::string lines[3];
    SplitLines(text, lines);
    for (int16_t i = 0; i < 3; ++i) {
        const std::string& line = lines[i];
        if (line.empty()) break;
        const auto width = static_cast<int16_t>(GLYPH_WIDTH * static_cast<int16_t>(line.size()));
        LcdPutText(static_cast<int16_t>(page0 + i), static_cast<int16_t>((LCD_WIDTH - width) / 2), 0,
                   line.c_str());
    }
}

// The device's labels are UTF-8; a missing one (texts not loaded) draws nothing.
void PutLabel(int16_t page, const std::vector<std::string>& names, std::size_t index, bool inverted) {
    if (index >= names.size()) return;
    LcdPutText(page, TEXTS_COLUMN, inverted ? 1 : 0, Utf8ToCp1251(names[index]).c_str());
}

bool IsAnswer(int16_t code, int16_t key) {
    return code == key + KEY_SHORT || code == key + KEY_LONG;
}

// Negative times other than "no pause" cannot be slept; they do not pause either.
void Pause(int16_t ms) {
    if (ms > 0) Sleep(static_cast<uint32_t>(ms));
}

} // namespace

void DrawList(int16_t page0, int16_t column, const std::vector<std::string>& items, int16_t visible,
              int16_t selected) {
    if (items.empty()) return;
    // Once the selection has moved past the first window it stays on the last line.
    const int16_t first = selected < visible ? int16_t{0} : static_cast<int16_t>(selected - visible + 1);
    for (int16_t i = 0; i < visible; ++i) {
        const auto item = static_cast<int16_t>(first + i);
        if (item < 0 || static_cast<std::size_t>(item) >= items.size()) break;
        LcdPutText(static_cast<int16_t>(page0 + i), column, item == selected ? 1 : 0,
                   items[static_cast<std::size_t>(item)].c_str());
    }
    // Lists stand at the top left of the LCD, so the marks' place follows
    // from the item width alone.
    const auto markColumn = static_cast<int16_t>(GLYPH_WIDTH * static_cast<int16_t>(items[0].size()));
    LcdPutGlyph(0, markColumn, 0, GLYPH_ARROW_UP);
    LcdPutGlyph(static_cast<int16_t>(visible - 1), markColumn, 0, GLYPH_ARROW_DOWN);
}

void SplitLines(const std::string& text, std::string (&lines)[3]) {
    for (std::string& line : lines)
        line.clear();
    std::size_t start = 0;
    for (std::string& line : lines) {
        const std::size_t end = text.find('\n', start);
        const std::size_t length = (end == std::string::npos ? text.size() : end) - start;
        // Longer lines would not fit the LCD; the string tables keep within 20.
        line = text.substr(start, length < MESSAGE_LINE_MAX ? length : MESSAGE_LINE_MAX);
        if (end == std::string::npos) break;
        start = end + 1;
    }
}

void ShowMessage(const std::string& text, int16_t page0, int16_t wait) {
    DrawMessageLines(text, page0, wait == 1 ? LoadStr(HINT_CLOSE_MESSAGE) : std::string());
    if (wait == 1) LcdPutText(PROMPT_PAGE, PRESS_BUTTON_COLUMN, 0, LcdStr(TEXT_PRESS_BUTTON).c_str());
    LcdRefresh();
    if (wait != 1) return;
    FlushKey();
    // Any event closes the message, the wake-up of the backlight time-out too.
    WaitKey();
    LcdClear();
    LcdRefresh();
}

int16_t AskYesNo(const std::string& text, int16_t page0, int hintId) {
    DrawMessageLines(text, page0, LoadStr(hintId));
    LcdPutText(PROMPT_PAGE, YES_NO_COLUMN, 0, LcdStr(TEXT_YES_NO).c_str());
    LcdRefresh();
    FlushKey();
    int16_t answer;
    for (;;) {
        // "Yes" stands over the left key (K2), "No" over the right one (K1);
        // held keys, both keys and wake-ups without a key ask again.
        const int16_t code = WaitKey();
        if (IsAnswer(code, KEY_K2)) {
            answer = 1;
            break;
        }
        if (IsAnswer(code, KEY_K1)) {
            answer = 0;
            break;
        }
    }
    LcdClear();
    LcdRefresh();
    return answer;
}

void FlashBacklight(int16_t onMs, int16_t offMs) {
    const int16_t remembered = MenuState.Backlight;
    if (onMs != 0) {
        MenuState.Backlight = 1;
        LcdRefresh();
        Pause(onMs);
    }
    if (offMs != 0) {
        MenuState.Backlight = 0;
        LcdRefresh();
        Pause(offMs);
        // No refresh: the LCD stays dark until the next screen is drawn.
        MenuState.Backlight = remembered;
    }
}

void DrawReading(const TMeasResults& results, int16_t kind, int16_t quantity, bool inverted, bool measured,
                 bool showTexts) {
    if (quantity < 0 || quantity > 2) return;
    const int16_t levelType = MenuState.LevelType[quantity];
    const int16_t unitSystem = MenuState.UnitSystem[quantity];
    if (measured) {
        float value = results.Value[RESULT_CREST];
        if (kind == 0) {
            const int slot = quantity * 3 + levelType;
            value = levelType >= 0 && levelType <= 2 ? results.Value[static_cast<std::size_t>(slot)] : -1.0f;
            if (unitSystem == 1) value = value * IMPERIAL_FACTOR[quantity];
        }
        // Written so that a NaN fails it: such a reading leaves the digits empty.
        if (value >= 0.0f && value <= READING_MAX) {
            char text[BIG_DIGIT_COUNT + 1];
            FormatFixed(value, 4, text);
            DrawBigDigits(DIGITS_PAGE, DIGITS_COLUMN, text);
        }
    } else {
        DrawBigDigits(DIGITS_PAGE, DIGITS_COLUMN, NO_READING);
    }
    if (!measured && !showTexts) return;
    if (kind == 0) {
        PutLabel(LEVEL_PAGE, LevelNames, static_cast<std::size_t>(levelType), inverted);
        PutLabel(UNIT_PAGE, UnitNames, static_cast<std::size_t>(unitSystem * 3 + quantity), inverted);
    } else {
        PutLabel(LEVEL_PAGE, LevelNames, CREST_FACTOR_LEVEL, inverted);
        LcdPutText(UNIT_PAGE, TEXTS_COLUMN, inverted ? 1 : 0, NO_UNIT);
    }
}

void DrawBigDigits(int16_t page, int16_t column, const char* text) {
    for (int i = 0; i < BIG_DIGIT_COUNT && text[i] != '\0'; ++i) {
        const char one[2] = {text[i], '\0'};
        LcdPutBigText(page, column, 0, one);
        // The decimal point is narrow: the next digit covers its right half.
        column = static_cast<int16_t>(column + (text[i] == '.' ? BIG_POINT_WIDTH : BIG_GLYPH_WIDTH));
    }
}
