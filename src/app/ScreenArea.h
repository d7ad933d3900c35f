#pragma once
// The part of the desktop a window may take: its screen's available area
// (without panels and docks). The program asks the window system; a test
// installs an area of its own for the life of a TScreenAreaInstall, so that
// it can try a small screen on any machine.
#include <QRect>

class QWidget;

QRect AvailableScreenArea(const QWidget& window);

class TScreenAreaInstall {
  public:
    explicit TScreenAreaInstall(QRect area);
    ~TScreenAreaInstall();
    TScreenAreaInstall(const TScreenAreaInstall&) = delete;
    TScreenAreaInstall& operator=(const TScreenAreaInstall&) = delete;

  private:
    QRect FFormer;
};
