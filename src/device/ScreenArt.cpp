#include "ScreenArt.h"

#include "device/Device.h"
#include "device/Lcd.h"
#include "hints/Hints.h"

#include <sstream>

std::string LcdArt() {
    std::string art;
    art.reserve(static_cast<std::size_t>(LCD_HEIGHT) * (LCD_WIDTH + 1));
    for (int row = 0; row < LCD_HEIGHT; ++row) {
        for (int column = 0; column < LCD_WIDTH; ++column) {
            const uint8_t byte = LcdBuffer[(row / 8) * LCD_WIDTH + column];
            art += (byte & (0x80 >> (row % 8))) != 0 ? '#' : '.';
        }
        art += '\n';
    }
    return art;
}

std::string ScreenArt(TDevice& device) {
    std::ostringstream out;
    out << LcdArt();
    out << "power " << (device.IsOn() ? "on" : "off") << ", " << (device.IsLit() ? "lit" : "unlit") << '\n';
    out << "K2 balloon:\n" << device.GetHintK2() << "\nK1 balloon:\n" << device.GetHintK1() << '\n';
    for (const TScreenHintRegion& r : g_ScreenHints.Regions())
        out << "region " << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom << ": " << r.Text
            << '\n';
    out << '\n';
    return out.str();
}
