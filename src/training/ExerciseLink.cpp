#include "training/ExerciseLink.h"

#include "resources/StringIds.h"
#include "state/LinkText.h"
#include "state/RawDeflate.h"
#include "training/ExerciseFile.h"

#include <cstdint>

std::string MakeExerciseLink(std::string_view address, std::string_view text) {
    const std::string_view page = address.substr(0, address.find('#'));
    return std::string(page) + std::string(EXERCISE_LINK_KEY) + std::string(EXERCISE_LINK_VERSION) + "." +
           Base64UrlEncode(RawDeflate(text).value_or(std::string()));
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
    const auto packed = Base64UrlDecode(body.substr(dot + 1));
    auto unpacked = packed ? RawInflate(*packed, MAX_EXERCISE_FILE_BYTES) : std::nullopt;
    if (!unpacked) return TEXT_LINK_DAMAGED;
    text = std::move(*unpacked);
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
