#include "hints/Hints.h"

#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <array>
#include <mutex>

TKeyHints g_KeyHints;
TScreenHints g_ScreenHints;

namespace {

// Splits at CR, LF or CR LF; a final line break adds no empty line.
std::vector<std::string> SplitHintLines(const std::string& spec) {
    std::vector<std::string> lines;
    std::string current;
    bool pending = false;
    for (std::size_t i = 0; i < spec.size(); ++i) {
        const char c = spec[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' && i + 1 < spec.size() && spec[i + 1] == '\n') ++i;
            lines.push_back(current);
            current.clear();
            pending = false;
        } else {
            current += c;
            pending = true;
        }
    }
    if (pending) lines.push_back(current);
    return lines;
}

} // namespace

void TKeyHints::SetKeyHintText(const std::string& spec) {
    std::vector<std::string> lines = SplitHintLines(spec);
    lines.resize(5);
    for (std::size_t i = 1; i <= 4; ++i)
        if (lines[i] == "-") lines[i] = lines[i - 1];
    const std::string noActions = LoadStr(HINT_NO_ACTIONS);
    for (std::string& line : lines)
        if (line.empty()) line = noActions;

    const std::string shortClick = LoadStr(HINT_SHORT_CLICK) + " ";
    const std::string longClick = LoadStr(HINT_LONG_CLICK) + " ";
    const std::string bothKeys = LoadStr(HINT_BOTH_KEYS) + " " + lines[0];
    std::string k2 = shortClick + lines[1] + "\n" + longClick + lines[2] + "\n" + bothKeys;
    std::string k1 = shortClick + lines[3] + "\n" + longClick + lines[4] + "\n" + bothKeys;

    std::lock_guard lock(FLock);
    FK1Text = std::move(k1);
    FK2Text = std::move(k2);
}

std::string TKeyHints::GetKeyHintK1() {
    std::lock_guard lock(FLock);
    return FK1Text;
}

std::string TKeyHints::GetKeyHintK2() {
    std::lock_guard lock(FLock);
    return FK2Text;
}

void TScreenHints::ClearScreenHints() {
    std::lock_guard lock(FLock);
    FRegions.clear();
}

void TScreenHints::AddScreenHint(int left, int top, int right, int bottom, const std::string& text) {
    std::lock_guard lock(FLock);
    FRegions.push_back({left, top, right, bottom, text});
}

std::string TScreenHints::FindScreenHint(int x, int y) {
    std::lock_guard lock(FLock);
    for (const TScreenHintRegion& region : FRegions)
        if (region.Left <= x && x < region.Right && region.Top <= y && y < region.Bottom) return region.Text;
    return {};
}

std::vector<TScreenHintRegion> TScreenHints::Regions() {
    std::lock_guard lock(FLock);
    return FRegions;
}
