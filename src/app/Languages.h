#pragma once
// The languages the program offers: the LANGUAGE_LIST resource read into the
// items of the language box, and the choice of the first language.
#include "platform/LanguageList.h"

#include <QString>

#include <memory>
#include <string>
#include <vector>

class QTranslator;

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

// Qt's own texts (the file dialog's, the message boxes' buttons) in the
// window's language: Qt's translation for it, from Qt's translations folder,
// installed in the application for as long as this object lives and that
// language is chosen.
class TQtTranslation {
  public:
    TQtTranslation();
    ~TQtTranslation();
    TQtTranslation(const TQtTranslation&) = delete;
    TQtTranslation& operator=(const TQtTranslation&) = delete;

    // Replaces the installed translation with that of language. False when
    // Qt has none for it (English, Qt's own, or a language Qt's translations
    // lack, or no translations installed): Qt's texts are then in English.
    bool Use(LANGID language);

  private:
    std::unique_ptr<QTranslator> FTranslator;
};
