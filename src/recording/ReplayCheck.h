#pragma once
// Follows a replayed recording: remembers its last key line and compares each
// check line with the instrument, so that the first difference is reported at
// the key after which it appeared.
#include <cstdint>
#include <string>

// Far above a scheduler's lateness, far below a minute, the finest the
// instrument's clock shows.
inline constexpr double RECORDING_TIME_TOLERANCE_MS = 2000;

class TReplayCheck {
  public:
    void KeyLine(int line) { FLastKeyLine = line; }
    // A check line at line holding want*; the instrument shows lcd and state.
    // After the first difference the run stays diverged at that key line (the
    // check line itself when no key came before it).
    void Compare(int line, uint64_t wantLcd, uint64_t wantState, uint64_t lcd, uint64_t state);
    // A measured line: a measurement recorded at want (a day count) is held by
    // the replay at have (null: not held). Equal within
    // RECORDING_TIME_TOLERANCE_MS, since the recorded acquisition ended late
    // by its host's latency.
    void CompareMeasuredTime(int line, double want, const double* have);

    bool Checked() const { return FChecks > 0; }
    bool Diverged() const { return FDivergedAt > 0; }
    int DivergedAt() const { return FDivergedAt; }
    // "verified", "diverged at line N", or empty when nothing was checked.
    std::string Verdict() const;

  private:
    void Differs(int line);

    int FLastKeyLine = 0;
    int FChecks = 0;
    int FDivergedAt = 0;
};

// The arguments of a check line: two 16-digit hexadecimal fingerprints.
bool ParseCheckArguments(const std::string& lcdText, const std::string& stateText, uint64_t& lcd,
                         uint64_t& state);
