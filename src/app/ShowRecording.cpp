// Record / Stop recording: the session from the instrument switched off to
// Stop recording, saved as a script that orx700-sim replays and checks.
// A recording always starts from a state the instrument holds while off:
// one started while it is on could not be replayed (the firmware's state
// then lies in its running screens, which no script can set), so the user
// is asked to switch it off first.
#include "app/ShowControl.h"

#include "app/DialogSeam.h"
#include "device/Device.h"
#include "firmware/Offlinemode.h"
#include "platform/Host.h"
#include "platform/SafeFile.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A measurement under way ends within this before the last check.
constexpr uint32_t kSettleLimitMs = 15000;
constexpr uint32_t kSettlePollMs = 20;

QString Text(int id) {
    return QString::fromStdString(LoadStr(id));
}

std::string ScriptLanguage(const std::string& name) {
    return name == "RUS" ? "RUS" : "ENG";
}

} // namespace

void TShowControl::ToggleRecording(std::function<void()> then) {
    if (FStopping) return;
    if (FRecorder.Recording()) return FinishRecording(std::move(then));
    if (FPlayer.Playing()) TakeOver();
    const bool off = !FDevice.IsOn() && FDevice.WorkerState() == TWorkerState::Parked;
    if (!off && !DialogSeam().Ask(FWindow.Widget, Text(TEXT_SHOW_SWITCH_OFF_ASK), Text(TEXT_SHOW_SWITCH_OFF),
                                  Text(TEXT_CANCEL)))
        return;
    WhenParked([this] {
        if (!FRecorder.Start(Host().Now(), ScriptLanguage(SavedState.LanguageName))) {
            DialogSeam().ShowMessage(FWindow.Widget, Text(TEXT_NOT_SWITCHED_OFF));
            return;
        }
        FRecordStart = GetTickCount();
        FWindow.SetStatus(Text(TEXT_SHOW_RECORDING_STARTED));
    });
}

void TShowControl::LanguageChanged(const std::string& language) {
    if (FRecorder.Recording()) FRecorder.Language(ScriptLanguage(language));
}

// The last check reads a settled LCD: a measurement under way ends first.
// The keys pressed meanwhile still go in.
void TShowControl::FinishRecording(std::function<void()> then) {
    FStopping = true;
    const uint32_t asked = GetTickCount();
    FSettleTimer.SetInterval(kSettlePollMs);
    FSettleTimer.SetOnTimer([this, asked, then = std::move(then)] {
        if (FDevice.WorkerState() == TWorkerState::Working && GetTickCount() - asked < kSettleLimitMs) return;
        FSettleTimer.SetEnabled(false);
        const double seconds = (GetTickCount() - FRecordStart) / 1000.0;
        const std::string script = FRecorder.Finish();
        for (;;) {
            const QString start =
                (FFolder.isEmpty() ? QDir::homePath() : FFolder) + QStringLiteral("/orx700-recording.sim");
            const QString path =
                DialogSeam().GetSaveFileName(FWindow.Widget, start, Text(TEXT_SHOW_RECORDINGS_FILTER));
            if (path.isEmpty()) {
                FWindow.SetStatus({});
                break;
            }
            FFolder = QFileInfo(path).absolutePath();
            std::string error;
            if (ReplaceFile(path.toStdString(), script, error)) {
                FWindow.SetStatus(Text(TEXT_SHOW_RECORDING_SAVED)
                                      .arg(QFileInfo(path).fileName(), QString::number(seconds, 'f', 1)));
                break;
            }
            // Another place may do: the recording is not lost for a full disk.
            DialogSeam().ShowMessage(FWindow.Widget,
                                     Text(TEXT_FILE_NOT_WRITTEN).arg(path, QString::fromStdString(error)));
        }
        FStopping = false;
        if (then) then();
    });
    FSettleTimer.SetEnabled(true);
}
