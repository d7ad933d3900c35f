// The real firmware driven by key scripts under virtual time; each script's
// output (LCD as text art, balloons, explained regions) is compared with its
// golden file.
#include "Golden.h"
#include "SimSession.h"
#include "firmware/Offlinemode.h"
#include "platform/DateTime.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::vector<std::string> ScenarioNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(ScenarioDir()))
        if (entry.path().extension() == ".sim") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class Scenario : public ::testing::TestWithParam<std::string> {};

TEST_P(Scenario, MatchesItsGoldenScreens) {
    std::ifstream script(ScenarioDir() / (GetParam() + ".sim"));
    ASSERT_TRUE(script) << "cannot read the script";
    SavedState = TDeviceState{};
    std::ostringstream out;
    std::string error;
    {
        TSimSession session(out, EncodeDateTime(2026, 12, 7, 9, 30, 0, 0));
        ASSERT_TRUE(RunSimScript(session, script, error)) << error;
    }
    ExpectMatchesGolden(GetParam(), out.str());
}

INSTANTIATE_TEST_SUITE_P(Scripts, Scenario, ::testing::ValuesIn(ScenarioNames()),
                         [](const ::testing::TestParamInfo<std::string>& p) { return p.param; });

} // namespace
