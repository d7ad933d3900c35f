// Mutations of a valid ini file, each loaded, its machine conditions
// synthesized, and saved: no crash, no hang, no sanitizer report, and every
// line outside the program's own sections comes back, in its order. The
// default run is short and seeded; the long run is started by hand:
// state_tests --gtest_also_run_disabled_tests --gtest_filter=*IniFuzz*
#include "firmware/Offlinemode.h"
#include "measure/PointConditions.h"
#include "measure/Samplingimp.h"
#include "signals/Synthesis.h"
#include "state/Inifile.h"

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <random>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

const std::string VALID =
    "; the emulator's state\r\n"
    "[RoutePoints]\r\n1=-21846\r\n2=-1\r\n14=5\r\n"
    "[UnroutePoints]\r\n1=6\r\n2=7\r\n\r\n"
    "[Tools] ; kept\r\nkey = value\r\n; note\r\n\r\n"
    "[DeviceState]\r\nMeasureUnit=1\r\nActiveMenu=3\r\nSelectedPoint=477\r\n"
    "IsPointSelectMenu=1\r\nBacklightOn=0\r\n"
    "[Language]\r\nName=RUS\r\n"
    "[]\r\nempty=header\r\n"
    "[UserManual]\r\nENG=usermanual_orx700.pdf\r\nDEU=de.pdf\r\n"
    "[Other]\nx=1\ry=2\r\r\nz\n"
    "[MachineConditions]\n1=bearing-ball rpm=2950 velocity=2 bearing=9,7.94,39.04,0 stage=3\n"
    "2=gear rpm=1480 teeth=23\n3=electrical+bearing-outer rpm=2970 line=60 shares=2,1\n"
    "Watch=vane-pass blades=7 speed-jitter=2\nHF=resonance resonance=2400 seed=9\n"
    "[MeasuredConditions]\n2=bearing-cage rpm=600 seed=3\n";

const std::array<const char*, 27> TOKENS = {"[", "]", "=", "\r", "\n", "\r\n", ";", " ", "[DeviceState]",
                                            "[]", "[UnroutePoints]", "1=0", "\xEF\xBB\xBF", "\xFF\xFE",
                                            // numbers and keys a condition's text may be damaged into
                                            "1e10", "1e-300", "0.00001", "nan", "inf", "-", ",", "+", "9",
                                            " bearing=8,0.00001,12,0", " teeth=1e10", " stage=4",
                                            "+imbalance"};

std::string Mutate(std::string text, std::mt19937& random) {
    const int steps = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < steps; ++i) {
        const std::size_t at = text.empty() ? 0 : random() % (text.size() + 1);
        switch (random() % 5) {
        case 0:
            text.insert(at, 1, static_cast<char>(random() % 256));
            break;
        case 1:
            if (at < text.size()) text.erase(at, 1 + random() % 8);
            break;
        case 2:
            text.insert(at, TOKENS[random() % TOKENS.size()]);
            break;
        case 3:
            if (at < text.size()) text[at] = static_cast<char>(text[at] ^ (1 << (random() % 8)));
            break;
        default: {
            const std::size_t from = random() % (text.size() + 1);
            text.insert(at, text.substr(from, random() % 40)); // a piece repeated elsewhere
        }
        }
    }
    return text;
}

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The lines of text (ends LF, CRLF or CR), a UTF-8 mark at its start set aside.
std::vector<std::string> Lines(std::string text) {
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at < text.size()) {
        const auto stop = text.find_first_of("\r\n", at);
        if (stop == std::string::npos) {
            lines.push_back(text.substr(at));
            break;
        }
        lines.push_back(text.substr(at, stop - at));
        at = stop + (text.compare(stop, 2, "\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

// The lines outside the sections the program writes, headers included.
std::vector<std::string> ForeignLines(const std::string& text) {
    static const std::array<const char*, 7> OWN = {"routepoints",       "unroutepoints", "devicestate",
                                                   "language",          "usermanual",    "machineconditions",
                                                   "measuredconditions"};
    std::vector<std::string> foreign;
    bool own = false;
    for (const std::string& line : Lines(text)) {
        const std::string trimmed = Trim(line);
        if (trimmed.size() >= 2 && trimmed[0] == '[' && trimmed.find(']') != std::string::npos) {
            std::string name = Trim(trimmed.substr(1, trimmed.find(']') - 1));
            for (char& c : name)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            own = std::find(OWN.begin(), OWN.end(), name) != OWN.end();
        }
        if (!own) foreign.push_back(line);
    }
    return foreign;
}

// How many of wanted are missing from got, in order.
std::size_t Lost(const std::vector<std::string>& wanted, const std::vector<std::string>& got) {
    std::size_t found = 0;
    for (const std::string& line : got)
        if (found < wanted.size() && line == wanted[found]) ++found;
    return wanted.size() - found;
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void RunMutations(unsigned seed, int runs) {
    // A memory file system when there is one: each save syncs its file.
    const fs::path base = fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
    const fs::path dir = base / ("orx-inifuzz-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string path = (dir / "orx700-demo.ini").string();
    std::mt19937 random(seed);
    std::size_t linesLost = 0, refused = 0;
    std::array<int16_t, SAMPLE_COUNT> samples{};
    for (int run = 0; run < runs; ++run) {
        const std::string text = Mutate(VALID, random);
        std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
        LoadIniFile(path);
        // Whatever a damaged condition became, it synthesizes: finite work,
        // no undefined conversion.
        for (const auto& [source, condition] : AssignedConditions())
            for (int16_t kind = 0; kind <= 2; ++kind)
                SynthesizeCondition(SeededCondition(condition, source), kind, samples.data());
        SavedState.SelectedPoint = static_cast<int16_t>(run);
        if (!SaveIniFile()) {
            ++refused;
            EXPECT_EQ(Read(path), text) << "a file not saved is left as it was";
            continue;
        }
        const std::size_t lost = Lost(ForeignLines(text), Lines(Read(path)));
        linesLost += lost;
        EXPECT_EQ(lost, 0u) << "run " << run << " of seed " << seed << ":\n" << text;
    }
    fs::remove_all(dir);
    std::cout << "ini fuzzer, seed " << seed << ": " << runs << " runs, " << refused
              << " files left as they were, " << linesLost << " lines lost\n";
}

TEST(IniFuzz, AFewHundredMutationsLoseNoForeignLine) {
    RunMutations(12, 300);
}

TEST(IniFuzz, DISABLED_ThousandsOfMutationsLoseNoForeignLine) {
    for (unsigned seed = 1; seed <= 10; ++seed)
        RunMutations(seed, 1000);
}

} // namespace
