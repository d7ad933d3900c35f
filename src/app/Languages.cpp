#include "app/Languages.h"

#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <QGuiApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <array>
#include <cstdio>
#include <optional>
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

std::optional<QLocale::Language> KnownLanguage(LANGID id) {
    const LANGID primary = id & PRIMARY_LANGUAGE_MASK;
    for (const auto& [known, language] : kPrimaryLanguages)
        if (known == primary) return language;
    return std::nullopt;
}

} // namespace

std::vector<TLanguageItem> ReadLanguageList(TResourceBytes bytes) {
    return ReadLanguageList(bytes, LanguageAbbreviation);
}

std::string LanguageAbbreviation(LANGID id) {
    if (const auto language = KnownLanguage(id))
        return QLocale::languageToCode(*language, QLocale::ISO639Part2T).toUpper().toStdString();
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%04X", static_cast<unsigned>(id));
    return hex;
}

LANGID SystemLanguage() {
    const QLocale::Language language = QLocale::system().language();
    for (const auto& [primary, known] : kPrimaryLanguages)
        if (known == language) return static_cast<LANGID>(SUBLANG_DEFAULT | primary);
    return LANG_ENGLISH;
}

QString ApplicationTitle() {
    return QString::fromStdString(LoadStr(TEXT_PROGRAM_NAME));
}

void KeepWindowTitlesExact() {
    QGuiApplication::setApplicationDisplayName(QString());
}

TQtTranslation::TQtTranslation() = default;

TQtTranslation::~TQtTranslation() {
    if (FTranslator) QCoreApplication::removeTranslator(FTranslator.get());
}

bool TQtTranslation::Use(LANGID language) {
    if (FTranslator) QCoreApplication::removeTranslator(FTranslator.get());
    FTranslator.reset();
    const auto known = KnownLanguage(language);
    if (!known || *known == QLocale::English) return false;
    // The widgets' texts are in Qt's base module.
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(QLocale(*known), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return false;
    QCoreApplication::installTranslator(translator.get());
    FTranslator = std::move(translator);
    return true;
}
