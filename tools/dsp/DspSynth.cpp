#include "DspSynth.h"

#include "measure/Samplingimp.h"
#include "signals/ConditionBand.h"
#include "signals/Synthesis.h"

#include <cstdio>

#include <utility>

namespace {

// Options that set one figure of the condition, and the key they set.
constexpr std::pair<const char*, const char*> VALUE_OPTIONS[] = {
    {"--rpm", "rpm"},
    {"--velocity", "velocity"},
    {"--noise", "noise"},
    {"--seed", "seed"},
    {"--bearing", "bearing"},
    {"--teeth", "teeth"},
    {"--line", "line"},
    {"--blades", "blades"},
    {"--resonance", "resonance"},
    {"--stage", "stage"},
    {"--speed-jitter", "speed-jitter"},
    {"--shares", "shares"},
};

const char* ValueKey(const std::string& option) {
    for (const auto& [name, key] : VALUE_OPTIONS)
        if (option == name) return key;
    return nullptr;
}

std::string Hz(double hz) {
    char text[32];
    std::snprintf(text, sizeof text, hz >= 100.0 ? "%.0f" : "%.3g", hz);
    return text;
}

std::string Describe(const TBandWarning& w, int16_t kind) {
    const std::string band =
        "the " + Hz(w.Band.LowHz) + "-" + Hz(w.Band.HighHz) + " Hz band of kind " + std::to_string(kind);
    switch (w.Limit) {
    case TBandLimit::ShaftBelow:
        return "1x at " + Hz(w.Hz) + " Hz lies below " + band +
               ": the reading will be lower than the machine's severity";
    case TBandLimit::LineAbove:
        return std::string(ConditionName(w.Part)) + "'s line at " + Hz(w.Hz) + " Hz lies above " + band +
               (w.ShownBy >= 0 ? " (kind " + std::to_string(w.ShownBy) + " shows it)"
                               : " (no kind shows it)");
    case TBandLimit::LineBelow:
        break;
    }
    return std::string(ConditionName(w.Part)) + "'s line at " + Hz(w.Hz) + " Hz lies below " + band;
}

} // namespace

std::string SynthBandWarning(const TDspRequest& request) {
    std::string line;
    for (const TBandWarning& w : BandWarnings(request.Condition, request.Kind))
        line += (line.empty() ? "" : "; ") + Describe(w, request.Kind);
    return line;
}

std::optional<TDspRequest> ParseSynthArguments(const std::vector<std::string>& args, std::string& error) {
    TDspRequest request;
    request.Command = TDspCommand::Synth;
    bool haveCondition = false;
    bool haveFile = false;
    std::vector<std::string> given;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const char* key = ValueKey(arg);
        if (key != nullptr || arg == "--kind" || arg == "--condition") {
            if (i + 1 == args.size()) {
                error = arg + " needs a value";
                return std::nullopt;
            }
            for (const auto& earlier : given)
                if (earlier == arg) {
                    error = arg + " is given twice";
                    return std::nullopt;
                }
            given.push_back(arg);
            const std::string& value = args[++i];
            if (arg == "--kind") {
                if (value != "0" && value != "1" && value != "2") {
                    error = "--kind must be 0, 1 or 2, not '" + value + "'";
                    return std::nullopt;
                }
                request.Kind = static_cast<int16_t>(value[0] - '0');
            } else if (arg == "--condition") {
                std::string reason;
                if (!SetConditionName(request.Condition, value, reason)) {
                    error = "--condition: " + reason +
                            " (stored, good, imbalance, misalignment, looseness, bearing-outer, "
                            "bearing-inner, bearing-ball, bearing-cage, gear, electrical, vane-pass, "
                            "resonance, or A+B)";
                    return std::nullopt;
                }
                haveCondition = true;
            } else if (!SetConditionValue(request.Condition, key, value, error)) {
                error = arg + ": " + error;
                return std::nullopt;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option '" + arg + "'";
            return std::nullopt;
        } else if (haveFile) {
            error = "more than one output file ('" + request.File + "' and '" + arg + "')";
            return std::nullopt;
        } else {
            request.File = arg;
            haveFile = true;
        }
    }
    if (request.Kind == -1) {
        error = "synth needs --kind K";
    } else if (!haveCondition) {
        error = "synth needs --condition NAME";
    } else if (!haveFile) {
        error = "synth needs the output FILE";
    } else {
        return request;
    }
    return std::nullopt;
}

bool SynthSamples(const TDspRequest& request, std::vector<int16_t>& samples, bool& clipped,
                  std::string& error) {
    samples.assign(SAMPLE_COUNT, 0);
    clipped = false;
    if (request.Condition.Kind == TConditionKind::Stored) {
        int16_t table[SAMPLE_COUNT];
        if (!ReadWaveformTable(request.Kind, table)) {
            error = "stored waveform " + std::to_string(request.Kind) + " is missing from the program";
            return false;
        }
        samples.assign(table, table + SAMPLE_COUNT);
        return true;
    }
    clipped = SynthesizeCondition(request.Condition, request.Kind, samples.data());
    return true;
}
