#include "training/ExerciseLink.h"

#include "resources/StringIds.h"
#include "training/ExerciseFile.h"

#include <zlib.h>

#include <array>
#include <cstdint>

namespace {

constexpr std::string_view kDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

std::string Base64Url(const std::string& bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    uint32_t bits = 0;
    int count = 0;
    for (const char c : bytes) {
        bits = (bits << 8) | static_cast<uint8_t>(c);
        count += 8;
        while (count >= 6) {
            count -= 6;
            out.push_back(kDigits[(bits >> count) & 63u]);
        }
        bits &= (1u << count) - 1u;
    }
    if (count > 0) out.push_back(kDigits[(bits << (6 - count)) & 63u]);
    return out;
}

// False for a character outside base64url or a length no whole number of
// bytes gives (a group of one character).
bool FromBase64Url(std::string_view text, std::string& bytes) {
    std::array<int, 256> value{};
    value.fill(-1);
    for (std::size_t i = 0; i < kDigits.size(); ++i)
        value[static_cast<uint8_t>(kDigits[i])] = static_cast<int>(i);
    if (text.size() % 4 == 1) return false;
    uint32_t bits = 0;
    int count = 0;
    for (const char c : text) {
        const int v = value[static_cast<uint8_t>(c)];
        if (v < 0) return false;
        bits = (bits << 6) | static_cast<uint32_t>(v);
        count += 6;
        if (count >= 8) {
            count -= 8;
            bytes.push_back(static_cast<char>((bits >> count) & 0xFFu));
        }
        bits &= (1u << count) - 1u;
    }
    return true;
}

std::string Deflate(std::string_view text) {
    z_stream stream{};
    // -15: raw deflate, the largest window.
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK) return {};
    std::string out(deflateBound(&stream, static_cast<uLong>(text.size())), '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return result == Z_STREAM_END ? out : std::string();
}

// False for a stream that is damaged, ends early, has bytes after its end,
// or inflates past an exercise file's size.
bool Inflate(const std::string& packed, std::string& text) {
    z_stream stream{};
    if (inflateInit2(&stream, -15) != Z_OK) return false;
    std::string out(MAX_EXERCISE_FILE_BYTES + 1, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.data()));
    stream.avail_in = static_cast<uInt>(packed.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    const int result = inflate(&stream, Z_FINISH);
    // One byte more room than a file may hold tells a stream past the limit.
    const bool whole =
        result == Z_STREAM_END && stream.avail_in == 0 && stream.total_out <= MAX_EXERCISE_FILE_BYTES;
    out.resize(stream.total_out);
    inflateEnd(&stream);
    if (!whole) return false;
    text = std::move(out);
    return true;
}

} // namespace

std::string MakeExerciseLink(std::string_view address, std::string_view text) {
    const std::string_view page = address.substr(0, address.find('#'));
    return std::string(page) + std::string(EXERCISE_LINK_KEY) + std::string(EXERCISE_LINK_VERSION) + "." +
           Base64Url(Deflate(text));
}

int ReadExerciseLink(std::string_view link, std::string& text) {
    const std::size_t key = link.find(EXERCISE_LINK_KEY);
    if (key == std::string_view::npos) return TEXT_LINK_DAMAGED;
    const std::string_view body = link.substr(key + EXERCISE_LINK_KEY.size());
    const std::size_t dot = body.find('.');
    if (dot == std::string_view::npos || dot == 0) return TEXT_LINK_DAMAGED;
    const std::string_view version = body.substr(0, dot);
    if (version != EXERCISE_LINK_VERSION)
        return version.find_first_not_of("0123456789") == std::string_view::npos ? TEXT_LINK_FUTURE
                                                                                 : TEXT_LINK_DAMAGED;
    std::string packed;
    std::string unpacked;
    if (!FromBase64Url(body.substr(dot + 1), packed) || !Inflate(packed, unpacked)) return TEXT_LINK_DAMAGED;
    text = std::move(unpacked);
    return 0;
}

bool IsWebAddress(std::string_view address) {
    std::string_view rest;
    if (address.starts_with("https://"))
        rest = address.substr(8);
    else if (address.starts_with("http://"))
        rest = address.substr(7);
    else
        return false;
    if (rest.empty() || rest.front() == '/' || rest.front() == '#' || rest.front() == '?') return false;
    for (const char c : address)
        if (static_cast<uint8_t>(c) <= ' ' || c == 0x7F) return false;
    return true;
}
