// The spectrum view's state machine on a line array the test owns: X zoom
// and recentring, cursor limits, Y zoom, the plot's blocks and connectors,
// and the read-out texts. No device: nothing here waits for a key.
#include "device/Global.h"
#include "device/Lcd.h"
#include "firmware/Analysis.h"
#include "firmware/Offlinemode.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

bool Pixel(int x, int y) {
    return (LcdBuffer[(3 - y / 8) * LCD_WIDTH + x] & (1 << (y % 8))) != 0;
}

class SpectrumViewScale : public ::testing::Test {
  protected:
    void SetUp() override {
        MenuState = TMenuState{};
        lines.assign(VIEW_LINE_COUNT, 1);
        LcdClear();
    }
    // A view of kind 0 over lines, plotted once so that XLast is known.
    void View(int16_t zoom, int16_t first, int16_t cursor) {
        ViewState = TSpectrumViewState{};
        ViewState.Lines = lines.data();
        ViewState.Scale = 1.0f;
        ViewState.XZoom = zoom;
        ViewState.XFirst = first;
        ViewState.Cursor = cursor;
        ViewAutoScaleY();
        ViewDrawGraph();
    }
    // Column of the cursor mark; must lie on the plot.
    int CursorColumn() const {
        const TSpectrumViewState& v = ViewState;
        return GRAPH_LEFT + (v.XZoom < 0 ? -v.XZoom : 1) * (v.Cursor - v.XFirst);
    }
    std::vector<int16_t> lines;
};

TEST_F(SpectrumViewScale, XZoomStepsThroughItsValuesKeepingThePeakUnderTheCursor) {
    constexpr int16_t peak = 1000;
    lines[peak] = 5000;
    View(X_ZOOM_WIDEST, 0, peak / X_ZOOM_WIDEST);
    const auto walk = [&](void (*step)(), const std::vector<int16_t>& zooms) {
        for (const int16_t zoom : zooms) {
            step();
            ViewDrawGraph();
            EXPECT_EQ(ViewState.XZoom, zoom);
            EXPECT_EQ(ViewCursorLine(), peak) << "zoom " << zoom;
            EXPECT_GE(CursorColumn(), GRAPH_LEFT);
            EXPECT_LE(ViewState.Cursor, ViewState.XLast) << "zoom " << zoom;
        }
    };
    walk(ViewZoomInX, {17, 8, 4, 2, -1, -2, -4, -8, -8});
    walk(ViewZoomOutX, {-4, -2, -1, 2, 4, 8, 16, 32, 35, 35});
}

TEST_F(SpectrumViewScale, ANegativeFirstLineIsRaisedToZero) {
    View(-2, 0, 40);
    ViewZoomOutX();
    EXPECT_EQ(ViewState.XZoom, -1);
    EXPECT_EQ(ViewState.Cursor, 40);
    EXPECT_EQ(ViewState.XFirst, 0);
}

TEST_F(SpectrumViewScale, ZoomingOutAtTheLastLineKeepsTheCursorOnThePlot) {
    View(-1, VIEW_LAST_INDEX - 90, VIEW_LAST_INDEX);
    ViewZoomOutX();
    ViewDrawGraph();
    EXPECT_EQ(ViewState.Cursor, VIEW_LAST_INDEX / 2);
    EXPECT_EQ(CursorColumn(), GRAPH_RIGHT);
    EXPECT_EQ(ViewState.XLast, ViewState.Cursor);
}

struct CursorCase {
    int16_t zoom, first, cursor;
    bool right, moves;
    int16_t newCursor, newFirst;
};

class SpectrumCursorMove : public SpectrumViewScale, public ::testing::WithParamInterface<CursorCase> {};

TEST_P(SpectrumCursorMove, StopsAtTheEndsAndScrollsAtTheEdges) {
    const CursorCase& c = GetParam();
    View(c.zoom, c.first, c.cursor);
    EXPECT_EQ(c.right ? ViewCursorRight() : ViewCursorLeft(), c.moves);
    EXPECT_EQ(ViewState.Cursor, c.newCursor);
    EXPECT_EQ(ViewState.XFirst, c.newFirst);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpectrumCursorMove,
    ::testing::Values(CursorCase{-1, 0, 0, false, false, 0, 0},
                      CursorCase{-1, 3078, 3168, true, false, 3168, 3078},
                      CursorCase{35, 0, 90, true, false, 90, 0}, CursorCase{32, 9, 99, true, false, 99, 9},
                      CursorCase{35, 0, 10, true, true, 11, 0},
                      CursorCase{-8, 0, 11, true, true, 12, 1}, // line 11 is the last shown
                      CursorCase{-8, 5, 5, false, true, 4, 4}));

TEST_F(SpectrumViewScale, YZoomDoublesUpToTheLargestScaleAndHalvesDownToOne) {
    lines[7] = 1000; // YBase = 0x100000 / 1001
    View(X_ZOOM_WIDEST, 0, 0);
    ASSERT_EQ(ViewState.YScale, 1047);
    for (const int16_t scale : {2094, 4188, 8376, 16752, 32767, 32767}) {
        ViewZoomInY();
        EXPECT_EQ(ViewState.YScale, scale);
    }
    EXPECT_EQ(ViewState.YZoom, 32);
    for (const int16_t scale : {16752, 8376, 4188, 2094, 1047, 1047}) {
        ViewZoomOutY();
        EXPECT_EQ(ViewState.YScale, scale);
    }
    EXPECT_EQ(ViewState.YZoom, 1);
}

class SpectrumAutoScale : public SpectrumViewScale,
                          public ::testing::WithParamInterface<std::pair<int16_t, int16_t>> {};

TEST_P(SpectrumAutoScale, TheLargestLineReachesTheTopRowAtMost) {
    const auto [largest, base] = GetParam();
    lines.assign(VIEW_LINE_COUNT, 0);
    lines[3000] = largest;
    View(X_ZOOM_WIDEST, 0, 0);
    EXPECT_EQ(ViewState.YBase, base);
    EXPECT_EQ(ViewHeight(largest), largest > 32 ? 31 : largest * 32767 >> 15);
}

INSTANTIATE_TEST_SUITE_P(Largest, SpectrumAutoScale,
                         ::testing::Values(std::pair<int16_t, int16_t>{0, 0x7FFF},
                                           std::pair<int16_t, int16_t>{32, 0x7FFF},
                                           std::pair<int16_t, int16_t>{33, 30840},
                                           std::pair<int16_t, int16_t>{1000, 1047},
                                           std::pair<int16_t, int16_t>{32767, 32}));

TEST_F(SpectrumViewScale, TheLastBlockHoldsWhatIsLeftOfTheLines) {
    lines[VIEW_LAST_INDEX] = 9000;
    lines[3150] = 50;
    int16_t mn = 0;
    int16_t mx = 0;
    View(35, 0, 0);
    BlockMinMax(90, mn, mx); // lines 3150..3167
    EXPECT_EQ(mn, 1);
    EXPECT_EQ(mx, 50);
    View(32, 0, 0);
    BlockMinMax(99, mn, mx); // line 3168 alone
    EXPECT_EQ(mn, 9000);
    EXPECT_EQ(mx, 9000);
}

TEST_F(SpectrumViewScale, BlocksThatDoNotOverlapAreJoinedByAConnector) {
    lines.assign(VIEW_LINE_COUNT, 10);
    lines[2] = lines[3] = 40;
    View(2, 0, 60);
    ViewState.YScale = 0x4000; // heights v / 2: blocks at 5, 20, 5, 5...
    LcdClear();
    ViewDrawGraph();
    for (int y = 1; y < 32; ++y) {
        EXPECT_EQ(Pixel(32, y), y >= 5 && y <= 20) << y; // up to block 1, and back down
        EXPECT_EQ(Pixel(33, y), y == 5) << y;
    }
}

struct FrequencyCase {
    int16_t kind, freqUnit, g;
    const char* text;
};

class SpectrumFrequencyText : public ::testing::TestWithParam<FrequencyCase> {};

TEST_P(SpectrumFrequencyText, ReadsHzOrRpmAndSwitchesToKiloAtTenThousand) {
    ViewState.Kind = GetParam().kind;
    MenuState.FreqUnit = GetParam().freqUnit;
    EXPECT_EQ(ViewFrequencyText(GetParam().g), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, SpectrumFrequencyText,
                         ::testing::Values(FrequencyCase{0, 0, 0, "X10.0"}, FrequencyCase{0, 1, 0, "X600."},
                                           FrequencyCase{0, 0, 3168, "X1000"},
                                           FrequencyCase{2, 0, 3168, "K25.0"},
                                           FrequencyCase{2, 0, 0, "X250."}, FrequencyCase{0, 1, 501, "X9994"},
                                           FrequencyCase{0, 1, 502, "K10.0"},
                                           FrequencyCase{2, 1, 3168, "K1500"}));

struct BandCase {
    int16_t kind;
    uint8_t yUnit;
    int16_t g;
    float scale, dcLevel;
    const char* value;
    const char* band;
};

class SpectrumReadouts : public SpectrumViewScale, public ::testing::WithParamInterface<BandCase> {};

// Acceleration PK, velocity RMS, displacement P-P: the band value of one line
// of 100 is 70 RMS (the root is taken in integers).
TEST_P(SpectrumReadouts, UseTheLevelTypeOfTheShownQuantityAndMarkWhatCannotBeShown) {
    const BandCase& c = GetParam();
    MenuState.LevelType[QUANTITY_ACCELERATION] = 0;
    MenuState.LevelType[QUANTITY_VELOCITY] = 1;
    MenuState.LevelType[QUANTITY_DISPLACEMENT] = 2;
    lines[c.g] = 100;
    View(-1, 0, 0);
    ViewState.Kind = c.kind;
    ViewState.YUnit = c.yUnit;
    ViewState.Scale = c.scale; // the percent scale for kinds 1 and 2
    ViewState.BaseScale = 1.0f;
    ViewState.DcLevel = c.dcLevel;
    EXPECT_EQ(ViewValueText(c.g), c.value);
    EXPECT_EQ(ViewBandText(c.g), c.band);
}

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(Cases, SpectrumReadouts,
                         ::testing::Values(BandCase{0, VIEW_UNIT_VELOCITY, 50, 1.0f, 0, "Y100.", "70.00"},
                                           BandCase{0, VIEW_UNIT_DISPLACEMENT, 50, 1.0f, 0, "Y100.", "198.0"},
                                           BandCase{0, VIEW_UNIT_ACCELERATION, 50, 1.0f, 0, "Y100.", "98.99"},
                                           BandCase{0, VIEW_UNIT_VELOCITY, 50, 99.99f, 0, "Y9999", "6999."},
                                           BandCase{0, VIEW_UNIT_VELOCITY, 50, 150.0f, 0, "Y****", "*****"},
                                           BandCase{0, VIEW_UNIT_VELOCITY, 1, 1.0f, 0, "Y100.", ""},
                                           BandCase{0, VIEW_UNIT_VELOCITY, 3167, 1.0f, 0, "Y100.", ""},
                                           BandCase{1, 0, 50, 1.0f, 7.0f, "Y100.", "1414."},
                                           BandCase{1, 0, 50, 1.0f, 0.0f, "Y100.", "*****"},
                                           BandCase{1, 0, 50, NaN, 10.0f, "Y****", "*****"},
                                           BandCase{2, 0, 50, NaN, 0.0f, "Y****", ""}));

} // namespace
