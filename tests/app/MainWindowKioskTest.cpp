// The window as a kiosk under virtual time: the tour plays on the instrument
// with its captions, visitors find no Exit and cannot close the window, and a
// visitor's key takes the instrument over with the usage line back, until a
// minute without input brings the tour back.
#include "MainWindowFixture.h"

#include "device/Deviceioemulation.h"
#include "device/KeyCodes.h"
#include "platform/Strings.h"
#include "recording/Kiosk.h"
#include "resources/StringIds.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class WindowKiosk : public MainWindowTest {
  protected:
    void StartTour(const char* text) {
        Open();
        TRecordingPlan tour;
        std::string error;
        ASSERT_TRUE(ParseRecordingPlan(text, tour, error)) << error;
        window->StartKiosk(std::move(tour), 1);
    }
    void Advance(uint32_t ms) {
        host.Advance(ms);
        host.RunUntilIdle();
        QApplication::processEvents();
    }
    QString Status() { return static_cast<QLabel*>(Child("StatusText"))->text(); }
    bool ButtonShown(const char* name) {
        auto* bar = static_cast<QToolBar*>(Child("ToolBar"));
        for (QAction* action : bar->actions())
            if (bar->widgetForAction(action) == Child(name)) return action->isVisible();
        return false;
    }
};

TEST_F(WindowKiosk, TheTourPlaysUntilAVisitorsKeyAndVisitorsCannotLeave) {
    StartTour(
        "recording 1\nstate-end\nlang RUS\nwait 100\nk1-long\nwait 3000\nk2\nwait 60000\nk1\nwait 500\n");
    Advance(200);
    EXPECT_TRUE(g_Device->IsOn());
    EXPECT_EQ(GetThreadLanguage(), LANG_RUSSIAN); // through the language box
    EXPECT_EQ(Status().toStdString(), LoadStr(TEXT_KIOSK_TOURING));
    EXPECT_TRUE(Child("CaptionStrip")->isVisible());
    for (const char* name :
         {"ToolButtonExit", "ToolButtonMachines", "ToolButtonExercise", "ToolButtonTransfer"})
        EXPECT_FALSE(ButtonShown(name)) << name;
    EXPECT_TRUE(ButtonShown("ToolButtonShow"));
    for (const char* size : {"ActionSizeNormal", "ActionSizeOneHalf", "ActionSizeDouble"})
        EXPECT_FALSE(window->findChild<QAction*>(QLatin1String(size))->isEnabled()) << size;
    // Nothing in its menu writes files or changes the setup.
    for (const char* name :
         {"ActionRecord", "ActionPlay", "ActionRecordAnimation", "ActionImportState", "ActionOwnState"})
        EXPECT_FALSE(window->findChild<QAction*>(QLatin1String(name))->isVisible()) << name;
    EXPECT_TRUE(window->findChild<QAction*>(QStringLiteral("ActionCaptions"))->isVisible());
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());

    Advance(4000);
    KeyDown(Qt::Key_Left);
    Advance(100);
    KeyUp(Qt::Key_Left);
    Advance(100);
    EXPECT_EQ(Status().toStdString(), LoadStr(TEXT_USAGE));
    // The tour's K2 and the visitor's; the tour's K1 (at 63 s) never comes.
    Advance(59000);
    std::vector<int16_t> want = {KEY_K1 + KEY_LONG, KEY_K2 + KEY_SHORT, KEY_K2 + KEY_SHORT};
    EXPECT_EQ(events, want);
    // A minute after the visitor's last input the tour is back, from its start.
    Advance(1500);
    want.push_back(KEY_K1 + KEY_LONG);
    EXPECT_EQ(events, want);
    EXPECT_EQ(Status().toStdString(), LoadStr(TEXT_KIOSK_TOURING));

    window->EndKiosk();
    EXPECT_TRUE(window->close());
}

} // namespace
