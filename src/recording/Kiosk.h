#pragma once
// The kiosk of a trade-show stand: a tour (a recording) plays in a loop until
// a visitor touches anything; the instrument is then theirs, live; after the
// idle time with no input at all it goes back to the tour, from the tour's
// own starting state. What visitors do is thrown away: Finish puts the
// state the program started with back, so a kiosk session leaves the user's
// saved state as it found it.
//
// While the tour plays, the host holds the instrument's power-off and
// backlight time-outs (TDevice::HoldTimers): the tour's pauses never switch
// it off or darken it, and no key is pressed for that. A visitor gets the
// time-outs as the instrument has them.
//
// Front ends (the window, the page): create it over the device, set
// OnLanguage, call Start; feed UserInput with every key press, click, touch
// and pointer move before the input itself goes to the instrument; call
// Finish once the device has stopped. The kiosk's own timer (a TTimer of the
// host) drives the tour and the idle count. GUI thread only.
#include "recording/RecordingPlan.h"
#include "recording/RecordingPlayer.h"

#include "firmware/Offlinemode.h"
#include "platform/Timer.h"

#include <cstdint>
#include <functional>
#include <string>

// The idle time after which the kiosk goes back to the tour, in minutes.
inline constexpr int KIOSK_IDLE_MIN_MINUTES = 1;
inline constexpr int KIOSK_IDLE_MAX_MINUTES = 120;
inline constexpr int KIOSK_IDLE_DEFAULT_MINUTES = 3;

// A whole number of minutes within the bounds; false with a reason that
// names them.
bool ParseKioskIdleMinutes(const std::string& text, int& minutes, std::string& error);

class TDevice;

class TKiosk {
  public:
    enum class TPhase : uint8_t {
        Restarting, // the instrument is being switched off to start the tour anew
        Touring,
        Live, // a visitor has it
    };

    TKiosk(TDevice& device, TRecordingPlan tour, int idleMinutes);
    ~TKiosk();
    TKiosk(const TKiosk&) = delete;
    TKiosk& operator=(const TKiosk&) = delete;

    // As TRecordingPlayer's.
    std::function<void(const std::string&)>& OnLanguage() { return FPlayer.OnLanguage; }
    // Called after each change of phase.
    std::function<void()> OnPhaseChange;

    // Keeps the state in force as the user's own and starts the tour.
    void Start();
    // Any key, click, touch or pointer move of a visitor: during the tour it
    // stops the tour and hands the instrument over as it stands; while live
    // it starts the idle count anew.
    void UserInput();
    // Once the device has stopped (deleted, or parked): the state the kiosk
    // started with is back in SavedState and the machine conditions. Neither
    // this nor the destructor touches the device.
    void Finish();

    TPhase Phase() const { return FPhase; }
    // The tour's progress, 0..1 (0 unless touring).
    double TourProgress() const;
    uint32_t IdleMs() const { return FIdleMs; }

  private:
    void Restart();
    void TimerTick();
    void Arm(uint32_t ms);
    void SetPhase(TPhase phase);

    TDevice& FDevice;
    TRecordingPlan FTour;
    uint32_t FIdleMs;
    TRecordingPlayer FPlayer;
    TTimer FTimer;
    TPhase FPhase = TPhase::Live;
    bool FStarted = false;
    bool FHandOverWhenStopped = false;
    uint32_t FLastInputTick = 0;
    std::string FUserState; // the ini text of the state the kiosk started with
};
