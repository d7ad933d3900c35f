#pragma once
// A trainee's submission: the answers, the right answers, the score and the
// times, as the file a trainer collects. UTF-8 text, one key=value per line
// after a first line that names the format; text values escaped as in the
// exercise file (\n, \r, \\). Version 1:
//   ORX-700 submission
//   version=1
//   title=TEXT                   the exercise's title
//   fingerprint=HEX              the exercise's (ExerciseFingerprint)
//   name=TEXT                    the trainee's
//   score=R/N                    R right of N asked points
//   time-taken=SECONDS           from opening the exercise to submitting it
//   over-time=yes|no             past the exercise's time limit
//   then for each asked point P, in route order:
//   point.P.asks=condition|zone|both
//   point.P.answer=CONDITION ZONE     '-' for a part not answered
//   point.P.note=TEXT
//   point.P.right-answer=CONDITION ZONE
//   point.P.result=right|wrong
//   point.P.measured-before-answer=yes|no
//   point.P.measured-at=SECONDS|-     first seen measured, from the opening
//   point.P.answered-at=SECONDS|-     the last answer given, from the opening
// Version 2 (written only when a point asks for a visit) adds after the
// asks line of such a point (asks=visit):
//   point.P.reach=B|C|D               the zone whose first visit is asked
//   point.P.visit-answer=N|never|-    '-' not answered
//   point.P.right-visit=N|never
#include "training/Scoring.h"

#include <optional>
#include <string>
#include <vector>

inline constexpr int SUBMISSION_FILE_VERSION = 2;
inline constexpr std::size_t MAX_SUBMISSION_FILE_BYTES = 256 * 1024;
inline constexpr std::size_t TRAINEE_NAME_MAX = 200; // bytes of UTF-8

struct TSubmittedPoint {
    int16_t Point = 1;
    TAsk What = TAsk::Both;
    char Zone = 'C'; // TAsk::Visit: the zone asked for
    TAnswer Answer;
    TRightAnswer Right; // Velocity is not in the file
    bool IsRight = false;
    bool MeasuredBeforeAnswer = false;
    std::optional<uint32_t> MeasuredAt; // seconds from the opening
    std::optional<uint32_t> AnsweredAt;
};

struct TSubmission {
    std::string Title;
    std::string Fingerprint;
    std::string Name;
    std::vector<TSubmittedPoint> Points;
    int RightCount = 0;
    uint32_t TimeTaken = 0; // seconds
    bool OverTime = false;
};

std::string FormatSubmission(const TSubmission& submission);
// Fills submission and returns 0, or returns TEXT_SUBMISSION_FOREIGN,
// TEXT_EXERCISE_DAMAGED or TEXT_EXERCISE_FUTURE and leaves it as it was.
int ParseSubmission(const std::string& text, TSubmission& submission);
// "bearing-outer C", "- B", "good -".
std::string AnswerText(const std::string& condition, char zone);
