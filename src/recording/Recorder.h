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

#include <cstdint>
#include <string>
#include <vector>

// The format a recording states in its "recording N" line; a replay refuses
// a later one.
inline constexpr int RECORDING_FORMAT = 1;

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
    // An event posted without a press (a script's "k1", "both", ...).
    void KeyEvent(int16_t code);
    void Language(const std::string& language);
    // args: "POINT NAME [key=value ...]" as the condition command takes them.
    void Condition(const std::string& args);
    void Check(uint64_t lcd, uint64_t state);
    // Ends the recording at the present tick with a last check; the script.
    std::string Finish(uint64_t lcd, uint64_t state);

  private:
    enum class TKind : uint8_t { Down, Up, Event, Language, Condition, Check };
    struct TEntry {
        uint32_t Tick;
        TKind Kind;
        int16_t Code;
        uint64_t Lcd, State;
        std::string Text;
    };
    void Add(TKind kind, int16_t code, uint64_t lcd = 0, uint64_t state = 0, std::string text = {});

    bool FRecording = false;
    uint32_t FStartTick = 0;
    std::string FHeader;
    std::vector<TEntry> FEntries;
};

// "YYYY-MM-DD HH:MM:SS.mmm" and back; false for anything else or a day that
// does not exist.
std::string FormatRecordingClock(double clock);
bool ParseRecordingClock(const std::string& text, double& clock);
