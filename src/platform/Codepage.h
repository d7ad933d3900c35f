#pragma once
// The LCD speaks Windows code page 1251; the string files are UTF-8.
#include <string>

// Characters code page 1251 lacks become '?'; malformed UTF-8 bytes too.
std::string Utf8ToCp1251(const std::string& utf8);
std::string Cp1251ToUtf8(const std::string& cp1251);
