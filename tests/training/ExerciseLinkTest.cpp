// Exercise links: what the desktop and orx700-sim make, the page reads (its
// browser test opens one); here the codec's own faults: a round trip that
// loses or adds a byte, a damaged or later link taken for a sound one, an
// inflated size past the file limit.
#include "training/ExerciseLink.h"
#include "TrainingSamples.h"
#include "resources/StringIds.h"
#include "training/ExerciseFile.h"

#include <gtest/gtest.h>

#include <zlib.h>

#include <string>

namespace {

const std::string kPage = "https://training.plant.test/orx700/";

// Raw deflate of text at zlib's defaults: another encoder than the link's,
// as a browser's CompressionStream is.
std::string RawDeflate(const std::string& text) {
    z_stream stream{};
    EXPECT_EQ(deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::string out(deflateBound(&stream, static_cast<uLong>(text.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

std::string Base64UrlOf(const std::string& bytes) {
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
        uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k)
            group = (group << 8) | (k < n ? static_cast<uint8_t>(bytes[i + k]) : 0u);
        for (std::size_t k = 0; k < n + 1; ++k)
            out.push_back(digits[(group >> (18 - 6 * k)) & 63u]);
    }
    return out;
}

TEST(ExerciseLink, RoundTripsEveryByteOfTheFileAndKeepsToTheAddressAndUrlSafeCharacters) {
    const std::string file = FormatExercise(ThreePumps());
    for (const std::string& text : {file, std::string(), std::string("\r\n\\\x01\xff", 5), file + file}) {
        const std::string link = MakeExerciseLink(kPage + "#machines", text);
        ASSERT_TRUE(link.starts_with(kPage + "#exercise=1.")) << link;
        const std::string data = link.substr(kPage.size() + 12);
        EXPECT_EQ(data.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"),
                  std::string::npos);
        std::string back = "left alone";
        ASSERT_EQ(ReadExerciseLink(link, back), 0);
        EXPECT_EQ(back, text);
        // The fragment alone reads the same.
        ASSERT_EQ(ReadExerciseLink(link.substr(kPage.size()), back), 0);
        EXPECT_EQ(back, text);
    }
}

TEST(ExerciseLink, ReadsAnotherEncodersRawDeflateAsThePageWritesIt) {
    const std::string file = FormatExercise(ThreePumps());
    std::string back;
    ASSERT_EQ(ReadExerciseLink("#exercise=1." + Base64UrlOf(RawDeflate(file)), back), 0);
    EXPECT_EQ(back, file);
}

TEST(ExerciseLink, RefusesADamagedOrLaterLinkAndLeavesTheTextAlone) {
    const std::string file = FormatExercise(ThreePumps());
    const std::string link = MakeExerciseLink(kPage, file);
    const std::string data = link.substr(link.find('.', kPage.size()) + 1);
    // More than an exercise file may hold, however well it packs.
    const std::string bomb = Base64UrlOf(RawDeflate(std::string(MAX_EXERCISE_FILE_BYTES + 1, 'a')));
    const std::string packed = RawDeflate(file);
    const std::pair<std::string, int> cases[] = {
        {kPage, TEXT_LINK_DAMAGED},
        {kPage + "#exercise=", TEXT_LINK_DAMAGED},
        {kPage + "#exercise=1", TEXT_LINK_DAMAGED},
        {kPage + "#exercise=.A", TEXT_LINK_DAMAGED},
        {kPage + "#exercise=v1." + data, TEXT_LINK_DAMAGED},
        {kPage + "#exercise=2." + data, TEXT_LINK_FUTURE},
        {kPage + "#exercise=10." + data, TEXT_LINK_FUTURE},
        {link.substr(0, link.size() - 8), TEXT_LINK_DAMAGED},
        {link.substr(0, link.size() - 1), TEXT_LINK_DAMAGED},
        {link + "AAAA", TEXT_LINK_DAMAGED},
        {link.substr(0, link.size() - 4) + "+/==", TEXT_LINK_DAMAGED},
        {link.substr(0, link.size() - 4) + "%20x", TEXT_LINK_DAMAGED},
        {"#exercise=1." + Base64UrlOf(packed + "trailing"), TEXT_LINK_DAMAGED},
        {"#exercise=1." + Base64UrlOf(file), TEXT_LINK_DAMAGED},
        {"#exercise=1." + bomb, TEXT_LINK_DAMAGED},
    };
    for (const auto& [bad, reason] : cases) {
        std::string text = "left alone";
        EXPECT_EQ(ReadExerciseLink(bad, text), reason) << bad.substr(0, 80);
        EXPECT_TRUE(text == "left alone") << bad.substr(0, 80);
    }
    // At the limit exactly, the text still reads.
    std::string text;
    EXPECT_EQ(ReadExerciseLink(
                  "#exercise=1." + Base64UrlOf(RawDeflate(std::string(MAX_EXERCISE_FILE_BYTES, 'a'))), text),
              0);
    EXPECT_EQ(text.size(), MAX_EXERCISE_FILE_BYTES);
}

TEST(ExerciseLink, TakesOnlyAnAddressABrowserOpens) {
    const std::pair<const char*, bool> cases[] = {
        {"https://training.plant.test/orx700/", true},
        {"http://127.0.0.1:8700/", true},
        {"https://host/page.html?lang=ru", true},
        {"", false},
        {"training.plant.test/orx700/", false},
        {"file:///home/trainer/site/index.html", false},
        {"https://", false},
        {"https:///path", false},
        {"https://host/a page", false},
        {"https://host/\tpage", false},
        {"ftp://host/", false},
    };
    for (const auto& [address, taken] : cases)
        EXPECT_EQ(IsWebAddress(address), taken) << address;
}

} // namespace
