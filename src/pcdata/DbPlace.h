#pragma once
// Where the desktop keeps its measurement database: one file in the user's
// data folder, $XDG_DATA_HOME/orx700-demo (an absolute XDG_DATA_HOME only),
// else ~/.local/share/orx700-demo.
#include "state/ProgramPlaces.h"

#include <string>

inline constexpr const char* MEASUREMENT_DB_NAME = "measurements.sqlite";

// Empty when neither variable names a folder.
std::string MeasurementDbPath(const TPlaceProbes& probes);
