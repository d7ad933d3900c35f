// The visits of the "Save as exercise" dialog: a table of visits, each its
// date and time and the conditions that change, and the zone a visit
// question asks for.
#include "app/FormSaveExercise.h"

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

// The route points' present conditions, as the changes column writes them.
QString PresentConditions() {
    QStringList parts;
    for (const auto& [source, condition] : AssignedConditions())
        if (source >= 1 && source <= ROUTE_POINT_COUNT && condition.Kind != TConditionKind::Stored)
            parts << QStringLiteral("%1: %2").arg(source).arg(
                QString::fromStdString(FormatCondition(condition)));
    return parts.join(QStringLiteral("; "));
}

double DayCount(const QDateTime& when) {
    const QDate d = when.date();
    const QTime t = when.time();
    return EncodeDateTime(d.year(), d.month(), d.day(), t.hour(), t.minute(), 0, 0);
}

} // namespace

QWidget* TFormSaveExercise::CreateVisits() {
    auto* box = new QWidget(this);
    TableVisits = new QTableWidget(0, kVisitColumns, box);
    TableVisits->setObjectName(QStringLiteral("TableVisits"));
    TableVisits->setHorizontalHeaderLabels(Text(TEXT_VISIT_COLUMNS).split(QLatin1Char('\n')));
    TableVisits->verticalHeader()->hide();
    TableVisits->horizontalHeader()->setSectionResizeMode(kVisitNumber, QHeaderView::ResizeToContents);
    TableVisits->horizontalHeader()->setSectionResizeMode(kVisitDate, QHeaderView::ResizeToContents);
    TableVisits->horizontalHeader()->setStretchLastSection(true);
    TableVisits->setToolTip(Text(TEXT_VISIT_CHANGES_HINT));
    TableVisits->setFixedHeight(150);
    auto* add = new QPushButton(Text(TEXT_VISIT_ADD), box);
    add->setObjectName(QStringLiteral("ButtonAddVisit"));
    connect(add, &QPushButton::clicked, this, [this] { AddVisit(); });
    auto* remove = new QPushButton(Text(TEXT_VISIT_REMOVE), box);
    remove->setObjectName(QStringLiteral("ButtonRemoveVisit"));
    connect(remove, &QPushButton::clicked, this,
            [this] { TableVisits->setRowCount(std::max(0, TableVisits->rowCount() - 1)); });
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
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(TableVisits);
    layout->addLayout(buttons);
    return box;
}

void TFormSaveExercise::AddVisit() {
    const int row = TableVisits->rowCount();
    if (row >= static_cast<int>(EXERCISE_VISITS_MAX)) return;
    TableVisits->setRowCount(row + 1);
    auto* number = new QTableWidgetItem(QString::number(row + 1));
    number->setFlags(Qt::ItemIsEnabled);
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
    TableVisits->setCellWidget(row, kVisitDate, date);
    // The first visit is the present conditions; a later one starts from a copy.
    auto* changes = new QTableWidgetItem(row == 0 ? QString() : PresentConditions());
    if (row == 0) changes->setFlags(Qt::ItemIsEnabled);
    TableVisits->setItem(row, kVisitChanges, changes);
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
    for (int row = 0; row < TableVisits->rowCount(); ++row) {
        TVisit visit;
        if (const auto* date = dynamic_cast<QDateTimeEdit*>(TableVisits->cellWidget(row, kVisitDate)))
            visit.Date = DayCount(date->dateTime());
        const QTableWidgetItem* changes = TableVisits->item(row, kVisitChanges);
        const QStringList parts =
            (row > 0 && changes ? changes->text() : QString()).split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (const QString& part : parts) {
            const qsizetype colon = part.indexOf(QLatin1Char(':'));
            bool isNumber = false;
            const int point = colon > 0 ? part.left(colon).trimmed().toInt(&isNumber) : 0;
            std::string reason = LoadStr(TEXT_VISIT_CHANGES_HINT);
            const auto condition = isNumber && point >= 1 && point <= ROUTE_POINT_COUNT
                                       ? ParseCondition(part.mid(colon + 1).trimmed().toStdString(), reason)
                                       : std::nullopt;
            if (!condition) {
                error = Text(TEXT_VISIT_CHANGES_BAD).arg(row + 1).arg(QString::fromStdString(reason));
                return false;
            }
            visit.Changes[static_cast<int16_t>(point)] = *condition;
        }
        exercise.Visits.push_back(std::move(visit));
    }
    return true;
}
