// Cost of the E channel's demodulation alone (band-pass, magnitude,
// anti-alias filter and decimation of one waveform), to be read beside
// BM_SynthesizeCondition's kind 1 of the same run: the share the
// demodulation takes of an E waveform's synthesis.
#include "signals/Envelope.h"
#include "signals/SignalMath.h"
#include "signals/SignalSpectrum.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

void BM_Demodulate(benchmark::State& state) {
    // A tone in the band plus noise: what the filters see does not change
    // their work, but keeps the values ordinary (no subnormals).
    TSplitMix rng(1);
    std::vector<double> high(ENVELOPE_LEAD + ENVELOPE_DECIMATION * SIGNAL_LENGTH + ENVELOPE_TRAIL);
    for (std::size_t n = 0; n < high.size(); ++n)
        high[n] = PortableSin(2.0 * PI * 3100.0 * static_cast<double>(n) / ENVELOPE_RATE) +
                  (2.0 * rng.Uniform() - 1.0);
    for (auto _ : state)
        benchmark::DoNotOptimize(Demodulate(high, SIGNAL_LENGTH));
}
BENCHMARK(BM_Demodulate)->Unit(benchmark::kMicrosecond);

} // namespace
