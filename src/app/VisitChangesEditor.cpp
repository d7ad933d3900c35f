#include "app/VisitChangesEditor.h"

#include "app/RangeSpinBox.h"
#include "measure/ConditionFields.h"
#include "measure/MachinePresets.h"
#include "measure/Routes.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

enum : int { kPoint, kPreset, kCondition, kSeverity, kStage, kColumns };

// The single ready-made machines (a whole machine sets several points at
// once, which a change of one point cannot be), as indexes into MachinePresets().
std::vector<int> SinglePresets() {
    std::vector<int> found;
    const auto& presets = MachinePresets();
    for (std::size_t i = 0; i < presets.size(); ++i)
        if (!presets[i].WholeMachine()) found.push_back(static_cast<int>(i));
    return found;
}

TRangeSpinBox* FieldSpin(QWidget* parent, const char* key, const QString& name) {
    const TConditionField& field = *FindConditionField(key);
    auto* spin = new TRangeSpinBox(parent, name.toLatin1().constData(), field.Min, field.Max, field.Decimals);
    spin->setSingleStep(field.Step);
    return spin;
}

} // namespace

TVisitChangesEditor::TVisitChangesEditor(QWidget* parent) : QGroupBox(parent) {
    setObjectName(QStringLiteral("GroupVisitChanges"));
    TableChanges = new QTableWidget(0, kColumns, this);
    TableChanges->setObjectName(QStringLiteral("TableChanges"));
    TableChanges->setHorizontalHeaderLabels(Text(TEXT_VISIT_CHANGE_COLUMNS).split(QLatin1Char('\n')));
    TableChanges->verticalHeader()->hide();
    TableChanges->setSelectionBehavior(QAbstractItemView::SelectRows);
    TableChanges->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* header = TableChanges->horizontalHeader();
    // The ready-made list gives way: the point and the condition are read.
    for (const int column : {kPoint, kCondition, kSeverity, kStage})
        header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(kPreset, QHeaderView::Stretch);
    ButtonAdd = new QPushButton(Text(TEXT_VISIT_CHANGE_ADD), this);
    ButtonAdd->setObjectName(QStringLiteral("ButtonAddChange"));
    connect(ButtonAdd, &QPushButton::clicked, this, [this] { AddChange(); });
    ButtonRemove = new QPushButton(Text(TEXT_VISIT_CHANGE_REMOVE), this);
    ButtonRemove->setObjectName(QStringLiteral("ButtonRemoveChange"));
    connect(ButtonRemove, &QPushButton::clicked, this, [this] { RemoveChange(); });
    LabelNote = new QLabel(this);
    LabelNote->setObjectName(QStringLiteral("LabelChangeNote"));
    LabelNote->setWordWrap(true);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(ButtonAdd);
    buttons->addWidget(ButtonRemove);
    buttons->addWidget(LabelNote, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TableChanges, 1);
    layout->addLayout(buttons);
    ShowVisit(1, {}, {});
}

void TVisitChangesEditor::ShowVisit(int visit, const std::map<int16_t, TCondition>& changes,
                                    std::map<int16_t, TCondition> before) {
    FVisit = visit;
    FBefore = std::move(before);
    FRows.clear();
    for (const auto& [point, condition] : changes)
        FRows.push_back({point, condition});
    setTitle(Text(TEXT_VISIT_CHANGES_OF).arg(visit));
    Fill();
    Refuse(QString());
}

std::map<int16_t, TCondition> TVisitChangesEditor::Changes() const {
    std::map<int16_t, TCondition> changes;
    for (const TRow& row : FRows)
        changes[row.Point] = row.Condition;
    return changes;
}

void TVisitChangesEditor::Fill() {
    FFilling = true;
    TableChanges->setRowCount(static_cast<int>(FRows.size()));
    for (int row = 0; row < TableChanges->rowCount(); ++row) {
        const QString number = QString::number(row + 1);
        auto* point = new QComboBox(TableChanges);
        point->setObjectName(QStringLiteral("ComboChangePoint") + number);
        for (int16_t p = 1; p <= ROUTE_POINT_COUNT; ++p)
            point->addItem(QString::fromStdString(RoutePointLabel(p)));
        connect(point, &QComboBox::activated, this, [this, row](int index) { PointChoose(row, index); });
        TableChanges->setCellWidget(row, kPoint, point);

        auto* preset = new QComboBox(TableChanges);
        preset->setObjectName(QStringLiteral("ComboChangePreset") + number);
        preset->addItem(Text(TEXT_CHOOSE_PRESET));
        for (const int index : SinglePresets())
            preset->addItem(Text(MachinePresets()[static_cast<std::size_t>(index)].NameId), index);
        connect(preset, &QComboBox::activated, this, [this, row](int index) { PresetChoose(row, index); });
        TableChanges->setCellWidget(row, kPreset, preset);

        auto* kind = new QComboBox(TableChanges);
        kind->setObjectName(QStringLiteral("ComboChangeCondition") + number);
        for (int k = 0; k < CONDITION_KIND_COUNT; ++k)
            kind->addItem(Text(TEXT_CONDITION_STORED + k));
        connect(kind, &QComboBox::activated, this, [this, row](int index) {
            TCondition c = FRows[static_cast<std::size_t>(row)].Condition;
            c.Kind = static_cast<TConditionKind>(index);
            if (c.Kind == TConditionKind::Stored || c.Kind == c.Second) c.Second = TConditionKind::Stored;
            Take(row, c);
        });
        TableChanges->setCellWidget(row, kCondition, kind);

        auto* severity = FieldSpin(TableChanges, "velocity", QStringLiteral("SpinChangeSeverity") + number);
        connect(severity, &QDoubleSpinBox::valueChanged, this, [this, row](double value) {
            TCondition c = FRows[static_cast<std::size_t>(row)].Condition;
            c.Velocity = value;
            Take(row, c);
        });
        TableChanges->setCellWidget(row, kSeverity, severity);

        auto* stage = FieldSpin(TableChanges, "stage", QStringLiteral("SpinChangeStage") + number);
        connect(stage, &QDoubleSpinBox::valueChanged, this, [this, row](double value) {
            TCondition c = FRows[static_cast<std::size_t>(row)].Condition;
            c.Stage = static_cast<int16_t>(value);
            Take(row, c);
        });
        TableChanges->setCellWidget(row, kStage, stage);
        for (const auto& field : {std::pair{severity, "velocity"}, std::pair{stage, "stage"}}) {
            TRangeSpinBox* spin = field.first;
            const int nameId = FindConditionField(field.second)->NameId;
            spin->OnRefused = [this, spin, nameId](const QString& refused) {
                Refuse(Text(TEXT_VALUE_REFUSED)
                           .arg(refused, Text(nameId), TRangeSpinBox::Figure(spin->minimum()),
                                TRangeSpinBox::Figure(spin->maximum())));
            };
        }
        FillRow(row);
    }
    TableChanges->resizeColumnsToContents();
    const bool editable = FVisit > 1;
    TableChanges->setEnabled(editable);
    ButtonAdd->setEnabled(editable && FRows.size() < static_cast<std::size_t>(ROUTE_POINT_COUNT));
    ButtonRemove->setEnabled(editable && !FRows.empty());
    LabelNote->setText(editable ? QString() : Text(TEXT_VISIT_FIRST_NOTE));
    FFilling = false;
}

void TVisitChangesEditor::FillRow(int row) {
    const bool filling = FFilling;
    FFilling = true;
    const TRow& r = FRows[static_cast<std::size_t>(row)];
    const TCondition& c = r.Condition;
    static_cast<QComboBox*>(TableChanges->cellWidget(row, kPoint))->setCurrentIndex(r.Point - 1);
    auto* preset = static_cast<QComboBox*>(TableChanges->cellWidget(row, kPreset));
    preset->setCurrentIndex(0);
    for (int i = 1; i < preset->count(); ++i)
        if (MachinePresets()[static_cast<std::size_t>(preset->itemData(i).toInt())].Points[0].Condition == c)
            preset->setCurrentIndex(i);
    static_cast<QComboBox*>(TableChanges->cellWidget(row, kCondition))
        ->setCurrentIndex(static_cast<int>(c.Kind));
    auto* severity = static_cast<QDoubleSpinBox*>(TableChanges->cellWidget(row, kSeverity));
    severity->setValue(c.Velocity);
    severity->setEnabled(c.Kind != TConditionKind::Stored);
    auto* stage = static_cast<QDoubleSpinBox*>(TableChanges->cellWidget(row, kStage));
    stage->setValue(c.Stage);
    stage->setEnabled(IsBearingKind(c.Kind) || IsBearingKind(c.Second));
    FFilling = filling;
}

void TVisitChangesEditor::AddChange() {
    // The first point this visit does not change yet, as it stands before.
    int16_t point = 1;
    while (point <= ROUTE_POINT_COUNT &&
           std::any_of(FRows.begin(), FRows.end(), [point](const TRow& r) { return r.Point == point; }))
        ++point;
    if (point > ROUTE_POINT_COUNT) return;
    const auto before = FBefore.find(point);
    FRows.push_back({point, before == FBefore.end() ? TCondition{} : before->second});
    Fill();
    TableChanges->selectRow(TableChanges->rowCount() - 1);
    Refuse(QString());
    if (OnChanged) OnChanged();
}

void TVisitChangesEditor::RemoveChange() {
    if (FRows.empty()) return;
    const int current = TableChanges->currentRow();
    const auto row = current >= 0 && current < static_cast<int>(FRows.size())
                         ? static_cast<std::size_t>(current)
                         : FRows.size() - 1;
    FRows.erase(FRows.begin() + static_cast<std::ptrdiff_t>(row));
    Fill();
    Refuse(QString());
    if (OnChanged) OnChanged();
}

void TVisitChangesEditor::PointChoose(int row, int index) {
    if (FFilling) return;
    const auto point = static_cast<int16_t>(index + 1);
    TRow& r = FRows[static_cast<std::size_t>(row)];
    if (point == r.Point) return;
    for (std::size_t i = 0; i < FRows.size(); ++i)
        if (FRows[i].Point == point) {
            Refuse(Text(TEXT_VISIT_CHANGE_TWICE).arg(QString::fromStdString(RoutePointLabel(point))));
            FillRow(row);
            return;
        }
    // A point taken anew starts from what it holds before this visit.
    const auto before = FBefore.find(point);
    r = {point, before == FBefore.end() ? TCondition{} : before->second};
    FillRow(row);
    Refuse(QString());
    if (OnChanged) OnChanged();
}

void TVisitChangesEditor::PresetChoose(int row, int index) {
    if (FFilling) return;
    auto* preset = static_cast<QComboBox*>(TableChanges->cellWidget(row, kPreset));
    if (index < 1) return FillRow(row);
    Take(row,
         MachinePresets()[static_cast<std::size_t>(preset->itemData(index).toInt())].Points[0].Condition);
}

void TVisitChangesEditor::Take(int row, const TCondition& edited) {
    if (FFilling) return;
    if (const std::optional<TConditionNote> refusal = ConditionRefusal(edited)) {
        QString text = Text(refusal->TextId);
        for (const TNoteArg& arg : refusal->Args)
            text = text.arg(arg.TextId ? Text(arg.TextId) : QString::fromStdString(arg.Figure));
        Refuse(text);
        FillRow(row);
        return;
    }
    FRows[static_cast<std::size_t>(row)].Condition = edited;
    FillRow(row);
    Refuse(QString());
    if (OnChanged) OnChanged();
}

void TVisitChangesEditor::Refuse(const QString& reason) {
    if (reason.isEmpty()) {
        LabelNote->setStyleSheet(QString());
        LabelNote->setText(FVisit > 1 ? QString() : Text(TEXT_VISIT_FIRST_NOTE));
        return;
    }
    LabelNote->setStyleSheet(QStringLiteral("QLabel { color: #c62828; font-weight: bold; }"));
    LabelNote->setText(reason);
}
