#include "training/Exercise.h"

#include "measure/Routes.h"
#include "platform/DateTime.h"
#include "resources/StringIds.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <set>

namespace {

constexpr const char* kAskNames[] = {"condition", "zone", "both", "visit"};
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

namespace {

int CheckVisits(const TExercise& exercise) {
    const auto& visits = exercise.Visits;
    if (visits.empty()) {
        for (const TAskedPoint& asked : exercise.Asked)
            if (asked.What == TAsk::Visit) return TEXT_VISIT_ASK_ALONE;
        return 0;
    }
    if (visits.size() < 2 || visits.size() > EXERCISE_VISITS_MAX || !visits[0].Changes.empty())
        return TEXT_VISIT_BAD;
    for (std::size_t i = 0; i < visits.size(); ++i) {
        const double date = visits[i].Date;
        if (!std::isfinite(date) || date < EXERCISE_VISIT_FIRST_DAY || date >= EXERCISE_VISIT_LAST_DAY + 1 ||
            (i > 0 && date <= visits[i - 1].Date))
            return TEXT_VISIT_BAD;
        for (const auto& [source, condition] : visits[i].Changes)
            if (condition.Kind == TConditionKind::Stored &&
                std::any_of(exercise.Asked.begin(), exercise.Asked.end(),
                            [point = source](const TAskedPoint& a) { return a.Point == point; }))
                return TEXT_EXERCISE_ASKED_STORED;
    }
    for (const TAskedPoint& asked : exercise.Asked)
        if (asked.What == TAsk::Visit && (asked.Zone < 'B' || asked.Zone > 'D')) return TEXT_VISIT_BAD;
    return 0;
}

} // namespace

int VisitCount(const TExercise& exercise) {
    return exercise.Visits.empty() ? 1 : static_cast<int>(exercise.Visits.size());
}

std::map<int16_t, TCondition> ConditionsAtVisit(const TExercise& exercise, int visit) {
    std::map<int16_t, TCondition> conditions = exercise.Conditions;
    for (int v = 2; v <= visit && v <= static_cast<int>(exercise.Visits.size()); ++v)
        for (const auto& [source, condition] : exercise.Visits[static_cast<std::size_t>(v - 1)].Changes)
            conditions[source] = condition;
    return conditions;
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
    return CheckVisits(exercise);
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

std::string VisitDateText(double date) {
    // To the nearest minute: a day count carries no more.
    const TDateTimeParts p = DecodeDateTime(std::round(date * 1440.0) / 1440.0);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", p.Year, p.Month, p.Day, p.Hour, p.Minute);
    return text;
}

bool ParseVisitDate(std::string_view text, double& date) {
    // "YYYY-MM-DD" or "YYYY-MM-DD HH:MM" ('T' for the blank too): digits and
    // separators at fixed places.
    const std::string_view shape = "dddd-dd-dd dd:dd";
    if (text.size() != 10 && text.size() != 16) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool ok = shape[i] == 'd' ? c >= '0' && c <= '9' : c == shape[i] || (i == 10 && c == 'T');
        if (!ok) return false;
    }
    const auto number = [text](std::size_t at, std::size_t width) {
        int value = 0;
        if (at + width <= text.size()) std::from_chars(text.data() + at, text.data() + at + width, value);
        return value;
    };
    const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
    const int hour = number(11, 2), minute = number(14, 2);
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59) return false;
    const double value = EncodeDateTime(year, month, day, hour, minute, 0, 0);
    const TDateTimeParts back = DecodeDateTime(value);
    if (back.Day != day || back.Month != month) return false; // 31 April and the like
    date = value;
    return true;
}
