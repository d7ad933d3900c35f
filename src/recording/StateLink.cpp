#include "recording/StateLink.h"

#include "recording/RecordingHash.h"

#include <cinttypes>
#include <cstdint>
#include <cstdio>

namespace {

constexpr std::string_view kKey = "state=";
constexpr std::string_view kCheck = "state-check ";

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
    if (data.empty() || data.find_first_not_of(BASE64URL_ALPHABET) != std::string_view::npos)
        return {TStateLinkVerdict::Damaged, {}};
    return {TStateLinkVerdict::Sound, std::string(data)};
}
