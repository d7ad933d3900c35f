#pragma once
// A plain window around the device's LCD picture that passes the arrow keys
// and the mouse buttons to the device's keys: Right arrow or right button is
// K1, Left arrow or left button is K2.
#include <QWidget>

class TDevice;

class TLcdWindow : public QWidget {
public:
    explicit TLcdWindow(TDevice& device);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void SetKeyState(int key, bool down);
    void ReleaseHeldKey();

    TDevice& FDevice;
    bool FMouseKeyDown = false;
};
