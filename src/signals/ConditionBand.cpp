#include "signals/ConditionBand.h"

#include "signals/SignalSpectrum.h"
#include "signals/Synthesis.h"

namespace {

// The spectrum view's lines, the same on every channel: 32..3200.
constexpr double VIEW_FIRST_LINE = 32.0;
constexpr double VIEW_LAST_LINE = 3200.0;
constexpr int16_t KIND_HIGH_FREQUENCY = 2;

double LineSpacing(int16_t kind) {
    return (kind == KIND_HIGH_FREQUENCY ? HF_RATE : LOW_RATE) / SIGNAL_LENGTH;
}

bool InBand(double hz, const TChannelBand& band) {
    return hz >= band.LowHz && hz <= band.HighHz;
}

} // namespace

TChannelBand ChannelBand(int16_t kind) {
    const double spacing = LineSpacing(kind);
    return {VIEW_FIRST_LINE * spacing, VIEW_LAST_LINE * spacing};
}

std::vector<TBandWarning> BandWarnings(const TCondition& condition, int16_t kind) {
    std::vector<TBandWarning> warnings;
    if (condition.Kind == TConditionKind::Stored) return warnings;
    const bool high = kind == KIND_HIGH_FREQUENCY;
    const TChannelBand band = ChannelBand(kind);
    const TChannelBand low = ChannelBand(0);
    const double shaftHz = condition.Rpm / 60.0;
    if (!high && shaftHz < low.LowHz)
        warnings.push_back({TBandLimit::ShaftBelow, condition.Kind, shaftHz, band, -1});
    for (int part = 0; part < (IsCombined(condition) ? 2 : 1); ++part) {
        const TCondition single = ConditionPart(condition, part);
        const double hz = FaultFrequency(single);
        // A line the shaft's warning already names is not named twice.
        if (InBand(hz, band) || (!high && hz == shaftHz && hz < band.LowHz)) continue;
        if (hz > band.HighHz) {
            const TChannelBand other = ChannelBand(KIND_HIGH_FREQUENCY);
            warnings.push_back({TBandLimit::LineAbove, single.Kind, hz, band,
                                !high && InBand(hz, other) ? KIND_HIGH_FREQUENCY : int16_t{-1}});
        } else if (!high) {
            warnings.push_back({TBandLimit::LineBelow, single.Kind, hz, band, -1});
        }
    }
    return warnings;
}
