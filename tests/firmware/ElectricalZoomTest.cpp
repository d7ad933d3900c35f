// The fault trainees confuse with 2x running speed, on the spectrum view: a
// two-pole motor at 2970 rpm on a 50 Hz supply has 2x line frequency at
// 100.0 Hz and 2x running speed at 99.0 Hz, three lines apart. At the
// widest zoom both fall in one column; zoomed in to a line per column the
// read-outs tell two peaks apart.
#include "device/Global.h"
#include "device/Lcd.h"
#include "firmware/Analysis.h"
#include "firmware/Offlinemode.h"
#include "measure/Computing1.h"
#include "measure/Samplingimp.h"
#include "signals/Synthesis.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The view as the instrument enters it on a MEAS point's waveform.
void EnterVelocityView() {
    TSpectrumViewState& v = ViewState;
    v = TSpectrumViewState{};
    v.Kind = KIND_MEAS;
    ComputeSpectrum(VIEW_FIRST_LINE, VIEW_LAST_LINE, true, KIND_MEAS, v.BaseScale);
    v.Scale = v.BaseScale;
    v.Lines = SpecRe + VIEW_FIRST_LINE;
    v.XZoom = X_ZOOM_WIDEST;
    ViewAutoScaleY();
    ViewDrawGraph();
}

// The line index (into the view's lines) of a frequency.
int16_t Index(double hz) {
    return static_cast<int16_t>(hz / 0.3125 + 0.5) - VIEW_FIRST_LINE;
}

TEST(ElectricalZoomTest, TwiceTheLineAndTwiceTheShaftAreTwoPeaksOnceZoomedIn) {
    MenuState = TMenuState{};
    LcdClear();
    TCondition c;
    c.Kind = TConditionKind::Electrical;
    c.Rpm = 2970;
    c.LineHz = 50;
    ASSERT_FALSE(SynthesizeCondition(c, KIND_MEAS, SampleBuffer));
    EnterVelocityView();
    const int16_t line2 = Index(100.0), shaft2 = Index(99.0);
    // Widest: one column, one peak (the stronger), under the cursor.
    ASSERT_EQ(line2 / X_ZOOM_WIDEST, shaft2 / X_ZOOM_WIDEST);
    ViewState.Cursor = static_cast<int16_t>(line2 / X_ZOOM_WIDEST);
    EXPECT_EQ(ViewCursorLine(), line2);
    while (ViewState.XZoom != X_ZOOM_NARROWEST) {
        ViewZoomInX();
        ViewDrawGraph();
    }
    EXPECT_EQ(ViewCursorLine(), line2) << "zooming keeps the peak under the cursor";
    EXPECT_EQ(ViewFrequencyText(line2), ViewFrequencyText(Index(100.0)));
    // Step left to the next peak, as the user does with the cursor.
    const auto peak = [](int16_t g) {
        return ViewState.Lines[g] > ViewState.Lines[g - 1] && ViewState.Lines[g] > ViewState.Lines[g + 1];
    };
    int16_t dip = line2;
    do {
        ASSERT_TRUE(ViewCursorLeft());
        if (ViewState.Lines[ViewState.Cursor] < ViewState.Lines[dip]) dip = ViewState.Cursor;
    } while (!peak(ViewState.Cursor) && ViewState.Cursor > shaft2 - 3);
    const int16_t second = ViewCursorLine();
    EXPECT_EQ(second, shaft2) << ViewFrequencyText(second);
    EXPECT_NE(ViewFrequencyText(second), ViewFrequencyText(line2))
        << ViewFrequencyText(second) << " and " << ViewFrequencyText(line2);
    EXPECT_LT(ViewState.Lines[dip], ViewState.Lines[second] / 2) << "a dip between the two peaks";
    EXPECT_GT(ViewState.Lines[line2], ViewState.Lines[second]);
}

} // namespace
