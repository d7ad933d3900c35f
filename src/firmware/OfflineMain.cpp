// The firmware entry, the power cycle of the menu state and the main loop.
#include "device/Deviceioemulation.h"
#include "device/Global.h"
#include "device/KeyCodes.h"
#include "device/Lcd.h"
#include "firmware/Offlinemode.h"
#include "platform/Exception.h"
#include "resources/StringIds.h"

#include <cstdio>
#include <cstring>

namespace {

// The instrument has no battery here: a fixed reading gives 90 %.
constexpr int32_t BATTERY_RAW = 14580000;
constexpr int POWER_ON_SCREEN_MS = 1500;
constexpr int16_t ACTIVE_MENU_WATCH = 3;

template <class T> bool InRange(T value, int lo, int hi) {
    return value >= lo && value <= hi;
}

int16_t Wrap(int value, int count) {
    return static_cast<int16_t>((value % count + count) % count);
}

bool IsFixedKind(const TPointRecord& point) {
    return (point.Flags & PS_OFFROUTE) == 0 || point.Status == REC_MEASURED;
}

} // namespace

void ResetMenuState() {
    MenuState = TMenuState{};
    MenuState.MenuItem = ITEM_OPTS;
    MenuState.Quantity = QUANTITY_VELOCITY;
    MenuState.SelectedPoint = OFFROUTE_FIRST_INDEX;
    MenuState.WatchQuantity = QUANTITY_VELOCITY;
    MenuState.Backlight = 1;
    for (int16_t& level : MenuState.LevelType)
        level = 1;
}

bool ValidateMenuState() {
    const TMenuState& m = MenuState;
    bool ok = InRange(m.InWatch, 0, 1) && InRange(m.MenuItem, 0, 9) && InRange(m.MeasMode, 0, 2) &&
              InRange(m.Quantity, 0, 2) && InRange(m.SelectedPoint, 1, OFFROUTE_FIRST_INDEX) &&
              InRange(m.WatchItem, 0, 4) && InRange(m.WatchQuantity, 0, 2) && InRange(m.Backlight, 0, 1) &&
              InRange(m.FreqUnit, 0, 1);
    for (int q = 0; q < 3; ++q)
        ok = ok && InRange(m.LevelType[q], 0, 2) && InRange(m.UnitSystem[q], 0, 1);
    return ok;
}

void BatteryText(char* buffer, std::size_t size) {
    int32_t percent = ((BATTERY_RAW / 810000) >> 1) * 10;
    if (BATTERY_RAW < 0 || percent > 100) percent = 0;
    const std::string format = LcdStr(TEXT_BATTERY_CHARGE);
    // The format is build-time data, but it must hold exactly one %d.
    if (format.find("%d") != std::string::npos && format.find("%d") == format.rfind("%d"))
        std::snprintf(buffer, size, format.c_str(), static_cast<int>(percent));
    else
        std::snprintf(buffer, size, "%d%%", static_cast<int>(percent));
}

void PowerOnInit() {
    MenuState = TMenuState{};
    RouteLoad(SavedState.RoutePoints);
    const std::vector<uint16_t> unroute = SavedState.UnroutePoints;
    OffRouteLoad(unroute);
    MenuState.Quantity = SavedState.MeasureUnit;

    const int16_t active = SavedState.ActiveMenu;
    if (active >= 0 && active <= 2) {
        MenuState.MenuItem = ITEM_MACHINES;
        MenuState.MeasMode = active;
    } else if (active == ACTIVE_MENU_WATCH) {
        MenuState.InWatch = 1;
        MenuState.MenuItem = ITEM_WATCH;
    }

    // Restored only when it named a point of the demo route or an entry of
    // the saved off-route list; anything else starts on the first point.
    const int16_t saved = SavedState.SelectedPoint;
    const bool routePoint = saved >= 1 && saved <= ROUTE_POINT_COUNT;
    const bool offRoutePoint =
        saved <= OFFROUTE_FIRST_INDEX && OFFROUTE_FIRST_INDEX - saved < static_cast<int>(unroute.size());
    MenuState.SelectedPoint = routePoint || offRoutePoint ? saved : int16_t{1};

    if (MenuState.MenuItem == ITEM_MACHINES && SavedState.IsPointSelectMenu != 0)
        MenuState.MenuItem = ITEM_POINTS;
    MenuState.Backlight = SavedState.BacklightOn;
    MenuState.LevelType[0] = SavedState.AccelPK;
    MenuState.LevelType[1] = SavedState.VelocityRMS;
    MenuState.LevelType[2] = SavedState.DisplPP;
    MenuState.FreqUnit = SavedState.FrequencyHz;
    SetMeasurementDefaults();
    if (!ValidateMenuState()) ResetMenuState();

    TRouteCounts counts;
    RouteGetCounts(counts);
    const int16_t slot = static_cast<int16_t>(OFFROUTE_FIRST_INDEX - counts[0]);
    if (MenuState.SelectedPoint > counts[1]) {
        if (MenuState.SelectedPoint == slot) {
            OffRouteAddSlot();
        } else if (MenuState.SelectedPoint < slot) {
            // An off-route position the loaded store does not hold (the saved
            // list had unmeasured words before measured ones): start on the
            // first route point, which the freshly loaded route always has.
            MenuState.SelectedPoint = 1;
        }
    }

    LcdClear();
    LcdPutText(1, 40, 0, "ORX-700");
    char battery[40];
    BatteryText(battery, sizeof battery);
    LcdPutText(3, std::strlen(battery) <= 17 ? 12 : 6, 0, battery);
    LcdRefresh();
    WaitKeyTimeout(POWER_ON_SCREEN_MS);
}

void CaptureDeviceState(TDeviceState& into) {
    std::span<uint16_t, ROUTE_POINT_COUNT> route(into.RoutePoints);
    RouteSave(route);
    OffRouteSave(into.UnroutePoints);
    into.MeasureUnit = MenuState.Quantity;
    into.ActiveMenu = MenuState.InWatch == 1 ? ACTIVE_MENU_WATCH : MenuState.MeasMode;
    into.SelectedPoint = MenuState.SelectedPoint;
    into.IsPointSelectMenu = MenuState.MenuItem == ITEM_POINTS ? 1 : 0;
    into.BacklightOn = MenuState.Backlight != 0 ? 1 : 0;
    into.AccelPK = MenuState.LevelType[0];
    into.VelocityRMS = MenuState.LevelType[1];
    into.DisplPP = MenuState.LevelType[2];
    into.FrequencyHz = MenuState.FreqUnit;
}

void SaveDeviceState() {
    CaptureDeviceState(SavedState);
}

void FirmwareMain() {
    try {
        FlushKey();
        PowerOnInit();
        for (;;) {
            if (MenuState.InWatch == 0) {
                MainMenuLoop();
                MenuState.InWatch = 1;
            } else {
                WatchLoop();
                MenuState.WatchItem = 0;
                MenuState.InWatch = 0;
            }
        }
    } catch (const Exception& e) {
        if (e.Message().empty()) SaveDeviceState();
        MenuState.Backlight = 0;
        throw Exception(e.Message());
    }
}

void MainMenuLoop() {
    for (;;) {
        DrawRouteScreen();
        switch (WaitKey()) {
        case KEY_K1 + KEY_SHORT:
        case KEY_K1 + KEY_REPEAT:
            MenuNext();
            break;
        case KEY_K1 + KEY_LONG:
            MenuPrev();
            break;
        case KEY_K2 + KEY_SHORT:
        case KEY_K2 + KEY_LONG:
            if (MenuState.MenuItem == ITEM_WATCH) return;
            MenuEnter();
            break;
        case KEY_BOTH:
            MenuBack();
            break;
        default:
            break; // redraw: a language change or the backlight going out
        }
    }
}

void MenuNext() {
    TMenuState& m = MenuState;
    if (m.MenuItem <= ITEM_HF_SP)
        m.MenuItem = Wrap(m.MenuItem + 1, 7);
    else if (m.MenuItem == ITEM_MACHINES)
        SelectMachine(SELECT_NEXT);
    else if (m.MenuItem == ITEM_POINTS)
        SelectPoint(SELECT_NEXT);
    else
        m.Quantity = Wrap(m.Quantity + 1, 3);
}

void MenuPrev() {
    TMenuState& m = MenuState;
    if (m.MenuItem <= ITEM_HF_SP)
        m.MenuItem = Wrap(m.MenuItem - 1, 7);
    else if (m.MenuItem == ITEM_MACHINES)
        SelectMachine(SELECT_PREVIOUS);
    else if (m.MenuItem == ITEM_POINTS)
        SelectPoint(SELECT_PREVIOUS);
    else
        m.Quantity = Wrap(m.Quantity - 1, 3);
}

void MenuEnter() {
    TMenuState& m = MenuState;
    const bool memoryError = m.MemStatus == MEM_ERROR;
    switch (m.MenuItem) {
    case ITEM_MEAS:
    case ITEM_MEAS_E:
    case ITEM_ANALYS:
        if (!memoryError) {
            m.MeasMode = m.MenuItem;
            m.MenuItem = ITEM_MACHINES;
        }
        break;
    case ITEM_UNITS:
        if (!memoryError) {
            const bool unitsApply =
                IsFixedKind(CurrentPoint) ? (CurrentPoint.Flags & PS_KIND_E) == 0 : m.MeasMode == 0;
            if (unitsApply) m.MenuItem = ITEM_UNIT_SELECT;
        }
        break;
    case ITEM_OPTS:
        OptionsLoop();
        break;
    case ITEM_HF_SP:
        MeasureHfSpectrum();
        break;
    case ITEM_MACHINES:
        if (!memoryError) m.MenuItem = ITEM_POINTS;
        break;
    case ITEM_POINTS:
        if (!memoryError) {
            if (m.MeasMode == 2)
                AnalysePoint();
            else
                MeasurePoint();
        }
        break;
    default:
        break;
    }
}

void MenuBack() {
    TMenuState& m = MenuState;
    if (m.MenuItem == ITEM_MACHINES)
        m.MenuItem = m.MeasMode;
    else if (m.MenuItem == ITEM_POINTS)
        m.MenuItem = ITEM_MACHINES;
    else if (m.MenuItem == ITEM_UNIT_SELECT)
        m.MenuItem = ITEM_UNITS;
}
