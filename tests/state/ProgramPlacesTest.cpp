// Where the state file and the manuals are, for a copy the user may write and
// for an installation the user may not.
#include "state/ProgramPlaces.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace fs = std::filesystem;

namespace {

struct Machine {
    std::map<std::string, std::string> env;
    std::set<fs::path> writable;
    std::set<fs::path> folders;

    TPlaceProbes Probes() const {
        return {
            [this](const char* name) -> const char* {
                const auto it = env.find(name);
                return it == env.end() ? nullptr : it->second.c_str();
            },
            [this](const fs::path& folder) { return writable.count(folder.lexically_normal()) != 0; },
            [this](const fs::path& folder) { return folders.count(folder.lexically_normal()) != 0; },
        };
    }
};

TEST(ProgramPlaces, AWritableCopyKeepsEverythingBesideItsExecutable) {
    Machine machine{{{"HOME", "/home/ann"}}, {"/home/ann/orx/build/bin"}, {"/home/ann/orx/build/bin"}};
    const TProgramPlaces places = FindProgramPlaces("/home/ann/orx/build/bin/orx700-demo", machine.Probes());
    EXPECT_EQ(places.IniPath, "/home/ann/orx/build/bin/orx700-demo.ini");
    EXPECT_EQ(places.FormerIniPath, "");
    EXPECT_EQ(places.ManualFolder, "/home/ann/orx/build/bin");
}

TEST(ProgramPlaces, ASystemInstallationUsesTheConfigFolderAndTheDocumentation) {
    Machine machine{{{"HOME", "/home/ann"}}, {}, {"/usr/bin", "/usr/share/doc/orx700-demo"}};
    TProgramPlaces places = FindProgramPlaces("/usr/bin/orx700-demo", machine.Probes());
    EXPECT_EQ(places.IniPath, "/home/ann/.config/orx700-demo/orx700-demo.ini");
    EXPECT_EQ(places.ManualFolder, "/usr/share/doc/orx700-demo");

    machine.env["XDG_CONFIG_HOME"] = "/home/ann/cfg";
    places = FindProgramPlaces("/usr/bin/orx700-demo", machine.Probes());
    EXPECT_EQ(places.IniPath, "/home/ann/cfg/orx700-demo/orx700-demo.ini");

    // A relative XDG_CONFIG_HOME is not a valid one and is ignored.
    machine.env["XDG_CONFIG_HOME"] = "cfg";
    places = FindProgramPlaces("/usr/bin/orx700-demo", machine.Probes());
    EXPECT_EQ(places.IniPath, "/home/ann/.config/orx700-demo/orx700-demo.ini");
}

TEST(ProgramPlaces, AnInstallationInTheUsersOwnPrefixAlsoKeepsItsStateInTheConfigFolder) {
    Machine machine{{{"HOME", "/home/ann"}},
                    {"/home/ann/.local/bin"},
                    {"/home/ann/.local/bin", "/home/ann/.local/share/doc/orx700-demo"}};
    const TProgramPlaces places = FindProgramPlaces("/home/ann/.local/bin/orx700-demo", machine.Probes());
    EXPECT_EQ(places.IniPath, "/home/ann/.config/orx700-demo/orx700-demo.ini");
    EXPECT_EQ(places.ManualFolder, "/home/ann/.local/share/doc/orx700-demo");
}

TEST(ProgramPlaces, AReadOnlyCopyOutsideAnInstallationUsesTheConfigFolder) {
    Machine machine{{{"HOME", "/home/ann"}}, {}, {"/media/cd/orx"}};
    const TProgramPlaces places = FindProgramPlaces("/media/cd/orx/orx700-demo", machine.Probes());
    EXPECT_EQ(places.IniPath, "/home/ann/.config/orx700-demo/orx700-demo.ini");
    EXPECT_EQ(places.FormerIniPath, "/media/cd/orx/orx700-demo.ini")
        << "the state of runs before it was read-only";
    EXPECT_EQ(places.ManualFolder, "/media/cd/orx");
}

TEST(ProgramPlaces, WithoutAnyHomeTheStateStaysBesideTheExecutable) {
    // Nowhere better to try: the write then fails silently, as any failed write.
    Machine machine{{}, {}, {}};
    const TProgramPlaces places = FindProgramPlaces("/opt/orx/orx700-demo", machine.Probes());
    EXPECT_EQ(places.IniPath, "/opt/orx/orx700-demo.ini");
    EXPECT_EQ(places.ManualFolder, "/opt/orx");
}

} // namespace
