#pragma once
// TDevice: the emulated instrument's hardware. It runs the firmware on a
// worker thread of its own and wakes it through a one-slot key mailbox; its
// two timers stand for the automatic power-off (60 s) and the backlight
// time-out (10 s); it paints the LCD into a picture the window shows.
//
// The device is on exactly while FPowerTimer is enabled. Everything but
// Execute, WaitKeyEvent, GetKeyEvent, FlushKeyEvent, LoadResources and
// Refresh runs in the GUI thread.
#include "device/Buttons.h"
#include "device/LcdPicture.h"
#include "platform/CriticalSection.h"
#include "platform/Event.h"
#include "platform/Strings.h"
#include "platform/Thread.h"
#include "platform/Timer.h"

#include <cstdint>
#include <functional>
#include <string>

// The firmware's entry: runs once per power-on, left only by an exception
// (normally the empty-message Exception of power-off).
using TFirmwareEntry = std::function<void()>;

inline constexpr uint32_t POWER_OFF_MS = 60000;
inline constexpr uint32_t BACKLIGHT_OFF_MS = 10000;

// Where the worker is: parked between power cycles (the firmware's state is
// in its resume record), waiting for a key inside the firmware, or working
// (a measurement, a redraw, a power-on or -off under way).
enum class TWorkerState { Parked, WaitingForKey, Working };

class TDevice : public TThread {
  public:
    // Starts the worker, which waits for the first power-on. backlight points
    // at the firmware's backlight flag (read only while painting); null reads
    // as off.
    TDevice(TFirmwareEntry firmware, const int16_t* backlight);
    // Stops the worker as at power-off, so the firmware keeps its state.
    ~TDevice() override;

    // GUI thread.
    void PostKeyEvent(int16_t code);
    void KeepAlive();
    void Paint();
    void SetLanguage(LANGID langId);
    void PowerTimerTimer();
    void BacklightTimerTimer();
    // While held, the power-off and backlight time-outs do not come: a host
    // playing a tour keeps the instrument on and lit without pressing its
    // keys. Letting go starts both counts anew. PowerOff still switches off.
    void HoldTimers(bool hold);
    std::string GetHintK1();
    std::string GetHintK2();
    // (x, y) is a point of the LCD picture.
    std::string GetScreenHint(int x, int y);
    // What the LCD says, for a screen reader, in the calling thread's
    // language ("off" while off). Read it in OnRefresh, while the worker waits.
    std::string GetScreenText() const;
    bool IsOn() const { return FPowerTimer.Enabled(); }
    // Switches the device off as its power-off timer does, without waiting
    // for the worker: WorkerState() reads Parked once the firmware has kept
    // its state.
    void PowerOff();
    TWorkerState WorkerState() const;
    // True while the worker is parked or waits for a key without a time-out:
    // then nothing but this thread (a key, a power-off) can wake it, so this
    // thread may read the firmware's store until it posts the next event.
    bool IsIdle() const;
    bool IsLit() const;
    const TLcdPicture& Picture() const { return FPicture; }

    // Worker thread.
    void FlushKeyEvent();
    int16_t WaitKeyEvent(int timeoutMs);
    int16_t GetKeyEvent(int timeoutMs);
    void Refresh();
    void LoadResources();

    // The key classifier the window, the web page and the runner feed with
    // key presses and releases (GUI thread).
    TKeyButtons& Buttons() { return FButtons; }

    // Called in the GUI thread after each repaint (and on a language change
    // while the device is off).
    std::function<void()> OnRefresh;
    // Called in the worker as the firmware starts to wait for a key (set it
    // before the first power-on).
    std::function<void()> OnKeyWait;

  protected:
    void Execute() override;

  private:
    std::string LoadFont(const char* name, uint8_t* buffer, std::size_t size);
    void ShowPowerOnHint();
    void SetWorkerState(TWorkerState state);

    TKeyButtons FButtons;
    TFirmwareEntry FFirmware;
    const int16_t* FBacklight;
    TEvent FEvent;
    mutable TCriticalSection FLock;
    TTimer FPowerTimer;
    TTimer FBacklightTimer;
    int16_t FKeyEvent = 0;
    bool FTimersHeld = false;
    TWorkerState FWorkerState = TWorkerState::Working; // under FLock
    bool FTimedWait = false;                           // under FLock: the key wait ends by itself
    LANGID FLanguage = LANG_ENGLISH;
    TLcdPicture FPicture;
};
