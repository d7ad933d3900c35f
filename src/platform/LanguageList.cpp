#include "platform/LanguageList.h"

#include <algorithm>
#include <cctype>

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

std::vector<TLanguageItem> ReadLanguageList(TResourceBytes bytes,
                                            const std::function<std::string(LANGID)>& abbreviate) {
    std::vector<TLanguageItem> items;
    std::size_t at = 0;
    while (bytes.size() - at >= 2) {
        const auto id = static_cast<LANGID>(bytes[at] | (bytes[at + 1] << 8));
        at += 2;
        std::string name;
        while (at < bytes.size() && bytes[at] != 0)
            name += static_cast<char>(bytes[at++]);
        if (at < bytes.size()) ++at; // the terminating zero
        if (name.empty()) name = abbreviate(id);
        items.push_back({std::move(name), id});
    }
    return items;
}

std::optional<std::size_t> ChooseStartLanguage(const std::vector<TLanguageItem>& items,
                                               const std::string& savedName, uint32_t threadLocale) {
    const std::string saved = Lower(savedName);
    for (std::size_t i = 0; i < items.size(); ++i)
        if (Lower(items[i].Name) == saved) return i;
    for (std::size_t i = 0; i < items.size(); ++i)
        if (items[i].Id == threadLocale) return i;
    if (items.empty()) return std::nullopt;
    return 0;
}
