#include "app/FormMachines.h"

#include "app/DialogSeam.h"
#include "app/FormSaveExercise.h"
#include "app/RangeSpinBox.h"
#include "app/SignalPlot.h"
#include "measure/MachinePresets.h"
#include "measure/PointConditions.h"
#include "measure/Routes.h"
#include "platform/SafeFile.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"
#include "training/ExerciseFile.h"
#include "training/ExerciseRun.h"

#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
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

QString Number(double value) {
    return QString::fromStdString(RowFigure(value));
}

} // namespace

TFormMachines::TFormMachines(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("FormMachines"));
    CreateTree();
    CreateEditor();
    CreatePreview();
    CreateWholeMachineNote();

    // One column, so that the window fits beside the instrument: the list,
    // the editor (scrolled where it is taller than its share), what the
    // instrument will show with the zone, and the plots, which fold away.
    auto* editor = ScrollEditor = new QScrollArea(this);
    editor->setObjectName(QStringLiteral("ScrollEditor"));
    editor->setWidgetResizable(true);
    editor->setFrameShape(QFrame::NoFrame);
    editor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* editorPanel = new QWidget(editor);
    auto* editorLayout = new QVBoxLayout(editorPanel);
    editorLayout->setContentsMargins(0, 0, 0, 0);
    editorLayout->addWidget(GroupEditor);
    editorLayout->addStretch(1);
    editor->setWidget(editorPanel);

    FSplitter = new QSplitter(Qt::Vertical, this);
    FSplitter->setObjectName(QStringLiteral("SplitterMachines"));
    FSplitter->setChildrenCollapsible(false);
    FSplitter->addWidget(TreeMachines);
    FSplitter->addWidget(editor);
    FSplitter->setStretchFactor(0, 1);
    FSplitter->setStretchFactor(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(FSplitter, 3);
    // Below the editor, never scrolled out of sight with it.
    layout->addWidget(LabelRefusal);
    auto* wholeMachine = new QHBoxLayout;
    wholeMachine->addWidget(LabelWholeMachine, 1);
    wholeMachine->addWidget(ButtonUndo, 0, Qt::AlignTop);
    layout->addLayout(wholeMachine);
    layout->addWidget(LabelKind);
    // The group's names are long: the box takes the window's width.
    layout->addWidget(LabelGroup);
    layout->addWidget(ComboGroup);
    layout->addWidget(LabelSeverity);
    layout->addWidget(LabelNote);
    layout->addWidget(ButtonPreview, 0, Qt::AlignLeft);
    layout->addWidget(PanelPreview, 4);
    ButtonSaveExercise = new QPushButton(this);
    ButtonSaveExercise->setObjectName(QStringLiteral("ButtonSaveExercise"));
    connect(ButtonSaveExercise, &QPushButton::clicked, this, [this] { ButtonSaveExerciseClick(); });
    layout->addWidget(ButtonSaveExercise, 0, Qt::AlignRight);
    // A trainer's laptop screen is often 768 pixels high: never open taller
    // (or wider) than the screen's free area, frame and title included.
    QSize size(560, 860);
    if (const QScreen* shown = screen())
        size = size.boundedTo(shown->availableGeometry().size() - QSize(16, 48));
    resize(size.expandedTo(minimumSizeHint()));

    LoadTexts();
    SelectSource(1);
}

TBesidePlacement PlaceBesideOn(const QRect& free, const QRect& main, int least, int wanted) {
    TBesidePlacement placed{main.left(), QRect()};
    QRect beside = main;
    if (free.right() - main.right() < least && main.left() - free.left() < least) {
        // Neither side holds the window: the main window makes room at the
        // screen's left edge, where the screen can hold both.
        if (free.width() - main.width() < least) return placed;
        placed.MainLeft = free.left();
        beside.moveLeft(free.left());
    }
    const int right = free.right() - beside.right();
    const int left = beside.left() - free.left();
    const bool onRight = right >= least && (right >= left || left < least);
    const int width = std::min(onRight ? right : left, std::max(least, wanted));
    placed.Window =
        QRect(onRight ? beside.right() + 1 : beside.left() - width, free.top(), width, free.height());
    return placed;
}

void TFormMachines::PlaceBeside(QWidget* mainWindow) {
    const QScreen* shown = mainWindow ? mainWindow->screen() : nullptr;
    if (!shown) return;
    const QRect free = shown->availableGeometry();
    const QRect main = mainWindow->frameGeometry();
    // The window manager's frame and title, as it draws them on the main window.
    const QSize decoration = main.size() - mainWindow->geometry().size();
    const TBesidePlacement placed = PlaceBesideOn(free, main, minimumSizeHint().width() + decoration.width(),
                                                  width() + decoration.width());
    if (placed.Window.isEmpty()) return;
    if (placed.MainLeft != main.left()) mainWindow->move(placed.MainLeft, main.top());
    // On a screen as low as a laptop's the plots start folded, leaving the
    // list and the editor room; one click unfolds them.
    if (free.height() < 900) ButtonPreview->setChecked(false);
    resize(placed.Window.width() - decoration.width(),
           std::max(minimumSizeHint().height(), placed.Window.height() - decoration.height()));
    move(placed.Window.topLeft());
}

void TFormMachines::CreateTree() {
    TreeMachines = new QTreeWidget(this);
    TreeMachines->setObjectName(QStringLiteral("TreeMachines"));
    TreeMachines->setColumnCount(5);
    TreeMachines->setRootIsDecorated(true);
    TreeMachines->setUniformRowHeights(true);
    TreeMachines->setSelectionMode(QAbstractItemView::SingleSelection);
    // Every column as wide as its texts, never cut: a narrow window scrolls.
    TreeMachines->header()->setStretchLastSection(false);
    TreeMachines->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    TreeMachines->setTextElideMode(Qt::ElideNone);
    TreeMachines->setMinimumHeight(90);
    connect(TreeMachines, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* now, QTreeWidgetItem* before) { SkipMachineRow(now, before); });
    connect(TreeMachines, &QTreeWidget::itemSelectionChanged, this, [this] { TreeSelectionChange(); });
}

// A machine's row holds no condition: the cursor passes it on to the point
// next in the direction it moved (a click gives the machine's first point),
// so that the editor always edits the row in sight.
void TFormMachines::SkipMachineRow(QTreeWidgetItem* now, QTreeWidgetItem* before) {
    if (!now || now->data(0, kSourceRole).toInt() != kNoSource || now->childCount() == 0) return;
    QTreeWidgetItem* next = before && before == TreeMachines->itemBelow(now) ? TreeMachines->itemAbove(now)
                                                                             : TreeMachines->itemBelow(now);
    if (!next || next->data(0, kSourceRole).toInt() == kNoSource) next = now->child(0);
    // After the view has finished with the key or click that brought it here,
    // which would otherwise clear the selection again; by source, as the rows
    // may be made anew by then.
    const auto source = static_cast<int16_t>(next->data(0, kSourceRole).toInt());
    QMetaObject::invokeMethod(
        this, [this, source] { SelectSource(source); }, Qt::QueuedConnection);
}

void TFormMachines::LoadTexts() {
    const int16_t selected = TreeMachines->topLevelItemCount() > 0 ? SelectedSource() : int16_t{1};
    FFilling = true;
    setWindowTitle(Text(TEXT_MACHINES_TITLE));
    TreeMachines->setHeaderLabels({Text(TEXT_COLUMN_POINT), Text(TEXT_COLUMN_CONDITION),
                                   Text(TEXT_COLUMN_SPEED), Text(TEXT_COLUMN_SEVERITY),
                                   Text(TEXT_COLUMN_DETAILS)});
    LoadEditorTexts();
    // The editor scrolls up and down only: it is never narrower than its
    // widest row in this language.
    ScrollEditor->setMinimumWidth(ScrollEditor->widget()->minimumSizeHint().width() +
                                  ScrollEditor->verticalScrollBar()->sizeHint().width());
    LabelGroup->setText(Text(TEXT_MACHINE_GROUP));
    const int group = std::max(ComboGroup->currentIndex(), 0);
    ComboGroup->clear();
    for (int id = TEXT_GROUP2_RIGID; id <= TEXT_GROUP1_FLEXIBLE; ++id)
        ComboGroup->addItem(Text(id));
    ComboGroup->setCurrentIndex(group);
    LabelFrequencyUnit->setText(Text(TEXT_FREQUENCY_UNIT));
    ButtonPreview->setText(Text(TEXT_PREVIEW));
    ButtonSaveExercise->setText(Text(TEXT_SAVE_AS_EXERCISE));
    ButtonSaveExercise->setEnabled(!FExercise || !FExercise->IsOpen());
    const int unit = std::max(ComboFrequencyUnit->currentIndex(), 0);
    ComboFrequencyUnit->clear();
    ComboFrequencyUnit->addItems({QStringLiteral("Hz"), QStringLiteral("RPM")});
    ComboFrequencyUnit->setItemText(0, Text(TEXT_FREQUENCY_HZ));
    ComboFrequencyUnit->setItemText(1, Text(TEXT_FREQUENCY_RPM));
    ComboFrequencyUnit->setCurrentIndex(unit);
    FillTree();
    FFilling = false;
    SelectSource(selected);
    ShowWholeMachineNote();
    ShowPreset();
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
}

void TFormMachines::UpdateRow(QTreeWidgetItem* item) {
    const auto source = static_cast<int16_t>(item->data(0, kSourceRole).toInt());
    if (IsHidden(source)) {
        item->setText(1, Text(TEXT_HIDDEN));
        for (int column = 2; column < item->columnCount(); ++column)
            item->setText(column, QString());
        return;
    }
    const TCondition c = AssignedCondition(source);
    item->setText(1, IsCombined(c) ? ConditionText(c.Kind) + QStringLiteral(" + ") + ConditionText(c.Second)
                                   : ConditionText(c.Kind));
    const bool stored = c.Kind == TConditionKind::Stored;
    item->setText(2, stored ? QString() : Number(c.Rpm));
    item->setText(3, stored ? QString() : Number(c.Velocity));
    QStringList details;
    for (const TConditionNote& detail : ConditionDetails(c)) {
        QString text = detail.TextId ? Text(detail.TextId) : QStringLiteral("%1");
        for (const TNoteArg& arg : detail.Args)
            text = text.arg(QString::fromStdString(arg.Figure));
        details << text;
    }
    item->setText(4, details.join(QStringLiteral("  ")));
    // The points a whole machine has just set stand out until the next change.
    const auto& set = FWholeMachine.Targets;
    const bool marked = !FWholeMachine.Undone && std::ranges::find(set, source) != set.end();
    for (int column = 0; column < item->columnCount(); ++column) {
        QFont font = item->font(column);
        font.setBold(marked);
        item->setFont(column, font);
    }
}

void TFormMachines::UpdateRows() {
    for (QTreeWidgetItemIterator it(TreeMachines); *it; ++it)
        if ((*it)->data(0, kSourceRole).toInt() != kNoSource) UpdateRow(*it);
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
    Refuse(QString());
    // The editor shows nothing of a hidden point, and takes no edit.
    const bool hidden = IsHidden(SelectedSource());
    GroupEditor->setEnabled(!hidden);
    // Greyed figures of a hidden point would still read as its own: the
    // editor goes, and the list takes its room.
    ScrollEditor->setVisible(!hidden);
    ShowCondition(hidden ? TCondition{} : AssignedCondition(SelectedSource()));
    ShowPreset();
    UpdatePreview();
}

bool TFormMachines::IsHidden(int16_t source) const {
    return FExercise && FExercise->IsHidden(source);
}

void TFormMachines::ButtonSaveExerciseClick() {
    TFormSaveExercise dialog(this, Group());
    if (DialogSeam().Exec(dialog) != QDialog::Accepted) return;
    const TExercise exercise = dialog.Exercise();
    if (const QString visits = dialog.VisitsError(); !visits.isEmpty()) {
        DialogSeam().ShowMessage(this, visits);
        return;
    }
    if (const int reason = CheckExercise(exercise)) {
        DialogSeam().ShowMessage(this, Text(reason));
        return;
    }
    const QString path = DialogSeam().GetSaveFileName(
        this, QDir::home().filePath(QStringLiteral("exercise.orxex")), Text(TEXT_EXERCISE_FILTER));
    if (path.isEmpty()) return;
    std::string error;
    if (!ReplaceFile(path.toStdString(), FormatExercise(exercise), error))
        DialogSeam().ShowMessage(this, Text(TEXT_FILE_NOT_WRITTEN).arg(path, QString::fromStdString(error)));
}
