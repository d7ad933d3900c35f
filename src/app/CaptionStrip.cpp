#include "app/CaptionStrip.h"

#include "platform/Host.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// Twice the LCD's text: readable across a room on a projector; two rows of
// captions fit the strip.
constexpr int kCaptionFontPixels = 22;
constexpr int kPadding = 8;
constexpr int kGap = 8;
const QColor kBox(32, 32, 32);
const QColor kText(255, 255, 255);

} // namespace

TCaptionStrip::TCaptionStrip(QWidget* parent, QRect geometry) : QWidget(parent) {
    setObjectName(QStringLiteral("CaptionStrip"));
    setGeometry(geometry);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    SetSize(FHalves);
    FTimer.SetEnabled(false);
    FTimer.SetOnTimer([this] {
        Restart();
        update();
        if (OnChanged) OnChanged();
    });
}

void TCaptionStrip::SetSize(int halves) {
    FHalves = halves;
    QFont captionFont = font();
    captionFont.setPixelSize(kCaptionFontPixels * halves / 2);
    captionFont.setBold(true);
    setFont(captionFont);
    update();
}

void TCaptionStrip::KeyEvent(int16_t code) {
    FCaptions.Add(code, GetTickCount());
    Restart();
    update();
    if (OnChanged) OnChanged();
}

std::vector<TKeyCaption> TCaptionStrip::Shown() const {
    return FCaptions.Shown(GetTickCount());
}

// Armed for the next change of the picture only: nothing ticks while no
// caption is shown.
void TCaptionStrip::Restart() {
    const uint32_t next = FCaptions.NextChangeIn(GetTickCount());
    FTimer.SetEnabled(false);
    if (next == 0) return;
    FTimer.SetInterval(next);
    FTimer.SetEnabled(true);
}

void TCaptionStrip::hideEvent(QHideEvent* event) {
    // Switched off, the strip starts empty when it is shown again.
    FCaptions.Clear();
    FTimer.SetEnabled(false);
    QWidget::hideEvent(event);
}

void TCaptionStrip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics(font());
    const int padding = kPadding * FHalves / 2;
    const int gap = kGap * FHalves / 2;
    const int boxHeight = metrics.height() + padding;
    // The newest at the bottom right, older ones to its left, then on the
    // row above, while there is room: a log read from the top.
    int right = width();
    int top = height() - boxHeight;
    const std::vector<TKeyCaption> shown = Shown();
    for (auto c = shown.rbegin(); c != shown.rend(); ++c) {
        const QString text = QString::fromStdString(KeyCaptionText(*c));
        const int boxWidth = metrics.horizontalAdvance(text) + 2 * padding;
        if (right - boxWidth < 0 && right != width()) {
            right = width();
            top -= boxHeight + gap / 2;
        }
        if (top < 0 || boxWidth > width()) break;
        const QRect box(right - boxWidth, top, boxWidth, boxHeight);
        painter.setOpacity(c->Opacity);
        QPainterPath path;
        path.addRoundedRect(box, padding, padding);
        painter.fillPath(path, kBox);
        painter.setPen(kText);
        painter.drawText(box, Qt::AlignCenter, text);
        right -= boxWidth + gap;
    }
}
