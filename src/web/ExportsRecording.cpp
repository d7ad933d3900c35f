// The functions of the page's recordings: the core's recorder
// (recording/Recorder.h) listens to the key classifier's input, where the
// page feeds its keys, and writes the session as an orx700-sim script that
// replays it and checks the replay. A recording starts with the instrument
// off (the page switches it off first), from the state it holds. Before
// each key press the instrument waits for, the LCD's and the state's
// fingerprints go in as a check, so that a replay that went another way is
// caught at the key after which it did. Texts cross as UTF-8; a returned
// text stays valid until the next call of this file that returns one.
#include "device/Device.h"
#include "device/Deviceioemulation.h"
#include "firmware/Offlinemode.h"
#include "platform/Host.h"
#include "recording/Recorder.h"
#include "recording/RecordingHash.h"
#include "web/WebRecorder.h"

#include <emscripten/emscripten.h>

#include <string>

namespace {

bool Idle() {
    return g_Device && g_Device->WorkerState() != TWorkerState::Working;
}

// The recorder, with a check before each press the instrument waits for.
class TPageRecorder final : public TKeyInputObserver {
  public:
    TRecorder Recorder;
    void KeyDown(int16_t key) override {
        if (Idle()) Recorder.Check(LcdHash(), CurrentStateFingerprint(g_Device->IsOn()));
        Recorder.KeyDown(key);
    }
    void KeyUp() override { Recorder.KeyUp(); }
    void KeepAlive() override { Recorder.KeepAlive(); }
};

TPageRecorder g_Recorder;
std::string g_Returned;

std::string ScriptLanguage(const std::string& name) {
    return name == "RUS" ? "RUS" : "ENG";
}

} // namespace

void WebRecordConditionsChanged() {
    g_Recorder.Recorder.ConditionsChanged();
}

extern "C" {

// Starts recording from the state the instrument holds; only while it is
// off and its worker parked (0 otherwise: nothing started).
EMSCRIPTEN_KEEPALIVE int orx_RecordStart() {
    if (!g_Device || g_Device->IsOn() || g_Device->WorkerState() != TWorkerState::Parked) return 0;
    g_Recorder.Recorder.Start(Host().Now(), StateIniText(SavedState),
                              ScriptLanguage(SavedState.LanguageName));
    g_Device->Buttons().InputObserver = &g_Recorder;
    return 1;
}

EMSCRIPTEN_KEEPALIVE int orx_IsRecording() {
    return g_Recorder.Recorder.Recording() ? 1 : 0;
}

// The page's language became name ("ENG", "RUS").
EMSCRIPTEN_KEEPALIVE void orx_RecordLanguage(const char* name) {
    g_Recorder.Recorder.Language(ScriptLanguage(name));
}

// Ends the recording with a last check; the script (empty when none ran).
// The page calls it once the instrument has stopped working (a measurement
// under way ended), so that the check reads a settled LCD.
EMSCRIPTEN_KEEPALIVE const char* orx_RecordFinish() {
    if (!g_Recorder.Recorder.Recording()) return "";
    if (g_Device) g_Device->Buttons().InputObserver = nullptr;
    const bool on = g_Device && g_Device->IsOn();
    g_Returned = g_Recorder.Recorder.Finish(LcdHash(), CurrentStateFingerprint(on));
    return g_Returned.c_str();
}

} // extern "C"
