// The shipped English and Russian string tables: completeness, the texts whose
// blanks and line breaks carry layout, and the LCD's limits (code page 1251,
// 20 characters to a line).
#include "platform/Codepage.h"
#include "platform/Resources.h"
#include "platform/StringTable.h"
#include "platform/Strings.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// Every id the program looks up, as inclusive ranges:
//   LCD texts        100..103, 105..112, 121, 124..136, 140..159, 169..174, 180..186
//   host windows     200, 300..309, 311..320, 400..402, 500..504, 600..601
//   web page         330..334, 1300..1309, 1380..1387, 1700, 1702..1711, 1713..1718, 1720..1722, 1725..1726
//   route names      701..716
//   hint headings    1000..1003
//   key hints        1004..1011, 1020..1034, 1045..1049, 1060..1062, 1069, 1080..1088, 1090..1094
//   LCD area hints   1100..1109, 1113..1117
//   saving at exit   1340
//   exercises        1650..1699
//   readings on the PC 1750..1799
//   key captions, Help 1800..1810
//   page parts loaded on use 1850
//   exercise links, time limits 1860..1870
//   PC analysis: harmonics, baseline, lines, orders, export dates 1900..1924
//   the page's measurement database 1930..1939
//   showing the instrument (kiosk, presenter size, record and play) 1970..2009
//   showing the instrument in the page 2010..2049 (in use: 2010..2033)
//   the window's Show menu: record, play, animation, state links 2050..2079 (in use: 2051..2078)
//   the window's Show menu, presenter size 2080..2099 (in use: 2080..2085)
//   the page's presenter size and animated pictures 2100..2129 (in use: 2100..2110)
//   trend exercises (visits) 2140..2199
//   the page's analysis tools, baselines kept in the database 2200..2239 (in use: 2200..2205)
//   the page's trend exercises, an exercise's own measurements 2240..2259 (in use: 2240..2242)
//   the window's editor of the conditions a visit changes 2260..2279 (in use: 2260..2275)
//   animations of the whole instrument 2280..2299 (in use: 2280..2287)
//   showing tools giving way to an exercise or an import 2300..2319 (in use: 2300..2304)
// 310 (a web address) is gone: there is no site to lead to.
const std::vector<std::pair<int, int>> kIdRanges = {
    {100, 103},   {105, 112},   {121, 121},   {124, 136},   {140, 159},   {169, 174},   {180, 186},
    {200, 200},   {300, 309},   {311, 320},   {330, 334},   {400, 402},   {500, 504},   {600, 601},
    {701, 716},   {1000, 1003}, {1004, 1011}, {1020, 1034}, {1045, 1049}, {1060, 1062}, {1069, 1069},
    {1080, 1088}, {1090, 1094}, {1100, 1109}, {1113, 1117}, {1200, 1247}, {1250, 1262}, {1270, 1278},
    {1300, 1309}, {1340, 1340}, {1380, 1387}, {1420, 1426}, {1428, 1430}, {1580, 1614}, {1650, 1699},
    {1700, 1700}, {1702, 1711}, {1713, 1718}, {1720, 1722}, {1725, 1726}, {1750, 1799}, {1800, 1810},
    {1850, 1850}, {1860, 1870}, {1900, 1924}, {1930, 1939}, {1970, 1970}, {2010, 2033}, {2051, 2078},
    {2080, 2085}, {2100, 2110}, {2140, 2156}, {2200, 2205}, {2240, 2242}, {2260, 2275}, {2280, 2287},
    {2300, 2304},
};

// The ids whose texts are drawn on the LCD.
const std::vector<std::pair<int, int>> kLcdRanges = {{100, 186}, {701, 716}};

std::vector<int> ExpandRanges(const std::vector<std::pair<int, int>>& ranges) {
    std::vector<int> ids;
    for (const auto& [first, last] : ranges)
        for (int id = first; id <= last; ++id)
            ids.push_back(id);
    return ids;
}

std::vector<int> ShippedIds(const char* resource) {
    std::vector<int> ids;
    const auto bytes = FindResource(resource);
    if (!bytes) return ids;
    std::vector<std::string> errors;
    const TStringTable table = ParseStringTable(std::string(bytes->begin(), bytes->end()), errors);
    for (const auto& entry : table)
        ids.push_back(entry.first);
    return ids;
}

class StringTables : public ::testing::Test {
  protected:
    void TearDown() override { SetThreadLanguage(LANG_ENGLISH); }
};

TEST_F(StringTables, BothLanguagesHoldExactlyTheProgramsIds) {
    const std::vector<int> expected = ExpandRanges(kIdRanges);
    ASSERT_EQ(expected.size(), 615u) << "the id ranges above changed";
    EXPECT_EQ(ShippedIds("STRINGTABLE_1033"), expected);
    EXPECT_EQ(ShippedIds("STRINGTABLE_1049"), expected);
}

TEST_F(StringTables, EveryIdHasAText) {
    for (const LANGID lang : {LANG_ENGLISH, LANG_RUSSIAN}) {
        SetThreadLanguage(lang);
        for (const int id : ExpandRanges(kIdRanges))
            EXPECT_FALSE(LoadStr(id).empty()) << "language " << lang << ", id " << id;
    }
}

// A run of question marks is a stand-in for a text never written; an
// example domain or a zero telephone number, for a contact that leads nowhere.
TEST_F(StringTables, NoTextIsAPlaceholder) {
    for (const LANGID lang : {LANG_ENGLISH, LANG_RUSSIAN}) {
        SetThreadLanguage(lang);
        for (const int id : ExpandRanges(kIdRanges))
            for (const char* placeholder : {"??", "example.", "000 000"})
                EXPECT_EQ(LoadStr(id).find(placeholder), std::string::npos)
                    << "language " << lang << ", id " << id << ": " << placeholder;
    }
}

TEST_F(StringTables, TextsWhoseBlanksAndLineBreaksMatter) {
    SetThreadLanguage(LANG_ENGLISH);
    EXPECT_EQ(LoadStr(107), "Opts  ");
    EXPECT_EQ(LoadStr(108), "HF sp.");
    EXPECT_EQ(LoadStr(140), " Battery charge %d%%");
    EXPECT_EQ(LoadStr(124), "Backlight  ON      ");
    EXPECT_EQ(LoadStr(1004), "\n\n\n\nDevice Power On");
    EXPECT_EQ(LoadStr(600), "  Quick Start - Talvor FFT Demo");

    SetThreadLanguage(LANG_RUSSIAN);
    EXPECT_EQ(LoadStr(1004), "\n\n\n\nВключение прибора");
    EXPECT_EQ(LoadStr(1002), "Длинный  клик:");
    EXPECT_EQ(LoadStr(124), "Подсветка  ВКЛ     ");
}

TEST_F(StringTables, LcdTextsAreAllInCodePage1251) {
    for (const LANGID lang : {LANG_ENGLISH, LANG_RUSSIAN}) {
        SetThreadLanguage(lang);
        for (const int id : ExpandRanges(kLcdRanges)) {
            const std::string text = LoadStr(id);
            // A character the code page lacks would become '?'; converting
            // back would then differ from the original.
            EXPECT_EQ(Cp1251ToUtf8(Utf8ToCp1251(text)), text) << "language " << lang << ", id " << id;
        }
    }
}

TEST_F(StringTables, LcdMenuLinesFitTheScreenWidth) {
    constexpr std::size_t kLcdColumns = 20; // 122 pixels in 6-pixel cells
    for (const LANGID lang : {LANG_ENGLISH, LANG_RUSSIAN}) {
        SetThreadLanguage(lang);
        for (int id = 124; id <= 136; ++id) {
            // One byte per character once converted for the LCD.
            EXPECT_LE(Utf8ToCp1251(LoadStr(id)).size(), kLcdColumns) << "language " << lang << ", id " << id;
        }
    }
}

} // namespace
