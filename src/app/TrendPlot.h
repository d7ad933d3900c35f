#pragma once
// TTrendPlot: one point's level over time, as a condition monitoring chart
// draws it: a dot a reading, coloured by the zone its level falls in, joined
// in time order, with the alert and danger limits as lines across. Painted
// with cosmetic pens at the widget's resolution, so it is crisp at any scale.
#include "pcdata/TrendLimits.h"

#include <QString>
#include <QWidget>

#include <vector>

class TTrendPlot : public QWidget {
  public:
    struct TPoint {
        double Time; // day count
        double Level;
    };

    explicit TTrendPlot(QWidget* parent);

    void SetTrend(std::vector<TPoint> points, const TPointLimits& limits, const QString& yTitle);
    // The reading drawn ringed (the selected one); -1 for none.
    void SetSelected(int index);

    const std::vector<TPoint>& Points() const { return FPoints; }
    // The colour a reading's dot is drawn in.
    static QColor ZoneColor(TTrendZone zone);

    QSize sizeHint() const override { return {640, 200}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QRectF PlotArea() const;

    std::vector<TPoint> FPoints;
    TPointLimits FLimits;
    QString FYTitle;
    int FSelected = -1;
};
