#include "app/QuitSignals.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace {

constexpr int kQuitSignals[] = {SIGTERM, SIGINT, SIGHUP};

// The pipe's ends; the handler reads only the write end's number.
int g_Pipe[2] = {-1, -1};
struct sigaction g_Previous[std::size(kQuitSignals)];

extern "C" void OnQuitSignal(int signal) {
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signal);
    // A full pipe already holds a quit request: losing this byte loses nothing.
    [[maybe_unused]] const ssize_t written = write(g_Pipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

TQuitSignals::TQuitSignals(std::function<void()> onQuit) : FOnQuit(std::move(onQuit)) {
    // Non-blocking so that neither the handler nor the reader can hang on
    // it; close-on-exec so that a program the user opens (a PDF viewer)
    // does not inherit it.
    if (pipe2(g_Pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::perror("orx700-demo: quit signals are not handled");
        g_Pipe[0] = g_Pipe[1] = -1;
        return;
    }
    FNotifier = std::make_unique<QSocketNotifier>(g_Pipe[0], QSocketNotifier::Read);
    QObject::connect(FNotifier.get(), &QSocketNotifier::activated, [this] { ReadPipe(); });
    struct sigaction action {};
    action.sa_handler = OnQuitSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted system calls (a blocking read elsewhere) go on.
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kQuitSignals); ++i)
        sigaction(kQuitSignals[i], &action, &g_Previous[i]);
}

TQuitSignals::~TQuitSignals() {
    if (g_Pipe[0] < 0) return;
    for (std::size_t i = 0; i < std::size(kQuitSignals); ++i)
        sigaction(kQuitSignals[i], &g_Previous[i], nullptr);
    FNotifier.reset();
    close(g_Pipe[0]);
    close(g_Pipe[1]);
    g_Pipe[0] = g_Pipe[1] = -1;
}

int TQuitSignals::Received() {
    // A signal that came after the event loop ended is still in the pipe.
    if (g_Pipe[0] >= 0) ReadPipe();
    return FReceived;
}

void TQuitSignals::ReadPipe() {
    unsigned char bytes[16];
    bool quit = false;
    for (;;) {
        const ssize_t n = read(g_Pipe[0], bytes, sizeof bytes);
        if (n <= 0) break;
        if (FReceived == 0) FReceived = bytes[0];
        quit = true;
    }
    if (quit && FOnQuit) FOnQuit();
}

void EndBySignal(int signal) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}
