#include "platform/Host.h"

#include <cstdio>
#include <cstdlib>

namespace {
THost* g_Host = nullptr;
}

THost& Host() {
    if (g_Host == nullptr) {
        std::fputs("internal error: no host installed\n", stderr);
        std::abort();
    }
    return *g_Host;
}

THostInstall::THostInstall(THost& host) : FPrevious(g_Host) {
    g_Host = &host;
}

THostInstall::~THostInstall() {
    g_Host = FPrevious;
}
