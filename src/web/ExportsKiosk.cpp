// The functions of the page's kiosk (?kiosk=SCRIPT): the core's kiosk
// (recording/Kiosk.h) plays the tour in a loop on its own timer, gives way
// to a visitor's first input and comes back after the idle time; the page
// feeds it every input before the input goes on, and never saves the
// state meanwhile, so the browser's kept state is the user's own.
#include "device/Deviceioemulation.h"
#include "platform/Resources.h"
#include "recording/Kiosk.h"

#include <emscripten/emscripten.h>

#include <memory>
#include <string>

namespace {

std::unique_ptr<TKiosk> g_Kiosk;
std::string g_Returned;

// The page's language box follows the tour's language lines; the page
// shows the phase.
EM_JS(void, PageKioskLanguage, (const char* name), { Module.onPlayLanguage(UTF8ToString(name)); });
EM_JS(void, PageKioskPhase, (int phase), {
    if (Module.onKioskPhase) Module.onKioskPhase(phase);
});

} // namespace

extern "C" {

// Starts the kiosk with the tour's text; empty, or why it cannot.
EMSCRIPTEN_KEEPALIVE const char* orx_KioskStart(const char* tour, int idleMinutes) {
    TRecordingPlan plan;
    std::string error;
    if (!g_Device) return "";
    if (!ParseRecordingPlan(tour, plan, error)) {
        g_Returned = error;
        return g_Returned.c_str();
    }
    if (idleMinutes < KIOSK_IDLE_MIN_MINUTES || idleMinutes > KIOSK_IDLE_MAX_MINUTES)
        idleMinutes = KIOSK_IDLE_DEFAULT_MINUTES;
    g_Kiosk = std::make_unique<TKiosk>(*g_Device, std::move(plan), idleMinutes);
    g_Kiosk->OnLanguage() = [](const std::string& name) { PageKioskLanguage(name.c_str()); };
    g_Kiosk->OnPhaseChange = [] { PageKioskPhase(static_cast<int>(g_Kiosk->Phase())); };
    g_Kiosk->Start();
    return "";
}

// The tour that comes with the program (?kiosk without a script): built
// into the module, so the stand works offline and needs no file on the site.
EMSCRIPTEN_KEEPALIVE const char* orx_KioskBundledTour() {
    const auto bytes = FindResource("KIOSK_TOUR");
    g_Returned = bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
    return g_Returned.c_str();
}

// Any key, click, touch or pointer move of a visitor.
EMSCRIPTEN_KEEPALIVE void orx_KioskUserInput() {
    if (g_Kiosk) g_Kiosk->UserInput();
}

// 0 restarting, 1 touring, 2 live; -1 without a kiosk.
EMSCRIPTEN_KEEPALIVE int orx_KioskPhase() {
    return g_Kiosk ? static_cast<int>(g_Kiosk->Phase()) : -1;
}

// The tour's progress in thousandths.
EMSCRIPTEN_KEEPALIVE int orx_KioskProgress() {
    return g_Kiosk ? static_cast<int>(g_Kiosk->TourProgress() * 1000) : 0;
}

} // extern "C"
