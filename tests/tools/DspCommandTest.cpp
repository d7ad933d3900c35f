// orx700-dsp's contract as scripts see it: exit status, the shape of every
// output, one-line errors, and a waveform file that stands for the stored
// waveform it was written from.
#include "dsp/DspCommand.h"
#include "DspRun.h"
#include "measure/Computing1.h"
#include "measure/Samplingimp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <unistd.h>

namespace {

struct TBadCall {
    const char* Case;
    std::vector<std::string> Args;
    std::string Says;
};

std::ostream& operator<<(std::ostream& os, const TBadCall& c) {
    return os << c.Case;
}

class DspBadCallTest : public ::testing::TestWithParam<TBadCall> {};

TEST_P(DspBadCallTest, GetsOneLineOnStandardErrorAndStatusTwo) {
    const TRun run = Dsp(GetParam().Args);
    EXPECT_EQ(run.Status, DSP_EXIT_USAGE);
    EXPECT_EQ(run.Out, "");
    ASSERT_EQ(TextLines(run.Err).size(), 1u) << run.Err;
    EXPECT_EQ(run.Err.rfind("orx700-dsp: ", 0), 0u) << run.Err;
    EXPECT_NE(run.Err.find(GetParam().Says), std::string::npos) << run.Err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DspBadCallTest,
    ::testing::Values(
        TBadCall{"NoArguments", {}, "missing command"},
        TBadCall{"UnknownCommand", {"peaks", "--kind", "0", "--builtin", "0"}, "unknown command 'peaks'"},
        TBadCall{"UnknownOption", {"levels", "--kind", "0", "--raw", "f.bin"}, "unknown option '--raw'"},
        TBadCall{"MissingKind", {"levels", "--builtin", "0"}, "needs --kind"},
        TBadCall{"KindWithoutValue", {"spectrum", "--builtin", "0", "--kind"}, "--kind needs a value"},
        TBadCall{"KindOutOfRange", {"spectrum", "--kind", "3", "--builtin", "0"}, "not '3'"},
        TBadCall{"KindNotANumber", {"spectrum", "--kind", "x", "--builtin", "0"}, "not 'x'"},
        TBadCall{"KindTwice", {"spectrum", "--kind", "0", "--kind", "1", "--builtin", "0"}, "twice"},
        TBadCall{"LevelsOfTheHighFrequencyKind",
                 {"levels", "--kind", "2", "--builtin", "2"},
                 "kinds 0 and 1 only"},
        TBadCall{"NoInput", {"levels", "--kind", "0"}, "needs FILE or --builtin"},
        TBadCall{"FileAndBuiltin", {"levels", "--kind", "0", "--builtin", "0", "f.bin"}, "not both"},
        TBadCall{"TwoFiles", {"levels", "--kind", "0", "a.bin", "b.bin"}, "more than one input file"},
        TBadCall{"BuiltinOutOfRange", {"levels", "--kind", "0", "--builtin", "7"}, "not '7'"},
        TBadCall{"WaveformWithoutNumber", {"waveform"}, "exactly one argument"},
        TBadCall{"WaveformOutOfRange", {"waveform", "-1"}, "not '-1'"},
        TBadCall{"SynthWithoutCondition", {"synth", "--kind", "0", "f.bin"}, "needs --condition"},
        TBadCall{"SynthWithoutKind", {"synth", "--condition", "gear", "f.bin"}, "needs --kind"},
        TBadCall{
            "SynthWithoutFile", {"synth", "--kind", "0", "--condition", "gear"}, "needs the output FILE"},
        TBadCall{"SynthUnknownCondition",
                 {"synth", "--kind", "0", "--condition", "wobble", "f.bin"},
                 "unknown condition wobble"},
        TBadCall{"SynthSpeedOutOfRange",
                 {"synth", "--kind", "0", "--condition", "gear", "--rpm", "59", "f.bin"},
                 "rpm is 60 to 30000"},
        TBadCall{"SynthBadGeometry",
                 {"synth", "--kind", "1", "--condition", "bearing-outer", "--bearing", "8,12,2,0", "f.bin"},
                 "0 < d < D"},
        // Values no machine has, at and past each bound: refused before any work.
        TBadCall{"SynthSpeedAbsurd",
                 {"synth", "--kind", "0", "--condition", "gear", "--rpm", "1e10", "f.bin"},
                 "rpm is 60 to 30000"},
        TBadCall{"SynthVelocityPastTheRange",
                 {"synth", "--kind", "0", "--condition", "gear", "--velocity", "70.01", "f.bin"},
                 "velocity is 0.01 to 70"},
        TBadCall{"SynthVelocityTiny",
                 {"synth", "--kind", "0", "--condition", "gear", "--velocity", "1e-300", "f.bin"},
                 "velocity is 0.01 to 70"},
        TBadCall{
            "SynthDustBall",
            {"synth", "--kind", "0", "--condition", "bearing-ball", "--bearing", "8,0.00001,12,0", "f.bin"},
            "d/D 0.02 to 0.5"},
        TBadCall{"SynthTeethAbsurd",
                 {"synth", "--kind", "0", "--condition", "gear", "--teeth", "1e10", "f.bin"},
                 "teeth is a whole number 1 to 500"},
        TBadCall{"SynthNoBlades",
                 {"synth", "--kind", "0", "--condition", "vane-pass", "--blades", "0", "f.bin"},
                 "blades is a whole number 1 to 500"},
        TBadCall{"SynthLineNeither50Nor60",
                 {"synth", "--kind", "0", "--condition", "electrical", "--line", "55", "f.bin"},
                 "line is 50 or 60"},
        TBadCall{"SynthResonanceInfinite",
                 {"synth", "--kind", "0", "--condition", "resonance", "--resonance", "inf", "f.bin"},
                 "resonance is 1 to 25000"},
        TBadCall{"SynthStagePastFour",
                 {"synth", "--kind", "1", "--condition", "bearing-outer", "--stage", "5", "f.bin"},
                 "stage is 1, 2, 3 or 4"},
        TBadCall{"SynthJitterNegative",
                 {"synth", "--kind", "0", "--condition", "gear", "--speed-jitter", "-1", "f.bin"},
                 "speed-jitter is 0 to 10"},
        TBadCall{"SynthShareOfNothing",
                 {"synth", "--kind", "0", "--condition", "imbalance+gear", "--shares", "1,0", "f.bin"},
                 "shares is a,b"},
        TBadCall{"SynthOneFaultTwice",
                 {"synth", "--kind", "0", "--condition", "gear+gear", "f.bin"},
                 "two different faults"},
        TBadCall{"SynthTeethTwice",
                 {"synth", "--kind", "0", "--condition", "gear", "--teeth", "20", "--teeth", "21", "f.bin"},
                 "--teeth is given twice"},
        TBadCall{"SynthSeedWithoutValue",
                 {"synth", "--kind", "0", "--condition", "gear", "f.bin", "--seed"},
                 "--seed needs a value"},
        TBadCall{"SynthBuiltinIsNoOption",
                 {"synth", "--kind", "0", "--condition", "gear", "--builtin", "0", "f.bin"},
                 "unknown option '--builtin'"},
        TBadCall{"MissingFile",
                 {"levels", "--kind", "0", "no-such-dir/no-such-file.bin"},
                 "cannot open 'no-such-dir/no-such-file.bin'"}));

TEST_F(DspCommandTest, WrongSizedFilesAreRefusedWithTheirSize) {
    for (const std::size_t size :
         {std::size_t{0}, std::size_t{16383}, std::size_t{16385}, std::size_t{32768}}) {
        // Appended rather than "w" + std::to_string(size): GCC 12 at -O3 inlines
        // that insert-at-front into a memcpy it then wrongly reports as
        // overlapping (-Wrestrict), a known false positive of that compiler.
        std::string name = "w";
        name += std::to_string(size);
        name += ".bin";
        const std::string path = WriteFile(name, std::string(size, '\x01'));
        const TRun run = Dsp({"spectrum", "--kind", "0", path});
        EXPECT_EQ(run.Status, DSP_EXIT_USAGE) << size;
        EXPECT_EQ(run.Out, "");
        EXPECT_EQ(TextLines(run.Err).size(), 1u) << run.Err;
        EXPECT_NE(run.Err.find(size > 16384 ? "longer than 16384 bytes"
                                            : "holds " + std::to_string(size) + " bytes"),
                  std::string::npos)
            << run.Err;
    }
    const TRun dir = Dsp({"levels", "--kind", "0", std::filesystem::temp_directory_path().string()});
    EXPECT_EQ(dir.Status, DSP_EXIT_USAGE);
    EXPECT_NE(dir.Err.find("is a directory"), std::string::npos) << dir.Err;
}

TEST(DspHelp, DocumentsEveryCommandAndOptionAndSucceeds) {
    for (const auto& args :
         std::vector<std::vector<std::string>>{{"--help"}, {"levels", "--kind", "9", "--help"}}) {
        const TRun run = Dsp(args);
        EXPECT_EQ(run.Status, DSP_EXIT_OK);
        EXPECT_EQ(run.Err, "");
        for (const char* word :
             {"levels",         "spectrum", "waveform", "--kind",     "--builtin",   "--help",
              "FILE",           "16384",    "acc_pk",   "disp_pp",    "crest",       "scale",
              "32..3200",       "%.9g",     "status 2", "synth",      "--condition", "--rpm",
              "--velocity",     "--noise",  "--seed",   "--bearing",  "--teeth",     "bearing-outer",
              "gear",           "clipped",  "--line",   "--blades",   "--resonance", "--stage",
              "--speed-jitter", "--shares", "A+B",      "electrical", "vane-pass",   "warning"})
            EXPECT_NE(run.Out.find(word), std::string::npos) << word;
    }
}

TEST_F(DspCommandTest, WrittenWaveformStandsForTheStoredOne) {
    for (const int16_t kind : {KIND_MEAS, KIND_MEAS_E, KIND_HF}) {
        const std::string k = std::to_string(kind);
        const TRun written = Dsp({"waveform", k});
        ASSERT_EQ(written.Status, DSP_EXIT_OK);
        ASSERT_EQ(written.Out.size(), 16384u);
        int16_t table[SAMPLE_COUNT];
        ASSERT_TRUE(ReadWaveformTable(kind, table));
        EXPECT_EQ(static_cast<uint8_t>(written.Out[2]), static_cast<uint16_t>(table[1]) & 0xFF);
        EXPECT_EQ(static_cast<uint8_t>(written.Out[3]), static_cast<uint16_t>(table[1]) >> 8);

        const std::string path = WriteFile("waveform" + k + ".bin", written.Out);
        std::vector<std::string> commands = {"spectrum"};
        if (kind != KIND_HF) commands.push_back("levels");
        for (const auto& command : commands) {
            const TRun fromFile = Dsp({command, "--kind", k, path});
            const TRun builtin = Dsp({command, "--builtin", k, "--kind", k});
            EXPECT_EQ(fromFile.Status, DSP_EXIT_OK);
            EXPECT_EQ(fromFile.Err, "");
            EXPECT_FALSE(fromFile.Out.empty());
            EXPECT_EQ(fromFile.Out, builtin.Out) << command << " of kind " << kind;
        }
    }
}

TEST(DspLevels, NineNamedLevelsInSlotOrderRecoverTheResultsExactly) {
    const TRun run = Dsp({"levels", "--kind", "0", "--builtin", "0"});
    ASSERT_EQ(run.Status, DSP_EXIT_OK);
    const auto lines = TextLines(run.Out);
    const std::vector<std::string> names = {"acc_pk", "acc_rms", "acc_pp",   "vel_pk", "vel_rms",
                                            "vel_pp", "disp_pk", "disp_rms", "disp_pp"};
    ASSERT_EQ(lines.size(), names.size()) << run.Out;

    // The same computation as the instrument does it after an acquisition.
    AcquireWaveform(KIND_MEAS, nullptr, false);
    TMeasResults results;
    ComputeVibrationResults(results);
    for (std::size_t slot = 0; slot < names.size(); ++slot) {
        std::istringstream fields(lines[slot]);
        std::string name, value, rest;
        fields >> name >> value >> rest;
        EXPECT_EQ(name, names[slot]);
        EXPECT_EQ(rest, "");
        const float printed = std::strtof(value.c_str(), nullptr);
        EXPECT_EQ(printed, results.Value[slot]) << name << " printed as " << value;
        EXPECT_GT(printed, 0.0f) << name;
    }
}

TEST(DspLevels, EnvelopeKindPrintsItsCrestFactorAlone) {
    const TRun run = Dsp({"levels", "--kind", "1", "--builtin", "1"});
    ASSERT_EQ(run.Status, DSP_EXIT_OK);
    const auto lines = TextLines(run.Out);
    ASSERT_EQ(lines.size(), 1u) << run.Out;
    ASSERT_EQ(lines[0].rfind("crest ", 0), 0u) << lines[0];
    // A pulse train's peak stands well above its RMS.
    EXPECT_GT(std::strtof(lines[0].c_str() + 6, nullptr), 2.0f);
}

TEST_F(DspCommandTest, ASignalWithoutRmsHasNoCrestFactorAndSaysSo) {
    const TRun run = Dsp({"levels", "--kind", "1", WriteFile("zero.bin", std::string(16384, '\0'))});
    EXPECT_EQ(run.Status, DSP_EXIT_FAILED);
    EXPECT_EQ(run.Out, "");
    EXPECT_NE(run.Err.find("no crest factor"), std::string::npos) << run.Err;
}

TEST(DspSpectrum, PrintsTheScaleThenEveryLineFrom32To3200) {
    const TRun run = Dsp({"spectrum", "--kind", "1", "--builtin", "1"});
    ASSERT_EQ(run.Status, DSP_EXIT_OK);
    const auto text = TextLines(run.Out);
    ASSERT_FALSE(text.empty());
    ASSERT_EQ(text[0].rfind("scale ", 0), 0u) << text[0];
    EXPECT_GT(std::strtof(text[0].c_str() + 6, nullptr), 0.0f);
    const auto lines = SpectrumLines(run.Out);
    ASSERT_EQ(lines.size(), 3169u);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        ASSERT_EQ(lines[i].Number, static_cast<int>(32 + i)) << text[i + 1];
        ASSERT_GE(lines[i].Value, 0) << text[i + 1];
    }
    EXPECT_EQ(StrongestLine(lines), 296) << "the envelope's 92.5 Hz defect line";
}

} // namespace
