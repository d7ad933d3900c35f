#include "platform/Host.h"

#include "platform/Event.h"
#include "platform/Thread.h"

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

bool& THost::Signaled(TEvent& event) {
    return event.FSignaled;
}

bool& THost::Finished(TThread& thread) {
    return thread.FFinished;
}

THostInstall::THostInstall(THost& host) : FPrevious(g_Host) {
    g_Host = &host;
}

THostInstall::~THostInstall() {
    g_Host = FPrevious;
}
