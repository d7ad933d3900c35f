#pragma once
// Text a reader of an exercise file should not see at a glance (the hidden
// conditions): a keyed scramble, then base64. The key is in this program, so
// it hides nothing from someone who decodes the file on purpose; it keeps an
// answer from being read off by chance.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

std::string EncodeHiddenText(std::string_view text);
// None for anything EncodeHiddenText did not make (a character outside
// base64, a length that is not a whole number of groups).
std::optional<std::string> DecodeHiddenText(std::string_view encoded);

// FNV-1a over the bytes: the stable 64-bit hash of files' content, and its
// 16 lower-case hexadecimal digits.
uint64_t ContentHash(std::string_view bytes);
std::string HashHex(uint64_t hash);
