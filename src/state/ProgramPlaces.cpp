#include "state/ProgramPlaces.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char* const PROGRAM_NAME = "orx700-demo";

#ifndef ORX_DOC_FROM_BIN
#error "ORX_DOC_FROM_BIN comes from the build: the documentation folder relative to the executable's"
#endif

// The user's configuration folder, or empty when neither variable helps.
fs::path ConfigFolder(const TPlaceProbes& probes) {
    // A relative XDG_CONFIG_HOME is not valid under the XDG base directory rules: ignored.
    if (const char* xdg = probes.GetEnv("XDG_CONFIG_HOME"); xdg && *xdg && fs::path(xdg).is_absolute())
        return fs::path(xdg) / PROGRAM_NAME;
    if (const char* home = probes.GetEnv("HOME"); home && *home)
        return fs::path(home) / ".config" / PROGRAM_NAME;
    return {};
}

} // namespace

TPlaceProbes SystemPlaceProbes() {
    return {
        [](const char* name) -> const char* { return std::getenv(name); },
        [](const fs::path& folder) { return access(folder.c_str(), W_OK) == 0; },
        [](const fs::path& folder) {
            std::error_code error;
            return fs::is_directory(folder, error);
        },
    };
}

TProgramPlaces FindProgramPlaces(const fs::path& executable, const TPlaceProbes& probes) {
    const fs::path folder = executable.parent_path().empty() ? fs::path(".") : executable.parent_path();
    const fs::path docs = (folder / ORX_DOC_FROM_BIN).lexically_normal();
    const bool installed = probes.IsFolder(docs);
    TProgramPlaces places;
    places.ManualFolder = installed ? docs : folder;
    fs::path ini = executable;
    places.IniPath = ini.replace_extension(".ini").string();
    // An installation keeps nothing of the user's among its own files.
    if (installed || !probes.IsWritableFolder(folder)) {
        const fs::path config = ConfigFolder(probes);
        if (!config.empty()) {
            places.FormerIniPath = places.IniPath;
            places.IniPath = (config / (std::string(PROGRAM_NAME) + ".ini")).string();
        }
    }
    return places;
}

fs::path ExecutablePath() {
    char buffer[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return PROGRAM_NAME;
    return std::string(buffer, static_cast<std::size_t>(length));
}

const TProgramPlaces& ProgramPlaces() {
    static const TProgramPlaces places = FindProgramPlaces(ExecutablePath(), SystemPlaceProbes());
    return places;
}
