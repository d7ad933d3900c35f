#pragma once
// The check of a file the user offers as a saved state (an import), stricter
// than the reading of the program's own file at start: that one takes any
// text and gives the defaults for what it cannot read, where an import would
// then replace a whole state with defaults and the file's junk lines.
#include <string>
#include <vector>

enum class TStateFileVerdict {
    // Not a state of this program: no text, a line that is neither a
    // [section] nor key=value, or a section or key the program always
    // writes missing (a file cut short, another program's ini).
    NotAState,
    // The program's file, but values it cannot read: they would read as
    // their defaults.
    Damaged,
    Sound,
};

struct TStateFileCheck {
    TStateFileVerdict Verdict = TStateFileVerdict::NotAState;
    // For Damaged: the lines that would read as defaults, "[Section] key=value"
    // as in the file, in file order.
    std::vector<std::string> Unreadable;
};

TStateFileCheck CheckStateFile(const std::string& text);
