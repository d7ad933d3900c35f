#include "training/Scoring.h"

#include "measure/PointConditions.h"
#include "measure/Samplingimp.h"
#include "signals/SignalSpectrum.h"
#include "signals/Synthesis.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

namespace {

// The faults a name names, in a fixed order.
std::optional<std::pair<TConditionKind, TConditionKind>> Faults(const std::string& name) {
    TCondition condition;
    std::string ignored;
    if (name.empty() || !SetConditionName(condition, name, ignored) ||
        condition.Kind == TConditionKind::Stored)
        return std::nullopt;
    return std::minmax(condition.Kind, condition.Second);
}

// The point's right answer among conditions (one visit's).
TRightAnswer RightAt(const TExercise& exercise, const std::map<int16_t, TCondition>& conditions,
                     int16_t point) {
    TRightAnswer right;
    const auto found = conditions.find(point);
    if (found == conditions.end() || found->second.Kind == TConditionKind::Stored) return right;
    // The condition as the point plays it: with the point's own seed when it names none.
    const TCondition condition = SeededCondition(found->second, point);
    right.Condition = ConditionLabel(condition);
    right.Velocity = SignalBandRms(SynthesizeSignal(condition, KIND_MEAS), BAND_FIRST_LINE, BAND_LAST_LINE);
    right.Zone = SeverityZone(right.Velocity, ExerciseGroupOf(exercise, point));
    return right;
}

} // namespace

TRightAnswer RightAnswer(const TExercise& exercise, int16_t point) {
    const int visits = VisitCount(exercise);
    TRightAnswer right = RightAt(exercise, ConditionsAtVisit(exercise, visits), point);
    const auto asked = std::find_if(exercise.Asked.begin(), exercise.Asked.end(),
                                    [point](const TAskedPoint& a) { return a.Point == point; });
    if (asked == exercise.Asked.end() || asked->What != TAsk::Visit) return right;
    for (int v = 1; v <= visits; ++v)
        if (RightAt(exercise, ConditionsAtVisit(exercise, v), point).Zone >= asked->Zone) {
            right.Visit = static_cast<int16_t>(v);
            break;
        }
    return right;
}

bool SameCondition(const std::string& answer, const std::string& right) {
    const auto a = Faults(answer);
    return a && a == Faults(right);
}

TPointScore ScoreAnswer(TAsk what, const TAnswer& answer, const TRightAnswer& right) {
    TPointScore score;
    score.ConditionRight = SameCondition(answer.Condition, right.Condition);
    score.ZoneRight = answer.Zone != 0 && answer.Zone == right.Zone;
    switch (what) {
    case TAsk::Condition:
        score.Right = score.ConditionRight;
        break;
    case TAsk::Zone:
        score.Right = score.ZoneRight;
        break;
    case TAsk::Both:
        score.Right = score.ConditionRight && score.ZoneRight;
        break;
    case TAsk::Visit:
        score.Right = answer.Visit != VISIT_UNANSWERED && answer.Visit == right.Visit;
        break;
    }
    return score;
}
