#pragma once
// The page's one exercise run, shared by its exercise functions and the
// Machines panel (which hides the asked points' conditions while it runs).
#include "training/ExerciseRun.h"

TExerciseRun& WebExerciseRun();
