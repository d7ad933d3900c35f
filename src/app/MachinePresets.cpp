#include "app/MachinePresets.h"

#include "resources/StringIds.h"

#include <cstdlib>

namespace {

// Bearings: a 6309 on a pump's shaft (8 balls of 17.46 mm on a 72.5 mm
// pitch circle) and a 6205 in a motor (9 balls of 7.94 mm on 39.04 mm).
struct TPresetText {
    int NameId;
    const char* Condition;
    TMachineGroup Group;
};
constexpr TPresetText PRESETS[] = {
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
};

std::vector<TMachinePreset> BuildPresets() {
    std::vector<TMachinePreset> presets;
    for (const TPresetText& text : PRESETS) {
        std::string error;
        const auto condition = ParseCondition(text.Condition, error);
        // The table is the program's own: a text that does not parse is a
        // programming error, caught by the tests, never a user's.
        if (!condition) std::abort();
        presets.push_back({text.NameId, *condition, text.Group});
    }
    return presets;
}

} // namespace

const std::vector<TMachinePreset>& MachinePresets() {
    static const std::vector<TMachinePreset> presets = BuildPresets();
    return presets;
}
