// Placeholder until the spectrum view exists: leaving at once.
#include "firmware/Analysis.h"

void SpectrumView(int16_t) {}
