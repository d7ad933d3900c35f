#include "pcdata/SpectrumCursors.h"

#include <algorithm>
#include <cmath>

std::size_t PeakLineNear(const std::vector<double>& amplitude, std::size_t index, std::size_t reach) {
    if (amplitude.empty()) return 0;
    index = std::min(index, amplitude.size() - 1);
    const std::size_t from = index > reach ? index - reach : 0;
    const std::size_t to = std::min(amplitude.size() - 1, index + reach);
    std::size_t best = index;
    for (std::size_t k = from; k <= to; ++k)
        if (amplitude[k] > amplitude[best]) best = k;
    return best;
}

double PeakPosition(const std::vector<double>& amplitude, std::size_t index) {
    const auto at = static_cast<double>(index);
    if (index == 0 || index + 1 >= amplitude.size()) return at;
    const double left = amplitude[index - 1], mid = amplitude[index], right = amplitude[index + 1];
    if (!(left > 0.0 && mid > 0.0 && right > 0.0) || mid < left || mid < right) return at;
    const double a = std::log(left), b = std::log(mid), c = std::log(right);
    const double curve = a - 2.0 * b + c;
    if (!(curve < 0.0)) return at;
    return at + std::clamp(0.5 * (a - c) / curve, -0.5, 0.5);
}

std::vector<THarmonicCursor> HarmonicCursors(const std::vector<double>& amplitude, double lineSpacing,
                                             std::size_t chosenLine, int count, std::size_t reach) {
    std::vector<THarmonicCursor> cursors;
    if (amplitude.empty() || !(lineSpacing > 0.0) || chosenLine == 0 || chosenLine >= amplitude.size())
        return cursors;
    const double fundamental = PeakPosition(amplitude, chosenLine); // in lines
    const auto last = static_cast<double>(amplitude.size() - 1);
    for (int order = 1; order <= count; ++order) {
        const double position = fundamental * order;
        if (position > last + 0.5) break;
        const auto nearest = static_cast<std::size_t>(std::min(std::llround(position), std::llround(last)));
        const std::size_t line = order == 1 ? chosenLine : PeakLineNear(amplitude, nearest, reach);
        cursors.push_back({order, position * lineSpacing, line, amplitude[line]});
    }
    return cursors;
}

std::vector<double> SpectrumDifference(const std::vector<double>& today,
                                       const std::vector<double>& baseline) {
    std::vector<double> difference(std::min(today.size(), baseline.size()));
    for (std::size_t i = 0; i < difference.size(); ++i)
        difference[i] = today[i] - baseline[i];
    return difference;
}

std::vector<double> SpectrumAtSpeed(const std::vector<double>& baseline, double baselineShaftHz,
                                    double shaftHz) {
    if (!(baselineShaftHz > 0.0) || !(shaftHz > 0.0) || baseline.empty() || baselineShaftHz == shaftHz)
        return baseline;
    const double ratio = baselineShaftHz / shaftHz; // baseline lines per line here
    const std::size_t size = baseline.size();
    std::vector<double> moved(size, 0.0);
    for (std::size_t k = 0; k < size; ++k) {
        const double at = static_cast<double>(k) * ratio;
        const auto below = static_cast<std::size_t>(at);
        if (below + 1 >= size) {
            if (below < size) moved[k] = baseline[below];
            continue;
        }
        const double part = at - static_cast<double>(below);
        moved[k] = baseline[below] * (1.0 - part) + baseline[below + 1] * part;
    }
    for (std::size_t j = 0; j < size; ++j) {
        const double to = std::round(static_cast<double>(j) / ratio);
        if (to >= static_cast<double>(size)) break;
        double& there = moved[static_cast<std::size_t>(to)];
        there = std::max(there, baseline[j]);
    }
    return moved;
}
