#include "platform/Resources.h"

#include "platform/ResourceTable.h"

#include <cstring>
#include <map>

namespace {

std::map<std::string, std::optional<std::basic_string<uint8_t>>>& Overrides() {
    static std::map<std::string, std::optional<std::basic_string<uint8_t>>> overrides;
    return overrides;
}

} // namespace

std::optional<TResourceBytes> FindResource(const std::string& name) {
    const auto& overrides = Overrides();
    if (const auto it = overrides.find(name); it != overrides.end()) {
        if (!it->second) return std::nullopt;
        return TResourceBytes(it->second->data(), it->second->size());
    }
    for (std::size_t i = 0; i < g_EmbeddedResourceCount; ++i) {
        const TEmbeddedResource& resource = g_EmbeddedResources[i];
        if (std::strcmp(resource.Name, name.c_str()) == 0)
            return TResourceBytes(resource.Data, resource.Size);
    }
    return std::nullopt;
}

TResourceOverride::TResourceOverride(std::string name, std::optional<std::basic_string<uint8_t>> bytes)
    : FName(std::move(name)) {
    Overrides()[FName] = std::move(bytes);
}

TResourceOverride::~TResourceOverride() {
    Overrides().erase(FName);
}
