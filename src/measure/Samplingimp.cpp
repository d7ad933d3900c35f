#include "measure/Samplingimp.h"

#include "measure/PointConditions.h"
#include "platform/Host.h"
#include "platform/Resources.h"
#include "signals/SpeedJitter.h"
#include "signals/Synthesis.h"

#include <algorithm>
#include <atomic>
#include <string>

int16_t SampleBuffer[SAMPLE_COUNT];

namespace {
constexpr uint16_t REC_MEASURED_MARK = 0xAAAA;
// Real measurements so far: each takes the machine at its own speed.
std::atomic<uint32_t> g_Readings{0};
} // namespace

bool ReadWaveformTable(int16_t kind, int16_t (&samples)[SAMPLE_COUNT]) {
    if (kind < KIND_MEAS || kind > KIND_HF) return false;
    const auto table = FindResource("WAVEFORM" + std::to_string(kind));
    // The build guarantees the size; a damaged table is not used at all.
    if (!table || table->size() != 2u * SAMPLE_COUNT) return false;
    for (int i = 0; i < SAMPLE_COUNT; ++i) {
        const auto lo = static_cast<uint16_t>((*table)[static_cast<std::size_t>(2 * i)]);
        const auto hi = static_cast<uint16_t>((*table)[static_cast<std::size_t>(2 * i + 1)]);
        samples[i] = static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8)));
    }
    return true;
}

int16_t AcquireWaveform(int16_t kind, uint16_t* status, bool real, int16_t source) {
    TCondition condition;
    if (source != SOURCE_STORED && real) {
        // Taken once, here: a change made while the worker samples applies
        // from the next measurement.
        condition = ReadingCondition(SeededCondition(AssignedCondition(source), source), g_Readings++);
        RecordMeasuredCondition(source, condition);
    } else if (source != SOURCE_STORED) {
        condition = SeededCondition(MeasuredCondition(source), source);
    }
    int16_t overload = 0;
    if (condition.Kind == TConditionKind::Stored)
        ReadWaveformTable(kind, SampleBuffer);
    else if (SynthesizeCondition(condition, kind, SampleBuffer))
        overload = 1;
    if (status != nullptr && real) *status = REC_MEASURED_MARK;
    if (real) Sleep(ACQUISITION_MS);
    return overload;
}
