// The window's input: the arrow keys and the mouse buttons press the
// instrument's keys, the pointer keeps the instrument awake and explains the
// LCD under it.
#include "app/MainWindow.h"

#include "app/PictureBox.h"
#include "app/ScreenHintWindow.h"
#include "device/Deviceioemulation.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStatusBar>
#include <QToolBar>

// The instrument's area, between the tool bar and the status bar: a mouse
// button pressed anywhere in it presses a key.
bool TFormORX700DemoMain::IsDeviceArea(QPoint pos) const {
    return pos.x() >= 0 && pos.x() < width() && pos.y() >= ToolBar->height() && pos.y() < StatusBar->y();
}

// The keyboard's own repeat of a held arrow is not a new press: the
// instrument makes its repeat events itself while the key stays down. Qt
// marks the repeat it recognises; on X11 the server is asked to report a
// held key as further presses only (see KeyboardRepeat.h), which Qt does not
// mark, so a press of an arrow that is already down is a repeat too. Left to
// reach the instrument, such a press after the power-on or after both keys
// (which end the held press) would start a new one and move the selection.
void TFormORX700DemoMain::keyPressEvent(QKeyEvent* event) {
    if (LcdPictureShortcut(event) || event->isAutoRepeat()) return;
    if (bool* down = ArrowDown(event->key())) {
        if (*down) return;
        *down = true;
    }
    FormKeyDown(event->key());
}

void TFormORX700DemoMain::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    if (bool* down = ArrowDown(event->key())) *down = false;
    FormKeyUp(event->key());
}

bool* TFormORX700DemoMain::ArrowDown(int key) {
    if (key == Qt::Key_Left) return &FArrowsDown[0];
    if (key == Qt::Key_Right) return &FArrowsDown[1];
    return nullptr;
}

// Reaches the window only when no control has the focus; a focused language
// box takes the arrows itself and passes their releases on.
void TFormORX700DemoMain::FormKeyDown(int key) {
    if (focusWidget()) return;
    if (key == Qt::Key_Left)
        SetKeyState(KEY_K2, true);
    else if (key == Qt::Key_Right)
        SetKeyState(KEY_K1, true);
}

void TFormORX700DemoMain::FormKeyUp(int key) {
    if (key == Qt::Key_Left)
        SetKeyState(KEY_K2, false);
    else if (key == Qt::Key_Right)
        SetKeyState(KEY_K1, false);
}

// The LCD's hint hides as the pointer leaves the LCD. A focused language box
// steps through its list with the Left and Right arrows as with Up and Down;
// it passes their releases on to the window. Enter ends the choice.
bool TFormORX700DemoMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ImageDeviceScreen && event->type() == QEvent::Leave) ScreenHint->hide();
    if (watched == ComboBoxLanguage && event->type() == QEvent::FocusIn) {
        // The box takes the focus only from a click, and the style marks a
        // focus only when the keyboard moved it; while the box has it the
        // arrows are not the instrument's, so it is marked however it came.
        window()->setAttribute(Qt::WA_KeyboardFocusChange);
        ComboBoxLanguage->update();
    }
    if (watched != ComboBoxLanguage || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    // The box would take Ctrl+C and Ctrl+S for itself.
    if (LcdPictureShortcut(static_cast<QKeyEvent*>(event))) return true;
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        ClearActiveControl();
        return true;
    }
    if (key != Qt::Key_Left && key != Qt::Key_Right) return false;
    const int index = ComboBoxLanguage->currentIndex() + (key == Qt::Key_Right ? 1 : -1);
    if (index >= 0 && index < ComboBoxLanguage->count()) ComboBoxLanguage->setCurrentIndex(index);
    return true;
}

void TFormORX700DemoMain::mousePressEvent(QMouseEvent* event) {
    if (!IsDeviceArea(event->position().toPoint())) return;
    FLeftWhileHeld = false;
    FormMouseDown(event->button());
}

void TFormORX700DemoMain::mouseReleaseEvent(QMouseEvent* event) {
    FormMouseUp(event->button());
}

void TFormORX700DemoMain::FormMouseDown(Qt::MouseButton button) {
    if (button == Qt::LeftButton)
        SetKeyState(KEY_K2, true);
    else if (button == Qt::RightButton)
        SetKeyState(KEY_K1, true);
}

void TFormORX700DemoMain::FormMouseUp(Qt::MouseButton button) {
    if (button == Qt::LeftButton)
        SetKeyState(KEY_K2, false);
    else if (button == Qt::RightButton)
        SetKeyState(KEY_K1, false);
}

void TFormORX700DemoMain::SetKeyState(int16_t key, bool down) {
    (key == KEY_K1 ? ImageButton1 : ImageButton2)->setVisible(down);
    if (!g_Device) return;
    if (down)
        ButtonDown(g_Device->Buttons(), key);
    else
        ButtonUp(g_Device->Buttons());
}

void TFormORX700DemoMain::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->buttons() != Qt::NoButton && !rect().contains(pos)) {
        // Held buttons keep the mouse with this window and Qt reports no
        // leaving until they are released: notice it here, once.
        if (!FLeftWhileHeld) WMMouseLeave();
        FLeftWhileHeld = true;
        return;
    }
    FLeftWhileHeld = false;
    if (IsDeviceArea(pos))
        PointerMovedTo(pos, event->globalPosition().toPoint());
    else
        ScreenHint->hide();
}

void TFormORX700DemoMain::leaveEvent(QEvent*) {
    ScreenHint->hide();
    WMMouseLeave();
}

// The pointer leaving the window ends a held key's press at that moment. The
// pressed-key picture stays until the button or arrow is released.
void TFormORX700DemoMain::WMMouseLeave() {
    if (g_Device) ButtonUp(g_Device->Buttons());
}

void TFormORX700DemoMain::PointerMovedTo(QPoint pos, QPoint globalPos) {
    if (childAt(pos) == ImageDeviceScreen) {
        ImageDeviceScreenMouseMove(LcdPicturePoint(ImageDeviceScreen->mapFrom(this, pos)), globalPos);
        return;
    }
    FormMouseMove();
    ScreenHint->hide();
}

void TFormORX700DemoMain::FormMouseMove() {
    if (g_Device && !FSyntheticMove) g_Device->KeepAlive();
    // A pointer over the instrument means the arrow keys are for it.
    ClearActiveControl();
}

// pos in the LCD picture's pixels.
void TFormORX700DemoMain::ImageDeviceScreenMouseMove(QPoint pos, QPoint globalPos) {
    FormMouseMove();
    const QString hint =
        g_Device ? QString::fromStdString(g_Device->GetScreenHint(pos.x(), pos.y())) : QString();
    // The help cursor marks an explained region; elsewhere the LCD shows the
    // window's own cursor, as the rest of the instrument does.
    if (hint.isEmpty())
        ImageDeviceScreen->unsetCursor();
    else
        ImageDeviceScreen->setCursor(Qt::WhatsThisCursor);
    // Shown at once, on every move, and left up until the pointer moves off
    // the region; it keeps clear of the whole LCD, so that the line it
    // explains and those around it stay in sight.
    const QRect lcd(ImageDeviceScreen->mapToGlobal(QPoint(0, 0)), ImageDeviceScreen->size());
    ScreenHint->ShowAt(globalPos, hint, lcd);
}
