#include "MainWindowFixture.h"

#include "app/PictureBox.h"
#include "device/Deviceioemulation.h"
#include "firmware/Offlinemode.h"
#include "platform/Strings.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QTest>

void MainWindowTest::SetUp() {
    SavedState = TDeviceState{};
    SetThreadLanguage(LANG_ENGLISH);
}

void MainWindowTest::TearDown() {
    window.reset();
    QApplication::processEvents();
    SetThreadLanguage(LANG_ENGLISH);
}

void MainWindowTest::Open(TFirmwareEntry firmware) {
    window = std::make_unique<TFormORX700DemoMain>(aux, std::move(firmware));
    window->show();
    // The pointer starts away from the window, as if elsewhere on the desktop.
    QCursor::setPos(window->mapToGlobal(QPoint(-100, -100)));
    QApplication::processEvents();
    host.RunUntilIdle();
    ASSERT_NE(g_Device, nullptr);
    g_Device->Buttons().OnKeyEvent = [this, post = g_Device->Buttons().OnKeyEvent](int16_t code) {
        events.push_back(code);
        post(code);
    };
}

QWidget* MainWindowTest::Child(const char* name) {
    auto* child = window->findChild<QWidget*>(QLatin1String(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
}

QImage MainWindowTest::Picture(const char* name) {
    auto* picture = dynamic_cast<TPictureBox*>(Child(name));
    return picture ? picture->Image() : QImage();
}

void MainWindowTest::SendKey(QEvent::Type type, Qt::Key key, bool autoRepeat) {
    QWidget* target = window->focusWidget() ? window->focusWidget() : window.get();
    QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(target, &event);
    host.RunUntilIdle();
}

void MainWindowTest::MouseDown(Qt::MouseButton button, QPoint pos) {
    QTest::mousePress(window->windowHandle(), button, Qt::NoModifier, pos);
    host.RunUntilIdle();
}

void MainWindowTest::MouseUp(Qt::MouseButton button, QPoint pos) {
    QTest::mouseRelease(window->windowHandle(), button, Qt::NoModifier, pos);
    host.RunUntilIdle();
}

void MainWindowTest::MouseMove(QPoint pos) {
    QTest::mouseMove(window->windowHandle(), pos);
    host.RunUntilIdle();
}

void MainWindowTest::PointerTo(QPoint pos) {
    QCursor::setPos(window->mapToGlobal(pos));
    QApplication::processEvents();
    host.RunUntilIdle();
}

void MainWindowTest::PowerOn() {
    KeyDown(Qt::Key_Right);
    host.Advance(500);
    KeyUp(Qt::Key_Right);
    host.Advance(1500);
    ASSERT_TRUE(g_Device->IsOn());
}

QPoint MainWindowTest::LcdPoint(int x, int y) {
    // The LCD picture shows the LCD at double size from (7, 2) and lies at
    // (220, 177) in the window.
    return {220 + 7 + 2 * x, 177 + 2 + 2 * y};
}

std::string TextIn(LANGID language, int id) {
    const LANGID previous = GetThreadLanguage();
    SetThreadLanguage(language);
    std::string text = LoadStr(id);
    SetThreadLanguage(previous);
    return text;
}
