#include "pcdata/ReadingSpeed.h"

#include "signals/Condition.h"

double ReadingShaftHz(const std::string& condition) {
    std::string error;
    const auto parsed = ParseCondition(condition, error);
    if (!parsed || parsed->Kind == TConditionKind::Stored) return 0.0;
    return parsed->Rpm / 60.0;
}
