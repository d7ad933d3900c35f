#include "app/FormMachines.h"

#include "app/MachinePresets.h"
#include "app/SignalPlot.h"
#include "measure/PointConditions.h"
#include "measure/Routes.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <limits>

namespace {

constexpr int kSourceRole = Qt::UserRole;
constexpr int kNoSource = std::numeric_limits<int16_t>::min();

// The rows below the route: sources the instrument measures off the route.
constexpr int16_t OTHER_SOURCES[] = {SOURCE_WATCH, SOURCE_OFFROUTE, SOURCE_HF};
constexpr int OTHER_SOURCE_TEXTS[] = {TEXT_SOURCE_WATCH, TEXT_SOURCE_OFFROUTE, TEXT_SOURCE_HF};

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

QString ConditionText(TConditionKind kind) {
    return Text(TEXT_CONDITION_STORED + static_cast<int>(kind));
}

bool IsBearing(TConditionKind kind) {
    return kind == TConditionKind::BearingOuter || kind == TConditionKind::BearingInner ||
           kind == TConditionKind::BearingBall || kind == TConditionKind::BearingCage;
}

QString Number(double value) {
    return QString::number(value, 'g', 6);
}

template <class Spin> Spin* NewSpin(QWidget* parent, const char* name, double low, double high) {
    auto* spin = new Spin(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setRange(static_cast<decltype(spin->value())>(low), static_cast<decltype(spin->value())>(high));
    spin->setKeyboardTracking(false);
    return spin;
}

QLabel* NewLabel(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

} // namespace

TFormMachines::TFormMachines(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("FormMachines"));
    CreateTree();
    CreateEditor();
    CreatePreview();

    auto* top = new QSplitter(Qt::Horizontal, this);
    top->addWidget(TreeMachines);
    top->addWidget(GroupEditor);
    top->setStretchFactor(0, 3);
    top->setStretchFactor(1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(top, 5);
    auto* options = new QHBoxLayout;
    options->addWidget(LabelKind, 1);
    options->addWidget(LabelGroup);
    options->addWidget(ComboGroup);
    options->addWidget(LabelFrequencyUnit);
    options->addWidget(ComboFrequencyUnit);
    layout->addLayout(options);
    layout->addWidget(PlotWaveform, 4);
    layout->addWidget(PlotSpectrum, 5);
    layout->addWidget(LabelSeverity);
    layout->addWidget(LabelNote);
    // A trainer's laptop screen is often 768 pixels high: never open taller
    // (or wider) than the screen's free area, frame and title included.
    QSize size(1040, 860);
    if (const QScreen* shown = screen())
        size = size.boundedTo(shown->availableGeometry().size() - QSize(16, 48));
    resize(size.expandedTo(minimumSizeHint()));

    LoadTexts();
    SelectSource(1);
}

void TFormMachines::CreateTree() {
    TreeMachines = new QTreeWidget(this);
    TreeMachines->setObjectName(QStringLiteral("TreeMachines"));
    TreeMachines->setColumnCount(5);
    TreeMachines->setRootIsDecorated(true);
    TreeMachines->setUniformRowHeights(true);
    TreeMachines->setSelectionMode(QAbstractItemView::SingleSelection);
    TreeMachines->header()->setStretchLastSection(true);
    connect(TreeMachines, &QTreeWidget::itemSelectionChanged, this, [this] { TreeSelectionChange(); });
}

void TFormMachines::CreateEditor() {
    GroupEditor = new QGroupBox(this);
    GroupEditor->setObjectName(QStringLiteral("GroupEditor"));
    auto* form = new QFormLayout(GroupEditor);

    LabelPreset = NewLabel(GroupEditor, "LabelPreset");
    ComboPreset = new QComboBox(GroupEditor);
    ComboPreset->setObjectName(QStringLiteral("ComboPreset"));
    connect(ComboPreset, &QComboBox::activated, this, [this](int index) { PresetChoose(index); });
    form->addRow(LabelPreset, ComboPreset);

    LabelCondition = NewLabel(GroupEditor, "LabelCondition");
    ComboCondition = new QComboBox(GroupEditor);
    ComboCondition->setObjectName(QStringLiteral("ComboCondition"));
    connect(ComboCondition, &QComboBox::currentIndexChanged, this, [this] { EditorChange(); });
    form->addRow(LabelCondition, ComboCondition);

    const auto addDouble = [&](QLabel*& label, QDoubleSpinBox*& spin, const char* labelName, const char* name,
                               double low, double high, int decimals, QFormLayout* into, QWidget* parent) {
        label = NewLabel(parent, labelName);
        spin = NewSpin<QDoubleSpinBox>(parent, name, low, high);
        spin->setDecimals(decimals);
        connect(spin, &QDoubleSpinBox::valueChanged, this, [this] { EditorChange(); });
        into->addRow(label, spin);
    };
    const auto addInt = [&](QLabel*& label, QSpinBox*& spin, const char* labelName, const char* name, int low,
                            int high, QFormLayout* into, QWidget* parent) {
        label = NewLabel(parent, labelName);
        spin = NewSpin<QSpinBox>(parent, name, low, high);
        connect(spin, &QSpinBox::valueChanged, this, [this] { EditorChange(); });
        into->addRow(label, spin);
    };
    // The ranges are those a condition's text accepts.
    addDouble(LabelRpm, SpinRpm, "LabelRpm", "SpinRpm", 60, 30000, 1, form, GroupEditor);
    SpinRpm->setSingleStep(10);
    addDouble(LabelVelocity, SpinVelocity, "LabelVelocity", "SpinVelocity", 0.01, 10000, 3, form,
              GroupEditor);
    SpinVelocity->setSingleStep(0.1);
    addDouble(LabelNoise, SpinNoise, "LabelNoise", "SpinNoise", 0, 2, 3, form, GroupEditor);
    SpinNoise->setSingleStep(0.01);
    // Every seed a condition may hold: a double holds them exactly.
    addDouble(LabelSeed, SpinSeed, "LabelSeed", "SpinSeed", 0, std::numeric_limits<uint32_t>::max(), 0, form,
              GroupEditor);

    GroupBearing = new QGroupBox(GroupEditor);
    GroupBearing->setObjectName(QStringLiteral("GroupBearing"));
    auto* bearing = new QFormLayout(GroupBearing);
    addInt(LabelElements, SpinElements, "LabelElements", "SpinElements", 3, 60, bearing, GroupBearing);
    addDouble(LabelBallDiameter, SpinBallDiameter, "LabelBallDiameter", "SpinBallDiameter", 0.01, 1000, 2,
              bearing, GroupBearing);
    addDouble(LabelPitchDiameter, SpinPitchDiameter, "LabelPitchDiameter", "SpinPitchDiameter", 0.02, 5000, 2,
              bearing, GroupBearing);
    addDouble(LabelContactAngle, SpinContactAngle, "LabelContactAngle", "SpinContactAngle", 0, 45, 1, bearing,
              GroupBearing);
    form->addRow(GroupBearing);
    addInt(LabelTeeth, SpinTeeth, "LabelTeeth", "SpinTeeth", 2, 200, form, GroupEditor);
}

void TFormMachines::CreatePreview() {
    LabelKind = NewLabel(this, "LabelKind");
    LabelGroup = NewLabel(this, "LabelGroup");
    ComboGroup = new QComboBox(this);
    ComboGroup->setObjectName(QStringLiteral("ComboGroup"));
    connect(ComboGroup, &QComboBox::currentIndexChanged, this, [this] { UpdatePreview(); });
    LabelFrequencyUnit = NewLabel(this, "LabelFrequencyUnit");
    ComboFrequencyUnit = new QComboBox(this);
    ComboFrequencyUnit->setObjectName(QStringLiteral("ComboFrequencyUnit"));
    connect(ComboFrequencyUnit, &QComboBox::currentIndexChanged, this, [this] { UpdatePreview(); });
    PlotWaveform = new TSignalPlot(this, "PlotWaveform");
    PlotSpectrum = new TSignalPlot(this, "PlotSpectrum");
    LabelSeverity = NewLabel(this, "LabelSeverity");
    LabelNote = NewLabel(this, "LabelNote");
    LabelNote->setWordWrap(true);
}

void TFormMachines::LoadTexts() {
    const int16_t selected = TreeMachines->topLevelItemCount() > 0 ? SelectedSource() : int16_t{1};
    FFilling = true;
    setWindowTitle(Text(TEXT_MACHINES_TITLE));
    TreeMachines->setHeaderLabels({Text(TEXT_COLUMN_POINT), Text(TEXT_COLUMN_CONDITION),
                                   Text(TEXT_COLUMN_SPEED), Text(TEXT_COLUMN_SEVERITY),
                                   Text(TEXT_COLUMN_DETAILS)});
    GroupEditor->setTitle(Text(TEXT_CONDITION));
    LabelPreset->setText(Text(TEXT_PRESET));
    ComboPreset->clear();
    ComboPreset->addItem(Text(TEXT_CHOOSE_PRESET));
    for (const TMachinePreset& preset : MachinePresets())
        ComboPreset->addItem(Text(preset.NameId));
    LabelCondition->setText(Text(TEXT_CONDITION));
    const int kindIndex = ComboCondition->currentIndex();
    ComboCondition->clear();
    for (int kind = 0; kind < CONDITION_KIND_COUNT; ++kind)
        ComboCondition->addItem(ConditionText(static_cast<TConditionKind>(kind)));
    ComboCondition->setCurrentIndex(std::max(kindIndex, 0));
    LabelRpm->setText(Text(TEXT_RUNNING_SPEED));
    LabelVelocity->setText(Text(TEXT_SEVERITY));
    LabelNoise->setText(Text(TEXT_NOISE));
    LabelSeed->setText(Text(TEXT_SEED));
    GroupBearing->setTitle(Text(TEXT_BEARING));
    LabelElements->setText(Text(TEXT_ELEMENTS));
    LabelBallDiameter->setText(Text(TEXT_BALL_DIAMETER));
    LabelPitchDiameter->setText(Text(TEXT_PITCH_DIAMETER));
    LabelContactAngle->setText(Text(TEXT_CONTACT_ANGLE));
    LabelTeeth->setText(Text(TEXT_TEETH));
    LabelGroup->setText(Text(TEXT_MACHINE_GROUP));
    const int group = std::max(ComboGroup->currentIndex(), 0);
    ComboGroup->clear();
    for (int id = TEXT_GROUP2_RIGID; id <= TEXT_GROUP1_FLEXIBLE; ++id)
        ComboGroup->addItem(Text(id));
    ComboGroup->setCurrentIndex(group);
    LabelFrequencyUnit->setText(Text(TEXT_FREQUENCY_UNIT));
    const int unit = std::max(ComboFrequencyUnit->currentIndex(), 0);
    ComboFrequencyUnit->clear();
    ComboFrequencyUnit->addItems({QStringLiteral("Hz"), QStringLiteral("RPM")});
    ComboFrequencyUnit->setItemText(0, Text(TEXT_FREQUENCY_HZ));
    ComboFrequencyUnit->setItemText(1, Text(TEXT_FREQUENCY_RPM));
    ComboFrequencyUnit->setCurrentIndex(unit);
    FillTree();
    FFilling = false;
    SelectSource(selected);
    UpdatePreview();
}

void TFormMachines::FillTree() {
    TreeMachines->clear();
    QTreeWidgetItem* machine = nullptr;
    int machineId = -1;
    for (int16_t point = 1; point <= ROUTE_POINT_COUNT; ++point) {
        const TRoutePointName name = RoutePointName(point);
        if (name.MachineId != machineId) {
            machineId = name.MachineId;
            machine = new QTreeWidgetItem(TreeMachines, {Text(machineId)});
            machine->setData(0, kSourceRole, kNoSource);
            machine->setFlags(Qt::ItemIsEnabled);
        }
        auto* item =
            new QTreeWidgetItem(machine, {QStringLiteral("%1  %2").arg(name.Number).arg(Text(name.NameId))});
        item->setData(0, kSourceRole, point);
        UpdateRow(item);
    }
    auto* others = new QTreeWidgetItem(TreeMachines, {Text(TEXT_INSTRUMENT_SOURCES)});
    others->setData(0, kSourceRole, kNoSource);
    others->setFlags(Qt::ItemIsEnabled);
    for (std::size_t i = 0; i < std::size(OTHER_SOURCES); ++i) {
        auto* item = new QTreeWidgetItem(others, {Text(OTHER_SOURCE_TEXTS[i])});
        item->setData(0, kSourceRole, OTHER_SOURCES[i]);
        UpdateRow(item);
    }
    TreeMachines->expandAll();
    TreeMachines->resizeColumnToContents(0);
}

void TFormMachines::UpdateRow(QTreeWidgetItem* item) {
    const auto source = static_cast<int16_t>(item->data(0, kSourceRole).toInt());
    const TCondition c = AssignedCondition(source);
    item->setText(1, ConditionText(c.Kind));
    const bool stored = c.Kind == TConditionKind::Stored;
    item->setText(2, stored ? QString() : Number(c.Rpm));
    item->setText(3, stored ? QString() : Number(c.Velocity));
    QString details;
    if (IsBearing(c.Kind)) {
        const TBearingGeometry& b = c.Bearing;
        details = QStringLiteral("N=%1  d=%2  D=%3  %4°")
                      .arg(b.Elements)
                      .arg(Number(b.BallDiameter), Number(b.PitchDiameter), Number(b.ContactAngle));
    } else if (c.Kind == TConditionKind::Gear) {
        details = QStringLiteral("z=%1").arg(c.Teeth);
    }
    item->setText(4, details);
    for (int column = 1; column < TreeMachines->columnCount(); ++column)
        TreeMachines->resizeColumnToContents(column);
}

QTreeWidgetItem* TFormMachines::ItemOf(int16_t source) const {
    for (QTreeWidgetItemIterator it(TreeMachines); *it; ++it)
        if ((*it)->data(0, kSourceRole).toInt() == source) return *it;
    return nullptr;
}

void TFormMachines::SelectSource(int16_t source) {
    if (QTreeWidgetItem* item = ItemOf(source)) TreeMachines->setCurrentItem(item);
}

int16_t TFormMachines::SelectedSource() const {
    const QTreeWidgetItem* item = TreeMachines->currentItem();
    const int source = item ? item->data(0, kSourceRole).toInt() : kNoSource;
    return source == kNoSource ? int16_t{1} : static_cast<int16_t>(source);
}

void TFormMachines::TreeSelectionChange() {
    if (FFilling) return;
    ShowCondition(AssignedCondition(SelectedSource()));
    UpdatePreview();
}

void TFormMachines::ShowCondition(const TCondition& c) {
    FFilling = true;
    ComboCondition->setCurrentIndex(static_cast<int>(c.Kind));
    SpinRpm->setValue(c.Rpm);
    SpinVelocity->setValue(c.Velocity);
    SpinNoise->setValue(c.Noise);
    SpinSeed->setValue(c.Seed);
    SpinElements->setValue(c.Bearing.Elements);
    SpinBallDiameter->setValue(c.Bearing.BallDiameter);
    SpinPitchDiameter->setValue(c.Bearing.PitchDiameter);
    SpinContactAngle->setValue(c.Bearing.ContactAngle);
    SpinTeeth->setValue(c.Teeth);
    EnableDetails(c.Kind);
    FFilling = false;
}

TCondition TFormMachines::EditedCondition() const {
    TCondition c;
    c.Kind = static_cast<TConditionKind>(std::max(ComboCondition->currentIndex(), 0));
    c.Rpm = SpinRpm->value();
    c.Velocity = SpinVelocity->value();
    c.Noise = SpinNoise->value();
    c.Seed = static_cast<uint32_t>(SpinSeed->value());
    c.Bearing.Elements = static_cast<int16_t>(SpinElements->value());
    c.Bearing.BallDiameter = SpinBallDiameter->value();
    c.Bearing.PitchDiameter = SpinPitchDiameter->value();
    c.Bearing.ContactAngle = SpinContactAngle->value();
    c.Teeth = static_cast<int16_t>(SpinTeeth->value());
    return c;
}

void TFormMachines::EnableDetails(TConditionKind kind) {
    const bool stored = kind == TConditionKind::Stored;
    for (QWidget* w : std::initializer_list<QWidget*>{SpinRpm, SpinVelocity, SpinNoise, SpinSeed})
        w->setEnabled(!stored);
    GroupBearing->setEnabled(IsBearing(kind));
    SpinTeeth->setEnabled(kind == TConditionKind::Gear);
}

void TFormMachines::EditorChange() {
    if (FFilling) return;
    TCondition c = EditedCondition();
    // A ball as large as its pitch circle is no bearing: the pitch diameter
    // follows the ball up.
    if (!(c.Bearing.BallDiameter < c.Bearing.PitchDiameter)) {
        c.Bearing.PitchDiameter = c.Bearing.BallDiameter * 2;
        FFilling = true;
        SpinPitchDiameter->setValue(c.Bearing.PitchDiameter);
        FFilling = false;
    }
    AssignCondition(SelectedSource(), c);
    EnableDetails(c.Kind);
    if (QTreeWidgetItem* item = TreeMachines->currentItem()) UpdateRow(item);
    UpdatePreview();
}

void TFormMachines::PresetChoose(int index) {
    const auto& presets = MachinePresets();
    if (index < 1 || index > static_cast<int>(presets.size())) return;
    const TMachinePreset& preset = presets[static_cast<std::size_t>(index - 1)];
    FFilling = true;
    ComboGroup->setCurrentIndex(static_cast<int>(preset.Group));
    ComboPreset->setCurrentIndex(0);
    FFilling = false;
    ShowCondition(preset.Condition);
    AssignCondition(SelectedSource(), preset.Condition);
    if (QTreeWidgetItem* item = TreeMachines->currentItem()) UpdateRow(item);
    UpdatePreview();
}

TMachineGroup TFormMachines::Group() const {
    return static_cast<TMachineGroup>(std::clamp(ComboGroup->currentIndex(), 0, MACHINE_GROUP_COUNT - 1));
}
