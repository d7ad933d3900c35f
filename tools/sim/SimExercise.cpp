#include "SimExercise.h"

#include "SimSession.h"

#include "measure/PointConditions.h"
#include "measure/Routes.h"
#include "pcdata/MeasurementDb.h"
#include "platform/SafeFile.h"
#include "platform/Strings.h"
#include "training/ExerciseFile.h"
#include "training/ExerciseLink.h"

#include <algorithm>
#include <charconv>

namespace {

// What follows "key=" on the line, to its end (a title may hold blanks).
std::string RestAfter(const std::string& line, const std::string& key) {
    const std::size_t at = line.find(" " + key + "=");
    if (at == std::string::npos) return {};
    std::string rest = line.substr(at + key.size() + 2);
    while (!rest.empty() && (rest.back() == ' ' || rest.back() == '\t'))
        rest.pop_back();
    return rest;
}

bool ParsePoint(const std::string& text, int16_t& point) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || value < 1 || value > ROUTE_POINT_COUNT)
        return false;
    point = static_cast<int16_t>(value);
    return true;
}

// Messages of the core in the runner's language of messages, English.
std::string Message(int id) {
    const LANGID lang = GetThreadLanguage();
    SetThreadLanguage(LANG_ENGLISH);
    std::string text = LoadStr(id);
    SetThreadLanguage(lang);
    return text;
}

} // namespace

TSimExercise::~TSimExercise() {
    Close();
}

void TSimExercise::Close() {
    FRun.Close();
    CloseVisitDb();
}

bool TSimExercise::Handles(const std::string& command) {
    return command == "exercise-save" || command == "exercise-open" || command == "exercise-link" ||
           command == "answer" || command == "submit" || command == "exercise-close" || command == "visit" ||
           command == "next-visit" || command == "exercise-db";
}

bool TSimExercise::RunLine(const std::vector<std::string>& words, const std::string& line,
                           std::string& error) {
    const std::string& command = words[0];
    if (command == "exercise-save") return Save(words, line, error);
    if (command == "exercise-open") return Open(words, error);
    if (command == "exercise-link") return Link(words, error);
    if (command == "answer") return AnswerPoint(words, error);
    if (command == "submit") return Submit(words, line, error);
    if (command == "visit") return VisitLine(line, error);
    if (command == "exercise-db") return SaveVisitDb(words, error);
    if (words.size() != 1) {
        error = command + " takes nothing more";
        return false;
    }
    if (command == "next-visit") return NextVisit(error);
    if (!FRun.IsOpen()) return true;
    if (!Park(error)) return false;
    Close();
    return true;
}

void TSimExercise::Observe() {
    const uint64_t now = FSession.VirtualHost().Elapsed();
    FRun.Observe(now);
    // The answers lock at the limit; a script has no file to submit to
    // then, so it is told once and its submit writes them as they stood.
    if (FRun.IsTimeUp(now) && !FTimeUpTold) {
        FTimeUpTold = true;
        FSession.Out() << "time is up\n";
    }
}

// The state is swapped only while the instrument is off and its worker
// parked: the power-off first writes the resume record it ran on.
bool TSimExercise::Park(std::string& error) {
    TDevice& device = FSession.Device();
    if (device.IsOn()) device.PowerOff();
    FSession.VirtualHost().RunUntilIdle();
    if (device.WorkerState() != TWorkerState::Parked) {
        error = "the instrument did not switch off";
        return false;
    }
    return true;
}

bool TSimExercise::Save(const std::vector<std::string>& words, const std::string& line, std::string& error) {
    const char* const usage = "exercise-save FILE ask=P[,P...] what=condition|zone|both|visit [zone=B|C|D] "
                              "[visits=DATE,DATE...] [time=SECONDS] [title=TEXT]";
    if (words.size() < 4 || !words[2].starts_with("ask=") || !words[3].starts_with("what=")) {
        error = std::string("usage: ") + usage;
        return false;
    }
    TExercise exercise;
    TAsk what = TAsk::Both;
    if (!ParseAsk(words[3].substr(5), what)) {
        error = "what= takes condition, zone or both, got '" + words[3].substr(5) + "'";
        return false;
    }
    const std::string points = words[2].substr(4);
    for (std::size_t at = 0; at <= points.size();) {
        const std::size_t comma = std::min(points.find(',', at), points.size());
        TAskedPoint asked;
        asked.What = what;
        if (!ParsePoint(points.substr(at, comma - at), asked.Point)) {
            error = "ask= takes route points 1.." + std::to_string(ROUTE_POINT_COUNT) +
                    " separated by commas, got '" + points + "'";
            return false;
        }
        exercise.Asked.push_back(asked);
        at = comma + 1;
    }
    std::sort(exercise.Asked.begin(), exercise.Asked.end(),
              [](const TAskedPoint& a, const TAskedPoint& b) { return a.Point < b.Point; });
    std::size_t next = 4;
    for (; words.size() > next && !words[next].starts_with("title="); ++next)
        if (!SaveOption(words[next], exercise, error)) {
            if (error.empty()) error = std::string("usage: ") + usage;
            return false;
        }
    if (words.size() > next && !words[next].starts_with("title=")) {
        error = std::string("usage: ") + usage;
        return false;
    }
    exercise.Title = RestAfter(line, "title");
    exercise.Conditions = AssignedConditions();
    for (const auto& [visit, changes] : FVisitChanges) {
        if (visit > static_cast<int>(exercise.Visits.size())) {
            error = "exercise-save: visit " + std::to_string(visit) + " has conditions but visits= names " +
                    std::to_string(exercise.Visits.size()) + " dates";
            return false;
        }
        exercise.Visits[static_cast<std::size_t>(visit - 1)].Changes = changes;
    }
    if (const int reason = CheckExercise(exercise)) {
        error = "exercise-save: " + Message(reason);
        return false;
    }
    std::string reason;
    if (!ReplaceFile(words[1], FormatExercise(exercise), reason)) {
        error = "exercise-save: " + reason;
        return false;
    }
    return true;
}

bool TSimExercise::Open(const std::vector<std::string>& words, std::string& error) {
    if (words.size() != 2) {
        error = "usage: exercise-open FILE|LINK";
        return false;
    }
    TExercise exercise;
    if (const int reason = ReadExercise(words[1], exercise)) {
        *FErr << "orx700-sim: exercise-open " << words[1] << ": " << Message(reason) << '\n';
        return true;
    }
    if (!Park(error)) return false;
    CloseVisitDb();
    FRun.Open(exercise, FSession.VirtualHost().Elapsed());
    FTimeUpTold = false;
    return exercise.Visits.empty() || OpenVisitDb(error);
}

int TSimExercise::ReadExercise(const std::string& source, TExercise& exercise) {
    if (source.find(EXERCISE_LINK_KEY) == std::string::npos) return ReadExerciseFile(source, exercise);
    std::string text;
    if (const int reason = ReadExerciseLink(source, text)) return reason;
    if (const int reason = ParseExercise(text, exercise)) return reason;
    return CheckExercise(exercise);
}

// The link is made from the file as this program writes it, so that a copy
// with other line ends gives the same link.
bool TSimExercise::Link(const std::vector<std::string>& words, std::string& error) {
    if (words.size() != 3) {
        error = "usage: exercise-link FILE URL";
        return false;
    }
    if (!IsWebAddress(words[2])) {
        error = "exercise-link: '" + words[2] + "' is no web address (http:// or https://)";
        return false;
    }
    TExercise exercise;
    if (const int reason = ReadExerciseFile(words[1], exercise)) {
        *FErr << "orx700-sim: exercise-link " << words[1] << ": " << Message(reason) << '\n';
        return true;
    }
    FSession.Out() << MakeExerciseLink(words[2], FormatExercise(exercise)) << '\n';
    return true;
}

bool TSimExercise::AnswerPoint(const std::vector<std::string>& words, std::string& error) {
    TAnswer answer;
    int16_t point = 0;
    TCondition scratch;
    std::string reason;
    if (words.size() < 3 || words.size() > 4 || !ParsePoint(words[1], point)) {
        error = "usage: answer P CONDITION [ZONE] | answer P visit=N|never (P a route point 1.." +
                std::to_string(ROUTE_POINT_COUNT) + ")";
        return false;
    }
    const bool visitAnswer = words[2].starts_with("visit=");
    if (visitAnswer) {
        const std::string visit = words[2].substr(6);
        int value = 0;
        const auto [end, ec] = std::from_chars(visit.data(), visit.data() + visit.size(), value);
        if (visit == "never")
            answer.Visit = VISIT_NEVER;
        else if (words.size() == 3 && ec == std::errc{} && end == visit.data() + visit.size() && value >= 1 &&
                 value <= static_cast<int>(EXERCISE_VISITS_MAX))
            answer.Visit = static_cast<int16_t>(value);
        else {
            error = "answer: visit= takes a visit number 1.." + std::to_string(EXERCISE_VISITS_MAX) +
                    " or never, got '" + visit + "'";
            return false;
        }
    } else if (words[2] != "-" &&
               (!SetConditionName(scratch, words[2], reason) || scratch.Kind == TConditionKind::Stored)) {
        error = "answer: '" + words[2] + "' is no condition a machine can be in";
        return false;
    }
    if (!visitAnswer && words[2] != "-") answer.Condition = ConditionLabel(scratch);
    if (words.size() == 4) {
        if (words[3].size() != 1 || words[3][0] < 'A' || words[3][0] > 'D') {
            error = "answer: the zone is A, B, C or D, got '" + words[3] + "'";
            return false;
        }
        answer.Zone = words[3][0];
    }
    if (!FRun.IsOpen()) {
        error = "answer: no exercise is open";
        return false;
    }
    const auto& asked = FRun.Exercise().Asked;
    if (std::none_of(asked.begin(), asked.end(),
                     [point](const TAskedPoint& a) { return a.Point == point; })) {
        error = "answer: point " + words[1] + " is not asked in this exercise";
        return false;
    }
    if (!FRun.Answer(point, answer, FSession.VirtualHost().Elapsed()))
        *FErr << "orx700-sim: answer " << words[1] << ": the time is up; the answers stand as they were\n";
    return true;
}

bool TSimExercise::Submit(const std::vector<std::string>& words, const std::string& line,
                          std::string& error) {
    if (words.size() < 2 || (words.size() > 2 && !words[2].starts_with("name="))) {
        error = "usage: submit FILE [name=TEXT]";
        return false;
    }
    if (!FRun.IsOpen()) {
        error = "submit: no exercise is open";
        return false;
    }
    const TSubmission submission = FRun.Submit(RestAfter(line, "name"), FSession.VirtualHost().Elapsed());
    std::string reason;
    if (!ReplaceFile(words[1], FormatSubmission(submission), reason)) {
        error = "submit: " + reason;
        return false;
    }
    FSession.Out() << "score " << submission.RightCount << "/" << submission.Points.size() << '\n';
    return true;
}
