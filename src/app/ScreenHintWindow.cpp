#include "app/ScreenHintWindow.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyleOptionFrame>
#include <QStylePainter>
#include <QToolTip>

#include <algorithm>

namespace {
// Between the picture and the tooltip.
constexpr int kGap = 3;
// Where a tooltip sits from the pointer's hot spot, clear of the arrow.
constexpr QPoint kPointerOffset(2, 16);
} // namespace

TScreenHintWindow::TScreenHintWindow(QWidget* parent)
    : QLabel(parent, Qt::ToolTip | Qt::BypassGraphicsProxyWidget) {
    setObjectName(QStringLiteral("ScreenHint"));
    setPalette(QToolTip::palette());
    setFont(QToolTip::font());
    setForegroundRole(QPalette::ToolTipText);
    setBackgroundRole(QPalette::ToolTipBase);
    setTextFormat(Qt::PlainText);
    setMargin(1 + style()->pixelMetric(QStyle::PM_ToolTipLabelFrameWidth, nullptr, this));
    setIndent(1);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
}

void TScreenHintWindow::ShowAt(QPoint globalPos, const QString& text, const QRect& keepClear) {
    if (text.isEmpty()) {
        hide();
        return;
    }
    if (text != this->text()) {
        setText(text);
        adjustSize();
    }
    QPoint at(globalPos.x() + kPointerOffset.x(),
              std::max(keepClear.bottom() + 1 + kGap, globalPos.y() + kPointerOffset.y()));
    if (const QScreen* screen = QGuiApplication::screenAt(globalPos)) {
        // Kept on the screen: above the picture at the bottom edge, pushed
        // left at the right edge.
        const QRect area = screen->availableGeometry();
        if (at.x() + width() > area.right()) at.setX(area.right() - width());
        if (at.y() + height() > area.bottom()) at.setY(keepClear.top() - kGap - height());
    }
    move(at);
    show();
}

void TScreenHintWindow::SetSize(int halves) {
    QFont hintFont = QToolTip::font();
    if (hintFont.pixelSize() > 0)
        hintFont.setPixelSize(hintFont.pixelSize() * halves / 2);
    else
        hintFont.setPointSizeF(hintFont.pointSizeF() * halves / 2);
    setFont(hintFont);
    adjustSize();
}

void TScreenHintWindow::paintEvent(QPaintEvent* event) {
    {
        QStylePainter painter(this);
        QStyleOptionFrame frame;
        frame.initFrom(this);
        painter.drawPrimitive(QStyle::PE_PanelTipLabel, frame);
    }
    QLabel::paintEvent(event);
}
