#include "training/ExerciseRun.h"

#include "measure/PointConditions.h"
#include "platform/Host.h"
#include "training/ExerciseFile.h"

#include <algorithm>

namespace {

void InstallState(const TDeviceState& state, const std::map<int16_t, TCondition>& assigned,
                  const std::map<int16_t, TCondition>& measured, const std::map<int16_t, double>& times) {
    SavedState = state;
    ClearConditions();
    for (const auto& [source, condition] : assigned)
        AssignCondition(source, condition);
    for (const auto& [point, condition] : measured)
        RecordMeasuredCondition(point, condition);
    for (const auto& [point, time] : times)
        RecordMeasuredTime(point, time);
    // Until the next power-on's first key wait, a save takes this record.
    PublishDeviceState(SavedState);
}

// At most max bytes of UTF-8 text, cut between characters.
std::string CutText(const std::string& text, std::size_t max) {
    if (text.size() <= max) return text;
    std::size_t end = max;
    while (end > 0 && (static_cast<uint8_t>(text[end]) & 0xC0) == 0x80)
        --end;
    return text.substr(0, end);
}

} // namespace

void TExerciseRun::Open(const TExercise& exercise, uint64_t nowMs) {
    // A second exercise replaces the first; the own state stays the one set aside.
    if (!FOpen) {
        FOwnState = SavedState;
        FOwnAssigned = AssignedConditions();
        FOwnMeasured = MeasuredConditions();
        FOwnTimes = MeasuredTimes();
        FOwnDateShift = InstrumentDateShift();
    }
    FOpen = true;
    FSubmitted = false;
    FExercise = exercise;
    FFingerprint = ExerciseFingerprint(exercise);
    FOpenedAt = nowMs;
    FMeasuredAt.clear();
    FAnswers.clear();
    FAnsweredAt.clear();
    FVisit = 1;
    InstallVisit();
}

void TExerciseRun::InstallVisit() {
    TDeviceState state;
    // The host's fields are the trainee's, not the exercise's.
    state.LanguageName = FOwnState.LanguageName;
    state.UserManuals = FOwnState.UserManuals;
    // The window's settings are the trainer's: as they stand now.
    state.ExerciseLinkAddress = SavedState.ExerciseLinkAddress;
    state.ShowKeyCaptions = SavedState.ShowKeyCaptions;
    state.PresenterSize = SavedState.PresenterSize;
    state.AnimateWholeInstrument = SavedState.AnimateWholeInstrument;
    if (!FExercise.Visits.empty())
        SetInstrumentDateShift(FExercise.Visits[static_cast<std::size_t>(FVisit - 1)].Date - Host().Now());
    else
        SetInstrumentDateShift(FOwnDateShift);
    InstallState(state, ConditionsAtVisit(FExercise, FVisit), {}, {});
}

bool TExerciseRun::NextVisit() {
    if (IsLastVisit()) return false;
    ++FVisit;
    InstallVisit();
    return true;
}

void TExerciseRun::Close() {
    if (!FOpen) return;
    // Where exercise links lead and how the window shows the instrument are
    // the trainer's settings, not the exercise's: those made while it ran are
    // kept.
    FOwnState.ExerciseLinkAddress = SavedState.ExerciseLinkAddress;
    FOwnState.ShowKeyCaptions = SavedState.ShowKeyCaptions;
    FOwnState.PresenterSize = SavedState.PresenterSize;
    FOwnState.AnimateWholeInstrument = SavedState.AnimateWholeInstrument;
    InstallState(FOwnState, FOwnAssigned, FOwnMeasured, FOwnTimes);
    SetInstrumentDateShift(FOwnDateShift);
    FOpen = false;
    FVisit = 1;
    FSubmitted = false;
    FExercise = TExercise{};
}

void TExerciseRun::Observe(uint64_t nowMs) {
    if (!FOpen) return;
    const auto measured = MeasuredConditions();
    for (const TAskedPoint& asked : FExercise.Asked)
        if (measured.contains(asked.Point)) FMeasuredAt.emplace(asked.Point, nowMs);
}

bool TExerciseRun::Answer(int16_t point, const TAnswer& answer, uint64_t nowMs) {
    if (!FOpen || IsTimeUp(nowMs)) return false;
    const bool asked = std::any_of(FExercise.Asked.begin(), FExercise.Asked.end(),
                                   [point](const TAskedPoint& a) { return a.Point == point; });
    if (!asked) return false;
    Observe(nowMs);
    FAnswers[point] = answer;
    FAnsweredAt[point] = nowMs;
    return true;
}

std::optional<uint32_t> TExerciseRun::SecondsLeft(uint64_t nowMs) const {
    if (!FOpen || FExercise.TimeLimitSeconds == 0) return std::nullopt;
    const uint64_t limitMs = uint64_t{FExercise.TimeLimitSeconds} * 1000;
    const uint64_t spent = nowMs > FOpenedAt ? nowMs - FOpenedAt : 0;
    if (spent >= limitMs) return 0u;
    // Rounded up: "0 seconds left" only once the time is up.
    return static_cast<uint32_t>((limitMs - spent + 999) / 1000);
}

TAnswer TExerciseRun::AnswerOf(int16_t point) const {
    const auto found = FAnswers.find(point);
    return found != FAnswers.end() ? found->second : TAnswer{};
}

bool TExerciseRun::IsHidden(int16_t source) const {
    if (!FOpen || FSubmitted) return false;
    return std::any_of(FExercise.Asked.begin(), FExercise.Asked.end(),
                       [source](const TAskedPoint& a) { return a.Point == source; });
}

uint32_t TExerciseRun::SecondsSinceOpen(uint64_t nowMs) const {
    const uint64_t seconds = nowMs > FOpenedAt ? (nowMs - FOpenedAt) / 1000 : 0;
    return static_cast<uint32_t>(std::min<uint64_t>(seconds, UINT32_MAX));
}

TSubmission TExerciseRun::Submit(const std::string& name, uint64_t nowMs) {
    Observe(nowMs);
    TSubmission s;
    s.Title = FExercise.Title;
    s.Fingerprint = FFingerprint;
    s.Name = CutText(name, TRAINEE_NAME_MAX);
    s.TimeTaken = SecondsSinceOpen(nowMs);
    s.OverTime = FExercise.TimeLimitSeconds != 0 && s.TimeTaken > FExercise.TimeLimitSeconds;
    for (const TAskedPoint& asked : FExercise.Asked) {
        TSubmittedPoint p;
        p.Point = asked.Point;
        p.What = asked.What;
        p.Zone = asked.Zone;
        p.Answer = AnswerOf(asked.Point);
        p.Right = RightAnswer(FExercise, asked.Point);
        p.IsRight = ScoreAnswer(asked.What, p.Answer, p.Right).Right;
        const auto measured = FMeasuredAt.find(asked.Point);
        const auto answered = FAnsweredAt.find(asked.Point);
        if (measured != FMeasuredAt.end()) p.MeasuredAt = SecondsSinceOpen(measured->second);
        if (answered != FAnsweredAt.end()) p.AnsweredAt = SecondsSinceOpen(answered->second);
        p.MeasuredBeforeAnswer = measured != FMeasuredAt.end() && answered != FAnsweredAt.end() &&
                                 measured->second <= answered->second;
        s.RightCount += p.IsRight ? 1 : 0;
        s.Points.push_back(std::move(p));
    }
    FSubmitted = FOpen;
    return s;
}
