// The WATCH mode: quick measurements that belong to no point. The user
// measures as MEAS or MEAS.E, reads the level in the quantity of choice and
// may open its spectrum; nothing is stored.
#include "device/Deviceioemulation.h"
#include "device/Global.h"
#include "device/KeyCodes.h"
#include "device/Lcd.h"
#include "firmware/Analysis.h"
#include "firmware/Offlinemode.h"
#include "hints/Hints.h"
#include "measure/Computing1.h"
#include "measure/PointConditions.h"
#include "measure/Samplingimp.h"
#include "platform/Host.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <cstddef>

uint8_t WatchMeasured = 0;
int16_t WatchKind = 0;
TMeasResults WatchResults{};
int16_t WatchOverload = 0;

namespace {

constexpr int16_t WATCH_LINES = 4;
constexpr int16_t TITLE_COLUMN = 54;
constexpr int16_t MENU_LAST_COLUMN = 37;

int16_t Wrap(int value, int count) {
    return static_cast<int16_t>((value % count + count) % count);
}

// Moves the selection of the menu, or the quantity on the units selection.
void Step(int delta) {
    TMenuState& m = MenuState;
    if (m.WatchItem == WATCH_UNIT_SELECT)
        m.WatchQuantity = Wrap(m.WatchQuantity + delta, 3);
    else
        m.WatchItem = Wrap(m.WatchItem + delta, WATCH_LINES);
}

// A name of the device's label tables; texts not loaded read as empty.
const std::string& Name(const std::vector<std::string>& names, int index) {
    static const std::string none;
    if (index < 0 || static_cast<std::size_t>(index) >= names.size()) return none;
    return names[static_cast<std::size_t>(index)];
}

std::string QuantityText(int q) {
    return Name(LevelNames, MenuState.LevelType[q]) + " " + Name(UnitNames, MenuState.UnitSystem[q] * 3 + q);
}

} // namespace

std::string UnitSelectHintText(int16_t quantity, int hintId) {
    const std::string format = LoadStr(hintId);
    const std::string fill[2] = {QuantityText(Wrap(quantity + 1, 3)), QuantityText(Wrap(quantity + 2, 3))};
    // Two %s places, next quantity first; the format is data, so it is
    // filled by hand rather than handed to printf.
    std::string text;
    int filled = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == '%' && i + 1 < format.size() && format[i + 1] == 's' && filled < 2) {
            text += fill[filled++];
            ++i;
        } else {
            text += format[i];
        }
    }
    return text;
}

void WatchLoop() {
    WatchMeasured = 0;
    for (;;) {
        DrawWatchScreen();
        switch (WaitKey()) {
        case KEY_K1 + KEY_SHORT:
        case KEY_K1 + KEY_REPEAT:
            Step(+1);
            break;
        case KEY_K1 + KEY_LONG:
            Step(-1);
            break;
        case KEY_K2 + KEY_SHORT:
        case KEY_K2 + KEY_LONG:
            WatchEnter();
            break;
        case KEY_BOTH:
            if (MenuState.WatchItem != WATCH_UNIT_SELECT) return;
            MenuState.WatchItem = WATCH_UNITS;
            break;
        default:
            break; // redraw: a language change or the backlight going out
        }
    }
}

void WatchEnter() {
    switch (MenuState.WatchItem) {
    case WATCH_MEAS:
    case WATCH_MEAS_E: {
        ShowMeasuring();
        const int16_t kind = MenuState.WatchItem == WATCH_MEAS ? KIND_MEAS : KIND_MEAS_E;
        // The measurement belongs to no point: no record is marked, and an
        // overload is only told.
        const int16_t overload = AcquireWaveform(kind, nullptr, true, SOURCE_WATCH);
        if (kind == KIND_MEAS)
            ComputeVibrationResults(WatchResults);
        else
            ComputeCrestFactor(WatchResults);
        WatchKind = kind;
        WatchOverload = overload;
        RecordMeasuredTime(SOURCE_WATCH, InstrumentNow());
        ShowCompleted();
        if (overload != 0) ShowOverload();
        WatchMeasured = 1;
        FlushKey();
        break;
    }
    case WATCH_ANALYS:
        // SampleBuffer still holds the mode's waveform: nothing in the mode
        // acquires or rebuilds a point record in between.
        if (WatchMeasured == 1) SpectrumView(WatchKind);
        break;
    case WATCH_UNITS:
        // A crest factor has no unit to choose.
        if (WatchMeasured == 1 && WatchKind == KIND_MEAS) MenuState.WatchItem = WATCH_UNIT_SELECT;
        break;
    default:
        break;
    }
}

void DrawWatchScreen() {
    const TMenuState& m = MenuState;
    if (m.WatchItem == WATCH_UNIT_SELECT)
        g_KeyHints.SetKeyHintText(UnitSelectHintText(m.WatchQuantity, HINT_UNIT_SELECT));
    else
        g_KeyHints.SetKeyHintText(LoadStr(HINT_WATCH_MEAS + m.WatchItem));
    g_ScreenHints.ClearScreenHints();
    g_ScreenHints.AddScreenHint(54, 0, 87, 8, LoadStr(TIP_OPERATING_MODE));

    LcdClear();
    LcdPutText(0, TITLE_COLUMN, 0, LcdStr(TEXT_WATCH).c_str());
    // Level and unit texts only with a measurement: before it there is no kind.
    const bool measured = WatchMeasured == 1;
    const bool selecting = m.WatchItem == WATCH_UNIT_SELECT;
    DrawReading(WatchResults, WatchKind, m.WatchQuantity, selecting, measured, measured);
    DrawWatchMenu();
    LcdRefresh();
}

void DrawWatchMenu() {
    LcdClearArea(0, 0, 3, MENU_LAST_COLUMN);
    const int labels[WATCH_LINES] = {TEXT_MEAS, TEXT_MEAS_E, TEXT_ANALYS, TEXT_UNITS};
    for (int16_t i = 0; i < WATCH_LINES; ++i)
        LcdPutText(i, 0, MenuState.WatchItem == i ? 1 : 0, LcdStr(labels[i]).c_str());
    LcdLine(MENU_LAST_COLUMN, 0, MENU_LAST_COLUMN, 31, LCD_MODE_SET);
}
