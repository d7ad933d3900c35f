#pragma once
// Real machines do not turn at one speed from reading to reading. A
// condition's SpeedJitter (percent) is resolved once per reading, into the
// condition that reading measures and records; the synthesis itself always
// runs at the condition's Rpm, so a recorded reading rebuilds to its numbers.
#include "signals/Condition.h"

#include <cstdint>

// condition at the speed of its reading number `reading`: Rpm varied by up
// to SpeedJitter percent either way (within the bounds of the running
// speed), drawn from the seed and the reading, and no jitter left. Without
// jitter, condition as it is.
TCondition ReadingCondition(TCondition condition, uint32_t reading);
