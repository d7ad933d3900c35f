// Cost of the fixed-point level and spectrum computation beside a
// double-precision reference that computes the same quantities with FFTW:
// one forward real transform of the windowed signal, the band RMS values
// from its lines, and for each of the three quantities the band-limited,
// integrated or differentiated spectrum brought back by an inverse real
// transform, de-windowed in its middle half and read through the same
// 8-phase 121-tap interpolator. The ratios of the fixed-point rows to the
// reference rows of the same run are the figures of merit.
#include "VibrationSignal.h"
#include "device/Global.h"
#include "measure/Computing1.h"
#include "measure/Samplingimp.h"

#include <benchmark/benchmark.h>
#include <fftw3.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <vector>

namespace {

constexpr int N = SAMPLE_COUNT;
constexpr int LINES = N / 2 + 1;
constexpr int BAND_FIRST = 30;
constexpr int BAND_LAST = 3202;
constexpr int PEAK_FIRST = 2048;
constexpr int PEAK_POSITIONS = 4096 - 16 + 1;
constexpr double LINE_HZ = 0.3125;
constexpr double WINDOW_CORRECTION = 1.632993;

// Pulses on a small positive level in two's complement.
void WriteKind1Signal() {
    for (int n = 0; n < N; ++n) {
        const double pulse = std::exp(-(n % 28) / 3.0) * 450.0;
        SampleBuffer[n] = static_cast<int16_t>(std::lround(pulse + 10.0 * std::sin(n * 0.01)));
    }
}

void BM_ComputeVibrationResults(benchmark::State& state) {
    SetMeasurementDefaults();
    WriteKind0Signal();
    TMeasResults results;
    for (auto _ : state) {
        ComputeVibrationResults(results);
        benchmark::DoNotOptimize(results);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComputeVibrationResults)->Unit(benchmark::kMicrosecond);

void BM_ComputeSpectrum(benchmark::State& state) {
    SetMeasurementDefaults();
    WriteKind0Signal();
    float scale = 0.0f;
    for (auto _ : state) {
        ComputeSpectrum(32, 3200, true, KIND_MEAS, scale);
        benchmark::DoNotOptimize(scale);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComputeSpectrum)->Unit(benchmark::kMicrosecond);

void BM_ComputeCrestFactor(benchmark::State& state) {
    SetMeasurementDefaults();
    WriteKind1Signal();
    TMeasResults results;
    for (auto _ : state) {
        ComputeCrestFactor(results);
        benchmark::DoNotOptimize(results);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComputeCrestFactor)->Unit(benchmark::kMicrosecond);

// The double-precision chain. Plans and constant tables are made once, as a
// real program would; every result is recomputed from the samples each time.
// Two doubles in vector lanes (one SSE2 register).
using Doubles = double __attribute__((vector_size(16)));

Doubles Splat(double v) {
    return Doubles{v, v};
}

Doubles LoadDoubles(const double* p) {
    Doubles d;
    std::memcpy(&d, p, sizeof d);
    return d;
}

class FftwReference {
  public:
    FftwReference()
        : time_(fftw_alloc_real(N)), spectrum_(fftw_alloc_complex(LINES)), shaped_(fftw_alloc_complex(LINES)),
          rebuilt_(fftw_alloc_real(N)) {
        forward_ = fftw_plan_dft_r2c_1d(N, time_, spectrum_, FFTW_MEASURE);
        inverse_ = fftw_plan_dft_c2r_1d(N, shaped_, rebuilt_, FFTW_MEASURE);
        for (int n = 0; n < N; ++n)
            window_[n] = 0.5 - 0.5 * std::cos(2 * std::numbers::pi * n / N);
        for (int i = 0; i < 4096; ++i)
            dewindow_[i] = 1.0 / (0.5 + 0.5 * std::sin(std::numbers::pi * i / 4096));
        for (int p = 0; p < 8; ++p) {
            for (int m = 0; m < 16; ++m) {
                const int i = 7 - p + 8 * m;
                taps_[p][m] = i <= 120 ? PeakFilter[i] / 32768.0 : 0.0;
            }
        }
    }
    ~FftwReference() {
        fftw_destroy_plan(forward_);
        fftw_destroy_plan(inverse_);
        fftw_free(time_);
        fftw_free(spectrum_);
        fftw_free(shaped_);
        fftw_free(rebuilt_);
    }
    FftwReference(const FftwReference&) = delete;
    FftwReference& operator=(const FftwReference&) = delete;

    // Windowed velocity lines (mm/s per unit of |X|), as the instrument scales them.
    void Transform(const int16_t* samples, bool signedInput, double codeScale) {
        double mean = 0.0;
        for (int n = 0; n < N; ++n)
            mean += Code(samples[n], signedInput);
        mean /= N;
        for (int n = 0; n < N; ++n)
            time_[n] = (Code(samples[n], signedInput) - mean) * codeScale * window_[n];
        fftw_execute(forward_);
    }

    double LineMagnitude(int k) const {
        return std::hypot(spectrum_[k][0], spectrum_[k][1]) / (N / 2) * WINDOW_CORRECTION;
    }

    void Levels(const int16_t* samples, TMeasResults& results) {
        Transform(samples, false, CAL_K / (MeasGain * MeasSensitivity[KIND_MEAS]));
        double v = 0.0, d = 0.0, a = 0.0;
        for (int k = BAND_FIRST; k <= BAND_LAST; ++k) {
            const double omega = 2 * std::numbers::pi * k * LINE_HZ;
            const double line = LineMagnitude(k);
            v += line * line;
            d += line * line / (omega * omega) * 1e6;
            a += line * line * omega * omega * 1e-6;
        }
        auto& r = results.Value;
        r[RESULT_VEL_RMS] = static_cast<float>(std::sqrt(v / 2));
        r[RESULT_DISP_RMS] = static_cast<float>(std::sqrt(d / 2));
        r[RESULT_ACC_RMS] = static_cast<float>(std::sqrt(a / 2));
        Peaks(0, r[RESULT_VEL_PP], r[RESULT_VEL_PK]);
        Peaks(1, r[RESULT_DISP_PP], r[RESULT_DISP_PK]);
        Peaks(-1, r[RESULT_ACC_PP], r[RESULT_ACC_PK]);
    }

    // Crest factor of the raw samples with the same interpolator and blocks.
    float CrestFactor(const int16_t* samples) {
        for (int n = 0; n < N; ++n)
            rebuilt_[n] = samples[n];
        double peaks = 0.0;
        for (int b = 0; b < 16; ++b)
            peaks += std::max(InterpolatedRange(rebuilt_ + b * 504, 504).max, 0.0);
        double squares = 0.0;
        for (int n = 0; n < N; ++n)
            squares += rebuilt_[n] * rebuilt_[n];
        return static_cast<float>(peaks / 16 / std::sqrt(squares / N));
    }

  private:
    struct Range {
        double max;
        double min;
    };

    static double Code(int16_t v, bool signedInput) {
        return signedInput ? v : static_cast<double>(static_cast<uint16_t>(v));
    }

    // quantity: -1 acceleration (m/s2), 0 velocity (mm/s), 1 displacement (um).
    void Peaks(int quantity, float& pp, float& pk) {
        const double unwindow = 1.0 / N; // the inverse transform's own gain
        for (int k = 0; k < LINES; ++k) {
            const double omega = 2 * std::numbers::pi * LINE_HZ * k;
            double re = 0.0, im = 0.0; // multiplier of line k
            if (quantity == 0 && k >= BAND_FIRST && k <= BAND_LAST) {
                re = (k == BAND_FIRST || k == BAND_LAST) ? 0.75 : 1.0;
            } else if (quantity < 0 && k <= BAND_LAST) {
                im = (k == BAND_LAST ? 0.75 : 1.0) * omega * 1e-3;
            } else if (quantity > 0 && k >= BAND_FIRST) {
                const double f = k == BAND_FIRST ? 64.0 : k == BAND_FIRST + 1 ? 32.0 : k;
                im = -1e3 / (2 * std::numbers::pi * LINE_HZ * f);
            }
            shaped_[k][0] = (spectrum_[k][0] * re - spectrum_[k][1] * im) * unwindow;
            shaped_[k][1] = (spectrum_[k][0] * im + spectrum_[k][1] * re) * unwindow;
        }
        fftw_execute(inverse_);
        for (int i = 0; i < 4096; ++i)
            rebuilt_[PEAK_FIRST + i] *= dewindow_[i];
        const Range r = InterpolatedRange(rebuilt_ + PEAK_FIRST, PEAK_POSITIONS);
        pp = static_cast<float>(r.max - r.min);
        pk = static_cast<float>(std::max(std::abs(r.max), std::abs(r.min)));
    }

    // Every phase of the interpolator at positions 0..count-1 of x, four
    // positions at a time in vector lanes, each phase's taps applied to them.
    Range InterpolatedRange(const double* x, int count) {
        Doubles high = Splat(-HUGE_VAL), low = Splat(HUGE_VAL);
        int q = 0;
        for (; q + 4 <= count; q += 4) {
            for (int p = 0; p < 8; ++p) {
                Doubles first = Splat(0.0), second = Splat(0.0);
                for (int m = 0; m < 16; ++m) {
                    first += LoadDoubles(x + q + m) * taps_[p][m];
                    second += LoadDoubles(x + q + m + 2) * taps_[p][m];
                }
                high = first > high ? first : high;
                high = second > high ? second : high;
                low = first < low ? first : low;
                low = second < low ? second : low;
            }
        }
        Range r{-HUGE_VAL, HUGE_VAL};
        for (int i = 0; i < 2; ++i) {
            r.max = std::max(r.max, high[i]);
            r.min = std::min(r.min, low[i]);
        }
        for (; q < count; ++q) {
            for (int p = 0; p < 8; ++p) {
                double sum = 0.0;
                for (int m = 0; m < 16; ++m)
                    sum += x[q + m] * taps_[p][m];
                r.max = std::max(r.max, sum);
                r.min = std::min(r.min, sum);
            }
        }
        return r;
    }

    double* time_;
    fftw_complex* spectrum_;
    fftw_complex* shaped_;
    double* rebuilt_;
    fftw_plan forward_;
    fftw_plan inverse_;
    std::array<double, N> window_{};
    std::array<double, 4096> dewindow_{};
    std::array<std::array<double, 16>, 8> taps_{};
};

FftwReference& Reference() {
    static FftwReference reference;
    return reference;
}

void BM_ReferenceVibrationResultsFftw(benchmark::State& state) {
    SetMeasurementDefaults();
    WriteKind0Signal();
    FftwReference& reference = Reference();
    TMeasResults results;
    for (auto _ : state) {
        reference.Levels(SampleBuffer, results);
        benchmark::DoNotOptimize(results);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ReferenceVibrationResultsFftw)->Unit(benchmark::kMicrosecond);

void BM_ReferenceSpectrumFftw(benchmark::State& state) {
    SetMeasurementDefaults();
    WriteKind0Signal();
    FftwReference& reference = Reference();
    std::vector<float> lines(3201);
    for (auto _ : state) {
        reference.Transform(SampleBuffer, false, CAL_K / (MeasGain * MeasSensitivity[KIND_MEAS]));
        for (int k = 32; k <= 3200; ++k)
            lines[k] = static_cast<float>(reference.LineMagnitude(k));
        benchmark::DoNotOptimize(lines.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ReferenceSpectrumFftw)->Unit(benchmark::kMicrosecond);

void BM_ReferenceCrestFactor(benchmark::State& state) {
    WriteKind1Signal();
    FftwReference& reference = Reference();
    for (auto _ : state)
        benchmark::DoNotOptimize(reference.CrestFactor(SampleBuffer));
}
BENCHMARK(BM_ReferenceCrestFactor)->Unit(benchmark::kMicrosecond);

} // namespace
