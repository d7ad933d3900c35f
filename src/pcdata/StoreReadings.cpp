#include "pcdata/StoreReadings.h"

#include "firmware/Offlinemode.h"
#include "measure/Computing1.h"
#include "measure/PointConditions.h"
#include "measure/Routes.h"
#include "measure/Samplingimp.h"
#include "platform/Codepage.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

std::string FieldText(const char (&field)[POINT_TEXT_SIZE]) {
    return Cp1251ToUtf8(std::string(field, strnlen(field, sizeof field)));
}

// The stored waveform has no parameters worth keeping.
std::string ConditionText(int16_t source) {
    const TCondition condition = MeasuredCondition(source);
    if (condition.Kind == TConditionKind::Stored) return ConditionName(TConditionKind::Stored);
    return FormatCondition(SeededCondition(condition, source));
}

// Machines of the demo route in route order: "machine1", "machine2", ...
std::string RouteMachineKey(int16_t index) {
    int ordinal = 1;
    for (int16_t i = 2; i <= index; ++i)
        if (RoutePointName(i).MachineId != RoutePointName(static_cast<int16_t>(i - 1)).MachineId) ++ordinal;
    return "machine" + std::to_string(ordinal);
}

TStoreReading PointReading(int16_t index, const TPointRecord& record) {
    TStoreReading reading;
    const int16_t source = RoutePointSource(index);
    const bool offRoute = source > SOURCE_OFFROUTE_BASE;
    reading.PointKey =
        offRoute ? "offroute" + std::to_string(source - SOURCE_OFFROUTE_BASE) : std::to_string(index);
    reading.MachineKey = offRoute ? "offroute" : RouteMachineKey(index);
    reading.MachineName = FieldText(record.MachineName);
    reading.Label = FieldText(record.Label);
    reading.Orientation = record.Orientation;
    reading.Kind = (record.Flags & PS_KIND_E) != 0 ? KIND_MEAS_E : KIND_MEAS;
    reading.Time = MeasuredTime(source);
    reading.Results = record.Results;
    reading.Overload = record.OverloadMark != 0;
    reading.Condition = ConditionText(source);
    reading.Samples.assign(SampleBuffer, SampleBuffer + SAMPLE_COUNT);
    return reading;
}

} // namespace

std::vector<TStoreReading> ReadStoreReadings(bool parked) {
    std::vector<TStoreReading> readings;
    if (parked) {
        RouteLoad(SavedState.RoutePoints);
        OffRouteLoad(SavedState.UnroutePoints);
    }
    std::array<int16_t, SAMPLE_COUNT> kept{};
    std::copy(SampleBuffer, SampleBuffer + SAMPLE_COUNT, kept.begin());
    // A spectrum view on the LCD redraws from the working area at its next key.
    std::array<int16_t, 2 * SPEC_SIZE> keptSpectrum{};
    std::copy(SpecArea, SpecArea + 2 * SPEC_SIZE, keptSpectrum.begin());

    // While the WATCH mode holds a reading its samples are in SampleBuffer.
    if (!parked && MenuState.InWatch == 1 && WatchMeasured == 1) {
        TStoreReading watch;
        watch.PointKey = watch.MachineKey = "watch";
        watch.MachineName = watch.Label = LoadStr(TEXT_PC_WATCH_READING);
        watch.Kind = WatchKind;
        watch.Time = MeasuredTime(SOURCE_WATCH);
        watch.Results = WatchResults;
        watch.Overload = WatchOverload != 0;
        watch.Condition = ConditionText(SOURCE_WATCH);
        watch.Samples.assign(kept.begin(), kept.end());
        readings.push_back(std::move(watch));
    }

    TRouteCounts counts;
    RouteGetCounts(counts);
    std::vector<int16_t> indices;
    for (int16_t i = 1; i <= counts[1]; ++i)
        indices.push_back(i);
    for (int16_t n = 0; n < counts[0]; ++n)
        indices.push_back(static_cast<int16_t>(OFFROUTE_FIRST_INDEX - n));
    for (const int16_t index : indices) {
        TPointRecord record{};
        RouteGetPoint(index, record); // rebuilds SampleBuffer for the point
        if (record.Status == REC_MEASURED) readings.push_back(PointReading(index, record));
    }

    std::copy(kept.begin(), kept.end(), SampleBuffer);
    std::copy(keptSpectrum.begin(), keptSpectrum.end(), SpecArea);
    return readings;
}
