#pragma once
// Records a session as an orx700-sim script that replays it under virtual
// time: the clock and the state it starts from, then every key press and
// release, key event, language change and machine-condition change with
// "wait MS" for the time between them, and check lines (the LCD's and the
// state's fingerprints) that the replay compares.
//
// The recorder listens to the key classifier's input (TKeyButtons'
// InputObserver), where the window, the page and the runner all feed keys, so
// a recorded press is exactly what the instrument received. Recording a press
// costs a tick reading and one stored entry. GUI thread only.
#include "device/Buttons.h"
#include "recording/RecordingHash.h"
#include "signals/Condition.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// The format a recording states in its "recording N" line; a replay refuses
// a later one. Format 1 fingerprinted the measurement times with the state
// (a replay checks such a recording that way still); format 2 checks them
// apart, within a tolerance, on "measured" lines.
inline constexpr int RECORDING_FORMAT = 2;

class TRecorder final : public TKeyInputObserver {
  public:
    // Starts a new recording at the present tick, forgetting any earlier one.
    // clock: the wall clock now; stateIni: the saved state the instrument
    // starts from, as the ini file holds it (the instrument is off); language:
    // "ENG" or "RUS".
    void Start(double clock, const std::string& stateIni, const std::string& language);
    bool Recording() const { return FRecording; }

    void KeyDown(int16_t key) override;
    void KeyUp() override;
    // A "keep-alive" line, which restarts the power-off count in the replay
    // too. A moving pointer gives dozens a second: only those a replay needs
    // to power off exactly when the session did, and not before, are kept.
    void KeepAlive() override;
    // An event posted without a press (a script's "k1", "both", ...).
    void KeyEvent(int16_t code);
    void Language(const std::string& language);
    // args: "POINT NAME [key=value ...]" as the condition command takes them.
    void Condition(const std::string& args);
    // A condition line for each assignment that differs from what the
    // recording last saw (at its start or at its last condition line): a
    // front end calls it after the user changed conditions, however many.
    void ConditionsChanged();
    // A check line, then a "measured KEY TIME" line for each measurement
    // time that is new or other than at the check before.
    void Check(uint64_t lcd, const TStateFingerprint& state);
    // A check line alone, for a front end that has only the state's hash.
    void Check(uint64_t lcd, uint64_t state);
    // Ends the recording at the present tick with a last check; the script.
    std::string Finish(uint64_t lcd, const TStateFingerprint& state);
    std::string Finish(uint64_t lcd, uint64_t state);

  private:
    enum class TKind : uint8_t { Down, Up, Event, Language, Condition, Check, Measured, KeepAlive };
    struct TEntry {
        uint32_t Tick;
        TKind Kind;
        int16_t Code;
        uint64_t Lcd, State;
        std::string Text;
    };
    std::string Script(); // the entries so far, after the header; ends the recording
    void FlushKeepAlive();
    void Add(TKind kind, int16_t code, uint64_t lcd = 0, uint64_t state = 0, std::string text = {});

    bool FRecording = false;
    uint32_t FStartTick = 0;
    std::string FHeader;
    std::vector<TEntry> FEntries;
    std::vector<std::pair<std::string, double>> FMeasuredTimes; // as the last check saw them
    std::map<int16_t, TCondition> FConditions;                  // as the last condition line left them
    bool FKeepAlivePending = false;
    uint32_t FKeepAliveTick = 0;     // of the pending keep-alive
    uint32_t FKeepAliveLineTick = 0; // of the last keep-alive line
};

// "YYYY-MM-DD HH:MM:SS.mmm" and back; false for anything else or a day that
// does not exist.
std::string FormatRecordingClock(double clock);
bool ParseRecordingClock(const std::string& text, double& clock);
