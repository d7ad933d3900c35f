#include "signals/Synthesis.h"

#include "signals/ConditionModel.h"
#include "signals/Envelope.h"
#include "signals/ImpactRings.h"
#include "signals/SignalMath.h"
#include "signals/SignalSpectrum.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>

namespace {

constexpr int N = SIGNAL_LENGTH;
constexpr double LOW_SECONDS = N / LOW_RATE;
constexpr double LINE_HZ = LOW_RATE / N;
// The velocity channel's anti-alias filter passes 0-1000 Hz and stops what
// lies above before it could fold: content above the band is not in its
// samples (it shows on the high-frequency channel).
constexpr double LOW_BAND_TOP_HZ = 1000.0;
// The E signal's high-rate path covers the low waveform and its filters'
// lead and trail.
constexpr double HIGH_LEAD_S = ENVELOPE_LEAD / ENVELOPE_RATE;
constexpr double HIGH_TRAIL_S = ENVELOPE_TRAIL / ENVELOPE_RATE;
// Impacts faster than this overlap in every ring and lie above every band
// an impact line could be read in (the low channels end at 1000 Hz): such a
// train is synthesized as its Fourier series, a bounded number of tones,
// rather than impact by impact. This also bounds the impacts of any
// condition to about 6500 per waveform.
constexpr double MAX_IMPACT_HZ = 2000.0;

// The structure's resonances and how fast an impact dies away in them.
constexpr double LOW_RING_HZ = 650.0;
constexpr double LOW_RING_S = 0.002;
constexpr double HF_RING_HZ = 4800.0;
constexpr double HF_RING_S = 0.0005;
// The one the E channel's band-pass is set around.
constexpr double ENVELOPE_RING_HZ = ENVELOPE_CENTRE_HZ;
// The noise in the E band is the machine's broadband noise, not the floor a
// worn bearing raises in the velocity spectrum; even a machine asked to be
// noiseless has some there (friction, flow): its envelope is never nothing.
constexpr double LEAST_ENVELOPE_NOISE = 0.01;

// The random part of one machine: drawn once, in a fixed order, for the
// whole 3.2 s (and the high-rate path's lead and trail); the high-frequency
// channel sees its first 0.128 s.
struct TDraws {
    std::vector<double> Phases;     // one per tone
    std::vector<double> ImpactAt;   // seconds
    std::vector<double> ImpactSize; // relative
    double TrainOffset = 0.0;       // a train synthesized as tones: its first impact, in periods
    std::vector<double> LowNoise;   // unit variance
};

double Gaussian(TSplitMix& rng) {
    // Irwin-Hall of four: cheap, and bounded like a real noise floor.
    const double sum = rng.Uniform() + rng.Uniform() + rng.Uniform() + rng.Uniform();
    return (sum - 2.0) * 1.7320508075688772;
}

TDraws Draw(const TConditionModel& m, TSplitMix& rng) {
    TDraws d;
    for (std::size_t i = 0; i < m.Tones.size(); ++i)
        d.Phases.push_back(2.0 * PI * rng.Uniform());
    if (m.ImpactHz > 0.0 && m.ImpactHz <= MAX_IMPACT_HZ) {
        const double period = 1.0 / m.ImpactHz;
        const double offset = rng.Uniform();
        const double modulationPhase = 2.0 * PI * rng.Uniform();
        // From a period before the high-rate path's lead, so that every
        // waveform opens mid-ring; the count follows from MAX_IMPACT_HZ.
        const auto first = -static_cast<long>(HIGH_LEAD_S * m.ImpactHz) - 1;
        const auto last = static_cast<long>((LOW_SECONDS + HIGH_TRAIL_S) * m.ImpactHz) + 1;
        for (long k = first; k <= last; ++k) {
            const double at =
                (static_cast<double>(k) + offset + m.Slip * (2.0 * rng.Uniform() - 1.0)) * period;
            const double load =
                1.0 + m.ModulationDepth * PortableCos(2.0 * PI * m.ModulationHz * at + modulationPhase);
            d.ImpactAt.push_back(at);
            d.ImpactSize.push_back(load * (1.0 + m.SizeSpread * (2.0 * rng.Uniform() - 1.0)));
        }
    } else if (m.ImpactHz > 0.0) {
        d.TrainOffset = rng.Uniform();
    }
    d.LowNoise.resize(N);
    for (double& v : d.LowNoise)
        v = Gaussian(rng);
    return d;
}

// Adds Im((re + j im) e^(j 2 pi hz t)), t = 0 at x[0], by rotating
// phasors: exact to a few parts in 10^12 over the whole waveform, and far
// cheaper than sin(). Eight phasors a sample apart each step eight samples,
// so that their rotations do not wait on one another.
void AddPhasor(std::vector<double>& x, double rate, double hz, double re, double im) {
    if (!(hz > 0.0 && hz < rate / 2.0)) return; // NaN as well
    constexpr std::size_t LANES = 8;
    const double step = 2.0 * PI * hz / rate;
    std::array<double, LANES> lr{}, li{};
    for (std::size_t k = 0; k < LANES; ++k) {
        const double c = PortableCos(step * static_cast<double>(k));
        const double s = PortableSin(step * static_cast<double>(k));
        lr[k] = re * c - im * s;
        li[k] = re * s + im * c;
    }
    const double c = PortableCos(step * LANES);
    const double s = PortableSin(step * LANES);
    const std::size_t whole = x.size() - x.size() % LANES;
    for (std::size_t n = 0; n < whole; n += LANES)
        for (std::size_t k = 0; k < LANES; ++k) {
            x[n + k] += li[k];
            const double next = lr[k] * c - li[k] * s;
            li[k] = lr[k] * s + li[k] * c;
            lr[k] = next;
        }
    for (std::size_t k = 0; whole + k < x.size(); ++k)
        x[whole + k] += li[k];
}

// Adds amplitude x sin(2 pi hz t + phase).
void AddTone(std::vector<double>& x, double rate, double hz, double amplitude, double phase) {
    AddPhasor(x, rate, hz, amplitude * PortableCos(phase), amplitude * PortableSin(phase));
}

// One impact at `at` seconds: size x exp(-u / decay) x sin(2 pi hz u).
void AddImpact(std::vector<double>& x, double rate, double at, double size, double hz, double decay) {
    // Only an impact that rings into x: no instant converts out of range.
    const double start = std::ceil(at * rate);
    if (!(start < static_cast<double>(x.size()) && start > -8.0 * decay * rate - 1.0)) return;
    const auto first = static_cast<long>(std::max(0.0, start));
    const long last =
        std::min(static_cast<long>(x.size()), first + static_cast<long>(8.0 * decay * rate) + 1);
    if (first >= last) return;
    const double u0 = first / rate - at;
    const double fade = PortableExp(-1.0 / (decay * rate));
    const double step = 2.0 * PI * hz / rate;
    const double c = PortableCos(step) * fade;
    const double s = PortableSin(step) * fade;
    const double magnitude = size * PortableExp(-u0 / decay);
    double re = magnitude * PortableCos(2.0 * PI * hz * u0);
    double im = magnitude * PortableSin(2.0 * PI * hz * u0);
    for (long i = first; i < last; ++i) {
        x[static_cast<std::size_t>(i)] += im;
        const double next = re * c - im * s;
        im = re * s + im * c;
        re = next;
    }
}

double Rms(const std::vector<double>& x) {
    double sum = 0.0;
    for (double v : x)
        sum += v * v;
    return std::sqrt(sum / static_cast<double>(x.size()));
}

// A train of impacts too dense to synthesize one by one (ImpactHz above
// MAX_IMPACT_HZ), as its Fourier series: impacts of size 1 every T = 1/f
// ringing h(t) = e^(-t/decay) sin(2 pi ring t) give the lines
// 2 f |H(m f)| at m f, H(f) = w / ((1/decay + j 2 pi f)^2 + w^2), w = 2 pi
// ring; the drawn offset places the first impact. Slip and load modulation
// average out at such rates. At most rate / (2 MAX_IMPACT_HZ) lines.
void AddTrain(std::vector<double>& x, double rate, double startS, const TConditionModel& m, const TDraws& d,
              double ringHz, double decay, double gain, double leastGain) {
    if (m.ImpactHz <= MAX_IMPACT_HZ) return;
    const double w = 2.0 * PI * ringHz;
    const double a = 1.0 / decay;
    for (int harmonic = 1; harmonic * m.ImpactHz < rate / 2.0; ++harmonic) {
        const double hz = harmonic * m.ImpactHz;
        if (leastGain > 0.0 && EnvelopeBandGain(hz) < leastGain) continue;
        // (a + j 2 pi f)^2 + w^2 = p + j q; H = w (p - j q) / (p^2 + q^2).
        const double v = 2.0 * PI * hz;
        const double p = a * a - v * v + w * w;
        const double q = 2.0 * a * v;
        const double scale = gain * 2.0 * m.ImpactHz * w / (p * p + q * q);
        // cos(2 pi f (t - t0)) x H: as Im(j H e^(j 2 pi f (t - t0))), t0 the
        // first impact, t measured from startS.
        const double angle = -v * (d.TrainOffset / m.ImpactHz - startS);
        const double hr = scale * p, hi = -scale * q; // H
        const double jr = -hi, ji = hr;               // j H
        const double c = PortableCos(angle), s = PortableSin(angle);
        AddPhasor(x, rate, hz, jr * c - ji * s, jr * s + ji * c);
    }
}

// The band of the severity (ISO 10816-3), in lines of the low channel:
// 10-1000 Hz above 600 rpm, 2-1000 Hz at or below; below the standard's
// 120 rpm it opens at the running speed, so that 1x always counts. The
// first line is a line or two below the edge, as the instrument's own band
// (line 30 for 10 Hz), so that a line on the edge counts whole.
int SeverityFirstLine(double rpm) {
    if (rpm > 600.0) return BAND_FIRST_LINE;
    const double edge = rpm > 0.0 && rpm < 120.0 ? rpm / 60.0 : 2.0;
    return std::max(1, static_cast<int>(edge / LINE_HZ) - 1);
}

// Noise raised around a structural resonance below the low channel's
// Nyquist frequency: the white noise through the resonance (impulse
// invariant, the damping of ConditionModel's), added at HUMP_GAIN times the
// floor where the resonance peaks.
void AddNoiseHump(std::vector<double>& noise, double hz) {
    constexpr double HUMP_GAIN = 3.0;
    constexpr double DAMPING = 0.05;
    if (!(hz > 0.0 && hz < LOW_RATE / 2.0)) return;
    const double r = PortableExp(-DAMPING * 2.0 * PI * hz / LOW_RATE);
    const double theta = 2.0 * PI * hz / LOW_RATE;
    const double c1 = 2.0 * r * PortableCos(theta);
    const double c2 = -r * r;
    // |1 - c1 e^-j theta - c2 e^-2j theta| at the peak, for the gain.
    const double re = 1.0 - c1 * PortableCos(theta) - c2 * PortableCos(2.0 * theta);
    const double im = c1 * PortableSin(theta) + c2 * PortableSin(2.0 * theta);
    const double gain = HUMP_GAIN * std::sqrt(re * re + im * im);
    double y1 = 0.0, y2 = 0.0, input1 = 0.0;
    for (double& v : noise) {
        const double y = c1 * y1 + c2 * y2 + input1;
        input1 = v;
        y2 = y1;
        y1 = y;
        v += gain * y;
    }
}

// One part of the machine on the low channel, in model units: its smooth
// part (tones the channel passes), its impacts ringing, its noise, and the
// scale that gives the part its velocity.
struct TLowSignal {
    std::vector<double> Smooth, Ring, Noise;
    double MachineRms; // of Smooth + Ring
    double Scale;      // mm/s per model unit
};

TLowSignal BuildLow(const TCondition& c, const TConditionModel& m, const TDraws& d, double velocity) {
    const double fr = c.Rpm / 60.0;
    TLowSignal s{std::vector<double>(N), std::vector<double>(N), std::vector<double>(N), 0.0, 0.0};
    for (std::size_t i = 0; i < m.Tones.size(); ++i) {
        const double hz = m.Tones[i].Order * fr;
        if (hz <= LOW_BAND_TOP_HZ) AddTone(s.Smooth, LOW_RATE, hz, m.Tones[i].Amplitude, d.Phases[i]);
    }
    if (m.ClipBelow > 0.0) {
        double peak = 0.0;
        for (double v : s.Smooth)
            peak = std::max(peak, std::abs(v));
        for (double& v : s.Smooth)
            v = std::max(v, -m.ClipBelow * peak);
    }
    if (m.LowRing > 0.0) {
        AddImpactRings(s.Ring, LOW_RATE, 0.0, d.ImpactAt, d.ImpactSize, LOW_RING_HZ, LOW_RING_S);
        // A velocity ring has no mean (the structure comes back to rest);
        // the damped sine keeps a small one, which a dense train would pile
        // up into an offset the converter has no room for.
        double mean = 0.0;
        for (double v : s.Ring)
            mean += v;
        mean /= N;
        for (double& v : s.Ring)
            v = m.LowRing * (v - mean);
    }
    std::vector<double> total(N);
    for (int i = 0; i < N; ++i)
        total[static_cast<std::size_t>(i)] =
            s.Smooth[static_cast<std::size_t>(i)] + s.Ring[static_cast<std::size_t>(i)];
    s.MachineRms = Rms(total);
    const double sigma = std::max(c.Noise, m.NoiseFloor) * s.MachineRms;
    for (int i = 0; i < N; ++i)
        s.Noise[static_cast<std::size_t>(i)] = d.LowNoise[static_cast<std::size_t>(i)];
    AddNoiseHump(s.Noise, m.NoiseHumpHz);
    for (int i = 0; i < N; ++i) {
        const auto j = static_cast<std::size_t>(i);
        s.Noise[j] *= sigma;
        total[j] += s.Noise[j];
    }
    // The machine's velocity RMS over the severity band sets the scale; the
    // instrument reads its own 10-1000 Hz, less for a slow machine.
    const double band = SignalBandRms(total, SeverityFirstLine(c.Rpm), BAND_LAST_LINE);
    s.Scale = band > 0.0 ? velocity / band : 0.0;
    return s;
}

// Adds one part's vibration at the envelope's high rate, in mm/s: its
// impacts ringing the resonance the E band is set around, its tones, and a
// broadband noise of the low channel's density. Tones the band-pass takes
// down by more than 40 dB are left out: they would add nothing the
// envelope's noise floor does not hide, and each costs as much as the noise.
void AddEnvelopeSource(std::vector<double>& high, const TCondition& c, const TConditionModel& m,
                       const TDraws& d, const TLowSignal& low, TSplitMix& rng) {
    constexpr double LEAST_GAIN = 0.01;
    const double fr = c.Rpm / 60.0;
    std::vector<double> part(high.size());
    for (std::size_t i = 0; i < m.Tones.size(); ++i) {
        const double hz = m.Tones[i].Order * fr;
        if (EnvelopeBandGain(hz) >= LEAST_GAIN)
            AddTone(part, ENVELOPE_RATE, hz, m.Tones[i].Amplitude, d.Phases[i] - 2.0 * PI * hz * HIGH_LEAD_S);
    }
    if (m.EnvelopeRing > 0.0) {
        for (std::size_t k = 0; k < d.ImpactAt.size(); ++k)
            AddImpact(part, ENVELOPE_RATE, d.ImpactAt[k] + HIGH_LEAD_S, m.EnvelopeRing * d.ImpactSize[k],
                      ENVELOPE_RING_HZ, HF_RING_S);
        AddTrain(part, ENVELOPE_RATE, -HIGH_LEAD_S, m, d, ENVELOPE_RING_HZ, HF_RING_S, m.EnvelopeRing,
                 LEAST_GAIN);
    }
    // Uniform draws: after the band-pass the noise is Gaussian all the same.
    const double sigma = std::max(c.Noise, LEAST_ENVELOPE_NOISE) * low.MachineRms *
                         std::sqrt(ENVELOPE_RATE / LOW_RATE) * 1.7320508075688772;
    for (std::size_t i = 0; i < high.size(); ++i)
        high[i] += low.Scale * (part[i] + sigma * (2.0 * rng.Uniform() - 1.0));
}

// Adds one part's high-frequency channel: the same machine, 25 times
// faster, with its own noise draws, in mm/s.
void AddHighFrequency(std::vector<double>& out, const TCondition& c, const TConditionModel& m,
                      const TDraws& d, const TLowSignal& low, TSplitMix& rng) {
    const double fr = c.Rpm / 60.0;
    std::vector<double> part(out.size());
    for (std::size_t i = 0; i < m.Tones.size(); ++i)
        AddTone(part, HF_RATE, m.Tones[i].Order * fr, m.Tones[i].Amplitude, d.Phases[i]);
    for (std::size_t k = 0; k < d.ImpactAt.size(); ++k)
        AddImpact(part, HF_RATE, d.ImpactAt[k], m.HfRing * d.ImpactSize[k], HF_RING_HZ, HF_RING_S);
    AddTrain(part, HF_RATE, 0.0, m, d, HF_RING_HZ, HF_RING_S, m.HfRing, 0.0);
    const double sigma = low.Noise.empty() ? 0.0 : Rms(low.Noise);
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] += low.Scale * (part[i] + sigma * Gaussian(rng));
}

// The machine is the sum of its parts (one, or two for a combined
// condition), each with its own draws and its share of the severity's mean
// square; the E signal is the envelope of the sum.
std::vector<double> BuildSignal(const TCondition& c, int16_t kind) {
    if (c.Kind == TConditionKind::Stored || kind < 0 || kind > 2) return {};
    const int parts = IsCombined(c) ? 2 : 1;
    std::array<TConditionModel, 2> models{ModelOf(ConditionPart(c, 0)), TConditionModel{}};
    if (parts == 2) {
        models[1] = ModelOf(ConditionPart(c, 1));
        ShareShaftOrders(models[0], models[1]);
    }
    const uint64_t seed = c.Seed.value_or(DEFAULT_SEED);
    std::vector<double> out(kind == 1 ? ENVELOPE_LEAD + ENVELOPE_DECIMATION * N + ENVELOPE_TRAIL : N);
    for (int p = 0; p < parts; ++p) {
        const TCondition part = ConditionPart(c, p);
        const TConditionModel& m = models[static_cast<std::size_t>(p)];
        TSplitMix rng((p == 0 ? 0x0C0D'1710'0000'0000ull : 0x0C0D'1711'0000'0000ull) ^ seed);
        const TDraws d = Draw(m, rng);
        const TLowSignal low = BuildLow(part, m, d, c.Velocity * std::sqrt(ShareOf(c, p)));
        if (kind == 0) {
            for (std::size_t i = 0; i < out.size(); ++i)
                out[i] += low.Scale * (low.Smooth[i] + low.Ring[i] + low.Noise[i]);
        } else if (kind == 1) {
            AddEnvelopeSource(out, part, m, d, low, rng);
        } else {
            AddHighFrequency(out, part, m, d, low, rng);
        }
    }
    return kind == 1 ? Demodulate(out, N) : out;
}

} // namespace

std::vector<double> SynthesizeSignal(const TCondition& condition, int16_t kind) {
    return BuildSignal(condition, kind);
}

namespace {

// A measured point's record is rebuilt from its condition whenever the
// firmware reads the point, and a machine step reads several: the latest
// waveforms are kept, enough for every source in both kinds. The same
// condition and kind always give the same samples, so a kept waveform is
// the waveform. The lock guards only the copies, never a wait.
struct TKeptWaveform {
    TCondition Condition;
    int16_t Kind;
    bool Clipped;
    std::array<int16_t, N> Samples;
};
constexpr std::size_t KEPT_WAVEFORMS = 32;
std::mutex g_KeptLock;
std::vector<TKeptWaveform> g_Kept; // most recently used first

bool FindKept(const TCondition& condition, int16_t kind, int16_t* samples, bool& clipped) {
    const std::lock_guard lock(g_KeptLock);
    const auto found = std::find_if(g_Kept.begin(), g_Kept.end(), [&](const TKeptWaveform& kept) {
        return kept.Kind == kind && kept.Condition == condition;
    });
    if (found == g_Kept.end()) return false;
    std::copy(found->Samples.begin(), found->Samples.end(), samples);
    clipped = found->Clipped;
    std::rotate(g_Kept.begin(), found, found + 1);
    return true;
}

void Keep(const TCondition& condition, int16_t kind, const int16_t* samples, bool clipped) {
    const std::lock_guard lock(g_KeptLock);
    if (g_Kept.size() == KEPT_WAVEFORMS) g_Kept.pop_back();
    TKeptWaveform kept{condition, kind, clipped, {}};
    std::copy(samples, samples + N, kept.Samples.begin());
    g_Kept.insert(g_Kept.begin(), std::move(kept));
}

} // namespace

bool SynthesizeCondition(const TCondition& condition, int16_t kind, int16_t* samples) {
    bool clipped = false;
    if (FindKept(condition, kind, samples, clipped)) return clipped;
    const std::vector<double> signal = BuildSignal(condition, kind);
    if (signal.empty()) return false;
    // Kinds 0 and 2 are offset binary around mid-scale, kind 1 two's complement.
    const double offset = kind == 1 ? 0.0 : 32768.0;
    const double low = kind == 1 ? -32768.0 : 0.0;
    const double high = kind == 1 ? 32767.0 : 65535.0;
    for (int i = 0; i < N; ++i) {
        double code = std::floor(signal[static_cast<std::size_t>(i)] / VELOCITY_PER_CODE + offset + 0.5);
        if (!(code >= low && code <= high)) {
            // Beyond the converter's range, or no number at all: an overload.
            clipped = true;
            code = code > high ? high : low;
        }
        const auto word = static_cast<uint16_t>(static_cast<int32_t>(code) & 0xFFFF);
        samples[i] = static_cast<int16_t>(word);
    }
    Keep(condition, kind, samples, clipped);
    return clipped;
}
