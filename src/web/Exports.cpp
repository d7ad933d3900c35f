// The functions the page calls (all on its main thread), and the page's
// callbacks. Texts cross as UTF-8; a returned text stays valid until the
// next call that returns one.
#include "device/Device.h"
#include "device/Deviceioemulation.h"
#include "platform/Strings.h"
#include "state/StateFileCheck.h"
#include "web/WebInstrument.h"

#include <emscripten/emscripten.h>

#include <memory>

#ifndef ORX_PROGRAM_VERSION
#error "ORX_PROGRAM_VERSION comes from the build: the project's version"
#endif

namespace {

std::unique_ptr<TWebInstrument> g_Instrument;
std::string g_Returned;
// What the LCD says, taken at each repaint while the worker waits (the only
// time the GUI side may read the frame buffer's text).
std::string g_LcdText;
std::string g_CheckDetails;

const char* Return(std::string text) {
    g_Returned = std::move(text);
    return g_Returned.c_str();
}

// The page draws the LCD picture and the balloons.
EM_JS(void, PageRefresh, (const uint8_t* rgba, int size),
      { Module.onRefresh(HEAPU8.slice(rgba, rgba + size)); });

void Refresh() {
    g_LcdText = g_Device ? g_Device->GetScreenText() : std::string();
    const auto& rgba = g_Instrument->Rgba();
    PageRefresh(rgba.data(), static_cast<int>(rgba.size()));
}

} // namespace

extern "C" {

// Starts the instrument (switched off) from the stored state's text;
// languageTag is the browser's language, used when the state names none.
EMSCRIPTEN_KEEPALIVE void orx_Start(const char* stateText, const char* languageTag) {
    if (g_Instrument) return;
    g_Instrument = std::make_unique<TWebInstrument>(stateText, LanguageFromTag(languageTag), [] {
        if (g_Instrument) Refresh();
    });
    Refresh();
}

EMSCRIPTEN_KEEPALIVE int orx_LanguageCount() {
    return static_cast<int>(g_Instrument->Languages().size());
}

EMSCRIPTEN_KEEPALIVE const char* orx_LanguageName(int index) {
    const auto& languages = g_Instrument->Languages();
    if (index < 0 || index >= static_cast<int>(languages.size())) return "";
    return Return(languages[static_cast<std::size_t>(index)].Name);
}

EMSCRIPTEN_KEEPALIVE int orx_LanguageIndex() {
    return g_Instrument->LanguageIndex();
}

EMSCRIPTEN_KEEPALIVE void orx_SelectLanguage(int index) {
    g_Instrument->SelectLanguage(index);
}

// A string-table text in the page's language.
EMSCRIPTEN_KEEPALIVE const char* orx_Text(int id) {
    return Return(LoadStr(id));
}

EMSCRIPTEN_KEEPALIVE const char* orx_Version() {
    return ORX_PROGRAM_VERSION;
}

// key: 1 for K1 (the right key), 2 for K2.
EMSCRIPTEN_KEEPALIVE void orx_KeyDown(int key) {
    g_Instrument->KeyDown(static_cast<int16_t>(key));
}

EMSCRIPTEN_KEEPALIVE void orx_KeyUp() {
    g_Instrument->KeyUp();
}

EMSCRIPTEN_KEEPALIVE void orx_KeepAlive() {
    g_Instrument->KeepAlive();
}

EMSCRIPTEN_KEEPALIVE int orx_IsOn() {
    return g_Instrument->IsOn() ? 1 : 0;
}

EMSCRIPTEN_KEEPALIVE const char* orx_HintK1() {
    return Return(g_Device ? g_Device->GetHintK1() : std::string());
}

EMSCRIPTEN_KEEPALIVE const char* orx_HintK2() {
    return Return(g_Device ? g_Device->GetHintK2() : std::string());
}

// (x, y): a point of the 254 x 68 LCD picture.
EMSCRIPTEN_KEEPALIVE const char* orx_ScreenHint(int x, int y) {
    return Return(g_Device ? g_Device->GetScreenHint(x, y) : std::string());
}

// The text lines on the LCD at the last repaint (line feeds between them),
// for the page's screen-reader alternative of the picture.
EMSCRIPTEN_KEEPALIVE const char* orx_LcdText() {
    return Return(g_LcdText);
}

// The largest state text the page keeps, loads or imports, in bytes.
EMSCRIPTEN_KEEPALIVE int orx_MaxStateBytes() {
    return static_cast<int>(MAX_WEB_STATE_BYTES);
}

// The state to store, taken without switching the instrument off; an empty
// text when it would pass the limit (the stored state is then kept).
EMSCRIPTEN_KEEPALIVE const char* orx_SaveState() {
    return Return(g_Instrument->SaveState().value_or(std::string()));
}

// 1 while a measurement (or other work of the firmware) runs.
EMSCRIPTEN_KEEPALIVE int orx_IsBusy() {
    return g_Instrument->IsBusy() ? 1 : 0;
}

// Switches the instrument off; orx_IsParked says when it has kept its state.
EMSCRIPTEN_KEEPALIVE void orx_PowerOff() {
    g_Instrument->PowerOff();
}

EMSCRIPTEN_KEEPALIVE int orx_IsParked() {
    return g_Instrument->IsParked() ? 1 : 0;
}

// What an offered file is: 0 not a state, 1 a state with values the program
// cannot read (orx_CheckDetails lists them), 2 a sound state, 3 past the limit.
EMSCRIPTEN_KEEPALIVE int orx_CheckState(const char* text) {
    const std::string offered(text);
    if (offered.size() > MAX_WEB_STATE_BYTES) return 3;
    TStateFileCheck check = CheckStateFile(offered);
    g_CheckDetails.clear();
    for (const std::string& line : check.Unreadable)
        g_CheckDetails += line + "\n";
    switch (check.Verdict) {
    case TStateFileVerdict::NotAState:
        return 0;
    case TStateFileVerdict::Damaged:
        return 1;
    case TStateFileVerdict::Sound:
        return 2;
    }
    return 0;
}

// The unreadable lines of the last checked file, one a line.
EMSCRIPTEN_KEEPALIVE const char* orx_CheckDetails() {
    return Return(g_CheckDetails);
}

// Replaces the state with text once orx_IsParked; returns the state to
// store, or an empty text when nothing changed.
EMSCRIPTEN_KEEPALIVE const char* orx_ApplyState(const char* text) {
    return Return(g_Instrument->ApplyState(text).value_or(std::string()));
}

EMSCRIPTEN_KEEPALIVE void orx_MessageDismissed() {
    g_Instrument->MessageDismissed();
}

} // extern "C"
