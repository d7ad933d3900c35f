// The measurement flow and the WATCH mode where a key script cannot show it:
// the timing of the repaints around a measurement, what a measurement writes,
// the memory-error and overload notices, and power-off while sampling.
#include "Golden.h"
#include "SimSession.h"
#include "firmware/Analysis.h"
#include "firmware/Offlinemode.h"
#include "measure/Samplingimp.h"
#include "platform/DateTime.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;

const double kClock = EncodeDateTime(2026, 12, 7, 9, 30, 0, 0);

// One repaint: virtual time since the measurement started, and whether the
// LCD was painted lit.
struct Repaint {
    uint64_t at;
    bool lit;
    bool operator==(const Repaint&) const = default;
};

void PrintTo(const Repaint& r, std::ostream* os) {
    *os << "{" << r.at << (r.lit ? ", lit}" : ", dark}");
}

class MeasureFlowTest : public ::testing::Test {
  protected:
    void SetUp() override { SavedState = TDeviceState{}; }
    // The device repaints once more as it is deleted.
    void TearDown() override {
        if (session) session->Device().OnRefresh = nullptr;
    }

    // Switched on from the default state: MEAS, machine line, point 1.
    void PowerOn() {
        session = std::make_unique<TSimSession>(out, kClock);
        Run("k1-long");
        Run("wait 1500");
    }
    void Run(const std::string& line) {
        std::string error;
        ASSERT_TRUE(session->RunLine(line, error)) << error;
    }
    void RunAll(std::initializer_list<const char*> lines) {
        for (const char* line : lines)
            Run(line);
    }
    TVirtualHost& Clock() { return session->VirtualHost(); }

    // Records every repaint from now on, timed from now.
    void RecordRepaints() {
        const uint64_t start = Clock().Elapsed();
        session->Device().OnRefresh = [this, start] {
            repaints.push_back({Clock().Elapsed() - start, session->Device().IsLit()});
        };
    }

    std::ostringstream out;
    std::unique_ptr<TSimSession> session;
    std::vector<Repaint> repaints;
};

TEST_F(MeasureFlowTest, MeasuringGoesDarkOnceThenFlashesThreeTimes) {
    PowerOn();
    RunAll({"k2", "k1"}); // point line, point 2
    RecordRepaints();
    Run("k2");
    Run("wait 6000");
    EXPECT_THAT(repaints, ElementsAre(Repaint{0, false}, Repaint{0, true},       // dark, then "Measuring..."
                                      Repaint{5000, true}, Repaint{5000, true},  // completed, first flash
                                      Repaint{5100, false}, Repaint{5300, true}, //
                                      Repaint{5400, false}, Repaint{5600, true}, //
                                      Repaint{5700, false},                      // dark until the next screen
                                      Repaint{5900, true}));                     // the route screen
}

struct KeyCase {
    const char* name;
    uint32_t keyAt;    // ms after the measurement started
    uint64_t screenAt; // when the route screen comes back
};

class KeyDuringMeasurement : public MeasureFlowTest, public ::testing::WithParamInterface<KeyCase> {};

// K1 (next point) would move the selection if it reached the route screen.
TEST_P(KeyDuringMeasurement, IsDroppedOrEndsTheFlashingWithoutActing) {
    PowerOn();
    RunAll({"k2", "k1"});
    RecordRepaints();
    Run("k2");
    Run("wait " + std::to_string(GetParam().keyAt));
    Run("k1");
    Run("wait 6000");
    ASSERT_FALSE(repaints.empty());
    EXPECT_EQ(repaints.back().at, GetParam().screenAt);
    EXPECT_EQ(MenuState.SelectedPoint, 2);
    EXPECT_EQ(CurrentPoint.Status, REC_MEASURED);
}

INSTANTIATE_TEST_SUITE_P(Times, KeyDuringMeasurement,
                         // Dropped, but the flush leaves the device's wake-up set, which
                         // ends the first dark pause at once like a time-out.
                         ::testing::Values(KeyCase{"WhileSampling", 2000, 5700},
                                           // Sleeps are not key waits: seen when the dark pause begins.
                                           KeyCase{"FirstFlashLit", 5050, 5100},
                                           KeyCase{"SecondFlashDark", 5450, 5450},
                                           KeyCase{"ThirdFlashDark", 5750, 5750}),
                         [](const ::testing::TestParamInfo<KeyCase>& p) { return p.param.name; });

TEST_F(MeasureFlowTest, StoresTheKindTheTimeAndTheMeasuredWord) {
    PowerOn();
    RunAll({"k2", "k1", "k2", "wait 5900"}); // route point 2 in MEAS: kind 0
    EXPECT_DOUBLE_EQ(CurrentPoint.Time, kClock + (1500.0 + 5000.0) / 86400000.0);
    EXPECT_EQ(CurrentPoint.OverloadMark, 0);
    EXPECT_EQ(CurrentPoint.Checksum, 0);
    // Off-route points take the mode's kind: MEAS.E, then MEAS.
    RunAll({"both", "both", "k1", "k2", "k1-long", "k2", "k2", "wait 5900"});
    RunAll({"both", "both", "k1-long", "k2", "k2", "k1", "k2", "wait 5900"});
    session.reset();
    EXPECT_EQ(SavedState.RoutePoints[1], PS_MEASURED);
    EXPECT_THAT(SavedState.UnroutePoints,
                ElementsAre(PS_MEASURED | PS_OFFROUTE | PS_KIND_E, PS_MEASURED | PS_OFFROUTE));
}

TEST_F(MeasureFlowTest, AFailedStoreReportsAMemoryErrorAfterTheCompletion) {
    PowerOn();
    RunAll({"k1-long", "k2"}); // the new off-route point 1, point line
    // The in-memory store never fails by itself; without the slot it has
    // nowhere to keep the point (the worker waits for a key meanwhile).
    OffRouteDelete();
    RunAll({"k2", "wait 5900", "show --art"}); // the notice waits for a key
    RunAll({"k1", "show --art"});
    EXPECT_EQ(MenuState.MemStatus, MEM_ERROR);
    EXPECT_EQ(MenuState.MenuItem, ITEM_MEAS);
    ExpectMatchesGolden("measure_memory_error", out.str());
}

TEST_F(MeasureFlowTest, AnOverloadMarkIsShownBeforeTheSpectrum) {
    PowerOn();
    RunAll({"k2", "k2", "wait 5900"});                // measure point 1
    RunAll({"both", "both", "k1", "k1", "k2", "k2"}); // ANALYS, point line of point 1
    // The emulated input never overloads; the mark is set as a measurement
    // with an overloaded input would leave it.
    CurrentPoint.OverloadMark = static_cast<int16_t>(0xAAAA);
    ViewState.Kind = -1;
    RunAll({"k2", "show --art"});
    ExpectMatchesGolden("measure_overload", out.str());
    EXPECT_EQ(ViewState.Kind, -1) << "the notice comes first";
    Run("k1");
    EXPECT_EQ(ViewState.Kind, KIND_MEAS_E);
}

struct ViewCase {
    const char* name;
    std::vector<std::string> keys; // from the machine line of point 1, MEAS
    int16_t kind;
};

class SpectrumOfAMeasurement : public MeasureFlowTest, public ::testing::WithParamInterface<ViewCase> {};

// The view reads SampleBuffer: it must hold the waveform of the kind it is
// opened with, whatever was drawn since the measurement.
TEST_P(SpectrumOfAMeasurement, OpensWithItsKindOnItsWaveform) {
    PowerOn();
    ViewState.Kind = -1;
    for (const std::string& key : GetParam().keys)
        Run(key);
    ASSERT_EQ(ViewState.Kind, GetParam().kind);
    static int16_t expected[SAMPLE_COUNT];
    ASSERT_TRUE(ReadWaveformTable(GetParam().kind, expected));
    EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), std::begin(SampleBuffer)));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SpectrumOfAMeasurement,
    ::testing::Values(
        ViewCase{
            "AnalysOddPoint", {"k2", "k2", "wait 5900", "both", "both", "k1", "k1", "k2", "k2", "k2"}, 1},
        ViewCase{"AnalysEvenPoint",
                 {"k2", "k1", "k2", "wait 5900", "both", "both", "k1", "k1", "k2", "k2", "k2"},
                 0},
        ViewCase{"WatchMeas", {"both", "k1", "k1", "k1", "k2", "k2", "wait 5900", "k1", "k1", "k2"}, 0},
        ViewCase{"WatchMeasE", {"both", "k1", "k1", "k1", "k2", "k1", "k2", "wait 5900", "k1", "k2"}, 1},
        ViewCase{"HfSpectrum", {"both", "k1-long", "k2", "k2", "wait 5900"}, 2}),
    [](const ::testing::TestParamInfo<ViewCase>& p) { return p.param.name; });

TEST_F(MeasureFlowTest, PowerOffWhileSamplingStillStoresThePoint) {
    PowerOn();
    RunAll({"k2", "k1", "k2", "wait 2000"});
    session->Device().PowerTimerTimer();
    Run("wait 4000"); // past the sampling, into the completion's first key wait
    EXPECT_FALSE(session->Device().IsOn());
    EXPECT_EQ(SavedState.RoutePoints[1], PS_MEASURED);
    EXPECT_EQ(SavedState.IsPointSelectMenu, 1);
    EXPECT_EQ(SavedState.SelectedPoint, 2);
}

TEST_F(MeasureFlowTest, WatchMeasurementBelongsToNoPointAndDiesWithThePower) {
    PowerOn();
    const TPointRecord before = CurrentPoint;
    RunAll({"both", "k1", "k1", "k1", "k2", "k2", "wait 2000"});
    session->Device().PowerTimerTimer();
    Run("wait 4000");
    EXPECT_EQ(CurrentPoint.Status, before.Status) << "no point record is marked measured";
    EXPECT_EQ(SavedState.ActiveMenu, 3);
    RunAll({"k1-long", "wait 1500"});
    EXPECT_EQ(MenuState.InWatch, 1);
    EXPECT_EQ(WatchMeasured, 0);
}

TEST_F(MeasureFlowTest, HfSpectrumForgetsTheWatchMeasurementOnlyWhenMeasuring) {
    PowerOn();
    RunAll({"both", "k1-long"}); // HF sp.
    WatchMeasured = 1;           // as if the mode still held one
    RunAll({"k2", "k1"});        // No
    EXPECT_EQ(WatchMeasured, 1);
    RunAll({"k2", "k2"}); // Yes
    EXPECT_EQ(WatchMeasured, 0);
}

} // namespace
