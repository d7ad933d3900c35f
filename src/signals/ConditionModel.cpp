#include "signals/ConditionModel.h"

#include <algorithm>
#include <cmath>

namespace {

// A bearing's life, stage by stage. 1: the defect only rings the
// high-frequency channel; 2: its impacts ring every resonance and show in
// the envelope; 3: they grow, vary more, and the defect's lines with their
// sidebands and a raised noise floor reach the velocity spectrum; 4: the
// damage spreads, the impacts come irregularly (a broadband haystack around
// the resonances), the noise floor and 1x rise.
struct TWear {
    double LowRing, EnvelopeRing, HfRing;
    double SizeSpread, Slip;
    double DefectTone; // the defect's first line in the velocity spectrum; harmonic k: / k
    double NoiseFloor;
    double Shaft; // 1x
};
constexpr TWear WEAR[] = {
    {0.0, 0.0, 0.25, 0.1, 0.015, 0.0, 0.0, 0.15},
    {1.0, 1.0, 1.0, 0.1, 0.015, 0.0, 0.0, 0.15},
    {1.5, 2.0, 2.0, 0.3, 0.015, 0.2, 0.1, 0.2},
    {2.0, 3.5, 4.0, 0.6, 0.05, 0.3, 0.2, 0.5},
};
constexpr double SIDEBAND = 0.4; // of the line it flanks
constexpr int DEFECT_HARMONICS = 4;

// A structural resonance's damping ratio: a single degree of freedom that
// amplifies what lies near its natural frequency about tenfold.
constexpr double RESONANCE_DAMPING = 0.05;

double ResonanceGain(double hz, double naturalHz) {
    if (!(naturalHz > 0.0)) return 1.0;
    const double r = hz / naturalHz;
    const double a = 1.0 - r * r;
    const double b = 2.0 * RESONANCE_DAMPING * r;
    return 1.0 / std::sqrt(a * a + b * b);
}

void ModelBearing(const TCondition& c, TConditionModel& m) {
    const double fr = c.Rpm / 60.0;
    const TBearingFrequencies f = BearingFrequencies(c.Bearing, fr);
    // A spall on a rolling element strikes the inner and the outer race
    // once each per spin of the element: twice BSF.
    m.ImpactHz = c.Kind == TConditionKind::BearingBall ? 2.0 * f.Bsf : FaultFrequency(c);
    // The inner race turns with the shaft through the load zone; a ball
    // turns with the cage.
    if (c.Kind == TConditionKind::BearingInner) {
        m.ModulationHz = fr;
        m.ModulationDepth = 0.5;
    } else if (c.Kind == TConditionKind::BearingBall) {
        m.ModulationHz = f.Ftf;
        m.ModulationDepth = 0.4;
    }
    const auto stage = static_cast<std::size_t>(std::clamp<int>(c.Stage, STAGE_MIN, STAGE_MAX) - STAGE_MIN);
    const TWear& w = WEAR[stage];
    m.Tones = {{1, w.Shaft}};
    m.LowRing = w.LowRing;
    m.EnvelopeRing = w.EnvelopeRing;
    m.HfRing = w.HfRing;
    m.SizeSpread = w.SizeSpread;
    m.Slip = w.Slip;
    m.NoiseFloor = w.NoiseFloor;
    if (w.DefectTone > 0.0 && fr > 0.0 && m.ImpactHz > 0.0) {
        for (int k = 1; k <= DEFECT_HARMONICS; ++k) {
            const double order = k * m.ImpactHz / fr;
            const double amplitude = w.DefectTone / k;
            m.Tones.push_back({order, amplitude});
            if (m.ModulationHz > 0.0) {
                const double side = m.ModulationHz / fr;
                m.Tones.push_back({order - side, SIDEBAND * amplitude});
                m.Tones.push_back({order + side, SIDEBAND * amplitude});
            }
        }
    }
}

} // namespace

TConditionModel ModelOf(const TCondition& c) {
    TConditionModel m;
    const double fr = c.Rpm / 60.0;
    switch (c.Kind) {
    case TConditionKind::Good:
        m.Tones = {{1, 0.6}, {2, 0.25}, {3, 0.12}};
        m.NoiseFloor = 0.5;
        break;
    case TConditionKind::Imbalance:
        m.Tones = {{1, 1.0}, {2, 0.05}};
        break;
    case TConditionKind::Misalignment:
        m.Tones = {{1, 0.5}, {2, 1.0}, {3, 0.35}, {4, 0.12}};
        break;
    case TConditionKind::Looseness:
        for (int half = 1; half <= 20; ++half) {
            const double order = half / 2.0;
            m.Tones.push_back({order, half % 2 == 0 ? 1.0 / std::sqrt(order) : 0.3 / std::sqrt(order)});
        }
        m.ClipBelow = 0.55;
        break;
    case TConditionKind::BearingOuter:
    case TConditionKind::BearingInner:
    case TConditionKind::BearingBall:
    case TConditionKind::BearingCage:
        ModelBearing(c, m);
        break;
    case TConditionKind::Gear: {
        const double z = c.Teeth;
        m.Tones = {{1, 0.3},      {z - 2, 0.12}, {z - 1, 0.35}, {z, 1.0},
                   {z + 1, 0.35}, {z + 2, 0.12}, {2 * z, 0.3}};
        break;
    }
    case TConditionKind::Electrical: {
        // A stator fault pulls at twice the line frequency, beating with the
        // rotor at the pole-pass frequency; the rotor's own 1x stays small.
        const double line2 = FaultFrequency(c) / fr;
        const double pole = PolePassFrequency(c) / fr;
        m.Tones = {{1, 0.3}, {2, 0.08}, {line2, 1.0}};
        if (pole > 0.0) m.Tones.insert(m.Tones.end(), {{line2 - pole, 0.2}, {line2 + pole, 0.2}});
        break;
    }
    case TConditionKind::VanePass: {
        // Each vane passing the cutwater gives a pressure pulse: the vane-pass
        // line leads, its harmonics fall off, 1x is the rotor's residual.
        const double b = c.Blades;
        m.Tones = {{1, 0.35}, {b, 1.0}, {2 * b, 0.4}, {3 * b, 0.15}};
        break;
    }
    case TConditionKind::Resonance:
        // The machine's running tones, each raised or lowered by the
        // structure's response at its frequency: 1x near the natural
        // frequency (a critical speed) grows about tenfold. The noise rises
        // around it too.
        m.Tones = {{1, 1.0}, {2, 0.1}, {3, 0.05}};
        for (TTone& tone : m.Tones)
            tone.Amplitude *= ResonanceGain(tone.Order * fr, c.ResonanceHz);
        m.NoiseHumpHz = c.ResonanceHz;
        break;
    case TConditionKind::Stored:
        break;
    }
    return m;
}

void ShareShaftOrders(TConditionModel& first, TConditionModel& second) {
    std::vector<TTone> kept;
    for (const TTone& tone : second.Tones) {
        bool secondKeeps = true;
        for (TTone& other : first.Tones)
            if (std::abs(other.Order - tone.Order) < 1e-9) {
                if (other.Amplitude >= tone.Amplitude)
                    secondKeeps = false;
                else
                    other.Amplitude = 0.0;
            }
        if (secondKeeps) kept.push_back(tone);
    }
    second.Tones = kept;
    std::erase_if(first.Tones, [](const TTone& tone) { return tone.Amplitude == 0.0; });
}
