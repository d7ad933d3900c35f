// The Show menu's controller: what its tools share (switching the
// instrument off before another state comes in, the user's own state set
// aside and brought back) and the device's life.
#include "app/ShowControl.h"

#include "app/DialogSeam.h"
#include "device/Device.h"
#include "firmware/Offlinemode.h"
#include "platform/Host.h"
#include "platform/Strings.h"
#include "recording/RecordingHash.h"
#include "resources/StringIds.h"
#include "state/IniDocument.h"
#include "state/Inifile.h"

namespace {

constexpr uint32_t kParkPollMs = 20;
// How long the firmware may take to switch off (a message of it may be open).
constexpr uint32_t kParkLimitMs = 15000;

} // namespace

TShowControl::TShowControl(TDevice& device, TWindow window)
    : FDevice(device), FWindow(std::move(window)), FRecorder(device), FPlayer(device) {
    FParkTimer.SetEnabled(false);
    FParkTimer.SetInterval(kParkPollMs);
    FParkTimer.SetOnTimer([this] {
        const bool parked = FDevice.WorkerState() == TWorkerState::Parked;
        if (!parked && GetTickCount() - FParkStart < kParkLimitMs) return;
        FParkTimer.SetEnabled(false);
        auto then = std::exchange(FAfterPark, {});
        if (!parked) {
            DialogSeam().ShowMessage(FWindow.Widget, QString::fromStdString(LoadStr(TEXT_NOT_SWITCHED_OFF)));
            return;
        }
        if (then) then();
    });
    FSettleTimer.SetEnabled(false);
    FPlayTimer.SetEnabled(false);
    FPlayer.OnLanguage = [this](const std::string& language) { FWindow.SetLanguage(language); };
    SetUpAnimationTimers();
}

TShowControl::~TShowControl() = default;

void TShowControl::WhenParked(std::function<void()> then) {
    FAfterPark = std::move(then);
    FParkStart = GetTickCount();
    FDevice.PowerOff();
    FParkTimer.SetEnabled(true);
}

// The window's own settings stay as the user has them; the instrument's
// state, its conditions and its language come from the text.
void TShowControl::ReadState(const std::string& stateIni) {
    const TDeviceState kept = SavedState;
    ReadIniState(TIniDocument(stateIni), SavedState);
    SavedState.UserManuals = kept.UserManuals;
    SavedState.ShowKeyCaptions = kept.ShowKeyCaptions;
    SavedState.AnimateWholeInstrument = kept.AnimateWholeInstrument;
    SavedState.ExerciseLinkAddress = kept.ExerciseLinkAddress;
    if (SavedState.LanguageName.empty()) SavedState.LanguageName = kept.LanguageName;
    FWindow.StateChanged();
}

void TShowControl::PutState(const std::string& stateIni, bool copy) {
    if (!FOwnState) FOwnState = StateIniText(SavedState);
    FOwnBackAtEnd = copy;
    if (!stateIni.empty()) ReadState(stateIni);
}

void TShowControl::OwnState() {
    if (!FOwnState) return;
    TakeOver();
    WhenParked([this] {
        if (!FOwnState) return;
        ReadState(*std::exchange(FOwnState, std::nullopt));
        FOwnBackAtEnd = false;
        FWindow.SetStatus(QString::fromStdString(LoadStr(TEXT_SHOW_OWN_STATE_BACK)));
    });
}

void TShowControl::FreeForExercise(std::function<void()> then) {
    if (FStopping) return;
    if (FRecorder.Recording()) {
        if (!DialogSeam().Ask(FWindow.Widget,
                              QString::fromStdString(LoadStr(TEXT_SHOW_EXERCISE_STOPS_RECORDING)),
                              QString::fromStdString(LoadStr(TEXT_SHOW_STOP_AND_OPEN)),
                              QString::fromStdString(LoadStr(TEXT_CANCEL))))
            return;
        return FinishRecording(std::move(then));
    }
    TakeOver();
    // A copy would otherwise be set aside as the user's own, and the own
    // one lost when the exercise gives the copy back.
    if (!FOwnState || !FOwnBackAtEnd) return then();
    WhenParked([this, then = std::move(then)] {
        if (FOwnState) ReadState(*std::exchange(FOwnState, std::nullopt));
        FOwnBackAtEnd = false;
        then();
    });
}

void TShowControl::DeviceStopping() {
    FParkTimer.SetEnabled(false);
    FAfterPark = {};
    FSettleTimer.SetEnabled(false);
    FPlayTimer.SetEnabled(false);
    FPlayer.Abandon();
    FTakeOverWatch.reset();
    FRecorder.Abandon();
    FAnimation.Clear();
    FWholeAnimation.Clear();
    FCaptionStepTimer.SetEnabled(false);
    FFullTimer.SetEnabled(false);
}

void TShowControl::DeviceStopped() {
    if (FOwnState && FOwnBackAtEnd) {
        const TDeviceState kept = SavedState;
        ReadIniState(TIniDocument(*FOwnState), SavedState);
        SavedState.ShowKeyCaptions = kept.ShowKeyCaptions;
        SavedState.AnimateWholeInstrument = kept.AnimateWholeInstrument;
    }
    FOwnState.reset();
}
