// Placeholder until the WATCH mode exists: it returns to the main loop.
#include "firmware/Offlinemode.h"

void WatchLoop() {}
