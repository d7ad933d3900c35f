#include "recording/SessionRecorder.h"

#include "recording/RecordingHash.h"

#include "device/Device.h"
#include "firmware/Offlinemode.h"
#include "measure/PointConditions.h"

namespace {

std::map<int16_t, std::string> ConditionTexts() {
    std::map<int16_t, std::string> texts;
    for (const auto& [source, condition] : AssignedConditions())
        texts[source] = FormatCondition(condition);
    return texts;
}

} // namespace

std::string ConditionSourceName(int16_t source) {
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

TSessionRecorder::TSessionRecorder(TDevice& device) : FDevice(device) {}

TSessionRecorder::~TSessionRecorder() {
    Abandon();
}

bool TSessionRecorder::Start(double clock, const std::string& language) {
    if (FDevice.IsOn() || FDevice.WorkerState() != TWorkerState::Parked) return false;
    // The conditions are in the state's text; what changes later is added.
    FConditions = ConditionTexts();
    FRecorder.Start(clock, StateIniText(SavedState), language);
    FDevice.Buttons().InputObserver = this;
    return true;
}

void TSessionRecorder::Language(const std::string& language) {
    FRecorder.Language(language);
}

void TSessionRecorder::ConditionChanges() {
    std::map<int16_t, std::string> now = ConditionTexts();
    // An assignment that went is the stored waveform again.
    for (const auto& [source, text] : FConditions)
        if (now.count(source) == 0) FRecorder.Condition(ConditionSourceName(source) + " stored");
    for (const auto& [source, text] : now)
        if (const auto was = FConditions.find(source); was == FConditions.end() || was->second != text)
            FRecorder.Condition(ConditionSourceName(source) + " " + text);
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
    if (FDevice.Buttons().InputObserver == this) FDevice.Buttons().InputObserver = nullptr;
    if (FRecorder.Recording()) FRecorder.Finish(0, 0);
}
