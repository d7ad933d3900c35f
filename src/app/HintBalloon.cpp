#include "app/HintBalloon.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygon>
#include <QStringList>
#include <QToolTip>

namespace {

constexpr int kMargin = 7;        // between the box's edge and the text
constexpr int kArrowOffset = 23;  // from the tip to the middle of the arrow's base
constexpr int kArrowHalfBase = 8; // half the arrow's base width
const QColor kOuterBorder(0x66, 0x66, 0x66);
const QColor kInnerBorder(0xCC, 0xCC, 0xCC);
const QColor kArrowBorder(0xAA, 0xAA, 0xAA);

// The box spans [left, right) x [top, bottom), exclusive edges as the
// balloon's geometry is stated; a stroked QRect covers one pixel more.
QRect Stroked(int left, int top, int right, int bottom) {
    return {left, top, right - left - 1, bottom - top - 1};
}

constexpr int kFontPixels = 11; // 13-pixel lines
// The longest Russian hint line is 564 pixels wide in the plain face at that
// size; 72 % of it fits the 419 pixels between the margins with room to spare.
constexpr int kFontStretch = 72;

} // namespace

QFont HintBalloonFont() {
    // DejaVu Sans Condensed (87 %) is the face nearest to that width; the font
    // engine narrows it the rest of the way, or narrows the plain face all the
    // way where the condensed one is not installed, so the width is the same.
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kFontPixels);
    font.setStretch(kFontStretch);
    return font;
}

QColor HintBalloonBackground() {
    return QToolTip::palette().color(QPalette::ToolTipBase);
}

QColor HintBalloonTextColor() {
    return QToolTip::palette().color(QPalette::ToolTipText);
}

void DrawHintBalloon(QImage& bitmap, int arrowX, bool arrowDown, const QString& text, const QFont& font) {
    // In the bitmap's own (device-independent) pixels: a bitmap made for a
    // scaled screen gets the same balloon, drawn finer.
    const QSize size = bitmap.deviceIndependentSize().toSize();
    const int width = size.width();
    const int height = size.height();
    const int lineHeight = QFontMetrics(font).height();
    const QStringList lines =
        QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).split(QLatin1Char('\n'));
    const int balloonHeight = static_cast<int>(lines.size()) * lineHeight + 2 * kMargin;
    const int top = arrowDown ? 0 : height - balloonHeight;
    const int bottom = top + balloonHeight;
    const QColor background = HintBalloonBackground();

    QPainter painter(&bitmap);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(background);

    painter.setPen(kOuterBorder);
    painter.drawRoundedRect(Stroked(0, top, width, bottom), 8, 8);
    painter.setPen(kInnerBorder);
    painter.drawRoundedRect(Stroked(1, top + 1, width - 1, bottom - 1), 7, 7);

    const int shift = arrowDown ? -kArrowOffset : kArrowOffset;
    const int baseY = arrowDown ? bottom - 1 : top;
    const QPoint a(arrowX + shift - kArrowHalfBase, baseY);
    const QPoint b(arrowX, arrowDown ? height - 2 : 1);
    const QPoint c(arrowX + shift + kArrowHalfBase, baseY);
    painter.setPen(kArrowBorder);
    painter.drawPolygon(QPolygon({a, b, c}));
    // The dark outline one pixel outside the arrow's fill.
    painter.setPen(kOuterBorder);
    painter.drawPolyline(QPolygon(
        {QPoint(a.x() - 1, a.y()), QPoint(b.x(), arrowDown ? height - 1 : 0), QPoint(c.x() + 1, c.y())}));
    // Open the box's two border lines under the arrow's base, so that box and
    // arrow read as one shape.
    painter.setPen(background);
    painter.drawLine(a.x(), baseY, c.x(), baseY);
    const int innerY = arrowDown ? baseY - 1 : baseY + 1;
    painter.drawLine(a.x(), innerY, c.x(), innerY);

    painter.setFont(font);
    painter.setPen(HintBalloonTextColor());
    for (int i = 0; i < lines.size(); ++i) {
        const QRect line(kMargin, top + kMargin + i * lineHeight, width - 2 * kMargin, lineHeight);
        painter.setClipRect(line);
        painter.fillRect(line, background);
        painter.drawText(line, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, lines[i]);
    }
}
