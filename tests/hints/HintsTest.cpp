// The balloon texts built from a hint specification, and the LCD regions.
#include "hints/Hints.h"
#include "platform/Strings.h"

#include <gmock/gmock.h>

#include <thread>

namespace {

struct SpecCase {
    const char* name;
    const char* spec;
    const char* k2;
    const char* k1;
};

class KeyHintBuild : public ::testing::TestWithParam<SpecCase> {};

TEST_P(KeyHintBuild, BuildsBothBalloons) {
    SetThreadLanguage(LANG_ENGLISH);
    TKeyHints hints;
    hints.SetKeyHintText(GetParam().spec);
    EXPECT_EQ(hints.GetKeyHintK2(), GetParam().k2);
    EXPECT_EQ(hints.GetKeyHintK1(), GetParam().k1);
}

INSTANTIATE_TEST_SUITE_P(
    Specs, KeyHintBuild,
    ::testing::Values(SpecCase{"DeviceOff", "\n\n\n\nDevice Power On",
                               "Short click: no actions\nLong click: no actions\nBoth btns: no actions",
                               "Short click: no actions\nLong click: Device Power On\nBoth btns: no actions"},
                      SpecCase{"EmptyMeansNoActionsEverywhere", "",
                               "Short click: no actions\nLong click: no actions\nBoth btns: no actions",
                               "Short click: no actions\nLong click: no actions\nBoth btns: no actions"},
                      // A run of "-" repeats the last real line; a "-" after an empty line
                      // repeats the empty line, which then reads "no actions".
                      SpecCase{"DashRepeatsTheLineAbove", "back\nzoom out\n-\n-\n-",
                               "Short click: zoom out\nLong click: zoom out\nBoth btns: back",
                               "Short click: zoom out\nLong click: zoom out\nBoth btns: back"},
                      SpecCase{"DashAfterEmpty", "back\n\n-\nnext\nprev",
                               "Short click: no actions\nLong click: no actions\nBoth btns: back",
                               "Short click: next\nLong click: prev\nBoth btns: back"},
                      SpecCase{"CrLfAndCrEndLinesAndExtraLinesAreIgnored", "b\r\nk2s\rk2l\r\nk1s\nk1l\nsixth",
                               "Short click: k2s\nLong click: k2l\nBoth btns: b",
                               "Short click: k1s\nLong click: k1l\nBoth btns: b"},
                      SpecCase{"LeadingBlanksAreKept", "\n\n\n go down\n go up",
                               "Short click: no actions\nLong click: no actions\nBoth btns: no actions",
                               "Short click:  go down\nLong click:  go up\nBoth btns: no actions"},
                      SpecCase{"DashInLineZeroIsLiteral", "-",
                               "Short click: no actions\nLong click: no actions\nBoth btns: -",
                               "Short click: no actions\nLong click: no actions\nBoth btns: -"}),
    [](const ::testing::TestParamInfo<SpecCase>& p) { return std::string(p.param.name); });

TEST(KeyHints, HeadingsFollowTheBuildingThreadsLanguage) {
    TKeyHints hints;
    std::thread([&] {
        SetThreadLanguage(LANG_RUSSIAN);
        hints.SetKeyHintText("\n\n\n\nВключение прибора");
    }).join();
    EXPECT_EQ(hints.GetKeyHintK1(), "Короткий клик: Нет действий\nДлинный  клик: Включение прибора\n"
                                    "Обе клавиши: Нет действий");
}

TEST(ScreenHints, FirstContainingRegionWinsWithExclusiveRightAndBottom) {
    TScreenHints hints;
    EXPECT_EQ(hints.FindScreenHint(0, 0), "");
    hints.AddScreenHint(0, 0, 60, 8, "machine");
    hints.AddScreenHint(0, 0, 122, 32, "screen");
    EXPECT_EQ(hints.FindScreenHint(0, 0), "machine");
    EXPECT_EQ(hints.FindScreenHint(59, 7), "machine");
    EXPECT_EQ(hints.FindScreenHint(60, 7), "screen");
    EXPECT_EQ(hints.FindScreenHint(59, 8), "screen");
    EXPECT_EQ(hints.FindScreenHint(122, 0), "");
    EXPECT_EQ(hints.FindScreenHint(-1, 5), "");
    hints.ClearScreenHints();
    EXPECT_EQ(hints.FindScreenHint(1, 1), "");
}

TEST(ScreenHints, ConcurrentWriterAndReaderSeeWholeRegions) {
    TScreenHints hints;
    std::thread writer([&] {
        for (int i = 0; i < 2000; ++i) {
            hints.ClearScreenHints();
            hints.AddScreenHint(0, 0, 10, 10, "a");
        }
    });
    for (int i = 0; i < 2000; ++i) {
        const std::string text = hints.FindScreenHint(5, 5);
        ASSERT_TRUE(text.empty() || text == "a");
    }
    writer.join();
}

} // namespace
