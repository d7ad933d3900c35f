// Cost of building a point record, which recomputes the point's results every
// time, beside the bare acquisition and level computation it wraps, measured
// in the same run: the ratio is what the record (texts, labels) adds.
#include "measure/Computing1.h"
#include "measure/Routes.h"
#include "measure/Samplingimp.h"

#include <benchmark/benchmark.h>

#include <array>

namespace {

constexpr int16_t KIND0_POINT = 2; // even route points are kind 0
constexpr int16_t KIND1_POINT = 3; // odd ones kind 1

void LoadMeasuredRoute() {
    std::array<uint16_t, ROUTE_POINT_COUNT> saved{};
    saved.fill(PS_MEASURED);
    RouteLoad(saved);
}

void BuildRecord(benchmark::State& state, int16_t index) {
    LoadMeasuredRoute();
    TPointRecord record{};
    for (auto _ : state) {
        RouteGetPoint(index, record);
        benchmark::DoNotOptimize(record);
        benchmark::ClobberMemory();
    }
}

void Recompute(benchmark::State& state, int16_t kind) {
    TMeasResults results{};
    for (auto _ : state) {
        AcquireWaveform(kind, nullptr, false);
        if (kind == KIND_MEAS_E)
            ComputeCrestFactor(results);
        else
            ComputeVibrationResults(results);
        benchmark::DoNotOptimize(results);
        benchmark::ClobberMemory();
    }
}

void BM_RouteGetPoint_Kind0(benchmark::State& state) {
    BuildRecord(state, KIND0_POINT);
}
BENCHMARK(BM_RouteGetPoint_Kind0);

void BM_RouteGetPoint_Kind0_BareComputationReference(benchmark::State& state) {
    Recompute(state, KIND_MEAS);
}
BENCHMARK(BM_RouteGetPoint_Kind0_BareComputationReference);

void BM_RouteGetPoint_Kind1(benchmark::State& state) {
    BuildRecord(state, KIND1_POINT);
}
BENCHMARK(BM_RouteGetPoint_Kind1);

void BM_RouteGetPoint_Kind1_BareComputationReference(benchmark::State& state) {
    Recompute(state, KIND_MEAS_E);
}
BENCHMARK(BM_RouteGetPoint_Kind1_BareComputationReference);

} // namespace
