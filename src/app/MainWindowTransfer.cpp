// Transfer to PC: the instrument's readings go into the measurement database
// from the GUI thread, while the worker is idle (parked, or waiting for a key
// with no time-out), so nothing but this thread could change the store
// meanwhile. A measurement or a timed screen under way is waited for, a
// little, then the user is told to try again. During an exercise the
// readings are the exercise's: they go to the exercise's own database, and
// the user's is not opened.
#include "app/ExerciseControl.h"
#include "app/FormMeasurements.h"
#include "app/MainWindow.h"
#include "device/Deviceioemulation.h"
#include "pcdata/MeasurementDb.h"
#include "pcdata/Transfer.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QLabel>
#include <QTimer>

namespace {

constexpr int kTransferTries = 30; // 3 s: a measurement's completion flashes, a message
constexpr int kTransferRetryMs = 100;

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

} // namespace

void TFormORX700DemoMain::ToolButtonTransferClick() {
    if (FTransferTries == 0) FTransferTries = kTransferTries;
    if (!g_Device->IsIdle()) {
        if (--FTransferTries > 0)
            QTimer::singleShot(kTransferRetryMs, this, [this] { ToolButtonTransferClick(); });
        else
            StatusText->setText(Text(TEXT_PC_BUSY));
        return;
    }
    FTransferTries = 0;
    const bool exercise = FExercise->Run().IsOpen();
    const std::string path = exercise ? FExercise->DbPath() : DesktopMeasurementDbPath();
    std::string error = LoadStr(TEXT_VISIT_NO_FOLDER);
    std::unique_ptr<TMeasurementDb> db;
    if (exercise && !path.empty())
        db = TMeasurementDb::Open(path, error);
    else if (!exercise)
        db = OpenDesktopMeasurementDb(this, path, error);
    if (!db) {
        StatusText->setText(Text(TEXT_PC_NOT_DONE).arg(QString::fromStdString(error)));
        return;
    }
    const TTransferOutcome outcome = TransferStore(*db, g_Device->WorkerState() == TWorkerState::Parked);
    db.reset();
    if (!outcome.Ok)
        StatusText->setText(Text(TEXT_PC_NOT_DONE).arg(QString::fromStdString(outcome.Error)));
    else if (outcome.Measured == 0)
        StatusText->setText(Text(TEXT_PC_NOTHING_MEASURED));
    else
        StatusText->setText(Text(TEXT_PC_TRANSFERRED).arg(outcome.Added));

    if (exercise) {
        if (FormMeasurements) FormMeasurements->hide();
        FExercise->ShowDb();
        return;
    }
    if (!FormMeasurements) {
        FormMeasurements = std::make_unique<TFormMeasurements>(nullptr, path);
    } else {
        FormMeasurements->Reload();
    }
    FormMeasurements->show();
    FormMeasurements->raise();
    FormMeasurements->activateWindow();
}
