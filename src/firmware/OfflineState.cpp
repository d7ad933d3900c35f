#include "firmware/Offlinemode.h"

#include "platform/Codepage.h"
#include "platform/Strings.h"

TMenuState MenuState{};
TPointRecord CurrentPoint{};
TDeviceState SavedState;

std::string LcdStr(int id) {
    return Utf8ToCp1251(LoadStr(id));
}
