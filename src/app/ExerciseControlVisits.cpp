// The exercise's own measurement database, and the desktop's trend
// exercises: Next visit and the trend of the visits.
#include "app/DialogSeam.h"
#include "app/ExerciseControl.h"
#include "app/FormExercise.h"
#include "app/FormMeasurements.h"
#include "device/Device.h"
#include "device/Deviceioemulation.h"
#include "pcdata/Transfer.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QTemporaryDir>

namespace {

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

} // namespace

void TExerciseControl::OpenVisitDb() {
    if (!FRun.IsOpen()) return;
    FVisitFolder = std::make_unique<QTemporaryDir>();
    if (!FVisitFolder->isValid()) FVisitFolder.reset();
}

void TExerciseControl::CloseVisitDb() {
    FTrend.reset();
    FVisitFolder.reset(); // the folder and the database in it go
}

std::string TExerciseControl::DbPath() const {
    if (!FRun.IsOpen() || !FVisitFolder) return {};
    return FVisitFolder->filePath(QStringLiteral("exercise.sqlite")).toStdString();
}

bool TExerciseControl::KeepVisitReadings() {
    std::string error = LoadStr(TEXT_VISIT_NO_FOLDER);
    if (FVisitFolder) {
        const auto db = TMeasurementDb::Open(DbPath(), error);
        if (db) {
            const TTransferOutcome outcome =
                TransferStore(*db, g_Device && g_Device->WorkerState() == TWorkerState::Parked);
            if (outcome.Ok) return true;
            error = outcome.Error;
        }
    }
    DialogSeam().ShowMessage(FMainWindow, Text(TEXT_VISIT_NOT_DONE).arg(QString::fromStdString(error)));
    return false;
}

void TExerciseControl::NextVisit() {
    if (!HasVisits() || FRun.IsLastVisit()) return;
    WhenParked([this] {
        if (!HasVisits() || !KeepVisitReadings()) return;
        FRun.NextVisit();
        FOnStateChanged();
        if (FTrend) FTrend->Reload();
        ShowSheet();
    });
}

void TExerciseControl::ShowTrend() {
    if (!HasVisits() || !FVisitFolder) return;
    // This visit's readings so far join the trend when the instrument is
    // free to be read; the earlier visits' are there already.
    if (g_Device && g_Device->IsIdle() && !KeepVisitReadings()) return;
    ShowDb();
}

void TExerciseControl::ShowDb() {
    const std::string path = DbPath();
    if (path.empty()) return;
    if (!FTrend) {
        FTrend = std::make_unique<TFormMeasurements>(nullptr, path);
        FTrend->setObjectName(QStringLiteral("FormVisitTrend"));
    } else {
        FTrend->Reload();
    }
    FTrend->setWindowTitle(Text(HasVisits() ? TEXT_VISIT_TREND_TITLE : TEXT_VISIT_EXERCISE_DB_TITLE)
                               .arg(QString::fromStdString(FRun.Exercise().Title)));
    FTrend->show();
    FTrend->raise();
    FTrend->activateWindow();
}
