#pragma once
// String tables by id in the calling thread's language.
#include <cstdint>
#include <string>

using LANGID = uint16_t;
inline constexpr LANGID LANG_ENGLISH = 0x0409; // 1033
inline constexpr LANGID LANG_RUSSIAN = 0x0419; // 1049

// Each thread has its own language; a new thread starts in English.
void SetThreadLanguage(LANGID lang);
LANGID GetThreadLanguage();

// The text of id in the calling thread's language, UTF-8; empty when the
// table lacks the id (or there is no table for the language).
std::string LoadStr(int id);
