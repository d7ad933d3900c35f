#include "signals/Condition.h"

#include "signals/SignalMath.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cstdio>
#include <locale>
#include <sstream>
#include <string>

namespace {

// clang-format off
constexpr std::array<const char*, CONDITION_KIND_COUNT> NAMES = {
    "stored", "good", "imbalance", "misalignment", "looseness",
    "bearing-outer", "bearing-inner", "bearing-ball", "bearing-cage", "gear"};
// clang-format on

// Ranges a trainer can ask for: shafts from 1 to 500 turns per second, levels
// from quiet to far beyond the converter's range (which then clips).
constexpr double RPM_MIN = 60.0;
constexpr double RPM_MAX = 30000.0;
constexpr double VELOCITY_MIN = 0.01;
constexpr double VELOCITY_MAX = 10000.0;
constexpr double NOISE_MAX = 2.0;
constexpr int TEETH_MIN = 2;
constexpr int TEETH_MAX = 200;
constexpr int ELEMENTS_MIN = 3;
constexpr int ELEMENTS_MAX = 60;
constexpr double ANGLE_MAX = 45.0;

// A decimal number as a C program writes it, whatever the user's locale; no
// sign but '-', no blanks. (A stream rather than std::from_chars, which the
// web edition's standard library has only for integers.)
bool ParseNumber(std::string_view text, double& value) {
    if (text.empty() || text.front() == '+' || std::isspace(static_cast<unsigned char>(text.front())) != 0)
        return false;
    std::istringstream in{std::string(text)};
    in.imbue(std::locale::classic());
    in >> std::noskipws >> value;
    return !in.fail() && in.peek() == std::char_traits<char>::eof() && value == value;
}

bool ParseUnsigned(std::string_view text, uint32_t& value) {
    if (text.empty()) return false;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc{} && result.ptr == end;
}

bool InRange(double value, double low, double high) {
    return value >= low && value <= high;
}

bool ParseBearing(std::string_view text, TBearingGeometry& bearing) {
    std::array<double, 4> v{};
    for (std::size_t i = 0; i < v.size(); ++i) {
        const auto comma = text.find(',');
        const bool last = i + 1 == v.size();
        if (last != (comma == std::string_view::npos)) return false;
        if (!ParseNumber(text.substr(0, comma), v[i])) return false;
        if (!last) text.remove_prefix(comma + 1);
    }
    if (v[0] != static_cast<double>(static_cast<int>(v[0])) || !InRange(v[0], ELEMENTS_MIN, ELEMENTS_MAX))
        return false;
    // The balls must fit on the pitch circle.
    if (!(v[1] > 0.0) || !(v[2] > v[1]) || v[2] > 1e6 || !InRange(v[3], 0.0, ANGLE_MAX)) return false;
    bearing = {static_cast<int16_t>(v[0]), v[1], v[2], v[3]};
    return true;
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

double DiameterRatio(const TBearingGeometry& bearing) {
    return bearing.BallDiameter / bearing.PitchDiameter * PortableCos(bearing.ContactAngle * PI / 180.0);
}

void AddSeries(std::vector<TCharacteristicLine>& lines, double hz, const std::string& name, int count,
               double maxHz) {
    for (int k = 1; k <= count && k * hz <= maxHz; ++k)
        lines.push_back({k * hz, name == "x" ? std::to_string(k) + "x"
                                 : k == 1    ? name
                                             : std::to_string(k) + "x" + name});
}

} // namespace

const char* ConditionName(TConditionKind kind) {
    const auto i = static_cast<std::size_t>(kind);
    return i < NAMES.size() ? NAMES[i] : NAMES[0];
}

std::optional<TConditionKind> ParseConditionKind(std::string_view name) {
    for (std::size_t i = 0; i < NAMES.size(); ++i)
        if (name == NAMES[i]) return static_cast<TConditionKind>(i);
    return std::nullopt;
}

bool SetConditionValue(TCondition& condition, std::string_view key, std::string_view value,
                       std::string& error) {
    double number = 0.0;
    uint32_t seed = 0;
    TBearingGeometry bearing;
    const std::string what = std::string(key) + "=" + std::string(value);
    if (key == "rpm") {
        if (!ParseNumber(value, number) || !InRange(number, RPM_MIN, RPM_MAX)) {
            error = "bad " + what + ": rpm is 60 to 30000";
            return false;
        }
        condition.Rpm = number;
    } else if (key == "velocity") {
        if (!ParseNumber(value, number) || !InRange(number, VELOCITY_MIN, VELOCITY_MAX)) {
            error = "bad " + what + ": velocity is 0.01 to 10000 mm/s";
            return false;
        }
        condition.Velocity = number;
    } else if (key == "noise") {
        if (!ParseNumber(value, number) || !InRange(number, 0.0, NOISE_MAX)) {
            error = "bad " + what + ": noise is 0 to 2";
            return false;
        }
        condition.Noise = number;
    } else if (key == "seed") {
        if (!ParseUnsigned(value, seed)) {
            error = "bad " + what + ": seed is 0 to 4294967295";
            return false;
        }
        condition.Seed = seed;
    } else if (key == "bearing") {
        if (!ParseBearing(value, bearing)) {
            error = "bad " + what + ": bearing is N,d,D,a with N 3 to 60, 0 < d < D, a 0 to 45 degrees";
            return false;
        }
        condition.Bearing = bearing;
    } else if (key == "teeth") {
        if (!ParseNumber(value, number) || number != static_cast<double>(static_cast<int>(number)) ||
            !InRange(number, TEETH_MIN, TEETH_MAX)) {
            error = "bad " + what + ": teeth is 2 to 200";
            return false;
        }
        condition.Teeth = static_cast<int16_t>(number);
    } else {
        error = "unknown key " + std::string(key) + " (rpm, velocity, noise, seed, bearing, teeth)";
        return false;
    }
    return true;
}

std::string FormatCondition(const TCondition& c) {
    const TBearingGeometry& b = c.Bearing;
    return std::string(ConditionName(c.Kind)) + " rpm=" + Number(c.Rpm) + " velocity=" + Number(c.Velocity) +
           " noise=" + Number(c.Noise) + " seed=" + std::to_string(c.Seed) +
           " bearing=" + std::to_string(b.Elements) + "," + Number(b.BallDiameter) + "," +
           Number(b.PitchDiameter) + "," + Number(b.ContactAngle) + " teeth=" + std::to_string(c.Teeth);
}

std::optional<TCondition> ParseCondition(std::string_view text, std::string& error) {
    std::vector<std::string_view> words;
    while (!text.empty()) {
        const auto start = text.find_first_not_of(" \t");
        if (start == std::string_view::npos) break;
        text.remove_prefix(start);
        const auto end = std::min(text.find_first_of(" \t"), text.size());
        words.push_back(text.substr(0, end));
        text.remove_prefix(end);
    }
    if (words.empty()) {
        error = "no condition name";
        return std::nullopt;
    }
    TCondition condition;
    const auto kind = ParseConditionKind(words[0]);
    if (!kind) {
        error = "unknown condition " + std::string(words[0]);
        return std::nullopt;
    }
    condition.Kind = *kind;
    for (std::size_t i = 1; i < words.size(); ++i) {
        const auto eq = words[i].find('=');
        if (eq == std::string_view::npos) {
            error = "expected key=value, not " + std::string(words[i]);
            return std::nullopt;
        }
        if (!SetConditionValue(condition, words[i].substr(0, eq), words[i].substr(eq + 1), error))
            return std::nullopt;
    }
    return condition;
}

TBearingFrequencies BearingFrequencies(const TBearingGeometry& bearing, double shaftHz) {
    const double r = DiameterRatio(bearing);
    const double n = bearing.Elements;
    return {n / 2.0 * shaftHz * (1.0 - r), n / 2.0 * shaftHz * (1.0 + r),
            bearing.PitchDiameter / (2.0 * bearing.BallDiameter) * shaftHz * (1.0 - r * r),
            shaftHz / 2.0 * (1.0 - r)};
}

double FaultFrequency(const TCondition& c) {
    const double fr = c.Rpm / 60.0;
    const TBearingFrequencies f = BearingFrequencies(c.Bearing, fr);
    switch (c.Kind) {
    case TConditionKind::BearingOuter:
        return f.Bpfo;
    case TConditionKind::BearingInner:
        return f.Bpfi;
    case TConditionKind::BearingBall:
        return f.Bsf;
    case TConditionKind::BearingCage:
        return f.Ftf;
    case TConditionKind::Gear:
        return c.Teeth * fr;
    default:
        return fr;
    }
}

std::vector<TCharacteristicLine> CharacteristicLines(const TCondition& c, double maxHz) {
    std::vector<TCharacteristicLine> lines;
    const double fr = c.Rpm / 60.0;
    const double fault = FaultFrequency(c);
    switch (c.Kind) {
    case TConditionKind::Stored:
        break;
    case TConditionKind::Good:
    case TConditionKind::Imbalance:
        AddSeries(lines, fr, "x", 2, maxHz);
        break;
    case TConditionKind::Misalignment:
        AddSeries(lines, fr, "x", 3, maxHz);
        break;
    case TConditionKind::Looseness:
        for (int half = 1; half <= 20 && half * fr / 2.0 <= maxHz; ++half)
            lines.push_back({half * fr / 2.0, half % 2 == 0 ? std::to_string(half / 2) + "x"
                                                            : std::to_string(half / 2) + ".5x"});
        break;
    case TConditionKind::BearingOuter:
    case TConditionKind::BearingInner:
    case TConditionKind::BearingBall:
    case TConditionKind::BearingCage: {
        const char* names[] = {"BPFO", "BPFI", "BSF", "FTF"};
        const auto which = static_cast<int>(c.Kind) - static_cast<int>(TConditionKind::BearingOuter);
        if (fr <= maxHz) lines.push_back({fr, "1x"});
        // Every harmonic in range: the impacts' comb reaches the top of the
        // band, and an unmarked strong line would puzzle a trainee.
        AddSeries(lines, fault, names[which], 40, maxHz);
        break;
    }
    case TConditionKind::Gear:
        if (fr <= maxHz) lines.push_back({fr, "1x"});
        for (const auto& [offset, label] : {std::pair{-1.0, "GMF-1x"}, {0.0, "GMF"}, {1.0, "GMF+1x"}})
            if (fault + offset * fr <= maxHz) lines.push_back({fault + offset * fr, label});
        if (2.0 * fault <= maxHz) lines.push_back({2.0 * fault, "2xGMF"});
        break;
    }
    // The shaft's own harmonics and the fault's may fall on one another.
    std::stable_sort(lines.begin(), lines.end(), [](const auto& a, const auto& b) { return a.Hz < b.Hz; });
    return lines;
}
