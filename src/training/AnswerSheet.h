#pragma once
// What the trainee's answer sheet and the review show, for every front end:
// rows for the windows, and the same as JSON for the page (which calls the
// core through strings). Texts are in the calling thread's language.
//
// For the page (strings in, strings out), with one TExerciseRun it owns:
//   AnswerSheetJson(run)  {"title", "instructions", "timeLimit" (s, 0 none),
//                          "submitted", "visit", "visits", "visitDate"
//                          ("YYYY-MM-DD HH:MM", "" without visits),
//                          "visitDates" (every visit's, in order; [] without),
//                          "points": [{"point", "machine",
//                          "label", "group", "asks", "reach" (the zone a
//                          visit question asks for), "measured", "hidden",
//                          "answer": {"condition", "zone", "note", "visit"}}]}
//   ReviewJson(run, s)    {"title", "score", "asked", "timeTaken",
//                          "overTime", "points": [{"point", "machine", "label",
//                          "asks", "reach", "answer": {...}, "right":
//                          {"condition", "zone", "velocity", "visit"},
//                          "conditionRight", "zoneRight",
//                          "pointRight" (bool), "measuredBeforeAnswer", "hint",
//                          "hidden" (the condition as FormatCondition
//                          writes it, for the preview)}]}
// A zone not answered is "", as is a condition; a visit answer is a number
// (0 never, -1 not answered).
#include "training/ExerciseRun.h"

#include <string>
#include <vector>

struct TSheetRow {
    int16_t Point = 1;
    int Machine = 1;
    std::string MachineText; // as the instrument shows it
    std::string Label;       // as the instrument shows it ("002 02H HIGH")
    TMachineGroup Group = TMachineGroup::Group2Rigid;
    TAsk What = TAsk::Both;
    char Zone = 'C'; // TAsk::Visit: the zone asked for
    bool Measured = false;
    TAnswer Answer;
};
std::vector<TSheetRow> AnswerSheet(const TExerciseRun& run);

std::string AnswerSheetJson(const TExerciseRun& run);
std::string ReviewJson(const TExerciseRun& run, const TSubmission& submission);
// text as a JSON string, quotes included.
std::string JsonText(const std::string& text);
