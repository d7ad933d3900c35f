// The functions of the page's state links: the format, its version and its
// checks come from the core (recording/StateLink.h); the page compresses and
// decompresses with its browser's own deflate and encodes the bytes in
// base64url. Texts cross as UTF-8; a returned text stays valid until the
// next call of this file that returns one.
#include "recording/StateLink.h"
#include "web/WebInstrument.h"

#include <emscripten/emscripten.h>

#include <string>

static_assert(STATE_LINK_MAX_TEXT == MAX_WEB_STATE_BYTES, "a link carries any state the page keeps");

namespace {

std::string g_Returned;
std::string g_Data;

const char* Return(std::string text) {
    g_Returned = std::move(text);
    return g_Returned.c_str();
}

} // namespace

extern "C" {

// "#state=1.": the fragment before the data.
EMSCRIPTEN_KEEPALIVE const char* orx_StateLinkHead() {
    return Return(StateLinkHead());
}

// The longest whole link, address included.
EMSCRIPTEN_KEEPALIVE int orx_StateLinkMaxChars() {
    return static_cast<int>(STATE_LINK_MAX_CHARS);
}

// The text the page deflates for a link of stateText.
EMSCRIPTEN_KEEPALIVE const char* orx_StateLinkPayload(const char* stateText) {
    return Return(StateLinkPayload(stateText));
}

// What a link offers: 0 no state link, 1 damaged, 2 a later version, 3 too
// long, 4 sound (orx_StateLinkData then holds its base64url data).
EMSCRIPTEN_KEEPALIVE int orx_StateLinkSplit(const char* link) {
    TStateLinkParts parts = SplitStateLink(link);
    g_Data = std::move(parts.Data);
    switch (parts.Verdict) {
    case TStateLinkVerdict::NotALink:
        return 0;
    case TStateLinkVerdict::Damaged:
        return 1;
    case TStateLinkVerdict::Future:
        return 2;
    case TStateLinkVerdict::TooLong:
        return 3;
    case TStateLinkVerdict::Sound:
        break;
    }
    return 4;
}

EMSCRIPTEN_KEEPALIVE const char* orx_StateLinkData() {
    return Return(g_Data);
}

// The state text of an inflated payload; empty when its check fails.
EMSCRIPTEN_KEEPALIVE const char* orx_StateLinkText(const char* payload) {
    return Return(StateLinkPayloadText(payload).value_or(std::string()));
}

} // extern "C"
