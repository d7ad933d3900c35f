#include "recording/StateLinkDeflate.h"

#include <zlib.h>

namespace {

constexpr int kRawDeflate = -15; // window bits: a raw stream, no zlib header

std::optional<std::string> Deflate(const std::string& data) {
    z_stream z{};
    if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kRawDeflate, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return std::nullopt;
    std::string out(deflateBound(&z, static_cast<uLong>(data.size())), '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (result != Z_STREAM_END) return std::nullopt;
    return out;
}

// None for a stream that is damaged, cut short, followed by junk, or that
// would inflate past limit (a link made to exhaust memory).
std::optional<std::string> Inflate(const std::string& data, std::size_t limit) {
    z_stream z{};
    if (inflateInit2(&z, kRawDeflate) != Z_OK) return std::nullopt;
    std::string out(limit + 1, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&z, Z_FINISH);
    const bool whole = result == Z_STREAM_END && z.avail_in == 0 && z.total_out <= limit;
    out.resize(z.total_out);
    inflateEnd(&z);
    if (!whole) return std::nullopt;
    return out;
}

} // namespace

std::optional<std::string> MakeStateLink(const std::string& stateText) {
    if (stateText.size() > STATE_LINK_MAX_TEXT) return std::nullopt;
    const auto packed = Deflate(StateLinkPayload(stateText));
    if (!packed) return std::nullopt;
    std::string link = StateLinkHead() + Base64UrlEncode(*packed);
    if (link.size() > STATE_LINK_MAX_CHARS) return std::nullopt;
    return link;
}

TStateLinkVerdict OpenStateLink(const std::string& link, std::string& stateText) {
    const TStateLinkParts parts = SplitStateLink(link);
    if (parts.Verdict != TStateLinkVerdict::Sound) return parts.Verdict;
    const auto packed = Base64UrlDecode(parts.Data);
    if (!packed) return TStateLinkVerdict::Damaged;
    // The check line and the largest text.
    const auto payload = Inflate(*packed, STATE_LINK_MAX_TEXT + 64);
    if (!payload) return TStateLinkVerdict::Damaged;
    auto text = StateLinkPayloadText(*payload);
    if (!text) return TStateLinkVerdict::Damaged;
    if (text->size() > STATE_LINK_MAX_TEXT) return TStateLinkVerdict::TooLong;
    stateText = std::move(*text);
    return TStateLinkVerdict::Sound;
}
