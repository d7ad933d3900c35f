#pragma once
// A machine condition: which fault a synthesized waveform shows and the
// machine's figures it is built from. Plain data, copied freely between
// threads; the text form is what the ini file and the command lines hold.
// Every value a condition holds lies within the bounds below: the parser is
// the one door (ini, orx700-sim's condition, orx700-dsp synth's options), so
// the synthesis may trust what it is given.
#include <array>
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
    Electrical, // an induction motor's stator fault: 2x line frequency
    VanePass,   // a pump's or fan's vanes passing the cutwater
    Resonance,  // a structural resonance amplifying what lies near it
};
inline constexpr int CONDITION_KIND_COUNT = 13;

// Bounds of every figure, from any source. Shafts turn 1 to 500 times a
// second; the severity reaches the instrument's velocity range.
inline constexpr double RPM_MIN = 60.0;
inline constexpr double RPM_MAX = 30000.0;
inline constexpr double VELOCITY_MIN = 0.01;
inline constexpr double VELOCITY_MAX = 70.0;
inline constexpr double NOISE_MAX = 2.0;
inline constexpr int TEETH_MIN = 1;
inline constexpr int TEETH_MAX = 500;
inline constexpr int BLADES_MIN = 1;
inline constexpr int BLADES_MAX = 500;
inline constexpr int ELEMENTS_MIN = 3;
inline constexpr int ELEMENTS_MAX = 100;
inline constexpr double ANGLE_MAX = 45.0;
// Ball over pitch diameter: needle bearings go down to about 0.05 and no
// bearing has balls wider than half its pitch circle (the inner race and the
// shaft must fit inside). Outside this, BSF and BPFI run away from anything a
// bearing table lists; N balls must also fit on the circle (N d < pi D).
inline constexpr double DIAMETER_RATIO_MIN = 0.02;
inline constexpr double DIAMETER_RATIO_MAX = 0.5;
inline constexpr double PITCH_DIAMETER_MAX = 100000.0;
// A resonance anywhere the high-frequency spectrum can show.
inline constexpr double RESONANCE_MIN_HZ = 1.0;
inline constexpr double RESONANCE_MAX_HZ = 25000.0;
inline constexpr int STAGE_MIN = 1;
inline constexpr int STAGE_MAX = 4;
inline constexpr double SPEED_JITTER_MAX = 10.0; // percent
// Each share of a combined condition, and the least part of their sum one
// may hold.
inline constexpr double SHARE_MIN = 0.01;
inline constexpr double SHARE_MAX = 100.0;
inline constexpr double SHARE_LEAST_PART = 0.01;
// Off a point (orx700-dsp synth), a condition that names no seed uses this one.
inline constexpr uint32_t DEFAULT_SEED = 1;

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
    // A second fault of the same machine ("A+B"); Stored when there is none.
    // Both parts share the machine's figures below.
    TConditionKind Second = TConditionKind::Stored;
    double Rpm = 1480.0;
    // mm/s RMS over 10-1000 Hz, 2-1000 Hz at 600 rpm and below: the machine's
    // severity, which MEAS reads whole when 1x lies in its band.
    double Velocity = 4.5;
    double Noise = 0.05; // broadband noise RMS over the machine signal's RMS
    // The noise and slip sequence. None: the point's own (so two machines
    // never share noise peaks), DEFAULT_SEED off a point.
    std::optional<uint32_t> Seed;
    TBearingGeometry Bearing;
    int16_t Teeth = 23;        // of the faulty gear, turning at Rpm
    int16_t LineHz = 50;       // electrical: the supply, 50 or 60 Hz
    int16_t Blades = 6;        // vane-pass: vanes or blades of the impeller
    double ResonanceHz = 26.0; // resonance: the structure's natural frequency
    // A bearing's wear, 1 (only high-frequency ringing) to 4 (broadband
    // haystack, rising 1x); 2 is a defect whose envelope lines show.
    int16_t Stage = 2;
    double SpeedJitter = 0.0; // percent: running speed variation between readings
    // A combined condition's shares of the severity's mean square: part i on
    // its own reads sqrt(ShareOf(i)) x Velocity, and both together Velocity.
    std::array<double, 2> Shares{1.0, 1.0};
    bool operator==(const TCondition&) const = default;
};

bool IsBearingKind(TConditionKind kind);
bool IsCombined(const TCondition& condition);
// Part 0 or 1 of a combined condition as a single one (Kind the part's,
// Second Stored, the same figures); part 0 of a single condition is itself.
TCondition ConditionPart(const TCondition& condition, int part);
// The part's fraction of the severity's mean square (1 for a single one).
double ShareOf(const TCondition& condition, int part);

// "stored", "good", "imbalance", ..., "gear", "electrical", "vane-pass",
// "resonance".
const char* ConditionName(TConditionKind kind);
std::optional<TConditionKind> ParseConditionKind(std::string_view name);
// "imbalance" or "imbalance+bearing-outer".
std::string ConditionLabel(const TCondition& condition);
// Sets Kind and Second from "A" or "A+B" (two different faults, neither
// stored). False, with a one-line reason, otherwise; condition unchanged.
bool SetConditionName(TCondition& condition, std::string_view name, std::string& error);

// Sets one figure from its text: rpm, velocity, noise, seed, bearing
// (N,d,D,a), teeth, line, blades, resonance, stage, speed-jitter or shares
// (a,b). False, with a one-line reason, for an unknown key or a value out of
// bounds; the condition is then unchanged.
bool SetConditionValue(TCondition& condition, std::string_view key, std::string_view value,
                       std::string& error);
// "imbalance rpm=1480 velocity=4.5 noise=0.05 seed=1 bearing=8,2,12,0 teeth=23";
// the seed only when one is set, and the newer keys only where the condition
// uses them or they differ from their defaults, so that a condition of the
// older kinds keeps the text older versions of the program read.
std::string FormatCondition(const TCondition& condition);
// The name, then key=value words; missing keys keep their defaults. Nothing
// is taken from a text with any fault in it.
std::optional<TCondition> ParseCondition(std::string_view text, std::string& error);

struct TBearingFrequencies {
    double Bpfo, Bpfi, Bsf, Ftf; // Hz
};
TBearingFrequencies BearingFrequencies(const TBearingGeometry& bearing, double shaftHz);
// An induction motor's pole-pass frequency: its poles times the slip
// frequency, the poles being those whose synchronous speed is the nearest at
// or above the running speed (0 at or above the two-pole speed).
double PolePassFrequency(const TCondition& condition);

// A frequency that names the condition in a spectrum, and its label
// ("1x", "BPFO", "2xBPFO", "GMF", "GMF-1x", "2xLF", "VPF", "RES", ...).
struct TCharacteristicLine {
    double Hz;
    std::string Label;
};
// The condition's characteristic frequencies up to maxHz, lowest first; a
// combined condition's are both parts'. At most MAX_LINES_PER_SERIES of one
// harmonic series (the bounds keep the lowest series within it up to 1 kHz).
inline constexpr int MAX_LINES_PER_SERIES = 4000;
std::vector<TCharacteristicLine> CharacteristicLines(const TCondition& condition, double maxHz);
// The frequency that defines the condition: where a bearing's impacts, a
// gear's mesh, an electrical fault's 2x line, the vanes or the resonance
// lie; the shaft frequency for the others. A combined condition's first part.
double FaultFrequency(const TCondition& condition);
