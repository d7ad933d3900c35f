#include "signals/SpeedJitter.h"

#include "signals/SignalMath.h"

#include <algorithm>

TCondition ReadingCondition(TCondition condition, uint32_t reading) {
    if (!(condition.SpeedJitter > 0.0)) return condition;
    const uint64_t seed = condition.Seed.value_or(DEFAULT_SEED);
    TSplitMix mix(0x5EED'0000'0000'0000ull ^ (seed << 32) ^ reading);
    const double offset = 2.0 * mix.Uniform() - 1.0; // -1..1
    const double jitter = std::min(condition.SpeedJitter, SPEED_JITTER_MAX) / 100.0;
    condition.Rpm = std::clamp(condition.Rpm * (1.0 + jitter * offset), RPM_MIN, RPM_MAX);
    condition.SpeedJitter = 0.0;
    return condition;
}
