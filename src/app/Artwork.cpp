#include "app/Artwork.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

QImage RenderArtwork(const QString& name, QSize size) {
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QSvgRenderer renderer(QLatin1String(":/images/") + name + QLatin1String(".svg"));
    if (!renderer.isValid()) {
        qWarning("picture '%s' is missing or unreadable", qPrintable(name));
        return image;
    }
    QPainter painter(&image);
    renderer.render(&painter);
    return image;
}

QIcon ArtworkIcon(const QString& name, QSize size) {
    return QIcon(QPixmap::fromImage(RenderArtwork(name, size)));
}
