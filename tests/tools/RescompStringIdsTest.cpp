// The resource compiler's header of named string ids: one constant per text,
// in id order, and a build that stops on a text without a good name.
#include "rescomp/StringIds.h"

#include <gmock/gmock.h>

namespace {

using ::testing::HasSubstr;

TEST(RescompStringIds, NamesEveryIdInIdOrder) {
    std::string header;
    std::string error;
    ASSERT_TRUE(StringIdsHeader("# comment\n1003 HINT_NO_ACTIONS \"no actions\"\n"
                                "100 TEXT_MEAS \"Meas. \"\n1100\tTIP_HORIZONTAL\t\"horizontal\"\n",
                                "english.txt", header, error))
        << error;
    EXPECT_THAT(header, HasSubstr("inline constexpr int TEXT_MEAS = 100;\n"
                                  "inline constexpr int HINT_NO_ACTIONS = 1003;\n"
                                  "inline constexpr int TIP_HORIZONTAL = 1100;\n"));
    EXPECT_THAT(header, HasSubstr("#pragma once"));
}

struct TBadTable {
    const char* Case;
    const char* Source;
    const char* Error;
};

class RescompStringIdsBad : public ::testing::TestWithParam<TBadTable> {};

TEST_P(RescompStringIdsBad, StopsWithAMessageThatNamesTheId) {
    std::string header;
    std::string error;
    EXPECT_FALSE(StringIdsHeader(GetParam().Source, "english.txt", header, error));
    EXPECT_THAT(error, HasSubstr(GetParam().Error));
    EXPECT_THAT(error, HasSubstr("english.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Tables, RescompStringIdsBad,
    ::testing::Values(TBadTable{"Unnamed", "100 TEXT_MEAS \"a\"\n101 \"b\"\n", "id 101 has no name"},
                      TBadTable{"UnknownPrefix", "100 MEAS \"a\"\n", "MEAS of id 100 does not start with"},
                      TBadTable{"BarePrefix", "100 TEXT_ \"a\"\n", "does not start with"},
                      TBadTable{"RepeatedName", "100 TEXT_A \"a\"\n101 TEXT_A \"b\"\n",
                                "TEXT_A of id 101 is repeated"},
                      TBadTable{"NameWithoutText", "100 TEXT_A\n", "line 1"},
                      TBadTable{"NameGluedToText", "100 TEXT_A\"a\"\n", "line 1"}),
    [](const ::testing::TestParamInfo<TBadTable>& p) { return std::string(p.param.Case); });

} // namespace
