#pragma once
// How a machine in a condition vibrates before any channel sees it: the
// shaft orders it turns with and their amplitudes, and for a bearing a train
// of impacts and how hard they ring each channel's resonance. One part of a
// combined condition at a time, in model units the synthesis scales to the
// part's share of the severity.
#include "signals/Condition.h"

#include <vector>

struct TTone {
    double Order; // of the shaft speed
    double Amplitude;
};

struct TConditionModel {
    std::vector<TTone> Tones;
    double ImpactHz = 0.0; // 0: no impacts
    double ModulationHz = 0.0;
    double ModulationDepth = 0.0;
    double Slip = 0.015;       // each impact comes up to this share of a period early or late
    double SizeSpread = 0.1;   // impact to impact size variation
    double LowRing = 1.0;      // how hard impacts ring the velocity channel's resonance,
    double EnvelopeRing = 1.0; // the one the E band is set around,
    double HfRing = 1.0;       // and the high-frequency channel's
    double ClipBelow = 0.0;    // looseness: the part hits a stop below this share of the peak
    double NoiseFloor = 0.0;   // the least noise the condition has
    double NoiseHumpHz = 0.0;  // a structural resonance: the noise rises around it
};

// The model of a single condition (a combined one's parts: ConditionPart).
TConditionModel ModelOf(const TCondition& condition);

// A machine has one rotor: two faults of it share its shaft orders rather
// than each adding its own. At an order both parts have, the part with the
// stronger tone keeps it (the first part on a tie) and the other drops it.
void ShareShaftOrders(TConditionModel& first, TConditionModel& second);
