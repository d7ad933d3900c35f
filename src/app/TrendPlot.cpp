#include "app/TrendPlot.h"

#include "app/SignalPlot.h"
#include "platform/DateTime.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kLeft = 48.0;
constexpr double kRight = 14.0;
constexpr double kTop = 22.0;
constexpr double kBottom = 34.0;
constexpr double kDot = 4.0;

QString DateText(double time, double span) {
    const TDateTimeParts t = DecodeDateTime(time);
    if (span < 2.0)
        return QStringLiteral("%1.%2 %3:%4")
            .arg(t.Day, 2, 10, QLatin1Char('0'))
            .arg(t.Month, 2, 10, QLatin1Char('0'))
            .arg(t.Hour, 2, 10, QLatin1Char('0'))
            .arg(t.Minute, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1.%2.%3")
        .arg(t.Day, 2, 10, QLatin1Char('0'))
        .arg(t.Month, 2, 10, QLatin1Char('0'))
        .arg(t.Year);
}

} // namespace

TTrendPlot::TTrendPlot(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("PlotTrend"));
    setMinimumSize(320, 120);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QColor TTrendPlot::ZoneColor(TTrendZone zone) {
    switch (zone) {
    case TTrendZone::Danger:
        return QColor(0xc0, 0x39, 0x2b);
    case TTrendZone::Alert:
        return QColor(0xe6, 0x7e, 0x22);
    case TTrendZone::Normal:
        break;
    }
    return QColor(0x27, 0xae, 0x60);
}

void TTrendPlot::SetTrend(std::vector<TPoint> points, const TPointLimits& limits, const QString& yTitle) {
    FPoints = std::move(points);
    FLimits = limits;
    FYTitle = yTitle;
    FSelected = -1;
    update();
}

void TTrendPlot::SetSelected(int index) {
    FSelected = index;
    update();
}

QRectF TTrendPlot::PlotArea() const {
    return QRectF(kLeft, kTop, std::max(1.0, width() - kLeft - kRight),
                  std::max(1.0, height() - kTop - kBottom));
}

void TTrendPlot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().base());
    const QRectF area = PlotArea();
    const QColor text = palette().text().color();
    p.setPen(text);
    p.drawText(QRectF(kLeft, 2, width() - kLeft, kTop - 4), Qt::AlignLeft | Qt::AlignVCenter, FYTitle);

    // The y axis reaches above the danger line and the largest reading.
    double top = FLimits.Danger * 1.15;
    for (const TPoint& point : FPoints)
        top = std::max(top, point.Level * 1.05);
    if (!(top > 0.0)) top = 1.0;
    const double yStep = NiceStep(top, 4);
    top = std::ceil(top / yStep) * yStep;
    double first = FPoints.empty() ? 0.0 : FPoints.front().Time;
    double last = FPoints.empty() ? 1.0 : FPoints.back().Time;
    if (last - first < 1.0 / 24) { // a single reading, or a few in one hour
        first -= 1.0 / 48;
        last += 1.0 / 48;
    }
    const double span = last - first;
    auto xOf = [&](double time) { return area.left() + (time - first) / span * area.width(); };
    auto yOf = [&](double level) { return area.bottom() - level / top * area.height(); };

    QPen grid(palette().mid().color(), 0);
    grid.setStyle(Qt::DotLine);
    for (double y = 0; y <= top * 1.0000001; y += yStep) {
        p.setPen(grid);
        p.drawLine(QPointF(area.left(), yOf(y)), QPointF(area.right(), yOf(y)));
        p.setPen(text);
        p.drawText(QRectF(0, yOf(y) - 8, kLeft - 4, 16), Qt::AlignRight | Qt::AlignVCenter,
                   QString::number(y, 'g', 4));
    }
    const int xTicks = std::max(2, static_cast<int>(area.width() / 110));
    for (int i = 0; i <= xTicks; ++i) {
        const double time = first + span * i / xTicks;
        const double x = xOf(time);
        p.setPen(grid);
        p.drawLine(QPointF(x, area.top()), QPointF(x, area.bottom()));
        p.setPen(text);
        const Qt::Alignment align = i == 0 ? Qt::AlignLeft : i == xTicks ? Qt::AlignRight : Qt::AlignHCenter;
        const double left = i == 0 ? x : i == xTicks ? x - 110 : x - 55;
        p.drawText(QRectF(left, area.bottom() + 4, 110, 16), align | Qt::AlignTop, DateText(time, span));
    }
    p.setPen(QPen(text, 0));
    p.drawRect(area);

    // The limits, each in the colour of the zone it opens.
    for (const auto& [level, zone] :
         {std::pair{FLimits.Alert, TTrendZone::Alert}, std::pair{FLimits.Danger, TTrendZone::Danger}}) {
        QPen line(ZoneColor(zone), 1.5);
        line.setCosmetic(true);
        line.setStyle(Qt::DashLine);
        p.setPen(line);
        p.drawLine(QPointF(area.left(), yOf(level)), QPointF(area.right(), yOf(level)));
    }

    QPen join(palette().mid().color(), 1.0);
    join.setCosmetic(true);
    p.setPen(join);
    for (std::size_t i = 1; i < FPoints.size(); ++i)
        p.drawLine(QPointF(xOf(FPoints[i - 1].Time), yOf(FPoints[i - 1].Level)),
                   QPointF(xOf(FPoints[i].Time), yOf(FPoints[i].Level)));
    for (std::size_t i = 0; i < FPoints.size(); ++i) {
        const QPointF at(xOf(FPoints[i].Time), yOf(FPoints[i].Level));
        p.setPen(Qt::NoPen);
        p.setBrush(ZoneColor(TrendZone(FPoints[i].Level, FLimits)));
        p.drawEllipse(at, kDot, kDot);
        if (static_cast<int>(i) == FSelected) {
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(text, 1.5));
            p.drawEllipse(at, kDot + 3, kDot + 3);
        }
    }
}
