#include "signals/SignalMath.h"

#include <cmath>

double TSplitMix::Normal() {
    double sum = 0.0;
    for (int i = 0; i < 12; ++i)
        sum += Uniform();
    return sum - 6.0;
}

double PortableSin(double x) {
    // std::round and the arithmetic below are exact or correctly rounded.
    const double turns = std::round(x / (2.0 * PI));
    const double r = x - turns * (2.0 * PI);
    const double r2 = r * r;
    double term = r;
    double sum = r;
    for (int n = 1; n <= 14; ++n) {
        term *= -r2 / static_cast<double>((2 * n) * (2 * n + 1));
        sum += term;
    }
    return sum;
}

double PortableCos(double x) {
    return PortableSin(x + PI / 2.0);
}

double PortableExp(double x) {
    if (x > 0.0) return 1.0 / PortableExp(-x);
    if (x < -700.0) return 0.0;
    // e^x = (e^(x/1024))^1024: the series converges fast on [-0.7, 0], then
    // ten squarings.
    const double r = x / 1024.0;
    double term = 1.0;
    double sum = 1.0;
    for (int n = 1; n <= 20; ++n) {
        term *= r / static_cast<double>(n);
        sum += term;
    }
    for (int i = 0; i < 10; ++i)
        sum *= sum;
    return sum;
}
