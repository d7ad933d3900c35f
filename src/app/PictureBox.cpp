#include "app/PictureBox.h"

#include <QPainter>

TPictureBox::TPictureBox(QWidget* parent, const char* name, QRect geometry) : QWidget(parent) {
    setObjectName(QLatin1String(name));
    setGeometry(geometry);
    // Moves must reach this widget to be passed on to the window.
    setMouseTracking(true);
}

void TPictureBox::SetImage(QImage image) {
    FImage = std::move(image);
    update();
}

void TPictureBox::paintEvent(QPaintEvent*) {
    if (FImage.isNull()) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(rect(), FImage);
}
