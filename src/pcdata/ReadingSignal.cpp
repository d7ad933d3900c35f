#include "pcdata/ReadingSignal.h"

#include "pcdata/RealDft.h"

#include <cmath>
#include <complex>
#include <numbers>
#include <numeric>

namespace {

constexpr int KIND_UNSIGNED_CODES = 0;

} // namespace

int16_t ReadingPcm(int16_t kind, int16_t sample) {
    if (kind != KIND_UNSIGNED_CODES) return sample;
    // Code 32768 is zero: flipping the top bit turns offset binary into two's complement.
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint16_t>(sample) ^ 0x8000u));
}

std::vector<double> ReadingWaveform(int16_t kind, const std::vector<int16_t>& samples) {
    std::vector<double> values(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i)
        values[i] = ReadingPcm(kind, samples[i]) * READING_MM_S_PER_CODE;
    // The converter's zero is near mid-scale, not at it (the stored waveform
    // sits 558 codes, 2.1 mm/s, below): velocity has no steady part the
    // instrument could measure, and its levels are taken about the record's
    // mean, so the waveform is too.
    if (kind == KIND_UNSIGNED_CODES && !values.empty()) {
        const double mean =
            std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
        for (double& v : values)
            v -= mean;
    }
    return values;
}

TReadingSpectrum ReadingSpectrum(int16_t kind, const std::vector<int16_t>& samples, int finer) {
    TReadingSpectrum spectrum;
    const std::size_t n = samples.size();
    if (n < 2) return spectrum;
    if (finer != 2 && finer != 4 && finer != 8) finer = 1;
    const std::size_t padded = n * static_cast<std::size_t>(finer);

    const std::vector<double> wave = ReadingWaveform(kind, samples);
    const double mean = std::accumulate(wave.begin(), wave.end(), 0.0) / static_cast<double>(n);
    std::vector<double> in(padded, 0.0);
    double windowSum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double w =
            0.5 - 0.5 * std::cos(2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n));
        windowSum += w;
        in[i] = (wave[i] - mean) * w;
    }
    const std::vector<std::complex<double>> out = RealDft(in);

    spectrum.LineSpacing = READING_RATE / static_cast<double>(padded);
    spectrum.Amplitude.resize(padded / 2);
    for (std::size_t k = 0; k < padded / 2; ++k) {
        spectrum.Amplitude[k] = (k == 0 ? 1.0 : 2.0) * std::abs(out[k]) / windowSum;
    }
    return spectrum;
}
