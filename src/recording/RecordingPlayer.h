#pragma once
// Plays a recording's steps onto the instrument in real time (the host's tick
// count): key presses and releases into the key classifier, as a user's
// would come, so the classifier times them again; key events to its
// OnKeyEvent (the captions see them); conditions assigned; language changes
// handed to the front end, whose language box follows. GUI thread only.
//
// The player does not bring the instrument to the recording's start: the
// caller (TKiosk, the window's Play) powers it off and loads the starting
// state first. Call Tick when NextStepIn says, or more often.
#include "recording/RecordingPlan.h"

#include <cstddef>
#include <cstdint>
#include <functional>

class TDevice;

class TRecordingPlayer {
  public:
    explicit TRecordingPlayer(TDevice& device);

    // "ENG" or "RUS": the front end switches its language and the device's.
    // Unset, the calling thread's and the device's language are switched.
    std::function<void(const std::string&)> OnLanguage;

    // Plays plan (kept by the caller until Stop or the end) from now.
    void Start(const TRecordingPlan& plan);
    // Stops at once; a key the recording holds is let go without an event.
    void Stop();
    // Forgets the playback without touching the device, which may be gone.
    void Abandon() { FPlan = nullptr; }
    bool Playing() const { return FPlan != nullptr; }
    // Plays every step that is due; ends the playback once its last step has
    // run and its duration has passed.
    void Tick();
    // Milliseconds until the next step or the end (0 when due or stopped).
    uint32_t NextStepIn() const;
    // Milliseconds played, at most the duration; 0 when stopped.
    uint32_t Elapsed() const;
    uint32_t Duration() const;

  private:
    void Play(const TRecordingStep& step);

    TDevice& FDevice;
    const TRecordingPlan* FPlan = nullptr;
    uint32_t FStartTick = 0;
    std::size_t FNext = 0;
};
