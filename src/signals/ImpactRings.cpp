#include "signals/ImpactRings.h"

#include "signals/SignalMath.h"

#include <array>
#include <cmath>

namespace {

// The pulse: a Blackman-windowed sinc at the Nyquist frequency over 28
// samples (S. W. Smith, "The Scientist and Engineer's Guide to Digital
// Signal Processing", ch. 16): flat to 0.39 of the rate (1000 Hz of 2560),
// -75 dB and less from 0.61 of it, so that nothing folds into the band
// above the converter's last bit. Kept for PHASES fractional instants,
// interpolated between them.
constexpr int TAPS = 28;
constexpr int HALF = TAPS / 2;
constexpr int PHASES = 64;

using TPhase = std::array<double, TAPS>;

// Phase p: sample j (j = 0..TAPS - 1) of a pulse at HALF - 1 + p / PHASES.
const std::array<TPhase, PHASES + 1>& Pulses() {
    static const std::array<TPhase, PHASES + 1> table = [] {
        std::array<TPhase, PHASES + 1> t{};
        for (int p = 0; p <= PHASES; ++p) {
            double sum = 0.0;
            for (int j = 0; j < TAPS; ++j) {
                const double x = j - (HALF - 1) - static_cast<double>(p) / PHASES; // -HALF..HALF
                const double sinc = x == 0.0 ? 1.0 : PortableSin(PI * x) / (PI * x);
                const double w = (x + HALF) / TAPS; // 0..1 over the window
                const double window =
                    0.42 - 0.5 * PortableCos(2.0 * PI * w) + 0.08 * PortableCos(4.0 * PI * w);
                t[static_cast<std::size_t>(p)][static_cast<std::size_t>(j)] = sinc * window;
                sum += sinc * window;
            }
            // Every instant carries the same weight: no ripple at the rate.
            for (double& v : t[static_cast<std::size_t>(p)])
                v /= sum;
        }
        return t;
    }();
    return table;
}

} // namespace

void AddImpactRings(std::vector<double>& x, double rate, double startS, const std::vector<double>& at,
                    const std::vector<double>& size, double hz, double decay) {
    // Impacts from this long before x[0] on still ring into it (e^-12).
    const auto lead = static_cast<std::size_t>(12.0 * decay * rate) + TAPS;
    std::vector<double> pulses(lead + x.size() + TAPS);
    const auto& table = Pulses();
    for (std::size_t k = 0; k < at.size() && k < size.size(); ++k) {
        const double position = (at[k] - startS) * rate + static_cast<double>(lead);
        if (!(position >= HALF) || position >= static_cast<double>(lead + x.size())) continue;
        const double whole = std::floor(position);
        const double phase = (position - whole) * PHASES;
        const auto p = static_cast<std::size_t>(phase);
        const double between = phase - static_cast<double>(p);
        const auto first = static_cast<std::size_t>(whole) - (HALF - 1);
        const TPhase& a = table[p];
        const TPhase& b = table[p + 1];
        for (std::size_t j = 0; j < TAPS; ++j)
            pulses[first + j] += size[k] * (a[j] + between * (b[j] - a[j]));
    }
    // The resonance, impulse-invariant: a pulse of 1 at sample 0 rings
    // r^n sin(n theta), r = e^(-1 / (decay rate)), theta = 2 pi hz / rate.
    const double r = PortableExp(-1.0 / (decay * rate));
    const double theta = 2.0 * PI * hz / rate;
    const double c1 = 2.0 * r * PortableCos(theta);
    const double c2 = -r * r;
    const double g = r * PortableSin(theta);
    double y1 = 0.0, y2 = 0.0, input1 = 0.0;
    for (std::size_t n = 0; n < pulses.size() - TAPS; ++n) {
        const double y = c1 * y1 + c2 * y2 + g * input1;
        input1 = pulses[n];
        y2 = y1;
        y1 = y;
        if (n >= lead) x[n - lead] += y;
    }
}
