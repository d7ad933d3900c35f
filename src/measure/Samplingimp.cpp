#include "measure/Samplingimp.h"

#include "platform/Host.h"
#include "platform/Resources.h"

#include <algorithm>
#include <string>

int16_t SampleBuffer[SAMPLE_COUNT];

namespace {
constexpr uint16_t REC_MEASURED_MARK = 0xAAAA;
}

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

int16_t AcquireWaveform(int16_t kind, uint16_t* status, bool real) {
    ReadWaveformTable(kind, SampleBuffer);
    if (status != nullptr && real) *status = REC_MEASURED_MARK;
    if (real) Sleep(ACQUISITION_MS);
    return 0;
}
