// The page's presenter size, kept in the saved state as the desktop's is:
// in halves of the window's design size (2: 1x, the page fitted to the
// browser's window as usual; 3: 1.5x; 4: 2x).
#include "firmware/Offlinemode.h"

#include <emscripten/emscripten.h>

extern "C" {

EMSCRIPTEN_KEEPALIVE int orx_PresenterSize() {
    return SavedState.PresenterSize;
}

// Any other size is the usual one.
EMSCRIPTEN_KEEPALIVE void orx_SetPresenterSize(int halves) {
    SavedState.PresenterSize = static_cast<uint8_t>(halves == 3 || halves == 4 ? halves : 2);
}

} // extern "C"
