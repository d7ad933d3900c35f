// The Machines window's editor: the condition of the selected source, its
// figures with their ranges, the ready-made machines, and the refusals of
// figures a condition cannot take.
#include "app/FormMachines.h"
#include "app/MachinePresets.h"
#include "app/RangeSpinBox.h"

#include "measure/PointConditions.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QTreeWidget>

#include <algorithm>
#include <limits>

namespace {

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

// A field's label with the range it accepts.
QString RangedLabel(int id, const TRangeSpinBox* spin) {
    return Text(TEXT_FIELD_RANGE)
        .arg(Text(id), TRangeSpinBox::Figure(spin->minimum()), TRangeSpinBox::Figure(spin->maximum()));
}

} // namespace

void TFormMachines::CreateEditor() {
    GroupEditor = new QGroupBox(this);
    GroupEditor->setObjectName(QStringLiteral("GroupEditor"));
    auto* form = new QFormLayout(GroupEditor);
    // Each label above its field: the window is narrow, the labels long.
    form->setRowWrapPolicy(QFormLayout::WrapAllRows);

    LabelPreset = new QLabel(GroupEditor);
    LabelPreset->setObjectName(QStringLiteral("LabelPreset"));
    ComboPreset = new QComboBox(GroupEditor);
    ComboPreset->setObjectName(QStringLiteral("ComboPreset"));
    ComboPreset->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(ComboPreset, &QComboBox::activated, this, [this](int index) { PresetChoose(index); });
    form->addRow(LabelPreset, ComboPreset);

    LabelCondition = new QLabel(GroupEditor);
    LabelCondition->setObjectName(QStringLiteral("LabelCondition"));
    ComboCondition = new QComboBox(GroupEditor);
    ComboCondition->setObjectName(QStringLiteral("ComboCondition"));
    ComboCondition->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    connect(ComboCondition, &QComboBox::currentIndexChanged, this, [this] { EditorChange(nullptr); });
    form->addRow(LabelCondition, ComboCondition);

    // The ranges are those a condition's text accepts.
    const auto add = [&](QLabel*& label, TRangeSpinBox*& spin, const char* labelName, const char* name,
                         int nameId, double low, double high, int decimals, QFormLayout* into,
                         QWidget* parent) {
        label = new QLabel(parent);
        label->setObjectName(QLatin1String(labelName));
        spin = new TRangeSpinBox(parent, name, low, high, decimals);
        TRangeSpinBox* self = spin;
        connect(spin, &QDoubleSpinBox::valueChanged, this, [this, self] { EditorChange(self); });
        spin->OnRefused = [this, self, nameId](const QString& refused) {
            Refuse(Text(TEXT_VALUE_REFUSED)
                       .arg(refused, Text(nameId), TRangeSpinBox::Figure(self->minimum()),
                            TRangeSpinBox::Figure(self->maximum())));
        };
        into->addRow(label, spin);
    };
    add(LabelRpm, SpinRpm, "LabelRpm", "SpinRpm", TEXT_RUNNING_SPEED, RPM_MIN, RPM_MAX, 1, form, GroupEditor);
    SpinRpm->setSingleStep(10);
    add(LabelVelocity, SpinVelocity, "LabelVelocity", "SpinVelocity", TEXT_SEVERITY, VELOCITY_MIN,
        VELOCITY_MAX, 3, form, GroupEditor);
    SpinVelocity->setSingleStep(0.1);
    add(LabelNoise, SpinNoise, "LabelNoise", "SpinNoise", TEXT_NOISE, 0, NOISE_MAX, 3, form, GroupEditor);
    SpinNoise->setSingleStep(0.01);
    // Every seed a condition may hold: a double holds them exactly.
    add(LabelSeed, SpinSeed, "LabelSeed", "SpinSeed", TEXT_SEED, 0, std::numeric_limits<uint32_t>::max(), 0,
        form, GroupEditor);

    GroupBearing = new QGroupBox(GroupEditor);
    GroupBearing->setObjectName(QStringLiteral("GroupBearing"));
    auto* bearing = new QFormLayout(GroupBearing);
    bearing->setRowWrapPolicy(QFormLayout::WrapAllRows);
    add(LabelElements, SpinElements, "LabelElements", "SpinElements", TEXT_ELEMENTS, ELEMENTS_MIN,
        ELEMENTS_MAX, 0, bearing, GroupBearing);
    add(LabelBallDiameter, SpinBallDiameter, "LabelBallDiameter", "SpinBallDiameter", TEXT_BALL_DIAMETER,
        0.01, 1000, 2, bearing, GroupBearing);
    add(LabelPitchDiameter, SpinPitchDiameter, "LabelPitchDiameter", "SpinPitchDiameter", TEXT_PITCH_DIAMETER,
        0.02, 5000, 2, bearing, GroupBearing);
    add(LabelContactAngle, SpinContactAngle, "LabelContactAngle", "SpinContactAngle", TEXT_CONTACT_ANGLE, 0,
        ANGLE_MAX, 1, bearing, GroupBearing);
    form->addRow(GroupBearing);
    add(LabelTeeth, SpinTeeth, "LabelTeeth", "SpinTeeth", TEXT_TEETH, TEETH_MIN, TEETH_MAX, 0, form,
        GroupEditor);

    LabelRefusal = new QLabel(this);
    LabelRefusal->setObjectName(QStringLiteral("LabelRefusal"));
    LabelRefusal->setWordWrap(true);
    LabelRefusal->setStyleSheet(QStringLiteral("QLabel { color: #c62828; font-weight: bold; }"));
    LabelRefusal->hide();
}

void TFormMachines::LoadEditorTexts() {
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
        ComboCondition->addItem(Text(TEXT_CONDITION_STORED + kind));
    ComboCondition->setCurrentIndex(std::max(kindIndex, 0));
    LabelRpm->setText(RangedLabel(TEXT_RUNNING_SPEED, SpinRpm));
    LabelVelocity->setText(RangedLabel(TEXT_SEVERITY, SpinVelocity));
    LabelNoise->setText(RangedLabel(TEXT_NOISE, SpinNoise));
    LabelSeed->setText(RangedLabel(TEXT_SEED, SpinSeed));
    GroupBearing->setTitle(Text(TEXT_BEARING));
    LabelElements->setText(RangedLabel(TEXT_ELEMENTS, SpinElements));
    LabelBallDiameter->setText(RangedLabel(TEXT_BALL_DIAMETER, SpinBallDiameter));
    LabelPitchDiameter->setText(RangedLabel(TEXT_PITCH_DIAMETER, SpinPitchDiameter));
    LabelContactAngle->setText(RangedLabel(TEXT_CONTACT_ANGLE, SpinContactAngle));
    LabelTeeth->setText(RangedLabel(TEXT_TEETH, SpinTeeth));
    // A refusal stays in the language it was said in until the next edit.
}

void TFormMachines::ShowCondition(const TCondition& c) {
    FFilling = true;
    ComboCondition->setCurrentIndex(static_cast<int>(c.Kind));
    SpinRpm->setValue(c.Rpm);
    SpinVelocity->setValue(c.Velocity);
    SpinNoise->setValue(c.Noise);
    SpinSeed->setValue(SeededCondition(c, SelectedSource()).Seed.value_or(DEFAULT_SEED));
    SpinElements->setValue(c.Bearing.Elements);
    SpinBallDiameter->setValue(c.Bearing.BallDiameter);
    SpinPitchDiameter->setValue(c.Bearing.PitchDiameter);
    SpinContactAngle->setValue(c.Bearing.ContactAngle);
    SpinTeeth->setValue(c.Teeth);
    EnableDetails(c.Kind);
    FFilling = false;
}

// The ready-made machine whose condition the selected source holds, or the
// prompt to choose one.
void TFormMachines::ShowPreset() {
    const TCondition assigned = AssignedCondition(SelectedSource());
    const auto& presets = MachinePresets();
    const auto found = std::ranges::find_if(
        presets, [&assigned](const TMachinePreset& preset) { return preset.Condition == assigned; });
    ComboPreset->setCurrentIndex(found == presets.end() ? 0 : static_cast<int>(found - presets.begin()) + 1);
}

void TFormMachines::Refuse(const QString& reason) {
    LabelRefusal->setText(reason);
    LabelRefusal->setVisible(!reason.isEmpty());
}

TCondition TFormMachines::EditedCondition() const {
    // The figures not shown in a field keep what the assignment holds.
    TCondition c = AssignedCondition(SelectedSource());
    c.Kind = static_cast<TConditionKind>(std::max(ComboCondition->currentIndex(), 0));
    c.Rpm = SpinRpm->value();
    c.Velocity = SpinVelocity->value();
    c.Noise = SpinNoise->value();
    // The point's own seed stays unnamed, so that it follows the point.
    const auto seed = static_cast<uint32_t>(SpinSeed->value());
    if (c.Seed || seed != PointSeed(SelectedSource())) c.Seed = seed;
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

void TFormMachines::EditorChange(TRangeSpinBox* edited) {
    if (FFilling) return;
    const TCondition c = EditedCondition();
    // A ball as large as its pitch circle is no bearing: the edit that would
    // make one is refused, and the other diameter stays as the user left it.
    if (!(c.Bearing.BallDiameter < c.Bearing.PitchDiameter)) {
        const TCondition before = AssignedCondition(SelectedSource());
        Refuse(Text(TEXT_BALL_NOT_BELOW_PITCH)
                   .arg(TRangeSpinBox::Figure(c.Bearing.BallDiameter),
                        TRangeSpinBox::Figure(c.Bearing.PitchDiameter)));
        FFilling = true;
        if (edited == SpinPitchDiameter)
            SpinPitchDiameter->setValue(before.Bearing.PitchDiameter);
        else
            SpinBallDiameter->setValue(before.Bearing.BallDiameter);
        FFilling = false;
        return;
    }
    Refuse(QString());
    AssignCondition(SelectedSource(), c);
    EnableDetails(c.Kind);
    if (QTreeWidgetItem* item = TreeMachines->currentItem()) UpdateRow(item);
    ShowPreset();
    UpdatePreview();
}

void TFormMachines::PresetChoose(int index) {
    const auto& presets = MachinePresets();
    if (index < 1 || index > static_cast<int>(presets.size())) {
        ShowPreset();
        return;
    }
    const TMachinePreset& preset = presets[static_cast<std::size_t>(index - 1)];
    FFilling = true;
    ComboGroup->setCurrentIndex(static_cast<int>(preset.Group));
    FFilling = false;
    Refuse(QString());
    ShowCondition(preset.Condition);
    AssignCondition(SelectedSource(), preset.Condition);
    if (QTreeWidgetItem* item = TreeMachines->currentItem()) UpdateRow(item);
    ShowPreset();
    UpdatePreview();
}

TMachineGroup TFormMachines::Group() const {
    return static_cast<TMachineGroup>(std::clamp(ComboGroup->currentIndex(), 0, MACHINE_GROUP_COUNT - 1));
}
