// The OPTS menu: nine lines for the backlight, the date and time, the
// deletions, the memory erase and the units, with the battery line below.
// Its loop returns to the main loop on both keys. Worker thread only.
#include "device/Deviceioemulation.h"
#include "device/Global.h"
#include "device/KeyCodes.h"
#include "device/Lcd.h"
#include "firmware/Offlinemode.h"
#include "firmware/Setupdatetime.h"
#include "hints/Hints.h"
#include "platform/Codepage.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <string>
#include <vector>

namespace {

enum : int16_t {
    LINE_BACKLIGHT,
    LINE_SET_DATE,
    LINE_DELETE_ROUTE,
    LINE_DELETE_OFFROUTE,
    LINE_ERASE_MEMORY,
    LINE_ACCELERATION,
    LINE_VELOCITY,
    LINE_DISPLACEMENT,
    LINE_FREQUENCY,
};

// Every line is as wide as the templates, so the scroll marks stand at column 114.
constexpr std::size_t LINE_WIDTH = 19;
constexpr std::size_t VALUE_COLUMN = 11;
constexpr std::size_t LEVEL_WIDTH = 3;
constexpr std::size_t UNIT_COLUMN = 15;
constexpr std::size_t UNIT_WIDTH = 4;
constexpr int16_t VISIBLE_LINES = 3;
constexpr int16_t BATTERY_PAGE = 3;
constexpr int16_t BATTERY_COLUMN = 6;

// A template of the string table, cut or padded to the line width so that a
// damaged entry cannot move the marks or be written past its end.
std::string Template(int id) {
    std::string line = LcdStr(id);
    line.resize(LINE_WIDTH, ' ');
    return line;
}

// Overwrites width characters of line from column on with text, padded with
// blanks; the line keeps its length.
void Overwrite(std::string& line, std::size_t column, const std::string& text, std::size_t width) {
    std::string value = text.substr(0, width);
    value.resize(width, ' ');
    line.replace(column, width, value);
}

// A device label in code page 1251, blank when the texts are not loaded.
std::string Label(const std::vector<std::string>& names, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= names.size()) return {};
    return Utf8ToCp1251(names[static_cast<std::size_t>(index)]);
}

std::string QuantityLine(int16_t q) {
    const TMenuState& m = MenuState;
    std::string line = Template(TEXT_ACCELERATION_LINE + q);
    Overwrite(line, VALUE_COLUMN, Label(LevelNames, m.LevelType[q]), LEVEL_WIDTH);
    Overwrite(line, UNIT_COLUMN, Label(UnitNames, m.UnitSystem[q] * 3 + q), UNIT_WIDTH);
    return line;
}

std::vector<std::string> BuildLines() {
    const TMenuState& m = MenuState;
    std::vector<std::string> lines(OPTS_LINE_COUNT);
    lines[LINE_BACKLIGHT] = Template(TEXT_BACKLIGHT_LINE);
    Overwrite(lines[LINE_BACKLIGHT], VALUE_COLUMN, LcdStr(m.Backlight != 0 ? TEXT_ON : TEXT_OFF), UNIT_WIDTH);
    lines[LINE_SET_DATE] = Template(TEXT_SET_DATE_LINE);
    lines[LINE_DELETE_ROUTE] = Template(TEXT_DELETE_ROUTE_LINE);
    lines[LINE_DELETE_OFFROUTE] = Template(TEXT_DELETE_OFFROUTE_LINE);
    lines[LINE_ERASE_MEMORY] = Template(TEXT_ERASE_MEMORY_LINE);
    for (int16_t q = 0; q < 3; ++q)
        lines[static_cast<std::size_t>(LINE_ACCELERATION + q)] = QuantityLine(q);
    lines[LINE_FREQUENCY] = Template(TEXT_FREQUENCY_LINE);
    Overwrite(lines[LINE_FREQUENCY], VALUE_COLUMN, LcdStr(m.FreqUnit == 0 ? TEXT_HZ : TEXT_RPM), UNIT_WIDTH);
    return lines;
}

void RunLine(int16_t line) {
    switch (line) {
    case LINE_BACKLIGHT:
        ToggleBacklight();
        break;
    case LINE_SET_DATE:
        SetDateTime();
        break;
    case LINE_DELETE_ROUTE:
        DeleteRoute();
        break;
    case LINE_DELETE_OFFROUTE:
        DeleteOffRoutePoints();
        break;
    case LINE_ERASE_MEMORY:
        EraseMemory();
        break;
    case LINE_ACCELERATION:
    case LINE_VELOCITY:
    case LINE_DISPLACEMENT:
        NextUnitChoice(static_cast<int16_t>(line - LINE_ACCELERATION));
        break;
    case LINE_FREQUENCY:
        MenuState.FreqUnit = MenuState.FreqUnit == 0 ? int16_t{1} : int16_t{0};
        break;
    default:
        break;
    }
}

} // namespace

void OptionsLoop() {
    int16_t selected = LINE_BACKLIGHT;
    for (;;) {
        DrawOptions(selected);
        switch (WaitKey()) {
        case KEY_K1 + KEY_SHORT:
        case KEY_K1 + KEY_REPEAT:
            selected = static_cast<int16_t>(selected == OPTS_LINE_COUNT - 1 ? 0 : selected + 1);
            break;
        case KEY_K1 + KEY_LONG:
            selected = static_cast<int16_t>(selected == 0 ? OPTS_LINE_COUNT - 1 : selected - 1);
            break;
        case KEY_K2 + KEY_SHORT:
        case KEY_K2 + KEY_LONG:
            RunLine(selected);
            break;
        case KEY_BOTH:
            return;
        default:
            break; // redraw: a language change or the backlight going out
        }
    }
}

void DrawOptions(int16_t selected) {
    const int hint = selected == LINE_BACKLIGHT && MenuState.Backlight == 0
                         ? HINT_OPTS_BACKLIGHT_OFF
                         : HINT_OPTS_BACKLIGHT_ON + selected;
    g_KeyHints.SetKeyHintText(LoadStr(hint));
    g_ScreenHints.ClearScreenHints();
    const std::vector<std::string> lines = BuildLines();
    char battery[40];
    BatteryText(battery, sizeof battery);
    LcdClear();
    DrawList(0, 0, lines, VISIBLE_LINES, selected);
    LcdPutText(BATTERY_PAGE, BATTERY_COLUMN, 0, battery);
    LcdRefresh();
}

void ToggleBacklight() {
    if (MenuState.Backlight != 0) {
        MenuState.Backlight = 0;
        // Dark at once; the redraw that follows keeps it dark.
        FlashBacklight(0, -1);
    } else {
        // The redraw that follows lights it.
        MenuState.Backlight = 1;
    }
}

void NextUnitChoice(int16_t quantity) {
    if (quantity < 0 || quantity > 2) return;
    int16_t& level = MenuState.LevelType[quantity];
    int16_t& system = MenuState.UnitSystem[quantity];
    // Past P-P the other unit system begins again at PK.
    if (level == 2) system = system == 0 ? int16_t{1} : int16_t{0};
    level = level >= 2 ? int16_t{0} : static_cast<int16_t>(level + 1);
}
