// The route and point store: counts, slots, saved state, records and their
// recomputed results.
#include "measure/Routes.h"
#include "measure/Computing1.h"
#include "measure/Samplingimp.h"
#include "platform/Resources.h"
#include "platform/Strings.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <numbers>
#include <ostream>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using Words = std::vector<uint16_t>;

std::array<uint16_t, ROUTE_POINT_COUNT> SavedRoute() {
    std::array<uint16_t, ROUTE_POINT_COUNT> words{};
    RouteSave(words);
    return words;
}

Words SavedOffRoute() {
    Words words;
    OffRouteSave(words);
    return words;
}

std::array<int16_t, 2> Counts() {
    TRouteCounts counts{-1, -1};
    RouteGetCounts(counts);
    return {counts[0], counts[1]};
}

TPointRecord Built(int16_t index) {
    TPointRecord record{};
    RouteGetPoint(index, record);
    return record;
}

// Every test starts from the default saved state: no saved words at all.
class Routes : public ::testing::Test {
  protected:
    void SetUp() override {
        SetThreadLanguage(LANG_ENGLISH);
        RouteLoad(std::array<uint16_t, ROUTE_POINT_COUNT>{});
        OffRouteLoad({});
    }
    void TearDown() override { SetThreadLanguage(LANG_ENGLISH); }
};

TEST_F(Routes, DefaultStateHasThirteenUnmeasuredRoutePointsAndNoOffRoutePoints) {
    EXPECT_EQ(Counts(), (std::array<int16_t, 2>{0, 13}));
    EXPECT_THAT(SavedRoute(), testing::Each(0));
    for (int16_t index = 1; index <= ROUTE_POINT_COUNT; ++index)
        EXPECT_EQ(Built(index).Status, REC_EMPTY);
}

struct TOffRouteCase {
    Words Saved;
    int32_t Count;
    bool AddSlot;
    Words List;
    int16_t Counted;
};

void PrintTo(const TOffRouteCase& c, std::ostream* os) {
    *os << ::testing::PrintToString(c.Saved) << " count " << c.Count << (c.AddSlot ? " + slot" : "");
}

class OffRouteLists : public Routes, public ::testing::WithParamInterface<TOffRouteCase> {};

TEST_P(OffRouteLists, LoadCompactsAndCountsLeaveOutTheSlot) {
    const TOffRouteCase& c = GetParam();
    OffRouteLoad(c.Saved, c.Count);
    if (c.AddSlot) OffRouteAddSlot();
    EXPECT_THAT(SavedOffRoute(), ElementsAreArray(c.List));
    EXPECT_EQ(Counts()[0], c.Counted);
    OffRouteAddSlot(); // never a second slot
    const Words withSlot = SavedOffRoute();
    EXPECT_EQ(withSlot.size(), c.List.size() + (c.AddSlot ? 0 : 1));
    EXPECT_EQ(withSlot.back(), c.AddSlot ? c.List.back() : PS_OFFROUTE);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OffRouteLists,
    ::testing::Values(TOffRouteCase{{4, 4}, INT32_MAX, true, {6, 6, 2}, 2},
                      TOffRouteCase{{4, 4}, INT32_MAX, false, {6, 6}, 2}, TOffRouteCase{{}, 0, true, {2}, 0},
                      TOffRouteCase{{0, 4, 0, 5}, INT32_MAX, false, {6, 7}, 2},
                      TOffRouteCase{{0, 4, 0, 5}, INT32_MAX, true, {6, 7, 2}, 2},
                      TOffRouteCase{{0xF00C, 3, 2}, INT32_MAX, false, {0xF00E}, 1}, // other bits carried
                      TOffRouteCase{{4, 5, 4}, 2, false, {6, 7}, 2},                // saved count honoured
                      TOffRouteCase{{4, 5, 4}, -7, true, {2}, 0}));                 // damaged count

TEST_F(Routes, OffRouteLoadLooksAtTheFirst465SavedWordsOnly) {
    Words saved(500);
    for (std::size_t i = 0; i < saved.size(); ++i)
        saved[i] = static_cast<uint16_t>(PS_MEASURED | (i << 4));
    OffRouteLoad(saved);
    Words list = SavedOffRoute();
    ASSERT_EQ(list.size(), 465u);
    EXPECT_EQ(list.back(), static_cast<uint16_t>(PS_MEASURED | PS_OFFROUTE | (464 << 4)));
    OffRouteAddSlot(); // no off-route index left for it
    EXPECT_EQ(SavedOffRoute().size(), 465u);

    for (std::size_t i = 0; i < 35; ++i)
        saved[i] = 0; // skipped words still count towards the limit
    OffRouteLoad(saved);
    EXPECT_EQ(SavedOffRoute().size(), 430u);
}

TEST_F(Routes, RouteLoadKeepsOnlyTheMeasuredBitAndKindFollowsIndexParity) {
    std::array<uint16_t, ROUTE_POINT_COUNT> saved{};
    saved.fill(0xFFFB); // every bit but PS_MEASURED
    saved[2] = 0xFFFF;
    RouteLoad(saved);
    EXPECT_THAT(SavedRoute(), ElementsAre(0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
    for (int16_t index = 1; index <= ROUTE_POINT_COUNT; ++index) {
        const TPointRecord record = Built(index);
        EXPECT_EQ(record.Flags, index % 2) << index;
        EXPECT_EQ(record.Status, index == 3 ? REC_MEASURED : REC_EMPTY) << index;
    }
}

TEST_F(Routes, StoredWordsCarryFlagsAndTheMeasuredBit) {
    TPointRecord record = Built(2);
    record.Status = REC_MEASURED;
    EXPECT_EQ(RouteStorePoint(2, record), 0);
    EXPECT_EQ(SavedRoute()[1], 4);

    for (const int16_t kindBit : {0, 1}) {
        OffRouteAddSlot();
        const auto index = static_cast<int16_t>(OFFROUTE_FIRST_INDEX - Counts()[0]);
        record = Built(index);
        EXPECT_EQ(record.Flags, PS_OFFROUTE);
        record.Status = REC_MEASURED;
        record.Flags = static_cast<int16_t>(record.Flags | kindBit);
        EXPECT_EQ(RouteStorePoint(index, record), 0);
    }
    EXPECT_THAT(SavedOffRoute(), ElementsAre(6, 7));
    EXPECT_EQ(Counts()[0], 2);
    EXPECT_EQ(RouteStorePoint(476, record), MEM_ERROR) << "index 476 addresses no point yet";
    EXPECT_THAT(SavedOffRoute(), ElementsAre(6, 7));
}

TEST_F(Routes, DeletedRouteSavesZerosAndLeavesOffRouteIndicesAlone) {
    OffRouteLoad(Words{4});
    OffRouteAddSlot();
    TPointRecord record = Built(5);
    record.Status = REC_MEASURED;
    RouteStorePoint(5, record);

    EXPECT_EQ(RouteDelete(), 0);
    EXPECT_EQ(Counts(), (std::array<int16_t, 2>{1, 0}));
    EXPECT_THAT(SavedRoute(), testing::Each(0));
    EXPECT_THAT(SavedOffRoute(), ElementsAre(6)) << "the unmeasured slot is not counted, so it goes";
    record = Built(OFFROUTE_FIRST_INDEX);
    EXPECT_EQ(record.Status, REC_MEASURED);
    EXPECT_STREQ(record.Label, "POINT   1");

    EXPECT_EQ(OffRouteDelete(), 0);
    EXPECT_EQ(Counts(), (std::array<int16_t, 2>{0, 0}));
    RouteLoad(SavedRoute());
    EXPECT_EQ(Counts(), (std::array<int16_t, 2>{0, 13}));
    EXPECT_EQ(Built(5).Status, REC_EMPTY);
}

// A case with a pattern gets a damaged table of its own: a machine name too
// long for its field and that point pattern. Tables are parsed once per
// language, so each such case has a language of its own.
struct TTextCase {
    LANGID Language;
    const char* Pattern; // nullptr: the shipped table of Language
    int16_t Index;
    const char* Machine; // code page 1251
    const char* Label;
};

void PrintTo(const TTextCase& c, std::ostream* os) {
    *os << "language " << c.Language << " index " << c.Index;
}

class PointTexts : public Routes, public ::testing::WithParamInterface<TTextCase> {};

TEST_P(PointTexts, MachineNameAndLabelAreCodePageTextsCutToTheirFields) {
    const TTextCase& c = GetParam();
    std::unique_ptr<TResourceOverride> table;
    if (c.Pattern != nullptr) {
        const std::string text =
            "141 \"Off-route point with a long name\"\n142 \"" + std::string(c.Pattern) + "\"\n";
        table = std::make_unique<TResourceOverride>("STRINGTABLE_" + std::to_string(c.Language),
                                                    std::basic_string<uint8_t>(text.begin(), text.end()));
    }
    OffRouteLoad(Words(9, PS_MEASURED));
    SetThreadLanguage(c.Language);
    const TPointRecord record = Built(c.Index);
    EXPECT_STREQ(record.MachineName, c.Machine);
    EXPECT_STREQ(record.Label, c.Label);
    EXPECT_EQ(record.Orientation, c.Index == 470 ? ORIENT_NONE
                                  : c.Index == 6 ? ORIENT_AXIAL
                                                 : ORIENT_HORIZONTAL);
    char name[POINT_TEXT_SIZE];
    RouteGetMachineName(c.Index, name);
    EXPECT_STREQ(name, c.Machine);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PointTexts,
    ::testing::Values(TTextCase{LANG_ENGLISH, nullptr, 13, "machine 3", "013 05H Coupl-HOR"},
                      TTextCase{LANG_ENGLISH, nullptr, 6, "machine 2", "006 01A Bearing-AXLE"},
                      TTextCase{LANG_ENGLISH, nullptr, 470, "Off-route", "POINT   9"},
                      TTextCase{LANG_RUSSIAN, nullptr, 6, "\xC0\xE3\xF0\xE5\xE3\xE0\xF2 2",
                                "006 01\xCE \xC3\xCF\xCE-\xCE\xD1\xC5\xC2"},
                      TTextCase{LANG_RUSSIAN, nullptr, 470, "\xC2\xED\xE5 \xEC\xE0\xF0\xF8\xF0\xF3\xF2\xE0",
                                "\xD2\xCE\xD7\xCA\xC0   9"},
                      TTextCase{0x0410, nullptr, 470, "", "POINT   9"}, // no table at all
                      TTextCase{0x7001, "No %s", 470, "Off-route point with", "POINT   9"},
                      TTextCase{0x7002, "%d of %d", 470, "Off-route point with", "POINT   9"},
                      TTextCase{0x7003, "100%%", 470, "Off-route point with", "POINT   9"},
                      TTextCase{0x7004, "%% %-4d|", 470, "Off-route point with", "% 9   |"},
                      TTextCase{0x7005, "Point number %030d", 470, "Off-route point with",
                                "Point number 0000000"}));

// Results are recomputed from the stored waveform of the point's kind; the
// two kinds get waveforms of their own here so that a mix-up shows.
class RouteResults : public Routes {
  protected:
    static std::basic_string<uint8_t> Waveform(double offset, double amplitude, int harmonic) {
        std::basic_string<uint8_t> bytes;
        for (int i = 0; i < SAMPLE_COUNT; ++i) {
            const double phase = 2.0 * std::numbers::pi * i / 256.0;
            const double value = offset + amplitude * (std::sin(phase) + 0.4 * std::sin(harmonic * phase));
            const auto word = static_cast<uint16_t>(static_cast<int32_t>(std::lround(value)) & 0xFFFF);
            bytes.push_back(static_cast<uint8_t>(word & 0xFF));
            bytes.push_back(static_cast<uint8_t>(word >> 8));
        }
        return bytes;
    }
    static TMeasResults Direct(int16_t kind) {
        EXPECT_TRUE(ReadWaveformTable(kind, SampleBuffer));
        TMeasResults results;
        if (kind == KIND_MEAS_E)
            ComputeCrestFactor(results);
        else
            ComputeVibrationResults(results);
        return results;
    }
    TResourceOverride waveform0{"WAVEFORM0", Waveform(32768.0, 9000.0, 7)};
    TResourceOverride waveform1{"WAVEFORM1", Waveform(0.0, 4000.0, 23)};
};

TEST_F(RouteResults, EveryBuildRecomputesTheKindsResultsWhetherMeasuredOrNot) {
    const TMeasResults kind0 = Direct(KIND_MEAS);
    const TMeasResults kind1 = Direct(KIND_MEAS_E);
    ASSERT_NE(kind0.Value, kind1.Value);
    std::array<uint16_t, ROUTE_POINT_COUNT> saved{};
    saved[1] = saved[2] = PS_MEASURED;
    RouteLoad(saved);
    OffRouteLoad(Words{5});
    OffRouteAddSlot();

    struct {
        int16_t Index;
        uint16_t Status;
        const TMeasResults& Expected;
    } const cases[] = {{2, REC_MEASURED, kind0}, {4, REC_EMPTY, kind0},      {3, REC_MEASURED, kind1},
                       {5, REC_EMPTY, kind1},    {478, REC_MEASURED, kind1}, {477, REC_EMPTY, kind0}};
    TPointRecord record;
    std::memset(static_cast<void*>(&record), 0xFF, sizeof record); // blank, as for a new point
    record.Time = 1234.5;
    for (const auto& c : cases) {
        RouteGetPoint(&c.Expected == &kind0 ? 3 : 2, record); // the other kind's numbers first
        std::fill(std::begin(SampleBuffer), std::end(SampleBuffer), int16_t{0x1234});
        RouteGetPoint(c.Index, record);
        EXPECT_EQ(record.Status, c.Status) << c.Index << ": building never marks";
        EXPECT_EQ(record.Results.Value, c.Expected.Value) << c.Index;
        EXPECT_EQ(record.Checksum, 0);
        EXPECT_EQ(record.OverloadMark, 0);
    }
    EXPECT_EQ(record.Time, 1234.5) << "the measurement's time is not the store's";
}

} // namespace
