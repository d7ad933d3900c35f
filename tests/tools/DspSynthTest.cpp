// orx700-dsp synth from outside: the files it writes read, through the tool's
// own levels and spectrum, as the condition that was asked for.
#include "DspRun.h"

#include <cmath>
#include <cstdlib>
#include <map>

namespace {

class DspSynthTest : public DspCommandTest {
  protected:
    // Writes the condition's file; its path.
    std::string Synth(const std::string& name, std::vector<std::string> options) {
        std::vector<std::string> args = {"synth"};
        args.insert(args.end(), options.begin(), options.end());
        args.push_back(Path(name));
        const TRun run = Dsp(args);
        EXPECT_EQ(run.Status, DSP_EXIT_OK) << run.Err;
        EXPECT_EQ(run.Err, "");
        EXPECT_EQ(run.Out, "");
        return Path(name);
    }
    static std::map<std::string, double> Levels(const std::string& kind, const std::string& path) {
        std::map<std::string, double> levels;
        const TRun run = Dsp({"levels", "--kind", kind, path});
        EXPECT_EQ(run.Status, DSP_EXIT_OK) << run.Err;
        for (const auto& line : TextLines(run.Out)) {
            std::istringstream fields(line);
            std::string name;
            double value = 0.0;
            fields >> name >> value;
            levels[name] = value;
        }
        return levels;
    }
    // The line number of the strongest line.
    static int StrongestLine(const std::string& kind, const std::string& path) {
        const TRun run = Dsp({"spectrum", "--kind", kind, path});
        EXPECT_EQ(run.Status, DSP_EXIT_OK) << run.Err;
        return ::StrongestLine(SpectrumLines(run.Out));
    }
    static std::string Bytes(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
};

TEST_F(DspSynthTest, FilesReadAsTheAskedConditionThroughTheInstrumentsArithmetic) {
    const std::string imbalance = Synth(
        "imbalance.bin", {"--kind", "0", "--condition", "imbalance", "--rpm", "1480", "--velocity", "4.5"});
    EXPECT_NEAR(Levels("0", imbalance)["vel_rms"], 4.5, 0.03 * 4.5);
    EXPECT_NEAR(StrongestLine("0", imbalance), 79, 1) << "1x of 1480 rpm is 24.67 Hz";

    // fr = 25 Hz: BPFO 83.33 Hz, line 266.7; its harmonics are multiples of that.
    const std::string outer = Synth("outer.bin", {"--kind", "1", "--condition", "bearing-outer", "--rpm",
                                                  "1500", "--bearing", "8,2,12,0", "--velocity", "4.5"});
    const double order = StrongestLine("1", outer) / (83.333 / 0.3125);
    EXPECT_NEAR(order, std::round(order), 1.0 / 266.7 * 1.5) << "the strongest E line is a multiple of BPFO";
    const std::string smooth = Synth(
        "smooth.bin", {"--kind", "1", "--condition", "imbalance", "--rpm", "1500", "--velocity", "4.5"});
    EXPECT_GE(Levels("1", outer)["crest"], 2.0 * Levels("1", smooth)["crest"]);

    const std::string mesh =
        Synth("gear.bin", {"--kind", "0", "--condition", "gear", "--rpm", "1200", "--teeth", "31"});
    EXPECT_NEAR(StrongestLine("0", mesh), 31 * 20.0 / 0.3125, 1) << "GMF";
}

TEST_F(DspSynthTest, TheSameOptionsWriteTheSameFileAndStoredIsTheStoredWaveform) {
    const std::vector<std::string> options = {"--kind",        "2",       "--condition",
                                              "bearing-inner", "--noise", "0.3"};
    std::vector<std::string> seeded = options;
    seeded.insert(seeded.end(), {"--seed", "2"});
    const std::string first = Bytes(Synth("a.bin", options));
    EXPECT_EQ(first.size(), 16384u);
    EXPECT_EQ(first, Bytes(Synth("b.bin", options)));
    EXPECT_NE(first, Bytes(Synth("c.bin", seeded)));

    for (const char* kind : {"0", "1", "2"})
        EXPECT_EQ(Bytes(Synth("stored.bin", {"--condition", "stored", "--kind", kind})),
                  Dsp({"waveform", kind}).Out)
            << kind;
}

TEST_F(DspSynthTest, AClippedSignalIsWrittenAndReportedAndAnUnwritableFileFails) {
    const std::string path = Path("loud.bin");
    const TRun loud = Dsp({"synth", "--kind", "0", "--condition", "looseness", "--velocity", "70", path});
    EXPECT_EQ(loud.Status, DSP_EXIT_OK);
    ASSERT_EQ(TextLines(loud.Err).size(), 1u) << loud.Err;
    EXPECT_NE(loud.Err.find("clipped"), std::string::npos) << loud.Err;
    EXPECT_EQ(Bytes(path).size(), 16384u);

    const TRun nowhere =
        Dsp({"synth", "--kind", "0", "--condition", "good", Path("no-such-dir") + "/file.bin"});
    EXPECT_EQ(nowhere.Status, DSP_EXIT_FAILED);
    EXPECT_EQ(TextLines(nowhere.Err).size(), 1u) << nowhere.Err;
    EXPECT_EQ(nowhere.Err.rfind("orx700-dsp: ", 0), 0u) << nowhere.Err;
}

// What the kind cannot show is written all the same, and said in one line
// that names the frequency and the band; at the band's edge nothing is said.
TEST_F(DspSynthTest, ALineOutsideTheKindsBandIsWrittenWithOneWarning) {
    struct TCase {
        std::vector<std::string> Options;
        std::vector<std::string> Says; // empty: no warning
    };
    // clang-format off
    const TCase cases[] = {
        {{"--kind", "0", "--condition", "gear", "--teeth", "50", "--rpm", "3000"},
         {"2500 Hz", "10-1000 Hz", "kind 2 shows it"}},
        {{"--kind", "0", "--condition", "imbalance", "--rpm", "300"}, {"1x at 5 Hz", "10-1000 Hz", "severity"}},
        {{"--kind", "1", "--condition", "imbalance", "--rpm", "599.4"}, {"1x at 9.99 Hz", "10-1000 Hz"}},
        {{"--kind", "0", "--condition", "imbalance", "--rpm", "600"}, {}},
        {{"--kind", "0", "--condition", "imbalance+gear", "--teeth", "100"}, {"gear's line at 2467 Hz"}},
        {{"--kind", "0", "--condition", "resonance", "--resonance", "2400"}, {"2400 Hz", "10-1000 Hz"}},
        {{"--kind", "2", "--condition", "resonance", "--resonance", "2400"}, {}},
        {{"--kind", "2", "--condition", "vane-pass", "--blades", "500", "--rpm", "30000"},
         {"250000 Hz", "250-25000 Hz", "no kind"}},
        {{"--kind", "0", "--condition", "electrical", "--rpm", "2970"}, {}},
    };
    // clang-format on
    for (const TCase& c : cases) {
        std::vector<std::string> args = {"synth", "--velocity", "1"};
        args.insert(args.end(), c.Options.begin(), c.Options.end());
        args.push_back(Path("band.bin"));
        std::filesystem::remove(args.back());
        const TRun run = Dsp(args);
        EXPECT_EQ(run.Status, DSP_EXIT_OK) << run.Err;
        EXPECT_EQ(Bytes(args.back()).size(), 16384u);
        if (c.Says.empty()) {
            EXPECT_EQ(run.Err, "");
            continue;
        }
        ASSERT_EQ(TextLines(run.Err).size(), 1u) << run.Err;
        EXPECT_EQ(run.Err.rfind("orx700-dsp: warning: ", 0), 0u) << run.Err;
        for (const std::string& word : c.Says)
            EXPECT_NE(run.Err.find(word), std::string::npos) << word << " not in " << run.Err;
    }
}

// The fault trainees confuse with 2x: on a two-pole motor at 2970 rpm an
// electrical fault's strongest line is 2x line (100.0 Hz, line 320), a line
// of its own beside 2x running speed (99.0 Hz, line 316.8), where a
// misaligned machine's strongest line stands.
TEST_F(DspSynthTest, TwiceTheLineFrequencyStandsApartFromTwiceTheRunningSpeed) {
    const auto spectrum = [&](const std::string& condition) {
        const std::string path =
            Synth(condition + ".bin", {"--kind", "0", "--condition", condition, "--rpm", "2970"});
        const TRun run = Dsp({"spectrum", "--kind", "0", path});
        EXPECT_EQ(run.Status, DSP_EXIT_OK) << run.Err;
        return SpectrumLines(run.Out);
    };
    const auto electrical = spectrum("electrical");
    EXPECT_EQ(::StrongestLine(electrical), 320);
    std::map<int, long> value;
    for (const TSpectrumLine& line : electrical)
        value[line.Number] = line.Value;
    EXPECT_GT(value[317], value[316]);
    EXPECT_GT(value[317], value[318]) << "2x is a peak of its own, not the skirt of 2x line";
    EXPECT_EQ(::StrongestLine(spectrum("misalignment")), 317);
}

} // namespace
