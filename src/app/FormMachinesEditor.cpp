// The Machines window's editor: the condition of the selected source, its
// figures with their ranges, and the refusals of figures a condition cannot
// take.
#include "app/FormMachines.h"
#include "app/MachinePresets.h"
#include "app/RangeSpinBox.h"

#include "measure/PointConditions.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QScrollArea>
#include <QTreeWidget>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

namespace {

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

// A field's label with the range it accepts.
QString RangedLabel(int id, const TRangeSpinBox* spin) {
    return Text(TEXT_FIELD_RANGE)
        .arg(Text(id), TRangeSpinBox::Figure(spin->minimum()), TRangeSpinBox::Figure(spin->maximum()));
}

// What a condition holds for a field: the field's value, or the held figure
// where the field shows that figure rounded to its decimals, so that figures
// finer than a field's step (from the ini, or a gearbox's output speed)
// survive an edit of another field.
double Kept(const TRangeSpinBox* spin, double held) {
    const double scale = std::pow(10.0, spin->decimals());
    return std::abs(std::round(held * scale) / scale - spin->value()) < 0.5 / scale ? held : spin->value();
}

bool Uses(const TCondition& c, TConditionKind kind) {
    return c.Kind == kind || c.Second == kind;
}

std::string Figure(double value) {
    return TRangeSpinBox::Figure(value).toStdString();
}

} // namespace

void TFormMachines::CreateEditor() {
    GroupEditor = new QGroupBox(this);
    GroupEditor->setObjectName(QStringLiteral("GroupEditor"));
    auto* form = new QFormLayout(GroupEditor);
    // Each label above its field: the window is narrow, the labels long.
    form->setRowWrapPolicy(QFormLayout::WrapAllRows);

    const auto addCombo = [&](QLabel*& label, QComboBox*& box, const char* labelName, const char* name,
                              QFormLayout* into) {
        label = new QLabel(GroupEditor);
        label->setObjectName(QLatin1String(labelName));
        box = new QComboBox(GroupEditor);
        box->setObjectName(QLatin1String(name));
        box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        box->setFocusPolicy(Qt::StrongFocus);
        box->installEventFilter(this);
        into->addRow(label, box);
    };
    addCombo(LabelPreset, ComboPreset, "LabelPreset", "ComboPreset", form);
    connect(ComboPreset, &QComboBox::activated, this, [this](int index) { PresetChoose(index); });
    addCombo(LabelCondition, ComboCondition, "LabelCondition", "ComboCondition", form);
    connect(ComboCondition, &QComboBox::currentIndexChanged, this, [this] { EditorChange(); });

    // The ranges are those a condition's text accepts.
    const auto add = [&](QLabel*& label, TRangeSpinBox*& spin, const char* labelName, const char* name,
                         int nameId, double low, double high, int decimals, QFormLayout* into,
                         QWidget* parent) {
        label = new QLabel(parent);
        label->setObjectName(QLatin1String(labelName));
        spin = new TRangeSpinBox(parent, name, low, high, decimals);
        TRangeSpinBox* self = spin;
        connect(spin, &QDoubleSpinBox::valueChanged, this, [this] { EditorChange(); });
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
    add(LabelSpeedJitter, SpinSpeedJitter, "LabelSpeedJitter", "SpinSpeedJitter", TEXT_SPEED_JITTER, 0,
        SPEED_JITTER_MAX, 2, form, GroupEditor);

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
    add(LabelStage, SpinStage, "LabelStage", "SpinStage", TEXT_WEAR_STAGE, STAGE_MIN, STAGE_MAX, 0, bearing,
        GroupBearing);
    form->addRow(GroupBearing);
    add(LabelTeeth, SpinTeeth, "LabelTeeth", "SpinTeeth", TEXT_TEETH, TEETH_MIN, TEETH_MAX, 0, form,
        GroupEditor);
    addCombo(LabelLine, ComboLine, "LabelLine", "ComboLine", form);
    connect(ComboLine, &QComboBox::currentIndexChanged, this, [this] { EditorChange(); });
    add(LabelBlades, SpinBlades, "LabelBlades", "SpinBlades", TEXT_BLADES, BLADES_MIN, BLADES_MAX, 0, form,
        GroupEditor);
    add(LabelResonance, SpinResonance, "LabelResonance", "SpinResonance", TEXT_RESONANCE_HZ, RESONANCE_MIN_HZ,
        RESONANCE_MAX_HZ, 2, form, GroupEditor);
    // A second fault is the exception: its fields come last.
    addCombo(LabelSecond, ComboSecond, "LabelSecond", "ComboSecond", form);
    connect(ComboSecond, &QComboBox::currentIndexChanged, this, [this] { EditorChange(); });
    add(LabelShareFirst, SpinShareFirst, "LabelShareFirst", "SpinShareFirst", TEXT_SHARE_FIRST, SHARE_MIN,
        SHARE_MAX, 2, form, GroupEditor);
    add(LabelShareSecond, SpinShareSecond, "LabelShareSecond", "SpinShareSecond", TEXT_SHARE_SECOND,
        SHARE_MIN, SHARE_MAX, 2, form, GroupEditor);

    LabelRefusal = new QLabel(this);
    LabelRefusal->setObjectName(QStringLiteral("LabelRefusal"));
    LabelRefusal->setWordWrap(true);
    LabelRefusal->setStyleSheet(QStringLiteral("QLabel { color: #c62828; font-weight: bold; }"));
    LabelRefusal->hide();
}

bool TFormMachines::eventFilter(QObject* watched, QEvent* event) {
    const auto* box = qobject_cast<QComboBox*>(watched);
    if (event->type() == QEvent::Wheel && box && !box->hasFocus()) {
        QCoreApplication::sendEvent(ScrollEditor->viewport(), event);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TFormMachines::LoadEditorTexts() {
    GroupEditor->setTitle(Text(TEXT_CONDITION));
    LabelPreset->setText(Text(TEXT_PRESET));
    ComboPreset->clear();
    ComboPreset->addItem(Text(TEXT_CHOOSE_PRESET));
    for (const TMachinePreset& preset : MachinePresets())
        ComboPreset->addItem(Text(preset.NameId));
    LabelCondition->setText(Text(TEXT_CONDITION));
    LabelSecond->setText(Text(TEXT_SECOND_CONDITION));
    // Index i of both lists is the kind i; the second's 0 is none.
    for (QComboBox* box : {ComboCondition, ComboSecond}) {
        const int index = box->currentIndex();
        box->clear();
        for (int kind = 0; kind < CONDITION_KIND_COUNT; ++kind)
            box->addItem(box == ComboSecond && kind == 0 ? Text(TEXT_SECOND_NONE)
                                                         : Text(TEXT_CONDITION_STORED + kind));
        box->setCurrentIndex(std::max(index, 0));
    }
    LabelShareFirst->setText(RangedLabel(TEXT_SHARE_FIRST, SpinShareFirst));
    LabelShareSecond->setText(RangedLabel(TEXT_SHARE_SECOND, SpinShareSecond));
    LabelRpm->setText(RangedLabel(TEXT_RUNNING_SPEED, SpinRpm));
    LabelVelocity->setText(RangedLabel(TEXT_SEVERITY, SpinVelocity));
    LabelNoise->setText(RangedLabel(TEXT_NOISE, SpinNoise));
    LabelSeed->setText(RangedLabel(TEXT_SEED, SpinSeed));
    LabelSpeedJitter->setText(RangedLabel(TEXT_SPEED_JITTER, SpinSpeedJitter));
    GroupBearing->setTitle(Text(TEXT_BEARING));
    LabelElements->setText(RangedLabel(TEXT_ELEMENTS, SpinElements));
    LabelBallDiameter->setText(RangedLabel(TEXT_BALL_DIAMETER, SpinBallDiameter));
    LabelPitchDiameter->setText(RangedLabel(TEXT_PITCH_DIAMETER, SpinPitchDiameter));
    LabelContactAngle->setText(RangedLabel(TEXT_CONTACT_ANGLE, SpinContactAngle));
    LabelStage->setText(RangedLabel(TEXT_WEAR_STAGE, SpinStage));
    LabelTeeth->setText(RangedLabel(TEXT_TEETH, SpinTeeth));
    LabelLine->setText(Text(TEXT_LINE_FREQUENCY));
    const int line = std::max(ComboLine->currentIndex(), 0);
    ComboLine->clear();
    for (const int hz : {50, 60})
        ComboLine->addItem(Text(TEXT_LINE_HZ).arg(hz), hz);
    ComboLine->setCurrentIndex(line);
    LabelBlades->setText(RangedLabel(TEXT_BLADES, SpinBlades));
    LabelResonance->setText(RangedLabel(TEXT_RESONANCE_HZ, SpinResonance));
    // A refusal stays in the language it was said in until the next edit.
}

void TFormMachines::ShowCondition(const TCondition& c) {
    FFilling = true;
    ComboCondition->setCurrentIndex(static_cast<int>(c.Kind));
    ComboSecond->setCurrentIndex(static_cast<int>(c.Second));
    SpinShareFirst->setValue(c.Shares[0]);
    SpinShareSecond->setValue(c.Shares[1]);
    SpinRpm->setValue(c.Rpm);
    SpinVelocity->setValue(c.Velocity);
    SpinNoise->setValue(c.Noise);
    SpinSeed->setValue(SeededCondition(c, SelectedSource()).Seed.value_or(DEFAULT_SEED));
    SpinSpeedJitter->setValue(c.SpeedJitter);
    SpinElements->setValue(c.Bearing.Elements);
    SpinBallDiameter->setValue(c.Bearing.BallDiameter);
    SpinPitchDiameter->setValue(c.Bearing.PitchDiameter);
    SpinContactAngle->setValue(c.Bearing.ContactAngle);
    SpinStage->setValue(c.Stage);
    SpinTeeth->setValue(c.Teeth);
    ComboLine->setCurrentIndex(c.LineHz == 60 ? 1 : 0);
    SpinBlades->setValue(c.Blades);
    SpinResonance->setValue(c.ResonanceHz);
    EnableDetails(c);
    FFilling = false;
}

void TFormMachines::Refuse(const QString& reason) {
    LabelRefusal->setText(reason);
    LabelRefusal->setVisible(!reason.isEmpty());
}

TCondition TFormMachines::EditedCondition() const {
    // The figures not shown in a field keep what the assignment holds.
    TCondition c = AssignedCondition(SelectedSource());
    c.Kind = static_cast<TConditionKind>(std::max(ComboCondition->currentIndex(), 0));
    c.Second = c.Kind == TConditionKind::Stored
                   ? TConditionKind::Stored
                   : static_cast<TConditionKind>(std::max(ComboSecond->currentIndex(), 0));
    c.Shares = {Kept(SpinShareFirst, c.Shares[0]), Kept(SpinShareSecond, c.Shares[1])};
    c.Rpm = Kept(SpinRpm, c.Rpm);
    c.Velocity = Kept(SpinVelocity, c.Velocity);
    c.Noise = Kept(SpinNoise, c.Noise);
    // The point's own seed stays unnamed, so that it follows the point.
    const auto seed = static_cast<uint32_t>(SpinSeed->value());
    if (c.Seed || seed != PointSeed(SelectedSource())) c.Seed = seed;
    c.SpeedJitter = Kept(SpinSpeedJitter, c.SpeedJitter);
    c.Bearing.Elements = static_cast<int16_t>(SpinElements->value());
    c.Bearing.BallDiameter = Kept(SpinBallDiameter, c.Bearing.BallDiameter);
    c.Bearing.PitchDiameter = Kept(SpinPitchDiameter, c.Bearing.PitchDiameter);
    c.Bearing.ContactAngle = Kept(SpinContactAngle, c.Bearing.ContactAngle);
    c.Stage = static_cast<int16_t>(SpinStage->value());
    c.Teeth = static_cast<int16_t>(SpinTeeth->value());
    c.LineHz = static_cast<int16_t>(ComboLine->currentIndex() == 1 ? 60 : 50);
    c.Blades = static_cast<int16_t>(SpinBlades->value());
    c.ResonanceHz = Kept(SpinResonance, c.ResonanceHz);
    return c;
}

void TFormMachines::EnableDetails(const TCondition& c) {
    const bool stored = c.Kind == TConditionKind::Stored;
    for (QWidget* w : std::initializer_list<QWidget*>{ComboSecond, SpinRpm, SpinVelocity, SpinNoise, SpinSeed,
                                                      SpinSpeedJitter})
        w->setEnabled(!stored);
    SpinShareFirst->setEnabled(IsCombined(c));
    SpinShareSecond->setEnabled(IsCombined(c));
    GroupBearing->setEnabled(IsBearingKind(c.Kind) || IsBearingKind(c.Second));
    SpinTeeth->setEnabled(Uses(c, TConditionKind::Gear));
    ComboLine->setEnabled(Uses(c, TConditionKind::Electrical));
    SpinBlades->setEnabled(Uses(c, TConditionKind::VanePass));
    SpinResonance->setEnabled(Uses(c, TConditionKind::Resonance));
}

// The figures each field takes on its own are its range; these are the
// rules between fields. The core's own reading of the text is the judge, so
// that the window takes exactly what the ini and the tools take.
QString TFormMachines::RefusalOf(const TCondition& c) const {
    if (c.Kind != TConditionKind::Stored && c.Kind == c.Second)
        return Text(TEXT_SAME_FAULT_TWICE).arg(Text(TEXT_CONDITION_STORED + static_cast<int>(c.Kind)));
    const TBearingGeometry& b = c.Bearing;
    if (!(b.BallDiameter < b.PitchDiameter))
        return Text(TEXT_BALL_NOT_BELOW_PITCH)
            .arg(TRangeSpinBox::Figure(b.BallDiameter), TRangeSpinBox::Figure(b.PitchDiameter));
    TCondition scratch;
    std::string error;
    const std::string geometry = std::to_string(b.Elements) + "," + Figure(b.BallDiameter) + "," +
                                 Figure(b.PitchDiameter) + "," + Figure(b.ContactAngle);
    if (!SetConditionValue(scratch, "bearing", geometry, error))
        return Text(TEXT_BEARING_REFUSED)
            .arg(QString::number(b.Elements), TRangeSpinBox::Figure(b.BallDiameter),
                 TRangeSpinBox::Figure(b.PitchDiameter));
    if (!SetConditionValue(scratch, "shares", Figure(c.Shares[0]) + "," + Figure(c.Shares[1]), error))
        return Text(TEXT_SHARES_REFUSED)
            .arg(TRangeSpinBox::Figure(c.Shares[0]), TRangeSpinBox::Figure(c.Shares[1]));
    return {};
}

void TFormMachines::EditorChange() {
    if (FFilling) return;
    const TCondition c = EditedCondition();
    const QString refusal = RefusalOf(c);
    if (!refusal.isEmpty()) {
        // The edited field goes back to what the assignment holds; every
        // other field already shows it.
        Refuse(refusal);
        ShowCondition(AssignedCondition(SelectedSource()));
        return;
    }
    Refuse(QString());
    ForgetWholeMachine();
    AssignCondition(SelectedSource(), c);
    EnableDetails(c);
    if (QTreeWidgetItem* item = TreeMachines->currentItem()) UpdateRow(item);
    ShowPreset();
    UpdatePreview();
}

TMachineGroup TFormMachines::Group() const {
    return static_cast<TMachineGroup>(std::clamp(ComboGroup->currentIndex(), 0, MACHINE_GROUP_COUNT - 1));
}
