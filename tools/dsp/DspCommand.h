#pragma once
// orx700-dsp's command line: what to compute, from which waveform. Parsing
// and reading the input are kept apart from the computation so that every
// kind of bad input is answered with one line and status 2, never a crash.
#include "signals/Condition.h"

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

inline constexpr int DSP_EXIT_OK = 0;
// No value to print (a crest factor without any signal), or standard output
// could not be written.
inline constexpr int DSP_EXIT_FAILED = 1;
inline constexpr int DSP_EXIT_USAGE = 2;

enum class TDspCommand { Help, Levels, Spectrum, Waveform, Synth };

struct TDspRequest {
    TDspCommand Command = TDspCommand::Help;
    int16_t Kind = -1;    // --kind, or the kind of "waveform K"
    int16_t Builtin = -1; // --builtin K; -1 when the input is File
    std::string File;     // the input, or synth's output
    TCondition Condition; // synth's
};

// The request that args (without the program name) ask for; on failure an
// empty result and a one-line reason in error.
std::optional<TDspRequest> ParseDspArguments(const std::vector<std::string>& args, std::string& error);

// The 8192 samples of the request's input: the stored waveform Builtin, or
// File's 16384 bytes of little-endian 16-bit values. False and a one-line
// reason when the file is missing, unreadable or not exactly that size.
bool LoadDspSamples(const TDspRequest& request, std::vector<int16_t>& samples, std::string& error);

// The whole tool: parse, load, compute, print. Returns the exit status.
int RunDspCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
