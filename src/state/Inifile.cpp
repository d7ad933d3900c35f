#include "state/Inifile.h"

#include "firmware/Offlinemode.h"
#include "measure/PointConditions.h"
#include "state/IniSections.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

std::unique_ptr<TIniDocument> g_IniFile;

namespace {

using namespace IniSection;

std::string g_IniPath;

// Keys of the assignable sources other than the route points ("1".."13").
// clang-format off
const std::pair<int16_t, const char*> SOURCE_KEYS[] = {
    {SOURCE_WATCH, "Watch"}, {SOURCE_OFFROUTE, "OffRoute"}, {SOURCE_HF, "HF"}};
// clang-format on

std::string SourceKey(int16_t source) {
    for (const auto& [s, key] : SOURCE_KEYS)
        if (s == source) return key;
    if (source > SOURCE_OFFROUTE_BASE) return "OffRoute" + std::to_string(source - SOURCE_OFFROUTE_BASE);
    return std::to_string(source);
}

// An unknown or damaged entry is the stored waveform.
TCondition ReadCondition(const TIniDocument& ini, const char* section, const std::string& key) {
    std::string ignored;
    const auto text = ini.ReadString(section, key);
    if (!text) return TCondition{};
    return ParseCondition(*text, ignored).value_or(TCondition{});
}

// A time that is not a positive number reads as unknown (0).
double ReadTime(const TIniDocument& ini, const std::string& key) {
    const auto text = ini.ReadString(MEASURED_TIMES, key);
    if (!text) return 0.0;
    char* end = nullptr;
    const double time = std::strtod(text->c_str(), &end);
    return end != text->c_str() && *end == '\0' && std::isfinite(time) && time > 0 ? time : 0.0;
}

void LoadConditions(const TIniDocument& ini, const TDeviceState& s) {
    ClearConditions();
    for (int16_t source = 1; source <= ROUTE_POINT_COUNT; ++source)
        AssignCondition(source, ReadCondition(ini, CONDITIONS, SourceKey(source)));
    for (const auto& [source, key] : SOURCE_KEYS)
        AssignCondition(source, ReadCondition(ini, CONDITIONS, key));
    auto recordMeasured = [&](int16_t point) {
        RecordMeasuredCondition(point, ReadCondition(ini, MEASURED_CONDITIONS, SourceKey(point)));
        if (const double time = ReadTime(ini, SourceKey(point)); time > 0) RecordMeasuredTime(point, time);
    };
    for (int16_t point = 1; point <= ROUTE_POINT_COUNT; ++point)
        recordMeasured(point);
    for (std::size_t n = 1; n <= s.UnroutePoints.size(); ++n)
        recordMeasured(static_cast<int16_t>(SOURCE_OFFROUTE_BASE + n));
}

bool HoldsMeasurement(const TDeviceState& s, int16_t point) {
    if (point >= 1 && point <= ROUTE_POINT_COUNT)
        return (s.RoutePoints[static_cast<std::size_t>(point - 1)] & PS_MEASURED) != 0;
    if (point <= SOURCE_OFFROUTE_BASE) return false; // the WATCH mode's reading is never kept
    const auto n = static_cast<std::size_t>(point - SOURCE_OFFROUTE_BASE);
    return n <= s.UnroutePoints.size() && (s.UnroutePoints[n - 1] & PS_MEASURED) != 0;
}

void SaveConditions(TIniDocument& ini, const TDeviceState& s) {
    // Only what differs from the stored waveform is written, and a key already
    // in the file is kept up to date; other lines of the section stay. An
    // entry this program cannot read was taken as the stored waveform: while
    // that is still the point's condition the user's text stays as written.
    const auto assigned = AssignedConditions();
    auto write = [&](int16_t source) {
        const auto found = assigned.find(source);
        const std::string key = SourceKey(source);
        std::string unreadable;
        if (found != assigned.end())
            ini.WriteString(CONDITIONS, key, FormatCondition(found->second));
        else if (const auto text = ini.ReadString(CONDITIONS, key); text && ParseCondition(*text, unreadable))
            ini.WriteString(CONDITIONS, key, ConditionName(TConditionKind::Stored));
    };
    for (int16_t source = 1; source <= ROUTE_POINT_COUNT; ++source)
        write(source);
    for (const auto& [source, key] : SOURCE_KEYS)
        write(source);
    // What a point was measured with matters only while it holds the measurement.
    ini.EraseSection(MEASURED_CONDITIONS);
    for (const auto& [point, condition] : MeasuredConditions())
        if (HoldsMeasurement(s, point))
            ini.WriteString(MEASURED_CONDITIONS, SourceKey(point), FormatCondition(condition));
    ini.EraseSection(MEASURED_TIMES);
    for (const auto& [point, time] : MeasuredTimes()) {
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", time);
        if (time > 0 && HoldsMeasurement(s, point)) ini.WriteString(MEASURED_TIMES, SourceKey(point), text);
    }
}

// Values are kept as 16-bit words: the low 16 bits of what the file holds.
int16_t Word(long long value) {
    return static_cast<int16_t>(static_cast<uint16_t>(value & 0xFFFF));
}

int16_t ReadWord(const TIniDocument& ini, const char* section, const std::string& key, int16_t fallback) {
    return Word(ini.ReadInteger(section, key, fallback));
}

// The presenter sizes as the file names them (the page reads the same key).
struct TPresenterSizeName {
    uint8_t Halves;
    const char* Name;
};
constexpr TPresenterSizeName kPresenterSizes[] = {{2, "1x"}, {3, "1.5x"}, {4, "2x"}};

// Anything but a size the program offers is the normal size.
uint8_t ReadPresenterSize(const TIniDocument& ini) {
    const std::string text = ini.ReadString(PRESENTER, "Size").value_or("");
    for (const TPresenterSizeName& size : kPresenterSizes)
        if (text == size.Name) return size.Halves;
    return TDeviceState{}.PresenterSize;
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
    ReadIniState(*g_IniFile, SavedState);
}

void ReadIniState(const TIniDocument& ini, TDeviceState& s) {
    s = TDeviceState{};
    for (int i = 0; i < ROUTE_POINT_COUNT; ++i)
        s.RoutePoints[i] = static_cast<uint16_t>(ReadWord(ini, ROUTE, std::to_string(i + 1), 0));
    for (int n = 1;; ++n) {
        const int16_t word = ReadWord(ini, UNROUTE, std::to_string(n), 0);
        if (word < 1) break;
        s.UnroutePoints.push_back(static_cast<uint16_t>(word));
    }
    s.MeasureUnit = ReadWord(ini, DEVICE, "MeasureUnit", 0);
    s.ActiveMenu = ReadWord(ini, DEVICE, "ActiveMenu", 0);
    s.SelectedPoint = ReadWord(ini, DEVICE, "SelectedPoint", 1);
    s.IsPointSelectMenu = ini.ReadBool(DEVICE, "IsPointSelectMenu", false) ? 1 : 0;
    s.BacklightOn = ini.ReadBool(DEVICE, "BacklightOn", true) ? 1 : 0;
    s.AccelPK = ReadWord(ini, DEVICE, "AccelPK", 0);
    s.VelocityRMS = ReadWord(ini, DEVICE, "VelocityRMS", 0);
    s.DisplPP = ReadWord(ini, DEVICE, "DisplPP", 0);
    s.FrequencyHz = ReadWord(ini, DEVICE, "FrequencyHz", 0);
    s.LanguageName = ini.ReadString(LANGUAGE, "Name").value_or("");
    s.UserManuals = ini.ReadSectionValues(MANUAL);
    s.ShowKeyCaptions = ini.ReadBool(PRESENTER, "KeyCaptions", false) ? 1 : 0;
    s.PresenterSize = ReadPresenterSize(ini);
    s.AnimateWholeInstrument = ini.ReadBool(PRESENTER, "AnimateWholeInstrument", false) ? 1 : 0;
    s.ExerciseLinkAddress = ini.ReadString(TRAINING, "WebAddress").value_or("");
    LoadConditions(ini, s);
}

const std::string& IniFilePath() {
    return g_IniPath;
}

void WriteIniState(TIniDocument& ini, const TDeviceState& s) {
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
    // Written only when on: a file of the default look stays as older
    // versions wrote it.
    // The kiosk's idle time is the operator's own line, read at start only:
    // it stays as written.
    const std::optional<std::string> kioskIdle = ini.ReadString(PRESENTER, "KioskIdleMinutes");
    ini.EraseSection(PRESENTER);
    if (kioskIdle) ini.WriteString(PRESENTER, "KioskIdleMinutes", *kioskIdle);
    if (s.ShowKeyCaptions != 0) ini.WriteBool(PRESENTER, "KeyCaptions", true);
    for (const TPresenterSizeName& size : kPresenterSizes)
        if (size.Halves == s.PresenterSize && size.Halves != TDeviceState{}.PresenterSize)
            ini.WriteString(PRESENTER, "Size", size.Name);
    if (s.AnimateWholeInstrument != 0) ini.WriteBool(PRESENTER, "AnimateWholeInstrument", true);
    ini.EraseSection(TRAINING);
    if (!s.ExerciseLinkAddress.empty()) ini.WriteString(TRAINING, "WebAddress", s.ExerciseLinkAddress);
    SaveConditions(ini, s);
}

bool SaveIniFile(TIniSave* result) {
    if (result) *result = TIniSave::Failed;
    if (!g_IniFile) return false;
    // The user's configuration folder may not exist yet; a failure here shows
    // as a failed write below.
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(g_IniPath).parent_path(), ignored);
    WriteIniState(*g_IniFile, SavedState);
    const TIniSave outcome = SaveIniDocument(*g_IniFile, g_IniPath);
    if (result) *result = outcome;
    const bool saved = outcome == TIniSave::Saved;
    g_IniFile.reset();
    return saved;
}
