#pragma once
// Ready-made machines a trainer picks in the Machines window: a named
// condition with the figures of a typical machine of its kind, and the
// machine group whose ISO 10816-3 zone its name states.
#include "signals/Condition.h"
#include "signals/SeverityZone.h"

#include <vector>

struct TMachinePreset {
    int NameId; // string id of the preset's name
    TCondition Condition;
    TMachineGroup Group;
};

const std::vector<TMachinePreset>& MachinePresets();
