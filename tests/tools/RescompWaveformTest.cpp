// The resource compiler's reader of waveform sources: strict about form,
// count and range, and says where a source goes wrong.
#include "rescomp/Waveform.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace {

std::string Values(std::size_t count, const std::string& value) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += value + (i % 16 == 15 ? "\n" : " ");
    return text;
}

bool Parse(const std::string& text, std::vector<uint16_t>& words, std::string& error) {
    std::istringstream in(text);
    return ParseWaveformText(in, "w.txt", words, error);
}

struct TBadSource {
    const char* Case;
    std::string Text;
    std::string Error;
};

std::ostream& operator<<(std::ostream& os, const TBadSource& c) {
    return os << c.Case;
}

class BadWaveformSourceTest : public ::testing::TestWithParam<TBadSource> {};

TEST_P(BadWaveformSourceTest, IsRefusedWithItsPlace) {
    std::vector<uint16_t> words;
    std::string error;
    EXPECT_FALSE(Parse(GetParam().Text, words, error));
    EXPECT_EQ(error, GetParam().Error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadWaveformSourceTest,
    ::testing::Values(
        TBadSource{"Empty", "", "w.txt: no 'form signed' or 'form unsigned' line"},
        TBadSource{"ValuesBeforeTheForm", "# header\n1 2 3\n",
                   "w.txt:2: expected 'form signed' or 'form unsigned' before the values"},
        TBadSource{"UnknownForm", "form float\n",
                   "w.txt:1: expected 'form signed' or 'form unsigned' before the values"},
        TBadSource{"FormWithATrailingWord", "form signed 7\n",
                   "w.txt:1: expected 'form signed' or 'form unsigned' before the values"},
        TBadSource{"NotANumber", "form signed\n1 2\n3 4x 5\n", "w.txt:3: '4x' is not a decimal number"},
        TBadSource{"ExplicitPlusSign", "form unsigned\n+5\n", "w.txt:2: '+5' is not a decimal number"},
        TBadSource{"NegativeCode", "form unsigned\n-1\n",
                   "w.txt:2: -1 is out of range 0..65535 for unsigned values"},
        TBadSource{"CodeTooLarge", "form unsigned\n65536\n",
                   "w.txt:2: 65536 is out of range 0..65535 for unsigned values"},
        TBadSource{"SignedTooLarge", "form signed\n32768\n",
                   "w.txt:2: 32768 is out of range -32768..32767 for signed values"},
        TBadSource{"SignedTooSmall", "form signed\n-32769\n",
                   "w.txt:2: -32769 is out of range -32768..32767 for signed values"},
        TBadSource{"BeyondSixtyFourBits", "form signed\n99999999999999999999\n",
                   "w.txt:2: 99999999999999999999 is out of range -32768..32767 for signed values"},
        TBadSource{"OneValueShort", "form signed\n" + Values(8191, "0"), "w.txt: 8191 values, expected 8192"},
        TBadSource{"OneValueTooMany", "form signed\n" + Values(8193, "0"),
                   "w.txt:514: more than 8192 values"}));

TEST(WaveformSource, KeepsValuesAsSixteenBitWordsInOrder) {
    std::string text = "# comment\r\nform signed # trailing comment\r\n-32768 -1 0 32767\r\n";
    text += Values(8188, "5");
    std::vector<uint16_t> words;
    std::string error;
    ASSERT_TRUE(Parse(text, words, error)) << error;
    ASSERT_EQ(words.size(), WAVEFORM_VALUES);
    EXPECT_EQ(words[0], 0x8000);
    EXPECT_EQ(words[1], 0xFFFF);
    EXPECT_EQ(words[2], 0x0000);
    EXPECT_EQ(words[3], 0x7FFF);
    EXPECT_EQ(words[8191], 5);

    ASSERT_TRUE(Parse("form unsigned\n65535 0\n" + Values(8190, "40000"), words, error)) << error;
    EXPECT_EQ(words[0], 0xFFFF);
    EXPECT_EQ(words[2], 40000);
}

TEST(WaveformSource, CompilesToLittleEndianWords) {
    const auto dir = std::filesystem::temp_directory_path();
    const auto in = dir / ("orx-waveform-" + std::to_string(::getpid()) + ".txt");
    const auto out = std::filesystem::path(in).replace_extension(".bin");
    std::ofstream(in) << "form unsigned\n258 65534\n" << Values(8190, "1");
    std::string error;
    ASSERT_TRUE(CompileWaveformFile(in.string(), out.string(), error)) << error;
    std::ifstream bin(out, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(bin)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), 2 * WAVEFORM_VALUES);
    EXPECT_EQ(bytes.substr(0, 6), std::string("\x02\x01\xFE\xFF\x01\x00", 6));
    std::filesystem::remove(in);
    std::filesystem::remove(out);

    EXPECT_FALSE(CompileWaveformFile((dir / "orx-no-such-waveform.txt").string(), out.string(), error));
    EXPECT_EQ(error, "cannot read " + (dir / "orx-no-such-waveform.txt").string());
}

} // namespace
