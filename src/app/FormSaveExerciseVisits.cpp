// The visits of the "Save as exercise" dialog: a table of visits, each its
// date and time and a summary of the conditions that change; the changes of
// the selected visit in an editor below; the zone a visit question asks for.
#include "app/FormSaveExercise.h"
#include "app/VisitChangesEditor.h"

#include "measure/PointConditions.h"
#include "measure/Routes.h"
#include "platform/DateTime.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QComboBox>
#include <QDateTimeEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

enum : int { kVisitNumber, kVisitDate, kVisitChanges, kVisitColumns };

double DayCount(const QDateTime& when) {
    const QDate d = when.date();
    const QTime t = when.time();
    return EncodeDateTime(d.year(), d.month(), d.day(), t.hour(), t.minute(), 0, 0);
}

// One visit's changes in a line: each point's label, condition and severity.
QString Summary(const std::map<int16_t, TCondition>& changes) {
    QStringList parts;
    for (const auto& [point, c] : changes) {
        QString part = Text(TEXT_VISIT_CHANGE_SHORT)
                           .arg(QString::fromStdString(RoutePointLabel(point)),
                                Text(TEXT_CONDITION_STORED + static_cast<int>(c.Kind)))
                           .arg(c.Velocity, 0, 'g', 3);
        if (IsBearingKind(c.Kind) || IsBearingKind(c.Second))
            part += Text(TEXT_VISIT_CHANGE_STAGE).arg(c.Stage);
        if (c.Kind == TConditionKind::Stored)
            part = QString::fromStdString(RoutePointLabel(point)) + QStringLiteral(": ") +
                   Text(TEXT_CONDITION_STORED);
        parts << part;
    }
    return parts.isEmpty() ? Text(TEXT_VISIT_NO_CHANGES) : parts.join(QStringLiteral("; "));
}

} // namespace

QWidget* TFormSaveExercise::CreateVisits() {
    auto* box = new QWidget(this);
    TableVisits = new QTableWidget(0, kVisitColumns, box);
    TableVisits->setObjectName(QStringLiteral("TableVisits"));
    TableVisits->setHorizontalHeaderLabels(Text(TEXT_VISIT_COLUMNS).split(QLatin1Char('\n')));
    TableVisits->verticalHeader()->hide();
    TableVisits->setSelectionBehavior(QAbstractItemView::SelectRows);
    TableVisits->setSelectionMode(QAbstractItemView::SingleSelection);
    TableVisits->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TableVisits->horizontalHeader()->setSectionResizeMode(kVisitNumber, QHeaderView::ResizeToContents);
    TableVisits->horizontalHeader()->setSectionResizeMode(kVisitDate, QHeaderView::ResizeToContents);
    TableVisits->horizontalHeader()->setStretchLastSection(true);
    TableVisits->setToolTip(Text(TEXT_VISIT_CHANGES_HINT));
    TableVisits->setMinimumHeight(130);
    connect(TableVisits, &QTableWidget::currentCellChanged, this, [this](int row) { ShowVisitChanges(row); });
    auto* add = new QPushButton(Text(TEXT_VISIT_ADD), box);
    add->setObjectName(QStringLiteral("ButtonAddVisit"));
    connect(add, &QPushButton::clicked, this, [this] { AddVisit(); });
    auto* remove = new QPushButton(Text(TEXT_VISIT_REMOVE), box);
    remove->setObjectName(QStringLiteral("ButtonRemoveVisit"));
    connect(remove, &QPushButton::clicked, this, [this] {
        const int rows = std::max(0, TableVisits->rowCount() - 1);
        TableVisits->setRowCount(rows);
        FVisitChanges.resize(static_cast<std::size_t>(rows));
        ShowVisitChanges(rows - 1);
        CheckVisits();
    });
    ComboVisitZone = new QComboBox(box);
    ComboVisitZone->setObjectName(QStringLiteral("ComboVisitZone"));
    ComboVisitZone->addItems({QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")});
    ComboVisitZone->setCurrentIndex(1);
    connect(ComboVisitZone, &QComboBox::currentIndexChanged, this, [this] { UpdateAskChoices(); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch(1);
    buttons->addWidget(new QLabel(Text(TEXT_VISIT_ZONE_FIELD), box));
    buttons->addWidget(ComboVisitZone);
    EditorChanges = new TVisitChangesEditor(box);
    EditorChanges->setMinimumHeight(190);
    EditorChanges->setEnabled(false);
    EditorChanges->OnChanged = [this] {
        const int row = FShownVisit;
        if (row < 1 || row >= static_cast<int>(FVisitChanges.size())) return;
        FVisitChanges[static_cast<std::size_t>(row)] = EditorChanges->Changes();
        TableVisits->item(row, kVisitChanges)->setText(Summary(FVisitChanges[static_cast<std::size_t>(row)]));
    };
    LabelVisitsError = new QLabel(box);
    LabelVisitsError->setObjectName(QStringLiteral("LabelVisitsError"));
    LabelVisitsError->setWordWrap(true);
    LabelVisitsError->setStyleSheet(QStringLiteral("QLabel { color: #c62828; font-weight: bold; }"));
    LabelVisitsError->hide();
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(TableVisits, 2);
    layout->addLayout(buttons);
    layout->addWidget(EditorChanges, 3);
    layout->addWidget(LabelVisitsError);
    return box;
}

void TFormSaveExercise::AddVisit() {
    const int row = TableVisits->rowCount();
    if (row >= static_cast<int>(EXERCISE_VISITS_MAX)) {
        LabelVisitsError->setText(Text(TEXT_VISIT_TOO_MANY).arg(EXERCISE_VISITS_MAX));
        LabelVisitsError->show();
        return;
    }
    TableVisits->setRowCount(row + 1);
    FVisitChanges.resize(static_cast<std::size_t>(row + 1));
    auto* number = new QTableWidgetItem(QString::number(row + 1));
    TableVisits->setItem(row, kVisitNumber, number);
    auto* date = new QDateTimeEdit(TableVisits);
    date->setObjectName(QStringLiteral("EditVisitDate%1").arg(row + 1));
    date->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm"));
    date->setDateRange(QDate(2000, 1, 1), QDate(2099, 12, 31));
    // A month after the visit before, or today's date for the first.
    const auto* before =
        row > 0 ? dynamic_cast<QDateTimeEdit*>(TableVisits->cellWidget(row - 1, kVisitDate)) : nullptr;
    date->setDateTime(before ? before->dateTime().addMonths(1)
                             : QDateTime(QDate::currentDate(), QTime(9, 0)));
    connect(date, &QDateTimeEdit::dateTimeChanged, this, [this] { CheckVisits(); });
    TableVisits->setCellWidget(row, kVisitDate, date);
    // The first visit is the present conditions; a later one changes none
    // of them until the trainer adds a change.
    TableVisits->setItem(row, kVisitChanges,
                         new QTableWidgetItem(row == 0 ? Text(TEXT_VISIT_PRESENT) : Summary({})));
    TableVisits->setCurrentCell(row, kVisitChanges);
    CheckVisits();
}

void TFormSaveExercise::ShowVisitChanges(int row) {
    FShownVisit = row;
    EditorChanges->setEnabled(row >= 0);
    if (row < 0 || row >= static_cast<int>(FVisitChanges.size())) {
        EditorChanges->ShowVisit(1, {}, {});
        return;
    }
    // Each source as it stands at the visit before this one.
    std::map<int16_t, TCondition> before = AssignedConditions();
    for (int v = 1; v < row; ++v)
        for (const auto& [point, condition] : FVisitChanges[static_cast<std::size_t>(v)])
            before[point] = condition;
    EditorChanges->ShowVisit(row + 1, FVisitChanges[static_cast<std::size_t>(row)], std::move(before));
}

void TFormSaveExercise::CheckVisits() {
    TExercise e;
    QString error;
    ReadVisits(e, error);
    LabelVisitsError->setText(error);
    LabelVisitsError->setVisible(!error.isEmpty());
    if (ButtonSave) ButtonSave->setEnabled(error.isEmpty());
}

void TFormSaveExercise::UpdateAskChoices() {
    const QString visit = Text(TEXT_VISIT_ASKS).arg(ComboVisitZone->currentText());
    for (int row = 0; row < TableAsked->rowCount(); ++row)
        if (auto* asks = dynamic_cast<QComboBox*>(TableAsked->cellWidget(row, 1)))
            asks->setItemText(asks->count() - 1, visit);
}

bool TFormSaveExercise::ReadVisits(TExercise& exercise, QString& error) const {
    exercise.Visits.clear();
    const QByteArray letter = ComboVisitZone->currentText().toLatin1();
    const char zone = letter.isEmpty() ? 'C' : letter[0];
    for (TAskedPoint& asked : exercise.Asked)
        asked.Zone = zone;
    const int rows = TableVisits->rowCount();
    if (rows == 1) error = Text(TEXT_VISIT_TOO_FEW);
    QDateTime previous;
    for (int row = 0; row < rows; ++row) {
        TVisit visit;
        if (const auto* date = dynamic_cast<QDateTimeEdit*>(TableVisits->cellWidget(row, kVisitDate))) {
            const QDateTime when = date->dateTime();
            // To the minute, as the file keeps it.
            if (row > 0 && error.isEmpty() &&
                when.toSecsSinceEpoch() / 60 <= previous.toSecsSinceEpoch() / 60)
                error = Text(TEXT_VISIT_NOT_LATER)
                            .arg(row + 1)
                            .arg(row)
                            .arg(previous.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
            previous = when;
            visit.Date = DayCount(when);
        }
        if (row > 0 && row < static_cast<int>(FVisitChanges.size()))
            visit.Changes = FVisitChanges[static_cast<std::size_t>(row)];
        exercise.Visits.push_back(std::move(visit));
    }
    return error.isEmpty();
}
