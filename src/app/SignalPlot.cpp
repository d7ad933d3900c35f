#include "app/SignalPlot.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kLeft = 48.0; // room for the y ticks' labels
constexpr double kRight = 14.0;
constexpr double kMarkerRow = 22.0; // room for the marker labels
constexpr double kBottom = 38.0;

QString TickText(double value, double step) {
    const int decimals = step >= 1.0 ? 0 : static_cast<int>(std::ceil(-std::log10(step) - 1e-9));
    return QString::number(value, 'f', std::clamp(decimals, 0, 4));
}

} // namespace

double NiceStep(double span, int count) {
    if (!(span > 0.0) || count < 1) return 1.0;
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double factor : {1.0, 2.0, 5.0})
        if (raw <= factor * power * 1.0000001) return factor * power;
    return 10.0 * power;
}

TSignalPlot::TSignalPlot(QWidget* parent, const char* name) : QWidget(parent) {
    setObjectName(QLatin1String(name));
    // Low enough that the Machines window fits a 768-pixel-high screen.
    setMinimumSize(320, 110);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QColor TSignalPlot::SeriesColor() {
    return QColor(0x1f, 0x4e, 0x9a);
}

// Quieter than the reading, so that what is new stands out against it.
QColor TSignalPlot::OverlayColor() {
    return QColor(0x93, 0x9b, 0xa6);
}

void TSignalPlot::SetSeries(std::vector<double> y, double dx, double xMax, bool symmetric,
                            std::vector<double> overlay) {
    FY = std::move(y);
    FOverlay = std::move(overlay);
    FDx = dx > 0.0 ? dx : 1.0;
    FXMax = xMax > 0.0 ? xMax : 1.0;
    double peak = 0.0;
    const auto shown = static_cast<std::size_t>(FXMax / FDx) + 1;
    for (const std::vector<double>* series : {&FY, &FOverlay})
        for (std::size_t i = 0; i < std::min(series->size(), shown); ++i)
            peak = std::max(peak, std::abs((*series)[i]));
    if (!(peak > 0.0)) peak = 1.0;
    // A round top a little above the largest value.
    const double step = NiceStep(peak * 1.05, 4);
    const double top = std::ceil(peak * 1.05 / step) * step;
    FYMax = top;
    FYMin = symmetric ? -top : 0.0;
    update();
}

void TSignalPlot::SetLegend(std::vector<TLegendEntry> legend) {
    FLegend = std::move(legend);
    update();
}

void TSignalPlot::SetTitles(const QString& xTitle, const QString& yTitle) {
    FXTitle = xTitle;
    FYTitle = yTitle;
    update();
}

void TSignalPlot::SetMarkers(std::vector<TMarker> markers) {
    FMarkers = std::move(markers);
    update();
}

// The y axis's title stands on a row of its own above the plot, read across:
// turned up the axis it was cut wherever the plot is lower than the title is
// long, which a compact window and a longer language both make it.
double TSignalPlot::TopMargin() const {
    return QFontMetricsF(font()).height() + 2.0 + kMarkerRow;
}

QRectF TSignalPlot::PlotArea() const {
    const double top = TopMargin();
    return QRectF(kLeft, top, std::max(1.0, width() - kLeft - kRight),
                  std::max(1.0, height() - top - kBottom));
}

QRectF TSignalPlot::YTitleRect() const {
    const QFontMetricsF metrics(font());
    return QRectF(4.0, 1.0, metrics.horizontalAdvance(FYTitle), metrics.height());
}

double TSignalPlot::XToPixel(double x) const {
    const QRectF area = PlotArea();
    return area.left() + x / FXMax * area.width();
}

double TSignalPlot::PixelToX(double pixel) const {
    const QRectF area = PlotArea();
    return (pixel - area.left()) / area.width() * FXMax;
}

double TSignalPlot::YToPixel(double y) const {
    const QRectF area = PlotArea();
    return area.bottom() - (y - FYMin) / (FYMax - FYMin) * area.height();
}

void TSignalPlot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().base());
    const QRectF area = PlotArea();
    PaintGrid(p, area);
    p.save();
    p.setClipRect(area.adjusted(0, -kMarkerRow, 1, 1));
    PaintMarkers(p, area);
    p.restore();
    p.save();
    p.setClipRect(area.adjusted(0, 0, 1, 1));
    p.setPen(QPen(OverlayColor(), 0));
    PaintSeries(p, area, FOverlay);
    p.setPen(QPen(SeriesColor(), 0));
    PaintSeries(p, area, FY);
    PaintMarkerValues(p);
    p.restore();
    p.setPen(QPen(palette().text().color(), 0));
    p.drawRect(area);
    PaintLegend(p);
}

// Right-aligned on the y title's row: a short stroke of each colour and its
// text.
void TSignalPlot::PaintLegend(QPainter& p) const {
    const QFontMetricsF metrics(font());
    double right = width() - kRight;
    const double middle = 1.0 + metrics.height() / 2;
    for (auto entry = FLegend.rbegin(); entry != FLegend.rend(); ++entry) {
        const double w = metrics.horizontalAdvance(entry->Text);
        p.setPen(palette().text().color());
        p.drawText(QPointF(right - w, 1.0 + metrics.ascent()), entry->Text);
        QPen stroke(entry->Color, 2.0);
        stroke.setCosmetic(true);
        p.setPen(stroke);
        p.drawLine(QPointF(right - w - 22, middle), QPointF(right - w - 6, middle));
        right -= w + 36;
    }
}

void TSignalPlot::PaintGrid(QPainter& p, const QRectF& area) const {
    const QColor text = palette().text().color();
    QColor grid = palette().mid().color();
    grid.setAlpha(90);
    const QFontMetricsF metrics(font());

    const double xStep = NiceStep(FXMax, std::max(2, static_cast<int>(area.width() / 90.0)));
    for (double x = 0.0; x <= FXMax * 1.0000001; x += xStep) {
        const double px = XToPixel(x);
        p.setPen(QPen(grid, 0));
        p.drawLine(QPointF(px, area.top()), QPointF(px, area.bottom()));
        p.setPen(QPen(text, 0));
        p.drawLine(QPointF(px, area.bottom()), QPointF(px, area.bottom() + 4));
        const QString label = TickText(x, xStep);
        const double w = metrics.horizontalAdvance(label);
        p.drawText(QPointF(std::min(px - w / 2, area.right() - w), area.bottom() + 5 + metrics.ascent()),
                   label);
    }
    const double yStep = NiceStep(FYMax - FYMin, std::max(4, static_cast<int>(area.height() / 30.0)));
    for (double y = std::ceil(FYMin / yStep) * yStep; y <= FYMax * 1.0000001; y += yStep) {
        const double py = YToPixel(y);
        p.setPen(QPen(std::abs(y) < yStep / 2 ? text : grid, 0));
        p.drawLine(QPointF(area.left(), py), QPointF(area.right(), py));
        p.setPen(QPen(text, 0));
        const QString label = TickText(std::abs(y) < yStep / 2 ? 0.0 : y, yStep);
        p.drawText(QPointF(area.left() - 6 - metrics.horizontalAdvance(label), py + metrics.ascent() / 2 - 1),
                   label);
    }
    p.setPen(QPen(text, 0));
    const double titleWidth = metrics.horizontalAdvance(FXTitle);
    p.drawText(QPointF(area.center().x() - titleWidth / 2, height() - 4.0), FXTitle);
    p.drawText(YTitleRect(), Qt::AlignLeft | Qt::AlignVCenter, FYTitle);
}

void TSignalPlot::PaintSeries(QPainter& p, const QRectF& area, const std::vector<double>& y) const {
    if (y.empty()) return;
    p.setRenderHint(QPainter::Antialiasing, true);
    const auto last = std::min(y.size(), static_cast<std::size_t>(FXMax / FDx) + 1);
    const double perPixel = static_cast<double>(last) / area.width();
    QPainterPath path;
    if (perPixel <= 2.0) {
        path.moveTo(XToPixel(0.0), YToPixel(y[0]));
        for (std::size_t i = 1; i < last; ++i)
            path.lineTo(XToPixel(static_cast<double>(i) * FDx), YToPixel(y[i]));
    } else {
        // Each pixel column: a stroke from its smallest to its largest value.
        std::size_t i = 0;
        const auto columns = static_cast<int>(std::ceil(area.width()));
        for (int column = 0; column < columns && i < last; ++column) {
            const auto end = std::min(last, static_cast<std::size_t>((column + 1) * perPixel));
            double low = y[i], high = y[i];
            for (std::size_t j = i; j < std::max(end, i + 1); ++j) {
                low = std::min(low, y[j]);
                high = std::max(high, y[j]);
            }
            const double px = area.left() + column + 0.5;
            if (column == 0)
                path.moveTo(px, YToPixel(high));
            else
                path.lineTo(px, YToPixel(high));
            path.lineTo(px, YToPixel(low));
            i = std::max(end, i + 1);
        }
    }
    p.drawPath(path);
}

std::vector<std::pair<std::size_t, double>> TSignalPlot::ShownLabels() const {
    const QFontMetricsF metrics(font());
    std::vector<std::pair<std::size_t, double>> shown;
    const QRectF area = PlotArea();
    std::vector<std::pair<double, double>> taken; // left and right of each label drawn
    std::vector<int> ranks;
    for (const TMarker& marker : FMarkers)
        ranks.push_back(marker.Rank);
    std::ranges::sort(ranks);
    const auto [last, end] = std::ranges::unique(ranks);
    ranks.erase(last, end);
    for (const int rank : ranks) {
        for (std::size_t i = 0; i < FMarkers.size(); ++i) {
            const TMarker& marker = FMarkers[i];
            if (marker.Rank != rank || marker.X < 0.0 || marker.X > FXMax) continue;
            const double w = metrics.horizontalAdvance(marker.Label);
            // A line at either end keeps its whole label inside the plot.
            const double left = std::max(area.left(), std::min(XToPixel(marker.X) - w / 2, area.right() - w));
            const bool crowds = std::ranges::any_of(
                taken, [&](const auto& span) { return left < span.second + 3 && left + w + 3 > span.first; });
            if (crowds) continue;
            taken.emplace_back(left, left + w);
            shown.emplace_back(i, left);
        }
    }
    return shown;
}

void TSignalPlot::PaintMarkers(QPainter& p, const QRectF& area) const {
    for (const TMarker& marker : FMarkers) {
        if (marker.X < 0.0 || marker.X > FXMax) continue;
        const double px = XToPixel(marker.X);
        p.setPen(QPen(marker.Color, 0, Qt::DashLine));
        p.drawLine(QPointF(px, area.top()), QPointF(px, area.bottom()));
    }
    for (const auto& [index, left] : ShownLabels()) {
        p.setPen(FMarkers[index].Color);
        p.drawText(QPointF(left, area.top() - 5), FMarkers[index].Label);
    }
}

void TSignalPlot::PaintMarkerValues(QPainter& p) const {
    for (const TMarker& marker : FMarkers) {
        if (std::isnan(marker.Y) || marker.X < 0.0 || marker.X > FXMax) continue;
        QPen ring(marker.Color, 1.5);
        ring.setCosmetic(true);
        p.setPen(ring);
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(XToPixel(marker.X), YToPixel(marker.Y)), 3.5, 3.5);
    }
}
