#pragma once
// The firmware's four ways to reach the emulated hardware, all on g_Device.
#include <cstdint>

class TDevice;
extern TDevice* g_Device;

// Drops a pending key (never a pending power-off).
void FlushKey();
// Waits for the next key event; power-off raises the empty-message Exception.
int16_t WaitKey();
// As WaitKey, but returns 0 (KEY_NONE) when ms pass without an event.
int16_t WaitKeyTimeout(int ms);
// Paints LcdBuffer in the GUI thread and returns when it is done. Without a
// device (unit tests of the drawing code) it does nothing.
void RefreshLcd();
