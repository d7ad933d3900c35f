// The level and spectrum computation in WebAssembly, timed in the browser on
// the same signal as the native benchmark (bench/measure), so that the two
// figures of one run give the ratio. Google Benchmark has no WebAssembly
// build here: this times a fixed number of runs with the page's clock, after
// a warm-up, and reports the mean of the best of several rounds.
#include "../measure/VibrationSignal.h"

#include "device/Global.h"
#include "measure/Computing1.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdio>

namespace {

volatile float g_Sink;

} // namespace

extern "C" EMSCRIPTEN_KEEPALIVE double orx_BenchComputeVibrationResults(int runs, int rounds) {
    SetMeasurementDefaults();
    WriteKind0Signal();
    TMeasResults results;
    ComputeVibrationResults(results); // warm-up: tables, caches
    double best = 1e300;
    for (int round = 0; round < rounds; ++round) {
        const double start = emscripten_get_now();
        for (int i = 0; i < runs; ++i) {
            ComputeVibrationResults(results);
            g_Sink = results.Value[0];
        }
        best = std::min(best, (emscripten_get_now() - start) * 1000.0 / runs);
    }
    return best; // microseconds per run
}
