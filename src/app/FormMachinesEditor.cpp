// The Machines window's editor: the condition of the selected source, its
// figures with their ranges, and the refusals of figures a condition cannot
// take.
#include "app/FormMachines.h"
#include "app/RangeSpinBox.h"
#include "measure/MachinePresets.h"

#include "measure/ConditionFields.h"
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

    // The ranges and decimals are the core's, which the page shares.
    const auto add = [&](QLabel*& label, TRangeSpinBox*& spin, const char* labelName, const char* name,
                         const char* key, QFormLayout* into, QWidget* parent) {
        const TConditionField& field = *FindConditionField(key);
        const int nameId = field.NameId;
        label = new QLabel(parent);
        label->setObjectName(QLatin1String(labelName));
        spin = new TRangeSpinBox(parent, name, field.Min, field.Max, field.Decimals);
        spin->setSingleStep(field.Step);
        TRangeSpinBox* self = spin;
        connect(spin, &QDoubleSpinBox::valueChanged, this, [this] { EditorChange(); });
        spin->OnRefused = [this, self, nameId](const QString& refused) {
            Refuse(Text(TEXT_VALUE_REFUSED)
                       .arg(refused, Text(nameId), TRangeSpinBox::Figure(self->minimum()),
                            TRangeSpinBox::Figure(self->maximum())));
        };
        into->addRow(label, spin);
    };
    add(LabelRpm, SpinRpm, "LabelRpm", "SpinRpm", "rpm", form, GroupEditor);
    add(LabelVelocity, SpinVelocity, "LabelVelocity", "SpinVelocity", "velocity", form, GroupEditor);
    add(LabelNoise, SpinNoise, "LabelNoise", "SpinNoise", "noise", form, GroupEditor);
    add(LabelSeed, SpinSeed, "LabelSeed", "SpinSeed", "seed", form, GroupEditor);
    add(LabelSpeedJitter, SpinSpeedJitter, "LabelSpeedJitter", "SpinSpeedJitter", "speed-jitter", form,
        GroupEditor);

    GroupBearing = new QGroupBox(GroupEditor);
    GroupBearing->setObjectName(QStringLiteral("GroupBearing"));
    auto* bearing = new QFormLayout(GroupBearing);
    bearing->setRowWrapPolicy(QFormLayout::WrapAllRows);
    add(LabelElements, SpinElements, "LabelElements", "SpinElements", "elements", bearing, GroupBearing);
    add(LabelBallDiameter, SpinBallDiameter, "LabelBallDiameter", "SpinBallDiameter", "ball", bearing,
        GroupBearing);
    add(LabelPitchDiameter, SpinPitchDiameter, "LabelPitchDiameter", "SpinPitchDiameter", "pitch", bearing,
        GroupBearing);
    add(LabelContactAngle, SpinContactAngle, "LabelContactAngle", "SpinContactAngle", "angle", bearing,
        GroupBearing);
    add(LabelStage, SpinStage, "LabelStage", "SpinStage", "stage", bearing, GroupBearing);
    form->addRow(GroupBearing);
    add(LabelTeeth, SpinTeeth, "LabelTeeth", "SpinTeeth", "teeth", form, GroupEditor);
    addCombo(LabelLine, ComboLine, "LabelLine", "ComboLine", form);
    connect(ComboLine, &QComboBox::currentIndexChanged, this, [this] { EditorChange(); });
    add(LabelBlades, SpinBlades, "LabelBlades", "SpinBlades", "blades", form, GroupEditor);
    add(LabelResonance, SpinResonance, "LabelResonance", "SpinResonance", "resonance", form, GroupEditor);
    // A second fault is the exception: its fields come last.
    addCombo(LabelSecond, ComboSecond, "LabelSecond", "ComboSecond", form);
    connect(ComboSecond, &QComboBox::currentIndexChanged, this, [this] { EditorChange(); });
    add(LabelShareFirst, SpinShareFirst, "LabelShareFirst", "SpinShareFirst", "share1", form, GroupEditor);
    add(LabelShareSecond, SpinShareSecond, "LabelShareSecond", "SpinShareSecond", "share2", form,
        GroupEditor);

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

// The figures each field takes on its own are its range; the rules between
// fields are the core's, whose reading of the text is the judge, so that the
// window takes exactly what the ini, the tools and the page take.
QString TFormMachines::RefusalOf(const TCondition& c) const {
    const std::optional<TConditionNote> refusal = ConditionRefusal(c);
    if (!refusal) return {};
    QString text = Text(refusal->TextId);
    for (const TNoteArg& arg : refusal->Args)
        text = text.arg(arg.TextId ? Text(arg.TextId) : QString::fromStdString(arg.Figure));
    return text;
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
    if (OnConditionsChanged) OnConditionsChanged();
    EnableDetails(c);
    if (QTreeWidgetItem* item = TreeMachines->currentItem()) UpdateRow(item);
    ShowPreset();
    UpdatePreview();
}

TMachineGroup TFormMachines::Group() const {
    return static_cast<TMachineGroup>(std::clamp(ComboGroup->currentIndex(), 0, MACHINE_GROUP_COUNT - 1));
}
