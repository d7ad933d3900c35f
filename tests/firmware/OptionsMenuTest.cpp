// The OPTS menu on the running firmware: the unit choices, the deletions and
// where they leave the selection, and the memory-error paths, which the
// in-memory store never takes by itself: the state is set as a failed store
// operation leaves it, while the worker waits for a key.
#include "SimSession.h"
#include "VirtualHostFixture.h"
#include "device/Buttons.h"
#include "device/Device.h"
#include "device/Deviceioemulation.h"
#include "device/Lcd.h"
#include "firmware/Offlinemode.h"
#include "platform/DateTime.h"
#include "platform/Strings.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

struct CaseName {
    template <class T> std::string operator()(const ::testing::TestParamInfo<T>& p) const {
        return p.param.name;
    }
};

enum : int { LINE_DELETE_ROUTE = 2, LINE_DELETE_OFFROUTE = 3, LINE_ERASE = 4, LINE_ACCELERATION = 5 };

std::vector<uint16_t> StoredOffRouteWords() {
    std::vector<uint16_t> words;
    OffRouteSave(words);
    return words;
}

int16_t RouteCount() {
    TRouteCounts counts;
    RouteGetCounts(counts);
    return counts[1];
}

class OptionsTest : public ::testing::Test {
  protected:
    void SetUp() override { SavedState = TDeviceState{}; }
    void TearDown() override { session.reset(); }

    // Switches on from SavedState (the route screen on its point) and opens
    // the OPTS menu on the given line.
    void Open(int line) {
        session = std::make_unique<TSimSession>(out, EncodeDateTime(2026, 12, 7, 9, 30, 0, 0));
        for (const char* step : {"k1-long", "wait 1500", "both", "k1", "k1", "k1", "k1", "k1", "k2"})
            Run(step);
        Run("k1", line);
    }
    void Run(const std::string& line, int times = 1) {
        for (int i = 0; i < times; ++i) {
            std::string error;
            ASSERT_TRUE(session->RunLine(line, error)) << error;
        }
    }
    std::string K2Hint() { return session->Device().GetHintK2(); }

    std::ostringstream out;
    std::unique_ptr<TSimSession> session;
};

// --- unit choices ---------------------------------------------------------------------

class UnitChoiceCycle : public OptionsTest, public ::testing::WithParamInterface<int16_t> {};

TEST_P(UnitChoiceCycle, RunsThroughSixChoicesOfItsQuantityOnly) {
    const int16_t q = GetParam();
    Open(LINE_ACCELERATION + q);
    // PK, RMS, P-P metric, then PK, RMS, P-P inch-based, then metric PK again.
    const int16_t expected[6][2] = {{1, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}, {0, 0}};
    for (const auto& [level, system] : expected) {
        Run("k2");
        for (int16_t other = 0; other < 3; ++other) {
            const bool changes = other == q;
            EXPECT_EQ(MenuState.LevelType[other], changes ? level : 0) << "quantity " << other;
            EXPECT_EQ(MenuState.UnitSystem[other], changes ? system : 0) << "quantity " << other;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Quantities, UnitChoiceCycle, ::testing::Values(0, 1, 2));

// --- deletions --------------------------------------------------------------------------

struct DeleteCase {
    const char* name;
    int line;
    std::vector<uint16_t> savedOffRoute;
    int16_t selected;
    const char* answer; // k2 yes, k1 no
    int16_t expectSelected;
    uint16_t expectStatus; // of CurrentPoint
    std::vector<uint16_t> expectOffRoute;
    int16_t expectRouteCount;
};

class Deletion : public OptionsTest, public ::testing::WithParamInterface<DeleteCase> {};

TEST_P(Deletion, LeavesTheSelectionOnAPointTheStoreHolds) {
    const DeleteCase& c = GetParam();
    SavedState.UnroutePoints = c.savedOffRoute;
    SavedState.SelectedPoint = c.selected;
    Open(c.line);
    const TPointRecord before = CurrentPoint;
    Run("k2");
    EXPECT_THAT(K2Hint(), ::testing::StartsWith("Short click: «Yes»: delete the")) << "the question";
    Run(c.answer);
    if (std::string(c.answer) == "k2") Run("k1"); // closes the report
    EXPECT_EQ(MenuState.SelectedPoint, c.expectSelected);
    EXPECT_EQ(CurrentPoint.Status, c.expectStatus);
    EXPECT_EQ(StoredOffRouteWords(), c.expectOffRoute);
    EXPECT_EQ(RouteCount(), c.expectRouteCount);
    if (c.expectSelected == c.selected)
        EXPECT_STREQ(CurrentPoint.Label, before.Label) << "the current point is left as it was";
    else
        EXPECT_STREQ(CurrentPoint.MachineName, "Off-route");
    EXPECT_EQ(MenuState.MemStatus, 0);
    EXPECT_EQ(MenuState.MenuItem, ITEM_OPTS);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Deletion,
    ::testing::Values(
        // A route point moves to off-route point 1: a new slot when there is none...
        DeleteCase{"RouteWithRoutePointSelected", LINE_DELETE_ROUTE, {}, 5, "k2", 478, REC_EMPTY, {2}, 0},
        // ... or the measured point the store holds.
        DeleteCase{
            "RouteWithMeasuredOffRoutePoints", LINE_DELETE_ROUTE, {4}, 5, "k2", 478, REC_MEASURED, {6}, 0},
        DeleteCase{"RouteWithOffRoutePointSelected",
                   LINE_DELETE_ROUTE,
                   {4, 4},
                   477,
                   "k2",
                   477,
                   REC_MEASURED,
                   {6, 6},
                   0},
        DeleteCase{"RouteAnsweredNo", LINE_DELETE_ROUTE, {4}, 5, "k1", 5, REC_EMPTY, {6}, ROUTE_POINT_COUNT},
        DeleteCase{"OffRouteWithOffRoutePointSelected",
                   LINE_DELETE_OFFROUTE,
                   {4, 4},
                   477,
                   "k2",
                   478,
                   REC_EMPTY,
                   {2},
                   ROUTE_POINT_COUNT},
        DeleteCase{"OffRouteWithRoutePointSelected",
                   LINE_DELETE_OFFROUTE,
                   {4, 4},
                   5,
                   "k2",
                   5,
                   REC_EMPTY,
                   {},
                   ROUTE_POINT_COUNT},
        DeleteCase{"OffRouteAnsweredNo",
                   LINE_DELETE_OFFROUTE,
                   {4, 4},
                   477,
                   "k1",
                   477,
                   REC_MEASURED,
                   {6, 6},
                   ROUTE_POINT_COUNT}),
    CaseName{});

// --- memory error -----------------------------------------------------------------------

class InMemoryError : public OptionsTest, public ::testing::WithParamInterface<int> {};

TEST_P(InMemoryError, DeletionsDoNothing) {
    SavedState.UnroutePoints = {4};
    SavedState.SelectedPoint = 5;
    Open(GetParam());
    MenuState.MemStatus = MEM_ERROR;
    MenuState.MenuItem = ITEM_MEAS;
    const std::string hint = K2Hint();
    Run("k2");
    EXPECT_EQ(K2Hint(), hint) << "no question, the menu is drawn again";
    EXPECT_EQ(MenuState.MemStatus, MEM_ERROR);
    EXPECT_EQ(MenuState.SelectedPoint, 5);
    EXPECT_EQ(RouteCount(), ROUTE_POINT_COUNT);
    EXPECT_THAT(StoredOffRouteWords(), ElementsAre(6));
}

INSTANTIATE_TEST_SUITE_P(Lines, InMemoryError, ::testing::Values(LINE_DELETE_ROUTE, LINE_DELETE_OFFROUTE));

struct EraseCase {
    const char* name;
    std::vector<uint16_t> savedOffRoute;
    uint16_t expectStatus;
    std::vector<uint16_t> expectOffRoute;
};

class EraseInMemoryError : public OptionsTest, public ::testing::WithParamInterface<EraseCase> {};

TEST_P(EraseInMemoryError, ClearsTheErrorAndSelectsOffRoutePointOne) {
    SavedState.UnroutePoints = GetParam().savedOffRoute;
    SavedState.SelectedPoint = 5;
    Open(LINE_ERASE);
    MenuState.MemStatus = MEM_ERROR;
    MenuState.MenuItem = ITEM_MEAS;
    Run("k2");
    EXPECT_EQ(MenuState.MemStatus, 0);
    EXPECT_EQ(MenuState.SelectedPoint, OFFROUTE_FIRST_INDEX);
    EXPECT_EQ(CurrentPoint.Status, GetParam().expectStatus);
    EXPECT_EQ(StoredOffRouteWords(), GetParam().expectOffRoute);
    EXPECT_THAT(K2Hint(), ::testing::StartsWith("Short click: message on the possibility"))
        << "back in the menu";
    Run("both");
    EXPECT_EQ(MenuState.MenuItem, ITEM_MEAS) << "the main menu stays where the error put it";
}

INSTANTIATE_TEST_SUITE_P(
    Stores, EraseInMemoryError,
    ::testing::Values(EraseCase{"NoOffRoutePoints", {}, REC_EMPTY, {2}},
                      // The erase keeps the measurements: point 1 is loaded, no second slot is made.
                      EraseCase{"MeasuredOffRoutePoints", {4}, REC_MEASURED, {6}}),
    CaseName{});

// --- a failing store operation ---------------------------------------------------------------

// A device whose firmware only hands rc to RecordStoreResult, then takes keys.
class StoreResultTest : public VirtualHostTest {
  protected:
    void Start(int16_t rc) {
        SetThreadLanguage(LANG_ENGLISH);
        MenuState = TMenuState{};
        MenuState.MenuItem = ITEM_OPTS;
        device = std::make_unique<TDevice>(
            [this, rc] {
                failed = RecordStoreResult(rc) ? 1 : 0;
                for (;;)
                    WaitKey();
            },
            &MenuState.Backlight);
        g_Device = device.get();
        host.RunUntilIdle();
        ButtonDown(device->Buttons(), KEY_K1);
        host.Advance(500);
        ButtonUp(device->Buttons());
        host.RunUntilIdle();
    }
    void TearDown() override {
        device.reset();
        g_Device = nullptr;
    }

    std::unique_ptr<TDevice> device;
    int failed = -1; // written by the worker before it waits
};

TEST_F(StoreResultTest, SuccessIsKeptWithoutAWord) {
    MenuState.MemStatus = MEM_ERROR;
    Start(0);
    EXPECT_EQ(failed, 0);
    EXPECT_EQ(MenuState.MemStatus, 0);
    EXPECT_EQ(MenuState.MenuItem, ITEM_OPTS);
}

TEST_F(StoreResultTest, FailureIsReportedAndMovesTheMainMenuToMeas) {
    Start(MEM_ERROR);
    EXPECT_EQ(failed, -1) << "the report waits for a key";
    EXPECT_EQ(MenuState.MemStatus, MEM_ERROR);
    std::vector<uint8_t> shown(LcdBuffer, LcdBuffer + sizeof LcdBuffer);
    LcdClear();
    const char* text = "Memory error!!!";
    LcdPutText(1, static_cast<int16_t>((LCD_WIDTH - 6 * static_cast<int16_t>(std::strlen(text))) / 2), 0,
               text);
    LcdPutText(3, 13, 0, "Press button.");
    EXPECT_THAT(shown, ElementsAreArray(LcdBuffer, sizeof LcdBuffer));
    device->PostKeyEvent(KEY_K2 + KEY_SHORT);
    host.RunUntilIdle();
    EXPECT_EQ(failed, 1);
    EXPECT_EQ(MenuState.MenuItem, ITEM_MEAS);
}

} // namespace
