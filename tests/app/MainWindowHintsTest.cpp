// The balloons follow every LCD repaint, shown or not; the LCD explains the
// region under the pointer at once; the pointer keeps the instrument awake.
#include "MainWindowFixture.h"

#include "app/HintBalloon.h"
#include "device/Deviceioemulation.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include <gmock/gmock.h>

#include <ostream>

namespace {

using ::testing::HasSubstr;

class HintsTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Open();
    }
    // What the balloon pictures must hold for the device's current texts.
    QImage ExpectedBalloon(bool k1) {
        QImage image(433, 122, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        const std::string text = k1 ? g_Device->GetHintK1() : g_Device->GetHintK2();
        DrawHintBalloon(image, k1 ? HINT_K1_ARROW_X : HINT_K2_ARROW_X, !k1, QString::fromStdString(text),
                        HintBalloonFont());
        return image;
    }
    void ExpectBalloonsCurrent() {
        EXPECT_EQ(Picture("ImageHintK1"), ExpectedBalloon(true));
        EXPECT_EQ(Picture("ImageHintK2"), ExpectedBalloon(false));
    }
    Qt::CursorShape LcdCursor() { return Child("ImageDeviceScreen")->cursor().shape(); }
    QLabel* Hint() { return dynamic_cast<QLabel*>(Child("ScreenHint")); }
    QString Tooltip() { return Hint()->isVisible() ? Hint()->text() : QString(); }
};

TEST_F(HintsTest, BalloonsAndLcdFollowTheDeviceFromTheStart) {
    EXPECT_THAT(g_Device->GetHintK1(), HasSubstr("Device Power On"));
    ExpectBalloonsCurrent();
    // The K1 balloon points up from below, the K2 balloon down from above.
    EXPECT_EQ(Picture("ImageHintK1").pixel(HINT_K1_ARROW_X, 0), 0xFF666666u);
    EXPECT_EQ(Picture("ImageHintK2").pixel(HINT_K2_ARROW_X, 121), 0xFF666666u);
    const QImage offBalloon = Picture("ImageHintK1");
    const QImage offLcd = Picture("ImageDeviceScreen");
    PowerOn();
    EXPECT_NE(Picture("ImageHintK1"), offBalloon);
    EXPECT_NE(Picture("ImageDeviceScreen"), offLcd);
    ExpectBalloonsCurrent();
    const TLcdPicture& lcd = g_Device->Picture();
    EXPECT_EQ(Picture("ImageDeviceScreen").pixel(40, 10), lcd.At(40, 10));
}

TEST_F(HintsTest, TheLcdTellsAScreenReaderWhatItSaysInTheWindowsLanguage) {
    QWidget* lcd = Child("ImageDeviceScreen");
    EXPECT_EQ(lcd->accessibleName(), "ORX-700 screen");
    EXPECT_EQ(lcd->accessibleDescription(), "The instrument is off");
    PowerOn();
    EXPECT_THAT(lcd->accessibleDescription().toStdString(), ::testing::StartsWith("machine 1 (selected)\n"));
    KeyDown(Qt::Key_Right);
    KeyUp(Qt::Key_Right);
    host.RunUntilIdle();
    EXPECT_THAT(lcd->accessibleDescription().toStdString(), ::testing::StartsWith("machine 2 (selected)\n"));
    auto* language = dynamic_cast<QComboBox*>(Child("ComboBoxLanguage"));
    ASSERT_NE(language, nullptr);
    language->setCurrentIndex(language->findText(QStringLiteral("RUS")));
    host.RunUntilIdle();
    EXPECT_EQ(lcd->accessibleName(), "Экран прибора ORX-700");
    EXPECT_THAT(lcd->accessibleDescription().toStdString(), ::testing::StartsWith("Агрегат 2 (выбрано)\n"));
    language->setCurrentIndex(language->findText(QStringLiteral("ENG")));
}

TEST_F(HintsTest, HiddenBalloonsAreKeptCurrent) {
    auto* hints = dynamic_cast<QToolButton*>(Child("ToolButtonHints"));
    ASSERT_TRUE(hints->isChecked());
    QTest::mouseClick(hints, Qt::LeftButton);
    EXPECT_FALSE(Child("ImageHintK1")->isVisible());
    EXPECT_FALSE(Child("ImageHintK2")->isVisible());
    PowerOn();
    KeyDown(Qt::Key_Left);
    KeyUp(Qt::Key_Left);
    ExpectBalloonsCurrent();
    QTest::mouseClick(hints, Qt::LeftButton);
    EXPECT_TRUE(Child("ImageHintK1")->isVisible());
    EXPECT_TRUE(Child("ImageHintK2")->isVisible());
    ExpectBalloonsCurrent();
}

TEST_F(HintsTest, TheLcdExplainsTheRegionUnderThePointerAtOnce) {
    PowerOn();
    // The route screen of a route point: the machine name's line, then a
    // gap between the point's number and the machine's point number.
    PointerTo(LcdPoint(10, 3));
    EXPECT_EQ(Tooltip(), "The name of selected machine");
    EXPECT_EQ(LcdCursor(), Qt::WhatsThisCursor);
    PointerTo(LcdPoint(17, 10));
    EXPECT_EQ(Tooltip(), "The number of the point in the route");
    PointerTo(LcdPoint(20, 10));
    EXPECT_EQ(Tooltip(), "");
    EXPECT_EQ(LcdCursor(), Qt::UpArrowCursor);
    PointerTo(LcdPoint(10, 3));
    PointerTo(QPoint(120, 250));
    EXPECT_EQ(Tooltip(), "") << "off the LCD";
}

TEST_F(HintsTest, ATooltipFollowsTheScreenUnderAStillPointer) {
    PowerOn();
    // The orientation of the route's first point, then of the next machine's.
    PointerTo(LcdPoint(38, 10));
    ASSERT_EQ(Tooltip(), "For a point: measurement orientation (horizontal)");
    KeyDown(Qt::Key_Right);
    KeyUp(Qt::Key_Right);
    EXPECT_EQ(Tooltip(), "For a point: measurement orientation (axial)");
}

TEST_F(HintsTest, AMovingPointerKeepsTheInstrumentOnARestingOneDoesNot) {
    PowerOn();
    for (int i = 0; i < 3; ++i) {
        host.Advance(50000);
        MouseMove(QPoint(100 + i, 250));
    }
    EXPECT_TRUE(g_Device->IsOn());

    // The pointer comes to rest on the LCD. A repaint half-way re-explains
    // the region under it, which is no sign of a user.
    PointerTo(LcdPoint(10, 3));
    host.Advance(30000);
    Hint()->hide();
    g_Device->PostKeyEvent(KEY_NONE);
    host.RunUntilIdle();
    ASSERT_EQ(Tooltip(), "The name of selected machine");
    host.Advance(29999);
    EXPECT_TRUE(g_Device->IsOn());
    host.Advance(1);
    EXPECT_FALSE(g_Device->IsOn());
}

// The tooltip keeps clear of the LCD, so that the line it explains and
// those around it stay in sight: below the LCD, or above it where the
// screen ends below.
struct TooltipCase {
    const char* where;
    bool atScreenBottom;
};

void PrintTo(const TooltipCase& c, std::ostream* os) {
    *os << c.where;
}

class TooltipPlace : public HintsTest, public ::testing::WithParamInterface<TooltipCase> {};

TEST_P(TooltipPlace, LeavesTheLcdInSight) {
    PowerOn();
    if (GetParam().atScreenBottom) {
        const QRect screen = window->screen()->availableGeometry();
        window->move(window->x(), screen.bottom() - (177 + 68) - 4);
        QApplication::processEvents();
    }
    const QRect lcd(window->mapToGlobal(QPoint(220, 177)), QSize(254, 68));
    // The machine's name on the top line, the point's orientation in the
    // middle, the level's kind at the bottom.
    for (const QPoint point : {LcdPoint(10, 3), LcdPoint(38, 10), LcdPoint(3, 27)}) {
        PointerTo(point);
        ASSERT_FALSE(Tooltip().isEmpty()) << point.x() << "," << point.y();
        const QRect tip = Hint()->geometry();
        EXPECT_FALSE(tip.intersects(lcd)) << Tooltip().toStdString();
        if (GetParam().atScreenBottom) {
            EXPECT_LE(lcd.top() - tip.bottom(), 8) << "just above the LCD";
        } else {
            EXPECT_LE(tip.top() - lcd.bottom(), 8) << "just below the LCD";
        }
        EXPECT_NEAR(tip.left(), window->mapToGlobal(point).x(), 4) << "level with the pointer";
    }
}

INSTANTIATE_TEST_SUITE_P(Window, TooltipPlace,
                         ::testing::Values(TooltipCase{"Placed", false},
                                           TooltipCase{"AtTheScreensBottom", true}),
                         [](const auto& instance) { return std::string(instance.param.where); });

// The cursor the pointer shows at a point of the window: that of the
// control under it, which takes its parent's unless it has its own.
struct CursorCase {
    const char* where;
    QPoint pos;
    Qt::CursorShape expected;
};

void PrintTo(const CursorCase& c, std::ostream* os) {
    *os << c.where;
}

class Cursors : public HintsTest, public ::testing::WithParamInterface<CursorCase> {};

TEST_P(Cursors, UpArrowOverTheWindowHelpOverAnExplainedLcdRegion) {
    PowerOn();
    PointerTo(GetParam().pos);
    QWidget* under = window->childAt(GetParam().pos);
    EXPECT_EQ((under ? under : window.get())->cursor().shape(), GetParam().expected);
}

// The LCD's points are LcdPoint(10, 3), the machine's name, and
// LcdPoint(20, 10), between two explained regions.
INSTANTIATE_TEST_SUITE_P(
    Points, Cursors,
    ::testing::Values(CursorCase{"InstrumentPicture", QPoint(120, 250), Qt::UpArrowCursor},
                      CursorCase{"WindowBackground", QPoint(100, 100), Qt::UpArrowCursor},
                      CursorCase{"K2Balloon", QPoint(416 + 200, 75 + 20), Qt::UpArrowCursor},
                      CursorCase{"K1Balloon", QPoint(416 + 200, 224 + 100), Qt::UpArrowCursor},
                      CursorCase{"Key", QPoint(545 + 31, 190 + 21), Qt::UpArrowCursor},
                      CursorCase{"LcdExplained", QPoint(247, 185), Qt::WhatsThisCursor},
                      CursorCase{"LcdUnexplained", QPoint(267, 199), Qt::UpArrowCursor},
                      CursorCase{"ToolButton", QPoint(300, 20), Qt::UpArrowCursor},
                      CursorCase{"StatusBar", QPoint(400, 375), Qt::UpArrowCursor}),
    [](const auto& instance) { return std::string(instance.param.where); });

} // namespace
