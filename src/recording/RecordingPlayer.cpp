#include "recording/RecordingPlayer.h"

#include "device/Device.h"
#include "platform/Host.h"
#include "platform/Strings.h"

#include <algorithm>

TRecordingPlayer::TRecordingPlayer(TDevice& device) : FDevice(device) {}

void TRecordingPlayer::Start(const TRecordingPlan& plan) {
    FPlan = &plan;
    FStartTick = GetTickCount();
    FNext = 0;
}

void TRecordingPlayer::Stop() {
    if (!FPlan) return;
    FPlan = nullptr;
    if (FDevice.Buttons().HeldKey != 0) ButtonsReset(FDevice.Buttons());
}

uint32_t TRecordingPlayer::Elapsed() const {
    if (!FPlan) return 0;
    // Unsigned: right across the tick count's wrap.
    return std::min<uint32_t>(GetTickCount() - FStartTick, FPlan->Duration);
}

uint32_t TRecordingPlayer::Duration() const {
    return FPlan ? FPlan->Duration : 0;
}

uint32_t TRecordingPlayer::NextStepIn() const {
    if (!FPlan) return 0;
    const uint32_t due = FNext < FPlan->Steps.size() ? FPlan->Steps[FNext].At : FPlan->Duration;
    const uint32_t now = GetTickCount() - FStartTick;
    return due > now ? due - now : 0;
}

void TRecordingPlayer::Tick() {
    // A step may stop the playback (a front end that stops on a language
    // change), so the plan is looked at anew for each.
    while (FPlan && FNext < FPlan->Steps.size() && FPlan->Steps[FNext].At <= GetTickCount() - FStartTick)
        Play(FPlan->Steps[FNext++]);
    if (FPlan && FNext >= FPlan->Steps.size() && GetTickCount() - FStartTick >= FPlan->Duration) Stop();
}

void TRecordingPlayer::Play(const TRecordingStep& step) {
    TKeyButtons& keys = FDevice.Buttons();
    switch (step.Action) {
    case TRecordingAction::Down:
        ButtonDown(keys, step.Code);
        break;
    case TRecordingAction::Up:
        ButtonUp(keys);
        break;
    case TRecordingAction::Event:
        if (keys.OnKeyEvent)
            keys.OnKeyEvent(step.Code);
        else
            FDevice.PostKeyEvent(step.Code);
        break;
    case TRecordingAction::Language:
        if (OnLanguage) {
            OnLanguage(step.Text);
        } else {
            const LANGID language = step.Text == "RUS" ? LANG_RUSSIAN : LANG_ENGLISH;
            SetThreadLanguage(language);
            FDevice.SetLanguage(language);
        }
        break;
    case TRecordingAction::Condition: {
        std::string ignored; // checked when the plan was read
        ApplyConditionLine(step.Text, ignored);
        break;
    }
    case TRecordingAction::KeepAlive:
        FDevice.KeepAlive();
        break;
    }
}
