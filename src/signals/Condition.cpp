#include "signals/Condition.h"

#include "signals/SignalMath.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <locale>
#include <sstream>
#include <string>

namespace {

// clang-format off
constexpr std::array<const char*, CONDITION_KIND_COUNT> NAMES = {
    "stored", "good", "imbalance", "misalignment", "looseness",
    "bearing-outer", "bearing-inner", "bearing-ball", "bearing-cage", "gear",
    "electrical", "vane-pass", "resonance"};
// clang-format on

// What a default condition holds, for the keys written only when they differ.
const TCondition DEFAULTS;

// A decimal number as a C program writes it, whatever the user's locale; no
// sign but '-', no blanks. (A stream rather than std::from_chars, which the
// web edition's standard library has only for integers.)
bool ParseNumber(std::string_view text, double& value) {
    if (text.empty() || text.front() == '+' || std::isspace(static_cast<unsigned char>(text.front())) != 0)
        return false;
    std::istringstream in{std::string(text)};
    in.imbue(std::locale::classic());
    in >> std::noskipws >> value;
    return !in.fail() && in.peek() == std::char_traits<char>::eof() && std::isfinite(value);
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

// A whole number within [low, high]; the range is checked before any
// conversion, so 1e10 never reaches an integer type.
bool ParseWhole(std::string_view text, int low, int high, int16_t& value) {
    double number = 0.0;
    if (!ParseNumber(text, number) || !InRange(number, low, high) || number != std::floor(number))
        return false;
    value = static_cast<int16_t>(number);
    return true;
}

// Numbers separated by commas, exactly values.size() of them.
template <std::size_t Count> bool ParseList(std::string_view text, std::array<double, Count>& values) {
    for (std::size_t i = 0; i < Count; ++i) {
        const auto comma = text.find(',');
        const bool last = i + 1 == Count;
        if (last != (comma == std::string_view::npos)) return false;
        if (!ParseNumber(text.substr(0, comma), values[i])) return false;
        if (!last) text.remove_prefix(comma + 1);
    }
    return true;
}

bool ParseBearing(std::string_view text, TBearingGeometry& bearing) {
    std::array<double, 4> v{};
    if (!ParseList(text, v)) return false;
    const double n = v[0], d = v[1], pitch = v[2], angle = v[3];
    if (!InRange(n, ELEMENTS_MIN, ELEMENTS_MAX) || n != std::floor(n)) return false;
    if (!(d > 0.0) || !InRange(pitch, 0.0, PITCH_DIAMETER_MAX) || !InRange(angle, 0.0, ANGLE_MAX))
        return false;
    // Real proportions, and the balls must fit side by side on the pitch circle.
    if (!InRange(d / pitch, DIAMETER_RATIO_MIN, DIAMETER_RATIO_MAX) || !(n * d < PI * pitch)) return false;
    bearing = {static_cast<int16_t>(n), d, pitch, angle};
    return true;
}

bool ParseShares(std::string_view text, std::array<double, 2>& shares) {
    std::array<double, 2> v{};
    if (!ParseList(text, v) || !InRange(v[0], SHARE_MIN, SHARE_MAX) || !InRange(v[1], SHARE_MIN, SHARE_MAX))
        return false;
    const double sum = v[0] + v[1];
    if (v[0] < SHARE_LEAST_PART * sum || v[1] < SHARE_LEAST_PART * sum) return false;
    shares = v;
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

std::string SeriesLabel(int k, const std::string& name) {
    if (name == "x") return std::to_string(k) + "x";
    return k == 1 ? name : std::to_string(k) + "x" + name;
}

void AddSeries(std::vector<TCharacteristicLine>& lines, double hz, const std::string& name, int count,
               double maxHz) {
    if (!(hz > 0.0)) return;
    for (int k = 1; k <= std::min(count, MAX_LINES_PER_SERIES) && k * hz <= maxHz; ++k)
        lines.push_back({k * hz, SeriesLabel(k, name)});
}

// A line and its sidebands at +-offset, labelled "NAME-SB" and "NAME+SB".
void AddSidebands(std::vector<TCharacteristicLine>& lines, double hz, const std::string& name, double offset,
                  const std::string& sideband, double maxHz) {
    if (!(offset > 0.0)) return;
    for (const double sign : {-1.0, 1.0}) {
        const double at = hz + sign * offset;
        if (at > 0.0 && at <= maxHz) lines.push_back({at, name + (sign < 0 ? "-" : "+") + sideband});
    }
}

void AddLine(std::vector<TCharacteristicLine>& lines, double hz, const char* label, double maxHz) {
    if (hz > 0.0 && hz <= maxHz) lines.push_back({hz, label});
}

void AddPartLines(std::vector<TCharacteristicLine>& lines, const TCondition& c, double maxHz) {
    const double fr = c.Rpm / 60.0;
    const double fault = FaultFrequency(c);
    const TBearingFrequencies f = BearingFrequencies(c.Bearing, fr);
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
    // Every harmonic in range: the impacts' comb reaches the top of the
    // band, and an unmarked strong line would puzzle a trainee.
    case TConditionKind::BearingOuter:
        AddLine(lines, fr, "1x", maxHz);
        AddSeries(lines, f.Bpfo, "BPFO", MAX_LINES_PER_SERIES, maxHz);
        break;
    case TConditionKind::BearingInner:
        AddLine(lines, fr, "1x", maxHz);
        AddSeries(lines, f.Bpfi, "BPFI", MAX_LINES_PER_SERIES, maxHz);
        AddSidebands(lines, f.Bpfi, "BPFI", fr, "1x", maxHz);
        break;
    case TConditionKind::BearingBall:
        // The ball's spin (BSF, the table's figure) and the defect's impacts
        // (2xBSF: one strike on each race per spin), carried by the cage.
        AddLine(lines, fr, "1x", maxHz);
        AddSeries(lines, f.Bsf, "BSF", MAX_LINES_PER_SERIES, maxHz);
        AddSidebands(lines, 2.0 * f.Bsf, "2xBSF", f.Ftf, "FTF", maxHz);
        break;
    case TConditionKind::BearingCage:
        AddLine(lines, fr, "1x", maxHz);
        AddSeries(lines, f.Ftf, "FTF", MAX_LINES_PER_SERIES, maxHz);
        break;
    case TConditionKind::Gear:
        AddLine(lines, fr, "1x", maxHz);
        for (const auto& [offset, label] : {std::pair{-1.0, "GMF-1x"}, {0.0, "GMF"}, {1.0, "GMF+1x"}})
            AddLine(lines, fault + offset * fr, label, maxHz);
        AddLine(lines, 2.0 * fault, "2xGMF", maxHz);
        break;
    case TConditionKind::Electrical:
        // 2x running speed beside 2x line: the pair a trainee must tell apart.
        AddSeries(lines, fr, "x", 2, maxHz);
        AddLine(lines, fault, "2xLF", maxHz);
        AddSidebands(lines, fault, "2xLF", PolePassFrequency(c), "PP", maxHz);
        break;
    case TConditionKind::VanePass:
        AddLine(lines, fr, "1x", maxHz);
        AddSeries(lines, fault, "VPF", 3, maxHz);
        break;
    case TConditionKind::Resonance:
        AddSeries(lines, fr, "x", 2, maxHz);
        AddLine(lines, fault, "RES", maxHz);
        break;
    }
}

} // namespace

bool IsBearingKind(TConditionKind kind) {
    return kind == TConditionKind::BearingOuter || kind == TConditionKind::BearingInner ||
           kind == TConditionKind::BearingBall || kind == TConditionKind::BearingCage;
}

bool IsCombined(const TCondition& condition) {
    return condition.Second != TConditionKind::Stored && condition.Kind != TConditionKind::Stored;
}

TCondition ConditionPart(const TCondition& condition, int part) {
    TCondition single = condition;
    if (part == 1 && IsCombined(condition)) single.Kind = condition.Second;
    single.Second = TConditionKind::Stored;
    return single;
}

double ShareOf(const TCondition& condition, int part) {
    if (!IsCombined(condition)) return part == 0 ? 1.0 : 0.0;
    const auto& s = condition.Shares;
    return s[part == 0 ? 0 : 1] / (s[0] + s[1]);
}

const char* ConditionName(TConditionKind kind) {
    const auto i = static_cast<std::size_t>(kind);
    return i < NAMES.size() ? NAMES[i] : NAMES[0];
}

std::optional<TConditionKind> ParseConditionKind(std::string_view name) {
    for (std::size_t i = 0; i < NAMES.size(); ++i)
        if (name == NAMES[i]) return static_cast<TConditionKind>(i);
    return std::nullopt;
}

std::string ConditionLabel(const TCondition& c) {
    std::string label = ConditionName(c.Kind);
    if (IsCombined(c)) label += std::string("+") + ConditionName(c.Second);
    return label;
}

bool SetConditionName(TCondition& condition, std::string_view name, std::string& error) {
    const auto plus = name.find('+');
    const auto first = ParseConditionKind(name.substr(0, plus));
    if (!first) {
        error = "unknown condition " + std::string(name.substr(0, plus));
        return false;
    }
    if (plus == std::string_view::npos) {
        condition.Kind = *first;
        condition.Second = TConditionKind::Stored;
        return true;
    }
    const auto second = ParseConditionKind(name.substr(plus + 1));
    if (!second) {
        error = "unknown condition " + std::string(name.substr(plus + 1));
        return false;
    }
    if (*first == TConditionKind::Stored || *second == TConditionKind::Stored || *first == *second) {
        error = "bad combined condition " + std::string(name) + ": two different faults, neither stored";
        return false;
    }
    condition.Kind = *first;
    condition.Second = *second;
    return true;
}

bool SetConditionValue(TCondition& condition, std::string_view key, std::string_view value,
                       std::string& error) {
    double number = 0.0;
    uint32_t seed = 0;
    int16_t whole = 0;
    TBearingGeometry bearing;
    std::array<double, 2> shares{};
    const std::string what = "bad " + std::string(key) + "=" + std::string(value) + ": ";
    if (key == "rpm") {
        if (!ParseNumber(value, number) || !InRange(number, RPM_MIN, RPM_MAX)) {
            error = what + "rpm is 60 to 30000";
            return false;
        }
        condition.Rpm = number;
    } else if (key == "velocity") {
        if (!ParseNumber(value, number) || !InRange(number, VELOCITY_MIN, VELOCITY_MAX)) {
            error = what + "velocity is 0.01 to 70 mm/s, the instrument's range";
            return false;
        }
        condition.Velocity = number;
    } else if (key == "noise") {
        if (!ParseNumber(value, number) || !InRange(number, 0.0, NOISE_MAX)) {
            error = what + "noise is 0 to 2";
            return false;
        }
        condition.Noise = number;
    } else if (key == "seed") {
        if (!ParseUnsigned(value, seed)) {
            error = what + "seed is 0 to 4294967295";
            return false;
        }
        condition.Seed = seed;
    } else if (key == "bearing") {
        if (!ParseBearing(value, bearing)) {
            error = what + "bearing is N,d,D,a with N 3 to 100, 0 < d < D, d/D 0.02 to 0.5, N x d < pi x D, "
                           "a 0 to 45 degrees";
            return false;
        }
        condition.Bearing = bearing;
    } else if (key == "teeth") {
        if (!ParseWhole(value, TEETH_MIN, TEETH_MAX, whole)) {
            error = what + "teeth is a whole number 1 to 500";
            return false;
        }
        condition.Teeth = whole;
    } else if (key == "line") {
        if (value != "50" && value != "60") {
            error = what + "line is 50 or 60 Hz";
            return false;
        }
        condition.LineHz = value == "50" ? 50 : 60;
    } else if (key == "blades") {
        if (!ParseWhole(value, BLADES_MIN, BLADES_MAX, whole)) {
            error = what + "blades is a whole number 1 to 500";
            return false;
        }
        condition.Blades = whole;
    } else if (key == "resonance") {
        if (!ParseNumber(value, number) || !InRange(number, RESONANCE_MIN_HZ, RESONANCE_MAX_HZ)) {
            error = what + "resonance is 1 to 25000 Hz";
            return false;
        }
        condition.ResonanceHz = number;
    } else if (key == "stage") {
        if (!ParseWhole(value, STAGE_MIN, STAGE_MAX, whole)) {
            error = what + "stage is 1, 2, 3 or 4";
            return false;
        }
        condition.Stage = whole;
    } else if (key == "speed-jitter") {
        if (!ParseNumber(value, number) || !InRange(number, 0.0, SPEED_JITTER_MAX)) {
            error = what + "speed-jitter is 0 to 10 percent";
            return false;
        }
        condition.SpeedJitter = number;
    } else if (key == "shares") {
        if (!ParseShares(value, shares)) {
            error = what + "shares is a,b with each 0.01 to 100 and at least 1 % of their sum";
            return false;
        }
        condition.Shares = shares;
    } else {
        error = "unknown key " + std::string(key) +
                " (rpm, velocity, noise, seed, bearing, teeth, line, blades, resonance, stage, speed-jitter, "
                "shares)";
        return false;
    }
    return true;
}

std::string FormatCondition(const TCondition& c) {
    const TBearingGeometry& b = c.Bearing;
    std::string text = ConditionLabel(c) + " rpm=" + Number(c.Rpm) + " velocity=" + Number(c.Velocity) +
                       " noise=" + Number(c.Noise);
    if (c.Seed) text += " seed=" + std::to_string(*c.Seed);
    text += " bearing=" + std::to_string(b.Elements) + "," + Number(b.BallDiameter) + "," +
            Number(b.PitchDiameter) + "," + Number(b.ContactAngle) + " teeth=" + std::to_string(c.Teeth);
    const auto uses = [&c](TConditionKind kind) { return c.Kind == kind || c.Second == kind; };
    if (uses(TConditionKind::Electrical) || c.LineHz != DEFAULTS.LineHz)
        text += " line=" + std::to_string(c.LineHz);
    if (uses(TConditionKind::VanePass) || c.Blades != DEFAULTS.Blades)
        text += " blades=" + std::to_string(c.Blades);
    if (uses(TConditionKind::Resonance) || c.ResonanceHz != DEFAULTS.ResonanceHz)
        text += " resonance=" + Number(c.ResonanceHz);
    if (c.Stage != DEFAULTS.Stage) text += " stage=" + std::to_string(c.Stage);
    if (c.SpeedJitter != DEFAULTS.SpeedJitter) text += " speed-jitter=" + Number(c.SpeedJitter);
    if (IsCombined(c) || c.Shares != DEFAULTS.Shares)
        text += " shares=" + Number(c.Shares[0]) + "," + Number(c.Shares[1]);
    return text;
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
    if (!SetConditionName(condition, words[0], error)) return std::nullopt;
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

double PolePassFrequency(const TCondition& c) {
    const double twoPoleRpm = 60.0 * c.LineHz;
    if (!(c.Rpm > 0.0) || c.Rpm >= twoPoleRpm) return 0.0;
    // The pole pairs p whose synchronous speed 60 f / p is the nearest at or
    // above the running speed; rpm >= 60 keeps p at most 60.
    const double pairs = std::floor(twoPoleRpm / c.Rpm);
    const double slipHz = (twoPoleRpm / pairs - c.Rpm) / 60.0;
    return 2.0 * pairs * slipHz;
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
        return 2.0 * f.Bsf;
    case TConditionKind::BearingCage:
        return f.Ftf;
    case TConditionKind::Gear:
        return c.Teeth * fr;
    case TConditionKind::Electrical:
        return 2.0 * c.LineHz;
    case TConditionKind::VanePass:
        return c.Blades * fr;
    case TConditionKind::Resonance:
        return c.ResonanceHz;
    default:
        return fr;
    }
}

std::vector<TCharacteristicLine> CharacteristicLines(const TCondition& c, double maxHz) {
    std::vector<TCharacteristicLine> lines;
    AddPartLines(lines, ConditionPart(c, 0), maxHz);
    if (IsCombined(c)) AddPartLines(lines, ConditionPart(c, 1), maxHz);
    // The shaft's own harmonics and the fault's may fall on one another; a
    // line both parts mark is marked once.
    std::stable_sort(lines.begin(), lines.end(), [](const auto& a, const auto& b) { return a.Hz < b.Hz; });
    lines.erase(std::unique(lines.begin(), lines.end(),
                            [](const auto& a, const auto& b) { return a.Hz == b.Hz && a.Label == b.Label; }),
                lines.end());
    return lines;
}
