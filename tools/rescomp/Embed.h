#pragma once
#include <string>
#include <vector>

// Writes a C++ source defining g_EmbeddedResources from NAME=FILE pairs.
bool EmbedResources(const std::string& outPath, const std::vector<std::string>& pairs, std::string& error);
