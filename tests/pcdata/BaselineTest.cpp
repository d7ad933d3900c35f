// A point's baseline is kept in the database: it survives closing and
// reopening, a copy of the file and an import into another database, and it
// is refused for a reading that is not there.
#include "PcDataTestSupport.h"
#include "pcdata/MeasurementDb.h"

#include <gtest/gtest.h>

namespace {

class BaselineTest : public TempFolderTest {
  protected:
    // Two transfers of three points on two days: readings 1..3, then 4..6.
    std::unique_ptr<TMeasurementDb> Filled(const std::string& name) {
        std::string error;
        auto db = TMeasurementDb::Open(PathOf(name), error);
        EXPECT_TRUE(db) << error;
        EXPECT_EQ(db->AddReadings(MadeUpReadings(3, 1, 11), error), 3) << error;
        EXPECT_EQ(db->AddReadings(MadeUpReadings(3, 5, 12), error), 3) << error;
        return db;
    }
    std::optional<TDbReading> BaselineOf(TMeasurementDb& db, const std::string& pointKey) {
        TDbSelection point;
        point.PointKey = pointKey;
        const auto readings = db.Readings(point, false);
        if (readings.empty()) return std::nullopt;
        const int64_t id = db.Baseline(readings.front().PointId);
        return id ? db.Reading(id) : std::nullopt;
    }
};

TEST_F(BaselineTest, KeptAcrossReopeningCopyingAndImporting) {
    std::string error;
    TDbSelection point2;
    point2.PointKey = "2";
    int64_t chosen = 0;
    {
        auto db = Filled("m.sqlite");
        const auto readings = db->Readings(point2, false);
        ASSERT_EQ(readings.size(), 2u);
        EXPECT_EQ(db->Baseline(readings[0].PointId), 0); // none until the user sets one
        ASSERT_TRUE(db->SetBaseline(readings[0].Id, error)) << error;
        ASSERT_TRUE(db->SetBaseline(readings[1].Id, error)) << error; // set again: replaced
        chosen = readings[1].Id;
        // No such reading: refused, the old one stays.
        EXPECT_FALSE(db->SetBaseline(999, error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(db->Baseline(readings[0].PointId), chosen);
        ASSERT_TRUE(db->SaveCopy(PathOf("copy.sqlite"), error)) << error;
    }
    for (const char* name : {"m.sqlite", "copy.sqlite"}) {
        SCOPED_TRACE(name);
        auto db = TMeasurementDb::Open(PathOf(name), error);
        ASSERT_TRUE(db) << error;
        const auto baseline = BaselineOf(*db, "2");
        ASSERT_TRUE(baseline);
        EXPECT_EQ(baseline->Id, chosen);
        EXPECT_FALSE(BaselineOf(*db, "1")); // only the point it was set for
    }

    // Imported into a database whose readings have other ids: the same
    // reading (point, time, samples) becomes the baseline there, twice over.
    std::string other = PathOf("other.sqlite");
    {
        auto db = TMeasurementDb::Open(other, error);
        ASSERT_TRUE(db) << error;
        ASSERT_EQ(db->AddReadings(MadeUpReadings(4, 9, 13), error), 4) << error;
        for (int round = 0; round < 2; ++round) {
            ASSERT_EQ(db->ImportFrom(PathOf("m.sqlite"), error), round == 0 ? 6 : 0) << error;
            const auto baseline = BaselineOf(*db, "2");
            ASSERT_TRUE(baseline);
            EXPECT_EQ(baseline->Time, MadeUpReadings(3, 5, 12)[1].Time);
            EXPECT_EQ(baseline->Samples, MadeUpReadings(3, 5, 12)[1].Samples);
        }
    }
    // A point that has a baseline of its own keeps it on import.
    {
        auto db = Filled("third.sqlite");
        const auto readings = db->Readings(point2, false);
        ASSERT_TRUE(db->SetBaseline(readings[0].Id, error)) << error;
        ASSERT_EQ(db->ImportFrom(PathOf("m.sqlite"), error), 0) << error;
        EXPECT_EQ(db->Baseline(readings[0].PointId), readings[0].Id);
    }
}

} // namespace
