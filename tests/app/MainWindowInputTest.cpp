// The arrow keys and the mouse buttons press the instrument's keys, with the
// pressed-key pictures, and the pointer leaving the window ends a press.
#include "MainWindowFixture.h"

#include "device/Deviceioemulation.h"
#include "device/KeyCodes.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QTest>

#include <functional>
#include <ostream>

#include <gmock/gmock.h>

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// A point on the instrument's picture, away from the LCD and the keys.
constexpr QPoint kOnDevice(120, 250);

class InputTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Open();
    }
    bool Shown(const char* picture) { return Child(picture)->isVisible(); }
};

struct KeyCase {
    Qt::Key key;
    const char* picture;
    uint32_t heldMs;
    int16_t expected;
};

class ArrowKeys : public InputTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(ArrowKeys, PressTheirKeyWithItsPicture) {
    const KeyCase& c = GetParam();
    KeyDown(c.key);
    EXPECT_TRUE(Shown(c.picture));
    host.Advance(c.heldMs);
    KeyUp(c.key);
    EXPECT_FALSE(Shown(c.picture));
    EXPECT_THAT(events, ElementsAre(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Keys, ArrowKeys,
                         ::testing::Values(KeyCase{Qt::Key_Right, "ImageButton1", 100, KEY_K1 + KEY_SHORT},
                                           KeyCase{Qt::Key_Right, "ImageButton1", 500, KEY_K1 + KEY_LONG},
                                           KeyCase{Qt::Key_Left, "ImageButton2", 100, KEY_K2 + KEY_SHORT},
                                           KeyCase{Qt::Key_Left, "ImageButton2", 500, KEY_K2 + KEY_LONG}),
                         [](const auto& instance) {
                             return std::string(instance.param.key == Qt::Key_Right ? "Right" : "Left") +
                                    std::to_string(instance.param.heldMs) + "ms";
                         });

struct ButtonCase {
    Qt::MouseButton button;
    const char* picture;
    int16_t key;
};

class MouseButtons : public InputTest, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(MouseButtons, PressTheirKeyAnywhereOnTheInstrument) {
    const ButtonCase& c = GetParam();
    for (const QPoint at : {kOnDevice, LcdPoint(60, 16), QPoint(700, 320), QPoint(5, 60)}) {
        events.clear();
        MouseDown(c.button, at);
        EXPECT_TRUE(Shown(c.picture)) << at.x() << "," << at.y();
        host.Advance(100);
        MouseUp(c.button, at);
        EXPECT_FALSE(Shown(c.picture));
        EXPECT_THAT(events, ElementsAre(c.key + KEY_SHORT)) << at.x() << "," << at.y();
        host.Advance(1000);
    }
}

INSTANTIATE_TEST_SUITE_P(Buttons, MouseButtons,
                         ::testing::Values(ButtonCase{Qt::RightButton, "ImageButton1", KEY_K1},
                                           ButtonCase{Qt::LeftButton, "ImageButton2", KEY_K2}),
                         [](const auto& instance) {
                             return instance.param.key == KEY_K1 ? "RightIsK1" : "LeftIsK2";
                         });

TEST_F(InputTest, OtherInputPressesNoKey) {
    MouseDown(Qt::MiddleButton, kOnDevice);
    host.Advance(100);
    MouseUp(Qt::MiddleButton, kOnDevice);
    KeyDown(Qt::Key_Up);
    KeyUp(Qt::Key_Up);
    // The status bar is not part of the instrument.
    MouseDown(Qt::LeftButton, QPoint(400, 375));
    host.Advance(100);
    MouseUp(Qt::LeftButton, QPoint(400, 375));
    EXPECT_THAT(events, IsEmpty());
    EXPECT_FALSE(Shown("ImageButton1"));
    EXPECT_FALSE(Shown("ImageButton2"));
}

TEST_F(InputTest, BothMouseButtonsTogetherAreOneBothKeysEvent) {
    MouseDown(Qt::LeftButton, kOnDevice);
    host.Advance(150);
    MouseDown(Qt::RightButton, kOnDevice);
    EXPECT_TRUE(Shown("ImageButton1"));
    EXPECT_TRUE(Shown("ImageButton2"));
    host.Advance(2000);
    MouseUp(Qt::LeftButton, kOnDevice);
    MouseUp(Qt::RightButton, kOnDevice);
    EXPECT_THAT(events, ElementsAre(KEY_BOTH));
}

// The forms a held arrow's keyboard repeat reaches the window in: pairs of a
// release and a press that Qt marks as a repeat, or, with the X server's
// detectable auto-repeat, presses alone that Qt does not mark.
enum class RepeatForm { MarkedPairs, UnmarkedPresses };

struct RepeatCase {
    RepeatForm form;
    uint32_t heldMs; // how long the arrow is held before its release
};

void PrintTo(const RepeatCase& c, std::ostream* os) {
    *os << (c.form == RepeatForm::MarkedPairs ? "marked pairs, " : "unmarked presses, ") << c.heldMs << " ms";
}

class KeyboardRepeat : public InputTest, public ::testing::WithParamInterface<RepeatCase> {
  protected:
    // Holds the Right arrow for heldMs with the keyboard repeating it as a
    // keyboard does: from 660 ms on, every 40 ms.
    void HoldRight() {
        KeyDown(Qt::Key_Right);
        uint32_t at = 660;
        host.Advance(at);
        for (; at < GetParam().heldMs; at += 40) {
            if (GetParam().form == RepeatForm::MarkedPairs) SendKey(QEvent::KeyRelease, Qt::Key_Right, true);
            SendKey(QEvent::KeyPress, Qt::Key_Right, GetParam().form == RepeatForm::MarkedPairs);
            EXPECT_TRUE(Shown("ImageButton1"));
            host.Advance(40);
        }
        KeyUp(Qt::Key_Right);
    }
};

TEST_P(KeyboardRepeat, IsNotANewPress) {
    PowerOn(); // or the first repeat would switch it on and end the press
    events.clear();
    HoldRight();
    // Only the instrument's own repeat: at 1100 ms, then every 50 ms.
    EXPECT_THAT(events, ::testing::SizeIs((GetParam().heldMs - 1100) / 50 + 1));
    EXPECT_THAT(events, ::testing::Each(KEY_K1 + KEY_REPEAT));
}

// A user switches on by holding K1 with the state saved on the point line at
// point 007: the instrument comes back on that point, however long the hold.
TEST_P(KeyboardRepeat, HoldingK1ToSwitchOnKeepsTheSavedSelection) {
    window.reset();
    SavedState.SelectedPoint = 7;
    SavedState.IsPointSelectMenu = 1;
    SavedState.BacklightOn = 1;
    Open();
    HoldRight();
    host.Advance(3000);
    ASSERT_TRUE(g_Device->IsOn());
    EXPECT_THAT(events, ElementsAre(KEY_K1 + KEY_REPEAT)) << "the press that switched it on, nothing after";
    EXPECT_EQ(MenuState.SelectedPoint, 7);
    EXPECT_EQ(MenuState.MenuItem, ITEM_POINTS);
    // The next click is a click again.
    KeyDown(Qt::Key_Right);
    host.Advance(100);
    KeyUp(Qt::Key_Right);
    EXPECT_EQ(MenuState.SelectedPoint, 8);
}

INSTANTIATE_TEST_SUITE_P(Forms, KeyboardRepeat,
                         ::testing::Values(RepeatCase{RepeatForm::MarkedPairs, 1500},
                                           RepeatCase{RepeatForm::MarkedPairs, 3000},
                                           RepeatCase{RepeatForm::UnmarkedPresses, 1500},
                                           RepeatCase{RepeatForm::UnmarkedPresses, 3000}),
                         [](const auto& instance) {
                             return std::string(instance.param.form == RepeatForm::MarkedPairs
                                                    ? "MarkedPairs"
                                                    : "UnmarkedPresses") +
                                    std::to_string(instance.param.heldMs) + "ms";
                         });

TEST_F(InputTest, LeavingTheWindowWithAHeldButtonEndsThePressThen) {
    MouseDown(Qt::LeftButton, kOnDevice);
    host.Advance(400);
    MouseMove(QPoint(-30, 200));
    EXPECT_THAT(events, ElementsAre(KEY_K2 + KEY_LONG));
    // Coming back and leaving again, and the late release, add nothing.
    MouseMove(kOnDevice);
    MouseMove(QPoint(900, 200));
    host.Advance(2000);
    MouseUp(Qt::LeftButton, QPoint(900, 200));
    EXPECT_THAT(events, ElementsAre(KEY_K2 + KEY_LONG));
    EXPECT_FALSE(Shown("ImageButton2"));
}

TEST_F(InputTest, ThePointerLeavingEndsAKeyHeldOnTheKeyboard) {
    KeyDown(Qt::Key_Right);
    host.Advance(100);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(window.get(), &leave);
    EXPECT_THAT(events, ElementsAre(KEY_K1 + KEY_SHORT));
    // The picture shows the arrow still down until it is released.
    EXPECT_TRUE(Shown("ImageButton1"));
    host.Advance(2000);
    KeyUp(Qt::Key_Right);
    EXPECT_THAT(events, ElementsAre(KEY_K1 + KEY_SHORT));
    EXPECT_FALSE(Shown("ImageButton1"));
}

TEST_F(InputTest, AFocusedLanguageBoxTakesTheArrows) {
    auto* box = dynamic_cast<QComboBox*>(Child("ComboBoxLanguage"));
    ASSERT_NE(box, nullptr);
    // Clicked: the pointer is on the box.
    PointerTo(box->mapTo(window.get(), box->rect().center()));
    box->setFocus(Qt::MouseFocusReason);
    ASSERT_EQ(window->focusWidget(), box);
    KeyDown(Qt::Key_Right);
    EXPECT_EQ(box->currentText(), "RUS");
    EXPECT_FALSE(Shown("ImageButton1"));
    host.Advance(500);
    KeyUp(Qt::Key_Right);
    KeyDown(Qt::Key_Left);
    KeyUp(Qt::Key_Left);
    EXPECT_EQ(box->currentText(), "ENG");
    EXPECT_THAT(events, IsEmpty());

    // A pointer over the instrument hands the arrows back to it.
    MouseMove(kOnDevice);
    EXPECT_EQ(window->focusWidget(), nullptr);
    KeyDown(Qt::Key_Left);
    KeyUp(Qt::Key_Left);
    EXPECT_THAT(events, ElementsAre(KEY_K2 + KEY_SHORT));
}

TEST_F(InputTest, ActivatingTheWindowLeavesTheArrowsToTheInstrument) {
    Child("ComboBoxLanguage")->setFocus(Qt::MouseFocusReason);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(window.get(), &activate);
    QApplication::processEvents();
    EXPECT_EQ(window->focusWidget(), nullptr);
    KeyDown(Qt::Key_Right);
    KeyUp(Qt::Key_Right);
    EXPECT_THAT(events, ElementsAre(KEY_K1 + KEY_SHORT));
}

// However the language is chosen, the choice made gives the arrows back to
// the instrument; while the box has the focus the box shows it.
class LanguageChoice;

struct ChoiceCase {
    const char* name;
    std::function<void(QComboBox*, LanguageChoice&)> choose;
};

void PrintTo(const ChoiceCase& c, std::ostream* os) {
    *os << c.name;
}

class LanguageChoice : public InputTest, public ::testing::WithParamInterface<ChoiceCase> {
  public:
    void Press(Qt::Key key) {
        SendKey(QEvent::KeyPress, key);
        SendKey(QEvent::KeyRelease, key);
    }
};

TEST_P(LanguageChoice, GivesTheArrowsBackToTheInstrument) {
    auto* box = dynamic_cast<QComboBox*>(Child("ComboBoxLanguage"));
    ASSERT_NE(box, nullptr);
    const QImage unfocused = box->grab().toImage();
    box->setFocus(Qt::MouseFocusReason); // as a click on it does
    ASSERT_EQ(window->focusWidget(), box);
    EXPECT_NE(box->grab().toImage(), unfocused) << "no focus mark";
    GetParam().choose(box, *this);
    host.RunUntilIdle();
    EXPECT_EQ(box->currentText(), "RUS");
    EXPECT_EQ(window->focusWidget(), nullptr);
    KeyDown(Qt::Key_Right);
    KeyUp(Qt::Key_Right);
    EXPECT_THAT(events, ElementsAre(KEY_K1 + KEY_SHORT));
}

INSTANTIATE_TEST_SUITE_P(Ways, LanguageChoice,
                         ::testing::Values(
                             // In the open list, as with the mouse: the box's activation.
                             ChoiceCase{"InTheOpenList",
                                        [](QComboBox* box, LanguageChoice&) {
                                            box->showPopup();
                                            QAbstractItemView* view = box->view();
                                            view->setCurrentIndex(view->model()->index(1, 0));
                                            QTest::keyClick(view, Qt::Key_Return);
                                        }},
                             // On the closed box: an arrow steps to the language, Enter ends it.
                             ChoiceCase{"ArrowThenEnter",
                                        [](QComboBox*, LanguageChoice& test) {
                                            test.Press(Qt::Key_Right);
                                            test.Press(Qt::Key_Return);
                                        }}),
                         [](const auto& instance) { return std::string(instance.param.name); });

} // namespace
