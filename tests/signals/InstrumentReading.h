#pragma once
// What the instrument reads from a synthesized waveform: the samples go into
// SampleBuffer and through the firmware's own level and spectrum arithmetic.
#include "measure/Computing1.h"
#include "measure/Samplingimp.h"
#include "signals/Synthesis.h"

#include <algorithm>
#include <cmath>
#include <vector>

inline TCondition Make(TConditionKind kind, double rpm, double velocity) {
    TCondition c;
    c.Kind = kind;
    c.Rpm = rpm;
    c.Velocity = velocity;
    return c;
}

struct TReading {
    TMeasResults Results;
    std::vector<float> Lines; // line k in the kind's unit; lines below 30 are 0
    bool Clipped = false;
};

inline TReading ReadCondition(const TCondition& condition, int16_t kind) {
    TReading r;
    r.Clipped = SynthesizeCondition(condition, kind, SampleBuffer);
    if (kind == KIND_MEAS)
        ComputeVibrationResults(r.Results);
    else if (kind == KIND_MEAS_E)
        ComputeCrestFactor(r.Results);
    float scale = 0.0f;
    ComputeSpectrum(30, 3202, true, kind, scale);
    r.Lines.assign(SPEC_SIZE, 0.0f);
    for (int k = 30; k <= 3202; ++k)
        r.Lines[static_cast<std::size_t>(k)] = scale * static_cast<float>(SpecRe[k]);
    return r;
}

// The largest line within +-1 of the frequency hz (0.3125 Hz per line).
inline float LineAt(const TReading& r, double hz, double spacing = 0.3125) {
    const auto k = static_cast<int>(hz / spacing + 0.5);
    float best = 0.0f;
    for (int i = k - 1; i <= k + 1; ++i)
        if (i >= 0 && i < SPEC_SIZE) best = std::max(best, r.Lines[static_cast<std::size_t>(i)]);
    return best;
}

// The spectrum's floor: the median line of the band.
inline float Floor(const TReading& r) {
    std::vector<float> band(r.Lines.begin() + 30, r.Lines.begin() + 3203);
    std::nth_element(band.begin(), band.begin() + static_cast<long>(band.size() / 2), band.end());
    return band[band.size() / 2];
}

// The frequencies whose integer combinations a condition's lines may be:
// its defining comb first, then what modulates it.
inline std::vector<double> DefiningFrequencies(const TCondition& c) {
    const double fr = c.Rpm / 60.0;
    const TBearingFrequencies f = BearingFrequencies(c.Bearing, fr);
    switch (c.Kind) {
    case TConditionKind::BearingOuter:
        return {f.Bpfo};
    case TConditionKind::BearingInner:
        return {f.Bpfi, fr};
    case TConditionKind::BearingBall:
        return {2.0 * f.Bsf, f.Ftf};
    case TConditionKind::BearingCage:
        return {f.Ftf};
    default:
        return {fr};
    }
}

// a x bases[0] + b x bases[1], a >= 0, |b| <= 3, within 1.5 lines of hz
// (a >= 1 when the defining comb itself is asked for).
inline bool IsCombination(const std::vector<double>& bases, double hz, bool ofTheComb) {
    const double tolerance = 1.5 * 0.3125;
    const int maxB = bases.size() > 1 ? 3 : 0;
    for (int a = ofTheComb ? 1 : 0; a * bases[0] <= hz + 10.0 * bases.back(); ++a)
        for (int b = -maxB; b <= maxB; ++b) {
            const double at = a * bases[0] + (bases.size() > 1 ? b * bases[1] : 0.0);
            if ((a > 0 || b > 0) && std::abs(at - hz) <= tolerance) return true;
        }
    return false;
}

// The RMS of a tone near hz from the lines it spreads over, whatever its
// place between two lines: the band's sum of squares over 2, as the
// instrument's own band level.
inline double ToneRms(const TReading& r, double hz) {
    const auto k = static_cast<int>(hz / 0.3125 + 0.5);
    double sum = 0.0;
    for (int i = k - 2; i <= k + 2; ++i)
        sum +=
            static_cast<double>(r.Lines[static_cast<std::size_t>(i)]) * r.Lines[static_cast<std::size_t>(i)];
    return std::sqrt(sum / 2.0);
}
