// A key held through a long wait in the headless runner: the instrument's
// cycles of states are skipped, and the wait ends exactly where stepping
// through every repeat ends it.
#include "SimSession.h"
#include "device/KeyCodes.h"
#include "firmware/Offlinemode.h"
#include "platform/DateTime.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace {

struct TRunResult {
    std::string Shown; // every show's output
    int KeyEvents;     // events the keys sent
};

TRunResult RunScript(const std::vector<std::string>& lines) {
    SavedState = TDeviceState{};
    std::ostringstream out;
    int events = 0;
    {
        TSimSession session(out, EncodeDateTime(2026, 3, 14, 10, 30, 0, 0));
        auto& keys = session.Device().Buttons();
        keys.OnKeyEvent = [&events, post = keys.OnKeyEvent](int16_t code) {
            ++events;
            post(code);
        };
        for (const std::string& line : lines) {
            std::string error;
            EXPECT_TRUE(session.RunLine(line, error)) << line << ": " << error;
        }
    }
    return {out.str(), events};
}

// Holds key through a wait of ms, in one command or stepped 100 ms at a time
// (too short for a cycle to be seen twice), then lets go and looks.
std::vector<std::string> Hold(std::vector<std::string> lines, const std::string& key, uint32_t ms,
                              bool stepped) {
    lines.push_back("down " + key);
    if (stepped) {
        for (uint32_t done = 0; done < ms; done += 100)
            lines.push_back("wait " + std::to_string(std::min<uint32_t>(100, ms - done)));
    } else {
        lines.push_back("wait " + std::to_string(ms));
    }
    for (const char* line : {"show", "up", "wait 300", "show", "k1", "show"})
        lines.emplace_back(line);
    return lines;
}

const std::vector<std::string> kOn = {"k1-long", "wait 1600"};

std::vector<std::string> With(std::vector<std::string> lines, std::initializer_list<const char*> more) {
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

struct HoldCase {
    const char* name;
    std::vector<std::string> reach;
    const char* key;
};

class HeldKeyWait : public ::testing::TestWithParam<HoldCase> {};

TEST_P(HeldKeyWait, EndsWhereSteppingEveryRepeatEnds) {
    const HoldCase& c = GetParam();
    const uint32_t ms = 30037; // about 600 repeats, ending between two
    const TRunResult skipped = RunScript(Hold(c.reach, c.key, ms, false));
    const TRunResult stepped = RunScript(Hold(c.reach, c.key, ms, true));
    EXPECT_EQ(skipped.Shown, stepped.Shown);
    EXPECT_LE(skipped.KeyEvents, stepped.KeyEvents);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, HeldKeyWait,
    ::testing::Values(HoldCase{"Off", {}, "k1"}, HoldCase{"MachineLine", kOn, "k1"},
                      HoldCase{"PointLine", With(kOn, {"k2"}), "k1"},
                      HoldCase{"PointLineK2", With(kOn, {"k2"}), "k2"},
                      HoldCase{"MainMenu", With(kOn, {"both"}), "k1"},
                      HoldCase{"OptsMenu", With(kOn, {"both", "k1", "k1", "k1", "k1", "k1", "k2"}), "k1"},
                      HoldCase{"DateScreen",
                               With(kOn, {"both", "k1", "k1", "k1", "k1", "k1", "k2", "k1", "k2"}), "k1"},
                      HoldCase{"Watch", With(kOn, {"both", "k1", "k1", "k1", "k2"}), "k1"}),
    [](const auto& instance) { return std::string(instance.param.name); });

// Held on the machine line for 11.6 days: the line goes round the three
// machines and the off-route point, a cycle of four repeats. The end is that
// of a short hold with as many repeats modulo four, and costs a few cycles.
TEST(HeldKeyWaitLong, CostsWhatItsCyclesCost) {
    const uint32_t ms = 999999999;
    const uint32_t repeats = (ms - KEY_FIRST_REPEAT_MS) / KEY_REPEAT_MS + 1;
    const uint32_t few = repeats % 4 + 40;
    const uint32_t shortMs = KEY_FIRST_REPEAT_MS + (few - 1) * KEY_REPEAT_MS +
                             (ms - KEY_FIRST_REPEAT_MS - (repeats - 1) * KEY_REPEAT_MS);
    const TRunResult huge = RunScript(Hold(kOn, "k1", ms, false));
    const TRunResult small = RunScript(Hold(kOn, "k1", shortMs, false));
    EXPECT_EQ(huge.Shown, small.Shown);
    EXPECT_LT(huge.KeyEvents, 200) << "of " << repeats << " repeats";
}

} // namespace
