#pragma once
// The languages the program offers: the LANGUAGE_LIST resource read into the
// items of the language box, and the choice of the first language.
#include "platform/Resources.h"
#include "platform/Strings.h"

#include <optional>
#include <string>
#include <vector>

struct TLanguageItem {
    std::string Name; // as the language box shows it
    LANGID Id;
};

// Records of a 16-bit little-endian LANGID and a zero-terminated name, read
// to the end of bytes. An empty name becomes the language's three-letter
// abbreviation; a name cut short by the end of the data ends there, and a
// trailing byte too short for a LANGID is ignored.
std::vector<TLanguageItem> ReadLanguageList(TResourceBytes bytes);

// The platform's abbreviated name of a language, "RUS" for 0x0419; for a
// language it does not know, the identifier in hexadecimal.
std::string LanguageAbbreviation(LANGID id);

// The item to start with: the one named savedName (letter case ignored), else
// the first whose LANGID is threadLocale, else the first; none for no items.
std::optional<std::size_t> ChooseStartLanguage(const std::vector<TLanguageItem>& items,
                                               const std::string& savedName, uint32_t threadLocale);

// The user's system language as a LANGID (primary language, default
// sublanguage); English when the system's language is not one we can name.
LANGID SystemLanguage();
