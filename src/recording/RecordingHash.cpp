#include "recording/RecordingHash.h"

#include "device/Lcd.h"
#include "state/IniSections.h"
#include "state/Inifile.h"

#include <cstdlib>

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

namespace {

// The state's ini document without the host's own fields.
TIniDocument DeviceIni(const TDeviceState& state) {
    TDeviceState device = state;
    device.LanguageName.clear();
    device.UserManuals.clear();
    device.ShowKeyCaptions = 0;
    device.PresenterSize = TDeviceState{}.PresenterSize;
    device.AnimateWholeInstrument = 0;
    TIniDocument ini;
    WriteIniState(ini, device);
    return ini;
}

uint64_t TextHash(const std::string& text) {
    return Fnv1a64(text.data(), text.size());
}

} // namespace

TStateFingerprint StateFingerprint(const TDeviceState& state) {
    TIniDocument ini = DeviceIni(state);
    TStateFingerprint fingerprint;
    for (const std::string& line : ini.ReadSectionValues(IniSection::MEASURED_TIMES)) {
        const std::size_t eq = line.find('=');
        // Written by WriteIniState as a positive number; anything else is no time.
        char* end = nullptr;
        const std::string value = line.substr(eq + 1);
        const double time = std::strtod(value.c_str(), &end);
        if (eq != std::string::npos && end != value.c_str() && *end == '\0')
            fingerprint.MeasuredTimes.emplace_back(line.substr(0, eq), time);
    }
    ini.EraseSection(IniSection::MEASURED_TIMES);
    fingerprint.Hash = TextHash(ini.Text());
    return fingerprint;
}

uint64_t StateHash(const TDeviceState& state) {
    return StateFingerprint(state).Hash;
}

uint64_t StateHashWithTimes(const TDeviceState& state) {
    return TextHash(DeviceIni(state).Text());
}

TDeviceState CurrentDeviceState(bool deviceOn) {
    return deviceOn ? PublishedDeviceState() : SavedState;
}

TStateFingerprint CurrentStateFingerprint(bool deviceOn) {
    return StateFingerprint(CurrentDeviceState(deviceOn));
}

uint64_t CurrentStateHash(bool deviceOn) {
    return CurrentStateFingerprint(deviceOn).Hash;
}
