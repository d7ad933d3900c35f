// A point's trend against its limits, and the database file carried to
// another place and back.
#include "PcDataTestSupport.h"
#include "pcdata/Exports.h"
#include "pcdata/TrendLimits.h"

#include <sstream>

namespace {

TEST(TrendZoneTest, AReadingAtALimitIsInTheHigherZone) {
    // Group 2 rigid: B/C 2.8 and C/D 4.5 mm/s; group 1 flexible 7.1 and 11.
    struct TCase {
        int16_t Kind;
        int Group;
        double Level;
        TTrendZone Zone;
    };
    const TCase cases[] = {
        {0, 0, 0.0, TTrendZone::Normal},
        {0, 0, 2.7999999, TTrendZone::Normal},
        {0, 0, 2.8, TTrendZone::Alert},
        {0, 0, 4.4999999, TTrendZone::Alert},
        {0, 0, 4.5, TTrendZone::Danger},
        {0, 0, 1e9, TTrendZone::Danger},
        {0, 3, 7.0999999, TTrendZone::Normal},
        {0, 3, 7.1, TTrendZone::Alert},
        {0, 3, 11.0, TTrendZone::Danger},
        {0, 99, 2.8, TTrendZone::Alert}, // unknown group: group 2 rigid
        {0, -1, 4.5, TTrendZone::Danger},
        {1, 3, 3.4999999, TTrendZone::Normal},
        {1, 0, 3.5, TTrendZone::Alert},
        {1, 0, 5.0, TTrendZone::Danger},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "kind " << c.Kind << " group " << c.Group << " level " << c.Level);
        EXPECT_EQ(TrendZone(c.Level, DefaultLimits(c.Kind, c.Group)), c.Zone);
    }
}

using DatabaseCopyTest = TempFolderTest;

TEST_F(DatabaseCopyTest, ACopyImportedElsewhereHoldsTheSameReadingsOnce) {
    std::string error;
    auto home = TMeasurementDb::Open(PathOf("home.sqlite"), error);
    ASSERT_TRUE(home) << error;
    ASSERT_EQ(home->AddReadings(MadeUpReadings(13, 0, 21), error), 13) << error;
    const int64_t point = home->Machines().at(0).Points.at(1).Id;
    ASSERT_TRUE(home->SetLimits(point, {1, 3.3, 6.6, true}, error)) << error;

    // Copied out twice: the second copy replaces the first.
    const std::string copy = PathOf("carried.sqlite");
    ASSERT_TRUE(home->SaveCopy(copy, error)) << error;
    ASSERT_EQ(home->AddReadings(MadeUpReadings(13, 1, 22), error), 13) << error;
    ASSERT_TRUE(home->SaveCopy(copy, error)) << error;

    auto away = TMeasurementDb::Open(PathOf("away.sqlite"), error);
    ASSERT_TRUE(away) << error;
    ASSERT_EQ(away->AddReadings(MadeUpReadings(2, 5, 23), error), 2) << error;
    EXPECT_EQ(away->ImportFrom(copy, error), 26) << error;
    EXPECT_EQ(away->ImportFrom(copy, error), 0) << error;
    EXPECT_EQ(away->ReadingCount(), 28);
    // The readings are the same, samples and all, in time order among
    // the ones the other database had.
    TDbSelection point2;
    point2.PointKey = "2";
    const auto there = away->Readings(point2, true);
    const auto here = home->Readings(point2, true);
    ASSERT_EQ(there.size(), 3u);
    ASSERT_EQ(here.size(), 2u);
    EXPECT_EQ(there[0].Samples, here[0].Samples);
    EXPECT_EQ(there[1].Results.Value, here[1].Results.Value);
    // An export after the import gives the home database's rows for them,
    // but for the reading numbers, which are each database's own.
    TDbSelection carried;
    carried.To = 46023.0 + 2;
    auto withoutIds = [](const std::string& csv) {
        std::string rows;
        std::istringstream in(csv);
        for (std::string line; std::getline(in, line);)
            rows += line.substr(line.find(',')) + '\n';
        return rows;
    };
    EXPECT_EQ(withoutIds(CsvText(away->Readings(carried, false))),
              withoutIds(CsvText(home->Readings(carried, false))));

    // What cannot be imported is refused and left alone, a missing file not created.
    std::ofstream(PathOf("notes.txt")) << "not a database";
    EXPECT_EQ(away->ImportFrom(PathOf("notes.txt"), error), -1);
    EXPECT_EQ(away->ImportFrom(PathOf("missing.sqlite"), error), -1);
    EXPECT_FALSE(std::filesystem::exists(PathOf("missing.sqlite")));
    EXPECT_EQ(FileBytes(PathOf("notes.txt")), "not a database");
    EXPECT_EQ(away->ReadingCount(), 28);
}

} // namespace
