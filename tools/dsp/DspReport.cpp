#include "DspReport.h"

#include "device/Global.h"
#include "measure/Computing1.h"
#include "measure/Samplingimp.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>

namespace {

constexpr int16_t SPECTRUM_FIRST = 32;
constexpr int16_t SPECTRUM_LAST = 3200;
constexpr const char* LEVEL_NAMES[9] = {"acc_pk", "acc_rms", "acc_pp",   "vel_pk", "vel_rms",
                                        "vel_pp", "disp_pk", "disp_rms", "disp_pp"};

// The computation reads the calibration and SampleBuffer, as on the device
// after a firmware start and an acquisition.
void Prepare(const std::vector<int16_t>& samples) {
    SetMeasurementDefaults();
    std::copy_n(samples.begin(), SAMPLE_COUNT, SampleBuffer);
}

void WriteValue(std::ostream& out, const char* name, float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    out << name << ' ' << text << '\n';
}

} // namespace

bool WriteLevels(int16_t kind, const std::vector<int16_t>& samples, std::ostream& out) {
    Prepare(samples);
    TMeasResults results;
    if (kind == KIND_MEAS_E) {
        ComputeCrestFactor(results);
        // Peak over an RMS of 0: the instrument leaves its digits empty.
        if (!std::isfinite(results.Value[RESULT_CREST])) return false;
        WriteValue(out, "crest", results.Value[RESULT_CREST]);
        return true;
    }
    ComputeVibrationResults(results);
    for (int slot = 0; slot < 9; ++slot)
        WriteValue(out, LEVEL_NAMES[slot], results.Value[static_cast<std::size_t>(slot)]);
    return true;
}

void WriteSpectrum(int16_t kind, const std::vector<int16_t>& samples, std::ostream& out) {
    Prepare(samples);
    float scale = 0.0f;
    ComputeSpectrum(SPECTRUM_FIRST, SPECTRUM_LAST, true, kind, scale);
    WriteValue(out, "scale", scale);
    for (int k = SPECTRUM_FIRST; k <= SPECTRUM_LAST; ++k)
        out << k << ' ' << SpecRe[k] << '\n';
}

std::string SampleBytes(const std::vector<int16_t>& samples) {
    std::string bytes;
    bytes.reserve(2 * samples.size());
    for (const int16_t sample : samples) {
        const auto word = static_cast<uint16_t>(sample);
        bytes += static_cast<char>(word & 0xFF);
        bytes += static_cast<char>(word >> 8);
    }
    return bytes;
}

void WriteSampleBytes(const std::vector<int16_t>& samples, std::ostream& out) {
    const std::string bytes = SampleBytes(samples);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}
