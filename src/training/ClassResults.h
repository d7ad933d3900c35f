#pragma once
// A class's submissions of one exercise as a results table, and its CSV.
// Each submission is scored again against the exercise itself, so that a
// file edited by hand cannot raise its score; one made for another
// exercise (another fingerprint) or one that is not a submission is
// listed, flagged, and counted nowhere.
#include "training/Exercise.h"

#include <optional>
#include <string>
#include <vector>

enum class TResultStatus { Counted, OtherExercise, Unreadable };

struct TResultRow {
    std::string File; // as the user named it
    TResultStatus Status = TResultStatus::Unreadable;
    std::string Name;
    int RightCount = 0;
    int AskedCount = 0;
    // Per asked point of the exercise, in its order: right or wrong; none
    // for a row that is not counted.
    std::vector<std::optional<bool>> PointRight;
    uint32_t TimeTaken = 0; // seconds
};

TResultRow ResultRow(const TExercise& exercise, const std::string& file, const std::string& text);
// Reads path (at most MAX_SUBMISSION_FILE_BYTES) into ResultRow.
TResultRow ReadResultRow(const TExercise& exercise, const std::string& path);

// RFC 4180 CSV in the calling thread's language: a header row (file,
// trainee, score, time, one column per asked point, status), then one row
// per result; a point's cell is 1 (right), 0 (wrong) or empty.
std::string ResultsCsv(const TExercise& exercise, const std::vector<TResultRow>& rows);
// The status's text in the calling thread's language.
std::string ResultStatusText(TResultStatus status);
