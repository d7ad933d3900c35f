#include "app/FormClassResults.h"

#include "app/DialogSeam.h"
#include "platform/SafeFile.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"
#include "training/ExerciseFile.h"

#include <QColor>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <utility>

namespace {

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

} // namespace

TFormClassResults::TFormClassResults(QWidget* parent) : QDialog(parent), FFolder(QDir::homePath()) {
    setObjectName(QStringLiteral("FormClassResults"));
    setWindowTitle(Text(TEXT_CLASS_RESULTS).remove(QStringLiteral("...")));
    LabelExercise = new QLabel(this);
    LabelExercise->setObjectName(QStringLiteral("LabelExercise"));
    ButtonExercise = new QPushButton(Text(TEXT_EXERCISE_OPEN), this);
    ButtonExercise->setObjectName(QStringLiteral("ButtonResultsExercise"));
    connect(ButtonExercise, &QPushButton::clicked, this, [this] { ButtonExerciseClick(); });
    ButtonAdd = new QPushButton(Text(TEXT_ADD_SUBMISSIONS), this);
    ButtonAdd->setObjectName(QStringLiteral("ButtonAddSubmissions"));
    connect(ButtonAdd, &QPushButton::clicked, this, [this] { ButtonAddClick(); });
    ButtonExport = new QPushButton(Text(TEXT_EXPORT_CSV), this);
    ButtonExport->setObjectName(QStringLiteral("ButtonExportCsv"));
    connect(ButtonExport, &QPushButton::clicked, this, [this] { ButtonExportClick(); });
    TableResults = new QTableWidget(this);
    TableResults->setObjectName(QStringLiteral("TableResults"));
    TableResults->verticalHeader()->hide();
    TableResults->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TableResults->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(LabelExercise, 1);
    top->addWidget(ButtonExercise);
    top->addWidget(ButtonAdd);
    top->addWidget(ButtonExport);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(TableResults, 1);
    layout->addWidget(buttons);
    resize(860, 420);
    FillTable();
}

void TFormClassResults::ButtonExerciseClick() {
    const QString path =
        DialogSeam().GetOpenFileName(this, FFolder + QStringLiteral("/"), Text(TEXT_EXERCISE_FILTER));
    if (path.isEmpty()) return;
    FFolder = QFileInfo(path).absolutePath();
    TExercise exercise;
    if (const int reason = ReadExerciseFile(path.toStdString(), exercise)) {
        DialogSeam().ShowMessage(this, Text(TEXT_EXERCISE_OPEN_FAILED).arg(path, Text(reason)));
        return;
    }
    FExercise = std::move(exercise);
    FHasExercise = true;
    // Rows of another exercise's class would not read against this one.
    FRows.clear();
    FillTable();
}

void TFormClassResults::ButtonAddClick() {
    const QStringList paths =
        DialogSeam().GetOpenFileNames(this, FFolder + QStringLiteral("/"), Text(TEXT_SUBMISSION_FILTER));
    for (const QString& path : paths) {
        FFolder = QFileInfo(path).absolutePath();
        TResultRow row = ReadResultRow(FExercise, path.toStdString());
        row.File = QFileInfo(path).fileName().toStdString();
        FRows.push_back(std::move(row));
    }
    FillTable();
}

void TFormClassResults::ButtonExportClick() {
    const QString path =
        DialogSeam().GetSaveFileName(this, FFolder + QStringLiteral("/results.csv"), Text(TEXT_CSV_FILTER));
    if (path.isEmpty()) return;
    std::string error;
    if (!ReplaceFile(path.toStdString(), ResultsCsv(FExercise, FRows), error))
        DialogSeam().ShowMessage(this, Text(TEXT_FILE_NOT_WRITTEN).arg(path, QString::fromStdString(error)));
}

void TFormClassResults::FillTable() {
    LabelExercise->setText(
        Text(TEXT_RESULTS_EXERCISE)
            .arg(FHasExercise ? QString::fromStdString(FExercise.Title) : QStringLiteral("\u2014")));
    ButtonAdd->setEnabled(FHasExercise);
    ButtonExport->setEnabled(FHasExercise && !FRows.empty());
    // The same columns as the CSV.
    const QString header = QString::fromStdString(ResultsCsv(FExercise, {}));
    QStringList columns;
    QString field;
    bool quoted = false;
    for (const QChar c : header.trimmed()) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (c == QLatin1Char(',') && !quoted)
            columns << std::exchange(field, QString());
        else
            field += c;
    }
    columns << field;
    TableResults->clear();
    TableResults->setColumnCount(static_cast<int>(columns.size()));
    TableResults->setHorizontalHeaderLabels(columns);
    TableResults->setRowCount(static_cast<int>(FRows.size()));
    const QStringList words = Text(TEXT_RESULT_WORDS).split(QLatin1Char('\n'));
    for (std::size_t r = 0; r < FRows.size(); ++r) {
        const TResultRow& row = FRows[r];
        const bool counted = row.Status == TResultStatus::Counted;
        QStringList cells{
            QString::fromStdString(row.File), QString::fromStdString(row.Name),
            counted ? QStringLiteral("%1/%2").arg(row.RightCount).arg(row.AskedCount) : QString(),
            row.Status != TResultStatus::Unreadable ? QString::number(row.TimeTaken) : QString()};
        for (std::size_t i = 0; i < FExercise.Asked.size(); ++i)
            cells << (i < row.PointRight.size() && row.PointRight[i] ? words.value(*row.PointRight[i] ? 1 : 0)
                                                                     : QString());
        cells << QString::fromStdString(ResultStatusText(row.Status));
        for (int c = 0; c < cells.size(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            // A flagged row stands out: it is in the table, not in the class's figures.
            if (!counted) item->setBackground(QColor(0xffe0b2));
            TableResults->setItem(static_cast<int>(r), c, item);
        }
    }
}
