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
#include "signals/SignalSpectrum.h"
#include "signals/Synthesis.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

// Running speed green, bearings red, mesh and vanes violet, the supply's
// lines blue, a resonance orange.
QColor MarkerColor(const std::string& label) {
    switch (MarkerFamily(label)) {
    case TMarkerFamily::Mesh:
        return {0x7b, 0x2d, 0x8e};
    case TMarkerFamily::Bearing:
        return {0xc0, 0x1c, 0x28};
    case TMarkerFamily::Supply:
        return {0x15, 0x65, 0xc0};
    case TMarkerFamily::Resonance:
        return {0xe6, 0x51, 0x00};
    case TMarkerFamily::Shaft:
        break;
    }
    return {0x26, 0x80, 0x3c};
}

// A note of the core, worded in the GUI thread's language.
QString Worded(const TConditionNote& note) {
    QString text = Text(note.TextId);
    for (const TNoteArg& arg : note.Args)
        text = text.arg(arg.TextId ? Text(arg.TextId) : QString::fromStdString(arg.Figure));
    return text;
}

} // namespace

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
    PanelPreview->setVisible(shown && !IsHidden(SelectedSource()));
    // The list keeps its selected row in sight as it shrinks or grows.
    if (QTreeWidgetItem* item = TreeMachines->currentItem()) TreeMachines->scrollToItem(item);
}

void TFormMachines::ShowHiddenPreview() {
    LabelKind->setText(Text(TEXT_HIDDEN));
    LabelSeverity->setText(QString());
    LabelSeverity->setStyleSheet(QString());
    // Empty axes would read as a machine that gives no signal: the plots
    // go, and the note says when the condition shows.
    LabelNote->setText(Text(TEXT_HIDDEN_NOTE));
    PanelPreview->hide();
    PlotWaveform->SetSeries({}, 1.0, 1.0, false);
    PlotSpectrum->SetSeries({}, 1.0, 1.0, false);
    PlotSpectrum->SetMarkers({});
}

void TFormMachines::UpdatePreview() {
    const int16_t source = SelectedSource();
    if (IsHidden(source)) {
        ShowHiddenPreview();
        return;
    }
    PanelPreview->setVisible(ButtonPreview->isChecked());
    // The condition as the point will measure it, noise and all.
    const TCondition condition = SeededCondition(AssignedCondition(source), source);
    const int16_t kind = PreviewKind(source);
    const TConditionPreview preview = PreviewCondition(condition, kind);

    const QString shows = Text(InstrumentShowsText(source, kind));
    LabelKind->setText(condition.Kind == TConditionKind::Stored
                           ? Text(TEXT_PREVIEW_STORED) + QLatin1Char(' ') + shows
                           : shows);
    const double shownMs = PreviewSpanMs(kind);
    PlotWaveform->SetSeries(preview.Signal, 1000.0 / preview.Rate, shownMs, kind != KIND_MEAS_E);
    PlotWaveform->SetTitles(Text(TEXT_WAVEFORM_TITLE),
                            Text(kind == KIND_MEAS_E ? TEXT_ENVELOPE_AXIS : TEXT_VELOCITY_AXIS));

    const bool rpm = ComboFrequencyUnit->currentIndex() == 1;
    const double unit = rpm ? 60.0 : 1.0;
    const double maxHz = PreviewMaxHz(kind);
    PlotSpectrum->SetSeries(preview.Lines, preview.Rate / SIGNAL_LENGTH * unit, maxHz * unit, false);
    PlotSpectrum->SetTitles(Text(rpm ? TEXT_FREQUENCY_RPM : TEXT_FREQUENCY_HZ),
                            Text(kind == KIND_MEAS_E ? TEXT_ENVELOPE_AXIS_RMS : TEXT_VELOCITY_AXIS_RMS));
    std::vector<TSignalPlot::TMarker> markers;
    for (const TCharacteristicLine& line : PreviewMarkers(condition, kind))
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
    QString html;
    for (const TConditionNote& note : ConditionNotes(condition, kind, preview))
        html += QStringLiteral("<div%1>%2</div>")
                    .arg(note.Warning ? QStringLiteral(" style=\"color: #c62828\"") : QString(),
                         Worded(note).toHtmlEscaped());
    LabelNote->setText(html);
}
