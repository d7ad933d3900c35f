#pragma once
// Impacts ringing a resonance, as a channel with an anti-alias filter sees
// them: each impact a band-limited pulse at its exact instant, the pulses
// through the resonance e^(-u / decay) sin(2 pi hz u). Nothing above the
// rate's Nyquist frequency folds back: a train of impacts faster than the
// channel shows no false lines in it.
#include <vector>

// Adds the rings of impacts of the given sizes at the given instants
// (seconds, x[0] at startS) to x, sampled at rate. Impacts long before
// startS, whose ring has died away, are skipped. Work: x.size() plus a
// fixed number of samples per impact.
void AddImpactRings(std::vector<double>& x, double rate, double startS, const std::vector<double>& at,
                    const std::vector<double>& size, double hz, double decay);
