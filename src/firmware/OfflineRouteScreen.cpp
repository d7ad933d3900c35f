// The route screen (machine, point, mode and reading) and the main menu drawn
// over its left part, with their key hints and explained LCD areas.
#include "device/Lcd.h"
#include "firmware/Offlinemode.h"
#include "hints/Hints.h"
#include "platform/Codepage.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <cstdio>

namespace {

void SetRouteScreenHints(bool offRoute) {
    const TMenuState& m = MenuState;
    const bool analys = m.MeasMode == 2;
    if (m.MenuItem == ITEM_MACHINES)
        g_KeyHints.SetKeyHintText(LoadStr(analys ? HINT_MACHINES_ANALYS : HINT_MACHINES));
    else if (m.MenuItem == ITEM_POINTS)
        g_KeyHints.SetKeyHintText(
            LoadStr(analys ? (offRoute ? HINT_OFFROUTE_POINTS_ANALYS : HINT_ROUTE_POINTS_ANALYS)
                           : (offRoute ? HINT_OFFROUTE_POINTS : HINT_ROUTE_POINTS)));
    else if (m.MenuItem == ITEM_UNIT_SELECT)
        g_KeyHints.SetKeyHintText(UnitSelectHintText(m.Quantity, HINT_UNIT_SELECT_MAIN));

    g_ScreenHints.ClearScreenHints();
    if (m.MenuItem != ITEM_MACHINES && m.MenuItem != ITEM_POINTS) return;
    if (offRoute) {
        g_ScreenHints.AddScreenHint(0, 0, 121, 8, LoadStr(TIP_OFFROUTE_POINTS));
        g_ScreenHints.AddScreenHint(0, 8, 121, 16, LoadStr(TIP_OFFROUTE_POINT));
    } else {
        g_ScreenHints.AddScreenHint(0, 0, 121, 8, LoadStr(TIP_MACHINE_NAME));
        g_ScreenHints.AddScreenHint(0, 8, 18, 16, LoadStr(TIP_ROUTE_NUMBER));
        g_ScreenHints.AddScreenHint(24, 8, 36, 16, LoadStr(TIP_MACHINE_POINT_NUMBER));
        const int o = CurrentPoint.Orientation;
        const std::string word = o >= 1 && o <= 3 ? LoadStr(TIP_HORIZONTAL + o - 1) : std::string();
        g_ScreenHints.AddScreenHint(36, 8, 42, 16, LoadStr(TIP_ORIENTATION) + " (" + word + ")");
        g_ScreenHints.AddScreenHint(48, 8, 121, 16, LoadStr(TIP_POINT_NAME));
    }
    g_ScreenHints.AddScreenHint(0, 24, 35, 32, LoadStr(TIP_OPERATING_MODE));
}

std::string Padded20(const char* text) {
    char line[32];
    std::snprintf(line, sizeof line, "%-20s", text);
    return line;
}

} // namespace

void DrawRouteScreen() {
    const TMenuState& m = MenuState;
    TRouteCounts counts;
    RouteGetCounts(counts);
    const bool offRoute = m.SelectedPoint > counts[1];
    const bool memoryError = m.MemStatus == MEM_ERROR;
    // The store is the authority: the record is rebuilt at every redraw.
    if (!memoryError) RouteGetPoint(m.SelectedPoint, CurrentPoint);
    SetRouteScreenHints(offRoute);
    LcdClear();

    if (memoryError) {
        LcdPutText(0, 48, 0, "* Memory error! *");
        LcdPutText(1, 48, 0, "************");
    } else {
        const TPointRecord& p = CurrentPoint;
        const bool measured = p.Status == REC_MEASURED;
        const bool kindFixed = (p.Flags & PS_OFFROUTE) == 0;
        LcdPutText(0, 0, m.MenuItem == ITEM_MACHINES, Padded20(p.MachineName).c_str());
        LcdPutText(1, 0, m.MenuItem == ITEM_POINTS, Padded20(p.Label).c_str());
        // Outside ANALYS the word names the kind the reading is of: the
        // route's, or the one a measured off-route point was taken in, so the
        // word and the reading beside it always agree.
        const int16_t word = (kindFixed || measured) && m.MeasMode < 2
                                 ? static_cast<int16_t>(p.Flags & PS_KIND_E)
                                 : m.MeasMode;
        // The mode words MEAS, MEAS.E and ANALYS follow one another.
        LcdPutText(3, 0, 0, LcdStr(TEXT_MEAS + word).c_str());
        LcdLine(36, 0, 36, 9, LCD_MODE_SET);
        LcdLine(0, 9, 36, 9, LCD_MODE_SET);

        int16_t kind = 0;
        bool showTexts = false;
        if (kindFixed || measured) {
            kind = static_cast<int16_t>(p.Flags & PS_KIND_E);
            showTexts = true;
        } else if (m.MeasMode < 2) {
            kind = m.MeasMode;
            showTexts = true;
        }
        DrawReading(p.Results, kind, m.Quantity, m.MenuItem == ITEM_UNIT_SELECT, measured, showTexts);
    }
    if (m.MenuItem <= ITEM_HF_SP) DrawMainMenu();
    LcdRefresh();
}

void DrawMainMenu() {
    g_KeyHints.SetKeyHintText(LoadStr(HINT_MENU_MEAS + MenuState.MenuItem));
    g_ScreenHints.ClearScreenHints();
    LcdClearArea(0, 0, 3, 43);
    const std::vector<std::string> items = {LcdStr(TEXT_MEAS),       LcdStr(TEXT_MEAS_E), LcdStr(TEXT_ANALYS),
                                            LcdStr(TEXT_WATCH),      LcdStr(TEXT_UNITS),  LcdStr(TEXT_OPTS),
                                            LcdStr(TEXT_HF_SPECTRUM)};
    DrawList(0, 0, items, 4, MenuState.MenuItem);
    LcdLine(42, 0, 42, 31, LCD_MODE_SET);
}
