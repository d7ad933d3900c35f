// Closing the window: at once in every state of the instrument, and still
// with the instrument's state kept (a measurement under way is stored).
#include "MainWindowFixture.h"

#include "app/QtHost.h"
#include "device/Deviceioemulation.h"
#include "firmware/Analysis.h"
#include "firmware/Offlinemode.h"
#include "measure/Routes.h"
#include "measure/Samplingimp.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

#include <atomic>
#include <functional>
#include <ostream>

namespace {

class CloseTest;

// What the user may be looking at when closing, reached by real key input.
struct CloseCase {
    const char* name;
    std::function<void(CloseTest&)> reach;
    bool pointMeasured;    // point 1 holds a measurement afterwards
    bool inPointSelection; // the route screen's point line is kept
};

void PrintTo(const CloseCase& c, std::ostream* os) {
    *os << c.name;
}

class CloseTest : public MainWindowTest, public ::testing::WithParamInterface<CloseCase> {
  public:
    void K1() { Click(Qt::Key_Right); }
    void K2() { Click(Qt::Key_Left); }
    void K1Long() {
        KeyDown(Qt::Key_Right);
        host.Advance(500);
        KeyUp(Qt::Key_Right);
    }
    void BothKeys() {
        KeyDown(Qt::Key_Right);
        KeyDown(Qt::Key_Left);
        KeyUp(Qt::Key_Left);
        KeyUp(Qt::Key_Right);
    }
    // Point 1 of the route (unmeasured at first), from the route screen.
    void MeasurePointOne() {
        K2(); // the point line
        K2(); // measures at once
    }
    void Wait(uint32_t ms) { host.Advance(ms); }
    void MainWindowPowerOn() { PowerOn(); }

  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ViewState = TSpectrumViewState{};
        Open();
        host.Advance(1); // the Quick Start note (recorded, not shown)
    }

  private:
    void Click(Qt::Key key) {
        KeyDown(key);
        KeyUp(key);
    }
};

TEST_P(CloseTest, TheWindowGoesAtOnceAndTheStateIsKept) {
    GetParam().reach(*this);
    ASSERT_TRUE(g_Device->IsOn());
    const uint64_t before = host.Elapsed();
    QTest::mouseClick(Child("ToolButtonExit"), Qt::LeftButton);
    EXPECT_LT(host.Elapsed() - before, 500u) << "virtual ms the window stayed after Exit";
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(g_Device, nullptr);
    EXPECT_EQ((SavedState.RoutePoints[0] & PS_MEASURED) != 0, GetParam().pointMeasured);
    EXPECT_EQ(SavedState.IsPointSelectMenu, GetParam().inPointSelection ? 1 : 0);
    // Input after the device is gone does nothing harmful.
    KeyDown(Qt::Key_Right);
    KeyUp(Qt::Key_Right);
}

const CloseCase kCloseCases[] = {
    {"PowerOnScreen", [](CloseTest& test) { test.K1Long(); }, false, false},
    {"PointLine",
     [](CloseTest& test) {
         test.MainWindowPowerOn();
         test.K2();
     },
     false, true},
    {"Acquisition",
     [](CloseTest& test) {
         test.MainWindowPowerOn();
         test.MeasurePointOne();
         test.Wait(1000); // a second into the 5-second acquisition
         ASSERT_EQ(ViewState.Kind, 0);
     },
     true, true},
    {"Question",
     [](CloseTest& test) {
         test.MainWindowPowerOn();
         test.MeasurePointOne();
         test.Wait(6000);
         test.K2(); // measured: asks before replacing the data
     },
     true, true},
    {"SpectrumView",
     [](CloseTest& test) {
         test.MainWindowPowerOn();
         test.BothKeys(); // the main menu
         test.K1Long();   // HF SP.
         test.K2();
         test.K2(); // Yes
         test.Wait(5900);
         ASSERT_EQ(ViewState.Kind, KIND_HF);
     },
     false, false},
};

INSTANTIATE_TEST_SUITE_P(States, CloseTest, ::testing::ValuesIn(kCloseCases),
                         [](const ::testing::TestParamInfo<CloseCase>& c) {
                             return std::string(c.param.name);
                         });

// The same with real threads and real time: the worker is in the middle of
// its 5-second acquisition pause when the window is closed.
TEST(CloseInRealTime, TheWindowIsHiddenWithinHalfASecondDuringAnAcquisition) {
    TQtHost host;
    THostInstall install(host);
    TAuxWindowRecorder aux;
    std::atomic<bool> sampling{false};
    std::atomic<bool> sampled{false};
    const auto firmware = [&] {
        uint16_t status = 0;
        sampling.store(true);
        AcquireWaveform(KIND_MEAS, &status, true);
        sampled.store(true);
        WaitKey();
    };
    auto window = std::make_unique<TFormORX700DemoMain>(aux, firmware);
    window->show();
    g_Device->PostKeyEvent(KEY_K1 + KEY_LONG);
    QTRY_VERIFY(sampling.load());

    QElapsedTimer clock;
    clock.start();
    window->close();
    const qint64 ms = clock.elapsed();
    EXPECT_FALSE(window->isVisible());
    EXPECT_LT(ms, 500);
    EXPECT_TRUE(sampled.load()) << "the firmware goes on after a shortened acquisition";
    window.reset();
    QApplication::processEvents();
}

} // namespace
