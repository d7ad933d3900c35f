// The walk through machines and points over the real store with the demo
// route: machine 1 = points 1..5, machine 2 = 6..8, machine 3 = 9..13; the
// off-route points count down from 478.
#include "firmware/Offlinemode.h"
#include "platform/Strings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

enum class TStep { NextMachine, PreviousMachine, NextPoint, PreviousPoint };

std::ostream& operator<<(std::ostream& out, TStep step) {
    static const char* const names[] = {"next machine", "previous machine", "next point", "previous point"};
    return out << names[static_cast<int>(step)];
}

void Do(TStep step) {
    switch (step) {
    case TStep::NextMachine:
        SelectMachine(SELECT_NEXT);
        break;
    case TStep::PreviousMachine:
        SelectMachine(SELECT_PREVIOUS);
        break;
    case TStep::NextPoint:
        SelectPoint(SELECT_NEXT);
        break;
    case TStep::PreviousPoint:
        SelectPoint(SELECT_PREVIOUS);
        break;
    }
}

int16_t StoredOffRouteWords() {
    std::vector<uint16_t> words;
    OffRouteSave(words);
    return static_cast<int16_t>(words.size());
}

// The store as the firmware finds it after power-on, with offRoute measured
// off-route points; the route screen has loaded the record of start.
void SetUpStore(int16_t offRoute, bool deleteRoute, int16_t start) {
    SetThreadLanguage(LANG_ENGLISH);
    const uint16_t routeWords[ROUTE_POINT_COUNT] = {};
    RouteLoad(routeWords);
    const std::vector<uint16_t> offRouteWords(static_cast<std::size_t>(offRoute), PS_MEASURED);
    OffRouteLoad(offRouteWords);
    if (deleteRoute) RouteDelete();
    MenuState = TMenuState{};
    MenuState.SelectedPoint = start;
    RouteGetPoint(start, CurrentPoint);
}

struct TExpected {
    TStep Step;
    int16_t Selected;
    bool NewPoint; // CurrentPoint is the blank record of a new off-route point
};

struct WalkCase {
    const char* name;
    int16_t offRoute; // F
    bool deleteRoute; // R = 0
    int16_t start;
    std::vector<TExpected> steps;
};

class SelectionWalk : public ::testing::TestWithParam<WalkCase> {};

// After each step the selection is as expected and CurrentPoint is its
// record: the store's, or the blank one of a new point whose slot the store
// now holds.
TEST_P(SelectionWalk, SelectsThePointAndLoadsItsRecord) {
    const WalkCase& c = GetParam();
    SetUpStore(c.offRoute, c.deleteRoute, c.start);
    int16_t words = c.offRoute; // the slot appears with the first new point
    for (std::size_t i = 0; i < c.steps.size(); ++i) {
        const TExpected& e = c.steps[i];
        SCOPED_TRACE(::testing::Message() << "step " << i << ": " << e.Step << " to " << e.Selected);
        Do(e.Step);
        ASSERT_EQ(MenuState.SelectedPoint, e.Selected);

        TPointRecord stored{};
        RouteGetPoint(e.Selected, stored);
        EXPECT_STREQ(CurrentPoint.MachineName, stored.MachineName);
        EXPECT_STREQ(CurrentPoint.Label, stored.Label);
        EXPECT_EQ(CurrentPoint.Orientation, stored.Orientation);
        if (e.NewPoint) {
            EXPECT_EQ(CurrentPoint.Status, REC_EMPTY);
            EXPECT_EQ(CurrentPoint.Flags, -1) << "all bits set, not the store's word";
            EXPECT_TRUE(std::isnan(CurrentPoint.Time));
            words = static_cast<int16_t>(c.offRoute + 1);
        } else {
            EXPECT_EQ(CurrentPoint.Status, stored.Status);
            EXPECT_EQ(CurrentPoint.Flags, stored.Flags);
        }
        EXPECT_EQ(StoredOffRouteWords(), words) << "a stored slot exactly when a new point was shown";
    }
}

constexpr int16_t FIRST = OFFROUTE_FIRST_INDEX;
constexpr int16_t FULL = OFFROUTE_FIRST_INDEX - ROUTE_POINT_COUNT; // F that fills the memory
constexpr int16_t FULL_LOWEST = FIRST - FULL + 1;                  // 14: no slot below the last point

using S = TStep;

INSTANTIATE_TEST_SUITE_P(
    DemoRoute, SelectionWalk,
    ::testing::Values(
        WalkCase{"NextMachineGoesToTheFirstPointOfTheNext", 0, false, 3, {{S::NextMachine, 6, false}}},
        WalkCase{"NextMachineCyclesThroughOffRoute",
                 0,
                 false,
                 13,
                 {{S::NextMachine, FIRST, true}, {S::NextMachine, 1, false}, {S::NextMachine, 6, false}}},
        WalkCase{"NextMachineFromLastToMeasuredOffRoute", 2, false, 11, {{S::NextMachine, FIRST, false}}},
        WalkCase{
            "PreviousMachineGoesToTheFirstPointOfThePrevious", 0, false, 7, {{S::PreviousMachine, 1, false}}},
        WalkCase{"PreviousMachineFromTheFirstGoesOffRoute", 0, false, 2, {{S::PreviousMachine, FIRST, true}}},
        WalkCase{"PreviousMachineFromOffRouteGoesToTheLastMachine",
                 2,
                 false,
                 477,
                 {{S::PreviousMachine, 9, false}, {S::PreviousMachine, 6, false}}},
        WalkCase{"PreviousMachineFromTheNewPointSlot",
                 2,
                 false,
                 478,
                 {{S::PreviousPoint, 476, true}, {S::PreviousMachine, 9, false}}},
        WalkCase{"NextPointWrapsInsideTheMachine",
                 0,
                 false,
                 4,
                 {{S::NextPoint, 5, false}, {S::NextPoint, 1, false}}},
        WalkCase{"PreviousPointWrapsInsideTheMachine",
                 0,
                 false,
                 6,
                 {{S::PreviousPoint, 8, false}, {S::PreviousPoint, 7, false}}},
        WalkCase{"NextPointFromTheLastRoutePoint", 0, false, 13, {{S::NextPoint, 9, false}}},
        WalkCase{"PreviousPointFromTheFirstRoutePoint", 0, false, 1, {{S::PreviousPoint, 5, false}}},
        WalkCase{"NextPointThroughOffRouteAndTheNewSlot",
                 2,
                 false,
                 FIRST,
                 {{S::NextPoint, 477, false}, {S::NextPoint, 476, true}, {S::NextPoint, FIRST, false}}},
        WalkCase{"PreviousPointFromTheFirstOffRouteIsTheNewSlot",
                 2,
                 false,
                 FIRST,
                 {{S::PreviousPoint, 476, true}}},
        WalkCase{"WithoutRouteOrOffRouteTheNewPointStays",
                 0,
                 true,
                 FIRST,
                 {{S::NextPoint, FIRST, true}, {S::PreviousPoint, FIRST, true}}},
        WalkCase{"WithoutRouteThePointsCycleOffRoute",
                 1,
                 true,
                 FIRST,
                 {{S::NextPoint, 477, true}, {S::NextPoint, FIRST, false}}},
        WalkCase{"FullMemoryCyclesAmongTheMeasured",
                 FULL,
                 false,
                 FULL_LOWEST + 1,
                 {{S::NextPoint, FULL_LOWEST, false},
                  {S::NextPoint, FIRST, false},
                  {S::PreviousPoint, FULL_LOWEST, false}}},
        // The route comes back at the next power-on: no more room without it.
        WalkCase{"FullMemoryStaysFullWithoutTheRoute",
                 FULL,
                 true,
                 FULL_LOWEST,
                 {{S::NextPoint, FIRST, false}, {S::PreviousPoint, FULL_LOWEST, false}}},
        WalkCase{"FullMemoryMachinesReachOnlyMeasured",
                 FULL,
                 false,
                 13,
                 {{S::NextMachine, FIRST, false}, {S::PreviousMachine, 9, false}}}),
    [](const ::testing::TestParamInfo<WalkCase>& p) { return std::string(p.param.name); });

TEST(SelectionWithoutRoute, MachineStepsDoNothing) {
    SetUpStore(1, true, 477);
    NewOffRouteRecord(2);
    const TPointRecord before = CurrentPoint;
    for (int16_t direction : {SELECT_NEXT, SELECT_PREVIOUS}) {
        SelectMachine(direction);
        EXPECT_EQ(MenuState.SelectedPoint, 477);
        EXPECT_EQ(std::memcmp(&CurrentPoint, &before, sizeof before), 0);
    }
}

TEST(NewOffRouteRecord, IsBlankButForItsNameAndNumberAndStoresOneSlot) {
    SetUpStore(3, false, 1);
    NewOffRouteRecord(4);
    EXPECT_EQ(CurrentPoint.Status, REC_EMPTY);
    EXPECT_STREQ(CurrentPoint.MachineName, "Off-route");
    EXPECT_STREQ(CurrentPoint.Label, "POINT   4");
    EXPECT_EQ(CurrentPoint.Orientation, 0);
    EXPECT_EQ(CurrentPoint.Flags, -1);
    EXPECT_EQ(CurrentPoint.OverloadMark, -1);
    for (float value : CurrentPoint.Results.Value)
        EXPECT_TRUE(std::isnan(value)) << "no number of a measurement that has not happened";
    NewOffRouteRecord(4); // moving onto the slot again adds nothing
    EXPECT_EQ(StoredOffRouteWords(), 4);
}

// --- machine edges ------------------------------------------------------------------

struct EdgeCase {
    int16_t index;
    int16_t first;
    int16_t last;
};

class MachineEdge : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(MachineEdge, FindsBothEndsOfTheMachineRun) {
    SetUpStore(2, false, 1);
    const EdgeCase& c = GetParam();
    char name[POINT_TEXT_SIZE];
    RouteGetMachineName(c.index, name);
    EXPECT_EQ(FindMachineEdge(c.index, name, true), c.first);
    EXPECT_EQ(FindMachineEdge(c.index, name, false), c.last);
}

// Every route point, and the off-route block with its new-point slot 476.
INSTANTIATE_TEST_SUITE_P(DemoRoute, MachineEdge,
                         ::testing::Values(EdgeCase{1, 1, 5}, EdgeCase{2, 1, 5}, EdgeCase{3, 1, 5},
                                           EdgeCase{4, 1, 5}, EdgeCase{5, 1, 5}, EdgeCase{6, 6, 8},
                                           EdgeCase{7, 6, 8}, EdgeCase{8, 6, 8}, EdgeCase{9, 9, 13},
                                           EdgeCase{10, 9, 13}, EdgeCase{11, 9, 13}, EdgeCase{12, 9, 13},
                                           EdgeCase{13, 9, 13}, EdgeCase{476, 476, 478},
                                           EdgeCase{477, 476, 478}, EdgeCase{478, 476, 478}));

TEST(MachineEdge, NamesMatchOnlyAsWholeStrings) {
    SetUpStore(0, false, 1);
    // "machine" begins every machine name of the demo route, but is none of them.
    EXPECT_EQ(FindMachineEdge(3, "machine", false), 3);
    EXPECT_EQ(FindMachineEdge(3, "machine", true), 3);
    EXPECT_EQ(FindMachineEdge(3, "Machine 1", false), 3);
}

} // namespace
