#include "training/ExerciseFile.h"

#include "measure/PointConditions.h"
#include "measure/Routes.h"
#include "platform/SafeFile.h"
#include "resources/StringIds.h"
#include "training/HiddenText.h"

#include <charconv>

namespace {

constexpr const char* kMagic = "ORX-700 exercise";

// The ini's keys of the waveform sources other than the route points.
const std::pair<int16_t, const char*> kSourceKeys[] = {
    {SOURCE_WATCH, "Watch"}, {SOURCE_OFFROUTE, "OffRoute"}, {SOURCE_HF, "HF"}};

std::string SourceKey(int16_t source) {
    for (const auto& [s, key] : kSourceKeys)
        if (s == source) return key;
    return std::to_string(source);
}

bool ParseSourceKey(const std::string& key, int16_t& source) {
    for (const auto& [s, name] : kSourceKeys)
        if (key == name) {
            source = s;
            return true;
        }
    int value = 0;
    const auto [end, ec] = std::from_chars(key.data(), key.data() + key.size(), value);
    if (ec != std::errc{} || end != key.data() + key.size() || value < 1 || value > ROUTE_POINT_COUNT)
        return false;
    source = static_cast<int16_t>(value);
    return true;
}

bool ParseNumber(const std::string& text, uint32_t max, uint32_t& value) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc{} && value <= max;
}

// The lines of the file before its check line: the canonical content.
std::string Body(const TExercise& exercise) {
    std::string hidden;
    for (const auto& [source, condition] : exercise.Conditions)
        if (condition.Kind != TConditionKind::Stored)
            hidden += SourceKey(source) + "=" + FormatCondition(condition) + "\n";
    for (std::size_t v = 1; v < exercise.Visits.size(); ++v)
        for (const auto& [source, condition] : exercise.Visits[v].Changes)
            hidden += "visit." + std::to_string(v + 1) + "." + SourceKey(source) + "=" +
                      FormatCondition(condition) + "\n";
    const int version = exercise.Visits.empty() ? 1 : EXERCISE_FILE_VERSION;
    std::string body = std::string(kMagic) + "\nversion=" + std::to_string(version) +
                       "\ntitle=" + EscapeValue(exercise.Title) +
                       "\ninstructions=" + EscapeValue(exercise.Instructions) +
                       "\ntime-limit=" + std::to_string(exercise.TimeLimitSeconds) + "\n";
    for (int m = 1; m <= EXERCISE_MACHINES; ++m)
        body += "machine." + std::to_string(m) + "=" +
                MachineGroupName(exercise.Groups[static_cast<std::size_t>(m - 1)]) + "\n";
    for (const TAskedPoint& asked : exercise.Asked) {
        body += "ask." + std::to_string(asked.Point) + "=" + AskName(asked.What) + "\n";
        if (asked.What == TAsk::Visit)
            body += "reach." + std::to_string(asked.Point) + "=" + asked.Zone + "\n";
        if (!asked.Hint.empty())
            body += "hint." + std::to_string(asked.Point) + "=" + EscapeValue(asked.Hint) + "\n";
    }
    for (std::size_t v = 0; v < exercise.Visits.size(); ++v)
        body += "visit." + std::to_string(v + 1) + "=" + VisitDateText(exercise.Visits[v].Date) + "\n";
    return body + "hidden=" + EncodeHiddenText(hidden);
}

// A line "key=value" with key as expected; value is then what follows.
bool Take(const std::vector<std::string>& lines, std::size_t& at, std::string_view key, std::string& value) {
    if (at >= lines.size()) return false;
    const std::string& line = lines[at];
    if (line.size() < key.size() + 1 || line.compare(0, key.size(), key) != 0 || line[key.size()] != '=')
        return false;
    value = line.substr(key.size() + 1);
    ++at;
    return true;
}

bool TakeText(const std::vector<std::string>& lines, std::size_t& at, std::string_view key, std::size_t max,
              std::string& text) {
    std::string raw;
    return Take(lines, at, key, raw) && UnescapeValue(raw, text) && text.size() <= max;
}

// A hidden line's key: a source, or in version 2 "visit.N.SOURCE" of a
// later visit (visit 0 for the first).
bool ParseHiddenKey(const std::string& key, int version, std::size_t visits, std::size_t& visit,
                    int16_t& source) {
    visit = 0;
    if (version < 2 || !key.starts_with("visit.")) return ParseSourceKey(key, source);
    const std::size_t dot = key.find('.', 6);
    uint32_t number = 0;
    if (dot == std::string::npos || !ParseNumber(key.substr(6, dot - 6), EXERCISE_VISITS_MAX, number) ||
        number < 2 || number > visits)
        return false;
    visit = number - 1;
    return ParseSourceKey(key.substr(dot + 1), source);
}

// The body's fields after its version line; false for anything out of place.
bool ParseBody(const std::vector<std::string>& lines, int version, TExercise& out) {
    std::size_t at = 2;
    std::string value;
    uint32_t number = 0;
    if (!TakeText(lines, at, "title", EXERCISE_TITLE_MAX, out.Title)) return false;
    if (!TakeText(lines, at, "instructions", EXERCISE_INSTRUCTIONS_MAX, out.Instructions)) return false;
    if (!Take(lines, at, "time-limit", value) || !ParseNumber(value, EXERCISE_TIME_LIMIT_MAX, number))
        return false;
    out.TimeLimitSeconds = number;
    for (int m = 1; m <= EXERCISE_MACHINES; ++m)
        if (!Take(lines, at, "machine." + std::to_string(m), value) ||
            !ParseMachineGroup(value, out.Groups[static_cast<std::size_t>(m - 1)]))
            return false;
    while (at < lines.size() && lines[at].starts_with("ask.")) {
        const std::size_t eq = lines[at].find('=');
        uint32_t point = 0;
        TAskedPoint asked;
        if (eq == std::string::npos || !ParseNumber(lines[at].substr(4, eq - 4), ROUTE_POINT_COUNT, point) ||
            !ParseAsk(std::string_view(lines[at]).substr(eq + 1), asked.What))
            return false;
        asked.Point = static_cast<int16_t>(point);
        ++at;
        if (asked.What == TAsk::Visit) {
            if (version < 2 || !Take(lines, at, "reach." + std::to_string(point), value) || value.size() != 1)
                return false;
            asked.Zone = value[0];
        }
        const std::string hintKey = "hint." + std::to_string(point);
        if (at < lines.size() && lines[at].starts_with(hintKey + "=") &&
            !TakeText(lines, at, hintKey, EXERCISE_HINT_MAX, asked.Hint))
            return false;
        out.Asked.push_back(std::move(asked));
    }
    for (std::size_t v = 1;
         version >= 2 && v <= EXERCISE_VISITS_MAX + 1 && Take(lines, at, "visit." + std::to_string(v), value);
         ++v) {
        TVisit visit;
        if (!ParseVisitDate(value, visit.Date)) return false;
        out.Visits.push_back(std::move(visit));
    }
    if (!Take(lines, at, "hidden", value) || at != lines.size()) return false;
    const auto hidden = DecodeHiddenText(value);
    if (!hidden) return false;
    for (const std::string& line : SplitTextLines(*hidden)) {
        const std::size_t eq = line.find('=');
        int16_t source = 0;
        std::size_t visit = 0;
        std::string reason;
        if (eq == std::string::npos ||
            !ParseHiddenKey(line.substr(0, eq), version, out.Visits.size(), visit, source))
            return false;
        auto& conditions = visit == 0 ? out.Conditions : out.Visits[visit].Changes;
        if (conditions.contains(source)) return false;
        const auto condition = ParseCondition(line.substr(eq + 1), reason);
        if (!condition) return false;
        conditions[source] = *condition;
    }
    return CheckExercise(out) == 0;
}

} // namespace

std::string EscapeValue(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

bool UnescapeValue(const std::string& text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size()) return false;
        if (text[i] == '\\')
            out += '\\';
        else if (text[i] == 'n')
            out += '\n';
        else if (text[i] == 'r')
            out += '\r';
        else
            return false;
    }
    return true;
}

std::vector<std::string> SplitTextLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = text.starts_with("\xEF\xBB\xBF") ? 3 : 0;
    while (at < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos) {
            lines.push_back(text.substr(at));
            break;
        }
        lines.push_back(text.substr(at, end - at));
        at = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

std::string FormatExercise(const TExercise& exercise) {
    const std::string body = Body(exercise);
    return body + "\ncheck=" + HashHex(ContentHash(body)) + "\n";
}

std::string ExerciseFingerprint(const TExercise& exercise) {
    return HashHex(ContentHash(FormatExercise(exercise)));
}

int ParseExercise(const std::string& text, TExercise& exercise) {
    std::vector<std::string> lines = SplitTextLines(text);
    if (lines.empty() || lines[0] != kMagic) return TEXT_EXERCISE_FOREIGN;
    std::string value;
    std::size_t at = 1;
    uint32_t version = 0;
    if (!Take(lines, at, "version", value) || !ParseNumber(value, UINT32_MAX / 2, version) || version == 0)
        return lines.size() < 2 ? TEXT_EXERCISE_TRUNCATED : TEXT_EXERCISE_DAMAGED;
    if (version > EXERCISE_FILE_VERSION) return TEXT_EXERCISE_FUTURE;
    // Blank lines at the end are no part of it (an editor may add one).
    while (!lines.empty() && lines.back().empty())
        lines.pop_back();
    if (lines.back().starts_with("check=")) {
        std::string body;
        for (std::size_t i = 0; i + 1 < lines.size(); ++i)
            body += (i ? "\n" : "") + lines[i];
        if (lines.back() != "check=" + HashHex(ContentHash(body))) return TEXT_EXERCISE_DAMAGED;
    } else {
        return TEXT_EXERCISE_TRUNCATED;
    }
    lines.pop_back();
    TExercise read;
    if (!ParseBody(lines, static_cast<int>(version), read)) return TEXT_EXERCISE_DAMAGED;
    exercise = std::move(read);
    return 0;
}

int ReadExerciseFile(const std::string& path, TExercise& exercise) {
    std::string text;
    switch (ReadRegularFile(path, MAX_EXERCISE_FILE_BYTES, text)) {
    case TFileRead::Read:
        return ParseExercise(text, exercise);
    case TFileRead::Missing:
    case TFileRead::Refused:
        break;
    }
    return TEXT_EXERCISE_UNREADABLE;
}
