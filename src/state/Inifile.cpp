#include "state/Inifile.h"

#include "firmware/Offlinemode.h"

#include <filesystem>

std::unique_ptr<TIniDocument> g_IniFile;

namespace {

std::string g_IniPath;

const char* const ROUTE = "RoutePoints";
const char* const UNROUTE = "UnroutePoints";
const char* const DEVICE = "DeviceState";
const char* const LANGUAGE = "Language";
const char* const MANUAL = "UserManual";

// Values are kept as 16-bit words: the low 16 bits of what the file holds.
int16_t Word(long long value) {
    return static_cast<int16_t>(static_cast<uint16_t>(value & 0xFFFF));
}

int16_t ReadWord(const char* section, const std::string& key, int16_t fallback) {
    return Word(g_IniFile->ReadInteger(section, key, fallback));
}

} // namespace

void LoadIniFile(const std::string& path, const std::string& formerPath) {
    g_IniPath = path;
    g_IniFile = std::make_unique<TIniDocument>(LoadIniDocument(path));
    std::error_code missing;
    if (!formerPath.empty() &&
        std::filesystem::symlink_status(path, missing).type() == std::filesystem::file_type::not_found) {
        // An unreadable former file is no reason to keep the state from path.
        if (TIniDocument former = LoadIniDocument(formerPath); former.MaySave())
            *g_IniFile = std::move(former);
    }
    TDeviceState& s = SavedState;
    s = TDeviceState{};
    for (int i = 0; i < ROUTE_POINT_COUNT; ++i)
        s.RoutePoints[i] = static_cast<uint16_t>(ReadWord(ROUTE, std::to_string(i + 1), 0));
    for (int n = 1;; ++n) {
        const int16_t word = ReadWord(UNROUTE, std::to_string(n), 0);
        if (word < 1) break;
        s.UnroutePoints.push_back(static_cast<uint16_t>(word));
    }
    s.MeasureUnit = ReadWord(DEVICE, "MeasureUnit", 0);
    s.ActiveMenu = ReadWord(DEVICE, "ActiveMenu", 0);
    s.SelectedPoint = ReadWord(DEVICE, "SelectedPoint", 1);
    s.IsPointSelectMenu = g_IniFile->ReadBool(DEVICE, "IsPointSelectMenu", false) ? 1 : 0;
    s.BacklightOn = g_IniFile->ReadBool(DEVICE, "BacklightOn", true) ? 1 : 0;
    s.AccelPK = ReadWord(DEVICE, "AccelPK", 0);
    s.VelocityRMS = ReadWord(DEVICE, "VelocityRMS", 0);
    s.DisplPP = ReadWord(DEVICE, "DisplPP", 0);
    s.FrequencyHz = ReadWord(DEVICE, "FrequencyHz", 0);
    s.LanguageName = g_IniFile->ReadString(LANGUAGE, "Name").value_or("");
    s.UserManuals = g_IniFile->ReadSectionValues(MANUAL);
}

bool SaveIniFile() {
    if (!g_IniFile) return false;
    // The user's configuration folder may not exist yet; a failure here shows
    // as a failed write below.
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(g_IniPath).parent_path(), ignored);
    const TDeviceState& s = SavedState;
    TIniDocument& ini = *g_IniFile;
    for (int i = 0; i < ROUTE_POINT_COUNT; ++i)
        ini.WriteInteger(ROUTE, std::to_string(i + 1), static_cast<int16_t>(s.RoutePoints[i]));
    ini.EraseSection(UNROUTE);
    for (std::size_t n = 0; n < s.UnroutePoints.size(); ++n)
        ini.WriteInteger(UNROUTE, std::to_string(n + 1), static_cast<int16_t>(s.UnroutePoints[n]));
    ini.EraseSection(DEVICE);
    ini.WriteInteger(DEVICE, "MeasureUnit", s.MeasureUnit);
    ini.WriteInteger(DEVICE, "ActiveMenu", s.ActiveMenu);
    ini.WriteInteger(DEVICE, "SelectedPoint", s.SelectedPoint);
    ini.WriteBool(DEVICE, "IsPointSelectMenu", s.IsPointSelectMenu != 0);
    ini.WriteBool(DEVICE, "BacklightOn", s.BacklightOn != 0);
    ini.WriteInteger(DEVICE, "AccelPK", s.AccelPK);
    ini.WriteInteger(DEVICE, "VelocityRMS", s.VelocityRMS);
    ini.WriteInteger(DEVICE, "DisplPP", s.DisplPP);
    ini.WriteInteger(DEVICE, "FrequencyHz", s.FrequencyHz);
    ini.EraseSection(LANGUAGE);
    ini.WriteString(LANGUAGE, "Name", s.LanguageName);
    for (const std::string& line : s.UserManuals) {
        const auto eq = line.find('=');
        const std::string name = line.substr(0, eq);
        if (!name.empty()) ini.WriteString(MANUAL, name, eq == std::string::npos ? "" : line.substr(eq + 1));
    }
    const bool saved = SaveIniDocument(ini, g_IniPath);
    g_IniFile.reset();
    return saved;
}
