#pragma once
// What the instrument reads from a synthesized waveform: the samples go into
// SampleBuffer and through the firmware's own level and spectrum arithmetic.
#include "measure/Computing1.h"
#include "measure/Samplingimp.h"
#include "signals/Synthesis.h"

#include <algorithm>
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
