// An imported file: a state of this program is taken, damaged values are
// named, anything else is refused; and one document saved again and again
// holds the state of each save.
#include "state/StateFileCheck.h"
#include "firmware/Offlinemode.h"
#include "measure/PointConditions.h"
#include "measure/Routes.h"
#include "state/Inifile.h"

#include <gmock/gmock.h>

#include <string>

namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

// What the program writes for a state with point 2 and one off-route point
// measured, on the points list, in Russian.
std::string SavedText() {
    TDeviceState s;
    s.RoutePoints[1] = PS_MEASURED;
    s.UnroutePoints = {PS_MEASURED | PS_OFFROUTE};
    s.SelectedPoint = 2;
    s.IsPointSelectMenu = 1;
    s.LanguageName = "RUS";
    TIniDocument ini;
    WriteIniState(ini, s);
    return ini.Text();
}

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    const auto at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

struct CheckCase {
    const char* name;
    std::string text;
    TStateFileVerdict verdict;
    std::vector<std::string> unreadable;
};

void PrintTo(const CheckCase& c, std::ostream* os) {
    *os << c.name;
}

class StateFileCheckTest : public ::testing::TestWithParam<CheckCase> {};

TEST_P(StateFileCheckTest, SaysWhatTheFileIs) {
    const TStateFileCheck check = CheckStateFile(GetParam().text);
    EXPECT_EQ(check.Verdict, GetParam().verdict);
    EXPECT_THAT(check.Unreadable, ElementsAreArray(GetParam().unreadable));
}

using V = TStateFileVerdict;
const std::string kSaved = SavedText();

// clang-format off
INSTANTIATE_TEST_SUITE_P(Files, StateFileCheckTest, ::testing::Values(
    CheckCase{"saved", kSaved, V::Sound, {}},
    CheckCase{"saved by an editor: CRLF, a mark, a comment, a section of the user's",
              "\xEF\xBB\xBF; mine\r\n" + Replace(kSaved, "\n", "\r\n") + "[Notes]\r\nclass=3B\r\n", V::Sound, {}},
    CheckCase{"the last off-route point and the last point index", Replace(kSaved, "SelectedPoint=2", "SelectedPoint=478"),
              V::Sound, {}},
    CheckCase{"empty", "", V::NotAState, {}},
    CheckCase{"hello world", "hello world\n", V::NotAState, {}},
    CheckCase{"cut in half", kSaved.substr(0, kSaved.size() / 2), V::NotAState, {}},
    CheckCase{"cut in its last line", kSaved.substr(0, kSaved.find("Name=") + 2), V::NotAState, {}},
    CheckCase{"another program's ini", "[General]\nGeometry=1\n", V::NotAState, {}},
    CheckCase{"a line of other text", kSaved + "hello world\n", V::NotAState, {}},
    CheckCase{"a value before any section", "Theme=dark\n" + kSaved, V::NotAState, {}},
    CheckCase{"a zero byte", kSaved + std::string(1, '\0'), V::NotAState, {}},
    CheckCase{"not a number", Replace(kSaved, "MeasureUnit=0", "MeasureUnit=zz"), V::Damaged,
              {"[DeviceState] MeasureUnit=zz"}},
    CheckCase{"past the ranges the program writes",
              Replace(Replace(Replace(kSaved, "SelectedPoint=2", "SelectedPoint=479"), "ActiveMenu=0", "ActiveMenu=4"),
                      "2=4\n", "2=40000\n"),
              V::Damaged, {"[RoutePoints] 2=40000", "[DeviceState] ActiveMenu=4", "[DeviceState] SelectedPoint=479"}},
    CheckCase{"an off-route list that ends early", Replace(kSaved, "[UnroutePoints]\n1=6\n", "[UnroutePoints]\n1=6\n2=0\n3=6\n"),
              V::Damaged, {"[UnroutePoints] 2=0", "[UnroutePoints] 3=6"}},
    CheckCase{"a condition the program cannot read", kSaved + "[MachineConditions]\n2=imbalance rpm=fast\n", V::Damaged,
              {"[MachineConditions] 2=imbalance rpm=fast"}}));
// clang-format on

// The page saves one document many times in one run: each save holds that
// moment's state, and reads back as it.
TEST(IniStateTest, EverySaveOfOneDocumentHoldsTheStateOfThatSave) {
    TIniDocument ini("[Notes]\nclass=3B\n");
    TDeviceState s;
    s.LanguageName = "ENG";
    WriteIniState(ini, s);
    s.RoutePoints[1] = PS_MEASURED;
    s.UnroutePoints = {PS_MEASURED | PS_OFFROUTE, PS_MEASURED | PS_OFFROUTE};
    s.SelectedPoint = 477;
    WriteIniState(ini, s);
    s.UnroutePoints.pop_back();
    s.SelectedPoint = 478;
    WriteIniState(ini, s);

    TDeviceState read;
    ReadIniState(TIniDocument(ini.Text()), read);
    EXPECT_EQ(read.RoutePoints[1], PS_MEASURED);
    EXPECT_THAT(read.UnroutePoints, ElementsAre(PS_MEASURED | PS_OFFROUTE));
    EXPECT_EQ(read.SelectedPoint, 478);
    EXPECT_EQ(read.LanguageName, "ENG");
    EXPECT_EQ(ini.ReadString("Notes", "class"), "3B");
    EXPECT_EQ(CheckStateFile(ini.Text()).Verdict, TStateFileVerdict::Sound);
    ClearConditions();
}

} // namespace
