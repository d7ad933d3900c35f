#pragma once
// The running speed a reading was measured at, where its machine condition
// says it: what puts the spectrum's x axis in orders of the shaft's speed.
#include <string>

// The shaft's frequency in Hz from a reading's condition text; 0 when it is
// not known (the stored waveform, or a text that does not parse).
double ReadingShaftHz(const std::string& condition);
