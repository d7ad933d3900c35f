#include "recording/StateLinkDeflate.h"

#include "state/RawDeflate.h"

std::optional<std::string> MakeStateLink(const std::string& stateText) {
    if (stateText.size() > STATE_LINK_MAX_TEXT) return std::nullopt;
    const auto packed = RawDeflate(StateLinkPayload(stateText));
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
    const auto payload = RawInflate(*packed, STATE_LINK_MAX_TEXT + 64);
    if (!payload) return TStateLinkVerdict::Damaged;
    auto text = StateLinkPayloadText(*payload);
    if (!text) return TStateLinkVerdict::Damaged;
    if (text->size() > STATE_LINK_MAX_TEXT) return TStateLinkVerdict::TooLong;
    stateText = std::move(*text);
    return TStateLinkVerdict::Sound;
}
