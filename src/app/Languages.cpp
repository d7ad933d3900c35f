#include "app/Languages.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <utility>

namespace {

constexpr LANGID PRIMARY_LANGUAGE_MASK = 0x03FF;
constexpr LANGID SUBLANG_DEFAULT = 0x0400;

// Primary language identifiers of the languages the program may be given a
// string table for, and Qt's names of them.
constexpr std::array<std::pair<LANGID, QLocale::Language>, 14> kPrimaryLanguages{{
    {0x04, QLocale::Chinese},
    {0x07, QLocale::German},
    {0x09, QLocale::English},
    {0x0A, QLocale::Spanish},
    {0x0C, QLocale::French},
    {0x10, QLocale::Italian},
    {0x11, QLocale::Japanese},
    {0x13, QLocale::Dutch},
    {0x15, QLocale::Polish},
    {0x16, QLocale::Portuguese},
    {0x19, QLocale::Russian},
    {0x1D, QLocale::Swedish},
    {0x22, QLocale::Ukrainian},
    {0x23, QLocale::Belarusian},
}};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

std::vector<TLanguageItem> ReadLanguageList(TResourceBytes bytes) {
    std::vector<TLanguageItem> items;
    std::size_t at = 0;
    while (bytes.size() - at >= 2) {
        const auto id = static_cast<LANGID>(bytes[at] | (bytes[at + 1] << 8));
        at += 2;
        std::string name;
        while (at < bytes.size() && bytes[at] != 0)
            name += static_cast<char>(bytes[at++]);
        if (at < bytes.size()) ++at; // the terminating zero
        if (name.empty()) name = LanguageAbbreviation(id);
        items.push_back({std::move(name), id});
    }
    return items;
}

std::string LanguageAbbreviation(LANGID id) {
    const LANGID primary = id & PRIMARY_LANGUAGE_MASK;
    for (const auto& [known, language] : kPrimaryLanguages) {
        if (known != primary) continue;
        return QLocale::languageToCode(language, QLocale::ISO639Part2T).toUpper().toStdString();
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%04X", static_cast<unsigned>(id));
    return hex;
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

LANGID SystemLanguage() {
    const QLocale::Language language = QLocale::system().language();
    for (const auto& [primary, known] : kPrimaryLanguages)
        if (known == language) return static_cast<LANGID>(SUBLANG_DEFAULT | primary);
    return LANG_ENGLISH;
}
