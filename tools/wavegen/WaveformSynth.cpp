#include "WaveformSynth.h"

#include "signals/SignalMath.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <stdexcept>

namespace {

constexpr double RATE_LOW = 2560.0; // kinds 0 and 1
constexpr double RATE_HF = 64000.0; // kind 2
constexpr double SHAFT_HZ = 23.1;   // 1386 rpm
constexpr double DEFECT_HZ = 92.5;  // bearing outer-race defect frequency

double Tone(double amplitude, double hz, double phase, double t) {
    return amplitude * PortableSin(2.0 * PI * hz * t + phase);
}

double RandomPhase(TSplitMix& rng) {
    return 2.0 * PI * rng.Uniform();
}

// One impact as an envelope detector sees it: a fast rise and an
// exponential decay, u samples after the impact (nothing before it).
double Impact(double u, double rise, double decay) {
    if (u < 0.0) return 0.0;
    return (1.0 - PortableExp(-u / rise)) * PortableExp(-u / decay);
}

// Kind 0: vibration velocity of a machine running at 1386 rpm: its 1x line,
// a weak 2x, the 3x-area line of the driven stage, the sway of the
// foundation below 6 Hz, broadband noise, and a few knocks of a loose part
// that ring a structural resonance.
std::vector<double> MachineVibration() {
    TSplitMix rng(0x0A7C'0000'0000'2310ull);
    struct TPart {
        double Amplitude, Hz, Phase;
    };
    std::vector<TPart> tones = {{78.0, SHAFT_HZ, 0}, {14.0, 2.0 * SHAFT_HZ, 0},
                                {34.0, 69.7, 0},     {58.0, 1.3, 0},
                                {40.0, 2.9, 0},      {26.0, 4.7, 0}};
    for (auto& tone : tones)
        tone.Phase = RandomPhase(rng) + PI;
    struct TKnock {
        double At, Amplitude;
    };
    const TKnock knocks[] = {{0.62, 150.0}, {1.65, 420.0}, {2.64, 190.0}};
    constexpr double RESONANCE_HZ = 161.0;
    constexpr double RING_S = 0.018;

    std::vector<double> s(WAVEFORM_LENGTH);
    for (int n = 0; n < WAVEFORM_LENGTH; ++n) {
        const double t = n / RATE_LOW;
        double v = 9.0 * rng.Normal();
        for (const auto& tone : tones)
            v += Tone(tone.Amplitude, tone.Hz, tone.Phase, t);
        for (const auto& knock : knocks) {
            const double u = t - knock.At;
            if (u < 0.0) continue;
            v += knock.Amplitude * PortableExp(-u / RING_S) * PortableSin(2.0 * PI * RESONANCE_HZ * u);
        }
        s[static_cast<std::size_t>(n)] = v;
    }
    return s;
}

// Kind 1: the demodulated envelope of a bearing with an outer-race defect:
// an impact every 1/92.5 s, stronger as the defect passes the load zone once
// per shaft turn and varying at random, over the detector's noise floor.
std::vector<double> BearingEnvelope() {
    TSplitMix rng(0x0A7C'0000'0000'9250ull);
    constexpr double PERIOD = RATE_LOW / DEFECT_HZ; // samples
    constexpr double RISE = 0.8;
    constexpr double DECAY = 4.0;
    const double loadPhase = RandomPhase(rng);
    std::vector<double> impactAt;
    std::vector<double> impactSize;
    for (double at = 3.0 * rng.Uniform() - PERIOD; at < WAVEFORM_LENGTH; at += PERIOD) {
        const double load = 1.0 + 0.55 * PortableCos(2.0 * PI * SHAFT_HZ * at / RATE_LOW + loadPhase);
        impactAt.push_back(at);
        impactSize.push_back(100.0 * load * PortableExp(0.35 * rng.Normal()));
    }
    std::vector<double> s(WAVEFORM_LENGTH);
    for (int n = 0; n < WAVEFORM_LENGTH; ++n) {
        double v = 5.0 * rng.Normal();
        for (std::size_t k = 0; k < impactAt.size(); ++k) {
            const double u = n - impactAt[k];
            if (u >= 0.0 && u < 20.0 * DECAY) v += impactSize[k] * Impact(u, RISE, DECAY);
        }
        s[static_cast<std::size_t>(n)] = v;
    }
    return s;
}

// Kind 2: the high-frequency channel over 0.128 s: the machine's blade and
// gear orders between 100 and 275 Hz carry most of the energy; each bearing
// impact shows as a short one-sided spike that rings a 2.5 kHz resonance of
// the housing, over broadband noise.
std::vector<double> HighFrequencyChannel() {
    TSplitMix rng(0x0A7C'0000'0006'4000ull);
    struct TPart {
        double Amplitude, Hz, Phase;
    };
    std::vector<TPart> tones = {{95.0, 5.0 * SHAFT_HZ, 0},
                                {150.0, 7.0 * SHAFT_HZ, 0},
                                {85.0, 9.0 * SHAFT_HZ, 0},
                                {60.0, 11.0 * SHAFT_HZ, 0}};
    for (auto& tone : tones)
        tone.Phase = RandomPhase(rng);
    constexpr double PERIOD = RATE_HF / DEFECT_HZ;
    constexpr double RING_HZ = 2500.0;
    constexpr double RING_DECAY = 25.0; // samples
    constexpr double RING_SHARE = 0.25;
    std::vector<double> impactAt;
    std::vector<double> impactSize;
    for (double at = PERIOD * rng.Uniform(); at < WAVEFORM_LENGTH; at += PERIOD) {
        impactAt.push_back(at);
        impactSize.push_back(900.0 * PortableExp(0.9 * rng.Normal()));
    }
    std::vector<double> s(WAVEFORM_LENGTH);
    for (int n = 0; n < WAVEFORM_LENGTH; ++n) {
        const double t = n / RATE_HF;
        double v = 50.0 * rng.Normal();
        for (const auto& tone : tones)
            v += Tone(tone.Amplitude, tone.Hz, tone.Phase, t);
        for (std::size_t k = 0; k < impactAt.size(); ++k) {
            const double u = n - impactAt[k];
            if (u < 0.0 || u >= 12.0 * RING_DECAY) continue;
            const double ring = PortableExp(-u / RING_DECAY) * PortableSin(2.0 * PI * RING_HZ * u / RATE_HF);
            v += impactSize[k] * (Impact(u, 0.7, 3.0) - RING_SHARE * ring);
        }
        s[static_cast<std::size_t>(n)] = v;
    }
    return s;
}

} // namespace

TSampleForm WaveformForm(int kind) {
    return kind == 1 ? TSampleForm::Signed : TSampleForm::Unsigned;
}

TWaveformTarget WaveformTarget(int kind) {
    switch (kind) {
    case 0:
        return {31854, 32644, 32210.0, 98.0};
    case 1:
        return {-22, 497, 50.2, 61.0};
    case 2:
        return {32222, 34985, 32768.0, 168.0};
    default:
        throw std::invalid_argument("no waveform of kind " + std::to_string(kind));
    }
}

std::string WaveformDescription(int kind) {
    switch (kind) {
    case 0:
        return "Vibration velocity of a machine at 1386 rpm, 2560 samples per second:\n"
               "1x at 23.1 Hz, a weak 2x, a line at 69.7 Hz, foundation sway below 6 Hz,\n"
               "broadband noise and three knocks of a loose part ringing at 161 Hz.\n";
    case 1:
        return "Envelope of a bearing with an outer-race defect, 2560 samples per second:\n"
               "an impact every 1/92.5 s (lines at 92.5, 185, 277.5 Hz), modulated once per\n"
               "shaft turn (23.1 Hz) and at random, over the detector's noise floor.\n";
    case 2:
        return "High-frequency channel, 64000 samples per second: machine orders between\n"
               "115 and 255 Hz (lines 13 to 35), bearing impacts every 1/92.5 s that ring\n"
               "a 2.5 kHz housing resonance, broadband noise.\n";
    default:
        throw std::invalid_argument("no waveform of kind " + std::to_string(kind));
    }
}

std::vector<int32_t> FitToTarget(std::vector<double> signal, const TWaveformTarget& target) {
    const auto count = static_cast<double>(signal.size());
    const auto lo = static_cast<double>(target.Min);
    const auto hi = static_cast<double>(target.Max);
    // Each pass refits what the clipping of the last one took away; the
    // clipped samples are few, so this settles fast.
    for (int pass = 0; pass < 100; ++pass) {
        const double mean = std::accumulate(signal.begin(), signal.end(), 0.0) / count;
        double power = 0.0;
        for (const double v : signal)
            power += (v - mean) * (v - mean);
        const double gain = target.AcRms / std::sqrt(power / count);
        for (double& v : signal)
            v = std::clamp(target.Mean + (v - mean) * gain, lo, hi);
    }

    std::vector<int32_t> values(signal.size());
    int64_t sum = 0;
    for (std::size_t i = 0; i < signal.size(); ++i) {
        values[i] = static_cast<int32_t>(std::round(signal[i]));
        sum += values[i];
    }
    // Keep the sum at the target: the samples that rounding moved furthest
    // take the remaining unit steps.
    const auto wanted = static_cast<int64_t>(std::llround(target.Mean * count));
    const int step = wanted > sum ? 1 : -1;
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < values.size(); ++i)
        if (values[i] + step >= target.Min && values[i] + step <= target.Max) order.push_back(i);
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return step * (signal[a] - values[a]) > step * (signal[b] - values[b]);
    });
    const auto moves = static_cast<std::size_t>(wanted > sum ? wanted - sum : sum - wanted);
    if (moves > order.size()) throw std::runtime_error("cannot round to the target mean");
    for (std::size_t i = 0; i < moves; ++i)
        values[order[i]] += step;

    const auto [minIt, maxIt] = std::minmax_element(values.begin(), values.end());
    if (*minIt != target.Min || *maxIt != target.Max)
        throw std::runtime_error("the signal does not reach the target's extremes");
    return values;
}

std::vector<int32_t> SynthesizeWaveform(int kind) {
    const TWaveformTarget target = WaveformTarget(kind);
    switch (kind) {
    case 0:
        return FitToTarget(MachineVibration(), target);
    case 1:
        return FitToTarget(BearingEnvelope(), target);
    default:
        return FitToTarget(HighFrequencyChannel(), target);
    }
}
