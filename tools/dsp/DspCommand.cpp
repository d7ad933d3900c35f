#include "DspCommand.h"

#include "DspExport.h"
#include "DspImport.h"
#include "DspReport.h"
#include "DspSynth.h"
#include "measure/Samplingimp.h"
#include "platform/SafeFile.h"

#include <filesystem>
#include <fstream>
#include <ostream>

namespace {

constexpr std::size_t FILE_BYTES = 2 * SAMPLE_COUNT;

const char* const HELP = "usage: orx700-dsp levels --kind K (FILE | --builtin W)\n"
                         "       orx700-dsp spectrum --kind K (FILE | --builtin W)\n"
                         "       orx700-dsp waveform W\n"
                         "       orx700-dsp synth --kind K --condition NAME [--rpm R] [--velocity V]\n"
                         "                  [--noise N] [--seed S] [--bearing N,d,D,a] [--teeth T]\n"
                         "                  [--line 50|60] [--blades B] [--resonance HZ] [--stage 1..4]\n"
                         "                  [--speed-jitter PCT] [--shares a,b] FILE\n"
                         "       orx700-dsp export --db DB --format csv|uff58|wav [--point P]\n"
                         "                  [--from DATE] [--to DATE] OUT\n"
                         "       orx700-dsp import --db DB FILE\n"
                         "       orx700-dsp --help\n"
                         "\n"
                         "Runs the instrument's own level and spectrum arithmetic on one waveform, and\n"
                         "writes the waveforms of machine conditions.\n"
                         "\n"
                         "  levels    kind 0: nine lines 'NAME VALUE' in slot order: acc_pk acc_rms\n"
                         "            acc_pp vel_pk vel_rms vel_pp disp_pk disp_rms disp_pp\n"
                         "            (m/s2, mm/s, um); kind 1: one line 'crest VALUE' (none,\n"
                         "            and status 1, when the signal's RMS is 0).\n"
                         "  spectrum  'scale VALUE', then 'k value' for k = 32..3200: the windowed\n"
                         "            line magnitudes; line k measures scale x value.\n"
                         "  waveform  writes stored waveform W (0, 1 or 2) to standard output in\n"
                         "            the FILE format.\n"
                         "  synth     writes to FILE the waveform of kind K that a machine in condition\n"
                         "            NAME gives the instrument: stored (the stored waveform), good,\n"
                         "            imbalance, misalignment, looseness, bearing-outer, bearing-inner,\n"
                         "            bearing-ball, bearing-cage, gear, electrical, vane-pass or\n"
                         "            resonance; A+B (e.g. imbalance+bearing-outer) is a machine with\n"
                         "            both faults at once. The same options always give the same file.\n"
                         "            A signal beyond the 16-bit range is clipped, written and reported\n"
                         "            on standard error (an input overload). When the condition's\n"
                         "            defining line lies outside the band kind K shows (10-1000 Hz,\n"
                         "            kind 2 250-25000 Hz), or 1x lies below the 10 Hz edge, the file\n"
                         "            is written and one warning line names the frequency and the\n"
                         "            band.\n"
                         "    --rpm R         running speed, 60..30000 rpm (default 1480)\n"
                         "    --velocity V    severity: the machine's velocity RMS in mm/s over\n"
                         "                    10-1000 Hz, or 2-1000 Hz at 600 rpm and below (what a\n"
                         "                    MEAS reading shows when 1x lies in its band), up to\n"
                         "                    the instrument's range: 0.01..70 (default 4.5)\n"
                         "    --noise N       broadband noise RMS over the machine signal's, 0..2\n"
                         "                    (default 0.05)\n"
                         "    --seed S        the noise and slip sequence, 0..4294967295 (default 1)\n"
                         "    --bearing N,d,D,a\n"
                         "                    rolling elements N (3..100), ball diameter d, pitch\n"
                         "                    diameter D (one unit; d/D 0.02..0.5, N x d < pi x D),\n"
                         "                    contact angle a, 0..45 degrees (default 8,2,12,0)\n"
                         "    --teeth T       teeth of the faulty gear, turning at R, 1..500\n"
                         "                    (default 23)\n"
                         "    --line F        electrical: the supply frequency, 50 or 60 Hz; the\n"
                         "                    fault's line is at 2 x F (default 50)\n"
                         "    --blades B      vane-pass: vanes or blades, 1..500; the line is at\n"
                         "                    B x R / 60 Hz (default 6)\n"
                         "    --resonance HZ  resonance: the structure's natural frequency,\n"
                         "                    1..25000 Hz (default 26)\n"
                         "    --stage S       a bearing's wear stage: 1 only high-frequency ringing,\n"
                         "                    2 envelope lines (default), 3 defect lines in the\n"
                         "                    velocity spectrum, 4 broadband haystack and rising 1x\n"
                         "    --speed-jitter PCT\n"
                         "                    running speed variation between readings, 0..10 %\n"
                         "                    (default 0: every reading alike)\n"
                         "    --shares a,b    A+B: each fault's share of the severity's mean square,\n"
                         "                    each 0.01..100 and at least 1 % of the sum (default 1,1)\n"
                         "\n"
                         "  export    writes the readings of the measurement database DB (as the\n"
                         "            desktop's Transfer to PC and orx700-sim's 'transfer DB' fill it),\n"
                         "            all of them or those of point P (1..13, offroute1, offroute2, ...,\n"
                         "            watch), in time order; --from and --to keep those measured\n"
                         "            from DATE and up to DATE, both included: DATE is YYYY-MM-DD (the\n"
                         "            whole day) or YYYY-MM-DD HH:MM[:SS] (the whole minute or second),\n"
                         "            as the CSV prints a reading's time:\n"
                         "              csv    the file OUT: UTF-8, a header row with each column's unit\n"
                         "                     in brackets, one row a reading, dot decimals; kind 0 rows\n"
                         "                     fill the nine levels, kind 1 rows the crest factor\n"
                         "              uff58  the file OUT: universal file dataset 58 (text), for each\n"
                         "                     reading its amplitude spectrum (Hann window, mm/s peak\n"
                         "                     against Hz, 0.3125 Hz lines) and its waveform (mm/s\n"
                         "                     against seconds) as two datasets, real double values\n"
                         "              wav    the folder OUT: one mono 16-bit PCM file a reading at\n"
                         "                     2560 samples a second, its identity in the INFO chunk\n"
                         "            Files are replaced whole or left as they were. A DB that is not a\n"
                         "            measurement database, or is damaged, is left untouched: one line\n"
                         "            on standard error, status 1.\n"
                         "\n"
                         "  import    adds the readings of the measurement database FILE (the web\n"
                         "            page's downloaded database, another PC's) that DB lacks, as the\n"
                         "            desktop's Import database does; prints 'imported N new readings'.\n"
                         "            Either file not a measurement database, or damaged: both left\n"
                         "            untouched, one line on standard error, status 1.\n"
                         "\n"
                         "  --kind K      the measurement kind the samples are processed as: 0 and 2\n"
                         "                unsigned converter codes, 1 two's complement\n"
                         "  --builtin W   use stored waveform W instead of a FILE\n"
                         "  FILE          exactly 8192 little-endian 16-bit samples (16384 bytes)\n"
                         "  --help        this text\n"
                         "\n"
                         "Values are single-precision results printed with %.9g. Bad input prints\n"
                         "one line on standard error and exits with status 2; a result that cannot\n"
                         "be given or written, with status 1.\n";

bool ParseKind(const std::string& text, const std::string& what, int16_t& kind, std::string& error) {
    if (text != "0" && text != "1" && text != "2") {
        error = what + " must be 0, 1 or 2, not '" + text + "'";
        return false;
    }
    kind = static_cast<int16_t>(text[0] - '0');
    return true;
}

std::optional<TDspRequest> ParseInputArguments(TDspRequest request, const std::vector<std::string>& args,
                                               std::string& error) {
    const std::string& command = args[0];
    bool haveFile = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--kind" || arg == "--builtin") {
            if (i + 1 == args.size()) {
                error = arg + " needs a value: 0, 1 or 2";
                return std::nullopt;
            }
            int16_t& target = arg == "--kind" ? request.Kind : request.Builtin;
            if (target != -1) {
                error = arg + " is given twice";
                return std::nullopt;
            }
            if (!ParseKind(args[++i], arg, target, error)) return std::nullopt;
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option '" + arg + "'";
            return std::nullopt;
        } else if (haveFile) {
            error = "more than one input file ('" + request.File + "' and '" + arg + "')";
            return std::nullopt;
        } else {
            request.File = arg;
            haveFile = true;
        }
    }
    if (request.Kind == -1) {
        error = command + " needs --kind K";
    } else if (haveFile == (request.Builtin != -1)) {
        error = command + (haveFile ? " takes FILE or --builtin W, not both" : " needs FILE or --builtin W");
    } else if (request.Command == TDspCommand::Levels && request.Kind == KIND_HF) {
        error = "levels are defined for kinds 0 and 1 only";
    } else {
        return request;
    }
    return std::nullopt;
}

} // namespace

std::optional<TDspRequest> ParseDspArguments(const std::vector<std::string>& args, std::string& error) {
    TDspRequest request;
    for (const auto& arg : args)
        if (arg == "--help" || arg == "-h") return request;
    if (args.empty()) {
        error = "missing command: levels, spectrum, waveform or synth (see --help)";
        return std::nullopt;
    }
    const std::string& command = args[0];
    if (command == "waveform") {
        request.Command = TDspCommand::Waveform;
        if (args.size() != 2) {
            error = "waveform needs exactly one argument, the stored waveform 0, 1 or 2";
            return std::nullopt;
        }
        if (!ParseKind(args[1], "the stored waveform", request.Builtin, error)) return std::nullopt;
        request.Kind = request.Builtin;
        return request;
    }
    if (command == "synth") return ParseSynthArguments(args, error);
    if (command == "levels") {
        request.Command = TDspCommand::Levels;
    } else if (command == "spectrum") {
        request.Command = TDspCommand::Spectrum;
    } else {
        error = "unknown command '" + command + "' (levels, spectrum, waveform or synth; see --help)";
        return std::nullopt;
    }
    return ParseInputArguments(request, args, error);
}

bool LoadDspSamples(const TDspRequest& request, std::vector<int16_t>& samples, std::string& error) {
    samples.assign(SAMPLE_COUNT, 0);
    if (request.Builtin != -1) {
        int16_t table[SAMPLE_COUNT];
        if (!ReadWaveformTable(request.Builtin, table)) {
            error = "stored waveform " + std::to_string(request.Builtin) + " is missing from the program";
            return false;
        }
        samples.assign(table, table + SAMPLE_COUNT);
        return true;
    }
    const std::string& path = request.File;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = "'" + path + "' is a directory, not a waveform file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open '" + path + "'";
        return false;
    }
    // One byte more than a waveform tells a longer file from a right one.
    std::string bytes(FILE_BYTES + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    const auto got = static_cast<std::size_t>(in.gcount());
    if (in.bad()) {
        error = "cannot read '" + path + "'";
        return false;
    }
    if (got != FILE_BYTES) {
        const std::string size =
            got > FILE_BYTES ? "is longer than" : "holds " + std::to_string(got) + " bytes, not";
        error = "'" + path + "' " + size + " 16384 bytes (8192 16-bit samples)";
        return false;
    }
    for (std::size_t i = 0; i < SAMPLE_COUNT; ++i) {
        const auto lo = static_cast<uint8_t>(bytes[2 * i]);
        const auto hi = static_cast<uint8_t>(bytes[2 * i + 1]);
        samples[i] = static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8)));
    }
    return true;
}

namespace {

int RunSynth(const TDspRequest& request, std::ostream& err) {
    std::vector<int16_t> samples;
    bool clipped = false;
    std::string error;
    if (!SynthSamples(request, samples, clipped, error) ||
        !ReplaceFile(request.File, SampleBytes(samples), error)) {
        err << "orx700-dsp: " << error << '\n';
        return DSP_EXIT_FAILED;
    }
    if (clipped)
        err << "orx700-dsp: the signal exceeds the 16-bit range and was clipped (an input overload)\n";
    if (const std::string warning = SynthBandWarning(request); !warning.empty())
        err << "orx700-dsp: warning: " << warning << '\n';
    return DSP_EXIT_OK;
}

} // namespace

int RunDspCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (!args.empty() && args[0] == "export") return RunDspExport(args, out, err);
    if (!args.empty() && args[0] == "import") return RunDspImport(args, out, err);
    std::string error;
    const auto request = ParseDspArguments(args, error);
    if (request && request->Command == TDspCommand::Synth) return RunSynth(*request, err);
    std::vector<int16_t> samples;
    if (!request || (request->Command != TDspCommand::Help && !LoadDspSamples(*request, samples, error))) {
        err << "orx700-dsp: " << error << '\n';
        return DSP_EXIT_USAGE;
    }
    switch (request->Command) {
    case TDspCommand::Help:
        out << HELP;
        break;
    case TDspCommand::Levels:
        if (!WriteLevels(request->Kind, samples, out)) {
            err << "orx700-dsp: no crest factor: the signal's RMS level is 0\n";
            return DSP_EXIT_FAILED;
        }
        break;
    case TDspCommand::Spectrum:
        WriteSpectrum(request->Kind, samples, out);
        break;
    case TDspCommand::Waveform:
        WriteSampleBytes(samples, out);
        break;
    case TDspCommand::Synth:
        break;
    }
    // A full disk or a closed pipe may show only when the buffer goes out.
    if (!out.flush()) {
        err << "orx700-dsp: cannot write to standard output\n";
        return DSP_EXIT_FAILED;
    }
    return DSP_EXIT_OK;
}
