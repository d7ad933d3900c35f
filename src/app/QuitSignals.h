#pragma once
// TQuitSignals: the session's requests to end the program (SIGTERM from kill
// or a shut-down, SIGINT from Ctrl+C in the terminal that started it, SIGHUP
// at logout or when that terminal closes) end it the way Exit does, with the
// state saved, instead of killing it with what the user did since the start.
//
// The signal handler only writes the signal's number into a pipe, which is
// all it may safely do; the GUI thread's event loop reads the pipe and calls
// onQuit there. One instance at a time; it restores the previous handlers
// when it is destroyed.
#include <QSocketNotifier>

#include <functional>
#include <memory>

class TQuitSignals {
  public:
    // Construct in the GUI thread after the QApplication.
    explicit TQuitSignals(std::function<void()> onQuit);
    ~TQuitSignals();
    TQuitSignals(const TQuitSignals&) = delete;
    TQuitSignals& operator=(const TQuitSignals&) = delete;

    // The first quit signal received, 0 while none has come.
    int Received();

  private:
    void ReadPipe();

    std::function<void()> FOnQuit;
    std::unique_ptr<QSocketNotifier> FNotifier;
    int FReceived = 0;
};

// Ends the process as the signal's default action would, so that whoever
// started the program (a shell, a session manager) learns why it ended.
// Returns only where that action does not end the process.
void EndBySignal(int signal);
