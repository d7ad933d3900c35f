#include "platform/Host.h"

#include "platform/Event.h"
#include "platform/Thread.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {
THost* g_Host = nullptr;
std::atomic<double> g_DateShift{0.0};
} // namespace

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

double InstrumentNow() {
    return Host().Now() + g_DateShift.load();
}

void SetInstrumentDateShift(double days) {
    g_DateShift.store(days);
}

double InstrumentDateShift() {
    return g_DateShift.load();
}
