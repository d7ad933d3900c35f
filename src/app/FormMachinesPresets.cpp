// The Machines window's ready-made machines: a single one sets the selected
// source; a whole machine sets the first points of the selected point's
// route machine, says which, shows them in bold and can be undone until the
// next change.
#include "app/FormMachines.h"
#include "measure/MachinePresets.h"

#include "measure/PointConditions.h"
#include "measure/Routes.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

namespace {

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

} // namespace

void TFormMachines::CreateWholeMachineNote() {
    LabelWholeMachine = new QLabel(this);
    LabelWholeMachine->setObjectName(QStringLiteral("LabelWholeMachine"));
    LabelWholeMachine->setWordWrap(true);
    LabelWholeMachine->hide();
    ButtonUndo = new QPushButton(this);
    ButtonUndo->setObjectName(QStringLiteral("ButtonUndo"));
    ButtonUndo->hide();
    connect(ButtonUndo, &QPushButton::clicked, this, [this] { ButtonUndoClick(); });
}

void TFormMachines::PresetChoose(int index) {
    const auto& presets = MachinePresets();
    if (index < 1 || index > static_cast<int>(presets.size())) {
        ShowPreset();
        return;
    }
    const TMachinePreset& preset = presets[static_cast<std::size_t>(index - 1)];
    if (preset.WholeMachine()) {
        WholeMachineChoose(index - 1);
        return;
    }
    ForgetWholeMachine();
    FFilling = true;
    ComboGroup->setCurrentIndex(static_cast<int>(preset.Group));
    FFilling = false;
    Refuse(QString());
    SetPreset(index - 1, SelectedSource());
    if (OnConditionsChanged) OnConditionsChanged();
    ShowCondition(AssignedCondition(SelectedSource()));
    if (QTreeWidgetItem* item = TreeMachines->currentItem()) UpdateRow(item);
    ShowPreset();
    UpdatePreview();
}

void TFormMachines::WholeMachineChoose(int presetIndex) {
    const TMachinePreset& preset = MachinePresets()[static_cast<std::size_t>(presetIndex)];
    const int16_t selected = SelectedSource();
    if (PresetTargets(preset, selected).empty()) {
        Refuse(Text(TEXT_WHOLE_MACHINE_NEEDS_ROUTE).arg(Text(preset.NameId)));
        ShowPreset();
        return;
    }
    ForgetWholeMachine();
    Refuse(QString());
    FWholeMachine = SetPreset(presetIndex, selected);
    if (OnConditionsChanged) OnConditionsChanged();
    FFilling = true;
    ComboGroup->setCurrentIndex(static_cast<int>(preset.Group));
    FFilling = false;
    UpdateRows();
    ShowWholeMachineNote();
    ShowCondition(AssignedCondition(selected));
    ShowPreset();
    UpdatePreview();
    // The note takes room from the list: the selected row stays in sight.
    if (QTreeWidgetItem* item = TreeMachines->currentItem()) TreeMachines->scrollToItem(item);
}

void TFormMachines::ButtonUndoClick() {
    if (FWholeMachine.PresetIndex < 0 || FWholeMachine.Undone) return;
    UndoPreset(FWholeMachine);
    if (OnConditionsChanged) OnConditionsChanged();
    Refuse(QString());
    UpdateRows();
    ShowWholeMachineNote();
    ShowCondition(AssignedCondition(SelectedSource()));
    ShowPreset();
    UpdatePreview();
}

// Any later change is the trainer's own: the undo would overwrite it.
void TFormMachines::ForgetWholeMachine() {
    if (FWholeMachine.PresetIndex < 0) return;
    FWholeMachine = {};
    UpdateRows();
    ShowWholeMachineNote();
}

void TFormMachines::ShowWholeMachineNote() {
    const TPresetSet& set = FWholeMachine;
    LabelWholeMachine->setVisible(set.PresetIndex >= 0);
    ButtonUndo->setVisible(set.PresetIndex >= 0 && !set.Undone);
    ButtonUndo->setText(Text(TEXT_UNDO_PRESET));
    if (set.PresetIndex < 0) return;
    const TMachinePreset& preset = MachinePresets()[static_cast<std::size_t>(set.PresetIndex)];
    const QString machine = Text(RoutePointName(set.Targets.front()).MachineId);
    if (set.Undone) {
        LabelWholeMachine->setText(Text(TEXT_PRESET_UNDONE).arg(machine));
        return;
    }
    const QString separator = Text(TEXT_LIST_SEPARATOR);
    QStringList points;
    for (std::size_t i = 0; i < set.Targets.size(); ++i) {
        const TRoutePointName name = RoutePointName(set.Targets[i]);
        points << Text(TEXT_WHOLE_MACHINE_POINT)
                      .arg(QString::number(name.Number), Text(name.NameId), Text(preset.Points[i].RoleId));
    }
    QString text = Text(TEXT_WHOLE_MACHINE_SET).arg(Text(preset.NameId), machine, points.join(separator));
    QStringList leftOut;
    for (std::size_t i = set.Targets.size(); i < preset.Points.size(); ++i)
        leftOut << Text(preset.Points[i].RoleId);
    if (!leftOut.isEmpty())
        text += QLatin1Char(' ') + Text(TEXT_WHOLE_MACHINE_LEFT_OUT).arg(machine, leftOut.join(separator));
    LabelWholeMachine->setText(text);
}

// The ready-made machine the selected source holds, or the prompt to choose one.
void TFormMachines::ShowPreset() {
    ComboPreset->setCurrentIndex(PresetHeld(SelectedSource()));
}
