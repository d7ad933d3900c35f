#include "signals/ConditionModel.h"

#include <cmath>

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
    case TConditionKind::BearingCage: {
        m.Tones = {{1, 0.15}};
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
        break;
    }
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
        // The machine's running tones; the structure's response around
        // ResonanceHz (the tones near it raised, a hump in the noise floor)
        // belongs to the pipeline that shapes the whole signal.
        m.Tones = {{1, 1.0}, {2, 0.1}};
        break;
    case TConditionKind::Stored:
        break;
    }
    return m;
}
