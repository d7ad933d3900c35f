// The key captions under the instrument: off until switched on, kept in the
// state, the events the instrument receives in the window's language, a hold
// as one caption, and gone a few seconds later in virtual time.
#include "MainWindowFixture.h"

#include "app/CaptionStrip.h"
#include "firmware/Offlinemode.h"
#include "recording/KeyCaptions.h"
#include "state/Inifile.h"

#include <QApplication>
#include <QComboBox>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// Counts the paint events a widget gets.
class TPaintCounter : public QObject {
  public:
    explicit TPaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++Count;
        return false;
    }
    int Count = 0;
};

class WindowCaptions : public MainWindowTest {
  protected:
    TCaptionStrip* Strip() { return dynamic_cast<TCaptionStrip*>(Child("CaptionStrip")); }
    // The toggle in the Show button's menu.
    QAction* Action() { return window->findChild<QAction*>(QStringLiteral("ActionCaptions")); }
    std::vector<std::string> Shown() {
        std::vector<std::string> texts;
        for (const TKeyCaption& c : Strip()->Shown())
            texts.push_back(KeyCaptionText(c));
        return texts;
    }
    void Click(Qt::Key key, uint32_t heldMs) {
        KeyDown(key);
        host.Advance(heldMs);
        KeyUp(key);
    }
};

TEST_F(WindowCaptions, OffByDefaultThenTheKeysTheInstrumentGetsInTheWindowsLanguageUntilTheyFade) {
    Open();
    EXPECT_FALSE(Strip()->isVisible());
    EXPECT_FALSE(Action()->isChecked());
    Action()->trigger();
    ASSERT_TRUE(Strip()->isVisible());
    EXPECT_EQ(SavedState.ShowKeyCaptions, 1);

    PowerOn();
    EXPECT_EQ(Shown(), std::vector<std::string>{"K1 long"});
    Click(Qt::Key_Left, 2000); // K2 held: forty repeats, one caption
    EXPECT_EQ(Shown(), (std::vector<std::string>{"K1 long", "K2 held"}));
    auto* box = dynamic_cast<QComboBox*>(Child("ComboBoxLanguage"));
    box->setCurrentIndex(box->findText(QStringLiteral("RUS")));
    host.RunUntilIdle();
    Click(Qt::Key_Right, 100);
    Click(Qt::Key_Right, 100);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"K1 длинно", "K2 удержание", "K1 коротко ×2"}));

    // The strip's own timer repaints it as they fade and go, with no key.
    QApplication::processEvents();
    TPaintCounter paints(Strip());
    host.Advance(KEY_CAPTION_SHOW_MS + KEY_CAPTION_FADE_MS / 2);
    QApplication::processEvents();
    EXPECT_GT(paints.Count, 0) << "fading";
    host.Advance(KEY_CAPTION_FADE_MS / 2);
    EXPECT_TRUE(Shown().empty());
    QApplication::processEvents();
    const int gone = paints.Count;
    host.Advance(60000);
    QApplication::processEvents();
    EXPECT_EQ(paints.Count, gone) << "nothing ticks once they are gone";

    // Switched off and on again, the strip starts empty.
    Click(Qt::Key_Right, 100);
    Action()->trigger();
    EXPECT_FALSE(Strip()->isVisible());
    EXPECT_EQ(SavedState.ShowKeyCaptions, 0);
    Action()->trigger();
    EXPECT_TRUE(Shown().empty());
}

TEST_F(WindowCaptions, TheChoiceIsKeptInTheStateFileAndComesBackAtTheNextRun) {
    SavedState.ShowKeyCaptions = 1;
    TIniDocument ini;
    WriteIniState(ini, SavedState);
    SavedState = TDeviceState{};
    ReadIniState(TIniDocument(ini.Text()), SavedState);
    ASSERT_EQ(SavedState.ShowKeyCaptions, 1) << ini.Text();
    Open();
    EXPECT_TRUE(Strip()->isVisible());
    EXPECT_TRUE(Action()->isChecked());
}

} // namespace
