// The spectrum view's entry, its mode menu and the key loop of each mode.
// Worker thread only; power-off leaves from any key wait without clean-up.
#include "firmware/Analysis.h"

#include "device/Deviceioemulation.h"
#include "device/KeyCodes.h"
#include "hints/Hints.h"
#include "measure/Computing1.h"
#include "measure/Samplingimp.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <limits>

TSpectrumViewState ViewState;

namespace {

constexpr int16_t MODE_COUNT = 4;
constexpr int16_t LEAVE_VIEW = -1;
constexpr float PERCENT = 100.0f;

constexpr int16_t K1_SHORT = KEY_K1 + KEY_SHORT;
constexpr int16_t K1_LONG = KEY_K1 + KEY_LONG;
constexpr int16_t K1_HELD = KEY_K1 + KEY_REPEAT;
constexpr int16_t K2_SHORT = KEY_K2 + KEY_SHORT;
constexpr int16_t K2_LONG = KEY_K2 + KEY_LONG;
constexpr int16_t K2_HELD = KEY_K2 + KEY_REPEAT;

bool IsK1(int16_t key) {
    return key == K1_SHORT || key == K1_LONG || key == K1_HELD;
}
bool IsK2(int16_t key) {
    return key == K2_SHORT || key == K2_LONG || key == K2_HELD;
}

void Redraw() {
    ViewDrawGraph();
    ViewDrawCursor();
    ViewDrawReadouts();
    LcdRefresh();
}

// A key that moves nothing repeats the redraw decision of the move before.
void CursorLoop() {
    bool moved = true;
    for (int16_t key = WaitKey(); key != KEY_BOTH; key = WaitKey()) {
        if (IsK1(key))
            moved = ViewCursorRight();
        else if (IsK2(key))
            moved = ViewCursorLeft();
        if (moved) Redraw();
    }
}

void ScaleLoop(void (*zoomIn)(), void (*zoomOut)()) {
    for (int16_t key = WaitKey(); key != KEY_BOTH; key = WaitKey()) {
        if (IsK1(key))
            zoomIn();
        else if (IsK2(key))
            zoomOut();
        Redraw();
    }
}

void UnitsLoop() {
    TSpectrumViewState& v = ViewState;
    for (int16_t key = WaitKey(); key != KEY_BOTH; key = WaitKey()) {
        if (IsK1(key))
            v.YUnit = static_cast<uint8_t>((v.YUnit + 1) % 3);
        else if (IsK2(key))
            v.YUnit = static_cast<uint8_t>((v.YUnit + 2) % 3);
        ViewApplyUnit();
    }
}

void RunModeLoop(int16_t mode) {
    switch (mode) {
    case VIEW_MODE_CURSOR:
        CursorLoop();
        break;
    case VIEW_MODE_X_SCALE:
        ScaleLoop(ViewZoomInX, ViewZoomOutX);
        break;
    case VIEW_MODE_Y_SCALE:
        ScaleLoop(ViewZoomInY, ViewZoomOutY);
        break;
    default:
        UnitsLoop();
        break;
    }
}

// The largest of the displayed lines; 0 when every one is 0.
int16_t LargestLine() {
    int16_t m = 0;
    for (int k = VIEW_FIRST_LINE; k <= VIEW_LAST_LINE; ++k)
        if (SpecRe[k] > m) m = SpecRe[k];
    return m;
}

void EnterView(int16_t kind) {
    TSpectrumViewState& v = ViewState;
    v = TSpectrumViewState{};
    v.Kind = kind;
    ComputeSpectrum(VIEW_FIRST_LINE, VIEW_LAST_LINE, true, kind, v.BaseScale);
    v.Scale = v.BaseScale;
    if (kind != KIND_MEAS) {
        // Percent of the largest line. A constant signal has no line at all:
        // its read-outs then show the overflow marks instead of a number.
        const int16_t m = LargestLine();
        v.Scale = m > 0 ? PERCENT / static_cast<float>(m) : std::numeric_limits<float>::quiet_NaN();
    }
    if (kind == KIND_MEAS_E) {
        v.DcLevel = SampleMean();
        if (!(v.DcLevel >= 0.0f)) v.DcLevel = 0.0f;
    }
    v.Lines = SpecRe + VIEW_FIRST_LINE;
    v.YUnit = VIEW_UNIT_VELOCITY;
    v.Mode = VIEW_MODE_CURSOR;
    v.XZoom = X_ZOOM_WIDEST;
    v.Cursor = 0;
    v.XFirst = 0;
}

} // namespace

void SpectrumView(int16_t kind) {
    EnterView(kind);
    ViewAutoScaleY();
    ViewDrawGraph();
    ViewDrawCursor();
    for (;;) {
        ViewState.Mode = ViewModeMenu(ViewState.Mode);
        if (ViewState.Mode == LEAVE_VIEW) return;
        ViewDrawReadouts();
        LcdRefresh();
        RunModeLoop(ViewState.Mode);
    }
}

int16_t ViewModeMenu(int16_t mode) {
    for (;;) {
        g_KeyHints.SetKeyHintText(LoadStr(HINT_SPECTRUM_MENU_CURSOR + mode));
        g_ScreenHints.ClearScreenHints();
        LcdClearArea(0, 0, LCD_PAGES - 1, TEXT_LAST_COLUMN);
        for (int16_t i = 0; i < MODE_COUNT; ++i)
            LcdPutText(i, 0, i == mode ? 1 : 0, ViewModeName(i).c_str());
        LcdRefresh();

        const int16_t key = WaitKey();
        if (key == K1_SHORT || key == K1_HELD) {
            mode = static_cast<int16_t>((mode + 1) % MODE_COUNT);
        } else if (key == K1_LONG) {
            mode = static_cast<int16_t>((mode + MODE_COUNT - 1) % MODE_COUNT);
        } else if (key == K2_SHORT || key == K2_LONG) {
            // Only the velocity spectrum has other units to show.
            if (ViewState.Kind == KIND_MEAS || mode != VIEW_MODE_UNITS) return mode;
        } else if (key == KEY_BOTH) {
            return LEAVE_VIEW;
        }
    }
}
