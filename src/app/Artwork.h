#pragma once
// The window's pictures, drawn from the SVG files compiled into the program.
#include <QIcon>
#include <QImage>
#include <QString>

// The picture name (e.g. "device") at size; a picture the program does not
// hold, or cannot read, comes out transparent, with a warning on stderr.
QImage RenderArtwork(const QString& name, QSize size);
QIcon ArtworkIcon(const QString& name, QSize size);
