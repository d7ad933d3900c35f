#pragma once
// Where the program keeps its state and finds its manuals.
//
// A copy run from a folder the user may write (a build tree, an unpacked
// copy) keeps its ini file beside the executable and its manuals there too.
// An installed program (the executable in PREFIX/bin, its documentation in
// PREFIX/share/doc/orx700-demo) finds the manuals in that documentation
// folder and keeps its ini file in the user's configuration folder,
// $XDG_CONFIG_HOME/orx700-demo, else ~/.config/orx700-demo; so does a copy
// in a folder the user cannot write.
#include <filesystem>
#include <functional>
#include <string>

struct TProgramPlaces {
    std::string IniPath;
    // The ini file beside the executable when IniPath lies elsewhere: the
    // state of an earlier run there, read while IniPath does not exist yet.
    std::string FormerIniPath;
    std::filesystem::path ManualFolder;
};

// What the decision looks at, injectable so that tests need no read-only
// installation (and work as root, who may write everywhere).
struct TPlaceProbes {
    // The environment variable's value, or null when it is not set.
    std::function<const char*(const char*)> GetEnv;
    std::function<bool(const std::filesystem::path&)> IsWritableFolder;
    std::function<bool(const std::filesystem::path&)> IsFolder;
};

TPlaceProbes SystemPlaceProbes();

// The places for the program at executable.
TProgramPlaces FindProgramPlaces(const std::filesystem::path& executable, const TPlaceProbes& probes);

// The running executable's path ("orx700-demo" in the working folder when
// the system cannot say).
std::filesystem::path ExecutablePath();

// The running program's places, found once.
const TProgramPlaces& ProgramPlaces();
