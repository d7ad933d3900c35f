// The golden comparison a reviewer relies on: header lines are not content,
// a mismatch leaves the output beside the golden and points at the changed
// columns, and a later match clears that output away.
#include "GoldenFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(GoldenFile, SkipsHeaderLeavesActualOnMismatchAndClearsItOnMatch) {
    const fs::path dir = fs::temp_directory_path() / ("orx_golden_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path golden = dir / "screen.golden";
    const fs::path actualFile = dir / "screen.golden.actual";
    std::ofstream(golden, std::ios::binary)
        << "// Written by a test.\n// second header line\n#..#\nK2 balloon:\n";

    EXPECT_EQ(GoldenContent(Read(golden)), "#..#\nK2 balloon:\n");
    EXPECT_EQ(GoldenContent("#..#\n// not a header below content\n"),
              "#..#\n// not a header below content\n");

    const ::testing::AssertionResult differs = MatchesGoldenFile(golden, "#.##\nK2 balloon:\n");
    EXPECT_FALSE(differs);
    const std::string message = differs.message();
    EXPECT_NE(message.find("line 1:\n  golden: #..#\n  actual: #.##\n            ^ \n"), std::string::npos)
        << message;
    EXPECT_EQ(message.find("line 2"), std::string::npos) << "an equal line is not listed:\n" << message;
    EXPECT_EQ(Read(actualFile), "#.##\nK2 balloon:\n");

    EXPECT_TRUE(MatchesGoldenFile(golden, "#..#\nK2 balloon:\n"));
    EXPECT_FALSE(fs::exists(actualFile)) << "a stale output would mislead the next review";
    EXPECT_FALSE(MatchesGoldenFile(dir / "missing.golden", "x\n"));
    fs::remove_all(dir);
}

} // namespace
