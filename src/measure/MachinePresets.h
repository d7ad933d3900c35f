#pragma once
// Ready-made machines a trainer picks in the Machines window or the page's
// Machines panel (both front ends take them from here). A single one
// is a named condition with the figures of a typical machine of its kind and
// the machine group whose ISO 10816-3 zone its name states. A whole machine
// gives several points of one route machine each its own condition (the
// bearings of a motor and a pump, the two shafts of a gearbox), so that a
// trainee finds the fault at the point it lives on.
#include "signals/Condition.h"
#include "signals/SeverityZone.h"

#include <cstdint>
#include <utility>
#include <vector>

// One point of a preset: its role on the machine (a string id, 0 for a
// single preset) and its condition.
struct TPresetPoint {
    int RoleId;
    TCondition Condition;
};

struct TMachinePreset {
    int NameId; // string id of the preset's name
    std::vector<TPresetPoint> Points;
    TMachineGroup Group;
    bool WholeMachine() const { return Points.size() > 1; }
};

const std::vector<TMachinePreset>& MachinePresets();

// The route points a whole-machine preset sets when selected is chosen: the
// first points of selected's route machine, one per role, in the route's
// order; fewer where the machine has fewer points. Empty when selected is
// no route point. A single preset sets selected alone.
std::vector<int16_t> PresetTargets(const TMachinePreset& preset, int16_t selected);

// A preset as set on the points: which, the points it set (a whole machine
// shows them marked until the next change) and what they held before, for
// the undo. Targets is empty when a whole machine found no route point to
// set; nothing changed then.
struct TPresetSet {
    int PresetIndex = -1;
    int16_t Selected = 0;
    std::vector<int16_t> Targets;
    std::vector<std::pair<int16_t, TCondition>> Before;
    bool Undone = false;
};
// Assigns preset presetIndex (of MachinePresets()) as chosen at selected.
TPresetSet SetPreset(int presetIndex, int16_t selected);
// Gives the set points back what they held, once.
void UndoPreset(TPresetSet& set);
// The preset selected holds (all of its points, for a whole machine, which
// is looked for first: one of its points may hold a single preset's
// condition too) as its index + 1, or 0 for none.
int PresetHeld(int16_t selected);
