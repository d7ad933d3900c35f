// Placeholder until the measurement flow exists: choosing it only redraws.
#include "firmware/Offlinemode.h"

void MeasurePoint() {}
void AnalysePoint() {}
void MeasureHfSpectrum() {}
