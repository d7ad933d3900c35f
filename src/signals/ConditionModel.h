#pragma once
// How a machine in a condition vibrates before any channel sees it: the
// shaft orders it turns with and their amplitudes, and for a bearing a train
// of impacts that each ring a resonance. In model units the synthesis scales
// to the severity.
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
    double ClipBelow = 0.0;  // looseness: the part hits a stop below this share of the peak
    double NoiseFloor = 0.0; // the least noise the condition has
};

// The model of a condition.
TConditionModel ModelOf(const TCondition& condition);
