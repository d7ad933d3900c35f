// The presenter size: the whole instrument at 1x, 1.5x and 2x with the LCD's
// pixels whole squares, the keys, balloons and the LCD's explained regions
// where the enlarged picture shows them, and a size too large for the screen
// clamped to the largest that fits.
#include "MainWindowFixture.h"

#include "app/ScreenArea.h"
#include "device/Device.h"
#include "device/Deviceioemulation.h"
#include "device/Lcd.h"
#include "device/LcdPicture.h"
#include "firmware/Offlinemode.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QStatusBar>
#include <QWindow>

#include <optional>

#include <gtest/gtest.h>

namespace {

struct TSizeCase {
    const char* Action;
    int Halves;       // SavedState.PresenterSize
    QSize Client;     // the window's client area
    QRect Lcd;        // the LCD picture's widget
    QRect K1;         // the pressed K1 picture
    int PixelSize;    // screen pixels per LCD pixel
    QPoint LcdOrigin; // the LCD's top-left pixel in its widget
};

// Designed at 1x: the instrument below a 56-pixel tool bar, over a 19-pixel
// status bar; the tool bar keeps its height.
const TSizeCase kSizes[] = {
    {"ActionSizeNormal", 2, {873, 384}, {220, 177, 254, 68}, {630, 190, 62, 42}, 2, {7, 2}},
    {"ActionSizeOneHalf", 3, {1310, 539}, {330, 238, 381, 102}, {945, 257, 93, 63}, 3, {10, 3}},
    {"ActionSizeDouble", 4, {1746, 693}, {440, 298, 508, 136}, {1260, 324, 124, 84}, 4, {14, 4}},
};

class Presenter : public MainWindowTest {
  protected:
    void Choose(const char* action) {
        QAction* item = window->findChild<QAction*>(QLatin1String(action));
        ASSERT_NE(item, nullptr) << action;
        item->trigger();
        host.RunUntilIdle();
    }
    QString Status() { return window->findChild<QStatusBar*>(QStringLiteral("StatusBar"))->currentMessage(); }
    QString Tooltip() {
        auto* hint = dynamic_cast<QLabel*>(Child("ScreenHint"));
        return hint->isVisible() ? hint->text() : QString();
    }
};

class PresenterSize : public Presenter, public ::testing::WithParamInterface<TSizeCase> {};

// The LCD as it must look at a pixel size, built from the LCD's memory: each
// set bit a black square, the rest and the frame the background.
QImage ExpectedLcd(QSize size, QPoint origin, int pixelSize, QRgb background) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(background);
    for (int y = 0; y < LCD_HEIGHT; ++y)
        for (int x = 0; x < LCD_WIDTH; ++x)
            if ((LcdBuffer[(y / 8) * LCD_WIDTH + x] & (0x80u >> (y % 8))) != 0)
                for (int j = 0; j < pixelSize; ++j)
                    for (int i = 0; i < pixelSize; ++i)
                        image.setPixel(origin.x() + x * pixelSize + i, origin.y() + y * pixelSize + j,
                                       0xFF000000u);
    return image;
}

TEST_P(PresenterSize, TheWholeInstrumentGrowsTheLcdStaysSharpAndTheKeysAndHintsGoWithIt) {
    const TSizeCase& size = GetParam();
    const TScreenAreaInstall screen(QRect(0, 0, 1920, 1050));
    Open();
    PowerOn();
    // Twice, from another size, as a trainer switches back and forth.
    Choose(size.Halves == 4 ? "ActionSizeNormal" : "ActionSizeDouble");
    Choose(size.Action);
    EXPECT_EQ(SavedState.PresenterSize, size.Halves);
    EXPECT_TRUE(window->findChild<QAction*>(QLatin1String(size.Action))->isChecked());
    EXPECT_EQ(window->size(), size.Client);
    EXPECT_EQ(Child("StatusBar")->geometry().bottom(), size.Client.height() - 1);
    ASSERT_EQ(Child("ImageDeviceScreen")->geometry(), size.Lcd);

    // What the window paints, pixel for pixel: no smoothing anywhere.
    const QImage shown = Child("ImageDeviceScreen")->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const TLcdPicture& picture = g_Device->Picture();
    EXPECT_EQ(shown, ExpectedLcd(size.Lcd.size(), size.LcdOrigin, size.PixelSize, picture.At(0, 0)));
    if (size.PixelSize % LCD_PICTURE_SCALE == 0) {
        // The device's own picture enlarged by nearest neighbour.
        const int scale = size.PixelSize / LCD_PICTURE_SCALE;
        const std::vector<uint32_t> nearest = ScaledLcdPicture(picture, scale);
        const QImage expected(reinterpret_cast<const uchar*>(nearest.data()), LCD_PICTURE_WIDTH * scale,
                              LCD_PICTURE_HEIGHT * scale, QImage::Format_RGB32);
        EXPECT_EQ(shown, expected);
    }

    // A right click on K1's picture presses K1, and its pressed picture
    // shows there; K1 lies below the status bar of the normal size.
    const QPoint k1 = size.K1.center();
    events.clear();
    MouseDown(Qt::RightButton, k1);
    EXPECT_TRUE(Child("ImageButton1")->isVisible());
    EXPECT_EQ(Child("ImageButton1")->geometry(), size.K1);
    host.Advance(100);
    MouseUp(Qt::RightButton, k1);
    EXPECT_EQ(events, std::vector<int16_t>{KEY_K1 + KEY_SHORT});
    EXPECT_FALSE(Child("ImageButton1")->isVisible());

    // The K1 balloon's arrow tip, in its dark outline, points at K1.
    const QImage whole = window->grab().toImage();
    const QRect balloon = Child("ImageHintK1")->geometry();
    int tips = 0;
    for (int x = balloon.left(); x <= balloon.right(); ++x)
        if (whole.pixel(x, balloon.top()) == 0xFF666666u) {
            ++tips;
            EXPECT_TRUE(x > size.K1.left() && x < size.K1.right()) << "the arrow's tip at x " << x;
        }
    EXPECT_GT(tips, 0);

    // The LCD's explained regions where the enlarged LCD shows them: the
    // point's number, then a gap beside it.
    const auto lcdPixel = [&](int x, int y) {
        return size.Lcd.topLeft() + size.LcdOrigin + QPoint(x, y) * size.PixelSize +
               QPoint(size.PixelSize / 2, size.PixelSize / 2);
    };
    PointerTo(lcdPixel(17, 10));
    EXPECT_EQ(Tooltip(), QStringLiteral("The number of the point in the route"));
    PointerTo(lcdPixel(20, 10));
    EXPECT_EQ(Tooltip(), QString());
}

INSTANTIATE_TEST_SUITE_P(Sizes, PresenterSize, ::testing::ValuesIn(kSizes),
                         [](const ::testing::TestParamInfo<TSizeCase>& size) {
                             return std::string(size.param.Action + 10);
                         });

// A trainer's 2x from the projector, on a laptop's screen: the largest size
// that fits, said on the status bar in the window's language over the usage
// line, and the sizes that do not fit greyed out; the state keeps the 2x for
// the projector's next time.
TEST_F(Presenter, ASizeTooLargeForTheScreenShowsAtTheLargestThatFits) {
    struct TScreenCase {
        QRect Area;
        QSize Client;
        bool OneHalfOffered;
        const char* Language;
        LANGID Id;
    };
    const TScreenCase screens[] = {
        {QRect(0, 0, 1366, 768), {1310, 539}, true, "RUS", LANG_RUSSIAN},
        {QRect(0, 24, 1280, 776), {873, 384}, false, "ENG", LANG_ENGLISH}, // 1310 + the frame is too wide
        {QRect(0, 0, 800, 600), {873, 384}, false, "ENG", LANG_ENGLISH},   // the normal size all the same
    };
    for (const TScreenCase& screen : screens) {
        SCOPED_TRACE(screen.Area.width());
        const TScreenAreaInstall area(screen.Area);
        SavedState = TDeviceState{};
        SavedState.PresenterSize = 4;
        SavedState.LanguageName = screen.Language;
        Open();
        EXPECT_EQ(window->size(), screen.Client);
        EXPECT_EQ(Status().toStdString(), TextIn(screen.Id, TEXT_SHOW_SIZE_CLAMPED));
        EXPECT_FALSE(Child("StatusText")->isVisible()) << "the usage line under the message";
        EXPECT_FALSE(window->findChild<QAction*>(QStringLiteral("ActionSizeDouble"))->isEnabled());
        EXPECT_EQ(window->findChild<QAction*>(QStringLiteral("ActionSizeOneHalf"))->isEnabled(),
                  screen.OneHalfOffered);
        EXPECT_TRUE(window
                        ->findChild<QAction*>(
                            QLatin1String(screen.OneHalfOffered ? "ActionSizeOneHalf" : "ActionSizeNormal"))
                        ->isChecked());
        if (screen.Client.width() <= screen.Area.width()) {
            EXPECT_TRUE(screen.Area.contains(window->frameGeometry())) << "moved onto the screen";
        }
        EXPECT_EQ(SavedState.PresenterSize, 4);
        window.reset();
    }
}

// The window dragged from the projector's screen to the laptop's and back:
// each screen change checks the size as the start does, and the chosen 2x
// comes back where it fits again.
TEST_F(Presenter, MovedToASmallerScreenTheWindowTakesTheLargestSizeThatFitsThere) {
    std::optional<TScreenAreaInstall> screen(std::in_place, QRect(0, 0, 1920, 1050));
    SavedState.PresenterSize = 4;
    Open();
    ASSERT_EQ(window->size(), QSize(1746, 693));
    QWindow* handle = window->windowHandle();
    ASSERT_NE(handle, nullptr);
    struct TMove {
        QRect Area;
        QSize Client;
        bool Said;
    };
    const TMove moves[] = {{QRect(0, 0, 1366, 768), {1310, 539}, true},
                           {QRect(0, 0, 1920, 1050), {1746, 693}, false},
                           {QRect(0, 0, 1024, 600), {873, 384}, true}};
    for (const TMove& move : moves) {
        SCOPED_TRACE(move.Area.width());
        screen.reset();
        screen.emplace(move.Area);
        emit handle->screenChanged(handle->screen());
        QApplication::processEvents();
        EXPECT_EQ(window->size(), move.Client);
        EXPECT_EQ(Status().toStdString(), move.Said ? LoadStr(TEXT_SHOW_SIZE_CLAMPED) : std::string());
        EXPECT_EQ(window->findChild<QAction*>(QStringLiteral("ActionSizeDouble"))->isEnabled(), !move.Said);
        EXPECT_EQ(SavedState.PresenterSize, 4);
    }
}

} // namespace
