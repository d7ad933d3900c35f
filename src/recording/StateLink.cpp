#include "recording/StateLink.h"

#include "recording/RecordingHash.h"

#include <array>
#include <cinttypes>
#include <cstdint>
#include <cstdio>

namespace {

constexpr std::string_view kKey = "state=";
constexpr std::string_view kCheck = "state-check ";
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

std::string Fingerprint(const std::string& text) {
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016" PRIx64, Fnv1a64(text.data(), text.size()));
    return hex;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

} // namespace

std::string StateLinkHead() {
    std::string head = "#";
    head.append(kKey).append(std::to_string(STATE_LINK_VERSION)).append(".");
    return head;
}

std::string StateLinkPayload(const std::string& stateText) {
    std::string payload;
    payload.reserve(kCheck.size() + 17 + stateText.size());
    payload.append(kCheck).append(Fingerprint(stateText)).append("\n").append(stateText);
    return payload;
}

std::optional<std::string> StateLinkPayloadText(const std::string& payload) {
    const std::size_t head = kCheck.size() + 17;
    if (payload.size() < head || payload.compare(0, kCheck.size(), kCheck) != 0 || payload[head - 1] != '\n')
        return std::nullopt;
    std::string text = payload.substr(head);
    if (payload.compare(kCheck.size(), 16, Fingerprint(text)) != 0) return std::nullopt;
    return text;
}

TStateLinkParts SplitStateLink(std::string_view link) {
    while (!link.empty() && IsBlank(link.front()))
        link.remove_prefix(1);
    while (!link.empty() && IsBlank(link.back()))
        link.remove_suffix(1);
    // The fragment of an address, or the fragment alone with or without '#'.
    std::size_t at = link.find(StateLinkHead().substr(0, kKey.size() + 1));
    if (at != std::string_view::npos)
        at += 1;
    else if (link.substr(0, kKey.size()) == kKey)
        at = 0;
    else
        return {};
    if (link.size() > STATE_LINK_MAX_CHARS) return {TStateLinkVerdict::TooLong, {}};
    const std::string_view body = link.substr(at + kKey.size());
    const std::size_t dot = body.find('.');
    const std::string_view version = body.substr(0, dot);
    if (dot == std::string_view::npos || version.empty() || version.size() > 6 ||
        version.find_first_not_of("0123456789") != std::string_view::npos)
        return {TStateLinkVerdict::Damaged, {}};
    const int number = std::stoi(std::string(version));
    if (number > STATE_LINK_VERSION) return {TStateLinkVerdict::Future, {}};
    if (number != STATE_LINK_VERSION) return {TStateLinkVerdict::Damaged, {}};
    const std::string_view data = body.substr(dot + 1);
    if (data.empty() || data.find_first_not_of(kAlphabet) != std::string_view::npos)
        return {TStateLinkVerdict::Damaged, {}};
    return {TStateLinkVerdict::Sound, std::string(data)};
}

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
            out += kAlphabet[(bits >> count) & 0x3F];
        }
        bits &= (1u << count) - 1; // keep only the bits not written yet
    }
    if (count > 0) out += kAlphabet[(bits << (6 - count)) & 0x3F];
    return out;
}

std::optional<std::string> Base64UrlDecode(std::string_view text) {
    static const std::array<int8_t, 256> kValue = [] {
        std::array<int8_t, 256> value{};
        value.fill(-1);
        for (int i = 0; i < 64; ++i)
            value[static_cast<uint8_t>(kAlphabet[i])] = static_cast<int8_t>(i);
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
