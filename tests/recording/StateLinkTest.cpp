// State links: a state goes into a link and comes back exactly, from a whole
// address as pasted too; a link cut short, changed, of a later version or
// past the limits is refused with its reason, never read as another state.
#include "recording/RecordingHash.h"
#include "recording/StateLinkDeflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>

namespace {

std::string AState() {
    TDeviceState state;
    state.LanguageName = "RUS";
    return StateIniText(state) + "[MachineConditions]\n2=bearing-inner rpm=1480 velocity=4.5 seed=7\n";
}

// Any raw deflater's output must read (the page's browser deflates on its
// own), so this one is written here against zlib, at another level.
std::string LinkOf(const std::string& payload, const char* head = "#state=1.") {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY), Z_OK);
    std::string out(deflateBound(&z, payload.size()), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(payload.data()));
    z.avail_in = static_cast<uInt>(payload.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return head + Base64UrlEncode(out);
}

TEST(StateLinkTest, AStateComesBackExactlyFromTheFragmentAnAddressOrAPastedLine) {
    const std::string state = AState();
    const auto link = MakeStateLink(state);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->rfind("#state=1.", 0), 0u);
    for (const std::string& offered :
         {*link, "https://example.org/orx700/?lang=ru" + *link, "  " + *link + "\r\n", link->substr(1),
          LinkOf(StateLinkPayload(state))}) {
        std::string read;
        EXPECT_EQ(OpenStateLink(offered, read), TStateLinkVerdict::Sound) << offered;
        EXPECT_EQ(read, state);
    }
}

TEST(StateLinkTest, ADamagedFutureForeignOrOversizedLinkIsRefusedWithItsReason) {
    const std::string state = AState();
    const std::string link = *MakeStateLink(state);
    std::string changed = link;
    changed[link.size() / 2] = changed[link.size() / 2] == 'A' ? 'B' : 'A';
    std::string payload = StateLinkPayload(state);
    payload[payload.size() - 3] ^= 1; // the text no longer matches its check line
    const std::string big(STATE_LINK_MAX_TEXT + 1, 'x');
    const struct {
        std::string Link;
        TStateLinkVerdict Verdict;
    } cases[] = {
        {link.substr(0, link.size() - 12), TStateLinkVerdict::Damaged},
        {link.substr(0, link.size() - 1), TStateLinkVerdict::Damaged},
        {changed, TStateLinkVerdict::Damaged},
        {LinkOf(payload), TStateLinkVerdict::Damaged},
        {LinkOf(state), TStateLinkVerdict::Damaged}, // no check line
        {link + "AAAA", TStateLinkVerdict::Damaged}, // junk after the stream
        {"#state=1.", TStateLinkVerdict::Damaged},
        {"#state=1.abc+/", TStateLinkVerdict::Damaged},
        {"#state=1.a", TStateLinkVerdict::Damaged},
        {"#state=x.abcd", TStateLinkVerdict::Damaged},
        {"#state=0." + link.substr(9), TStateLinkVerdict::Damaged},
        {"#state=abcd", TStateLinkVerdict::Damaged},
        {"#state=2." + link.substr(9), TStateLinkVerdict::Future},
        {"#state=10.whatever", TStateLinkVerdict::Future},
        {"#exercise=1." + link.substr(9), TStateLinkVerdict::NotALink},
        {state, TStateLinkVerdict::NotALink},
        {"", TStateLinkVerdict::NotALink},
        {LinkOf(StateLinkPayload(big)), TStateLinkVerdict::TooLong},
        {LinkOf(StateLinkPayload(big + big)), TStateLinkVerdict::Damaged}, // no program made it
        {"#state=1." + std::string(STATE_LINK_MAX_CHARS, 'A'), TStateLinkVerdict::TooLong},
    };
    for (const auto& c : cases) {
        std::string read = "untouched";
        EXPECT_EQ(OpenStateLink(c.Link, read), c.Verdict) << c.Link.substr(0, 80);
        EXPECT_EQ(read, "untouched");
    }
    EXPECT_FALSE(MakeStateLink(big));
    std::string read;
    const std::string largest(STATE_LINK_MAX_TEXT, 'x');
    ASSERT_TRUE(MakeStateLink(largest));
    EXPECT_EQ(OpenStateLink(*MakeStateLink(largest), read), TStateLinkVerdict::Sound);
    EXPECT_EQ(read, largest);
}

TEST(StateLinkTest, Base64UrlMatchesTheStandardsVectorsAndRefusesOtherAlphabets) {
    const std::pair<std::string, std::string> vectors[] = {
        {"", ""},
        {"f", "Zg"},
        {"fo", "Zm8"},
        {"foo", "Zm9v"},
        {"foob", "Zm9vYg"},
        {"\xfb\xff", "-_8"},
        {std::string("\0\x10\x83", 3), "ABCD"},
    };
    for (const auto& [bytes, text] : vectors) {
        EXPECT_EQ(Base64UrlEncode(bytes), text);
        EXPECT_EQ(Base64UrlDecode(text), bytes);
    }
    for (const char* bad : {"Zg=", "+_8", "/_8", "Z", "Zm9vY", "Zm 9"})
        EXPECT_FALSE(Base64UrlDecode(bad)) << bad;
}

} // namespace
