#include "state/RawDeflate.h"

#include <zlib.h>

namespace {

constexpr int kRawDeflate = -15; // window bits: a raw stream, the largest window

} // namespace

std::optional<std::string> RawDeflate(std::string_view data) {
    z_stream z{};
    if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, kRawDeflate, 9, Z_DEFAULT_STRATEGY) != Z_OK)
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

std::optional<std::string> RawInflate(std::string_view data, std::size_t limit) {
    z_stream z{};
    if (inflateInit2(&z, kRawDeflate) != Z_OK) return std::nullopt;
    // One byte more room than allowed tells a stream past the limit.
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
