#pragma once
// orx700-dsp synth: a machine condition's waveform written as a sample file,
// so a trainer can make files and every condition can be checked from
// outside through the other commands.
#include "DspCommand.h"

#include <optional>
#include <string>
#include <vector>

// The request of "synth ..." (args[0] is "synth"); on failure an empty result
// and a one-line reason in error.
std::optional<TDspRequest> ParseSynthArguments(const std::vector<std::string>& args, std::string& error);

// The request's samples: the condition's waveform of the kind, or the stored
// waveform for the condition "stored". clipped tells that the signal did not
// fit the 16-bit range. False and a reason when there is no stored waveform.
bool SynthSamples(const TDspRequest& request, std::vector<int16_t>& samples, bool& clipped,
                  std::string& error);

// One line naming what the request's kind cannot show of its condition (a
// defining line outside the kind's band, 1x below the 10 Hz edge), each
// frequency with the band; empty when the kind shows it all.
std::string SynthBandWarning(const TDspRequest& request);
