#pragma once
// The spectrum view of the waveform in SampleBuffer: a modal loop on the
// worker thread that returns when the user leaves it with both keys.
//
// The plot takes columns 30..121 (trace x = 31..121, y = 0..31), the left
// column holds the mode menu or the cursor read-outs, and the band value sits
// in the top right corner. Zoom, cursor and unit changes work on the line
// arrays computed at entry; only entry runs a transform.
#include "device/Lcd.h"

#include <cstdint>
#include <string>

// kind: 0 MEAS (velocity spectrum, unit switching), 1 MEAS.E, 2 HF spectrum.
void SpectrumView(int16_t kind);

// --- the view's state ------------------------------------------------------------

// The displayed lines are 32..3200 of the spectrum, index 0..3168 of Lines.
inline constexpr int16_t VIEW_FIRST_LINE = 32;
inline constexpr int16_t VIEW_LAST_LINE = 3200;
inline constexpr int16_t VIEW_LINE_COUNT = VIEW_LAST_LINE - VIEW_FIRST_LINE + 1;
inline constexpr int16_t VIEW_LAST_INDEX = VIEW_LINE_COUNT - 1;

inline constexpr int16_t VIEW_MODE_CURSOR = 0;
inline constexpr int16_t VIEW_MODE_X_SCALE = 1;
inline constexpr int16_t VIEW_MODE_Y_SCALE = 2;
inline constexpr int16_t VIEW_MODE_UNITS = 3;

inline constexpr uint8_t VIEW_UNIT_VELOCITY = 0;
inline constexpr uint8_t VIEW_UNIT_DISPLACEMENT = 1;
inline constexpr uint8_t VIEW_UNIT_ACCELERATION = 2;

// X zoom: z > 0 shows a block of z lines per column, -p makes each line p
// pixels wide.
inline constexpr int16_t X_ZOOM_WIDEST = 35;
inline constexpr int16_t X_ZOOM_NARROWEST = -8;
inline constexpr int16_t Y_ZOOM_MAX = 4096;
inline constexpr int16_t Y_SCALE_MAX = 0x7FFF;

// The left column's texts end at column 29; the plot area starts at 30.
inline constexpr int16_t TEXT_LAST_COLUMN = 29;
inline constexpr int16_t PLOT_FIRST_COLUMN = 30;
inline constexpr int16_t GRAPH_LEFT = 31;
inline constexpr int16_t GRAPH_RIGHT = 121;
inline constexpr int16_t GRAPH_TOP = 31;
inline constexpr TLcdRect GRAPH_CLIP = {GRAPH_LEFT, 0, GRAPH_RIGHT, GRAPH_TOP};

// Owned by this unit, reset at every entry; nothing survives a view.
struct TSpectrumViewState {
    int16_t Kind;
    int16_t Mode;
    uint8_t YUnit;
    const int16_t* Lines; // into SpecRe or SpecIm, from line 32
    float Scale;          // physical value of one count; NaN when it has none
    float BaseScale;      // of the line magnitudes computed at entry
    float DcLevel;        // kind 1: the signal's DC level, never negative
    int16_t XZoom;
    int16_t XFirst; // first block (z > 0) or line (z < 0) at the left edge
    int16_t XLast;  // last block or line drawn, set by each plot
    int16_t Cursor; // cursor block or line
    int16_t YBase;  // makes the largest line fill the plot height
    int16_t YZoom;  // 1..4096, a power of two
    int16_t YScale; // YBase x YZoom, at most 0x7FFF
};

extern TSpectrumViewState ViewState;

// --- the view's operations ---------------------------------------------------------

// The mode menu; returns the chosen mode, or -1 to leave the view.
int16_t ViewModeMenu(int16_t mode);
// False when the cursor is already at its limit (nothing changes).
bool ViewCursorRight();
bool ViewCursorLeft();
void ViewZoomInX();
void ViewZoomOutX();
// Keeps the cursor's line and its distance from the left edge across the
// change from zoom oldZoom to ViewState.XZoom.
void ViewRecentre(int16_t oldZoom);
void ViewZoomInY();
void ViewZoomOutY();
void ViewAutoScaleY();
// Converts the kind 0 spectrum to ViewState.YUnit and redraws everything.
void ViewApplyUnit();

// Pixel height of a line value: (YScale x v) >> 15.
int16_t ViewHeight(int16_t value);
// Smallest and largest value of block b at the current (positive) X zoom.
void BlockMinMax(int16_t block, int16_t& minValue, int16_t& maxValue);
// The first largest of the count lines from start (index into Lines).
int16_t PeakLineOf(int16_t start, int16_t count);
// The line the read-outs describe: the cursor line, or its block's peak.
int16_t ViewCursorLine();

void ViewDrawGraph();
void ViewDrawCursor();
void ViewDrawReadouts();

// The name of a mode as the left column shows it, code page 1251.
std::string ViewModeName(int16_t mode);
// Read-out texts of line g (index into Lines), code page 1251, as drawn.
std::string ViewFrequencyText(int16_t g);
std::string ViewValueText(int16_t g);
// The band value around g; NaN when it has none (the text is then "*****").
float BandValue(int16_t g);
// Empty where no band value is shown (kind 2, the first and last two lines).
std::string ViewBandText(int16_t g);
