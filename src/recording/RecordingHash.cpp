#include "recording/RecordingHash.h"

#include "device/Lcd.h"
#include "state/Inifile.h"

uint64_t Fnv1a64(const void* data, std::size_t size) {
    uint64_t hash = 14695981039346656037ULL;
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        hash ^= bytes[i];
        hash *= 1099511628211ULL; // unsigned: wraps by definition
    }
    return hash;
}

uint64_t LcdHash() {
    return Fnv1a64(LcdBuffer, sizeof LcdBuffer);
}

std::string StateIniText(const TDeviceState& state) {
    TIniDocument ini;
    WriteIniState(ini, state);
    return ini.Text();
}

uint64_t StateHash(const TDeviceState& state) {
    TDeviceState device = state;
    device.LanguageName.clear();
    device.UserManuals.clear();
    device.ShowKeyCaptions = 0;
    device.PresenterSize = TDeviceState{}.PresenterSize;
    const std::string text = StateIniText(device);
    return Fnv1a64(text.data(), text.size());
}

uint64_t CurrentStateHash(bool deviceOn) {
    return StateHash(deviceOn ? PublishedDeviceState() : SavedState);
}
