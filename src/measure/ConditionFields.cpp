#include "measure/ConditionFields.h"

#include "measure/PointConditions.h"
#include "resources/StringIds.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace {

// The ranges are those a condition's text accepts; a bearing's sizes are
// bounded further by their proportions, which the parser judges.
constexpr TConditionField FIELDS[] = {
    {"rpm", TEXT_RUNNING_SPEED, RPM_MIN, RPM_MAX, 1, 10},
    {"velocity", TEXT_SEVERITY, VELOCITY_MIN, VELOCITY_MAX, 3, 0.1},
    {"noise", TEXT_NOISE, 0, NOISE_MAX, 3, 0.01},
    // Every seed a condition may hold: a double holds them exactly.
    {"seed", TEXT_SEED, 0, std::numeric_limits<uint32_t>::max(), 0, 1},
    {"speed-jitter", TEXT_SPEED_JITTER, 0, SPEED_JITTER_MAX, 2, 1},
    {"elements", TEXT_ELEMENTS, ELEMENTS_MIN, ELEMENTS_MAX, 0, 1},
    {"ball", TEXT_BALL_DIAMETER, 0.01, 1000, 2, 1},
    {"pitch", TEXT_PITCH_DIAMETER, 0.02, 5000, 2, 1},
    {"angle", TEXT_CONTACT_ANGLE, 0, ANGLE_MAX, 1, 1},
    {"stage", TEXT_WEAR_STAGE, STAGE_MIN, STAGE_MAX, 0, 1},
    {"teeth", TEXT_TEETH, TEETH_MIN, TEETH_MAX, 0, 1},
    {"blades", TEXT_BLADES, BLADES_MIN, BLADES_MAX, 0, 1},
    {"resonance", TEXT_RESONANCE_HZ, RESONANCE_MIN_HZ, RESONANCE_MAX_HZ, 2, 1},
    {"share1", TEXT_SHARE_FIRST, SHARE_MIN, SHARE_MAX, 2, 1},
    {"share2", TEXT_SHARE_SECOND, SHARE_MIN, SHARE_MAX, 2, 1},
};

TNoteArg Figure(double value) {
    return {0, NoteFigure(value, -1)};
}

// A whole decimal figure: a comma or a point before the decimals, blanks
// around; no exponent, infinity or hexadecimal.
std::optional<double> ReadFigure(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (text.empty() || text.size() > 40) return std::nullopt;
    std::string figure(text);
    for (char& c : figure) {
        if (c == ',')
            c = '.';
        else if (!(c >= '0' && c <= '9') && c != '.' && c != '-' && c != '+')
            return std::nullopt;
    }
    char* end = nullptr;
    const double value = std::strtod(figure.c_str(), &end);
    if (end != figure.c_str() + figure.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

// The figure rounded to the field's decimals, as the field shows it.
double Rounded(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

} // namespace

std::span<const TConditionField> ConditionFields() {
    return FIELDS;
}

const TConditionField* FindConditionField(std::string_view key) {
    for (const TConditionField& field : FIELDS)
        if (key == field.Key) return &field;
    return nullptr;
}

double ConditionFieldValue(const TCondition& c, const TConditionField& field, int16_t source) {
    const std::string_view key = field.Key;
    if (key == "rpm") return c.Rpm;
    if (key == "velocity") return c.Velocity;
    if (key == "noise") return c.Noise;
    if (key == "seed") return SeededCondition(c, source).Seed.value_or(DEFAULT_SEED);
    if (key == "speed-jitter") return c.SpeedJitter;
    if (key == "elements") return c.Bearing.Elements;
    if (key == "ball") return c.Bearing.BallDiameter;
    if (key == "pitch") return c.Bearing.PitchDiameter;
    if (key == "angle") return c.Bearing.ContactAngle;
    if (key == "stage") return c.Stage;
    if (key == "teeth") return c.Teeth;
    if (key == "blades") return c.Blades;
    if (key == "resonance") return c.ResonanceHz;
    if (key == "share1") return c.Shares[0];
    return c.Shares[1];
}

std::optional<TConditionNote> ConditionRefusal(const TCondition& c) {
    if (c.Kind != TConditionKind::Stored && c.Kind == c.Second)
        return TConditionNote{
            TEXT_SAME_FAULT_TWICE, {{TEXT_CONDITION_STORED + static_cast<int>(c.Kind), {}}}, true};
    const TBearingGeometry& b = c.Bearing;
    if (!(b.BallDiameter < b.PitchDiameter))
        return TConditionNote{
            TEXT_BALL_NOT_BELOW_PITCH, {Figure(b.BallDiameter), Figure(b.PitchDiameter)}, true};
    TCondition scratch;
    std::string error;
    const std::string geometry = std::to_string(b.Elements) + "," + NoteFigure(b.BallDiameter, -1) + "," +
                                 NoteFigure(b.PitchDiameter, -1) + "," + NoteFigure(b.ContactAngle, -1);
    if (!SetConditionValue(scratch, "bearing", geometry, error))
        return TConditionNote{
            TEXT_BEARING_REFUSED,
            {{0, std::to_string(b.Elements)}, Figure(b.BallDiameter), Figure(b.PitchDiameter)},
            true};
    if (!SetConditionValue(scratch, "shares", NoteFigure(c.Shares[0], -1) + "," + NoteFigure(c.Shares[1], -1),
                           error))
        return TConditionNote{TEXT_SHARES_REFUSED, {Figure(c.Shares[0]), Figure(c.Shares[1])}, true};
    return std::nullopt;
}

std::optional<TConditionNote> SetConditionField(TCondition& condition, std::string_view key,
                                                std::string_view text, int16_t source) {
    TCondition c = condition;
    if (key == "kind" || key == "second") {
        const auto kind = ParseConditionKind(text);
        if (!kind) return TConditionNote{TEXT_FIELD_VALUE_UNKNOWN, {{0, std::string(text)}}, true};
        if (key == "kind") {
            c.Kind = *kind;
            if (c.Kind == TConditionKind::Stored) c.Second = TConditionKind::Stored;
        } else {
            c.Second = c.Kind == TConditionKind::Stored ? TConditionKind::Stored : *kind;
        }
    } else if (key == "line") {
        if (text != "50" && text != "60")
            return TConditionNote{TEXT_FIELD_VALUE_UNKNOWN, {{0, std::string(text)}}, true};
        c.LineHz = static_cast<int16_t>(text == "60" ? 60 : 50);
    } else {
        const TConditionField* field = FindConditionField(key);
        if (!field) return TConditionNote{TEXT_FIELD_VALUE_UNKNOWN, {{0, std::string(key)}}, true};
        const std::optional<double> read = ReadFigure(text);
        if (!read || Rounded(*read, field->Decimals) < field->Min ||
            Rounded(*read, field->Decimals) > field->Max)
            return TConditionNote{
                TEXT_VALUE_REFUSED,
                {{0, std::string(text)}, {field->NameId, {}}, Figure(field->Min), Figure(field->Max)},
                true};
        const double value = Rounded(*read, field->Decimals);
        // Only the counts' fields, whose ranges fit 16 bits, are narrowed.
        const auto whole = [value] { return static_cast<int16_t>(value); };
        if (key == "rpm")
            c.Rpm = value;
        else if (key == "velocity")
            c.Velocity = value;
        else if (key == "noise")
            c.Noise = value;
        else if (key == "seed") {
            const auto seed = static_cast<uint32_t>(value);
            if (c.Seed || seed != PointSeed(source)) c.Seed = seed;
        } else if (key == "speed-jitter")
            c.SpeedJitter = value;
        else if (key == "elements")
            c.Bearing.Elements = whole();
        else if (key == "ball")
            c.Bearing.BallDiameter = value;
        else if (key == "pitch")
            c.Bearing.PitchDiameter = value;
        else if (key == "angle")
            c.Bearing.ContactAngle = value;
        else if (key == "stage")
            c.Stage = whole();
        else if (key == "teeth")
            c.Teeth = whole();
        else if (key == "blades")
            c.Blades = whole();
        else if (key == "resonance")
            c.ResonanceHz = value;
        else if (key == "share1")
            c.Shares[0] = value;
        else
            c.Shares[1] = value;
    }
    if (auto refusal = ConditionRefusal(c)) return refusal;
    condition = c;
    return std::nullopt;
}
