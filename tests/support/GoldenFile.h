#pragma once
// Golden files: the expected output of a test kept as text beside it, so that
// a changed screen is reviewed as a diff. A golden may begin with header lines
// ("// ...", written with it) naming the test that writes it; the comparison
// skips them. ORX_UPDATE_GOLDEN=1 in the environment rewrites the goldens
// instead of comparing them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

// Compares actual with the golden file, the header lines skipped. On a
// mismatch writes actual to "<golden>.actual" beside it, so the two files
// can be diffed, and fails listing the differing lines; on a match removes a
// stale ".actual". Under ORX_UPDATE_GOLDEN=1 writes the golden instead,
// headed by the name of the running test.
::testing::AssertionResult MatchesGoldenFile(const std::filesystem::path& golden, const std::string& actual);

// The text of a golden file without its header lines.
std::string GoldenContent(const std::string& file);
