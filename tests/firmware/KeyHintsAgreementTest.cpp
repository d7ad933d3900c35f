// The balloons promise what each key does on the screen shown; this holds the
// promise to the firmware. On each screen of the table every one of the five
// key events is tried from a fresh start: a key whose balloon line reads
// "no actions" must leave the screen exactly as it was, and a key with an
// action must change it.
#include "SimSession.h"
#include "device/ScreenArt.h"
#include "firmware/Offlinemode.h"
#include "measure/PointConditions.h"
#include "platform/DateTime.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

struct ScreenCase {
    const char* name;
    std::vector<std::string> script; // from power-on to the screen
    const char* bothKeys = nullptr;  // where both keys lead, where two screens look alike
};

struct KeyCase {
    const char* command;
    bool k1Balloon; // the key's own balloon
    int line;       // 0 short, 1 long, 2 both keys
};

// OPTS, the date line, the day set to 31, the month back to November, then
// every field confirmed: the date check refuses 31 November.
std::vector<std::string> WrongDateScript() {
    std::vector<std::string> script = {"both", "k1-long", "k1-long", "k2", "k1", "k2"};
    script.insert(script.end(), 24, "k1"); // 7 December 2026 to the 31st
    script.insert(script.end(), {"k2", "k1-long", "k2", "k2", "k2", "k2"});
    return script;
}

const KeyCase kKeys[] = {
    {"k2", false, 0}, {"k2-long", false, 1}, {"k1", true, 0}, {"k1-long", true, 1}, {"both", true, 2}};

std::string BalloonAction(const std::string& balloon, int line) {
    std::istringstream lines(balloon);
    std::string text;
    for (int i = 0; i <= line; ++i)
        std::getline(lines, text);
    // "Short click: action": the action follows the heading's colon and blank.
    const auto colon = text.find(": ");
    return colon == std::string::npos ? text : text.substr(colon + 2);
}

class KeyHintsAgreement : public ::testing::TestWithParam<ScreenCase> {
  protected:
    void TearDown() override { ClearConditions(); }

    // A fresh instrument run to the screen of the case.
    void Reach(TSimSession& session) {
        for (const char* line : {"k1-long", "wait 1500"})
            Run(session, line);
        for (const std::string& line : GetParam().script)
            Run(session, line.c_str());
    }
    static void Run(TSimSession& session, const char* line) {
        std::string error;
        ASSERT_TRUE(session.RunLine(line, error)) << line << ": " << error;
    }
};

TEST_P(KeyHintsAgreement, EveryKeyDoesWhatItsBalloonSays) {
    for (const KeyCase& key : kKeys) {
        SavedState = TDeviceState{};
        ClearConditions();
        std::ostringstream out;
        TSimSession session(out, EncodeDateTime(2026, 12, 7, 9, 30, 0, 0));
        Reach(session);
        const std::string before = ScreenArt(session.Device());
        const std::string action = BalloonAction(
            key.k1Balloon ? session.Device().GetHintK1() : session.Device().GetHintK2(), key.line);
        Run(session, key.command);
        const bool changed = ScreenArt(session.Device()) != before;
        if (key.line == 2 && GetParam().bothKeys) {
            EXPECT_EQ(action, GetParam().bothKeys);
        }
        EXPECT_EQ(changed, action != "no actions")
            << key.command << ": the balloon says \"" << action << "\" but the screen "
            << (changed ? "changed" : "stayed");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Screens, KeyHintsAgreement,
    ::testing::Values(ScreenCase{"MainMenuMeas", {"both"}},
                      ScreenCase{"MainMenuWatch", {"both", "k1", "k1", "k1"}},
                      ScreenCase{"MainMenuOpts", {"both", "k1-long", "k1-long"}},
                      // Point 6 of machine 2 measures MEAS, so its reading has units to choose.
                      ScreenCase{"MainMenuUnitsSelection",
                                 {"both", "k2", "k1", "both", "k1", "k1", "k1", "k1", "k2"},
                                 "return to Main Menu"},
                      ScreenCase{"WatchUnitsAfterMeasuring",
                                 {"both", "k1", "k1", "k1", "k2", "k2", "wait 5900", "k1-long"}},
                      ScreenCase{"WatchUnitsSelection",
                                 {"both", "k1", "k1", "k1", "k2", "k2", "wait 5900", "k1-long", "k2"},
                                 "return to WATCH menu"},
                      ScreenCase{"OverloadNotice",
                                 {"condition watch looseness velocity=70", "both", "k1", "k1", "k1", "k2",
                                  "k2", "wait 5900"}},
                      ScreenCase{"WrongDateNotice", WrongDateScript()}),
    [](const ::testing::TestParamInfo<ScreenCase>& p) { return std::string(p.param.name); });

} // namespace
