#pragma once
// A recording read for playing in real time (the window's Play, the kiosk's
// tour, the page): its starting state and clock, and its steps, each at its
// time from the start. The same lines orx700-sim replays under virtual time;
// the runner's own output lines (show, png, gif, gif-end) and the check and
// measured lines are passed over, since a live playback has nothing to
// compare or write.
#include "signals/Condition.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

enum class TRecordingAction : uint8_t { Down, Up, Event, Language, Condition, KeepAlive };

struct TRecordingStep {
    uint32_t At; // ms from the start of the recording
    TRecordingAction Action;
    int16_t Code;     // Down: KEY_K1 or KEY_K2; Event: the key event code
    std::string Text; // Language: "ENG" or "RUS"; Condition: "POINT NAME [key=value ...]"
    int Line;         // in the recording, from 1
};

// The words of a script line, up to its comment ('#'), as every reader of
// recordings splits them.
std::vector<std::string> ScriptLineWords(const std::string& line);

// A playback longer than a day is refused: a typo in a wait, not a tour.
inline constexpr uint32_t RECORDING_MAX_DURATION_MS = 24u * 60 * 60 * 1000;

struct TRecordingPlan {
    bool HasClock = false;
    double Clock = 0; // the wall clock at the start
    bool HasState = false;
    std::string StateIni; // the state the instrument starts from (off), as the ini holds it
    std::vector<TRecordingStep> Steps;
    uint32_t Duration = 0; // ms from the start to the end, trailing waits included
};

// False with "line N: reason" for a line that is no recording line, a
// recording format newer than this program's, or a plan past
// RECORDING_MAX_DURATION_MS.
bool ParseRecordingPlan(const std::string& text, TRecordingPlan& plan, std::string& error);

// "POINT NAME [key=value ...]" of a condition line: POINT a route point
// 1..13, watch, offroute or hf. False with a reason.
bool ParseConditionLine(const std::string& args, int16_t& source, std::string& conditionText,
                        std::string& error);
// Assigns a condition line's condition (validated by ParseConditionLine).
bool ApplyConditionLine(const std::string& args, std::string& error);
// The arguments of the condition lines that take the assignments from
// before to after (as AssignedConditions() lists them), one per source that
// differs; a source after no longer holds is given "stored".
std::vector<std::string> ConditionLinesBetween(const std::map<int16_t, TCondition>& before,
                                               const std::map<int16_t, TCondition>& after);
