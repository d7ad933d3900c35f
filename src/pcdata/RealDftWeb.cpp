#include "pcdata/RealDft.h"

std::vector<std::complex<double>> RealDft(const std::vector<double>& in) {
    return RealDftRadix2(in);
}
