#pragma once
// The trainee's answers and how they are scored against the hidden truth.
#include "training/Exercise.h"

#include <cstdint>
#include <string>

// A visit answer: the point never reached the zone; none given.
inline constexpr int16_t VISIT_NEVER = 0;
inline constexpr int16_t VISIT_UNANSWERED = -1;

// One asked point's answer. Either part may be left out.
struct TAnswer {
    // A condition's name as ConditionLabel writes it ("good",
    // "bearing-outer", "imbalance+looseness"); empty: not answered.
    std::string Condition;
    char Zone = 0; // 'A'..'D'; 0: not answered
    std::string Note;
    int16_t Visit = VISIT_UNANSWERED; // a visit question's: 1..visits, or VISIT_NEVER
    bool operator==(const TAnswer&) const = default;
};

// What an asked point's right answer is: the hidden condition's name and
// the zone of the severity the instrument reads there (the velocity RMS of
// the synthesized signal over the ISO band, against the machine's group),
// at the last visit; and for a visit question the first visit whose zone is
// the asked one or worse (VISIT_NEVER when none is).
struct TRightAnswer {
    std::string Condition;
    char Zone = 'A';
    double Velocity = 0.0; // mm/s RMS
    int16_t Visit = VISIT_NEVER;
    bool operator==(const TRightAnswer&) const = default;
};
TRightAnswer RightAnswer(const TExercise& exercise, int16_t point);

// An answer's parts against the right one. A part not asked is neither
// right nor wrong; the point is right when every asked part is.
struct TPointScore {
    bool ConditionRight = false;
    bool ZoneRight = false;
    bool Right = false;
};
TPointScore ScoreAnswer(TAsk what, const TAnswer& answer, const TRightAnswer& right);

// True when both names name the same faults, in either order ("a+b" is
// "b+a"); a name that is no condition, or "stored", matches nothing.
bool SameCondition(const std::string& answer, const std::string& right);
