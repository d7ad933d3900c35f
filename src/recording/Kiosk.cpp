#include "recording/Kiosk.h"

#include "recording/RecordingHash.h"

#include "device/Device.h"
#include "state/IniDocument.h"
#include "state/Inifile.h"

#include <algorithm>

namespace {

// How often the kiosk looks whether the instrument has stopped.
constexpr uint32_t kRestartPollMs = 20;

} // namespace

bool ParseKioskIdleMinutes(const std::string& text, int& minutes, std::string& error) {
    const bool digits =
        !text.empty() && text.size() <= 4 && text.find_first_not_of("0123456789") == std::string::npos;
    const int value = digits ? std::stoi(text) : 0;
    if (!digits || value < KIOSK_IDLE_MIN_MINUTES || value > KIOSK_IDLE_MAX_MINUTES) {
        error = "the kiosk's idle time is a whole number of minutes from " +
                std::to_string(KIOSK_IDLE_MIN_MINUTES) + " to " + std::to_string(KIOSK_IDLE_MAX_MINUTES) +
                ", got '" + text + "'";
        return false;
    }
    minutes = value;
    return true;
}

TKiosk::TKiosk(TDevice& device, TRecordingPlan tour, int idleMinutes)
    : FDevice(device), FTour(std::move(tour)),
      FIdleMs(static_cast<uint32_t>(std::clamp(idleMinutes, KIOSK_IDLE_MIN_MINUTES, KIOSK_IDLE_MAX_MINUTES)) *
              60000u),
      FPlayer(device) {
    FTimer.SetEnabled(false);
    FTimer.SetOnTimer([this] { TimerTick(); });
}

TKiosk::~TKiosk() {
    FTimer.SetEnabled(false);
}

void TKiosk::Start() {
    if (FStarted) return;
    FStarted = true;
    FUserState = StateIniText(SavedState);
    Restart();
}

void TKiosk::Finish() {
    FTimer.SetEnabled(false);
    FPlayer.Abandon();
    if (!FStarted) return;
    FStarted = false;
    ReadIniState(TIniDocument(FUserState), SavedState);
}

void TKiosk::Restart() {
    FPlayer.Stop();
    FHandOverWhenStopped = false;
    FDevice.PowerOff();
    SetPhase(TPhase::Restarting);
    // From the timer, never from here: a tour that ends at once must not
    // restart itself without end.
    Arm(1);
}

void TKiosk::UserInput() {
    FLastInputTick = GetTickCount();
    switch (FPhase) {
    case TPhase::Touring:
        FPlayer.Stop();
        FDevice.HoldTimers(false);
        SetPhase(TPhase::Live);
        Arm(FIdleMs);
        break;
    case TPhase::Restarting:
        FHandOverWhenStopped = true;
        break;
    case TPhase::Live:
        Arm(FIdleMs);
        break;
    }
}

double TKiosk::TourProgress() const {
    if (FPhase != TPhase::Touring || FPlayer.Duration() == 0) return 0;
    return static_cast<double>(FPlayer.Elapsed()) / FPlayer.Duration();
}

void TKiosk::TimerTick() {
    if (!FStarted) return;
    switch (FPhase) {
    case TPhase::Restarting:
        // The firmware keeps its state as it unwinds: the tour's start can go
        // in only once it has.
        if (FDevice.WorkerState() != TWorkerState::Parked) {
            Arm(kRestartPollMs);
            return;
        }
        if (FTour.HasState) ReadIniState(TIniDocument(FTour.StateIni), SavedState);
        if (FHandOverWhenStopped) {
            SetPhase(TPhase::Live);
            Arm(FIdleMs);
            return;
        }
        FDevice.HoldTimers(true);
        SetPhase(TPhase::Touring);
        FPlayer.Start(FTour);
        [[fallthrough]];
    case TPhase::Touring:
        FPlayer.Tick();
        // The loop: from the tour's start again.
        if (!FPlayer.Playing()) return Restart();
        Arm(std::max<uint32_t>(FPlayer.NextStepIn(), 1));
        return;
    case TPhase::Live: {
        const uint32_t idle = GetTickCount() - FLastInputTick;
        if (idle >= FIdleMs) return Restart();
        Arm(FIdleMs - idle);
        return;
    }
    }
}

void TKiosk::Arm(uint32_t ms) {
    FTimer.SetInterval(ms);
    FTimer.SetEnabled(false);
    FTimer.SetEnabled(true);
}

void TKiosk::SetPhase(TPhase phase) {
    if (phase == TPhase::Live) FDevice.HoldTimers(false);
    FPhase = phase;
    if (OnPhaseChange) OnPhaseChange();
}
