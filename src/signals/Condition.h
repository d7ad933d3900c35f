#pragma once
// A machine condition: which fault a synthesized waveform shows and the
// machine's figures it is built from. Plain data, copied freely between
// threads; the text form is what the ini file and the command lines hold.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class TConditionKind : int16_t {
    Stored, // the stored waveform of the measurement kind
    Good,
    Imbalance,
    Misalignment,
    Looseness,
    BearingOuter,
    BearingInner,
    BearingBall,
    BearingCage,
    Gear,
};
inline constexpr int CONDITION_KIND_COUNT = 10;

// A rolling bearing: N rolling elements of diameter d on the pitch diameter D
// (d and D in one unit of length), contact angle a in degrees.
struct TBearingGeometry {
    int16_t Elements = 8;
    double BallDiameter = 2.0;
    double PitchDiameter = 12.0;
    double ContactAngle = 0.0;
    bool operator==(const TBearingGeometry&) const = default;
};

struct TCondition {
    TConditionKind Kind = TConditionKind::Stored;
    double Rpm = 1480.0;
    double Velocity = 4.5; // mm/s RMS, 10-1000 Hz: what MEAS reads
    double Noise = 0.05;   // broadband noise RMS over the machine signal's RMS
    uint32_t Seed = 1;
    TBearingGeometry Bearing;
    int16_t Teeth = 23; // of the faulty gear, turning at Rpm
    bool operator==(const TCondition&) const = default;
};

// "stored", "good", "imbalance", ..., "gear".
const char* ConditionName(TConditionKind kind);
std::optional<TConditionKind> ParseConditionKind(std::string_view name);

// Sets one figure from its text: rpm, velocity, noise, seed, bearing
// (N,d,D,a) or teeth. False, with a one-line reason, for an unknown key or a
// value out of range; the condition is then unchanged.
bool SetConditionValue(TCondition& condition, std::string_view key, std::string_view value,
                       std::string& error);
// "imbalance rpm=1480 velocity=4.5 noise=0.05 seed=1 bearing=8,2,12,0 teeth=23"
std::string FormatCondition(const TCondition& condition);
// The name, then key=value words; missing keys keep their defaults. Nothing
// is taken from a text with any fault in it.
std::optional<TCondition> ParseCondition(std::string_view text, std::string& error);

struct TBearingFrequencies {
    double Bpfo, Bpfi, Bsf, Ftf; // Hz
};
TBearingFrequencies BearingFrequencies(const TBearingGeometry& bearing, double shaftHz);

// A frequency that names the condition in a spectrum, and its label
// ("1x", "BPFO", "2xBPFO", "GMF", "GMF-1x", ...).
struct TCharacteristicLine {
    double Hz;
    std::string Label;
};
// The condition's characteristic frequencies up to maxHz, lowest first.
std::vector<TCharacteristicLine> CharacteristicLines(const TCondition& condition, double maxHz);
// The defect or mesh frequency the condition's impacts or mesh repeat at;
// the shaft frequency for the others.
double FaultFrequency(const TCondition& condition);
