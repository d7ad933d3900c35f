#pragma once
// Key event codes as the firmware reads them: key number plus how it was
// pressed, or both keys together.
#include <cstdint>

inline constexpr int16_t KEY_NONE = 0;       // wakes the firmware without a key
inline constexpr int16_t KEY_POWER_OFF = -1; // never reaches firmware code
inline constexpr int16_t KEY_K1 = 1;         // the right key
inline constexpr int16_t KEY_K2 = 2;         // the left key
inline constexpr int16_t KEY_SHORT = 16;     // released before 300 ms
inline constexpr int16_t KEY_LONG = 32;      // released at or after 300 ms, before the first repeat
inline constexpr int16_t KEY_REPEAT = 48;    // held: at 1100 ms, then every 50 ms
inline constexpr int16_t KEY_BOTH = 64;      // second key within 300 ms of the first

inline constexpr uint32_t KEY_LONG_MS = 300;
inline constexpr uint32_t KEY_FIRST_REPEAT_MS = 1100;
inline constexpr uint32_t KEY_REPEAT_MS = 50;
