#pragma once
// Running orx700-dsp's whole command line in the test, and a scratch
// directory of the test's own for its files.
#include "TextLines.h"
#include "dsp/DspCommand.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

struct TRun {
    int Status;
    std::string Out;
    std::string Err;
};

inline TRun Dsp(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = RunDspCommand(args, out, err);
    return {status, out.str(), err.str()};
}

// The lines of a spectrum's output after its scale line, as line number and
// value; a line that does not read as two numbers gives -1 for what is missing.
struct TSpectrumLine {
    int Number;
    long Value;
};
inline std::vector<TSpectrumLine> SpectrumLines(const std::string& out) {
    std::vector<TSpectrumLine> lines;
    const auto text = TextLines(out);
    for (std::size_t i = 1; i < text.size(); ++i) {
        std::istringstream fields(text[i]);
        TSpectrumLine line{-1, -1};
        fields >> line.Number >> line.Value;
        lines.push_back(line);
    }
    return lines;
}
// The number of the strongest line, the first of equals.
inline int StrongestLine(const std::vector<TSpectrumLine>& lines) {
    int strongest = 0;
    long strongestValue = -1;
    for (const TSpectrumLine& line : lines) {
        if (line.Value > strongestValue) {
            strongest = line.Number;
            strongestValue = line.Value;
        }
    }
    return strongest;
}

// A scratch directory of the test's own, removed with it.
class DspCommandTest : public ::testing::Test {
  protected:
    DspCommandTest()
        : FDir(std::filesystem::temp_directory_path() /
               ("orx-dsp-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name() + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
        std::filesystem::create_directories(FDir);
    }
    ~DspCommandTest() override { std::filesystem::remove_all(FDir); }

    std::string Path(const std::string& name) const { return (FDir / name).string(); }
    std::string WriteFile(const std::string& name, const std::string& bytes) {
        const auto path = Path(name);
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

  private:
    std::filesystem::path FDir;
};
