#pragma once
// The languages the program offers: the LANGUAGE_LIST resource read into the
// items of the language box, and the choice of the first language.
#include "platform/LanguageList.h"

#include <QString>

#include <string>
#include <vector>

// The language list with the empty names replaced by LanguageAbbreviation.
std::vector<TLanguageItem> ReadLanguageList(TResourceBytes bytes);

// The platform's abbreviated name of a language, "RUS" for 0x0419; for a
// language it does not know, the identifier in hexadecimal.
std::string LanguageAbbreviation(LANGID id);

// The user's system language as a LANGID (primary language, default
// sublanguage); English when the system's language is not one we can name.
LANGID SystemLanguage();

// The application title (the program name) in the GUI thread's language: the main
// window's caption and the caption of the program's message boxes.
QString ApplicationTitle();

// Every window's title is exactly its caption. Qt's window systems append
// " - <application display name>" to a title that does not end with that
// name; an empty display name ends every title, so nothing is appended.
void KeepWindowTitlesExact();
