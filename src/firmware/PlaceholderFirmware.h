#pragma once
// A stand-in firmware entry until the instrument's own firmware exists: it
// shows the code of the last key event in large digits, so that the device
// runtime can be seen and driven.
#include <cstdint>

extern int16_t PlaceholderBacklight;

void PlaceholderFirmwareMain();
