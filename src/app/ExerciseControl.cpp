#include "app/ExerciseControl.h"

#include "app/DialogSeam.h"
#include "app/FormClassResults.h"
#include "app/FormExercise.h"
#include "app/FormMeasurements.h"
#include "device/Device.h"
#include "device/Deviceioemulation.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"
#include "training/ExerciseFile.h"
#include "training/ExerciseLink.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

namespace {

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

// How often a swap looks whether the worker has parked.
constexpr uint32_t kParkPollMs = 20;
// How often the time limit's countdown changes.
constexpr uint32_t kClockTickMs = 1000;
// Past this length some mail and chat programs cut a link.
constexpr qsizetype kLinkSafeLength = 2000;

} // namespace

TExerciseControl::TExerciseControl(QWidget* mainWindow, std::function<void()> onStateChanged,
                                   std::function<void(int16_t)> showInMachines)
    : FMainWindow(mainWindow), FOnStateChanged(std::move(onStateChanged)),
      FShowInMachines(std::move(showInMachines)), FLastTick(Host().GetTickCount()),
      FFolder(QDir::homePath()) {
    FParkTimer.SetEnabled(false);
    FParkTimer.SetInterval(kParkPollMs);
    FParkTimer.SetOnTimer([this] {
        if (g_Device && g_Device->WorkerState() != TWorkerState::Parked) return;
        FParkTimer.SetEnabled(false);
        if (auto then = std::exchange(FAfterPark, {})) then();
    });
    FClockTimer.SetEnabled(false);
    FClockTimer.SetInterval(kClockTickMs);
    FClockTimer.SetOnTimer([this] { ClockTick(); });
}

void TExerciseControl::ClockTick() {
    const std::optional<uint32_t> left = FRun.SecondsLeft(Ticks());
    if (!left || FRun.IsSubmitted()) {
        FClockTimer.SetEnabled(false);
        return;
    }
    if (FSheet) FSheet->ShowTimeLeft(left);
    if (*left > 0) return;
    FClockTimer.SetEnabled(false);
    ShowSheet();
    FSheet->SubmitAtTimeUp();
}

TExerciseControl::~TExerciseControl() = default;

uint64_t TExerciseControl::Ticks() {
    const uint32_t now = Host().GetTickCount();
    // Unsigned: the difference is right across the 32-bit wrap.
    FTicks += static_cast<uint32_t>(now - FLastTick);
    FLastTick = now;
    return FTicks;
}

void TExerciseControl::WhenParked(std::function<void()> then) {
    FAfterPark = std::move(then);
    if (g_Device) g_Device->PowerOff();
    FParkTimer.SetEnabled(true);
}

void TExerciseControl::OpenExercise() {
    const QString path =
        DialogSeam().GetOpenFileName(FMainWindow, FFolder + QStringLiteral("/"), Text(TEXT_EXERCISE_FILTER));
    if (path.isEmpty()) return;
    FFolder = QFileInfo(path).absolutePath();
    TExercise exercise;
    if (const int reason = ReadExerciseFile(path.toStdString(), exercise)) {
        DialogSeam().ShowMessage(FMainWindow, Text(TEXT_EXERCISE_OPEN_FAILED).arg(path, Text(reason)));
        return;
    }
    WhenParked([this, exercise = std::move(exercise)] {
        CloseVisitDb();
        FRun.Open(exercise, Ticks());
        OpenVisitDb();
        FOnStateChanged();
        ShowSheet();
        FClockTimer.SetEnabled(FRun.SecondsLeft(Ticks()).has_value());
    });
}

void TExerciseControl::CopyExerciseLink() {
    TExercise exercise;
    if (FRun.IsOpen()) {
        exercise = FRun.Exercise();
    } else {
        const QString path = DialogSeam().GetOpenFileName(FMainWindow, FFolder + QStringLiteral("/"),
                                                          Text(TEXT_EXERCISE_FILTER));
        if (path.isEmpty()) return;
        FFolder = QFileInfo(path).absolutePath();
        if (const int reason = ReadExerciseFile(path.toStdString(), exercise)) {
            DialogSeam().ShowMessage(FMainWindow, Text(TEXT_EXERCISE_OPEN_FAILED).arg(path, Text(reason)));
            return;
        }
    }
    // The state file may hold anything: an address no browser opens is asked again.
    if (!IsWebAddress(SavedState.ExerciseLinkAddress)) {
        const QString given = DialogSeam()
                                  .GetText(FMainWindow, Text(TEXT_WEB_ADDRESS),
                                           QString::fromStdString(SavedState.ExerciseLinkAddress))
                                  .trimmed();
        if (given.isEmpty()) return;
        if (!IsWebAddress(given.toStdString())) {
            DialogSeam().ShowMessage(FMainWindow, Text(TEXT_WEB_ADDRESS_BAD).arg(given));
            return;
        }
        SavedState.ExerciseLinkAddress = given.toStdString();
    }
    const QString link =
        QString::fromStdString(MakeExerciseLink(SavedState.ExerciseLinkAddress, FormatExercise(exercise)));
    QGuiApplication::clipboard()->setText(link);
    QString said = Text(TEXT_LINK_COPIED).arg(QString::number(link.size()), link);
    if (link.size() > kLinkSafeLength) said += QLatin1Char('\n') + Text(TEXT_LINK_LONG);
    DialogSeam().ShowMessage(FMainWindow, said);
}

void TExerciseControl::ShowSheet() {
    if (!FRun.IsOpen()) return;
    if (!FSheet) {
        FSheet = std::make_unique<TFormExercise>(
            FRun, TFormExercise::TActions{[this] { return Ticks(); },
                                          [this](int16_t point) { FShowInMachines(point); },
                                          [this] { CloseExercise(); }, [this] { FOnStateChanged(); }});
    } else {
        FSheet->LoadTexts();
    }
    FSheet->ShowTimeLeft(FRun.SecondsLeft(Ticks()));
    FSheet->show();
    FSheet->raise();
    FSheet->activateWindow();
}

void TExerciseControl::CloseExercise() {
    if (!FRun.IsOpen()) return;
    if (FSheet) FSheet->hide();
    FClockTimer.SetEnabled(false);
    WhenParked([this] {
        FRun.Close();
        CloseVisitDb();
        FOnStateChanged();
    });
}

void TExerciseControl::ShowClassResults() {
    TFormClassResults form(FMainWindow);
    DialogSeam().Exec(form);
}

void TExerciseControl::DeviceRefreshed() {
    if (!FRun.IsOpen()) return;
    FRun.Observe(Ticks());
    if (FSheet && FSheet->isVisible()) FSheet->UpdateMeasured();
}

void TExerciseControl::DeviceStopped() {
    FParkTimer.SetEnabled(false);
    FClockTimer.SetEnabled(false);
    FAfterPark = {};
    FRun.Close();
    CloseVisitDb();
    if (FSheet) FSheet->close();
}

void TExerciseControl::LoadTexts() {
    if (FSheet && FRun.IsOpen()) FSheet->LoadTexts();
}
