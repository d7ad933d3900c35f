#include "state/LinkText.h"

#include <array>
#include <cstdint>

std::string Base64UrlEncode(std::string_view bytes) {
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    uint32_t bits = 0;
    int count = 0;
    for (const char c : bytes) {
        bits = (bits << 8) | static_cast<uint8_t>(c);
        count += 8;
        while (count >= 6) {
            count -= 6;
            out += BASE64URL_ALPHABET[(bits >> count) & 0x3F];
        }
        bits &= (1u << count) - 1; // keep only the bits not written yet
    }
    if (count > 0) out += BASE64URL_ALPHABET[(bits << (6 - count)) & 0x3F];
    return out;
}

std::optional<std::string> Base64UrlDecode(std::string_view text) {
    static const std::array<int8_t, 256> kValue = [] {
        std::array<int8_t, 256> value{};
        value.fill(-1);
        for (std::size_t i = 0; i < BASE64URL_ALPHABET.size(); ++i)
            value[static_cast<uint8_t>(BASE64URL_ALPHABET[i])] = static_cast<int8_t>(i);
        return value;
    }();
    if (text.size() % 4 == 1) return std::nullopt;
    std::string out;
    out.reserve(text.size() * 3 / 4);
    uint32_t bits = 0;
    int count = 0;
    for (const char c : text) {
        const int8_t v = kValue[static_cast<uint8_t>(c)];
        if (v < 0) return std::nullopt;
        bits = (bits << 6) | static_cast<uint32_t>(v);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out += static_cast<char>((bits >> count) & 0xFF);
        }
        bits &= (1u << count) - 1;
    }
    return out;
}
