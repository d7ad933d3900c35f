#include "recording/SessionRecorder.h"

#include "recording/RecordingHash.h"
#include "recording/RecordingPlan.h"

#include "device/Device.h"
#include "firmware/Offlinemode.h"
#include "measure/PointConditions.h"

TSessionRecorder::TSessionRecorder(TDevice& device) : FDevice(device) {}

TSessionRecorder::~TSessionRecorder() {
    Abandon();
}

bool TSessionRecorder::Start(double clock, const std::string& language) {
    if (FDevice.IsOn() || FDevice.WorkerState() != TWorkerState::Parked) return false;
    // The conditions are in the state's text; what changes later is added.
    FConditions = AssignedConditions();
    FRecorder.Start(clock, StateIniText(SavedState), language);
    FDevice.Buttons().InputObserver = this;
    return true;
}

void TSessionRecorder::Language(const std::string& language) {
    FRecorder.Language(language);
}

void TSessionRecorder::ConditionChanges() {
    std::map<int16_t, TCondition> now = AssignedConditions();
    // One line a source that changed; one no longer assigned is "stored".
    for (const std::string& line : ConditionLinesBetween(FConditions, now))
        FRecorder.Condition(line);
    FConditions = std::move(now);
}

void TSessionRecorder::KeyDown(int16_t key) {
    ConditionChanges();
    // A press while the firmware works (a measurement under way) has no
    // settled screen to compare.
    if (FDevice.WorkerState() != TWorkerState::Working)
        FRecorder.Check(LcdHash(), CurrentStateFingerprint(FDevice.IsOn()));
    FRecorder.KeyDown(key);
}

void TSessionRecorder::KeyUp() {
    FRecorder.KeyUp();
}

std::string TSessionRecorder::Finish() {
    if (!FRecorder.Recording()) return {};
    ConditionChanges();
    FDevice.Buttons().InputObserver = nullptr;
    return FRecorder.Finish(LcdHash(), CurrentStateFingerprint(FDevice.IsOn()));
}

void TSessionRecorder::Abandon() {
    // Only a recording listens to the device: once abandoned, the device may
    // be gone before this recorder is (the window deletes it at close).
    if (!FRecorder.Recording()) return;
    if (FDevice.Buttons().InputObserver == this) FDevice.Buttons().InputObserver = nullptr;
    FRecorder.Finish(0, 0);
}
