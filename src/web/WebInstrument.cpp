#include "web/WebInstrument.h"

#include "device/Device.h"
#include "device/Deviceioemulation.h"
#include "device/LcdPicture.h"
#include "firmware/Offlinemode.h"
#include "state/Inifile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <utility>

namespace {

constexpr LANGID PRIMARY_LANGUAGE_MASK = 0x03FF;
constexpr LANGID SUBLANG_DEFAULT = 0x0400;

// The three-letter names (ISO 639-2/T, upper case) of the languages the
// program may be given a string table for, with the language tags a browser
// reports for them.
struct TLanguageName {
    LANGID Primary;
    const char* Tag;
    const char* Abbreviation;
};
// clang-format off
constexpr std::array<TLanguageName, 14> kLanguageNames{{
    {0x04, "zh", "ZHO"}, {0x07, "de", "DEU"}, {0x09, "en", "ENG"}, {0x0A, "es", "SPA"},
    {0x0C, "fr", "FRA"}, {0x10, "it", "ITA"}, {0x11, "ja", "JPN"}, {0x13, "nl", "NLD"},
    {0x15, "pl", "POL"}, {0x16, "pt", "POR"}, {0x19, "ru", "RUS"}, {0x1D, "sv", "SWE"},
    {0x22, "uk", "UKR"}, {0x23, "be", "BEL"},
}};
// clang-format on

std::string WebLanguageAbbreviation(LANGID id) {
    for (const TLanguageName& name : kLanguageNames)
        if (name.Primary == (id & PRIMARY_LANGUAGE_MASK)) return name.Abbreviation;
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%04X", static_cast<unsigned>(id));
    return hex;
}

} // namespace

LANGID LanguageFromTag(const std::string& tag) {
    std::string primary = tag.substr(0, tag.find_first_of("-_"));
    std::transform(primary.begin(), primary.end(), primary.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const TLanguageName& name : kLanguageNames)
        if (primary == name.Tag) return static_cast<LANGID>(SUBLANG_DEFAULT | name.Primary);
    return LANG_ENGLISH;
}

TWebInstrument::TWebInstrument(const std::string& stateText, LANGID systemLanguage,
                               std::function<void()> onRefresh)
    : FInstall(FHost), FOnRefresh(std::move(onRefresh)) {
    ReadState(stateText.size() > MAX_WEB_STATE_BYTES ? std::string() : stateText);
    SetThreadLanguage(systemLanguage);
    CreateDevice();
    if (const auto list = FindResource("LANGUAGE_LIST"))
        FLanguages = ReadLanguageList(*list, WebLanguageAbbreviation);
    if (FLanguages.empty()) {
        Host().ShowErrorMessage("RCDATA LANGUAGE_LIST not found");
        DeviceRefresh();
        return;
    }
    const auto start = ChooseStartLanguage(FLanguages, SavedState.LanguageName, GetThreadLanguage());
    SelectLanguage(static_cast<int>(*start));
}

TWebInstrument::~TWebInstrument() {
    DestroyDevice();
}

void TWebInstrument::CreateDevice() {
    g_Device = new TDevice(FirmwareMain, &MenuState.Backlight);
    g_Device->OnRefresh = [this] { DeviceRefresh(); };
    g_Device->OnKeyWait = PublishCurrentDeviceState;
}

void TWebInstrument::DestroyDevice() {
    if (!g_Device) return;
    // A worker waiting on a message box could never finish otherwise.
    FHost.MessageDismissed();
    delete g_Device;
    g_Device = nullptr;
}

void TWebInstrument::SelectLanguage(int index) {
    if (index < 0 || index >= static_cast<int>(FLanguages.size())) return;
    FLanguageIndex = index;
    const TLanguageItem& item = FLanguages[static_cast<std::size_t>(index)];
    SavedState.LanguageName = item.Name;
    SetThreadLanguage(item.Id);
    if (g_Device) g_Device->SetLanguage(item.Id);
}

void TWebInstrument::KeyDown(int16_t key) {
    if (g_Device) ButtonDown(g_Device->Buttons(), key);
}

void TWebInstrument::KeyUp() {
    if (g_Device) ButtonUp(g_Device->Buttons());
}

void TWebInstrument::KeepAlive() {
    if (g_Device) g_Device->KeepAlive();
}

bool TWebInstrument::IsOn() const {
    return g_Device && g_Device->IsOn();
}

void TWebInstrument::DeviceRefresh() {
    const TLcdPicture& picture = g_Device->Picture();
    for (std::size_t i = 0; i < picture.Pixels.size(); ++i) {
        const uint32_t argb = picture.Pixels[i];
        FRgba[4 * i + 0] = static_cast<uint8_t>(argb >> 16);
        FRgba[4 * i + 1] = static_cast<uint8_t>(argb >> 8);
        FRgba[4 * i + 2] = static_cast<uint8_t>(argb);
        FRgba[4 * i + 3] = static_cast<uint8_t>(argb >> 24);
    }
    if (FOnRefresh) FOnRefresh();
}

void TWebInstrument::ReadState(const std::string& text) {
    FIni = TIniDocument(text);
    ReadIniState(FIni, SavedState);
    // Until the next power-on's first key wait, a save takes what was read.
    PublishDeviceState(SavedState);
}

std::optional<std::string> TWebInstrument::SaveState() {
    TDeviceState state;
    if (IsParked()) {
        state = SavedState;
    } else {
        // The device fields belong to the worker while it runs; the host
        // fields to this thread.
        state = PublishedDeviceState();
        state.LanguageName = SavedState.LanguageName;
        state.UserManuals = SavedState.UserManuals;
        state.ShowKeyCaptions = SavedState.ShowKeyCaptions;
        state.PresenterSize = SavedState.PresenterSize;
        state.AnimateWholeInstrument = SavedState.AnimateWholeInstrument;
    }
    TIniDocument ini = FIni;
    WriteIniState(ini, state);
    std::string text = ini.Text();
    if (text.size() > MAX_WEB_STATE_BYTES) return std::nullopt;
    FIni = std::move(ini);
    return text;
}

bool TWebInstrument::IsBusy() const {
    return g_Device && g_Device->IsOn() && g_Device->WorkerState() == TWorkerState::Working;
}

void TWebInstrument::PowerOff() {
    if (g_Device) g_Device->PowerOff();
}

bool TWebInstrument::IsParked() const {
    return !g_Device || (!g_Device->IsOn() && g_Device->WorkerState() == TWorkerState::Parked);
}

std::optional<std::string> TWebInstrument::ApplyState(const std::string& text) {
    if (!IsParked() || text.size() > MAX_WEB_STATE_BYTES) return std::nullopt;
    const std::string previous = FIni.Text();
    ReadState(text);
    auto saved = SaveState();
    // What the program adds would take it past the limit: the old state stays.
    if (!saved) {
        ReadState(previous);
        return std::nullopt;
    }
    const auto start = ChooseStartLanguage(FLanguages, SavedState.LanguageName, GetThreadLanguage());
    if (start)
        SelectLanguage(static_cast<int>(*start));
    else
        DeviceRefresh();
    return saved;
}
