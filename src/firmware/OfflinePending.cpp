// Entries of the measurement flow, the spectrum view, the WATCH mode and the
// options menu. Until those screens exist, choosing them leaves the screen
// as it is: the main loop simply redraws.
#include "firmware/Offlinemode.h"

void MeasurePoint() {}
void AnalysePoint() {}
void MeasureHfSpectrum() {}
void WatchLoop() {}
void OptionsLoop() {}
