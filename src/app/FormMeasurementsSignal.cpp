// The Measurements window's signal view: the selected reading's spectrum or
// waveform, alone, over its point's baseline or minus it; the cursor and
// the harmonic cursors with their levels beside the plot.
#include "app/FormMeasurements.h"

#include "app/SignalPlot.h"
#include "pcdata/Exports.h"
#include "pcdata/ReadingSignal.h"
#include "pcdata/ReadingSpeed.h"
#include "pcdata/SpectrumCursors.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QTableWidget>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kBandHz = 1000.0; // where the instrument's band ends
constexpr int kHarmonicCount = 10;
enum { kCompareNone, kCompareOverlay, kCompareDifference };

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

QString AmplitudeTitle(int16_t kind) {
    return Text(kind == 1 ? TEXT_PC_ENVELOPE_MM_S : TEXT_PC_VELOCITY_MM_S);
}

// "YYYY-MM-DD HH:MM": enough to tell one reading of a point from another.
QString LegendTime(double time) {
    return QString::fromStdString(ReadingTimeText(time)).left(16);
}

QColor HarmonicColor() {
    return QColor(0x8e, 0x44, 0xad);
}

QTableWidgetItem* Cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

} // namespace

int64_t TFormMeasurements::BaselineId(const TDbReading& reading) {
    if (const int64_t kept = FDb ? FDb->Baseline(reading.PointId) : 0) return kept;
    // Until the user picks one, the point's first reading of its kind.
    for (const TDbReading& r : FReadings)
        if (r.PointId == reading.PointId && r.Kind == reading.Kind) return r.Id;
    return 0;
}

void TFormMeasurements::SetBaselineClick() {
    if (!FShown) return;
    std::string error;
    if (!FDb || !FDb->SetBaseline(FShown->Id, error))
        LabelStatus->setText(Text(TEXT_PC_NOT_DONE).arg(QString::fromStdString(error)));
    MarkBaselines();
    ShowSignal();
}

void TFormMeasurements::MarkBaselines() {
    const bool filling = FFilling;
    FFilling = true;
    for (std::size_t i = 0; i < FReadings.size(); ++i) {
        const TDbReading& r = FReadings[i];
        QStringList marks;
        if (r.Overload) marks << Text(TEXT_PC_OVERLOAD);
        if (BaselineId(r) == r.Id) marks << Text(TEXT_PC_BASELINE);
        TableReadings->setItem(static_cast<int>(i), 4,
                               new QTableWidgetItem(marks.join(QStringLiteral(", "))));
    }
    FFilling = filling;
}

const TDbReading* TFormMeasurements::ComparedBaseline() {
    if (!FShown || !FDb || ComboCompare->currentIndex() == kCompareNone) return nullptr;
    const int64_t id = BaselineId(*FShown);
    if (id == 0) return nullptr;
    if (!FBaseline || FBaseline->Id != id) FBaseline = FDb->Reading(id);
    if (!FBaseline) return nullptr;
    if (FBaseline->Kind != FShown->Kind || FBaseline->Samples.size() != FShown->Samples.size()) {
        LabelStatus->setText(Text(TEXT_PC_COMPARE_UNITS));
        return nullptr;
    }
    return &*FBaseline;
}

void TFormMeasurements::UpdateSignalControls() {
    const bool spectrum = ComboSignal->currentIndex() == 0;
    const bool speed = FShown && ReadingShaftHz(FShown->Condition) > 0.0;
    ComboLines->setEnabled(spectrum);
    ComboAxis->setEnabled(spectrum && speed);
    ComboAxis->setToolTip(FShown && !speed ? Text(TEXT_PC_SPEED_UNKNOWN) : QString());
    CheckHarmonics->setEnabled(spectrum);
    ButtonBaseline->setEnabled(FShown.has_value());
    // One waveform minus another measures nothing (their phases are
    // arbitrary): the difference is the spectra's.
    if (auto* model = qobject_cast<QStandardItemModel*>(ComboCompare->model()))
        if (QStandardItem* item = model->item(kCompareDifference)) item->setEnabled(spectrum);
    if (!spectrum && ComboCompare->currentIndex() == kCompareDifference) {
        const QSignalBlocker quiet(ComboCompare);
        ComboCompare->setCurrentIndex(kCompareOverlay);
    }
}

void TFormMeasurements::ShowSignal() {
    if (FFilling) return;
    UpdateSignalControls();
    PlotSignal->SetLegend({});
    FSpectrum.clear();
    FBaseSpectrum.clear();
    FLineSpacing = 0;
    FXUnit = 1;
    FOrders = false;
    if (!FShown) {
        PlotSignal->SetSeries({}, 1.0, 1.0, false);
        ShowCursor();
        return;
    }
    const int zoom = std::max(1, ComboZoom->currentData().toInt());
    const TDbReading* baseline = ComparedBaseline();
    if (ComboSignal->currentIndex() == 1) {
        const double dt = 1.0 / READING_RATE;
        PlotSignal->SetSeries(ReadingWaveform(FShown->Kind, FShown->Samples), dt,
                              static_cast<double>(FShown->Samples.size()) * dt / zoom, true,
                              baseline ? ReadingWaveform(baseline->Kind, baseline->Samples)
                                       : std::vector<double>{});
        PlotSignal->SetTitles(Text(TEXT_PC_TIME_S), AmplitudeTitle(FShown->Kind));
        if (baseline)
            PlotSignal->SetLegend(
                {{Text(TEXT_PC_LEGEND_READING).arg(LegendTime(FShown->Time)), TSignalPlot::SeriesColor()},
                 {Text(TEXT_PC_LEGEND_BASELINE).arg(LegendTime(baseline->Time)),
                  TSignalPlot::OverlayColor()}});
    } else {
        ShowSpectrum(zoom, baseline);
    }
    ShowCursor();
}

void TFormMeasurements::ShowSpectrum(int zoom, const TDbReading* baseline) {
    const int finer = std::max(1, ComboLines->currentData().toInt());
    TReadingSpectrum spectrum = ReadingSpectrum(FShown->Kind, FShown->Samples, finer);
    FLineSpacing = spectrum.LineSpacing;
    FSpectrum = std::move(spectrum.Amplitude);
    const double shaftHz = ReadingShaftHz(FShown->Condition);
    FOrders = ComboAxis->isEnabled() && ComboAxis->currentIndex() == 1 && shaftHz > 0.0;
    // In orders each reading stands on its own running speed: the baseline's
    // lines move onto today's, so that its 1x is drawn at 1x.
    if (baseline)
        FBaseSpectrum = SpectrumAtSpeed(ReadingSpectrum(baseline->Kind, baseline->Samples, finer).Amplitude,
                                        FOrders ? ReadingShaftHz(baseline->Condition) : 0.0, shaftHz);
    FXUnit = FOrders ? shaftHz : 1.0;
    const bool difference = baseline && ComboCompare->currentIndex() == kCompareDifference;
    PlotSignal->SetSeries(difference ? SpectrumDifference(FSpectrum, FBaseSpectrum) : FSpectrum,
                          FLineSpacing / FXUnit, kBandHz / zoom / FXUnit, difference,
                          difference ? std::vector<double>{} : FBaseSpectrum);
    PlotSignal->SetTitles(FOrders ? Text(TEXT_PC_ORDER_TITLE).arg(shaftHz, 0, 'f', 2) : Text(TEXT_PC_FREQ_HZ),
                          AmplitudeTitle(FShown->Kind));
    if (!baseline) return;
    const QString today = LegendTime(FShown->Time), before = LegendTime(baseline->Time);
    if (difference)
        PlotSignal->SetLegend(
            {{Text(TEXT_PC_LEGEND_DIFFERENCE).arg(today, before), TSignalPlot::SeriesColor()}});
    else
        PlotSignal->SetLegend({{Text(TEXT_PC_LEGEND_READING).arg(today), TSignalPlot::SeriesColor()},
                               {Text(TEXT_PC_LEGEND_BASELINE).arg(before), TSignalPlot::OverlayColor()}});
}

bool TFormMeasurements::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PlotSignal && event->type() == QEvent::MouseButtonPress)
        PlotSignalClick(static_cast<QMouseEvent*>(event)->position().toPoint());
    return QWidget::eventFilter(watched, event);
}

// The cursor sits on the value nearest the click; a spectrum's cursor on the
// highest line within three of the instrument's lines, as an analyst means
// the peak (on a difference, the line that grew most).
void TFormMeasurements::PlotSignalClick(QPoint pos) {
    const std::vector<double>& y = PlotSignal->Series();
    if (y.empty()) return;
    const double x = PlotSignal->PixelToX(pos.x()) / PlotSignal->Dx();
    auto line =
        static_cast<std::size_t>(std::clamp<double>(std::round(x), 0.0, static_cast<double>(y.size() - 1)));
    const bool spectrum = ComboSignal->currentIndex() == 0;
    if (spectrum) {
        const auto finer = static_cast<std::size_t>(std::max(1, ComboLines->currentData().toInt()));
        line = PeakLineNear(y, line, 3 * finer);
    }
    FCursorX = static_cast<double>(line) * (spectrum ? FLineSpacing : 1.0 / READING_RATE);
    ShowCursor();
}

void TFormMeasurements::ShowCursor() {
    const bool spectrum = ComboSignal->currentIndex() == 0;
    const bool harmonics = spectrum && CheckHarmonics->isChecked();
    LabelCursor->clear();
    TableHarmonics->setRowCount(0);
    TableHarmonics->setVisible(harmonics);
    const std::vector<double>& y = PlotSignal->Series();
    if (FCursorX < 0 || y.empty() || !FShown || (spectrum && !(FLineSpacing > 0))) {
        PlotSignal->SetMarkers({});
        return;
    }
    const auto finer = static_cast<std::size_t>(std::max(1, ComboLines->currentData().toInt()));
    const double step = spectrum ? FLineSpacing : 1.0 / READING_RATE;
    auto line =
        static_cast<std::size_t>(std::min(std::llround(FCursorX / step), std::llround(y.size() - 1.0)));
    // The same place on another reading, or at another resolution: its peak.
    if (spectrum) line = PeakLineNear(y, line, finer);
    const double at = static_cast<double>(line) * step;
    const QString place =
        FOrders ? QString::number(at / FXUnit, 'f', 3) : QString::number(at, 'f', spectrum ? 4 : 5);
    const QString unit = Text(!spectrum ? TEXT_PC_UNIT_S : FOrders ? TEXT_PC_UNIT_ORDER : TEXT_PC_UNIT_HZ);
    LabelCursor->setText(Text(TEXT_PC_CURSOR).arg(place, unit, QString::number(y[line], 'g', 5)));
    if (!harmonics) {
        PlotSignal->SetMarkers({{at / FXUnit, place, palette().highlight().color(), 0}});
        return;
    }

    // Harmonics of the reading's own peak there, whatever series is drawn.
    const auto cursors =
        HarmonicCursors(FSpectrum, FLineSpacing, PeakLineNear(FSpectrum, line, finer), kHarmonicCount, finer);
    const bool withBaseline = !FBaseSpectrum.empty();
    TableHarmonics->setColumnHidden(3, !withBaseline);
    TableHarmonics->setHorizontalHeaderLabels({Text(TEXT_PC_COL_ORDER), Text(TEXT_PC_UNIT_HZ),
                                               Text(TEXT_PC_UNIT_MM_S), Text(TEXT_PC_COL_BASELINE_LEVEL)});
    TableHarmonics->setRowCount(static_cast<int>(cursors.size()));
    std::vector<TSignalPlot::TMarker> markers;
    for (std::size_t i = 0; i < cursors.size(); ++i) {
        const THarmonicCursor& c = cursors[i];
        const QString order = QStringLiteral("%1x").arg(c.Order);
        // The ring sits on the drawn curve; labels of the lower orders first.
        markers.push_back(
            {c.Hz / FXUnit, order, HarmonicColor(), c.Order, y[std::min(c.Line, y.size() - 1)]});
        const int row = static_cast<int>(i);
        TableHarmonics->setItem(row, 0, Cell(order));
        TableHarmonics->setItem(row, 1, Cell(QString::number(c.Hz, 'f', 2)));
        TableHarmonics->setItem(row, 2, Cell(QString::number(c.Amplitude, 'f', 3)));
        if (withBaseline && c.Line < FBaseSpectrum.size())
            TableHarmonics->setItem(row, 3, Cell(QString::number(FBaseSpectrum[c.Line], 'f', 3)));
    }
    PlotSignal->SetMarkers(std::move(markers));
}
