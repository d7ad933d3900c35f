#include "pcdata/DbPlace.h"

#include <filesystem>

namespace fs = std::filesystem;

std::string MeasurementDbPath(const TPlaceProbes& probes) {
    const char* const program = "orx700-demo";
    if (const char* xdg = probes.GetEnv("XDG_DATA_HOME"); xdg && *xdg && fs::path(xdg).is_absolute())
        return (fs::path(xdg) / program / MEASUREMENT_DB_NAME).string();
    if (const char* home = probes.GetEnv("HOME"); home && *home)
        return (fs::path(home) / ".local" / "share" / program / MEASUREMENT_DB_NAME).string();
    return {};
}
