#include "training/AnswerSheet.h"

#include "measure/Routes.h"

#include <cstdio>

namespace {

std::string Zone(char zone) {
    return zone ? std::string(1, zone) : std::string();
}

std::string AnswerJson(const TAnswer& a) {
    return "{\"condition\": " + JsonText(a.Condition) + ", \"zone\": " + JsonText(Zone(a.Zone)) +
           ", \"note\": " + JsonText(a.Note) + ", \"visit\": " + std::to_string(a.Visit) + "}";
}

const char* Bool(bool value) {
    return value ? "true" : "false";
}

const TAskedPoint* AskedOf(const TExercise& exercise, int16_t point) {
    for (const TAskedPoint& asked : exercise.Asked)
        if (asked.Point == point) return &asked;
    return nullptr;
}

} // namespace

std::string JsonText(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::vector<TSheetRow> AnswerSheet(const TExerciseRun& run) {
    std::vector<TSheetRow> rows;
    const TExercise& exercise = run.Exercise();
    for (const TAskedPoint& asked : exercise.Asked) {
        TSheetRow row;
        row.Point = asked.Point;
        row.Machine = ExerciseMachineOf(asked.Point);
        row.MachineText = RoutePointMachineText(asked.Point);
        row.Label = RoutePointLabel(asked.Point);
        row.Group = ExerciseGroupOf(exercise, asked.Point);
        row.What = asked.What;
        row.Zone = asked.Zone;
        row.Measured = run.IsMeasured(asked.Point);
        row.Answer = run.AnswerOf(asked.Point);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::string AnswerSheetJson(const TExerciseRun& run) {
    const TExercise& e = run.Exercise();
    std::string json =
        "{\"title\": " + JsonText(e.Title) + ", \"instructions\": " + JsonText(e.Instructions) +
        ", \"timeLimit\": " + std::to_string(e.TimeLimitSeconds) +
        ", \"submitted\": " + Bool(run.IsSubmitted()) + ", \"visit\": " + std::to_string(run.CurrentVisit()) +
        ", \"visits\": " + std::to_string(VisitCount(e)) + ", \"visitDate\": " +
        JsonText(e.Visits.empty()
                     ? std::string()
                     : VisitDateText(e.Visits[static_cast<std::size_t>(run.CurrentVisit() - 1)].Date)) +
        ", \"visitDates\": [";
    for (std::size_t v = 0; v < e.Visits.size(); ++v)
        json += (v ? ", " : "") + JsonText(VisitDateText(e.Visits[v].Date));
    json += "], \"points\": [";
    bool first = true;
    for (const TSheetRow& row : AnswerSheet(run)) {
        json += first ? "" : ", ";
        first = false;
        json += "{\"point\": " + std::to_string(row.Point) + ", \"machine\": " + JsonText(row.MachineText) +
                ", \"label\": " + JsonText(row.Label) +
                ", \"group\": " + JsonText(MachineGroupName(row.Group)) +
                ", \"asks\": " + JsonText(AskName(row.What)) + ", \"reach\": " + JsonText(Zone(row.Zone)) +
                ", \"measured\": " + Bool(row.Measured) + ", \"hidden\": " + Bool(run.IsHidden(row.Point)) +
                ", \"answer\": " + AnswerJson(row.Answer) + "}";
    }
    return json + "]}";
}

std::string ReviewJson(const TExerciseRun& run, const TSubmission& s) {
    const TExercise& e = run.Exercise();
    std::string json = "{\"title\": " + JsonText(s.Title) + ", \"score\": " + std::to_string(s.RightCount) +
                       ", \"asked\": " + std::to_string(s.Points.size()) +
                       ", \"timeTaken\": " + std::to_string(s.TimeTaken) +
                       ", \"overTime\": " + Bool(s.OverTime) + ", \"points\": [";
    bool first = true;
    // The conditions revealed are the last visit's, as the right answers are.
    const std::map<int16_t, TCondition> last = ConditionsAtVisit(e, VisitCount(e));
    for (const TSubmittedPoint& p : s.Points) {
        const TRightAnswer right = RightAnswer(e, p.Point);
        const TPointScore score = ScoreAnswer(p.What, p.Answer, right);
        const TAskedPoint* asked = AskedOf(e, p.Point);
        const auto hidden = last.find(p.Point);
        char velocity[32];
        std::snprintf(velocity, sizeof velocity, "%.2f", right.Velocity);
        json += first ? "" : ", ";
        first = false;
        json += "{\"point\": " + std::to_string(p.Point) +
                ", \"machine\": " + JsonText(RoutePointMachineText(p.Point)) +
                ", \"label\": " + JsonText(RoutePointLabel(p.Point)) +
                ", \"asks\": " + JsonText(AskName(p.What)) + ", \"reach\": " + JsonText(Zone(p.Zone)) +
                ", \"answer\": " + AnswerJson(p.Answer) +
                ", \"right\": {\"condition\": " + JsonText(right.Condition) +
                ", \"zone\": " + JsonText(Zone(right.Zone)) + ", \"velocity\": " + velocity +
                ", \"visit\": " + std::to_string(right.Visit) +
                "}, \"conditionRight\": " + Bool(score.ConditionRight) +
                ", \"zoneRight\": " + Bool(score.ZoneRight) + ", \"pointRight\": " + Bool(score.Right) +
                ", \"measuredBeforeAnswer\": " + Bool(p.MeasuredBeforeAnswer) +
                ", \"hint\": " + JsonText(asked ? asked->Hint : std::string()) + ", \"hidden\": " +
                JsonText(hidden != last.end() ? FormatCondition(hidden->second) : std::string()) + "}";
    }
    return json + "]}";
}
