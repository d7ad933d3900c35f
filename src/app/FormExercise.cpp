#include "app/FormExercise.h"

#include "app/DialogSeam.h"
#include "platform/SafeFile.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"
#include "training/AnswerSheet.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

QString Line(int id, int index) {
    return Text(id).split(QLatin1Char('\n')).value(index);
}

// The sheet's columns, in TEXT_SHEET_COLUMNS' order.
enum : int {
    kMachine,
    kPoint,
    kGroup,
    kAsks,
    kCondition,
    kZone,
    kNote,
    kMeasured,
    kRightAnswer,
    kResult,
    kHint,
    kColumns
};

QString ConditionText(const std::string& label) {
    TCondition condition;
    std::string ignored;
    if (label.empty() || !SetConditionName(condition, label, ignored)) return Text(TEXT_NO_ANSWER);
    QString text = Text(TEXT_CONDITION_STORED + static_cast<int>(condition.Kind));
    if (IsCombined(condition))
        text += QStringLiteral(" + ") + Text(TEXT_CONDITION_STORED + static_cast<int>(condition.Second));
    return text;
}

QString ZoneText(char zone) {
    return zone ? QString(QChar::fromLatin1(zone)) : Text(TEXT_NO_ANSWER);
}

// A visit answer as the sheet names it: "visit 3 (2026-03-05 00:00)", "never".
QString VisitText(const TExercise& exercise, int16_t visit) {
    if (visit == VISIT_UNANSWERED) return Text(TEXT_NO_ANSWER);
    if (visit == VISIT_NEVER || visit > static_cast<int>(exercise.Visits.size()))
        return Text(TEXT_VISIT_NEVER);
    return Text(TEXT_VISIT_CHOICE)
        .arg(visit)
        .arg(
            QString::fromStdString(VisitDateText(exercise.Visits[static_cast<std::size_t>(visit - 1)].Date)));
}

// The room a note needs to be read and typed into.
constexpr int kNoteMinWidth = 180;

} // namespace

TFormExercise::TFormExercise(TExerciseRun& run, TActions actions)
    : QWidget(nullptr, Qt::Window), FRun(run), FActions(std::move(actions)) {
    setObjectName(QStringLiteral("FormExercise"));
    LabelTitle = new QLabel(this);
    LabelTitle->setObjectName(QStringLiteral("LabelTitle"));
    LabelTitle->setStyleSheet(QStringLiteral("QLabel { font-weight: bold; font-size: 14px; }"));
    LabelTitle->setWordWrap(true);
    LabelTimeLeft = new QLabel(this);
    LabelTimeLeft->setObjectName(QStringLiteral("LabelTimeLeft"));
    LabelTimeLeft->setStyleSheet(QStringLiteral("QLabel { font-weight: bold; font-size: 14px; }"));
    LabelTimeLeft->hide();
    LabelInstructions = new QLabel(this);
    LabelInstructions->setObjectName(QStringLiteral("LabelInstructions"));
    LabelInstructions->setWordWrap(true);
    LabelInstructions->setTextFormat(Qt::PlainText);
    TableSheet = new QTableWidget(this);
    TableSheet->setObjectName(QStringLiteral("TableSheet"));
    TableSheet->verticalHeader()->hide();
    TableSheet->setSelectionBehavior(QAbstractItemView::SelectRows);
    TableSheet->setSelectionMode(QAbstractItemView::SingleSelection);
    TableSheet->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    TableSheet->horizontalHeader()->setStretchLastSection(false);
    connect(TableSheet, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() == kNote) AnswerChange(item->row());
    });
    LabelName = new QLabel(this);
    EditName = new QLineEdit(this);
    EditName->setObjectName(QStringLiteral("EditName"));
    ButtonSubmit = new QPushButton(this);
    ButtonSubmit->setObjectName(QStringLiteral("ButtonSubmit"));
    connect(ButtonSubmit, &QPushButton::clicked, this, [this] { ButtonSubmitClick(); });
    LabelScore = new QLabel(this);
    LabelScore->setObjectName(QStringLiteral("LabelScore"));
    LabelScore->setStyleSheet(QStringLiteral("QLabel { font-weight: bold; }"));
    CheckWrongOnly = new QCheckBox(this);
    CheckWrongOnly->setObjectName(QStringLiteral("CheckWrongOnly"));
    connect(CheckWrongOnly, &QCheckBox::toggled, this, [this] { FilterRows(); });
    ButtonShowInMachines = new QPushButton(this);
    ButtonShowInMachines->setObjectName(QStringLiteral("ButtonShowInMachines"));
    connect(ButtonShowInMachines, &QPushButton::clicked, this, [this] {
        const int row = TableSheet->currentRow();
        if (row >= 0 && FActions.ShowInMachines) FActions.ShowInMachines(PointOfRow(row));
    });
    ButtonClose = new QPushButton(this);
    ButtonClose->setObjectName(QStringLiteral("ButtonCloseExercise"));
    connect(ButtonClose, &QPushButton::clicked, this, [this] {
        if (FActions.CloseExercise) FActions.CloseExercise();
    });

    auto* submitRow = new QHBoxLayout;
    submitRow->addWidget(LabelName);
    submitRow->addWidget(EditName, 1);
    submitRow->addWidget(ButtonSubmit);
    auto* reviewRow = new QHBoxLayout;
    reviewRow->addWidget(LabelScore, 1);
    reviewRow->addWidget(CheckWrongOnly);
    reviewRow->addWidget(ButtonShowInMachines);
    auto* layout = new QVBoxLayout(this);
    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(LabelTitle, 1);
    titleRow->addWidget(LabelTimeLeft);
    layout->addLayout(titleRow);
    layout->addWidget(LabelInstructions);
    layout->addWidget(TableSheet, 1);
    layout->addLayout(submitRow);
    layout->addLayout(reviewRow);
    layout->addWidget(ButtonClose, 0, Qt::AlignRight);
    // Every column in sight on a laptop's screen, below the instrument if there is room.
    QSize size(1240, 300);
    if (const QScreen* shown = screen()) {
        const QRect free = shown->availableGeometry();
        size = size.boundedTo(free.size() - QSize(16, 48));
        move(free.left() + (free.width() - size.width()) / 2, free.bottom() - size.height() - 40);
    }
    resize(size);
    LoadTexts();
}

int16_t TFormExercise::PointOfRow(int row) const {
    const QTableWidgetItem* item = TableSheet->item(row, kPoint);
    return item ? static_cast<int16_t>(item->data(Qt::UserRole).toInt()) : int16_t{0};
}

void TFormExercise::LoadTexts() {
    FFilling = true;
    const TExercise& e = FRun.Exercise();
    setWindowTitle(Text(TEXT_EXERCISE_SHEET) + QStringLiteral(" - ") + QString::fromStdString(e.Title));
    LabelTitle->setText(QString::fromStdString(e.Title));
    QString instructions = QString::fromStdString(e.Instructions);
    if (e.TimeLimitSeconds)
        instructions += (instructions.isEmpty() ? QString() : QStringLiteral("\n")) +
                        Text(TEXT_EXERCISE_TIME_LIMIT_FIELD) + QLatin1Char(' ') +
                        QString::number((e.TimeLimitSeconds + 59) / 60);
    if (!e.Visits.empty()) {
        const int visit = FRun.CurrentVisit();
        instructions += (instructions.isEmpty() ? QString() : QStringLiteral("\n")) +
                        Text(TEXT_VISIT_OF)
                            .arg(visit)
                            .arg(e.Visits.size())
                            .arg(QString::fromStdString(
                                VisitDateText(e.Visits[static_cast<std::size_t>(visit - 1)].Date)));
        if (FRun.IsLastVisit()) instructions += QLatin1Char(' ') + Text(TEXT_VISIT_LAST);
    }
    LabelInstructions->setText(instructions);
    LabelInstructions->setVisible(!instructions.isEmpty());
    LabelName->setText(Text(TEXT_TRAINEE_NAME));
    ButtonSubmit->setText(Text(TEXT_SUBMIT));
    CheckWrongOnly->setText(Text(TEXT_SHOW_WRONG_ONLY));
    ButtonShowInMachines->setText(Text(TEXT_SHOW_IN_MACHINES));
    ButtonClose->setText(Text(TEXT_EXERCISE_CLOSE));
    TableSheet->clear();
    TableSheet->setColumnCount(kColumns);
    TableSheet->setHorizontalHeaderLabels(Text(TEXT_SHEET_COLUMNS).split(QLatin1Char('\n')));
    // The note takes the room the other columns leave, and never less than
    // it needs: the window widens for it, up to the screen (FitWidth).
    TableSheet->horizontalHeader()->setSectionResizeMode(kNote, QHeaderView::Stretch);
    TableSheet->horizontalHeader()->setMinimumSectionSize(kNoteMinWidth / 4);
    const std::vector<TSheetRow> rows = AnswerSheet(FRun);
    TableSheet->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t i = 0; i < rows.size(); ++i)
        FillRow(static_cast<int>(i), rows[i]);
    FFilling = false;
    if (FRun.IsSubmitted())
        ShowReview();
    else {
        for (const int column : {kRightAnswer, kResult, kHint})
            TableSheet->setColumnHidden(column, true);
        TableSheet->setColumnHidden(kMeasured, false);
        TableSheet->setColumnHidden(kGroup, false);
        LabelScore->hide();
        CheckWrongOnly->hide();
        ButtonShowInMachines->hide();
        EditName->setEnabled(true);
        FTimeUp = false;
    }
    FitWidth();
}

int TFormExercise::ColumnWidth(int column) const {
    int width = TableSheet->horizontalHeader()->sectionSizeHint(column);
    for (int row = 0; row < TableSheet->rowCount(); ++row) {
        if (const QWidget* cell = TableSheet->cellWidget(row, column))
            width = std::max(width, cell->sizeHint().width());
        else if (const QTableWidgetItem* item = TableSheet->item(row, column))
            width = std::max(width, TableSheet->fontMetrics().horizontalAdvance(item->text()) + 12);
    }
    return width;
}

void TFormExercise::FitWidth() {
    // Two condition lists a row, and long group names in Russian, make the
    // columns wider than the window was made: the note would shrink to
    // nothing behind a scroll bar. The window grows to hold every column
    // shown and a note of kNoteMinWidth, as far as the screen allows.
    int wanted = 2 * TableSheet->frameWidth() + kNoteMinWidth;
    for (int column = 0; column < kColumns; ++column)
        if (column != kNote && !TableSheet->isColumnHidden(column)) wanted += ColumnWidth(column);
    if (TableSheet->verticalScrollBar()->isVisible()) wanted += TableSheet->verticalScrollBar()->width();
    const QMargins margins = layout() ? layout()->contentsMargins() : QMargins();
    wanted += margins.left() + margins.right();
    int limit = wanted;
    if (const QScreen* shown = screen()) limit = shown->availableGeometry().width() - 16;
    if (width() < wanted) resize(std::min(wanted, limit), height());
    TableSheet->resizeRowsToContents();
}

void TFormExercise::FillRow(int row, const TSheetRow& sheet) {
    const auto fixed = [this, row](int column, const QString& text) {
        auto* item = new QTableWidgetItem(text);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        TableSheet->setItem(row, column, item);
        return item;
    };
    fixed(kMachine, QString::fromStdString(sheet.MachineText));
    fixed(kPoint, QString::fromStdString(sheet.Label))->setData(Qt::UserRole, sheet.Point);
    fixed(kGroup, Text(TEXT_GROUP2_RIGID + static_cast<int>(sheet.Group)));
    if (sheet.What == TAsk::Visit) {
        FillVisitRow(row, sheet);
        return;
    }
    fixed(kAsks, Line(TEXT_ASK_CHOICES, static_cast<int>(sheet.What) + 1));

    // A machine may have two faults at once: the answer is one, or one and a second.
    auto* cell = new QWidget(TableSheet);
    auto* pair = new QHBoxLayout(cell);
    pair->setContentsMargins(0, 0, 0, 0);
    pair->setSpacing(2);
    const QStringList answered = QString::fromStdString(sheet.Answer.Condition).split(QLatin1Char('+'));
    auto* condition = new QComboBox(cell);
    condition->setObjectName(QStringLiteral("ComboCondition%1").arg(sheet.Point));
    condition->addItem(Text(TEXT_NO_ANSWER), QString());
    auto* second = new QComboBox(cell);
    second->setObjectName(QStringLiteral("ComboSecondCondition%1").arg(sheet.Point));
    second->setToolTip(Text(TEXT_SECOND_CONDITION));
    second->addItem(Text(TEXT_SECOND_NONE), QString());
    for (int kind = static_cast<int>(TConditionKind::Good); kind < CONDITION_KIND_COUNT; ++kind) {
        const QString name = QString::fromLatin1(ConditionName(static_cast<TConditionKind>(kind)));
        condition->addItem(Text(TEXT_CONDITION_STORED + kind), name);
        if (kind != static_cast<int>(TConditionKind::Good))
            second->addItem(Text(TEXT_CONDITION_STORED + kind), name);
    }
    condition->setCurrentIndex(std::max(0, condition->findData(answered.value(0))));
    second->setCurrentIndex(std::max(0, second->findData(answered.value(1))));
    for (QComboBox* box : {condition, second})
        connect(box, &QComboBox::currentIndexChanged, this, [this, row] { AnswerChange(row); });
    pair->addWidget(condition);
    pair->addWidget(new QLabel(QStringLiteral("+"), cell));
    pair->addWidget(second);
    TableSheet->setCellWidget(row, kCondition, cell);

    auto* zone = new QComboBox(TableSheet);
    zone->setObjectName(QStringLiteral("ComboZone%1").arg(sheet.Point));
    zone->addItem(Text(TEXT_NO_ANSWER));
    // The letters, their meaning in the tooltip: the row stays narrow.
    for (int z = 0; z < 4; ++z) {
        zone->addItem(QString(QChar::fromLatin1(static_cast<char>('A' + z))));
        zone->setItemData(z + 1, Text(TEXT_ZONE_A + z), Qt::ToolTipRole);
    }
    zone->setCurrentIndex(sheet.Answer.Zone ? sheet.Answer.Zone - 'A' + 1 : 0);
    connect(zone, &QComboBox::currentIndexChanged, this, [this, row] { AnswerChange(row); });
    TableSheet->setCellWidget(row, kZone, zone);

    TableSheet->setItem(row, kNote, new QTableWidgetItem(QString::fromStdString(sheet.Answer.Note)));
    fixed(kMeasured, Line(TEXT_MEASURED_STATES, sheet.Measured ? 1 : 0));
    fixed(kRightAnswer, QString());
    fixed(kResult, QString());
    fixed(kHint, QString());
}

// A visit question: one list of the visits and "never"; no zone to give.
void TFormExercise::FillVisitRow(int row, const TSheetRow& sheet) {
    const auto fixed = [this, row](int column, const QString& text) {
        auto* item = new QTableWidgetItem(text);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        TableSheet->setItem(row, column, item);
    };
    fixed(kAsks, Text(TEXT_VISIT_ASKS).arg(QChar::fromLatin1(sheet.Zone)));
    const TExercise& e = FRun.Exercise();
    auto* visit = new QComboBox(TableSheet);
    visit->setObjectName(QStringLiteral("ComboVisit%1").arg(sheet.Point));
    visit->addItem(VisitText(e, VISIT_UNANSWERED), VISIT_UNANSWERED);
    for (int v = 1; v <= VisitCount(e); ++v)
        visit->addItem(VisitText(e, static_cast<int16_t>(v)), v);
    visit->addItem(VisitText(e, VISIT_NEVER), VISIT_NEVER);
    visit->setCurrentIndex(std::max(0, visit->findData(static_cast<int>(sheet.Answer.Visit))));
    connect(visit, &QComboBox::currentIndexChanged, this, [this, row] { AnswerChange(row); });
    TableSheet->setCellWidget(row, kCondition, visit);
    fixed(kZone, QString());
    TableSheet->setItem(row, kNote, new QTableWidgetItem(QString::fromStdString(sheet.Answer.Note)));
    fixed(kMeasured, Line(TEXT_MEASURED_STATES, sheet.Measured ? 1 : 0));
    fixed(kRightAnswer, QString());
    fixed(kResult, QString());
    fixed(kHint, QString());
}

void TFormExercise::UpdateMeasured() {
    for (int row = 0; row < TableSheet->rowCount(); ++row)
        if (QTableWidgetItem* item = TableSheet->item(row, kMeasured))
            item->setText(Line(TEXT_MEASURED_STATES, FRun.IsMeasured(PointOfRow(row)) ? 1 : 0));
}

void TFormExercise::ShowTimeLeft(std::optional<uint32_t> seconds) {
    if (FRun.IsSubmitted()) return; // the review tells whether the time ran out
    LabelTimeLeft->setVisible(seconds.has_value());
    if (!seconds) return;
    LabelTimeLeft->setStyleSheet(QStringLiteral("QLabel { font-weight: bold; font-size: 14px; }"));
    LabelTimeLeft->setText(
        Text(TEXT_TIME_LEFT)
            .arg(QStringLiteral("%1:%2").arg(*seconds / 60).arg(*seconds % 60, 2, 10, QLatin1Char('0'))));
}

void TFormExercise::SubmitAtTimeUp() {
    if (FRun.IsSubmitted()) return;
    FTimeUp = true;
    ButtonSubmitClick();
}

void TFormExercise::AnswerChange(int row) {
    if (FFilling || FRun.IsSubmitted()) return;
    const QWidget* cell = TableSheet->cellWidget(row, kCondition);
    const int16_t point = PointOfRow(row);
    if (const auto* visit = dynamic_cast<const QComboBox*>(cell)) {
        const QTableWidgetItem* note = TableSheet->item(row, kNote);
        TAnswer answer;
        answer.Visit = static_cast<int16_t>(visit->currentData().toInt());
        answer.Note = note ? note->text().toStdString() : std::string();
        FRun.Answer(point, answer, FActions.Clock());
        UpdateMeasured();
        return;
    }
    const auto* condition =
        cell ? cell->findChild<QComboBox*>(QStringLiteral("ComboCondition%1").arg(point)) : nullptr;
    const auto* second =
        cell ? cell->findChild<QComboBox*>(QStringLiteral("ComboSecondCondition%1").arg(point)) : nullptr;
    const auto* zone = dynamic_cast<QComboBox*>(TableSheet->cellWidget(row, kZone));
    const QTableWidgetItem* note = TableSheet->item(row, kNote);
    if (!condition || !second || !zone || !note) return;
    TAnswer answer;
    // Named as the core names two faults: "first+second".
    QStringList faults{condition->currentData().toString(), second->currentData().toString()};
    faults.removeAll(QString());
    answer.Condition = faults.join(QLatin1Char('+')).toStdString();
    answer.Zone = zone->currentIndex() > 0 ? static_cast<char>('A' + zone->currentIndex() - 1) : 0;
    answer.Note = note->text().toStdString();
    FRun.Answer(point, answer, FActions.Clock());
    UpdateMeasured();
}

void TFormExercise::ButtonSubmitClick() {
    // The answers as they stand, the note being edited included.
    for (int row = 0; row < TableSheet->rowCount() && !FRun.IsSubmitted(); ++row)
        AnswerChange(row);
    if (!FRun.IsSubmitted())
        FSubmission = FRun.Submit(EditName->text().trimmed().toStdString(), FActions.Clock());
    ShowReview();
    if (FActions.Submitted) FActions.Submitted();
    QString name = EditName->text().trimmed();
    if (name.isEmpty()) name = QStringLiteral("submission");
    const QString path = DialogSeam().GetSaveFileName(
        this, QDir::home().filePath(name + QStringLiteral(".orxsub")), Text(TEXT_SUBMISSION_FILTER));
    if (path.isEmpty()) return;
    std::string error;
    if (!ReplaceFile(path.toStdString(), FormatSubmission(FSubmission), error))
        DialogSeam().ShowMessage(this, Text(TEXT_FILE_NOT_WRITTEN).arg(path, QString::fromStdString(error)));
}

void TFormExercise::ShowReview() {
    FFilling = true;
    EditName->setEnabled(false);
    LabelTimeLeft->setVisible(FTimeUp);
    if (FTimeUp) {
        LabelTimeLeft->setStyleSheet(
            QStringLiteral("QLabel { font-weight: bold; font-size: 14px; color: #c62828; }"));
        LabelTimeLeft->setText(Text(TEXT_TIME_UP));
    }
    for (const int column : {kRightAnswer, kResult, kHint})
        TableSheet->setColumnHidden(column, false);
    // The right answers and results take the room of what no longer matters.
    TableSheet->setColumnHidden(kMeasured, true);
    TableSheet->setColumnHidden(kGroup, true);
    // The note is no longer written: the hints take the room left, wrapped,
    // so that a long hint is read without scrolling sideways.
    TableSheet->horizontalHeader()->setSectionResizeMode(kNote, QHeaderView::ResizeToContents);
    TableSheet->horizontalHeader()->setSectionResizeMode(kHint, QHeaderView::Stretch);
    const TExercise& e = FRun.Exercise();
    for (int row = 0; row < TableSheet->rowCount(); ++row) {
        const int16_t point = PointOfRow(row);
        for (const int column : {kCondition, kZone})
            if (QWidget* box = TableSheet->cellWidget(row, column)) box->setEnabled(false);
        if (QTableWidgetItem* note = TableSheet->item(row, kNote)) note->setFlags(Qt::ItemIsEnabled);
        for (const TSubmittedPoint& p : FSubmission.Points) {
            if (p.Point != point) continue;
            TableSheet->item(row, kRightAnswer)
                ->setText(p.What == TAsk::Visit ? VisitText(e, p.Right.Visit)
                                                : ConditionText(p.Right.Condition) + QStringLiteral(", ") +
                                                      ZoneText(p.Right.Zone));
            QTableWidgetItem* result = TableSheet->item(row, kResult);
            result->setText(Line(TEXT_RESULT_WORDS, p.IsRight ? 1 : 0));
            result->setData(Qt::UserRole, p.IsRight);
            result->setForeground(QColor(p.IsRight ? 0x2e7d32 : 0xc62828));
        }
        for (const TAskedPoint& asked : e.Asked)
            if (asked.Point == point)
                TableSheet->item(row, kHint)->setText(QString::fromStdString(asked.Hint));
    }
    LabelScore->setText(Text(TEXT_SCORE)
                            .arg(FSubmission.RightCount)
                            .arg(FSubmission.Points.size())
                            .arg((FSubmission.TimeTaken + 30) / 60));
    LabelScore->show();
    CheckWrongOnly->show();
    ButtonShowInMachines->show();
    FFilling = false;
    FilterRows();
    FitWidth();
}

void TFormExercise::FilterRows() {
    const bool wrongOnly = CheckWrongOnly->isChecked() && FRun.IsSubmitted();
    for (int row = 0; row < TableSheet->rowCount(); ++row) {
        const QTableWidgetItem* result = TableSheet->item(row, kResult);
        TableSheet->setRowHidden(row, wrongOnly && result && result->data(Qt::UserRole).toBool());
    }
}
