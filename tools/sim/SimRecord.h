#pragma once
// The recording side of a headless run: it replays recordings (the lines
// recording, clock, state, state-end, check and measured, and the verdict),
// records the run itself in the same format (orx700-sim --record), and
// captures animated pictures (gif, gif-end).
#include "SimGif.h"
#include "recording/Recorder.h"
#include "recording/ReplayCheck.h"

#include <string>

class TSimSession;

class TSimRecord {
  public:
    // Hooks the session's device (parked) to publish its state at each key wait.
    explicit TSimRecord(TSimSession& session);
    ~TSimRecord();
    TSimRecord(const TSimRecord&) = delete;
    TSimRecord& operator=(const TSimRecord&) = delete;

    // A script starts: its lines are counted from 1, and its checks alone
    // make the verdict.
    void BeginScript();
    // The script has ended: an animation still being captured is written.
    bool EndScript(std::string& error);
    // Sees every script line before the session runs it. True when the line
    // was one of the recording's own, with ok saying whether it ran (error
    // then says why); false for a line the session is to run.
    bool RunLine(const std::string& line, bool& ok, std::string& error);

    // Records from now on: the clock, the saved state and the language as they
    // are (the device is off), then what the following lines do.
    void StartRecording();
    // Ends the recording with the check of the present moment; the script.
    std::string FinishRecording();

    // "verified", "diverged at line N", or empty when no check line ran.
    std::string Verdict() const { return FCheck.Verdict(); }
    bool Diverged() const { return FCheck.Diverged(); }

  private:
    void CommitLastLine();
    bool RunRecordingLine(const std::string& line, const std::string& command, bool& ok, std::string& error);

    TSimSession& FSession;
    TRecorder FRecorder;
    TReplayCheck FCheck;
    TSimGif FGif;
    int FLine = 0;
    int FFormat = RECORDING_FORMAT; // the replayed recording's, which decides how its checks compare
    // What the line before did, entered once it ran: a key line is followed
    // by a check; a direct key event, a language or a condition is recorded.
    bool FLastWasKey = false;
    std::string FLastCommand, FLastArgs;
    std::string FState; // the state lines read so far
};
