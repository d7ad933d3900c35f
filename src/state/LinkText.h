#pragma once
// The text form of the program's links (state and exercise links): bytes as
// base64url without padding, the alphabet an address's fragment carries
// unescaped. Shared by the native front ends and the page's module.
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::string_view BASE64URL_ALPHABET =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

std::string Base64UrlEncode(std::string_view bytes);
// None for a character outside the alphabet or a length no whole number of
// bytes gives (a last group of one character).
std::optional<std::string> Base64UrlDecode(std::string_view text);
