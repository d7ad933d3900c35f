// The functions of the page's Play: a recording read by the core
// (recording/RecordingPlan.h) and played onto the instrument in real time
// by the core's player, which the page ticks when it says. The page brings
// the instrument to the recording's starting state first (switched off, as
// for an import) and hands it over live when the user takes over. Texts
// cross as UTF-8; a returned text stays valid until the next call of this
// file that returns one.
#include "device/Deviceioemulation.h"
#include "recording/RecordingPlan.h"
#include "recording/RecordingPlayer.h"

#include <emscripten/emscripten.h>

#include <memory>
#include <string>

namespace {

TRecordingPlan g_Plan;
std::unique_ptr<TRecordingPlayer> g_Player;
std::string g_Returned;

const char* Return(std::string text) {
    g_Returned = std::move(text);
    return g_Returned.c_str();
}

// The page's language box follows the recording's language lines.
EM_JS(void, PagePlayLanguage, (const char* name), { Module.onPlayLanguage(UTF8ToString(name)); });

} // namespace

extern "C" {

// Reads a recording for playing; empty, or why it cannot be played.
EMSCRIPTEN_KEEPALIVE const char* orx_PlayLoad(const char* text) {
    if (g_Player && g_Player->Playing()) g_Player->Stop();
    TRecordingPlan plan;
    std::string error;
    if (!ParseRecordingPlan(text, plan, error)) return Return(error);
    g_Plan = std::move(plan);
    return Return({});
}

// The state the loaded recording starts from, as the ini holds it; empty
// when it names none (it plays on the state in force).
EMSCRIPTEN_KEEPALIVE const char* orx_PlayState() {
    return Return(g_Plan.HasState ? g_Plan.StateIni : std::string());
}

// Plays the loaded recording from now; 0 without a device.
EMSCRIPTEN_KEEPALIVE int orx_PlayStart() {
    if (!g_Device) return 0;
    g_Player = std::make_unique<TRecordingPlayer>(*g_Device);
    g_Player->OnLanguage = [](const std::string& name) { PagePlayLanguage(name.c_str()); };
    g_Player->Start(g_Plan);
    return 1;
}

// Plays what is due; the milliseconds until the next tick is needed, or -1
// once the playback has ended.
EMSCRIPTEN_KEEPALIVE int orx_PlayTick() {
    if (!g_Player || !g_Player->Playing()) return -1;
    g_Player->Tick();
    return g_Player->Playing() ? static_cast<int>(g_Player->NextStepIn()) : -1;
}

// The user takes over: a key the recording holds is let go.
EMSCRIPTEN_KEEPALIVE void orx_PlayStop() {
    if (g_Player) g_Player->Stop();
}

EMSCRIPTEN_KEEPALIVE int orx_PlayElapsed() {
    return g_Player ? static_cast<int>(g_Player->Elapsed()) : 0;
}

EMSCRIPTEN_KEEPALIVE int orx_PlayDuration() {
    return static_cast<int>(g_Plan.Duration);
}

} // extern "C"
