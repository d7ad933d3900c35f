#include "platform/Timer.h"

TTimer::TTimer() : FBackend(Host().CreateTimer([this] { Fire(); })) {}

void TTimer::SetEnabled(bool enabled) {
    if (enabled == FEnabled) return;
    FEnabled = enabled;
    UpdateTimer();
}

void TTimer::SetInterval(uint32_t ms) {
    if (ms == FInterval) return;
    FInterval = ms;
    UpdateTimer();
}

void TTimer::SetOnTimer(std::function<void()> handler) {
    FOnTimer = std::move(handler);
    UpdateTimer();
}

void TTimer::UpdateTimer() {
    FBackend->Stop();
    if (FEnabled && FInterval != 0 && FOnTimer) FBackend->Start(FInterval);
}

void TTimer::Fire() {
    if (FEnabled && FOnTimer) FOnTimer();
}
