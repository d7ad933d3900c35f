#pragma once
// The registry of resources compiled into the program. The build generates
// its definition from the files under resources/; the lookup by name lives in
// Resources.h.
#include <cstddef>
#include <cstdint>

struct TEmbeddedResource {
    const char* Name;
    const std::uint8_t* Data;
    std::size_t Size;
};

extern const TEmbeddedResource g_EmbeddedResources[];
extern const std::size_t g_EmbeddedResourceCount;
