// Placeholder until the options menu exists: choosing it only redraws.
#include "firmware/Offlinemode.h"

void OptionsLoop() {}
