#include "state/StateFileCheck.h"

#include "firmware/Offlinemode.h"
#include "signals/Condition.h"
#include "state/IniDocument.h"
#include "state/IniSections.h"

#include <climits>
#include <string_view>

namespace {

using namespace IniSection;

std::string_view Trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Every line is blank, a ';' comment, a [section] header or a key=value line
// under a header, as the program writes them; anything else is some other
// text (or one cut in the middle of its first header).
bool HasOnlyIniLines(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    bool inSection = false;
    while (!text.empty()) {
        const auto stop = text.find_first_of("\r\n");
        const std::string_view line = Trim(text.substr(0, stop));
        text.remove_prefix(stop == std::string_view::npos ? text.size() : stop + 1);
        if (line.empty() || line.front() == ';') continue;
        if (line.front() == '[' && line.find(']') != std::string_view::npos) {
            inSection = true;
            continue;
        }
        const auto eq = line.find('=');
        if (!inSection || eq == std::string_view::npos || eq == 0) return false;
    }
    return true;
}

// The keys the program writes in every save, whatever the state.
bool HasEveryWrittenKey(const TIniDocument& ini) {
    for (int i = 1; i <= ROUTE_POINT_COUNT; ++i)
        if (!ini.ReadString(ROUTE, std::to_string(i))) return false;
    for (const char* key : {"MeasureUnit", "ActiveMenu", "SelectedPoint", "IsPointSelectMenu", "BacklightOn",
                            "AccelPK", "VelocityRMS", "DisplPP", "FrequencyHz"})
        if (!ini.ReadString(DEVICE, key)) return false;
    return ini.ReadString(LANGUAGE, "Name").has_value();
}

class TValueCheck {
  public:
    explicit TValueCheck(const TIniDocument& ini, std::vector<std::string>& unreadable)
        : FIni(ini), FUnreadable(unreadable) {}

    // A number in [lo, hi]: the range of what the program writes there.
    bool Number(const char* section, const std::string& key, long long lo, long long hi) {
        // The fallback lies outside every 32-bit number: it says "not a number".
        const long long value = FIni.ReadInteger(section, key, LLONG_MIN);
        if (value >= lo && value <= hi) return true;
        Report(section, key);
        return false;
    }
    void Report(const char* section, const std::string& key) {
        FUnreadable.push_back(std::string("[") + section + "] " + key + "=" +
                              FIni.ReadString(section, key).value_or(""));
    }

  private:
    const TIniDocument& FIni;
    std::vector<std::string>& FUnreadable;
};

std::string KeyOf(const std::string& line) {
    return line.substr(0, line.find('='));
}

void CheckValues(const TIniDocument& ini, std::vector<std::string>& unreadable) {
    TValueCheck check(ini, unreadable);
    for (int i = 1; i <= ROUTE_POINT_COUNT; ++i)
        check.Number(ROUTE, std::to_string(i), INT16_MIN, INT16_MAX);

    // The list ends at its first missing key; a key past the end, or a value
    // that ends it early, loses the points after it.
    std::size_t count = 0;
    while (ini.ReadString(UNROUTE, std::to_string(count + 1)) &&
           check.Number(UNROUTE, std::to_string(count + 1), 1, INT16_MAX))
        ++count;
    const std::string broken = std::to_string(count + 1);
    for (const std::string& line : ini.ReadSectionValues(UNROUTE)) {
        const std::string key = KeyOf(line);
        bool listed = false;
        for (std::size_t n = 1; n <= count && !listed; ++n)
            listed = key == std::to_string(n);
        if (!listed && key != broken) check.Report(UNROUTE, key);
    }

    struct TRange {
        const char* Key;
        long long Lo, Hi;
    };
    // In the order the program writes them.
    // clang-format off
    const TRange device[] = {{"MeasureUnit", 0, 2}, {"ActiveMenu", 0, 3}, {"SelectedPoint", 1, OFFROUTE_FIRST_INDEX},
                             {"IsPointSelectMenu", 0, 1}, {"BacklightOn", 0, 1}, {"AccelPK", 0, 2},
                             {"VelocityRMS", 0, 2}, {"DisplPP", 0, 2}, {"FrequencyHz", 0, 1}};
    // clang-format on
    for (const TRange& range : device)
        check.Number(DEVICE, range.Key, range.Lo, range.Hi);

    for (const char* section : {CONDITIONS, MEASURED_CONDITIONS})
        for (const std::string& line : ini.ReadSectionValues(section)) {
            std::string error;
            if (!ParseCondition(line.substr(line.find('=') + 1), error)) check.Report(section, KeyOf(line));
        }
}

} // namespace

TStateFileCheck CheckStateFile(const std::string& text) {
    TStateFileCheck result;
    if (text.find('\0') != std::string::npos || !HasOnlyIniLines(text)) return result;
    const TIniDocument ini(text);
    if (!HasEveryWrittenKey(ini)) return result;
    CheckValues(ini, result.Unreadable);
    result.Verdict = result.Unreadable.empty() ? TStateFileVerdict::Sound : TStateFileVerdict::Damaged;
    return result;
}
