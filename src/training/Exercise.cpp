#include "training/Exercise.h"

#include "measure/Routes.h"
#include "resources/StringIds.h"

#include <algorithm>
#include <set>

namespace {

constexpr const char* kAskNames[] = {"condition", "zone", "both"};
constexpr const char* kGroupNames[] = {"2-rigid", "2-flexible", "1-rigid", "1-flexible"};

} // namespace

int ExerciseMachineOf(int16_t point) {
    // Machines follow one another along the route: a new machine name starts the next.
    int machine = 1;
    for (int16_t p = 2; p <= point && p <= ROUTE_POINT_COUNT; ++p)
        if (RoutePointName(p).MachineId != RoutePointName(static_cast<int16_t>(p - 1)).MachineId) ++machine;
    return std::min(machine, EXERCISE_MACHINES);
}

TMachineGroup ExerciseGroupOf(const TExercise& exercise, int16_t point) {
    return exercise.Groups[static_cast<std::size_t>(ExerciseMachineOf(point) - 1)];
}

int CheckExercise(const TExercise& exercise) {
    if (exercise.Title.size() > EXERCISE_TITLE_MAX ||
        exercise.Instructions.size() > EXERCISE_INSTRUCTIONS_MAX)
        return TEXT_EXERCISE_TEXT_TOO_LONG;
    if (exercise.TimeLimitSeconds > EXERCISE_TIME_LIMIT_MAX) return TEXT_EXERCISE_TIME_LIMIT;
    if (exercise.Asked.empty()) return TEXT_EXERCISE_NO_ASKED;
    std::set<int16_t> seen;
    for (const TAskedPoint& asked : exercise.Asked) {
        if (asked.Point < 1 || asked.Point > ROUTE_POINT_COUNT) return TEXT_EXERCISE_ASKED_OFF_ROUTE;
        if (!seen.insert(asked.Point).second) return TEXT_EXERCISE_ASKED_TWICE;
        if (asked.Hint.size() > EXERCISE_HINT_MAX) return TEXT_EXERCISE_TEXT_TOO_LONG;
        const auto found = exercise.Conditions.find(asked.Point);
        if (found == exercise.Conditions.end() || found->second.Kind == TConditionKind::Stored)
            return TEXT_EXERCISE_ASKED_STORED;
    }
    return 0;
}

const char* AskName(TAsk what) {
    return kAskNames[static_cast<std::size_t>(what)];
}

bool ParseAsk(std::string_view text, TAsk& what) {
    for (std::size_t i = 0; i < std::size(kAskNames); ++i)
        if (text == kAskNames[i]) {
            what = static_cast<TAsk>(i);
            return true;
        }
    return false;
}

const char* MachineGroupName(TMachineGroup group) {
    return kGroupNames[static_cast<std::size_t>(group)];
}

bool ParseMachineGroup(std::string_view text, TMachineGroup& group) {
    for (std::size_t i = 0; i < std::size(kGroupNames); ++i)
        if (text == kGroupNames[i]) {
            group = static_cast<TMachineGroup>(i);
            return true;
        }
    return false;
}
