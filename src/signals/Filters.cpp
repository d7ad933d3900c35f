#include "signals/Filters.h"

#include "signals/SignalMath.h"

#include <cmath>

namespace {

double Tan(double x) {
    return PortableSin(x) / PortableCos(x);
}

} // namespace

template <int Order> std::array<TBiquad, Order / 2> ButterworthLowPass(double cutoffHz, double rate) {
    static_assert(Order >= 2 && Order % 2 == 0, "even orders only");
    std::array<TBiquad, Order / 2> sections{};
    const double k = Tan(PI * cutoffHz / rate);
    for (int s = 0; s < Order / 2; ++s) {
        const double q = 1.0 / (2.0 * PortableSin((2 * s + 1) * PI / (2.0 * Order)));
        const double norm = 1.0 / (1.0 + k / q + k * k);
        const double b0 = k * k * norm;
        sections[static_cast<std::size_t>(s)] = {b0, 2.0 * b0, b0, 2.0 * (k * k - 1.0) * norm,
                                                 (1.0 - k / q + k * k) * norm};
    }
    return sections;
}

template std::array<TBiquad, 3> ButterworthLowPass<6>(double, double);

double ButterworthGain(int order, double hz, double cutoffHz, double rate) {
    const double ratio = Tan(PI * std::abs(hz) / rate) / Tan(PI * cutoffHz / rate);
    double power = 1.0;
    for (int i = 0; i < order; ++i)
        power *= ratio * ratio;
    return 1.0 / std::sqrt(1.0 + power);
}

std::vector<double> BlackmanSincLowPass(int taps, double cutoffHz, double rate) {
    std::vector<double> h(static_cast<std::size_t>(taps));
    const int m = taps - 1;
    const double fc = cutoffHz / rate;
    double sum = 0.0;
    for (int i = 0; i <= m; ++i) {
        const double x = i - m / 2.0;
        const double sinc = x == 0.0 ? 2.0 * PI * fc : PortableSin(2.0 * PI * fc * x) / x;
        const double window =
            0.42 - 0.5 * PortableCos(2.0 * PI * i / m) + 0.08 * PortableCos(4.0 * PI * i / m);
        h[static_cast<std::size_t>(i)] = sinc * window;
        sum += h[static_cast<std::size_t>(i)];
    }
    for (double& v : h)
        v /= sum;
    return h;
}

std::vector<double> BlackmanHalfBand(int taps) {
    std::vector<double> h = BlackmanSincLowPass(taps, 0.25, 1.0);
    // The sinc's zeros and the window's ends, computed to a rounding error:
    // made exact.
    const int centre = taps / 2;
    double sum = 0.0;
    for (int i = 0; i < taps; ++i) {
        if ((i != centre && (i - centre) % 2 == 0) || i == 0 || i == taps - 1)
            h[static_cast<std::size_t>(i)] = 0.0;
        sum += h[static_cast<std::size_t>(i)];
    }
    for (double& v : h)
        v /= sum;
    return h;
}
