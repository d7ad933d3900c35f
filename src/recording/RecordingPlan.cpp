#include "recording/RecordingPlan.h"

#include "recording/KeyEventNames.h"
#include "recording/Recorder.h"

#include "device/KeyCodes.h"
#include "measure/PointConditions.h"
#include "signals/Condition.h"

#include <map>
#include <sstream>

std::vector<std::string> ScriptLineWords(const std::string& line) {
    std::istringstream in(line.substr(0, line.find('#')));
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    return words;
}

namespace {

bool IsNumber(const std::string& text, std::size_t maxDigits) {
    return !text.empty() && text.size() <= maxDigits &&
           text.find_first_not_of("0123456789") == std::string::npos;
}

bool ParseSource(const std::string& text, int16_t& source) {
    static const std::map<std::string, int16_t> kNamed = {
        {"watch", SOURCE_WATCH}, {"offroute", SOURCE_OFFROUTE}, {"hf", SOURCE_HF}};
    if (const auto named = kNamed.find(text); named != kNamed.end()) {
        source = named->second;
        return true;
    }
    if (!IsNumber(text, 2)) return false;
    source = static_cast<int16_t>(std::stoi(text));
    return IsAssignableSource(source) && source > 0;
}

} // namespace

bool ParseConditionLine(const std::string& args, int16_t& source, std::string& conditionText,
                        std::string& error) {
    const std::vector<std::string> words = ScriptLineWords(args);
    if (words.size() < 2) {
        error = "condition needs a point and a condition name";
        return false;
    }
    if (!ParseSource(words[0], source)) {
        error = "condition needs a route point 1..13, watch, offroute or hf, got '" + words[0] + "'";
        return false;
    }
    conditionText.clear();
    for (std::size_t i = 1; i < words.size(); ++i)
        conditionText += words[i] + " ";
    std::string reason;
    if (!ParseCondition(conditionText, reason)) {
        error = "condition: " + reason;
        return false;
    }
    return true;
}

bool ApplyConditionLine(const std::string& args, std::string& error) {
    int16_t source = 0;
    std::string text;
    if (!ParseConditionLine(args, source, text, error)) return false;
    AssignCondition(source, *ParseCondition(text, error));
    return true;
}

namespace {

std::string SourceName(int16_t source) {
    switch (source) {
    case SOURCE_WATCH:
        return "watch";
    case SOURCE_OFFROUTE:
        return "offroute";
    case SOURCE_HF:
        return "hf";
    default:
        return std::to_string(source);
    }
}

} // namespace

std::vector<std::string> ConditionLinesBetween(const std::map<int16_t, TCondition>& before,
                                               const std::map<int16_t, TCondition>& after) {
    std::vector<std::string> lines;
    for (const auto& [source, condition] : after)
        if (const auto was = before.find(source); was == before.end() || !(was->second == condition))
            lines.push_back(SourceName(source) + ' ' + FormatCondition(condition));
    for (const auto& [source, condition] : before)
        if (!after.contains(source))
            lines.push_back(SourceName(source) + ' ' + ConditionName(TConditionKind::Stored));
    return lines;
}

bool ParseRecordingPlan(const std::string& text, TRecordingPlan& plan, std::string& error) {
    plan = TRecordingPlan{};
    std::istringstream in(text);
    uint64_t at = 0;
    int lineNo = 0;
    const auto fail = [&](const std::string& reason) {
        error = "line " + std::to_string(lineNo) + ": " + reason;
        return false;
    };
    for (std::string line; std::getline(in, line);) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        // A state line is taken as it stands: an ini line may hold a '#'.
        const std::size_t start = line.find_first_not_of(" \t");
        const std::string trimmed = start == std::string::npos ? std::string() : line.substr(start);
        if (trimmed == "state" || trimmed.rfind("state ", 0) == 0) {
            plan.StateIni += (trimmed.size() > 6 ? trimmed.substr(6) : std::string()) + '\n';
            continue;
        }
        const std::vector<std::string> words = ScriptLineWords(line);
        if (words.empty()) continue;
        const std::string& command = words[0];
        const auto step = [&](TRecordingAction action, int16_t code, std::string stepText = {}) {
            plan.Steps.push_back({static_cast<uint32_t>(at), action, code, std::move(stepText), lineNo});
        };
        if (command == "recording" && words.size() == 2 && IsNumber(words[1], 4)) {
            if (std::stoi(words[1]) > RECORDING_FORMAT)
                return fail("this recording is in format " + words[1] + ", newer than this program reads (" +
                            std::to_string(RECORDING_FORMAT) + ")");
        } else if (command == "clock" && words.size() == 3) {
            if (!ParseRecordingClock(words[1] + " " + words[2], plan.Clock))
                return fail("clock needs a date and time as YYYY-MM-DD HH:MM:SS.mmm");
            plan.HasClock = true;
        } else if (command == "state-end" && words.size() == 1) {
            plan.HasState = true;
        } else if (command == "wait" && words.size() == 2) {
            if (!IsNumber(words[1], 9))
                return fail("wait needs a number of milliseconds, got '" + words[1] + "'");
            at += std::stoul(words[1]);
            if (at > RECORDING_MAX_DURATION_MS) return fail("the recording lasts longer than a day");
        } else if (command == "down" && words.size() == 2 && (words[1] == "k1" || words[1] == "k2")) {
            step(TRecordingAction::Down, words[1] == "k1" ? KEY_K1 : KEY_K2);
        } else if (command == "up" && words.size() == 1) {
            step(TRecordingAction::Up, 0);
        } else if (const auto code = KeyEventFromCommand(command); code && words.size() == 1) {
            step(TRecordingAction::Event, *code);
        } else if (command == "keep-alive" && words.size() == 1) {
            step(TRecordingAction::KeepAlive, 0);
        } else if (command == "lang" && words.size() == 2 && (words[1] == "ENG" || words[1] == "RUS")) {
            step(TRecordingAction::Language, 0, words[1]);
        } else if (command == "condition") {
            const std::string args = line.substr(line.find("condition") + 9);
            int16_t source = 0;
            std::string conditionText, reason;
            if (!ParseConditionLine(args.substr(0, args.find('#')), source, conditionText, reason))
                return fail(reason);
            step(TRecordingAction::Condition, 0, args.substr(0, args.find('#')));
        } else if (command == "check" || command == "measured" || command == "show" || command == "png" ||
                   command == "gif" || command == "gif-end") {
            // Nothing to compare or write while playing live.
        } else {
            return fail("not a recording line: '" + trimmed + "'");
        }
    }
    plan.Duration = static_cast<uint32_t>(at);
    return true;
}
