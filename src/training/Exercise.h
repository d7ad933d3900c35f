#pragma once
// An exercise: machines in conditions the trainee does not see, the route
// points whose condition or severity zone the trainee is asked for, and the
// texts around them. Plain data; the file form is in ExerciseFile.h.
#include "signals/Condition.h"
#include "signals/SeverityZone.h"

#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// What an asked point asks: its condition, its severity zone, or both (then
// the point counts as right only when both answers are); in an exercise of
// several visits also the visit at which the point first reached a zone.
enum class TAsk : int16_t { Condition, Zone, Both, Visit };

// The demo route's machines, numbered 1..EXERCISE_MACHINES in route order.
inline constexpr int EXERCISE_MACHINES = 3;

// Bounds of what an exercise holds, from any source (a window, a script, a file).
inline constexpr std::size_t EXERCISE_TITLE_MAX = 200;         // bytes of UTF-8
inline constexpr std::size_t EXERCISE_INSTRUCTIONS_MAX = 4000; // bytes of UTF-8
inline constexpr std::size_t EXERCISE_HINT_MAX = 1000;         // bytes of UTF-8
inline constexpr uint32_t EXERCISE_TIME_LIMIT_MAX = 24 * 3600; // seconds
// An exercise of visits has 2..EXERCISE_VISITS_MAX of them.
inline constexpr std::size_t EXERCISE_VISITS_MAX = 12;
// Visit dates from 2000-01-01 to 2099-12-31 (host day counts), as the
// instrument's clock can show them.
inline constexpr double EXERCISE_VISIT_FIRST_DAY = 36526.0;
inline constexpr double EXERCISE_VISIT_LAST_DAY = 73050.0;

struct TAskedPoint {
    int16_t Point = 1; // a route point, 1..ROUTE_POINT_COUNT
    TAsk What = TAsk::Both;
    std::string Hint; // shown in the review; may be empty
    char Zone = 'C';  // TAsk::Visit: the zone ('B'..'D') whose first visit is asked
    bool operator==(const TAskedPoint&) const = default;
};

// One visit of a trend exercise: the instrument's date and time then, and
// the conditions that change from the visit before (by waveform source); the
// first visit changes nothing (it starts from TExercise::Conditions).
struct TVisit {
    double Date = 0; // host day count, to the minute
    std::map<int16_t, TCondition> Changes;
    bool operator==(const TVisit&) const = default;
};

struct TExercise {
    std::string Title;
    std::string Instructions;
    uint32_t TimeLimitSeconds = 0; // 0: none
    // Each machine's ISO group and foundation: the zone depends on them.
    std::array<TMachineGroup, EXERCISE_MACHINES> Groups{
        TMachineGroup::Group2Rigid, TMachineGroup::Group2Rigid, TMachineGroup::Group2Rigid};
    // The conditions the exercise's state starts with, by waveform source
    // (PointConditions.h): route points, WATCH, off-route, HF. A source not
    // listed gives the stored waveform.
    std::map<int16_t, TCondition> Conditions;
    // Asked points in route order, each once.
    std::vector<TAskedPoint> Asked;
    // None: one visit on the day it is opened. Else 2..EXERCISE_VISITS_MAX,
    // dates rising.
    std::vector<TVisit> Visits;
    bool operator==(const TExercise&) const = default;
};

// The machine (1..EXERCISE_MACHINES) route point (1..ROUTE_POINT_COUNT) belongs to.
int ExerciseMachineOf(int16_t point);
TMachineGroup ExerciseGroupOf(const TExercise& exercise, int16_t point);

// The reason exercise cannot be saved or opened, as a string id; 0 when it
// is sound: a text past its bound, a time limit past its bound, no asked
// point, an asked point off the route, asked twice, or one whose condition
// is the stored waveform (it has no condition to name).
// Visits: fewer than 2 or more than the bound, a date out of range or not
// after the one before, a first visit that changes something, a visit that
// changes an asked point to the stored waveform, or a visit question (or a
// visit zone past B..D) in an exercise of one visit.
int CheckExercise(const TExercise& exercise);

// How many visits the exercise has (1 without visits).
int VisitCount(const TExercise& exercise);
// The conditions at visit (1..VisitCount): the first visit's with every
// later visit's changes up to this one applied.
std::map<int16_t, TCondition> ConditionsAtVisit(const TExercise& exercise, int visit);

// "condition", "zone", "both", "visit", and back.
const char* AskName(TAsk what);
bool ParseAsk(std::string_view text, TAsk& what);
// "2-rigid", "2-flexible", "1-rigid", "1-flexible", and back.
const char* MachineGroupName(TMachineGroup group);
bool ParseMachineGroup(std::string_view text, TMachineGroup& group);
// "YYYY-MM-DD HH:MM" of a day count, and back (also "YYYY-MM-DD", at 00:00,
// and "YYYY-MM-DDTHH:MM"); false for anything else or a date that does not exist.
std::string VisitDateText(double date);
bool ParseVisitDate(std::string_view text, double& date);
