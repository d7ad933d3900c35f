#include "training/Submission.h"

#include "measure/Routes.h"
#include "resources/StringIds.h"
#include "training/ExerciseFile.h"

#include <algorithm>
#include <charconv>
#include <map>

namespace {

constexpr const char* kMagic = "ORX-700 submission";

std::string Seconds(const std::optional<uint32_t>& value) {
    return value ? std::to_string(*value) : "-";
}

bool ParseSeconds(const std::string& text, uint32_t& value) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    return std::from_chars(text.data(), text.data() + text.size(), value).ec == std::errc{};
}

bool ParseOptionalSeconds(const std::string& text, std::optional<uint32_t>& value) {
    if (text == "-") {
        value.reset();
        return true;
    }
    uint32_t seconds = 0;
    if (!ParseSeconds(text, seconds)) return false;
    value = seconds;
    return true;
}

bool ParseYesNo(const std::string& text, bool& value) {
    if (text != "yes" && text != "no") return false;
    value = text == "yes";
    return true;
}

// "CONDITION ZONE": a condition that parses (or '-'), a zone A-D (or '-').
bool ParseAnswerText(const std::string& text, std::string& condition, char& zone) {
    const std::size_t blank = text.find(' ');
    if (blank == std::string::npos || text.size() != blank + 2) return false;
    const std::string name = text.substr(0, blank);
    const char letter = text[blank + 1];
    TCondition scratch;
    std::string ignored;
    if (name != "-" && !SetConditionName(scratch, name, ignored)) return false;
    if (letter != '-' && (letter < 'A' || letter > 'D')) return false;
    condition = name == "-" ? "" : name;
    zone = letter == '-' ? 0 : letter;
    return true;
}

std::string VisitText(int16_t visit) {
    if (visit == VISIT_UNANSWERED) return "-";
    return visit == VISIT_NEVER ? "never" : std::to_string(visit);
}

bool ParseVisitText(const std::string& text, bool answer, int16_t& visit) {
    uint32_t number = 0;
    if (text == "never")
        visit = VISIT_NEVER;
    else if (answer && text == "-")
        visit = VISIT_UNANSWERED;
    else if (ParseSeconds(text, number) && number >= 1 && number <= EXERCISE_VISITS_MAX)
        visit = static_cast<int16_t>(number);
    else
        return false;
    return true;
}

} // namespace

std::string AnswerText(const std::string& condition, char zone) {
    return (condition.empty() ? std::string("-") : condition) + " " + (zone ? std::string(1, zone) : "-");
}

std::string FormatSubmission(const TSubmission& s) {
    // A submission without visit questions stays readable by a program of version 1.
    const bool visits = std::any_of(s.Points.begin(), s.Points.end(),
                                    [](const TSubmittedPoint& p) { return p.What == TAsk::Visit; });
    std::string text = std::string(kMagic) +
                       "\nversion=" + std::to_string(visits ? SUBMISSION_FILE_VERSION : 1) +
                       "\ntitle=" + EscapeValue(s.Title) + "\nfingerprint=" + s.Fingerprint +
                       "\nname=" + EscapeValue(s.Name) + "\nscore=" + std::to_string(s.RightCount) + "/" +
                       std::to_string(s.Points.size()) + "\ntime-taken=" + std::to_string(s.TimeTaken) +
                       "\nover-time=" + (s.OverTime ? "yes" : "no") + "\n";
    for (const TSubmittedPoint& p : s.Points) {
        const std::string key = "point." + std::to_string(p.Point) + ".";
        text += key + "asks=" + AskName(p.What) + "\n";
        if (p.What == TAsk::Visit) {
            text += key + "reach=" + p.Zone + "\n";
            text += key + "visit-answer=" + VisitText(p.Answer.Visit) + "\n";
            text += key + "right-visit=" + VisitText(p.Right.Visit) + "\n";
        }
        text += key + "answer=" + AnswerText(p.Answer.Condition, p.Answer.Zone) + "\n";
        text += key + "note=" + EscapeValue(p.Answer.Note) + "\n";
        text += key + "right-answer=" + AnswerText(p.Right.Condition, p.Right.Zone) + "\n";
        text += key + "result=" + (p.IsRight ? "right" : "wrong") + "\n";
        text += key + "measured-before-answer=" + (p.MeasuredBeforeAnswer ? "yes" : "no") + "\n";
        text += key + "measured-at=" + Seconds(p.MeasuredAt) + "\n";
        text += key + "answered-at=" + Seconds(p.AnsweredAt) + "\n";
    }
    return text;
}

int ParseSubmission(const std::string& text, TSubmission& submission) {
    const std::vector<std::string> lines = SplitTextLines(text);
    if (lines.empty() || lines[0] != kMagic) return TEXT_SUBMISSION_FOREIGN;
    std::map<std::string, std::string> values;
    std::vector<int16_t> order;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;
        const std::size_t eq = lines[i].find('=');
        if (eq == std::string::npos ||
            !values.emplace(lines[i].substr(0, eq), lines[i].substr(eq + 1)).second)
            return TEXT_EXERCISE_DAMAGED;
        // Points in the order of their first key.
        const std::string key = lines[i].substr(0, eq);
        if (key.starts_with("point.") && key.ends_with(".asks")) {
            uint32_t point = 0;
            if (!ParseSeconds(key.substr(6, key.size() - 11), point) || point < 1 ||
                point > static_cast<uint32_t>(ROUTE_POINT_COUNT))
                return TEXT_EXERCISE_DAMAGED;
            order.push_back(static_cast<int16_t>(point));
        }
    }
    uint32_t version = 0;
    if (!ParseSeconds(values["version"], version) || version == 0) return TEXT_EXERCISE_DAMAGED;
    if (version > SUBMISSION_FILE_VERSION) return TEXT_EXERCISE_FUTURE;
    TSubmission read;
    const auto take = [&](const std::string& key, std::string& out) {
        const auto found = values.find(key);
        return found != values.end() && UnescapeValue(found->second, out);
    };
    std::string score, value;
    if (!take("title", read.Title) || !take("fingerprint", read.Fingerprint) || !take("name", read.Name) ||
        !take("score", score) || !take("time-taken", value) || !ParseSeconds(value, read.TimeTaken) ||
        !take("over-time", value) || !ParseYesNo(value, read.OverTime) || read.Name.size() > TRAINEE_NAME_MAX)
        return TEXT_EXERCISE_DAMAGED;
    for (const int16_t point : order) {
        const std::string key = "point." + std::to_string(point) + ".";
        TSubmittedPoint p;
        p.Point = point;
        if (!take(key + "asks", value) || !ParseAsk(value, p.What)) return TEXT_EXERCISE_DAMAGED;
        if (p.What == TAsk::Visit) {
            if (!take(key + "reach", value) || value.size() != 1 || value[0] < 'B' || value[0] > 'D')
                return TEXT_EXERCISE_DAMAGED;
            p.Zone = value[0];
            if (!take(key + "visit-answer", value) || !ParseVisitText(value, true, p.Answer.Visit) ||
                !take(key + "right-visit", value) || !ParseVisitText(value, false, p.Right.Visit))
                return TEXT_EXERCISE_DAMAGED;
        }
        if (!take(key + "answer", value) || !ParseAnswerText(value, p.Answer.Condition, p.Answer.Zone) ||
            !take(key + "note", p.Answer.Note) || !take(key + "right-answer", value) ||
            !ParseAnswerText(value, p.Right.Condition, p.Right.Zone) || !take(key + "result", value) ||
            (value != "right" && value != "wrong"))
            return TEXT_EXERCISE_DAMAGED;
        p.IsRight = value == "right";
        if (!take(key + "measured-before-answer", value) || !ParseYesNo(value, p.MeasuredBeforeAnswer) ||
            !take(key + "measured-at", value) || !ParseOptionalSeconds(value, p.MeasuredAt) ||
            !take(key + "answered-at", value) || !ParseOptionalSeconds(value, p.AnsweredAt))
            return TEXT_EXERCISE_DAMAGED;
        read.RightCount += p.IsRight ? 1 : 0;
        read.Points.push_back(std::move(p));
    }
    if (score != std::to_string(read.RightCount) + "/" + std::to_string(read.Points.size()))
        return TEXT_EXERCISE_DAMAGED;
    submission = std::move(read);
    return 0;
}
