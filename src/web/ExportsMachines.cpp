// The functions of the page's Machines panel: the condition of every source
// as the list shows it, the editor's fields, presets with their undo and the
// preview, all from the measurement core the Machines window uses. The
// assignments are the core's point conditions, which the instrument's worker
// reads under their lock and the saved state holds. Texts cross as UTF-8
// JSON; a returned text stays valid until the next call of this file that
// returns one.
#include "measure/ConditionFields.h"
#include "measure/ConditionPreview.h"
#include "measure/MachinePresets.h"
#include "measure/PointConditions.h"
#include "measure/Routes.h"
#include "measure/Samplingimp.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"
#include "signals/SeverityZone.h"
#include "signals/SignalSpectrum.h"
#include "training/AnswerSheet.h"
#include "web/WebExercise.h"
#include "web/WebRecorder.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string g_Returned;

const char* Return(std::string text) {
    g_Returned = std::move(text);
    return g_Returned.c_str();
}

// The last preset set on the points: marked until the next change, and
// undoable until then (the page's one panel owns it).
TPresetSet g_PresetSet;

// The rows below the route: sources the instrument measures off the route.
constexpr int16_t OTHER_SOURCES[] = {SOURCE_WATCH, SOURCE_OFFROUTE, SOURCE_HF};
constexpr int OTHER_SOURCE_TEXTS[] = {TEXT_SOURCE_WATCH, TEXT_SOURCE_OFFROUTE, TEXT_SOURCE_HF};

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

// A string table's text with %1..%9 replaced by args, in one pass (an
// argument's own % signs stay as they are).
std::string Format(const std::string& pattern, const std::vector<std::string>& args) {
    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        if (pattern[i] == '%' && next >= '1' && next <= '9' &&
            static_cast<std::size_t>(next - '1') < args.size()) {
            out += args[static_cast<std::size_t>(next - '1')];
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

std::string Worded(const TConditionNote& note) {
    std::vector<std::string> args;
    for (const TNoteArg& arg : note.Args)
        args.push_back(arg.TextId ? LoadStr(arg.TextId) : arg.Figure);
    return Format(note.TextId ? LoadStr(note.TextId) : std::string("%1"), args);
}

std::string ConditionText(const TCondition& c) {
    const std::string first = LoadStr(TEXT_CONDITION_STORED + static_cast<int>(c.Kind));
    return IsCombined(c) ? first + " + " + LoadStr(TEXT_CONDITION_STORED + static_cast<int>(c.Second))
                         : first;
}

// An asked point of an exercise under way, until the answers are in.
bool Hidden(int16_t source) {
    return WebExerciseRun().IsOpen() && WebExerciseRun().IsHidden(source);
}

bool Marked(int16_t source) {
    const auto& set = g_PresetSet.Targets;
    return !g_PresetSet.Undone && std::find(set.begin(), set.end(), source) != set.end();
}

std::string Row(int16_t source, const std::string& machine, const std::string& name) {
    if (Hidden(source))
        return "{\"source\":" + std::to_string(source) + ",\"machine\":" + JsonText(machine) +
               ",\"name\":" + JsonText(name) + ",\"condition\":" + JsonText(LoadStr(TEXT_HIDDEN)) +
               ",\"speed\":\"\",\"severity\":\"\",\"details\":\"\",\"marked\":false,\"hidden\":true}";
    const TCondition c = AssignedCondition(source);
    const bool stored = c.Kind == TConditionKind::Stored;
    std::string details;
    for (const TConditionNote& detail : ConditionDetails(c))
        details += (details.empty() ? "" : "  ") + Worded(detail);
    return "{\"source\":" + std::to_string(source) + ",\"machine\":" + JsonText(machine) +
           ",\"name\":" + JsonText(name) + ",\"condition\":" + JsonText(ConditionText(c)) +
           ",\"speed\":" + JsonText(stored ? "" : RowFigure(c.Rpm)) +
           ",\"severity\":" + JsonText(stored ? "" : RowFigure(c.Velocity)) +
           ",\"details\":" + JsonText(details) + ",\"marked\":" + (Marked(source) ? "true" : "false") + "}";
}

// The whole machine's note: what it set, or that it was undone.
std::string PresetNote() {
    const TPresetSet& set = g_PresetSet;
    if (set.PresetIndex < 0 || set.Targets.size() < 2) return "";
    const TMachinePreset& preset = MachinePresets()[static_cast<std::size_t>(set.PresetIndex)];
    const std::string machine = LoadStr(RoutePointName(set.Targets.front()).MachineId);
    if (set.Undone) return Format(LoadStr(TEXT_PRESET_UNDONE), {machine});
    const std::string separator = LoadStr(TEXT_LIST_SEPARATOR);
    std::string points;
    for (std::size_t i = 0; i < set.Targets.size(); ++i) {
        const TRoutePointName name = RoutePointName(set.Targets[i]);
        points += (i ? separator : "") + Format(LoadStr(TEXT_WHOLE_MACHINE_POINT),
                                                {std::to_string(name.Number), LoadStr(name.NameId),
                                                 LoadStr(preset.Points[i].RoleId)});
    }
    std::string text = Format(LoadStr(TEXT_WHOLE_MACHINE_SET), {LoadStr(preset.NameId), machine, points});
    std::string leftOut;
    for (std::size_t i = set.Targets.size(); i < preset.Points.size(); ++i)
        leftOut += (leftOut.empty() ? "" : separator) + LoadStr(preset.Points[i].RoleId);
    if (!leftOut.empty()) text += " " + Format(LoadStr(TEXT_WHOLE_MACHINE_LEFT_OUT), {machine, leftOut});
    return text;
}

std::string FieldJson(const TCondition& c, const TConditionField& field, int16_t source, bool used) {
    const std::string name = LoadStr(field.NameId);
    const std::string label =
        Format(LoadStr(TEXT_FIELD_RANGE), {name, NoteFigure(field.Min, -1), NoteFigure(field.Max, -1)});
    return "{\"key\":" + JsonText(field.Key) + ",\"used\":" + (used ? "true" : "false") +
           ",\"label\":" + JsonText(label) +
           ",\"value\":" + JsonText(NoteFigure(ConditionFieldValue(c, field, source), field.Decimals)) +
           ",\"min\":" + NoteFigure(field.Min, -1) + ",\"max\":" + NoteFigure(field.Max, -1) +
           ",\"step\":" + NoteFigure(field.Step, -1) + "}";
}

// Which fields the condition uses (the others are shown, disabled).
bool FieldUsed(const TCondition& c, std::string_view key) {
    const auto uses = [&c](TConditionKind kind) { return c.Kind == kind || c.Second == kind; };
    if (c.Kind == TConditionKind::Stored) return false;
    if (key == "share1" || key == "share2") return IsCombined(c);
    if (key == "elements" || key == "ball" || key == "pitch" || key == "angle" || key == "stage")
        return IsBearingKind(c.Kind) || IsBearingKind(c.Second);
    if (key == "teeth") return uses(TConditionKind::Gear);
    if (key == "blades") return uses(TConditionKind::VanePass);
    if (key == "resonance") return uses(TConditionKind::Resonance);
    if (key == "line") return uses(TConditionKind::Electrical);
    return true;
}

std::string Values(const std::vector<double>& values, std::size_t count) {
    std::string out = "[";
    for (std::size_t i = 0; i < std::min(count, values.size()); ++i)
        out += (i ? "," : "") + Number(values[i]);
    return out + "]";
}

bool IsSource(int source) {
    return source >= INT16_MIN && source <= INT16_MAX && IsAssignableSource(static_cast<int16_t>(source));
}

} // namespace

extern "C" {

// Every row of the list: the route's points with their machine's name, then
// WATCH, the off-route points and HF SP. under "Other measurements".
EMSCRIPTEN_KEEPALIVE const char* orx_MachineRows() {
    std::string rows = "[";
    for (int16_t point = 1; point <= ROUTE_POINT_COUNT; ++point) {
        const TRoutePointName name = RoutePointName(point);
        rows += (point > 1 ? "," : "") + Row(point, LoadStr(name.MachineId),
                                             std::to_string(name.Number) + "  " + LoadStr(name.NameId));
    }
    for (std::size_t i = 0; i < std::size(OTHER_SOURCES); ++i)
        rows += "," + Row(OTHER_SOURCES[i], LoadStr(TEXT_INSTRUMENT_SOURCES), LoadStr(OTHER_SOURCE_TEXTS[i]));
    return Return(rows + "]");
}

// The editor of source's condition: its kind and second fault (as the
// condition names them), the supply line, every field with its label, range
// and figure, whether the condition uses it, the preset it holds (0 none),
// the presets' names and the whole machine's note.
EMSCRIPTEN_KEEPALIVE const char* orx_MachineEditor(int source) {
    if (!IsSource(source) || Hidden(static_cast<int16_t>(source))) return Return("null");
    const auto s = static_cast<int16_t>(source);
    const TCondition c = AssignedCondition(s);
    std::string kinds = "[";
    for (int kind = 0; kind < CONDITION_KIND_COUNT; ++kind)
        kinds += std::string(kind ? "," : "") +
                 "{\"name\":" + JsonText(ConditionName(static_cast<TConditionKind>(kind))) +
                 ",\"text\":" + JsonText(LoadStr(TEXT_CONDITION_STORED + kind)) + "}";
    std::string fields = "[";
    for (const TConditionField& field : ConditionFields())
        fields += (fields.size() > 1 ? "," : "") + FieldJson(c, field, s, FieldUsed(c, field.Key));
    std::string presets = "[";
    for (const TMachinePreset& preset : MachinePresets())
        presets += (presets.size() > 1 ? "," : "") + std::string("{\"name\":") +
                   JsonText(LoadStr(preset.NameId)) +
                   ",\"whole\":" + (preset.WholeMachine() ? "true" : "false") +
                   ",\"group\":" + std::to_string(static_cast<int>(preset.Group)) + "}";
    const bool undoable =
        g_PresetSet.PresetIndex >= 0 && g_PresetSet.Targets.size() > 1 && !g_PresetSet.Undone;
    return Return(
        "{\"kind\":" + JsonText(ConditionName(c.Kind)) + ",\"second\":" + JsonText(ConditionName(c.Second)) +
        ",\"line\":" + std::to_string(c.LineHz) + ",\"lineUsed\":" +
        (FieldUsed(c, "line") ? "true" : "false") + ",\"kinds\":" + kinds + "],\"fields\":" + fields +
        "],\"presets\":" + presets + "],\"preset\":" + std::to_string(PresetHeld(s)) +
        ",\"presetNote\":" + JsonText(PresetNote()) + ",\"undo\":" + (undoable ? "true" : "false") + "}");
}

// Takes text into field key of source's condition ("kind", "second",
// "line" or a field's key); an empty text when it is taken (it applies from
// the next measurement), the refusal otherwise (nothing changed).
EMSCRIPTEN_KEEPALIVE const char* orx_SetMachineField(int source, const char* key, const char* text) {
    if (!IsSource(source) || Hidden(static_cast<int16_t>(source))) return Return("");
    const auto s = static_cast<int16_t>(source);
    TCondition c = AssignedCondition(s);
    if (const auto refusal = SetConditionField(c, key, text, s)) return Return(Worded(*refusal));
    // Any change of the user's own: the preset's undo would overwrite it.
    g_PresetSet = {};
    AssignCondition(s, c);
    WebRecordConditionsChanged();
    return Return("");
}

// Sets preset index (0-based) at source; its refusal, or an empty text.
EMSCRIPTEN_KEEPALIVE const char* orx_SetMachinePreset(int source, int index) {
    const auto& presets = MachinePresets();
    if (!IsSource(source) || Hidden(static_cast<int16_t>(source)) || index < 0 ||
        index >= static_cast<int>(presets.size()))
        return Return("");
    const auto s = static_cast<int16_t>(source);
    const TMachinePreset& preset = presets[static_cast<std::size_t>(index)];
    if (PresetTargets(preset, s).empty())
        return Return(Format(LoadStr(TEXT_WHOLE_MACHINE_NEEDS_ROUTE), {LoadStr(preset.NameId)}));
    g_PresetSet = SetPreset(index, s);
    WebRecordConditionsChanged();
    return Return("");
}

EMSCRIPTEN_KEEPALIVE void orx_UndoMachinePreset() {
    UndoPreset(g_PresetSet);
    WebRecordConditionsChanged();
}

// The whole state changed (an exercise opened or closed): the preset's undo
// would give the points what another state held.
EMSCRIPTEN_KEEPALIVE void orx_ForgetMachinePreset() {
    g_PresetSet = {};
}

// The preview of source's condition as the point measures it: what the
// instrument shows of it, the waveform's shown span and the spectrum up to
// its top (in Hz, or in RPM when rpm), the marked lines with their rank and
// family, the severity with its zone for machine group, and the notes.
EMSCRIPTEN_KEEPALIVE const char* orx_MachinePreview(int source, int group, int rpm) {
    if (!IsSource(source) || Hidden(static_cast<int16_t>(source))) return Return("null");
    const auto s = static_cast<int16_t>(source);
    const TCondition condition = SeededCondition(AssignedCondition(s), s);
    const int16_t kind = PreviewKind(s);
    const TConditionPreview preview = PreviewCondition(condition, kind);
    const double unit = rpm ? 60.0 : 1.0;
    const double dtMs = 1000.0 / preview.Rate;
    const double spanMs = PreviewSpanMs(kind);
    const double maxHz = PreviewMaxHz(kind);
    const double lineHz = preview.Rate / SIGNAL_LENGTH;
    std::string markers = "[";
    for (const TCharacteristicLine& line : PreviewMarkers(condition, kind))
        markers += (markers.size() > 1 ? "," : "") + std::string("{\"x\":") + Number(line.Hz * unit) +
                   ",\"label\":" + JsonText(line.Label) +
                   ",\"rank\":" + std::to_string(MarkerRank(line.Label)) +
                   ",\"family\":" + std::to_string(static_cast<int>(MarkerFamily(line.Label))) + "}";
    const auto machineGroup = static_cast<TMachineGroup>(std::clamp(group, 0, MACHINE_GROUP_COUNT - 1));
    const char zone = SeverityZone(preview.VelocityRms, machineGroup);
    const std::string shows = LoadStr(InstrumentShowsText(s, kind));
    std::string notes = "[";
    for (const TConditionNote& note : ConditionNotes(condition, kind, preview))
        notes += (notes.size() > 1 ? "," : "") + std::string("{\"text\":") + JsonText(Worded(note)) +
                 ",\"warning\":" + (note.Warning ? "true" : "false") + "}";
    const bool envelope = kind == KIND_MEAS_E;
    return Return(
        "{\"shows\":" +
        JsonText(condition.Kind == TConditionKind::Stored ? LoadStr(TEXT_PREVIEW_STORED) + " " + shows
                                                          : shows) +
        ",\"waveform\":{\"dx\":" + Number(dtMs) + ",\"xMax\":" + Number(spanMs) + ",\"symmetric\":" +
        (envelope ? "false" : "true") + ",\"xTitle\":" + JsonText(LoadStr(TEXT_WAVEFORM_TITLE)) +
        ",\"yTitle\":" + JsonText(LoadStr(envelope ? TEXT_ENVELOPE_AXIS : TEXT_VELOCITY_AXIS)) +
        ",\"y\":" + Values(preview.Signal, static_cast<std::size_t>(spanMs / dtMs) + 1) +
        "},\"spectrum\":{\"dx\":" + Number(lineHz * unit) + ",\"xMax\":" + Number(maxHz * unit) +
        ",\"symmetric\":false,\"xTitle\":" + JsonText(LoadStr(rpm ? TEXT_FREQUENCY_RPM : TEXT_FREQUENCY_HZ)) +
        ",\"yTitle\":" + JsonText(LoadStr(envelope ? TEXT_ENVELOPE_AXIS_RMS : TEXT_VELOCITY_AXIS_RMS)) +
        ",\"y\":" + Values(preview.Lines, static_cast<std::size_t>(maxHz / lineHz) + 1) +
        ",\"markers\":" + markers + "]},\"velocity\":" + Number(preview.VelocityRms) + ",\"zone\":\"" + zone +
        "\",\"severity\":" +
        JsonText(
            Format(LoadStr(TEXT_SEVERITY_READING), {NoteFigure(preview.VelocityRms, 2), std::string(1, zone),
                                                    LoadStr(TEXT_ZONE_A + (zone - 'A'))})) +
        ",\"notes\":" + notes + "]}");
}

} // extern "C"
