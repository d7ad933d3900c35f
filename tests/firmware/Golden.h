#pragma once
// Golden files of the firmware tests: text kept beside the tests, compared
// line by line; ORX_UPDATE_GOLDEN=1 in the environment rewrites them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

// Compares actual with the golden file name (under the scenario folder);
// adds a failure listing the differing lines, or rewrites the file.
void ExpectMatchesGolden(const std::string& name, const std::string& actual);

std::filesystem::path ScenarioDir();
