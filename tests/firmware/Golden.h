#pragma once
// The firmware tests' golden screens, kept in the scenario folder beside the
// key scripts.
#include "GoldenFile.h"

#include <filesystem>
#include <string>

inline std::filesystem::path ScenarioDir() {
    return ORX_SCENARIO_DIR;
}

// Compares actual with the golden file "<name>.golden" of the scenario folder.
inline void ExpectMatchesGolden(const std::string& name, const std::string& actual) {
    EXPECT_TRUE(MatchesGoldenFile(ScenarioDir() / (name + ".golden"), actual));
}
