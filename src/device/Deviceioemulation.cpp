#include "device/Deviceioemulation.h"

#include "device/Device.h"

TDevice* g_Device = nullptr;

void FlushKey() {
    g_Device->FlushKeyEvent();
}

int16_t WaitKey() {
    return g_Device->GetKeyEvent(-1);
}

int16_t WaitKeyTimeout(int ms) {
    return g_Device->GetKeyEvent(ms);
}

void RefreshLcd() {
    if (g_Device != nullptr) g_Device->Refresh();
}
