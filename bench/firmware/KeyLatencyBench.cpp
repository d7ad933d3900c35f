// How long the worker takes from a posted key to the LcdRefresh that answers
// it, on the heaviest paths of the firmware, beside a key that only redraws
// the route screen, measured in the same run. The real firmware runs on its
// worker thread under a virtual-time host (so a 5 s acquisition costs nothing
// to set up); the time itself is the steady clock's, taken when the worker
// asks the host to paint. Each benchmark reports the median and the 99th
// percentile of its keys.
#include "device/Device.h"
#include "device/Deviceioemulation.h"
#include "device/KeyCodes.h"
#include "firmware/Analysis.h"
#include "firmware/Offlinemode.h"
#include "measure/PointConditions.h"
#include "measure/Routes.h"
#include "measure/Samplingimp.h"
#include "platform/Strings.h"
#include "platform/VirtualHost.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <memory>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int16_t K1_SHORT = KEY_K1 + KEY_SHORT;
constexpr int16_t K1_LONG = KEY_K1 + KEY_LONG;
constexpr int16_t K2_SHORT = KEY_K2 + KEY_SHORT;
constexpr uint32_t POWER_ON_SCREEN_MS = 1500;
constexpr uint32_t MEASUREMENT_MS = 5900; // sampling and the completion flashes
constexpr int KEYS = 400;

// Stamps the first Synchronize after Arm: the worker's LcdRefresh.
class TStampingHost : public TVirtualHost {
  public:
    void Synchronize(const std::function<void()>& fn) override {
        if (FArmed.exchange(false)) FStamp.store(Clock::now().time_since_epoch().count());
        TVirtualHost::Synchronize(fn);
    }
    void Arm() { FArmed.store(true); }
    Clock::time_point Stamp() const { return Clock::time_point(Clock::duration(FStamp.load())); }

  private:
    std::atomic<bool> FArmed{false};
    std::atomic<Clock::rep> FStamp{0};
};

// The instrument switched on from the default state: MEAS, machine line of
// point 1. One at a time: the firmware's state is global.
class TRig {
  public:
    TRig() : FInstall(FHost) {
        SavedState = TDeviceState{};
        SetThreadLanguage(LANG_ENGLISH);
        FDevice = std::make_unique<TDevice>(FirmwareMain, &MenuState.Backlight);
        g_Device = FDevice.get();
        FHost.RunUntilIdle();
        Key(K1_LONG);
        FHost.Advance(POWER_ON_SCREEN_MS);
    }
    ~TRig() {
        FDevice.reset();
        g_Device = nullptr;
    }
    TRig(const TRig&) = delete;
    TRig& operator=(const TRig&) = delete;

    void Key(int16_t code) {
        FDevice->PostKeyEvent(code);
        FHost.RunUntilIdle();
    }
    void Keys(std::initializer_list<int16_t> codes) {
        for (const int16_t code : codes)
            Key(code);
    }
    void Wait(uint32_t ms) { FHost.Advance(ms); }

    // Seconds from posting code to the refresh that answers it.
    double TimedKey(int16_t code) {
        FHost.Arm();
        const Clock::time_point posted = Clock::now();
        FDevice->PostKeyEvent(code);
        FHost.RunUntilIdle();
        return std::chrono::duration<double>(FHost.Stamp() - posted).count();
    }

    // From the machine line of point 1: ANALYS on the point line of point 2,
    // measured (kind 0, so the spectrum view can change its units).
    void OpenMeasuredPointInAnalys() {
        Keys({K2_SHORT, K1_SHORT, K2_SHORT});
        Wait(MEASUREMENT_MS);
        Keys({KEY_BOTH, KEY_BOTH, K1_SHORT, K1_SHORT, K2_SHORT, K2_SHORT});
    }

  private:
    TStampingHost FHost;
    THostInstall FInstall;
    std::unique_ptr<TDevice> FDevice;
};

// Runs one timed key per iteration (between untimed keys that restore the
// starting screen, if any) and reports the median and 99th percentile.
template <class Step> void TimeKeys(benchmark::State& state, Step step) {
    std::vector<double> seconds;
    seconds.reserve(KEYS);
    for (auto _ : state) {
        const double s = step();
        seconds.push_back(s);
        state.SetIterationTime(s);
    }
    if (seconds.empty()) return;
    std::sort(seconds.begin(), seconds.end());
    const auto at = [&](double q) {
        const auto i = static_cast<std::size_t>(std::ceil(q * static_cast<double>(seconds.size()))) - 1;
        return seconds[std::min(i, seconds.size() - 1)] * 1e6;
    };
    state.counters["median_us"] = at(0.5);
    state.counters["p99_us"] = at(0.99);
}

void BM_KeyLatency_RedrawReference(benchmark::State& state) {
    TRig rig;
    TimeKeys(state, [&] { return rig.TimedKey(KEY_NONE); });
}
BENCHMARK(BM_KeyLatency_RedrawReference)->UseManualTime()->Iterations(KEYS)->Unit(benchmark::kMicrosecond);

// Finding a machine's edges builds a full record (results included) for
// every name compared; the keys cycle through the three machines and the
// off-route block.
void BM_KeyLatency_MachineStep(benchmark::State& state) {
    TRig rig;
    TimeKeys(state, [&] { return rig.TimedKey(K1_SHORT); });
}
BENCHMARK(BM_KeyLatency_MachineStep)->UseManualTime()->Iterations(KEYS)->Unit(benchmark::kMicrosecond);

// The same with every route point measured in a machine condition (each
// kind in turn), so every record the step builds synthesizes its waveform.
void BM_KeyLatency_MachineStepAllConditions(benchmark::State& state) {
    TRig rig;
    // The worker waits for a key: the store and the tables are the bench's.
    std::array<uint16_t, ROUTE_POINT_COUNT> words{};
    RouteSave(words);
    for (int16_t point = 1; point <= ROUTE_POINT_COUNT; ++point) {
        TCondition condition;
        condition.Kind = static_cast<TConditionKind>(1 + (point - 1) % (CONDITION_KIND_COUNT - 1));
        AssignCondition(point, condition);
        RecordMeasuredCondition(point, condition);
        words[static_cast<std::size_t>(point - 1)] |= PS_MEASURED;
    }
    RouteLoad(words);
    TimeKeys(state, [&] { return rig.TimedKey(K1_SHORT); });
    ClearConditions();
}
BENCHMARK(BM_KeyLatency_MachineStepAllConditions)
    ->UseManualTime()
    ->Iterations(KEYS)
    ->Unit(benchmark::kMicrosecond);

void BM_KeyLatency_PointStep(benchmark::State& state) {
    TRig rig;
    rig.Key(K2_SHORT); // the point line; the keys cycle through machine 1
    TimeKeys(state, [&] { return rig.TimedKey(K1_SHORT); });
}
BENCHMARK(BM_KeyLatency_PointStep)->UseManualTime()->Iterations(KEYS)->Unit(benchmark::kMicrosecond);

// Entering runs the transform of the point's waveform; both keys leave again.
void BM_KeyLatency_EnterSpectrumView(benchmark::State& state) {
    TRig rig;
    rig.OpenMeasuredPointInAnalys();
    if (CurrentPoint.Status != REC_MEASURED) {
        state.SkipWithError("the point is not measured: nothing to analyse");
        return;
    }
    TimeKeys(state, [&] {
        const double s = rig.TimedKey(K2_SHORT);
        rig.Key(KEY_BOTH);
        return s;
    });
}
BENCHMARK(BM_KeyLatency_EnterSpectrumView)->UseManualTime()->Iterations(KEYS)->Unit(benchmark::kMicrosecond);

// In the units mode of a kind 0 spectrum each key converts the lines to the
// next quantity (velocity, displacement, acceleration) and redraws.
void BM_KeyLatency_SpectrumUnitChange(benchmark::State& state) {
    TRig rig;
    rig.OpenMeasuredPointInAnalys();
    rig.Keys({K2_SHORT, K1_SHORT, K1_SHORT, K1_SHORT, K2_SHORT}); // the view, "Units", its key loop
    if (ViewState.Kind != KIND_MEAS || ViewState.Mode != VIEW_MODE_UNITS) {
        state.SkipWithError("not in the units mode of a kind 0 spectrum");
        return;
    }
    TimeKeys(state, [&] { return rig.TimedKey(K1_SHORT); });
}
BENCHMARK(BM_KeyLatency_SpectrumUnitChange)->UseManualTime()->Iterations(KEYS)->Unit(benchmark::kMicrosecond);

} // namespace
