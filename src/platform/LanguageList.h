#pragma once
// The languages a front end offers: the LANGUAGE_LIST resource read into
// items, and the choice of the first language. Shared by every front end.
#include "platform/Resources.h"
#include "platform/Strings.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

struct TLanguageItem {
    std::string Name; // as the language box shows it
    LANGID Id;
};

// Records of a 16-bit little-endian LANGID and a zero-terminated name, read
// to the end of bytes. An empty name becomes abbreviate(LANGID), the front
// end's three-letter name of the language; a name cut short by the end of
// the data ends there, and a trailing byte too short for a LANGID is ignored.
std::vector<TLanguageItem> ReadLanguageList(TResourceBytes bytes,
                                            const std::function<std::string(LANGID)>& abbreviate);

// The item to start with: the one named savedName (letter case ignored), else
// the first whose LANGID is threadLocale, else the first; none for no items.
std::optional<std::size_t> ChooseStartLanguage(const std::vector<TLanguageItem>& items,
                                               const std::string& savedName, uint32_t threadLocale);
