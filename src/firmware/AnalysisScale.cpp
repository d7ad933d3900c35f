// The spectrum view's cursor moves, X and Y zoom and unit conversion: they
// change only the view's state and the displayed line array, never the
// spectrum computed at entry.
#include "firmware/Analysis.h"

#include "measure/Computing1.h"
#include "measure/Samplingimp.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Columns right of the left edge: the plot is 91 columns wide.
constexpr int PLOT_SPAN = GRAPH_RIGHT - GRAPH_LEFT;
// Heights are (YScale x v) >> 15; this makes the largest line 31 high.
constexpr int32_t FULL_HEIGHT_FACTOR = 0x100000;
constexpr int16_t SMALLEST_SCALED_PEAK = 32;

int16_t CursorLimit() {
    const int16_t z = ViewState.XZoom;
    return z < 0 ? VIEW_LAST_INDEX : static_cast<int16_t>(VIEW_LAST_INDEX / z);
}

} // namespace

bool ViewCursorRight() {
    TSpectrumViewState& v = ViewState;
    if (v.Cursor == CursorLimit()) return false;
    if (v.Cursor == v.XLast) ++v.XFirst;
    ++v.Cursor;
    return true;
}

bool ViewCursorLeft() {
    TSpectrumViewState& v = ViewState;
    if (v.Cursor == 0) return false;
    if (v.Cursor == v.XFirst) --v.XFirst;
    --v.Cursor;
    return true;
}

// 35, 17, 8, 4, 2, -1, -2, -4, -8.
void ViewZoomInX() {
    TSpectrumViewState& v = ViewState;
    const int16_t old = v.XZoom;
    if (old == X_ZOOM_NARROWEST) return;
    if (old > 0)
        v.XZoom = old / 2 == 1 ? int16_t{-1} : static_cast<int16_t>(old / 2);
    else
        v.XZoom = static_cast<int16_t>(std::max(2 * old, int{X_ZOOM_NARROWEST}));
    ViewRecentre(old);
}

// -8, -4, -2, -1, 2, 4, 8, 16, 32, 35.
void ViewZoomOutX() {
    TSpectrumViewState& v = ViewState;
    const int16_t old = v.XZoom;
    if (old == X_ZOOM_WIDEST) return;
    if (old == -1)
        v.XZoom = 2;
    else if (old > 0)
        v.XZoom = static_cast<int16_t>(std::min(2 * old, int{X_ZOOM_WIDEST}));
    else
        v.XZoom = static_cast<int16_t>(old / 2);
    ViewRecentre(old);
}

void ViewRecentre(int16_t oldZoom) {
    TSpectrumViewState& v = ViewState;
    // Distance of the cursor from the left edge in columns (= pixels), and
    // the line it stands on: a block's peak line when blocks are shown.
    int offset;
    int line;
    if (oldZoom > 0) {
        offset = v.Cursor - v.XFirst;
        const int start = v.Cursor * oldZoom;
        line = PeakLineOf(static_cast<int16_t>(start),
                          static_cast<int16_t>(std::min(int{oldZoom}, VIEW_LINE_COUNT - start)));
    } else {
        offset = -oldZoom * (v.Cursor - v.XFirst);
        line = v.Cursor;
    }

    const int16_t z = v.XZoom;
    int first;
    if (z > 0) {
        const int cursor = line / z;
        const int n = VIEW_LAST_INDEX / z;
        if (offset >= cursor)
            first = 0;
        else if (PLOT_SPAN - offset < n - cursor)
            first = cursor - offset;
        // Near the end the last block goes to the right edge, where the
        // cursor can still be seen when it stands on that block.
        else
            first = n - PLOT_SPAN;
        v.Cursor = static_cast<int16_t>(cursor);
    } else {
        first = line - offset / -z;
        v.Cursor = static_cast<int16_t>(line);
    }
    v.XFirst = static_cast<int16_t>(std::max(first, 0));
}

void ViewZoomInY() {
    TSpectrumViewState& v = ViewState;
    if (v.YScale == Y_SCALE_MAX) return;
    if (v.YZoom < Y_ZOOM_MAX) v.YZoom = static_cast<int16_t>(v.YZoom * 2);
    const int32_t scale = int32_t{v.YBase} * v.YZoom;
    v.YScale = scale <= Y_SCALE_MAX ? static_cast<int16_t>(scale) : Y_SCALE_MAX;
}

void ViewZoomOutY() {
    TSpectrumViewState& v = ViewState;
    if (v.YZoom > 1) v.YZoom = static_cast<int16_t>(v.YZoom / 2);
    // Zooming in stopped at the first product that did not fit, so one step
    // back always fits; the limit only guards the 16-bit field.
    const int32_t scale = int32_t{v.YZoom} * v.YBase;
    v.YScale = scale <= Y_SCALE_MAX ? static_cast<int16_t>(scale) : Y_SCALE_MAX;
}

void ViewAutoScaleY() {
    TSpectrumViewState& v = ViewState;
    int16_t m = 0;
    for (int16_t k = 0; k < VIEW_LINE_COUNT; ++k)
        m = std::max(m, v.Lines[k]);
    v.YZoom = 1;
    v.YBase = m <= SMALLEST_SCALED_PEAK ? Y_SCALE_MAX : static_cast<int16_t>(FULL_HEIGHT_FACTOR / (m + 1));
    v.YScale = v.YBase;
}

void ViewApplyUnit() {
    TSpectrumViewState& v = ViewState;
    // The percent spectra of the other kinds have no units to switch.
    if (v.Kind == KIND_MEAS) {
        switch (v.YUnit) {
        case VIEW_UNIT_DISPLACEMENT:
            SpectrumOverF(SpecRe, VIEW_FIRST_LINE, VIEW_LAST_LINE, v.BaseScale, SpecIm, LINE_SPACING,
                          v.Scale);
            v.Lines = SpecIm + VIEW_FIRST_LINE;
            break;
        case VIEW_UNIT_ACCELERATION:
            SpectrumTimesF(SpecRe, VIEW_FIRST_LINE, VIEW_LAST_LINE, v.BaseScale, SpecIm, LINE_SPACING,
                           v.Scale);
            v.Lines = SpecIm + VIEW_FIRST_LINE;
            break;
        default:
            v.Lines = SpecRe + VIEW_FIRST_LINE;
            v.Scale = v.BaseScale;
            break;
        }
    }
    ViewAutoScaleY();
    ViewDrawGraph();
    ViewDrawCursor();
    ViewDrawReadouts();
    LcdRefresh();
}
