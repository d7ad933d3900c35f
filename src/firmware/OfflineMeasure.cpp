// The measurement flow: measuring the current point of the route screen, the
// analysis of a measured point, the unstored high-frequency spectrum, and the
// "Measuring..." and completion screens the WATCH mode shares.
#include "device/Deviceioemulation.h"
#include "firmware/Analysis.h"
#include "firmware/Offlinemode.h"
#include "hints/Hints.h"
#include "measure/Computing1.h"
#include "measure/PointConditions.h"
#include "measure/Samplingimp.h"
#include "platform/Host.h"
#include "resources/StringIds.h"

namespace {

constexpr int16_t MESSAGE_PAGE = 1;
constexpr int16_t NO_WAIT = 0;
constexpr int16_t WAIT = 1;

constexpr int COMPLETED_FLASHES = 3;
constexpr int16_t FLASH_LIT_MS = 100;
constexpr int16_t FLASH_DARK_MS = 200;
// FlashBacklight's "do the phase without a pause".
constexpr int16_t NO_PAUSE = -1;

// The overload mark is a 16-bit pattern, not a number.
constexpr int16_t OVERLOAD_MARK = static_cast<int16_t>(0xAAAA);

// The samples are not checked in this system; the record carries 0.
constexpr int16_t SAMPLE_CHECKSUM = 0;

} // namespace

void ShowOverload() {
    ShowMessage(LcdStr(TEXT_INPUT_OVERLOAD), MESSAGE_PAGE, WAIT);
}

void ShowMeasuring() {
    g_KeyHints.SetKeyHintText("");
    g_ScreenHints.ClearScreenHints();
    FlashBacklight(0, NO_PAUSE);
    ShowMessage(LcdStr(TEXT_MEASURING), MESSAGE_PAGE, NO_WAIT);
}

int16_t ShowCompleted() {
    ShowMessage(LcdStr(TEXT_MEASUREMENT_COMPLETED), MESSAGE_PAGE, NO_WAIT);
    for (int i = 0; i < COMPLETED_FLASHES; ++i) {
        FlashBacklight(FLASH_LIT_MS, NO_PAUSE);
        // The dark phase is a key wait, so the user can cut the flashing short.
        const int16_t key = WaitKeyTimeout(FLASH_DARK_MS);
        if (key != 0) return key;
    }
    return 0;
}

void MeasurePoint() {
    TPointRecord& point = CurrentPoint;
    if (point.Status == REC_MEASURED &&
        AskYesNo(LcdStr(TEXT_DELETE_DATA_ASK), 0, HINT_ASK_MEASURE_AGAIN) == 0)
        return;

    ShowMeasuring();
    // A route point's kind is fixed by the route; an off-route point takes
    // the mode it is measured in.
    int16_t kind = static_cast<int16_t>(point.Flags & PS_KIND_E);
    if ((point.Flags & PS_OFFROUTE) != 0) kind = MenuState.MeasMode == ITEM_MEAS_E ? KIND_MEAS_E : KIND_MEAS;

    const int16_t overload =
        AcquireWaveform(kind, &point.Status, true, RoutePointSource(MenuState.SelectedPoint));
    if (kind == KIND_MEAS) {
        ComputeVibrationResults(point.Results);
        point.Flags = static_cast<int16_t>(point.Flags & PS_OFFROUTE);
    } else {
        ComputeCrestFactor(point.Results);
        point.Flags = static_cast<int16_t>(point.Flags | PS_KIND_E);
    }
    point.Time = InstrumentNow();
    point.Checksum = SAMPLE_CHECKSUM;
    point.OverloadMark = overload != 0 ? OVERLOAD_MARK : int16_t{0};
    // The selected point, the new off-route slot included, is always held by
    // the store; storing the slot makes it the newest measured off-route point.
    const int16_t rc = RouteStorePoint(MenuState.SelectedPoint, point);
    if (rc == 0) RecordMeasuredTime(RoutePointSource(MenuState.SelectedPoint), point.Time);

    // Keys pressed while the worker sampled are stale.
    FlushKey();
    ShowCompleted();

    if (rc == MEM_ERROR) {
        ShowMessage(LcdStr(TEXT_MEMORY_ERROR), MESSAGE_PAGE, WAIT);
        MenuState.MemStatus = MEM_ERROR;
        MenuState.MenuItem = ITEM_MEAS;
    } else if (point.OverloadMark == OVERLOAD_MARK) {
        ShowOverload();
    }
    // The main loop redraws the route screen from the store.
}

void AnalysePoint() {
    const TPointRecord& point = CurrentPoint;
    if (point.Status != REC_MEASURED) return;
    if (point.OverloadMark == OVERLOAD_MARK) ShowOverload();
    // The route screen rebuilt the record just before this key, which left
    // the waveform of the point's kind in SampleBuffer.
    SpectrumView(static_cast<int16_t>(point.Flags & PS_KIND_E));
}

void MeasureHfSpectrum() {
    if (AskYesNo(LcdStr(TEXT_MEASURE_HF_ASK), MESSAGE_PAGE, HINT_ASK_MEASURE_HF) == 0) return;
    // SampleBuffer is about to be overwritten.
    WatchMeasured = 0;
    ShowMeasuring();
    const int16_t overload = AcquireWaveform(KIND_HF, nullptr, true, SOURCE_HF);
    ShowCompleted();
    if (overload != 0) ShowOverload();
    // Shown, never stored; a memory error does not matter here.
    SpectrumView(KIND_HF);
}
