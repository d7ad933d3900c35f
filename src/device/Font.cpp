#include "device/Font.h"

// Filled by the device thread from the font resources; blank until then.
uint8_t Font1Data[FONT1_SIZE];
uint8_t Font2Data[FONT2_SIZE];
