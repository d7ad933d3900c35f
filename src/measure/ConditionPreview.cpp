#include "measure/ConditionPreview.h"

#include "measure/PointConditions.h"
#include "measure/Routes.h"
#include "measure/Samplingimp.h"
#include "resources/StringIds.h"
#include "signals/ConditionBand.h"
#include "signals/SignalSpectrum.h"
#include "signals/Synthesis.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace {

// The stored waveform of kind in mm/s: codes about their mean (kinds 0
// and 2) or as they are (kind 1), on the velocity scale.
std::vector<double> StoredSignal(int16_t kind) {
    int16_t table[SAMPLE_COUNT];
    if (!ReadWaveformTable(kind, table)) return std::vector<double>(SAMPLE_COUNT, 0.0);
    std::vector<double> signal(SAMPLE_COUNT);
    double mean = 0.0;
    for (int i = 0; i < SAMPLE_COUNT; ++i) {
        const std::size_t at = static_cast<std::size_t>(i);
        signal[at] = kind == KIND_MEAS_E ? static_cast<double>(table[i])
                                         : static_cast<double>(static_cast<uint16_t>(table[i]));
        mean += signal[at];
    }
    mean = kind == KIND_MEAS_E ? 0.0 : mean / SAMPLE_COUNT;
    for (double& value : signal)
        value = (value - mean) * VELOCITY_PER_CODE;
    return signal;
}

// The first lines lie below the instrument's 10 Hz band edge; on the low
// channel they are left out as the instrument leaves them out.
void ClearBelowBand(std::vector<double>& lines, int16_t kind) {
    const int first = kind == KIND_HF ? 3 : BAND_FIRST_LINE;
    std::fill(lines.begin(), lines.begin() + std::min<std::ptrdiff_t>(first, std::ssize(lines)), 0.0);
}

TNoteArg Figure(double value, int decimals) {
    return {0, NoteFigure(value, decimals)};
}

bool Uses(const TCondition& c, TConditionKind kind) {
    return c.Kind == kind || c.Second == kind;
}

} // namespace

std::string NoteFigure(double value, int decimals) {
    char text[64];
    if (decimals < 0)
        std::snprintf(text, sizeof text, "%.12g", value);
    else
        std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

TConditionPreview PreviewCondition(const TCondition& condition, int16_t kind) {
    TConditionPreview preview;
    preview.Rate = kind == KIND_HF ? HF_RATE : LOW_RATE;
    if (condition.Kind == TConditionKind::Stored) {
        preview.Signal = StoredSignal(kind);
        const std::vector<double> velocity = kind == KIND_MEAS ? preview.Signal : StoredSignal(KIND_MEAS);
        preview.VelocityRms = SignalBandRms(velocity, BAND_FIRST_LINE, BAND_LAST_LINE);
    } else {
        preview.Signal = SynthesizeSignal(condition, kind);
        std::array<int16_t, SAMPLE_COUNT> codes{};
        preview.Clipped = SynthesizeCondition(condition, kind, codes.data());
        const std::vector<double> velocity =
            kind == KIND_MEAS ? preview.Signal : SynthesizeSignal(condition, KIND_MEAS);
        preview.VelocityRms = SignalBandRms(velocity, BAND_FIRST_LINE, BAND_LAST_LINE);
    }
    preview.Lines = LineRms(preview.Signal);
    ClearBelowBand(preview.Lines, kind);
    return preview;
}

int16_t PreviewKind(int16_t source) {
    if (source >= 1 && source <= ROUTE_POINT_COUNT) return RoutePointKind(source);
    return source == SOURCE_HF ? KIND_HF : KIND_MEAS;
}

int InstrumentShowsText(int16_t source, int16_t kind) {
    if (kind == KIND_MEAS_E) return TEXT_PREVIEW_KIND_1;
    if (kind == KIND_HF) return TEXT_PREVIEW_KIND_2;
    return source == SOURCE_WATCH ? TEXT_PREVIEW_WATCH : TEXT_PREVIEW_KIND_0;
}

double PreviewSpanMs(int16_t kind) {
    return kind == KIND_HF ? 25.0 : 400.0;
}

double PreviewMaxHz(int16_t kind) {
    return kind == KIND_HF ? HF_RATE / 2 : 1000.0;
}

std::vector<TCharacteristicLine> PreviewMarkers(const TCondition& condition, int16_t kind) {
    if (kind == KIND_HF || condition.Kind == TConditionKind::Stored) return {};
    return CharacteristicLines(condition, PreviewMaxHz(kind));
}

int MarkerRank(const std::string& label) {
    if (label.find_first_of("+-") != std::string::npos) return 2;
    return label.ends_with('x') ? 1 : 0;
}

TMarkerFamily MarkerFamily(const std::string& label) {
    const auto has = [&label](const char* name) { return label.find(name) != std::string::npos; };
    if (has("GMF") || has("VPF")) return TMarkerFamily::Mesh;
    if (has("BP") || has("BSF") || has("FTF")) return TMarkerFamily::Bearing;
    if (has("LF")) return TMarkerFamily::Supply;
    if (has("RES")) return TMarkerFamily::Resonance;
    return TMarkerFamily::Shaft;
}

std::vector<TConditionNote> ConditionNotes(const TCondition& condition, int16_t kind,
                                           const TConditionPreview& preview) {
    std::vector<TConditionNote> notes;
    for (const TBandWarning& warning : BandWarnings(condition, kind)) {
        const TNoteArg low = Figure(warning.Band.LowHz, 0);
        const TNoteArg high = Figure(warning.Band.HighHz, 0);
        const TNoteArg fault{TEXT_CONDITION_STORED + static_cast<int>(warning.Part), {}};
        const TNoteArg hz = Figure(warning.Hz, 1);
        switch (warning.Limit) {
        case TBandLimit::ShaftBelow:
            notes.push_back({TEXT_BAND_SHAFT_BELOW, {hz, low}, true});
            break;
        case TBandLimit::LineAbove:
            notes.push_back({warning.ShownBy == KIND_HF ? TEXT_BAND_LINE_ABOVE_HF : TEXT_BAND_LINE_ABOVE_NONE,
                             {fault, hz, low, high},
                             true});
            break;
        case TBandLimit::LineBelow:
            notes.push_back({TEXT_BAND_LINE_BELOW, {fault, hz, low, high}, true});
            break;
        }
    }
    const bool synthesized = condition.Kind != TConditionKind::Stored;
    if (synthesized && kind != KIND_HF && preview.VelocityRms < INSTRUMENT_NOISE_MM_S)
        notes.push_back({TEXT_BELOW_NOISE, {Figure(preview.VelocityRms, 2)}, true});
    if (preview.Clipped) notes.push_back({TEXT_CLIPPED, {}, true});
    if (Uses(condition, TConditionKind::BearingBall) && kind != KIND_HF)
        notes.push_back({TEXT_BALL_LINES, {}, false});
    if (!preview.Clipped) notes.push_back({TEXT_APPLIES_NEXT, {}, false});
    return notes;
}

std::string RowFigure(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

std::vector<TConditionNote> ConditionDetails(const TCondition& c) {
    std::vector<TConditionNote> details;
    if (IsBearingKind(c.Kind) || IsBearingKind(c.Second)) {
        const TBearingGeometry& b = c.Bearing;
        details.push_back(
            {0,
             {{0, "N=" + std::to_string(b.Elements) + "  d=" + RowFigure(b.BallDiameter) +
                      "  D=" + RowFigure(b.PitchDiameter) + "  " + RowFigure(b.ContactAngle) + "\u00b0"}},
             false});
    }
    if (Uses(c, TConditionKind::Gear)) details.push_back({0, {{0, "z=" + std::to_string(c.Teeth)}}, false});
    if (Uses(c, TConditionKind::VanePass))
        details.push_back({0, {{0, "z=" + std::to_string(c.Blades)}}, false});
    if (Uses(c, TConditionKind::Electrical))
        details.push_back({TEXT_LINE_HZ, {{0, std::to_string(c.LineHz)}}, false});
    if (Uses(c, TConditionKind::Resonance))
        details.push_back({TEXT_LINE_HZ, {{0, RowFigure(c.ResonanceHz)}}, false});
    return details;
}
