#pragma once
// The program's built-in resources by name (fonts, language list, string
// tables, later the stored data), compiled in from resources/.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

using TResourceBytes = std::span<const uint8_t>;

// Empty optional when the program has no resource of that name.
std::optional<TResourceBytes> FindResource(const std::string& name);

// Replaces (or, with no bytes, removes) one resource for the life of the
// object: how a test shows the program a damaged or missing resource. Create
// and destroy only while no other thread looks resources up.
class TResourceOverride {
  public:
    TResourceOverride(std::string name, std::optional<std::basic_string<uint8_t>> bytes);
    ~TResourceOverride();
    TResourceOverride(const TResourceOverride&) = delete;
    TResourceOverride& operator=(const TResourceOverride&) = delete;

  private:
    std::string FName;
};
