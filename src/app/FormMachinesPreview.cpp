// The Machines window's preview: the selected condition's waveform and
// spectrum in physical units, its characteristic frequencies and the
// machine's severity zone.
#include "app/FormMachines.h"
#include "app/SignalPlot.h"

#include "measure/PointConditions.h"
#include "measure/Routes.h"
#include "measure/Samplingimp.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"
#include "signals/ConditionBand.h"
#include "signals/SignalSpectrum.h"
#include "signals/Synthesis.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <array>

namespace {

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

// The stored waveform of kind in mm/s: codes about their mean (kinds 0
// and 2) or as they are (kind 1), on the velocity scale.
std::vector<double> StoredSignal(int16_t kind) {
    int16_t table[SAMPLE_COUNT];
    if (!ReadWaveformTable(kind, table)) return std::vector<double>(SAMPLE_COUNT, 0.0);
    std::vector<double> signal(SAMPLE_COUNT);
    double mean = 0.0;
    for (int i = 0; i < SAMPLE_COUNT; ++i) {
        const std::size_t at = static_cast<std::size_t>(i);
        signal[at] = kind == KIND_MEAS_E ? static_cast<double>(table[i])
                                         : static_cast<double>(static_cast<uint16_t>(table[i]));
        mean += signal[at];
    }
    mean = kind == KIND_MEAS_E ? 0.0 : mean / SAMPLE_COUNT;
    for (double& value : signal)
        value = (value - mean) * VELOCITY_PER_CODE;
    return signal;
}

// The first lines lie below the instrument's 10 Hz band edge; on the low
// channel they are left out as the instrument leaves them out.
void ClearBelowBand(std::vector<double>& lines, int16_t kind) {
    const int first = kind == KIND_HF ? 3 : BAND_FIRST_LINE;
    std::fill(lines.begin(), lines.begin() + std::min<std::ptrdiff_t>(first, std::ssize(lines)), 0.0);
}

// Running speed green, bearings red, mesh and vanes violet, the supply's
// lines blue, a resonance orange.
QColor MarkerColor(const std::string& label) {
    const auto has = [&label](const char* name) { return label.find(name) != std::string::npos; };
    if (has("GMF") || has("VPF")) return {0x7b, 0x2d, 0x8e};
    if (has("BP") || has("BSF") || has("FTF")) return {0xc0, 0x1c, 0x28};
    if (has("LF")) return {0x15, 0x65, 0xc0};
    if (has("RES")) return {0xe6, 0x51, 0x00};
    return {0x26, 0x80, 0x3c};
}

// Whose label shows where labels crowd: the fault's own lines first (BPFO,
// 2xBSF, GMF, 2xLF, RES), then the running speed's harmonics, then the
// sidebands ("BPFI-1x", "2xBSF+FTF"), named after the line they sit beside.
int MarkerRank(const std::string& label) {
    if (label.find_first_of("+-") != std::string::npos) return 2;
    return label.ends_with('x') ? 1 : 0;
}

QString Hz(double hz) {
    return QString::number(hz, 'f', 1);
}

int16_t PreviewKind(int16_t source) {
    if (source >= 1 && source <= ROUTE_POINT_COUNT) return RoutePointKind(source);
    return source == SOURCE_HF ? KIND_HF : KIND_MEAS;
}

// What the instrument shows of a measurement of kind from source, and the
// keys to its velocity RMS where it has one.
int InstrumentShowsText(int16_t source, int16_t kind) {
    if (kind == KIND_MEAS_E) return TEXT_PREVIEW_KIND_1;
    if (kind == KIND_HF) return TEXT_PREVIEW_KIND_2;
    return source == SOURCE_WATCH ? TEXT_PREVIEW_WATCH : TEXT_PREVIEW_KIND_0;
}

// The instrument's noise: 0.2 mm/s RMS.
constexpr double NOISE_MM_S = 0.2;

} // namespace

TConditionPreview PreviewCondition(const TCondition& condition, int16_t kind) {
    TConditionPreview preview;
    preview.Rate = kind == KIND_HF ? HF_RATE : LOW_RATE;
    if (condition.Kind == TConditionKind::Stored) {
        preview.Signal = StoredSignal(kind);
        const std::vector<double> velocity = kind == KIND_MEAS ? preview.Signal : StoredSignal(KIND_MEAS);
        preview.VelocityRms = SignalBandRms(velocity, BAND_FIRST_LINE, BAND_LAST_LINE);
    } else {
        preview.Signal = SynthesizeSignal(condition, kind);
        std::array<int16_t, SAMPLE_COUNT> codes{};
        preview.Clipped = SynthesizeCondition(condition, kind, codes.data());
        const std::vector<double> velocity =
            kind == KIND_MEAS ? preview.Signal : SynthesizeSignal(condition, KIND_MEAS);
        preview.VelocityRms = SignalBandRms(velocity, BAND_FIRST_LINE, BAND_LAST_LINE);
    }
    std::vector<double> centred = preview.Signal;
    preview.Lines = LineRms(centred);
    ClearBelowBand(preview.Lines, kind);
    return preview;
}

void TFormMachines::CreatePreview() {
    LabelKind = new QLabel(this);
    LabelKind->setObjectName(QStringLiteral("LabelKind"));
    LabelKind->setWordWrap(true);
    LabelGroup = new QLabel(this);
    LabelGroup->setObjectName(QStringLiteral("LabelGroup"));
    ComboGroup = new QComboBox(this);
    ComboGroup->setObjectName(QStringLiteral("ComboGroup"));
    ComboGroup->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(ComboGroup, &QComboBox::currentIndexChanged, this, [this] { UpdatePreview(); });
    LabelSeverity = new QLabel(this);
    LabelSeverity->setObjectName(QStringLiteral("LabelSeverity"));
    LabelSeverity->setWordWrap(true);
    LabelNote = new QLabel(this);
    LabelNote->setObjectName(QStringLiteral("LabelNote"));
    LabelNote->setWordWrap(true);
    LabelNote->setTextFormat(Qt::RichText);

    // The plots fold away, so that the window fits a small screen beside the
    // instrument; what the instrument will show and the zone stay in sight.
    ButtonPreview = new QToolButton(this);
    ButtonPreview->setObjectName(QStringLiteral("ButtonPreview"));
    ButtonPreview->setCheckable(true);
    ButtonPreview->setChecked(true);
    ButtonPreview->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    ButtonPreview->setArrowType(Qt::DownArrow);
    ButtonPreview->setAutoRaise(true);
    connect(ButtonPreview, &QToolButton::toggled, this, [this](bool shown) { ButtonPreviewClick(shown); });

    PanelPreview = new QWidget(this);
    PanelPreview->setObjectName(QStringLiteral("PanelPreview"));
    auto* layout = new QVBoxLayout(PanelPreview);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* unit = new QHBoxLayout;
    LabelFrequencyUnit = new QLabel(PanelPreview);
    LabelFrequencyUnit->setObjectName(QStringLiteral("LabelFrequencyUnit"));
    ComboFrequencyUnit = new QComboBox(PanelPreview);
    ComboFrequencyUnit->setObjectName(QStringLiteral("ComboFrequencyUnit"));
    ComboFrequencyUnit->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(ComboFrequencyUnit, &QComboBox::currentIndexChanged, this, [this] { UpdatePreview(); });
    unit->addWidget(LabelFrequencyUnit);
    unit->addWidget(ComboFrequencyUnit);
    unit->addStretch(1);
    layout->addLayout(unit);
    PlotWaveform = new TSignalPlot(PanelPreview, "PlotWaveform");
    PlotSpectrum = new TSignalPlot(PanelPreview, "PlotSpectrum");
    layout->addWidget(PlotWaveform, 4);
    layout->addWidget(PlotSpectrum, 5);
}

void TFormMachines::ButtonPreviewClick(bool shown) {
    ButtonPreview->setArrowType(shown ? Qt::DownArrow : Qt::RightArrow);
    PanelPreview->setVisible(shown);
    // The list keeps its selected row in sight as it shrinks or grows.
    if (QTreeWidgetItem* item = TreeMachines->currentItem()) TreeMachines->scrollToItem(item);
}

void TFormMachines::UpdatePreview() {
    const int16_t source = SelectedSource();
    // The condition as the point will measure it, noise and all.
    const TCondition condition = SeededCondition(AssignedCondition(source), source);
    const int16_t kind = PreviewKind(source);
    const TConditionPreview preview = PreviewCondition(condition, kind);

    const QString shows = Text(InstrumentShowsText(source, kind));
    LabelKind->setText(condition.Kind == TConditionKind::Stored
                           ? Text(TEXT_PREVIEW_STORED) + QLatin1Char(' ') + shows
                           : shows);
    // About a dozen revolutions of a machine at 1500 rpm; the HF channel's
    // ringing impacts over a few of them.
    const double shownMs = kind == KIND_HF ? 25.0 : 400.0;
    PlotWaveform->SetSeries(preview.Signal, 1000.0 / preview.Rate, shownMs, kind != KIND_MEAS_E);
    PlotWaveform->SetTitles(Text(TEXT_WAVEFORM_TITLE),
                            Text(kind == KIND_MEAS_E ? TEXT_ENVELOPE_AXIS : TEXT_VELOCITY_AXIS));

    const bool rpm = ComboFrequencyUnit->currentIndex() == 1;
    const double unit = rpm ? 60.0 : 1.0;
    const double maxHz = kind == KIND_HF ? preview.Rate / 2 : 1000.0;
    PlotSpectrum->SetSeries(preview.Lines, preview.Rate / SIGNAL_LENGTH * unit, maxHz * unit, false);
    PlotSpectrum->SetTitles(Text(rpm ? TEXT_FREQUENCY_RPM : TEXT_FREQUENCY_HZ),
                            Text(kind == KIND_MEAS_E ? TEXT_ENVELOPE_AXIS_RMS : TEXT_VELOCITY_AXIS_RMS));
    std::vector<TSignalPlot::TMarker> markers;
    // The HF channel shows the structure's resonance, far above the
    // machine's own frequencies.
    if (kind != KIND_HF && condition.Kind != TConditionKind::Stored)
        for (const TCharacteristicLine& line : CharacteristicLines(condition, maxHz))
            markers.push_back({line.Hz * unit, QString::fromStdString(line.Label), MarkerColor(line.Label),
                               MarkerRank(line.Label)});
    PlotSpectrum->SetMarkers(std::move(markers));

    const char zone = SeverityZone(preview.VelocityRms, Group());
    LabelSeverity->setText(Text(TEXT_SEVERITY_READING)
                               .arg(QString::number(preview.VelocityRms, 'f', 2),
                                    QString(QChar::fromLatin1(zone)), Text(TEXT_ZONE_A + (zone - 'A'))));
    static const char* const kZoneColors[] = {"#2e7d32", "#9e9d24", "#ef6c00", "#c62828"};
    LabelSeverity->setStyleSheet(QStringLiteral("QLabel { color: white; background: %1; padding: 4px; "
                                                "font-weight: bold; }")
                                     .arg(QLatin1String(kZoneColors[zone - 'A'])));
    // What the instrument will not show of this machine, before the rule of
    // the next measurement.
    QStringList notes = ConditionNotes(condition, kind);
    const bool synthesized = condition.Kind != TConditionKind::Stored;
    if (synthesized && kind != KIND_HF && preview.VelocityRms < NOISE_MM_S)
        notes << Text(TEXT_BELOW_NOISE).arg(QString::number(preview.VelocityRms, 'f', 2));
    if (preview.Clipped) notes << Text(TEXT_CLIPPED);
    QString html;
    for (const QString& note : notes)
        html += QStringLiteral("<div style=\"color: #c62828\">%1</div>").arg(note.toHtmlEscaped());
    const bool ball =
        condition.Kind == TConditionKind::BearingBall || condition.Second == TConditionKind::BearingBall;
    if (ball && kind != KIND_HF)
        html += QStringLiteral("<div>%1</div>").arg(Text(TEXT_BALL_LINES).toHtmlEscaped());
    if (!preview.Clipped)
        html += QStringLiteral("<div>%1</div>").arg(Text(TEXT_APPLIES_NEXT).toHtmlEscaped());
    LabelNote->setText(html);
}

// The facts are the core's; the window only words them.
QStringList TFormMachines::ConditionNotes(const TCondition& condition, int16_t kind) const {
    QStringList notes;
    for (const TBandWarning& warning : BandWarnings(condition, kind)) {
        const QString low = QString::number(warning.Band.LowHz, 'f', 0);
        const QString high = QString::number(warning.Band.HighHz, 'f', 0);
        const QString fault = Text(TEXT_CONDITION_STORED + static_cast<int>(warning.Part));
        switch (warning.Limit) {
        case TBandLimit::ShaftBelow:
            notes << Text(TEXT_BAND_SHAFT_BELOW).arg(Hz(warning.Hz), low);
            break;
        case TBandLimit::LineAbove:
            notes << Text(warning.ShownBy == KIND_HF ? TEXT_BAND_LINE_ABOVE_HF : TEXT_BAND_LINE_ABOVE_NONE)
                         .arg(fault, Hz(warning.Hz), low, high);
            break;
        case TBandLimit::LineBelow:
            notes << Text(TEXT_BAND_LINE_BELOW).arg(fault, Hz(warning.Hz), low, high);
            break;
        }
    }
    return notes;
}
