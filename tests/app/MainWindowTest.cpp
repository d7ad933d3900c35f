// The window's layout, its tool buttons and the windows they open, the Quick
// Start note, and closing.
#include "MainWindowFixture.h"

#include "device/Deviceioemulation.h"
#include "firmware/Offlinemode.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gmock/gmock.h>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class WindowTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Open();
    }
    QRect Geometry(const char* name) { return Child(name)->geometry(); }
};

TEST_F(WindowTest, TheBalloonsPointIntoThePressedKeysAndTheLcdLiesOnTheInstrument) {
    EXPECT_EQ(window->size(), QSize(873, 384));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    const QPoint k1Tip = Geometry("ImageHintK1").topLeft() + QPoint(240, 1);
    const QPoint k2Tip = Geometry("ImageHintK2").topLeft() + QPoint(150, 120);
    EXPECT_TRUE(Geometry("ImageButton1").contains(k1Tip));
    EXPECT_TRUE(Geometry("ImageButton2").contains(k2Tip));
    EXPECT_TRUE(Geometry("ImageDevice").contains(Geometry("ImageDeviceScreen")));
    EXPECT_EQ(Geometry("ImageDeviceScreen").size(), QSize(254, 68));
    EXPECT_EQ(Geometry("ToolBar"), QRect(0, 0, 873, 56));
    EXPECT_EQ(Geometry("StatusBar"), QRect(0, 365, 873, 19));
}

TEST_F(WindowTest, QuickStartShowsOnceWhenTheWindowRuns) {
    EXPECT_THAT(aux.Calls, IsEmpty());
    host.Advance(1);
    host.Advance(60000);
    EXPECT_THAT(aux.Calls, ElementsAre("quick start"));
    EXPECT_THAT(aux.Owners, ElementsAre(window.get()));
}

TEST_F(WindowTest, QuickStartWaitsForTheWindowToBeOnTheScreen) {
    // As before the window system has put the window up: the note would be
    // centred on a window that is not there yet.
    window->hide();
    QApplication::processEvents();
    host.Advance(1);
    host.Advance(10000);
    EXPECT_THAT(aux.Calls, IsEmpty());
    window->show();
    QApplication::processEvents();
    host.Advance(100);
    EXPECT_THAT(aux.Calls, ElementsAre("quick start"));
    host.Advance(10000);
    EXPECT_THAT(aux.Calls, ElementsAre("quick start"));
}

TEST_F(WindowTest, EveryToolButtonLiesOnTheToolBarNoneInItsOverflow) {
    // A button that no longer fits the width goes behind the tool bar's
    // extension arrow, out of sight: Exit did once.
    auto* bar = window->findChild<QToolBar*>(QStringLiteral("ToolBar"));
    ASSERT_NE(bar, nullptr);
    const QList<QToolButton*> buttons =
        bar->findChildren<QToolButton*>(QString(), Qt::FindDirectChildrenOnly);
    int named = 0;
    for (QToolButton* button : buttons) {
        if (!button->objectName().startsWith(QStringLiteral("ToolButton"))) continue;
        ++named;
        EXPECT_TRUE(button->isVisible()) << button->objectName().toStdString();
        EXPECT_LE(button->geometry().right(), bar->width() - 1) << button->objectName().toStdString();
    }
    EXPECT_GE(named, 7);
}

TEST_F(WindowTest, HelpMenuOpensItsWindowsAndGivesTheArrowsBack) {
    host.Advance(1);
    aux.Calls.clear();
    aux.Owners.clear();
    for (const char* action : {"ActionOverview", "ActionAbout"}) {
        Child("ComboBoxLanguage")->setFocus(Qt::MouseFocusReason);
        auto* item = window->findChild<QAction*>(QLatin1String(action));
        ASSERT_NE(item, nullptr) << action;
        item->trigger();
        EXPECT_EQ(window->focusWidget(), nullptr) << action;
    }
    window->findChild<QAction*>(QStringLiteral("ActionUserManual"))->trigger();
    EXPECT_THAT(aux.Calls, ElementsAre("overview", "about", "user manual"));
    EXPECT_THAT(aux.Owners, ElementsAre(window.get(), window.get(), window.get()));
    KeyDown(Qt::Key_Right);
    KeyUp(Qt::Key_Right);
    EXPECT_THAT(events, ElementsAre(KEY_K1 + KEY_SHORT));
}

} // namespace
