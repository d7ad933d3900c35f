#pragma once
// A live session recorded from a front end that feeds keys as a user presses
// them (the window): the recorder (Recorder.h) listens at the key
// classifier's input, and before each press the instrument waits for, the
// LCD's and the state's fingerprints go in as a check, so that a replay that
// went another way is caught at the key after which it did.
//
// Machine conditions are changed in the front end's own window, away from
// the key path, and take effect at the instrument's next measurement, which
// only a key can start: the assignments are compared before each press and
// at the end, and the ones that changed go in as condition lines ahead of
// the check. GUI thread only; the device's OnKeyWait must publish the state
// (PublishCurrentDeviceState) for the checks taken while it is on.
#include "device/Buttons.h"
#include "recording/Recorder.h"
#include "signals/Condition.h"

#include <cstdint>
#include <map>
#include <string>

class TDevice;

class TSessionRecorder final : public TKeyInputObserver {
  public:
    explicit TSessionRecorder(TDevice& device);
    ~TSessionRecorder();
    TSessionRecorder(const TSessionRecorder&) = delete;
    TSessionRecorder& operator=(const TSessionRecorder&) = delete;

    // Starts from SavedState and the conditions in force; the instrument
    // must be off with its worker parked (false otherwise, nothing started).
    // language: "ENG" or "RUS".
    bool Start(double clock, const std::string& language);
    bool Recording() const { return FRecorder.Recording(); }
    void Language(const std::string& language);
    // Ends the recording with a last check: call it while the worker does not
    // work (waits for a key or is parked), so that the LCD has settled.
    std::string Finish();
    // Stops listening without a script (the device is going away). It
    // touches the device only while recording, so the destructor is safe
    // after the device has gone.
    void Abandon();

    void KeyDown(int16_t key) override;
    void KeyUp() override;

  private:
    void ConditionChanges();

    TDevice& FDevice;
    TRecorder FRecorder;
    std::map<int16_t, TCondition> FConditions; // as last recorded, by source
};
