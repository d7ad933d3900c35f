// Cost of synthesizing one waveform of each machine condition and each
// measurement kind, beside BM_ComputeVibrationResults of the same run: a
// measured point's record is rebuilt, synthesis included, whenever the
// firmware reads it. Each iteration takes a new seed, so that every one
// synthesizes; BM_SynthesizeCondition_Kept is a rebuild's usual cost, a
// condition synthesized before.
#include "signals/SignalSpectrum.h"
#include "signals/Synthesis.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <string>

namespace {

void BM_SynthesizeCondition(benchmark::State& state) {
    TCondition condition;
    condition.Kind = static_cast<TConditionKind>(state.range(0));
    const auto kind = static_cast<int16_t>(state.range(1));
    std::array<int16_t, SIGNAL_LENGTH> samples{};
    for (auto _ : state) {
        condition.Seed = condition.Seed.value_or(DEFAULT_SEED) + 1u;
        benchmark::DoNotOptimize(SynthesizeCondition(condition, kind, samples.data()));
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::string(ConditionName(condition.Kind)) + " kind " + std::to_string(kind));
}
BENCHMARK(BM_SynthesizeCondition)
    ->ArgsProduct({benchmark::CreateDenseRange(1, CONDITION_KIND_COUNT - 1, 1), {0, 1, 2}})
    ->Unit(benchmark::kMicrosecond);

void BM_SynthesizeCondition_Kept(benchmark::State& state) {
    TCondition condition;
    condition.Kind = TConditionKind::BearingOuter;
    std::array<int16_t, SIGNAL_LENGTH> samples{};
    SynthesizeCondition(condition, 0, samples.data());
    for (auto _ : state) {
        benchmark::DoNotOptimize(SynthesizeCondition(condition, 0, samples.data()));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_SynthesizeCondition_Kept)->Unit(benchmark::kMicrosecond);

} // namespace
