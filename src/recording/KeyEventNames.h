#pragma once
// Key event codes as a script names them: "k1", "k2-long", "both", ...
#include <cstdint>
#include <optional>
#include <string>

// The script command that posts code; empty for a code no key makes.
std::string KeyEventCommand(int16_t code);
std::optional<int16_t> KeyEventFromCommand(const std::string& command);
