// The functions of the page's key captions: the core's captions
// (recording/KeyCaptions.h) fed with every key event the instrument
// receives, in the page's language, and whether they are shown, which the
// saved state keeps as the desktop's does. Texts cross as UTF-8; a returned
// text stays valid until the next call of this file that returns one.
#include "device/Device.h"
#include "device/Deviceioemulation.h"
#include "firmware/Offlinemode.h"
#include "platform/Host.h"
#include "recording/KeyCaptions.h"
#include "training/AnswerSheet.h"

#include <emscripten/emscripten.h>

#include <string>

namespace {

TKeyCaptions g_Captions;
std::string g_Returned;

// The page redraws the captions when a key event comes.
EM_JS(void, PageKeyCaption, (), {
    if (Module.onKeyCaption) Module.onKeyCaption();
});

} // namespace

extern "C" {

// Hooks the captions to the key events the firmware is sent (once, after
// orx_Start).
EMSCRIPTEN_KEEPALIVE void orx_CaptionsAttach() {
    static bool attached = false;
    if (attached || !g_Device) return;
    attached = true;
    g_Device->Buttons().OnKeyEvent = [post = g_Device->Buttons().OnKeyEvent](int16_t code) {
        if (SavedState.ShowKeyCaptions != 0) {
            g_Captions.Add(code, GetTickCount());
            PageKeyCaption();
        }
        post(code);
    };
}

EMSCRIPTEN_KEEPALIVE int orx_ShowKeyCaptions() {
    return SavedState.ShowKeyCaptions != 0 ? 1 : 0;
}

// Switched off, the captions start empty when shown again.
EMSCRIPTEN_KEEPALIVE void orx_SetShowKeyCaptions(int shown) {
    SavedState.ShowKeyCaptions = shown ? 1 : 0;
    g_Captions.Clear();
}

// The captions shown now, oldest first: [{"text": ..., "opacity": 0..1}].
EMSCRIPTEN_KEEPALIVE const char* orx_KeyCaptions() {
    std::string json = "[";
    for (const TKeyCaption& caption : g_Captions.Shown(GetTickCount())) {
        if (json.size() > 1) json += ',';
        json += "{\"text\":" + JsonText(KeyCaptionText(caption)) +
                ",\"opacity\":" + std::to_string(caption.Opacity) + "}";
    }
    g_Returned = json + "]";
    return g_Returned.c_str();
}

// Milliseconds until the captions look different by themselves; 0 when
// none are shown.
EMSCRIPTEN_KEEPALIVE int orx_KeyCaptionsNextChange() {
    return static_cast<int>(g_Captions.NextChangeIn(GetTickCount()));
}

} // extern "C"
