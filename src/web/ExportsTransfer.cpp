// Transfer to PC, the instrument's half: the store's readings packed into
// one block that the page hands to the measurement database's module. The
// store is read on the page's thread while the worker is idle (parked, or
// waiting for a key with no time-out), so nothing else changes it meanwhile;
// the page asks again a little later while it is not.
#include "device/Device.h"
#include "device/Deviceioemulation.h"
#include "pcdata/ReadingBundle.h"
#include "platform/Strings.h"

#include <emscripten/emscripten.h>

#include <string>

namespace {

std::string g_Bundle;

} // namespace

extern "C" {

// 1 when the store can be read now.
EMSCRIPTEN_KEEPALIVE int orx_TransferReady() {
    return g_Device && g_Device->IsIdle() ? 1 : 0;
}

// Packs the store's readings (texts in the page's language); the block stays
// valid until the next call. Its size: orx_TransferBundleSize().
EMSCRIPTEN_KEEPALIVE const char* orx_TransferBundle() {
    if (!orx_TransferReady()) {
        g_Bundle.clear();
        return g_Bundle.data();
    }
    g_Bundle = PackReadings(ReadStoreReadings(g_Device->WorkerState() == TWorkerState::Parked));
    return g_Bundle.data();
}

EMSCRIPTEN_KEEPALIVE int orx_TransferBundleSize() {
    return static_cast<int>(g_Bundle.size());
}

// The page's language, for the database's module, whose texts follow it.
EMSCRIPTEN_KEEPALIVE int orx_LanguageId() {
    return GetThreadLanguage();
}

} // extern "C"
