// The whole path from the instrument to the database: measured on the route
// under virtual time, transferred, transferred again, measured again.
#include "pcdata/Transfer.h"
#include "PcDataTestSupport.h"
#include "SimSession.h"
#include "firmware/Offlinemode.h"
#include "measure/Computing1.h"
#include "measure/PointConditions.h"
#include "measure/Samplingimp.h"
#include "platform/DateTime.h"
#include "state/Inifile.h"

#include <cstring>
#include <map>
#include <memory>
#include <sstream>

namespace {

class TransferTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        SavedState = TDeviceState{};
        ClearConditions();
        session = std::make_unique<TSimSession>(out, EncodeDateTime(2026, 3, 1, 10, 0, 0, 0));
        Run("k1-long");
        Run("wait 1500");
    }
    void TearDown() override {
        session.reset();
        ClearConditions();
        TempFolderTest::TearDown();
    }
    void Run(const std::string& line) {
        std::string error;
        ASSERT_TRUE(session->RunLine(line, error)) << line << ": " << error;
    }
    // Measures the whole route, machine by machine, keeping each point's
    // samples as the acquisition left them (before the route screen's
    // rebuild) and the results the firmware computed from them.
    void MeasureRoute(bool again = false) {
        int16_t index = 1;
        for (const int points : {5, 3, 5}) {
            Run("k2"); // the point line
            for (int i = 0; i < points; ++i, ++index) {
                Run("k2");
                if (again) Run("k2"); // yes, replace the reading
                Run("wait 5100");     // sampled; the completion message flashes
                acquired[index].assign(SampleBuffer, SampleBuffer + SAMPLE_COUNT);
                results[index] = CurrentPoint.Results;
                Run("wait 800");
                Run("k1");
            }
            Run("both");
            Run("k1");
        }
        Run("k1"); // past the off-route points, back to machine 1
    }
    std::string Transfer(const std::string& db) {
        out.str("");
        Run("transfer " + db);
        return out.str();
    }

    std::ostringstream out;
    std::unique_ptr<TSimSession> session;
    std::map<int16_t, std::vector<int16_t>> acquired;
    std::map<int16_t, TMeasResults> results;
};

TEST_F(TransferTest, TheRouteGoesOverOnceAndAgainWhenMeasuredAgain) {
    const std::string db = PathOf("m.sqlite");
    EXPECT_EQ(Transfer(db), "nothing measured: the instrument holds no readings\n");

    // Points with a condition of their own, one of them varying its speed
    // from reading to reading, the rest the stored waveforms.
    Run("condition 2 bearing-outer rpm=1480 velocity=3.2 stage=3");
    Run("condition 7 imbalance rpm=2950 velocity=5.1 speed-jitter=2");
    MeasureRoute();
    EXPECT_EQ(Transfer(db), "transferred 13 new readings\n");
    EXPECT_EQ(Transfer(db), "transferred 0 new readings\n");

    std::string error;
    {
        const auto opened = TMeasurementDb::Open(db, error);
        ASSERT_TRUE(opened) << error;
        const auto readings = opened->Readings({}, true);
        ASSERT_EQ(readings.size(), 13u);
        for (const TDbReading& r : readings) {
            const auto index = static_cast<int16_t>(std::stoi(r.PointKey));
            SCOPED_TRACE(r.PointKey);
            EXPECT_EQ(r.Samples, acquired[index]);
            EXPECT_EQ(std::memcmp(r.Results.Value.data(), results[index].Value.data(), sizeof(TMeasResults)),
                      0);
            EXPECT_EQ(r.Kind, RoutePointKind(index));
            EXPECT_GT(r.Time, EncodeDateTime(2026, 3, 1, 10, 0, 0, 0));
        }
        EXPECT_EQ(readings[1].Condition.rfind("bearing-outer", 0), 0u);
        EXPECT_EQ(readings[6].Condition.rfind("imbalance", 0), 0u);
        EXPECT_EQ(readings[0].Condition, "stored");
    }

    // The store is as it was: every point still measured, the same levels.
    for (int16_t index = 1; index <= ROUTE_POINT_COUNT; ++index) {
        TPointRecord record{};
        RouteGetPoint(index, record);
        EXPECT_EQ(record.Status, REC_MEASURED);
        EXPECT_EQ(std::memcmp(record.Results.Value.data(), results[index].Value.data(), sizeof(TMeasResults)),
                  0);
    }

    // A later round with the bearing worse: 13 more, the first 13 untouched.
    Run("condition 2 bearing-outer rpm=1480 velocity=6.4 stage=4");
    acquired.clear();
    MeasureRoute(true);
    EXPECT_EQ(Transfer(db), "transferred 13 new readings\n");
    EXPECT_EQ(Transfer(db), "transferred 0 new readings\n");
    const auto opened = TMeasurementDb::Open(db, error);
    ASSERT_TRUE(opened) << error;
    EXPECT_EQ(opened->ReadingCount(), 26);
    TDbSelection point2;
    point2.PointKey = "2";
    const auto trend = opened->Readings(point2, true);
    ASSERT_EQ(trend.size(), 2u);
    EXPECT_LT(trend[0].Time, trend[1].Time);
    EXPECT_EQ(trend[1].Samples, acquired[2]);
    EXPECT_GT(trend[1].Results.Value[RESULT_VEL_RMS], 1.5f * trend[0].Results.Value[RESULT_VEL_RMS]);
}

TEST_F(TransferTest, WatchReadingAndOffRoutePointsGoOverWithTheirOwnKeys) {
    // An off-route point measured in MEAS mode, then a WATCH reading that
    // the mode still shows.
    for (const char* line :
         {"k1-long", "k2", "k2", "wait 5900", "both", "both", "k1", "k1", "k1", "k2", "k2", "wait 5900"})
        Run(line);
    const std::vector<int16_t> watchSamples(SampleBuffer, SampleBuffer + SAMPLE_COUNT);
    ASSERT_EQ(MenuState.InWatch, 1);
    ASSERT_EQ(WatchMeasured, 1);
    EXPECT_EQ(Transfer(PathOf("m.sqlite")), "transferred 2 new readings\n");
    // Reading the store put the WATCH samples back for the mode's spectrum.
    EXPECT_EQ(std::vector<int16_t>(SampleBuffer, SampleBuffer + SAMPLE_COUNT), watchSamples);

    std::string error;
    const auto db = TMeasurementDb::Open(PathOf("m.sqlite"), error);
    ASSERT_TRUE(db) << error;
    std::map<std::string, TDbReading> byKey;
    for (TDbReading& r : db->Readings({}, true))
        byKey[r.PointKey] = r;
    ASSERT_EQ(byKey.count("offroute1"), 1u);
    ASSERT_EQ(byKey.count("watch"), 1u);
    EXPECT_EQ(byKey["offroute1"].MachineKey, "offroute");
    EXPECT_EQ(byKey["watch"].Samples, watchSamples);
    EXPECT_EQ(
        std::memcmp(byKey["watch"].Results.Value.data(), WatchResults.Value.data(), sizeof(TMeasResults)), 0);
}

TEST_F(TransferTest, ReadingsKeptOverARestartAreNotAddedAgain) {
    const std::string db = PathOf("m.sqlite");
    Run("k2");
    Run("k2");
    Run("wait 5900");
    Run("k1");
    Run("k2");
    Run("wait 5900");
    EXPECT_EQ(Transfer(db), "transferred 2 new readings\n");
    // The program ends (the state goes into the ini text) and starts again.
    session.reset();
    TIniDocument ini("");
    WriteIniState(ini, SavedState);
    ClearConditions();
    ReadIniState(ini, SavedState);
    session = std::make_unique<TSimSession>(out, EncodeDateTime(2026, 3, 2, 8, 0, 0, 0));
    EXPECT_EQ(Transfer(db), "transferred 0 new readings\n"); // switched off: the resume record's store
    Run("k1-long");
    Run("wait 1500");
    EXPECT_EQ(Transfer(db), "transferred 0 new readings\n");
    // Measured once more, the point is a new reading.
    Run("k2");
    Run("k2");
    Run("k2");
    Run("wait 5900");
    EXPECT_EQ(Transfer(db), "transferred 1 new readings\n");
}

TEST_F(TransferTest, AnExerciseInBetweenLeavesTheOwnReadingsAsTheyWere) {
    const std::string db = PathOf("m.sqlite");
    Run("k2");
    Run("k2");
    Run("wait 5900");
    EXPECT_EQ(Transfer(db), "transferred 1 new readings\n");
    // An exercise has a state of its own; closing it gives the own one back,
    // with when its points were measured.
    Run("condition 3 imbalance rpm=1480 velocity=4");
    Run("exercise-save " + PathOf("e.orxex") + " ask=3 what=condition");
    Run("exercise-open " + PathOf("e.orxex"));
    EXPECT_EQ(Transfer(db), "nothing measured: the instrument holds no readings\n");
    Run("exercise-close");
    EXPECT_EQ(Transfer(db), "transferred 0 new readings\n");
}

} // namespace
