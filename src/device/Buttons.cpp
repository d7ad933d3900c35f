#include "device/Buttons.h"

#include "platform/Host.h"

namespace {

void Send(TKeyButtons& buttons, int16_t code) {
    if (buttons.OnKeyEvent) buttons.OnKeyEvent(code);
}

uint32_t SincePress(const TKeyButtons& buttons) {
    return GetTickCount() - buttons.PressTick; // unsigned: right across the wrap
}

} // namespace

void ButtonsInit(TKeyButtons& buttons) {
    buttons.RepeatTimer = std::make_unique<TTimer>();
    buttons.RepeatTimer->SetEnabled(false);
    buttons.RepeatTimer->SetOnTimer([&buttons] { RepeatTimerTimer(buttons); });
    ButtonsReset(buttons);
}

void ButtonsFree(TKeyButtons& buttons) {
    buttons.RepeatTimer.reset();
}

void ButtonsReset(TKeyButtons& buttons) {
    buttons.RepeatTimer->SetEnabled(false);
    buttons.HeldKey = 0;
}

void ButtonDown(TKeyButtons& buttons, int16_t key) {
    if (buttons.InputObserver) buttons.InputObserver->KeyDown(key);
    if (buttons.HeldKey != 0) {
        // A second press of the key already held (keyboard auto-repeat) is
        // not the other key: holding one key never makes "both keys".
        if (key != buttons.HeldKey && SincePress(buttons) < KEY_LONG_MS && buttons.OnKeyEvent) {
            buttons.HeldKey = 0;
            buttons.RepeatTimer->SetEnabled(false);
            Send(buttons, KEY_BOTH);
        }
        return;
    }
    buttons.HeldKey = key;
    buttons.PressTick = GetTickCount();
    buttons.RepeatTimer->Tag = 0;
    buttons.RepeatTimer->SetInterval(KEY_FIRST_REPEAT_MS);
    buttons.RepeatTimer->SetEnabled(true);
}

void ButtonUp(TKeyButtons& buttons) {
    if (buttons.InputObserver) buttons.InputObserver->KeyUp();
    buttons.RepeatTimer->SetEnabled(false);
    if (buttons.RepeatTimer->Tag == 0 && buttons.HeldKey != 0) {
        const int16_t offset = SincePress(buttons) >= KEY_LONG_MS ? KEY_LONG : KEY_SHORT;
        Send(buttons, static_cast<int16_t>(buttons.HeldKey + offset));
    }
    buttons.HeldKey = 0;
}

void RepeatTimerTimer(TKeyButtons& buttons) {
    buttons.RepeatTimer->Tag = 1;
    buttons.RepeatTimer->SetInterval(KEY_REPEAT_MS);
    Send(buttons, static_cast<int16_t>(buttons.HeldKey + KEY_REPEAT));
}
