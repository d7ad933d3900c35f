#include "recording/KeyEventNames.h"

#include "device/KeyCodes.h"

#include <array>
#include <utility>

namespace {

// clang-format off
const std::array<std::pair<int16_t, const char*>, 8> KEY_COMMANDS = {{
    {KEY_K1 + KEY_SHORT, "k1"}, {KEY_K1 + KEY_LONG, "k1-long"}, {KEY_K1 + KEY_REPEAT, "k1-hold"},
    {KEY_K2 + KEY_SHORT, "k2"}, {KEY_K2 + KEY_LONG, "k2-long"}, {KEY_K2 + KEY_REPEAT, "k2-hold"},
    {KEY_BOTH, "both"}, {KEY_NONE, "none"}}};
// clang-format on

} // namespace

std::string KeyEventCommand(int16_t code) {
    for (const auto& [c, name] : KEY_COMMANDS)
        if (c == code) return name;
    return {};
}

std::optional<int16_t> KeyEventFromCommand(const std::string& command) {
    for (const auto& [c, name] : KEY_COMMANDS)
        if (command == name) return c;
    return std::nullopt;
}
