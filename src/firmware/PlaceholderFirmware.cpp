#include "firmware/PlaceholderFirmware.h"

#include "device/Deviceioemulation.h"
#include "device/KeyCodes.h"
#include "device/Lcd.h"

#include <cstdio>

int16_t PlaceholderBacklight = 1;

void PlaceholderFirmwareMain() {
    int16_t key = KEY_NONE;
    for (;;) {
        LcdClear();
        LcdLine(0, 31, 121, 31, LCD_MODE_SET);
        LcdLine(0, 0, 121, 0, LCD_MODE_SET);
        char digits[8];
        std::snprintf(digits, sizeof digits, "%d", key);
        LcdPutBigText(1, 40, 0, digits);
        LcdRefresh();
        key = WaitKey();
    }
}
