#include "platform/Thread.h"

#include <cstdio>
#include <cstdlib>

namespace {
thread_local TThread* t_Current = nullptr;
}

TThread* TThread::Current() {
    return t_Current;
}

TThread::~TThread() {
    // A thread object must not outlive its thread; the owner stops it first.
    if (FThread.joinable()) {
        std::fputs("internal error: thread freed while running\n", stderr);
        std::abort();
    }
}

void TThread::Start() {
    Host().ThreadStarting(*this);
    FThread = std::thread([this] { Run(); });
}

void TThread::Run() {
    t_Current = this;
    try {
        Execute();
    } catch (...) {
        // Ends the thread, not the program: the owner can still stop and free it.
        FFatalException = std::current_exception();
    }
    Host().ThreadFinished(*this);
}

void TThread::WaitFor() {
    if (!FThread.joinable()) return;
    Host().WaitForThread(*this);
    FThread.join();
}
