#pragma once
// An exercise under way. It runs on a state of its own: opening sets the
// trainee's own state aside (the resume record, with the route and its
// measurements, the language, and the machine conditions with what each
// measured point was measured with) and installs the exercise's (the
// default route, nothing measured, the exercise's conditions); closing
// puts the own state back exactly as it was. Open and Close only while the
// instrument is off and its worker parked (nothing else then reads or
// writes the state); the rest from the thread that owns the run.
// An exercise of visits starts at the first: the instrument's clock is
// moved to its date (the host's clock is left alone) and the conditions are
// the first visit's. NextVisit moves on: a fresh route to measure, the next
// date, that visit's conditions; Close puts the clock back. What was measured
// at a visit goes to the PC through the exercise's own measurement database,
// which the front end keeps (the run does not touch a database).
// Times are the caller's millisecond ticks (the host's clock), so that
// tests and the headless runner drive them.
#include "firmware/Offlinemode.h"
#include "signals/Condition.h"
#include "training/Exercise.h"
#include "training/Submission.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>

class TExerciseRun {
  public:
    void Open(const TExercise& exercise, uint64_t nowMs);
    // Gives the own state back; the run is then closed. Nothing when it is not open.
    void Close();
    bool IsOpen() const { return FOpen; }
    const TExercise& Exercise() const { return FExercise; }

    int CurrentVisit() const { return FVisit; }
    bool IsLastVisit() const { return !FOpen || FVisit >= VisitCount(FExercise); }
    // Moves to the next visit (as Open, only while the worker is parked);
    // false, nothing changed, at the last visit or with no run open.
    bool NextVisit();

    // Notes the asked points measured since the last look (the worker
    // records each measurement's condition); front ends call it as the
    // instrument's screen changes, and every answer does.
    void Observe(uint64_t nowMs);
    bool IsMeasured(int16_t point) const { return FMeasuredAt.contains(point); }

    // Replaces the answer of an asked point; false (nothing changed) for a
    // point not asked, or once the time limit is up: the answers then stand
    // as they were at the limit, in every front end.
    bool Answer(int16_t point, const TAnswer& answer, uint64_t nowMs);
    TAnswer AnswerOf(int16_t point) const;

    // The scored submission of the answers so far. The run stays open (for
    // the review) and a later Submit scores again.
    TSubmission Submit(const std::string& name, uint64_t nowMs);
    bool IsSubmitted() const { return FSubmitted; }
    // The asked points' conditions are shown once the answers are submitted.
    bool IsHidden(int16_t source) const;

    // The whole seconds left of the time limit, 0 once it is up; none
    // without a limit or an open run.
    std::optional<uint32_t> SecondsLeft(uint64_t nowMs) const;
    bool IsTimeUp(uint64_t nowMs) const { return SecondsLeft(nowMs) == std::optional<uint32_t>(0); }

    // The trainee's own resume record while the run is open (a front end
    // saving its state then saves this one, not the exercise's).
    const TDeviceState& OwnState() const { return FOwnState; }

  private:
    uint32_t SecondsSinceOpen(uint64_t nowMs) const;
    // A fresh route (nothing measured) at visit FVisit: its conditions and date.
    void InstallVisit();

    bool FOpen = false;
    bool FSubmitted = false;
    int FVisit = 1;
    TExercise FExercise;
    std::string FFingerprint;
    uint64_t FOpenedAt = 0;
    std::map<int16_t, uint64_t> FMeasuredAt; // asked point -> tick first seen measured
    std::map<int16_t, TAnswer> FAnswers;
    std::map<int16_t, uint64_t> FAnsweredAt;
    // The own state, set aside.
    TDeviceState FOwnState;
    std::map<int16_t, TCondition> FOwnAssigned;
    std::map<int16_t, TCondition> FOwnMeasured;
    std::map<int16_t, double> FOwnTimes; // when the own points were measured, for the transfer to the PC
    double FOwnDateShift = 0;
};
