#include "app/ScreenArea.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {
// Null while the window system's answer stands.
QRect g_InstalledArea;
} // namespace

QRect AvailableScreenArea(const QWidget& window) {
    if (!g_InstalledArea.isNull()) return g_InstalledArea;
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

TScreenAreaInstall::TScreenAreaInstall(QRect area) : FFormer(g_InstalledArea) {
    g_InstalledArea = area;
}

TScreenAreaInstall::~TScreenAreaInstall() {
    g_InstalledArea = FFormer;
}
