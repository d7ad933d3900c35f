#include "training/HiddenText.h"

#include "signals/SignalMath.h"

#include <array>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr uint64_t kScrambleKey = 0x6F72'7837'3030'6578ull;

// The same stream of key bytes for both directions.
std::string Scramble(std::string_view text) {
    TSplitMix mix(kScrambleKey);
    std::string out(text);
    uint64_t bits = 0;
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (i % 8 == 0) bits = mix.Next();
        out[i] =
            static_cast<char>(static_cast<uint8_t>(out[i]) ^ static_cast<uint8_t>(bits >> (8 * (i % 8))));
    }
    return out;
}

int Sextet(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

} // namespace

std::string EncodeHiddenText(std::string_view text) {
    const std::string bytes = Scramble(text);
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        uint32_t group = static_cast<uint32_t>(static_cast<uint8_t>(bytes[i])) << 16;
        if (i + 1 < bytes.size()) group |= static_cast<uint32_t>(static_cast<uint8_t>(bytes[i + 1])) << 8;
        if (i + 2 < bytes.size()) group |= static_cast<uint8_t>(bytes[i + 2]);
        out += kAlphabet[(group >> 18) & 63];
        out += kAlphabet[(group >> 12) & 63];
        out += i + 1 < bytes.size() ? kAlphabet[(group >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kAlphabet[group & 63] : '=';
    }
    return out;
}

std::optional<std::string> DecodeHiddenText(std::string_view encoded) {
    if (encoded.size() % 4 != 0) return std::nullopt;
    std::string bytes;
    bytes.reserve(encoded.size() / 4 * 3);
    for (std::size_t i = 0; i < encoded.size(); i += 4) {
        // Padding only at the end of the last group: a '=' anywhere else is
        // no sextet and fails below.
        std::size_t pad = 0;
        if (i + 4 == encoded.size() && encoded[i + 3] == '=') pad = encoded[i + 2] == '=' ? 2 : 1;
        std::array<int, 4> s{};
        for (std::size_t k = 0; k < 4 - pad; ++k) {
            s[k] = Sextet(encoded[i + k]);
            if (s[k] < 0) return std::nullopt;
        }
        const uint32_t group = static_cast<uint32_t>(s[0]) << 18 | static_cast<uint32_t>(s[1]) << 12 |
                               static_cast<uint32_t>(s[2]) << 6 | static_cast<uint32_t>(s[3]);
        bytes += static_cast<char>((group >> 16) & 0xFF);
        if (pad < 2) bytes += static_cast<char>((group >> 8) & 0xFF);
        if (pad < 1) bytes += static_cast<char>(group & 0xFF);
    }
    return Scramble(bytes);
}

uint64_t ContentHash(std::string_view bytes) {
    uint64_t hash = 0xcbf2'9ce4'8422'2325ull;
    for (const char c : bytes) {
        hash ^= static_cast<uint8_t>(c);
        hash *= 0x0000'0100'0000'01b3ull; // unsigned: wraps modulo 2^64 by definition
    }
    return hash;
}

std::string HashHex(uint64_t hash) {
    static const char* const kHex = "0123456789abcdef";
    std::string out(16, '0');
    for (int i = 15; i >= 0; --i, hash >>= 4)
        out[static_cast<std::size_t>(i)] = kHex[hash & 0xF];
    return out;
}
