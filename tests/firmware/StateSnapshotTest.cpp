// A save while the instrument stays on: the worker publishes the resume
// record at every key wait, so the page reads a measurement made a moment
// ago without switching off; during the measurement the worker says it is
// working, and a posted power-off parks it with the same record saved.
#include "SimSession.h"
#include "device/Device.h"
#include "firmware/Offlinemode.h"
#include "measure/Routes.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

class StateSnapshotTest : public ::testing::Test {
  protected:
    void SetUp() override {
        SavedState = TDeviceState{};
        PublishDeviceState(SavedState);
        session = std::make_unique<TSimSession>(out, 46000.0);
        session->Device().OnKeyWait = PublishCurrentDeviceState;
    }
    void Run(std::initializer_list<const char*> lines) {
        for (const char* line : lines) {
            std::string error;
            ASSERT_TRUE(session->RunLine(line, error)) << error;
        }
    }
    TDevice& Device() { return session->Device(); }

    std::ostringstream out;
    std::unique_ptr<TSimSession> session;
};

TEST_F(StateSnapshotTest, EachKeyWaitPublishesWhatAPowerOffWouldSave) {
    EXPECT_EQ(Device().WorkerState(), TWorkerState::Parked);
    Run({"k1-long", "wait 1500", "k2", "k1"}); // point line, point 2
    EXPECT_EQ(PublishedDeviceState().SelectedPoint, 2);
    EXPECT_EQ(PublishedDeviceState().IsPointSelectMenu, 1);
    EXPECT_EQ(PublishedDeviceState().RoutePoints[1] & PS_MEASURED, 0);

    Run({"k2", "wait 1000"}); // acquiring
    EXPECT_EQ(Device().WorkerState(), TWorkerState::Working);
    EXPECT_EQ(PublishedDeviceState().RoutePoints[1] & PS_MEASURED, 0)
        << "the record from before the measurement";
    Run({"wait 5000"});
    EXPECT_EQ(Device().WorkerState(), TWorkerState::WaitingForKey);
    EXPECT_NE(PublishedDeviceState().RoutePoints[1] & PS_MEASURED, 0);
    EXPECT_TRUE(Device().IsOn());
    EXPECT_EQ(SavedState.RoutePoints[1] & PS_MEASURED, 0) << "nothing was switched off to publish it";

    // The second measurement of the run is published as well.
    Run({"k1", "k2", "wait 6000"}); // point 3
    EXPECT_NE(PublishedDeviceState().RoutePoints[2] & PS_MEASURED, 0);

    Device().PowerOff();
    Run({"wait 10"});
    EXPECT_EQ(Device().WorkerState(), TWorkerState::Parked);
    EXPECT_FALSE(Device().IsOn());
    const TDeviceState published = PublishedDeviceState();
    EXPECT_EQ(SavedState.SelectedPoint, published.SelectedPoint);
    for (int i = 0; i < ROUTE_POINT_COUNT; ++i)
        EXPECT_EQ(SavedState.RoutePoints[i], published.RoutePoints[i]) << i;
    EXPECT_EQ(SavedState.UnroutePoints, published.UnroutePoints);
}

} // namespace
