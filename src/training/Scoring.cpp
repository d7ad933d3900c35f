#include "training/Scoring.h"

#include "measure/PointConditions.h"
#include "measure/Samplingimp.h"
#include "signals/SignalSpectrum.h"
#include "signals/Synthesis.h"

#include <algorithm>
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

} // namespace

TRightAnswer RightAnswer(const TExercise& exercise, int16_t point) {
    TRightAnswer right;
    const auto found = exercise.Conditions.find(point);
    if (found == exercise.Conditions.end() || found->second.Kind == TConditionKind::Stored) return right;
    // The condition as the point plays it: with the point's own seed when it names none.
    const TCondition condition = SeededCondition(found->second, point);
    right.Condition = ConditionLabel(condition);
    right.Velocity = SignalBandRms(SynthesizeSignal(condition, KIND_MEAS), BAND_FIRST_LINE, BAND_LAST_LINE);
    right.Zone = SeverityZone(right.Velocity, ExerciseGroupOf(exercise, point));
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
    }
    return score;
}
