#include "platform/Strings.h"

#include "platform/Resources.h"
#include "platform/StringTable.h"

#include <cstdio>
#include <map>
#include <mutex>

namespace {

thread_local LANGID t_Language = LANG_ENGLISH;

// Tables are parsed once per language, at their first use, and kept.
const TStringTable& TableFor(LANGID lang) {
    static std::mutex mutex;
    static std::map<LANGID, TStringTable> tables;
    std::lock_guard lock(mutex);
    const auto it = tables.find(lang);
    if (it != tables.end()) return it->second;
    TStringTable table;
    if (const auto bytes = FindResource("STRINGTABLE_" + std::to_string(lang))) {
        std::vector<std::string> errors;
        table = ParseStringTable(std::string(bytes->begin(), bytes->end()), errors);
        // The build checks the tables; this guards against a damaged override.
        for (const std::string& error : errors)
            std::fprintf(stderr, "string table %u: %s\n", lang, error.c_str());
    }
    return tables.emplace(lang, std::move(table)).first->second;
}

} // namespace

void SetThreadLanguage(LANGID lang) {
    t_Language = lang;
}

LANGID GetThreadLanguage() {
    return t_Language;
}

std::string LoadStr(int id) {
    const TStringTable& table = TableFor(t_Language);
    const auto it = table.find(id);
    return it == table.end() ? std::string() : it->second;
}
