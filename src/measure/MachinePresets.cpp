#include "measure/MachinePresets.h"

#include "measure/PointConditions.h"
#include "measure/Routes.h"
#include "resources/StringIds.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

TCondition Parsed(const char* text) {
    std::string error;
    const auto condition = ParseCondition(text, error);
    // The table is the program's own: a text that does not parse is a
    // programming error, caught by the tests, never a user's.
    if (!condition) std::abort();
    return *condition;
}

// Bearings: a 6309 on a pump's shaft (8 balls of 17.46 mm on a 72.5 mm
// pitch circle) and a 6205 in a motor (9 balls of 7.94 mm on 39.04 mm).
struct TPresetText {
    int NameId;
    const char* Condition;
    TMachineGroup Group;
};
constexpr TPresetText SINGLE_PRESETS[] = {
    {TEXT_PRESET_FAN_GOOD, "good rpm=1480 velocity=0.9", TMachineGroup::Group2Rigid},
    {TEXT_PRESET_FAN_IMBALANCE, "imbalance rpm=1480 velocity=3.6", TMachineGroup::Group2Rigid},
    {TEXT_PRESET_PUMP_MISALIGNMENT, "misalignment rpm=2950 velocity=3.8", TMachineGroup::Group2Rigid},
    {TEXT_PRESET_FAN_LOOSENESS, "looseness rpm=980 velocity=8", TMachineGroup::Group2Flexible},
    {TEXT_PRESET_PUMP_OUTER, "bearing-outer rpm=1480 velocity=3.6 bearing=8,17.46,72.5,0",
     TMachineGroup::Group2Rigid},
    {TEXT_PRESET_PUMP_INNER, "bearing-inner rpm=1480 velocity=2 bearing=8,17.46,72.5,0",
     TMachineGroup::Group2Rigid},
    {TEXT_PRESET_MOTOR_BALL, "bearing-ball rpm=2950 velocity=2 bearing=9,7.94,39.04,0",
     TMachineGroup::Group2Rigid},
    {TEXT_PRESET_MOTOR_CAGE, "bearing-cage rpm=2950 velocity=1.8 bearing=9,7.94,39.04,0",
     TMachineGroup::Group2Rigid},
    {TEXT_PRESET_GEARBOX_PINION, "gear rpm=1480 velocity=3.6 teeth=23", TMachineGroup::Group2Rigid},
    // 1x at 24.7 Hz sits on the frame's 25.5 Hz natural frequency: the
    // amplified 1x reads as imbalance, which balancing would not cure.
    {TEXT_PRESET_FAN_RESONANCE, "resonance rpm=1480 velocity=6 resonance=25.5",
     TMachineGroup::Group2Flexible},
    // 2x line at 100 Hz beside 2x running speed at 99 Hz: one line apart
    // only in the spectrum view's zoom.
    {TEXT_PRESET_MOTOR_ELECTRICAL, "electrical rpm=2970 velocity=2.4 line=50", TMachineGroup::Group2Rigid},
};

// A motor driving a pump at 2950 rpm, each bearing its own: 6310 and 6208
// in the motor, 6309 and 6308 in the pump. The pump's drive end bearing has
// an outer race defect far enough on to show in the velocity spectrum; the
// other three read the machine's running speed alone.
TMachinePreset MotorAndPump() {
    return {
        TEXT_PRESET_MOTOR_PUMP,
        {{TEXT_ROLE_MOTOR_DE, Parsed("good rpm=2950 velocity=1.4 bearing=8,19.05,80,0")},
         {TEXT_ROLE_MOTOR_NDE, Parsed("good rpm=2950 velocity=1.1 bearing=9,12.7,60,0")},
         {TEXT_ROLE_PUMP_DE, Parsed("bearing-outer rpm=2950 velocity=2.6 bearing=8,17.46,72.5,0 stage=3")},
         {TEXT_ROLE_PUMP_NDE, Parsed("good rpm=2950 velocity=1.6 bearing=8,15.08,65,0")}},
        TMachineGroup::Group2Rigid};
}

// A pinion of 23 teeth at 1480 rpm driving a wheel of 67: the output shaft
// turns at 1480 x 23 / 67 rpm, and both shafts show the one mesh frequency.
TMachinePreset GearboxBothShafts() {
    constexpr int16_t pinion = 23;
    constexpr int16_t wheel = 67;
    TCondition input = Parsed("gear rpm=1480 velocity=3.6");
    input.Teeth = pinion;
    TCondition output = Parsed("gear velocity=2.4");
    output.Teeth = wheel;
    output.Rpm = input.Rpm * pinion / wheel;
    return {TEXT_PRESET_GEARBOX_SHAFTS,
            {{TEXT_ROLE_INPUT_SHAFT, input}, {TEXT_ROLE_OUTPUT_SHAFT, output}},
            TMachineGroup::Group2Rigid};
}

std::vector<TMachinePreset> BuildPresets() {
    std::vector<TMachinePreset> presets;
    for (const TPresetText& text : SINGLE_PRESETS)
        presets.push_back({text.NameId, {{0, Parsed(text.Condition)}}, text.Group});
    presets.push_back(MotorAndPump());
    presets.push_back(GearboxBothShafts());
    return presets;
}

} // namespace

const std::vector<TMachinePreset>& MachinePresets() {
    static const std::vector<TMachinePreset> presets = BuildPresets();
    return presets;
}

std::vector<int16_t> PresetTargets(const TMachinePreset& preset, int16_t selected) {
    if (!preset.WholeMachine()) return {selected};
    std::vector<int16_t> targets;
    if (selected < 1 || selected > ROUTE_POINT_COUNT) return targets;
    const int16_t machine = RoutePointName(selected).MachineId;
    for (int16_t point = 1; point <= ROUTE_POINT_COUNT && targets.size() < preset.Points.size(); ++point)
        if (RoutePointName(point).MachineId == machine) targets.push_back(point);
    return targets;
}

TPresetSet SetPreset(int presetIndex, int16_t selected) {
    const TMachinePreset& preset = MachinePresets().at(static_cast<std::size_t>(presetIndex));
    TPresetSet set{presetIndex, selected, PresetTargets(preset, selected), {}, false};
    for (std::size_t i = 0; i < set.Targets.size(); ++i) {
        set.Before.emplace_back(set.Targets[i], AssignedCondition(set.Targets[i]));
        AssignCondition(set.Targets[i], preset.Points[i].Condition);
    }
    return set;
}

void UndoPreset(TPresetSet& set) {
    if (set.PresetIndex < 0 || set.Undone) return;
    for (const auto& [source, condition] : set.Before)
        AssignCondition(source, condition);
    set.Undone = true;
}

int PresetHeld(int16_t selected) {
    const auto& presets = MachinePresets();
    const auto holds = [selected](const TMachinePreset& preset) {
        const std::vector<int16_t> targets = PresetTargets(preset, selected);
        if (std::find(targets.begin(), targets.end(), selected) == targets.end()) return false;
        for (std::size_t i = 0; i < targets.size(); ++i)
            if (!(AssignedCondition(targets[i]) == preset.Points[i].Condition)) return false;
        return true;
    };
    for (const bool whole : {true, false})
        for (std::size_t i = 0; i < presets.size(); ++i)
            if (presets[i].WholeMachine() == whole && holds(presets[i])) return static_cast<int>(i) + 1;
    return 0;
}
