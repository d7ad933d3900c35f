// The page's trend exercises: the visit question's answer and Next visit.
// The page keeps this visit's readings in the exercise's own measurement
// database (the database module's transfer of the instrument's packed store)
// before it moves on, as the window does; the run only moves the state.
#include "web/WebExercise.h"

#include <emscripten/emscripten.h>

#include <cstdint>

extern "C" {

// A visit question's answer: a visit (1..visits), 0 for never, -1 for none;
// with a note. Anything else is no answer.
EMSCRIPTEN_KEEPALIVE void orx_ExerciseAnswerVisit(int point, int visit, const char* note) {
    if (point < 1 || point > INT16_MAX) return;
    TExerciseRun& run = WebExerciseRun();
    TAnswer answer;
    if (visit >= VISIT_NEVER && visit <= VisitCount(run.Exercise()))
        answer.Visit = static_cast<int16_t>(visit);
    answer.Note = note;
    run.Answer(static_cast<int16_t>(point), answer, static_cast<uint64_t>(emscripten_get_now()));
}

// Moves to the next visit (only while the instrument is parked, after the
// page kept this visit's readings): 1 when it moved, 0 at the last visit or
// with no exercise open. The asked points measured at this visit are noted
// first: the next visit starts with nothing measured.
EMSCRIPTEN_KEEPALIVE int orx_ExerciseNextVisit() {
    TExerciseRun& run = WebExerciseRun();
    run.Observe(static_cast<uint64_t>(emscripten_get_now()));
    return run.NextVisit() ? 1 : 0;
}

} // extern "C"
