#include "device/Device.h"

#include "device/Font.h"
#include "device/Global.h"
#include "device/Lcd.h"
#include "device/LcdText.h"
#include "hints/Hints.h"
#include "platform/Exception.h"
#include "platform/Resources.h"
#include "resources/StringIds.h"

#include <cstring>
#include <mutex>

namespace {

// The key hint shown while the device is off: only K1 long click does something.

// The two codes that switch the device on: K1 long click and K1 held.
bool IsPowerOnCode(int16_t code) {
    return code == KEY_K1 + KEY_LONG || code == KEY_K1 + KEY_REPEAT;
}

void Restart(TTimer& timer) {
    timer.SetEnabled(false);
    timer.SetEnabled(true);
}

} // namespace

TDevice::TDevice(TFirmwareEntry firmware, const int16_t* backlight)
    : FFirmware(std::move(firmware)), FBacklight(backlight), FLanguage(GetThreadLanguage()) {
    FButtons.OnKeyEvent = [this](int16_t code) { PostKeyEvent(code); };
    ButtonsInit(FButtons);
    FPowerTimer.SetEnabled(false);
    FPowerTimer.SetInterval(POWER_OFF_MS);
    FPowerTimer.SetOnTimer([this] {
        if (!FTimersHeld) PowerTimerTimer();
    });
    FBacklightTimer.SetEnabled(false);
    FBacklightTimer.SetInterval(BACKLIGHT_OFF_MS);
    FBacklightTimer.SetOnTimer([this] {
        if (!FTimersHeld) BacklightTimerTimer();
    });
    LcdClear();
    Paint();
    Start();
}

TDevice::~TDevice() {
    Terminate();
    {
        std::lock_guard lock(FLock);
        FKeyEvent = KEY_POWER_OFF;
        FEvent.SetEvent();
    }
    WaitFor();
    FPowerTimer.SetEnabled(false);
    FBacklightTimer.SetEnabled(false);
    ButtonsFree(FButtons);
}

void TDevice::Execute() {
    while (!Terminated()) {
        SetWorkerState(TWorkerState::Parked);
        WaitKeyEvent(-1);
        SetWorkerState(TWorkerState::Working);
        if (Terminated()) break;
        try {
            FFirmware();
        } catch (const Exception& e) {
            if (!e.Message().empty()) Host().ShowErrorMessage(e.Message());
        }
        LcdClear();
        Refresh();
    }
}

void TDevice::PostKeyEvent(int16_t code) {
    const bool wasOff = !FPowerTimer.Enabled();
    if (wasOff) {
        if (!IsPowerOnCode(code)) return;
        // The press that switched the device on yields no further event.
        ButtonsReset(FButtons);
        code = KEY_NONE;
    }
    if (wasOff || code != KEY_NONE) {
        Restart(FPowerTimer);
        Restart(FBacklightTimer);
    }
    // Stored and signalled under one lock, as the worker takes and resets
    // under it: a signal set after the worker took the code would wake it
    // again with nothing in the box, a key event 0 that nobody sent.
    std::lock_guard lock(FLock);
    FKeyEvent = code;
    FEvent.SetEvent();
}

void TDevice::KeepAlive() {
    if (!FPowerTimer.Enabled()) return;
    Restart(FPowerTimer);
    // What the instrument does next depends on it: a recording keeps it.
    if (FButtons.InputObserver) FButtons.InputObserver->KeepAlive();
}

void TDevice::FlushKeyEvent() {
    std::lock_guard lock(FLock);
    if (FKeyEvent != KEY_POWER_OFF) FKeyEvent = KEY_NONE;
}

int16_t TDevice::WaitKeyEvent(int timeoutMs) {
    const TWaitResult result = FEvent.WaitFor(timeoutMs);
    int16_t code;
    bool reload;
    {
        std::lock_guard lock(FLock);
        reload = result == TWaitResult::Signaled && FKeyEvent == KEY_NONE;
        FEvent.ResetEvent();
        code = FKeyEvent;
        FKeyEvent = KEY_NONE;
    }
    // Every 0 that wakes the worker (power-on, backlight time-out, language
    // change) reloads fonts and texts before the firmware sees it.
    if (reload) LoadResources();
    return code;
}

int16_t TDevice::GetKeyEvent(int timeoutMs) {
    if (OnKeyWait) OnKeyWait();
    {
        std::lock_guard lock(FLock);
        FTimedWait = timeoutMs >= 0;
    }
    SetWorkerState(TWorkerState::WaitingForKey);
    const int16_t code = WaitKeyEvent(timeoutMs);
    SetWorkerState(TWorkerState::Working);
    if (code == KEY_POWER_OFF) throw Exception("");
    return code;
}

void TDevice::Refresh() {
    Synchronize([this] { Paint(); });
}

void TDevice::LoadResources() {
    std::string errors[2];
    {
        std::lock_guard lock(FLock);
        SetThreadLanguage(FLanguage);
        errors[0] = LoadFont("FONT1", Font1Data, FONT1_SIZE);
        errors[1] = LoadFont("FONT2", Font2Data, FONT2_SIZE);
        LoadDeviceTexts();
    }
    // Shown only after the lock is released: a timer firing in the box's
    // message loop takes the lock to post its event.
    for (const std::string& error : errors)
        if (!error.empty()) Host().ShowErrorMessage(error);
}

std::string TDevice::LoadFont(const char* name, uint8_t* buffer, std::size_t size) {
    const auto resource = FindResource(name);
    if (!resource) return std::string("RCDATA ") + name + " not found";
    if (resource->size() != size) return std::string("RCDATA ") + name + " size is incorrect";
    std::memcpy(buffer, resource->data(), size);
    return {};
}

bool TDevice::IsLit() const {
    return FBacklight != nullptr && *FBacklight != 0 && FBacklightTimer.Enabled();
}

void TDevice::Paint() {
    PaintLcdPicture(FPicture, IsLit());
    if (!FPowerTimer.Enabled()) ShowPowerOnHint();
    if (OnRefresh) OnRefresh();
}

void TDevice::ShowPowerOnHint() {
    g_KeyHints.SetKeyHintText(LoadStr(HINT_DEVICE_OFF));
    g_ScreenHints.ClearScreenHints();
}

void TDevice::SetLanguage(LANGID langId) {
    {
        std::lock_guard lock(FLock);
        FLanguage = langId;
    }
    // Choosing a language is use of the instrument as much as moving the
    // pointer over it: the power-off count starts anew, or a user who looks
    // through the languages sees it switch off under their hands.
    KeepAlive();
    PostKeyEvent(KEY_NONE);
    if (FPowerTimer.Enabled()) return;
    ShowPowerOnHint();
    if (OnRefresh) OnRefresh();
}

void TDevice::HoldTimers(bool hold) {
    if (FTimersHeld == hold) return;
    FTimersHeld = hold;
    if (hold || !FPowerTimer.Enabled()) return;
    Restart(FPowerTimer);
    if (FBacklightTimer.Enabled()) Restart(FBacklightTimer);
}

void TDevice::PowerOff() {
    if (FPowerTimer.Enabled()) PowerTimerTimer();
}

TWorkerState TDevice::WorkerState() const {
    std::lock_guard lock(FLock);
    return FWorkerState;
}

bool TDevice::IsIdle() const {
    std::lock_guard lock(FLock);
    return FWorkerState == TWorkerState::Parked ||
           (FWorkerState == TWorkerState::WaitingForKey && !FTimedWait);
}

void TDevice::SetWorkerState(TWorkerState state) {
    std::lock_guard lock(FLock);
    FWorkerState = state;
}

void TDevice::PowerTimerTimer() {
    PostKeyEvent(KEY_POWER_OFF);
    FPowerTimer.SetEnabled(false);
}

void TDevice::BacklightTimerTimer() {
    PostKeyEvent(KEY_NONE);
    FBacklightTimer.SetEnabled(false);
}

std::string TDevice::GetHintK1() {
    return g_KeyHints.GetKeyHintK1();
}

std::string TDevice::GetHintK2() {
    return g_KeyHints.GetKeyHintK2();
}

std::string TDevice::GetScreenText() const {
    return IsOn() ? LcdScreenText(LoadStr(TEXT_LCD_SELECTED)) : LoadStr(TEXT_LCD_SWITCHED_OFF);
}

std::string TDevice::GetScreenHint(int x, int y) {
    return g_ScreenHints.FindScreenHint((x - LCD_PICTURE_ORIGIN_X) / LCD_PICTURE_SCALE,
                                        (y - LCD_PICTURE_ORIGIN_Y) / LCD_PICTURE_SCALE);
}
