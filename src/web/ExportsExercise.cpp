// The functions of the page's exercise: open one from its file's text (the
// page reads the file or the link), the answer sheet, answers, the submission
// with its review, and the close that gives the trainee's own state back.
// The core runs it (training/); the page lays it out. Opening and closing
// swap the whole state, so the page first switches the instrument off and
// waits until it is parked, as for an import. Times are the page's clock in
// milliseconds. Texts cross as UTF-8; a returned text stays valid until the
// next call of this file that returns one.
#include "platform/Strings.h"
#include "training/AnswerSheet.h"
#include "training/ExerciseFile.h"
#include "training/Submission.h"
#include "web/WebExercise.h"

#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdint>
#include <string>

namespace {

std::string g_Returned;

const char* Return(std::string text) {
    g_Returned = std::move(text);
    return g_Returned.c_str();
}

uint64_t NowMs() {
    return static_cast<uint64_t>(emscripten_get_now());
}

} // namespace

TExerciseRun& WebExerciseRun() {
    static TExerciseRun run;
    return run;
}

extern "C" {

// Why text is no exercise this program opens, worded, or an empty text.
EMSCRIPTEN_KEEPALIVE const char* orx_ExerciseRefusal(const char* text) {
    TExercise exercise;
    if (const int reason = ParseExercise(text, exercise)) return Return(LoadStr(reason));
    if (const int reason = CheckExercise(exercise)) return Return(LoadStr(reason));
    return Return("");
}

// Opens the exercise of text on a state of its own (only while the
// instrument is parked); 1 when it opened, 0 when the text was refused.
EMSCRIPTEN_KEEPALIVE int orx_ExerciseOpen(const char* text) {
    TExercise exercise;
    if (ParseExercise(text, exercise) != 0 || CheckExercise(exercise) != 0) return 0;
    WebExerciseRun().Open(exercise, NowMs());
    return 1;
}

EMSCRIPTEN_KEEPALIVE int orx_ExerciseIsOpen() {
    return WebExerciseRun().IsOpen() ? 1 : 0;
}

// The open exercise's file as this program writes it (the text a link
// carries), or an empty text.
EMSCRIPTEN_KEEPALIVE const char* orx_ExerciseText() {
    const TExerciseRun& run = WebExerciseRun();
    return Return(run.IsOpen() ? FormatExercise(run.Exercise()) : std::string());
}

// The whole seconds left of the open exercise's time limit, 0 once it is
// up (the answers then stand); -1 without a limit or an open exercise.
EMSCRIPTEN_KEEPALIVE int orx_ExerciseSecondsLeft() {
    const auto left = WebExerciseRun().SecondsLeft(NowMs());
    return left ? static_cast<int>(std::min<uint32_t>(*left, INT32_MAX)) : -1;
}

// The answer sheet as JSON (AnswerSheet.h), the measured points as of now.
EMSCRIPTEN_KEEPALIVE const char* orx_ExerciseSheet() {
    TExerciseRun& run = WebExerciseRun();
    run.Observe(NowMs());
    return Return(AnswerSheetJson(run));
}

// An asked point's answer: a condition's name ("" unanswered), a zone
// ("A".."D", "" unanswered) and a note.
EMSCRIPTEN_KEEPALIVE void orx_ExerciseAnswer(int point, const char* condition, const char* zone,
                                             const char* note) {
    if (point < 1 || point > INT16_MAX) return;
    TAnswer answer;
    answer.Condition = condition;
    const std::string z = zone;
    if (z.size() == 1 && z[0] >= 'A' && z[0] <= 'D') answer.Zone = z[0];
    answer.Note = note;
    WebExerciseRun().Answer(static_cast<int16_t>(point), answer, NowMs());
}

// Scores the answers: {"file": the submission file's text, "review": the
// review (AnswerSheet.h)}; null when no exercise is open.
EMSCRIPTEN_KEEPALIVE const char* orx_ExerciseSubmit(const char* name) {
    TExerciseRun& run = WebExerciseRun();
    if (!run.IsOpen()) return Return("null");
    const TSubmission submission = run.Submit(name, NowMs());
    return Return("{\"file\": " + JsonText(FormatSubmission(submission)) +
                  ", \"review\": " + ReviewJson(run, submission) + "}");
}

// Gives the trainee's own state back (only while the instrument is parked).
EMSCRIPTEN_KEEPALIVE void orx_ExerciseClose() {
    WebExerciseRun().Close();
}

} // extern "C"
