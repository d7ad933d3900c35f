// String tables, code page conversion and embedded resources.
#include "platform/Codepage.h"
#include "platform/Resources.h"
#include "platform/StringTable.h"
#include "platform/Strings.h"

#include <gmock/gmock.h>

#include <thread>

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

TEST(StringTableParse, KeepsBlanksAndEscapesAndSkipsComments) {
    std::vector<std::string> errors;
    const TStringTable table =
        ParseStringTable("# comment\n\n107 \"Opts  \"\r\n1004\t\"\\n\\n\\n\\nDevice Power On\"\n"
                         "5 \"say \\\"hi\\\" \\\\ ok\"\n",
                         errors);
    EXPECT_THAT(errors, IsEmpty());
    EXPECT_EQ(table.at(107), "Opts  ");
    EXPECT_EQ(table.at(1004), "\n\n\n\nDevice Power On");
    EXPECT_EQ(table.at(5), "say \"hi\" \\ ok");
}

TEST(StringTableParse, ReadsTheNameColumnAndLooksTextsUpWithoutIt) {
    std::vector<std::string> errors;
    std::map<int, std::string> names;
    const TStringTable table = ParseStringTable("100 TEXT_MEAS \"Meas. \"\n101\t\"Meas.e\"\n"
                                                "1100\tTIP_HORIZONTAL  \"A_B \\\"C\\\"\"\n",
                                                errors, &names);
    EXPECT_THAT(errors, IsEmpty());
    EXPECT_EQ(table.at(100), "Meas. ");
    EXPECT_EQ(table.at(101), "Meas.e");
    EXPECT_EQ(table.at(1100), "A_B \"C\"");
    EXPECT_EQ(names, (std::map<int, std::string>{{100, "TEXT_MEAS"}, {1100, "TIP_HORIZONTAL"}}));
}

TEST(StringTableParse, ReportsEachMalformedLineAndKeepsTheRest) {
    std::vector<std::string> errors;
    const TStringTable table = ParseStringTable("1 \"one\"\n"
                                                "2 \"unterminated\n"
                                                "x \"no id\"\n"
                                                "3\"no blank\"\n"
                                                "4 \"bad \\q escape\"\n"
                                                "1 \"again\"\n"
                                                "5 \"ok\" trailing\n"
                                                "6 \"six\"\n",
                                                errors);
    EXPECT_EQ(table.size(), 2u);
    EXPECT_EQ(table.at(1), "one");
    EXPECT_EQ(table.at(6), "six");
    ASSERT_EQ(errors.size(), 6u);
    EXPECT_THAT(errors[0], HasSubstr("line 2"));
    EXPECT_THAT(errors[4], HasSubstr("repeated"));
}

TEST(StringTableParse, ShippedTablesParseCleanlyAndHoldTheSameIds) {
    std::vector<std::string> idsPerLanguage[2];
    int index = 0;
    for (const char* name : {"STRINGTABLE_1033", "STRINGTABLE_1049"}) {
        const auto bytes = FindResource(name);
        ASSERT_TRUE(bytes) << name;
        std::vector<std::string> errors;
        const TStringTable table = ParseStringTable(std::string(bytes->begin(), bytes->end()), errors);
        EXPECT_THAT(errors, IsEmpty()) << name;
        for (const auto& entry : table)
            idsPerLanguage[index].push_back(std::to_string(entry.first));
        ++index;
    }
    EXPECT_EQ(idsPerLanguage[0], idsPerLanguage[1]);
}

TEST(LoadStr, FollowsTheCallingThreadsLanguage) {
    SetThreadLanguage(LANG_RUSSIAN);
    EXPECT_EQ(LoadStr(183), "ПИК ");
    std::string other;
    std::thread([&] { other = LoadStr(183); }).join();
    EXPECT_EQ(other, "PK  ") << "a new thread starts in English";
    SetThreadLanguage(LANG_ENGLISH);
    EXPECT_EQ(LoadStr(183), "PK  ");
    EXPECT_EQ(LoadStr(99999), "") << "an id the table lacks reads as empty";
    SetThreadLanguage(0x0407);
    EXPECT_EQ(LoadStr(183), "") << "a language without a table reads as empty";
    SetThreadLanguage(LANG_ENGLISH);
}

TEST(Codepage, CyrillicAndSpecialsRoundTrip) {
    const std::string utf8 = "Ускорение ПИК м/с2 Ёё №";
    const std::string cp = Utf8ToCp1251(utf8);
    EXPECT_EQ(static_cast<unsigned char>(cp[0]), 0xD3u); // У
    EXPECT_EQ(static_cast<unsigned char>(Utf8ToCp1251("Ё")[0]), 0xA8u);
    EXPECT_EQ(static_cast<unsigned char>(Utf8ToCp1251("я")[0]), 0xFFu);
    EXPECT_EQ(Cp1251ToUtf8(cp), utf8);
}

TEST(Codepage, UnmappableAndMalformedInputBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1251("a\xE4\xB8\xAD"
                           "b"),
              "a?b");                                                 // a CJK character
    EXPECT_EQ(Utf8ToCp1251("a\xD0"), "a?");                           // truncated sequence
    EXPECT_EQ(Utf8ToCp1251("\xFF\xC3\x28"), std::string("?") + "?("); // invalid lead, bad continuation
    EXPECT_EQ(Cp1251ToUtf8("\x98"), "?");                             // the one unassigned byte
}

TEST(Resources, LanguageListHoldsItsTwoRecords) {
    const auto bytes = FindResource("LANGUAGE_LIST");
    ASSERT_TRUE(bytes);
    EXPECT_THAT(std::vector<uint8_t>(bytes->begin(), bytes->end()),
                ElementsAre(0x09, 0x04, 'E', 'N', 'G', 0, 0x19, 0x04, 0));
}

TEST(Resources, OverrideReplacesOrRemovesForItsLifetime) {
    const auto original = FindResource("FONT2");
    ASSERT_TRUE(original);
    {
        TResourceOverride gone("FONT2", std::nullopt);
        EXPECT_FALSE(FindResource("FONT2"));
        TResourceOverride shortOne("FONT1", std::basic_string<uint8_t>(10, 0xAB));
        EXPECT_EQ(FindResource("FONT1")->size(), 10u);
    }
    EXPECT_EQ(FindResource("FONT2")->size(), original->size());
    EXPECT_FALSE(FindResource("NO_SUCH_RESOURCE"));
}

} // namespace
