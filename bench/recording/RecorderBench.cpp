// What recording adds to the key path: a key press and release through the
// key classifier to the firmware's next key wait, timed key by key with and
// without a recorder listening, the two interleaved in one loop (in turns)
// so that both see the same machine. Reported: each side's median and 99th percentile, and
// their ratio. A third side takes a recording's check (the LCD's and the
// state's fingerprints) after each key as the headless recorder does.
#include "SimRecord.h"
#include "SimSession.h"
#include "device/KeyCodes.h"
#include "firmware/Offlinemode.h"
#include "platform/DateTime.h"
#include "recording/Recorder.h"
#include "recording/RecordingHash.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <sstream>
#include <vector>

namespace {

using TClock = std::chrono::steady_clock;

double Percentile(std::vector<double> samples, double p) {
    std::sort(samples.begin(), samples.end());
    return samples[static_cast<std::size_t>(p * static_cast<double>(samples.size() - 1))];
}

void BM_KeyLatencyWithAndWithoutRecording(benchmark::State& state) {
    SavedState = TDeviceState{};
    std::ostringstream out;
    TSimSession session(out, EncodeDateTime(2026, 3, 14, 10, 30, 0, 0));
    std::string error;
    session.RunLine("k1-long", error);
    session.RunLine("wait 1500", error);
    TKeyButtons& keys = session.Device().Buttons();
    TVirtualHost& host = session.VirtualHost();
    TRecorder recorder;
    const bool withChecks = state.range(0) != 0;

    auto key = [&](bool recording) {
        keys.InputObserver = recording ? &recorder : nullptr;
        const auto start = TClock::now();
        ButtonDown(keys, KEY_K1); // a short click: the next machine of the route, redrawn
        host.RunUntilIdle();
        ButtonUp(keys);
        host.RunUntilIdle();
        if (recording && withChecks) recorder.Check(LcdHash(), CurrentStateFingerprint(true));
        const std::chrono::duration<double, std::micro> took = TClock::now() - start;
        keys.InputObserver = nullptr;
        return took.count();
    };

    std::vector<double> plain, recorded;
    recorder.Start(0, {}, "ENG");
    bool recordedFirst = false;
    for (auto _ : state) {
        // Turn about: neither side always follows the other.
        if (recordedFirst) recorded.push_back(key(true));
        plain.push_back(key(false));
        if (!recordedFirst) recorded.push_back(key(true));
        recordedFirst = !recordedFirst;
        if (recorded.size() % 50000 == 0) recorder.Start(0, {}, "ENG"); // bounded memory
    }
    const double plainP99 = Percentile(plain, 0.99);
    const double recordedP99 = Percentile(recorded, 0.99);
    state.counters["plain_median_us"] = Percentile(plain, 0.5);
    state.counters["recording_median_us"] = Percentile(recorded, 0.5);
    state.counters["plain_p99_us"] = plainP99;
    state.counters["recording_p99_us"] = recordedP99;
    state.counters["p99_ratio"] = recordedP99 / plainP99;
}
BENCHMARK(BM_KeyLatencyWithAndWithoutRecording)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("checks")
    ->Iterations(4000)
    ->Unit(benchmark::kMicrosecond);

} // namespace
