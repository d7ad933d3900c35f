// The spectrum view's plot, its cursor mark and the read-outs of the cursor
// line: frequency, value and the RMS of the five lines around it.
#include "firmware/Analysis.h"

#include "device/Global.h"
#include "firmware/Offlinemode.h"
#include "hints/Hints.h"
#include "measure/Computing1.h"
#include "measure/Samplingimp.h"
#include "platform/Codepage.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

namespace {

constexpr int16_t MODE_PAGE = 0;
constexpr int16_t UNIT_PAGE = 1;
constexpr int16_t FREQUENCY_PAGE = 2;
constexpr int16_t VALUE_PAGE = 3;
constexpr int16_t BAND_PAGE = 0;
constexpr int16_t BAND_COLUMN = 92;
constexpr int ROW_HEIGHT = 8;

// Number formats of the read-outs: a one-letter prefix and four places
// (the band value five); the marks stand for values too large to show.
constexpr const char* FREQUENCY_PREFIX = "X";
constexpr const char* KILO_FREQUENCY_PREFIX = "K";
constexpr const char* VALUE_PREFIX = "Y";
constexpr const char* VALUE_OVERFLOW = "Y****";
constexpr const char* BAND_OVERFLOW = "*****";
constexpr short READOUT_PLACES = 3;
constexpr short BAND_PLACES = 4;
constexpr float READOUT_MAX = 9999.0f;
constexpr float KILO_FROM = 9999.5f;

constexpr float HZ_PER_LINE_MILLI = 0.0003125f; // line spacing / 1000
constexpr float RPM_PER_HZ = 60.0f;
constexpr float HF_LINE_FACTOR = 25.0f;
constexpr float SQRT2 = 1.4142136f;
constexpr float TWO_SQRT2 = 2.8284271f;
constexpr float PERCENT = 100.0f;
constexpr int16_t LEVEL_PK = 0;
constexpr int16_t LEVEL_PP = 2;
constexpr int16_t BAND_HALF_WIDTH = 2;
constexpr int16_t SMALLEST_HEIGHT = -32768;
constexpr int16_t LARGEST_HEIGHT = 32767;

// The quantity shown for each YUnit: velocity, displacement, acceleration.
constexpr int16_t QUANTITY_OF_UNIT[3] = {QUANTITY_VELOCITY, QUANTITY_DISPLACEMENT, QUANTITY_ACCELERATION};

int16_t ShownQuantity() {
    return QUANTITY_OF_UNIT[ViewState.YUnit % 3];
}

bool InchBased(int16_t q) {
    return MenuState.UnitSystem[q] == 1;
}

std::string Formatted(const char* prefix, float value, short places) {
    char digits[8];
    FormatFixed(value, places, digits);
    return std::string(prefix) + digits;
}

std::string UnitText() {
    if (ViewState.Kind != KIND_MEAS) return LcdStr(TEXT_PERCENT_OF_MAX);
    const int16_t q = ShownQuantity();
    const auto index = static_cast<std::size_t>(MenuState.UnitSystem[q] * 3 + q);
    return index < UnitNames.size() ? Utf8ToCp1251(UnitNames[index]) : std::string();
}

void VerticalLine(int16_t x, int16_t from, int16_t to) {
    LcdClippedLine(x, from, x, to, LCD_MODE_SET, GRAPH_CLIP);
}

// One column per block; a short vertical connector where the next block
// does not overlap the previous one keeps the trace in one piece.
void DrawBlocks() {
    TSpectrumViewState& v = ViewState;
    const int16_t n = static_cast<int16_t>(VIEW_LAST_INDEX / v.XZoom);
    int16_t prevMin = SMALLEST_HEIGHT; // the first column gets no connector
    int16_t prevMax = LARGEST_HEIGHT;
    int16_t b = v.XFirst;
    for (int16_t x = GRAPH_LEFT; x <= GRAPH_RIGHT && b <= n; ++x, ++b) {
        int16_t mn;
        int16_t mx;
        BlockMinMax(b, mn, mx);
        const int16_t low = ViewHeight(mn);
        const int16_t high = ViewHeight(mx);
        VerticalLine(x, low, high);
        if (prevMin > high)
            VerticalLine(static_cast<int16_t>(x - 1), prevMin, high);
        else if (prevMax < low)
            VerticalLine(x, prevMax, low);
        prevMin = low;
        prevMax = high;
    }
    v.XLast = static_cast<int16_t>(b - 1);
}

// Each line p pixels right of the one before, joined by straight lines.
void DrawLines() {
    TSpectrumViewState& v = ViewState;
    const auto p = static_cast<int16_t>(-v.XZoom);
    int16_t prev = ViewHeight(v.Lines[v.XFirst]);
    int16_t i = static_cast<int16_t>(v.XFirst + 1);
    int16_t x = GRAPH_LEFT;
    while (x <= GRAPH_RIGHT && i < VIEW_LINE_COUNT) {
        const int16_t h = ViewHeight(v.Lines[i]);
        LcdClippedLine(x, prev, static_cast<int16_t>(x + p), h, LCD_MODE_SET, GRAPH_CLIP);
        x = static_cast<int16_t>(x + p);
        prev = h;
        ++i;
    }
    // The line that ended past the right edge was not shown.
    v.XLast = static_cast<int16_t>(x > GRAPH_RIGHT ? i - 2 : i - 1);
}

} // namespace

std::string ViewModeName(int16_t mode) {
    return LcdStr(mode == VIEW_MODE_UNITS ? TEXT_UNITS_NARROW : TEXT_CURSOR_MODE + mode);
}

int16_t ViewHeight(int16_t value) {
    return static_cast<int16_t>((int32_t{ViewState.YScale} * value) >> 15);
}

int16_t PeakLineOf(int16_t start, int16_t count) {
    const int16_t* lines = ViewState.Lines;
    int16_t best = start;
    for (int16_t k = static_cast<int16_t>(start + 1); k < start + count; ++k)
        if (lines[k] > lines[best]) best = k;
    return best;
}

void BlockMinMax(int16_t block, int16_t& minValue, int16_t& maxValue) {
    const int16_t* lines = ViewState.Lines;
    // Block n, the last, may hold only line 3168 or fall short of z lines.
    const int start = std::min(block * ViewState.XZoom, int{VIEW_LAST_INDEX});
    const int end = std::min(start + ViewState.XZoom, int{VIEW_LAST_INDEX});
    minValue = maxValue = lines[start];
    for (int k = start + 1; k < end; ++k) {
        minValue = std::min(minValue, lines[k]);
        maxValue = std::max(maxValue, lines[k]);
    }
}

int16_t ViewCursorLine() {
    const TSpectrumViewState& v = ViewState;
    if (v.XZoom < 0) return v.Cursor;
    const int start = v.Cursor * v.XZoom;
    return PeakLineOf(static_cast<int16_t>(start),
                      static_cast<int16_t>(std::min(int{v.XZoom}, VIEW_LINE_COUNT - start)));
}

void ViewDrawGraph() {
    LcdClearArea(0, PLOT_FIRST_COLUMN, LCD_PAGES - 1, GRAPH_RIGHT);
    LcdLine(GRAPH_LEFT, 0, GRAPH_RIGHT, 0, LCD_MODE_SET);
    LcdLine(GRAPH_LEFT, 0, GRAPH_LEFT, GRAPH_TOP, LCD_MODE_SET);
    if (ViewState.XZoom > 0)
        DrawBlocks();
    else
        DrawLines();
}

// An X drawn by inverting pixels; the plot is always freshly drawn below it.
void ViewDrawCursor() {
    const TSpectrumViewState& v = ViewState;
    int16_t x;
    int16_t y;
    if (v.XZoom < 0) {
        x = static_cast<int16_t>(GRAPH_LEFT - v.XZoom * (v.Cursor - v.XFirst));
        y = ViewHeight(v.Lines[v.Cursor]);
    } else {
        int16_t mn;
        int16_t mx;
        BlockMinMax(v.Cursor, mn, mx);
        x = static_cast<int16_t>(GRAPH_LEFT + v.Cursor - v.XFirst);
        y = ViewHeight(mx);
    }
    y = std::min(y, GRAPH_TOP);
    const auto left = static_cast<int16_t>(x - 2);
    const auto right = static_cast<int16_t>(x + 2);
    const auto below = static_cast<int16_t>(y - 2);
    const auto above = static_cast<int16_t>(y + 2);
    LcdClippedLine(left, above, right, below, LCD_MODE_XOR, GRAPH_CLIP);
    LcdClippedLine(left, below, right, above, LCD_MODE_XOR, GRAPH_CLIP);
}

std::string ViewFrequencyText(int16_t g) {
    float f = static_cast<float>((g + VIEW_FIRST_LINE) * 1000) * HZ_PER_LINE_MILLI;
    if (MenuState.FreqUnit == 1) f = f * RPM_PER_HZ;
    if (ViewState.Kind == KIND_HF) f = f * HF_LINE_FACTOR;
    if (f >= KILO_FROM) return Formatted(KILO_FREQUENCY_PREFIX, f * 0.001f, READOUT_PLACES);
    return Formatted(FREQUENCY_PREFIX, f, READOUT_PLACES);
}

std::string ViewValueText(int16_t g) {
    const TSpectrumViewState& v = ViewState;
    float value = static_cast<float>(v.Lines[g]) * v.Scale;
    const int16_t q = ShownQuantity();
    if (v.Kind == KIND_MEAS && InchBased(q)) value = value * IMPERIAL_FACTOR[q];
    // Not a number when the percent scale has no finite value.
    if (!(value <= READOUT_MAX)) return VALUE_OVERFLOW;
    return Formatted(VALUE_PREFIX, value, READOUT_PLACES);
}

float BandValue(int16_t g) {
    const TSpectrumViewState& v = ViewState;
    const auto first = static_cast<int16_t>(g - BAND_HALF_WIDTH);
    const auto last = static_cast<int16_t>(g + BAND_HALF_WIDTH);
    if (v.Kind == KIND_MEAS) {
        const int16_t q = ShownQuantity();
        float b = BandRms(v.Lines, first, last, v.Scale);
        if (MenuState.LevelType[q] == LEVEL_PK)
            b = b * SQRT2;
        else if (MenuState.LevelType[q] == LEVEL_PP)
            b = b * TWO_SQRT2;
        if (InchBased(q)) b = b * IMPERIAL_FACTOR[q];
        return b;
    }
    // Percent of the DC level: without one, or without any line at all (a
    // constant signal), there is no value to show.
    if (!(v.DcLevel > 0.0f) || std::isnan(v.Scale)) return std::numeric_limits<float>::quiet_NaN();
    return BandRms(v.Lines, first, last, v.BaseScale) * SQRT2 * PERCENT / v.DcLevel;
}

std::string ViewBandText(int16_t g) {
    if (ViewState.Kind == KIND_HF || g < BAND_HALF_WIDTH || g > VIEW_LAST_INDEX - BAND_HALF_WIDTH) return {};
    const float b = BandValue(g);
    if (!(b >= 0.0f) || b > READOUT_MAX) return BAND_OVERFLOW;
    char digits[8];
    FormatFixed(b, BAND_PLACES, digits);
    return digits;
}

void ViewDrawReadouts() {
    const TSpectrumViewState& v = ViewState;
    g_KeyHints.SetKeyHintText(
        LoadStr(v.Mode == VIEW_MODE_CURSOR ? HINT_SPECTRUM_CURSOR : HINT_SPECTRUM_SCALE_X + v.Mode - 1));
    g_ScreenHints.ClearScreenHints();
    for (int i = 0; i < LCD_PAGES; ++i)
        g_ScreenHints.AddScreenHint(0, ROW_HEIGHT * i, PLOT_FIRST_COLUMN, ROW_HEIGHT * (i + 1),
                                    LoadStr(TIP_SPECTRUM_MODE + i));

    const int16_t g = ViewCursorLine();
    LcdClearArea(0, 0, LCD_PAGES - 1, TEXT_LAST_COLUMN);
    LcdPutText(MODE_PAGE, 0, 0, ViewModeName(v.Mode).c_str());
    LcdPutText(UNIT_PAGE, 0, 0, UnitText().c_str());
    LcdPutText(FREQUENCY_PAGE, 0, 0, ViewFrequencyText(g).c_str());
    LcdPutText(VALUE_PAGE, 0, 0, ViewValueText(g).c_str());
    const std::string band = ViewBandText(g);
    if (!band.empty()) LcdPutText(BAND_PAGE, BAND_COLUMN, 0, band.c_str());
}
