#include "training/ClassResults.h"

#include "platform/SafeFile.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"
#include "training/ExerciseFile.h"
#include "training/Submission.h"

namespace {

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string out = "\"";
    for (const char c : text)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string ReplaceArg(std::string text, const std::string& value) {
    if (const std::size_t at = text.find("%1"); at != std::string::npos) text.replace(at, 2, value);
    return text;
}

} // namespace

TResultRow ResultRow(const TExercise& exercise, const std::string& file, const std::string& text) {
    TResultRow row;
    row.File = file;
    row.AskedCount = static_cast<int>(exercise.Asked.size());
    TSubmission submission;
    if (ParseSubmission(text, submission) != 0) return row;
    row.Name = submission.Name;
    row.TimeTaken = submission.TimeTaken;
    if (submission.Fingerprint != ExerciseFingerprint(exercise)) {
        row.Status = TResultStatus::OtherExercise;
        return row;
    }
    row.Status = TResultStatus::Counted;
    for (const TAskedPoint& asked : exercise.Asked) {
        bool right = false;
        for (const TSubmittedPoint& p : submission.Points)
            if (p.Point == asked.Point)
                right = ScoreAnswer(asked.What, p.Answer, RightAnswer(exercise, asked.Point)).Right;
        row.PointRight.push_back(right);
        row.RightCount += right ? 1 : 0;
    }
    return row;
}

TResultRow ReadResultRow(const TExercise& exercise, const std::string& path) {
    std::string text;
    if (ReadRegularFile(path, MAX_SUBMISSION_FILE_BYTES, text) != TFileRead::Read) text.clear();
    return ResultRow(exercise, path, text);
}

std::string ResultStatusText(TResultStatus status) {
    switch (status) {
    case TResultStatus::Counted:
        return LoadStr(TEXT_RESULT_COUNTED);
    case TResultStatus::OtherExercise:
        return LoadStr(TEXT_RESULT_OTHER_EXERCISE);
    case TResultStatus::Unreadable:
        break;
    }
    return LoadStr(TEXT_RESULT_UNREADABLE);
}

std::string ResultsCsv(const TExercise& exercise, const std::vector<TResultRow>& rows) {
    // Built by appending field after field: one row per line, CRLF ended.
    std::string csv;
    const auto field = [&csv](const std::string& text, bool first = false) {
        if (!first) csv += ',';
        csv += CsvField(text);
    };
    field(LoadStr(TEXT_RESULT_FILE), true);
    field(LoadStr(TEXT_RESULT_TRAINEE));
    field(LoadStr(TEXT_RESULT_SCORE));
    field(LoadStr(TEXT_RESULT_TIME));
    for (const TAskedPoint& asked : exercise.Asked)
        field(ReplaceArg(LoadStr(TEXT_RESULT_POINT), std::to_string(asked.Point)));
    field(LoadStr(TEXT_RESULT_STATUS));
    csv += "\r\n";
    for (const TResultRow& row : rows) {
        const bool counted = row.Status == TResultStatus::Counted;
        field(row.File, true);
        field(row.Name);
        field(counted ? std::to_string(row.RightCount) + "/" + std::to_string(row.AskedCount)
                      : std::string());
        field(row.Status != TResultStatus::Unreadable ? std::to_string(row.TimeTaken) : std::string());
        for (std::size_t i = 0; i < exercise.Asked.size(); ++i) {
            const bool known = i < row.PointRight.size() && row.PointRight[i].has_value();
            field(known ? std::string(*row.PointRight[i] ? "1" : "0") : std::string());
        }
        field(ResultStatusText(row.Status));
        csv += "\r\n";
    }
    return csv;
}
