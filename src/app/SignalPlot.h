#pragma once
// TSignalPlot: one series on linear axes, as an analyst's tool shows a
// waveform or a spectrum: round-numbered ticks, a light grid, axis titles and
// marked frequencies with their labels. Everything is painted at the
// widget's resolution with cosmetic pens, so it stays crisp at any scale;
// where the series has more values than the plot has pixel columns, each
// column shows the extremes of its values, so no peak is lost. A second
// series (a baseline) may be drawn under the first, on the same x values, and
// a legend names what each colour is.
#include <QColor>
#include <QString>
#include <QWidget>

#include <limits>
#include <utility>
#include <vector>

class TSignalPlot : public QWidget {
  public:
    struct TMarker {
        double X;
        QString Label;
        QColor Color;
        // Where labels crowd, those of lower rank are drawn and the others
        // left out, so that the lines that matter always say which is which.
        int Rank = 0;
        // The series' value at X, ringed there (a harmonic's level); NaN for
        // a line alone.
        double Y = std::numeric_limits<double>::quiet_NaN();
    };
    struct TLegendEntry {
        QString Text;
        QColor Color;
    };

    explicit TSignalPlot(QWidget* parent, const char* name);

    // Value i of y (and of overlay) is at x = i * dx; the x axis shows
    // 0..xMax, the y axis both series. A symmetric plot centres 0 (a waveform,
    // a difference); otherwise the y axis starts at 0.
    void SetSeries(std::vector<double> y, double dx, double xMax, bool symmetric,
                   std::vector<double> overlay = {});
    void SetLegend(std::vector<TLegendEntry> legend);
    void SetTitles(const QString& xTitle, const QString& yTitle);
    void SetMarkers(std::vector<TMarker> markers);

    const std::vector<double>& Series() const { return FY; }
    const std::vector<double>& Overlay() const { return FOverlay; }
    const std::vector<TLegendEntry>& Legend() const { return FLegend; }
    double XMax() const { return FXMax; }
    static QColor SeriesColor();
    static QColor OverlayColor();
    double Dx() const { return FDx; }
    const std::vector<TMarker>& Markers() const { return FMarkers; }
    // The markers whose labels are drawn, by index, with each label's left
    // edge: rank by rank, each where it crowds no label already placed.
    std::vector<std::pair<std::size_t, double>> ShownLabels() const;
    // The widget x coordinate of x, and back.
    double XToPixel(double x) const;
    double PixelToX(double pixel) const;

    // Where the y axis's title is drawn, across above the plot.
    QRectF YTitleRect() const;

    QSize sizeHint() const override { return {640, 220}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    double TopMargin() const;
    QRectF PlotArea() const;
    double YToPixel(double y) const;
    void PaintGrid(class QPainter& p, const QRectF& area) const;
    void PaintSeries(QPainter& p, const QRectF& area, const std::vector<double>& y) const;
    void PaintLegend(QPainter& p) const;
    void PaintMarkers(QPainter& p, const QRectF& area) const;
    void PaintMarkerValues(QPainter& p) const;

    std::vector<double> FY;
    std::vector<double> FOverlay;
    std::vector<TLegendEntry> FLegend;
    double FDx = 1.0;
    double FXMax = 1.0;
    double FYMin = -1.0;
    double FYMax = 1.0;
    QString FXTitle;
    QString FYTitle;
    std::vector<TMarker> FMarkers;
};

// A round step for about `count` ticks over span (1, 2 or 5 times a power
// of ten).
double NiceStep(double span, int count);
