#include "app/LcdWindow.h"

#include "device/Device.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kMargin = 24;
constexpr int kScale = 2; // the picture is the LCD at double size; show it twice again
} // namespace

TLcdWindow::TLcdWindow(TDevice& device) : FDevice(device) {
    setFixedSize(LCD_PICTURE_WIDTH * kScale + 2 * kMargin, LCD_PICTURE_HEIGHT * kScale + 2 * kMargin);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

void TLcdWindow::paintEvent(QPaintEvent*) {
    const TLcdPicture& picture = FDevice.Picture();
    const QImage image(reinterpret_cast<const uchar*>(picture.Pixels.data()), LCD_PICTURE_WIDTH, LCD_PICTURE_HEIGHT,
                       QImage::Format_ARGB32);
    QPainter painter(this);
    painter.fillRect(rect(), QColor(48, 52, 58));
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(kMargin, kMargin, LCD_PICTURE_WIDTH * kScale, LCD_PICTURE_HEIGHT * kScale), image);
}

void TLcdWindow::SetKeyState(int key, bool down) {
    if (down)
        ButtonDown(FDevice.FButtons, static_cast<int16_t>(key));
    else
        ButtonUp(FDevice.FButtons);
}

void TLcdWindow::keyPressEvent(QKeyEvent* event) {
    // Auto-repeat of a held arrow is not a new press: the device makes its
    // own repeat events while a key stays down.
    if (event->isAutoRepeat()) return;
    if (event->key() == Qt::Key_Right) SetKeyState(KEY_K1, true);
    else if (event->key() == Qt::Key_Left) SetKeyState(KEY_K2, true);
    else QWidget::keyPressEvent(event);
}

void TLcdWindow::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    if (event->key() == Qt::Key_Right || event->key() == Qt::Key_Left) SetKeyState(0, false);
    else QWidget::keyReleaseEvent(event);
}

void TLcdWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) SetKeyState(KEY_K1, true);
    else if (event->button() == Qt::LeftButton) SetKeyState(KEY_K2, true);
    else return;
    FMouseKeyDown = true;
}

void TLcdWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::RightButton && event->button() != Qt::LeftButton) return;
    FMouseKeyDown = false;
    SetKeyState(0, false);
}

void TLcdWindow::mouseMoveEvent(QMouseEvent* event) {
    FDevice.KeepAlive();
    // While a button is held Qt grabs the mouse and sends no leave event:
    // leaving the window releases the key at that moment.
    if (FMouseKeyDown && !rect().contains(event->position().toPoint())) ReleaseHeldKey();
}

void TLcdWindow::leaveEvent(QEvent*) { ReleaseHeldKey(); }

void TLcdWindow::ReleaseHeldKey() {
    FMouseKeyDown = false;
    ButtonUp(FDevice.FButtons);
}
