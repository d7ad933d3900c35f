// The exports read back as the tools that take them would read them: the
// UFF58 file by a reader written here from the format's definition, the WAV
// file byte by byte, the CSV as a spreadsheet splits it.
#include "PcDataTestSupport.h"
#include "dsp/DspCommand.h"
#include "measure/MeasResults.h"
#include "pcdata/DateRange.h"
#include "pcdata/Exports.h"
#include "platform/DateTime.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <sstream>

namespace {

constexpr double RATE = 2560.0;
constexpr double MM_S_PER_CODE = 2500.0 / 65535.0 / 10.0;

class ExportTest : public TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        dbPath = PathOf("m.sqlite");
        std::string error;
        auto db = TMeasurementDb::Open(dbPath, error);
        ASSERT_TRUE(db) << error;
        auto made = MadeUpReadings(2, 3, 11);
        made[0].Condition = "bearing-outer rpm=1480 velocity=3.2 bearing=8,2,12,0";
        made[1].MachineName = "машина «2», \"A\"";
        ASSERT_EQ(db->AddReadings(made, error), 2) << error;
        readings = db->Readings({}, true);
        ASSERT_EQ(readings.size(), 2u);
    }
    // Reading 0 is kind 1 (point 1), reading 1 kind 0 (point 2).
    std::string dbPath;
    std::vector<TDbReading> readings;
};

// --- UFF dataset 58, read from its definition -------------------------------

struct TUffDataset {
    std::vector<std::string> Ids;
    int FunctionType = 0;
    int OrdinateType = 0, Count = 0, Spacing = 0;
    double Start = 0, Step = 0;
    int AbscissaType = 0, OrdinateDataType = 0;
    std::string AbscissaUnit, OrdinateUnit;
    std::vector<double> Values;
};

std::string Columns(const std::string& line, std::size_t from, std::size_t width) {
    return from < line.size() ? line.substr(from, width) : std::string();
}
int IntAt(const std::string& line, std::size_t from, std::size_t width) {
    return std::stoi(Columns(line, from, width));
}
double RealAt(const std::string& line, std::size_t from, std::size_t width) {
    return std::stod(Columns(line, from, width));
}
std::string Trimmed(std::string text) {
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

std::vector<TUffDataset> ReadUff58(const std::string& text) {
    std::istringstream in(text);
    std::vector<TUffDataset> sets;
    std::string line;
    while (std::getline(in, line)) {
        EXPECT_EQ(line, "    -1"); // I6 -1 opens a dataset
        std::getline(in, line);
        EXPECT_EQ(IntAt(line, 0, 6), 58);
        TUffDataset d;
        for (int i = 0; i < 5; ++i) {
            std::getline(in, line);
            EXPECT_LE(line.size(), 80u);
            d.Ids.push_back(line);
        }
        std::getline(in, line); // record 6: 2(I5,I10),2(1X,10A1,I10,I4)
        d.FunctionType = IntAt(line, 0, 5);
        std::getline(in, line); // record 7: 3I10,3E13.5
        d.OrdinateType = IntAt(line, 0, 10);
        d.Count = IntAt(line, 10, 10);
        d.Spacing = IntAt(line, 20, 10);
        d.Start = RealAt(line, 30, 13);
        d.Step = RealAt(line, 43, 13);
        std::getline(in, line); // record 8: I10,3I5,2(1X,20A1)
        d.AbscissaType = IntAt(line, 0, 10);
        d.AbscissaUnit = Trimmed(Columns(line, 47, 20));
        std::getline(in, line); // record 9
        d.OrdinateDataType = IntAt(line, 0, 10);
        d.OrdinateUnit = Trimmed(Columns(line, 47, 20));
        std::getline(in, line); // records 10 and 11
        std::getline(in, line);
        // Record 12, real double precision with even abscissa: 4E20.12.
        while (static_cast<int>(d.Values.size()) < d.Count && std::getline(in, line)) {
            EXPECT_LE(line.size(), 80u);
            for (std::size_t at = 0;
                 at + 20 <= line.size() + 0 && static_cast<int>(d.Values.size()) < d.Count; at += 20)
                d.Values.push_back(RealAt(line, at, 20));
        }
        std::getline(in, line);
        EXPECT_EQ(line, "    -1");
        sets.push_back(std::move(d));
    }
    return sets;
}

// The Hann-windowed amplitude of line k, by the definition of the DFT.
std::vector<double> ReferenceSpectrum(const std::vector<double>& x) {
    const std::size_t n = x.size();
    double mean = 0;
    for (const double v : x)
        mean += v;
    mean /= static_cast<double>(n);
    std::vector<double> w(n), c(n), s(n);
    double windowSum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        w[i] = 0.5 * (1 - std::cos(2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n)));
        windowSum += w[i];
        c[i] = std::cos(2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n));
        s[i] = std::sin(2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n));
    }
    std::vector<double> amplitude(n / 2);
    for (std::size_t k = 0; k < n / 2; ++k) {
        long double re = 0, im = 0;
        for (std::size_t i = 0; i < n; ++i) {
            const double v = (x[i] - mean) * w[i];
            re += v * c[(k * i) % n];
            im -= v * s[(k * i) % n];
        }
        amplitude[k] = (k == 0 ? 1.0 : 2.0) * static_cast<double>(std::hypot(re, im)) / windowSum;
    }
    return amplitude;
}

TEST_F(ExportTest, Uff58GivesEachReadingsSpectrumAgainstHertzAndWaveformAgainstSeconds) {
    const std::string path = PathOf("out.uff");
    std::string error;
    ASSERT_TRUE(ExportReadings(readings, TExportFormat::Uff58, path, error)) << error;
    const auto sets = ReadUff58(FileBytes(path));
    ASSERT_EQ(sets.size(), 4u);
    for (std::size_t r = 0; r < readings.size(); ++r) {
        const TDbReading& reading = readings[r];
        SCOPED_TRACE(reading.PointKey);
        const TUffDataset& spectrum = sets[2 * r];
        const TUffDataset& wave = sets[2 * r + 1];
        EXPECT_NE(spectrum.Ids[0].find(reading.Label), std::string::npos);
        for (const TUffDataset* d : {&spectrum, &wave}) {
            EXPECT_EQ(d->OrdinateType, 4); // real, double precision
            EXPECT_EQ(d->Spacing, 1);      // even
            EXPECT_EQ(d->Start, 0.0);
            EXPECT_EQ(d->OrdinateUnit, "mm/s");
            EXPECT_EQ(static_cast<int>(d->Values.size()), d->Count);
        }
        EXPECT_EQ(spectrum.FunctionType, 12);
        EXPECT_EQ(spectrum.AbscissaType, 18);
        EXPECT_EQ(spectrum.AbscissaUnit, "Hz");
        EXPECT_EQ(spectrum.Count, 4096);
        EXPECT_NEAR(spectrum.Step, RATE / 8192, 1e-6 * RATE / 8192); // 0.3125 Hz: the instrument's lines
        EXPECT_EQ(wave.FunctionType, 1);
        EXPECT_EQ(wave.AbscissaType, 17);
        EXPECT_EQ(wave.AbscissaUnit, "s");
        EXPECT_EQ(wave.Count, 8192);
        EXPECT_NEAR(wave.Step, 1 / RATE, 1e-6 / RATE);

        std::vector<double> physical;
        for (const int16_t code : reading.Samples) {
            const int pcm = reading.Kind == 0 ? (code & 0xFFFF) - 32768 : code;
            physical.push_back(pcm * MM_S_PER_CODE);
        }
        if (reading.Kind == 0) { // velocity, about its record's mean
            double mean = 0;
            for (const double v : physical)
                mean += v / static_cast<double>(physical.size());
            for (double& v : physical)
                v -= mean;
        }
        for (std::size_t i = 0; i < physical.size(); ++i)
            ASSERT_NEAR(wave.Values[i], physical[i], 1e-6 * std::abs(physical[i]) + 1e-12) << i;
        if (r == 1) { // one reading's whole spectrum against the DFT's definition
            const std::vector<double> reference = ReferenceSpectrum(physical);
            double largest = 0;
            for (const double a : reference)
                largest = std::max(largest, a);
            for (std::size_t k = 0; k < reference.size(); ++k)
                ASSERT_NEAR(spectrum.Values[k], reference[k], 1e-6 * reference[k] + 1e-9 * largest)
                    << "line " << k;
        }
    }
}

// --- WAV -----------------------------------------------------------------------

uint32_t U32(const std::string& b, std::size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(b[at])) |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}
uint16_t U16(const std::string& b, std::size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1])
                                                                         << 8);
}

TEST_F(ExportTest, WavIsMonoSixteenBitAtTheTrueRateWithTheReadingsIdentity) {
    const std::string wavFolder = PathOf("wav");
    std::string error;
    ASSERT_TRUE(ExportReadings(readings, TExportFormat::Wav, wavFolder, error)) << error;
    for (const TDbReading& reading : readings) {
        SCOPED_TRACE(reading.PointKey);
        const std::string b = FileBytes(wavFolder + "/" + WavFileName(reading));
        ASSERT_GE(b.size(), 44u);
        EXPECT_EQ(b.substr(0, 4), "RIFF");
        EXPECT_EQ(U32(b, 4), b.size() - 8);
        EXPECT_EQ(b.substr(8, 4), "WAVE");
        EXPECT_EQ(b.substr(12, 4), "fmt ");
        EXPECT_EQ(U32(b, 16), 16u);
        EXPECT_EQ(U16(b, 20), 1);     // PCM
        EXPECT_EQ(U16(b, 22), 1);     // mono
        EXPECT_EQ(U32(b, 24), 2560u); // samples a second
        EXPECT_EQ(U32(b, 28), 5120u); // bytes a second
        EXPECT_EQ(U16(b, 32), 2);     // block
        EXPECT_EQ(U16(b, 34), 16);    // bits
        std::string info, data;
        for (std::size_t at = 36; at + 8 <= b.size();) {
            const std::string id = b.substr(at, 4);
            const uint32_t size = U32(b, at + 4);
            ASSERT_LE(at + 8 + size, b.size());
            if (id == "LIST") info = b.substr(at + 8, size);
            if (id == "data") data = b.substr(at + 8, size);
            at += 8 + size + (size & 1);
        }
        ASSERT_EQ(info.substr(0, 4), "INFO");
        EXPECT_NE(info.find("INAM"), std::string::npos);
        EXPECT_NE(info.find(reading.MachineName + " / " + reading.Label + '\0'), std::string::npos);
        EXPECT_NE(info.find("point " + reading.PointKey), std::string::npos);
        ASSERT_EQ(data.size(), 2 * reading.Samples.size());
        for (std::size_t i = 0; i < reading.Samples.size(); ++i) {
            const auto code = static_cast<uint16_t>(reading.Samples[i]);
            const uint16_t pcm = reading.Kind == 0 ? static_cast<uint16_t>(code ^ 0x8000) : code;
            ASSERT_EQ(U16(data, 2 * i), pcm) << i;
        }
    }
}

// --- CSV -----------------------------------------------------------------------

std::vector<std::string> CsvFields(const std::string& line) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
            fields.back() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    return fields;
}

TEST_F(ExportTest, CsvReadsBackAsTheLevelsWithTheirUnits) {
    const std::string text = CsvText(readings);
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        ASSERT_FALSE(line.empty());
        ASSERT_EQ(line.back(), '\r');
        line.pop_back();
        rows.push_back(CsvFields(line));
    }
    ASSERT_EQ(rows.size(), 3u);
    const auto& header = rows[0];
    auto column = [&](const std::string& name) {
        for (std::size_t i = 0; i < header.size(); ++i)
            if (header[i] == name) return i;
        ADD_FAILURE() << "no column " << name;
        return std::size_t{0};
    };
    const char* const LEVELS[] = {"acc_pk [m/s2]", "acc_rms [m/s2]", "acc_pp [m/s2]",
                                  "vel_pk [mm/s]", "vel_rms [mm/s]", "vel_pp [mm/s]",
                                  "disp_pk [um]",  "disp_rms [um]",  "disp_pp [um]"};
    for (std::size_t r = 0; r < readings.size(); ++r) {
        const auto& row = rows[r + 1];
        const TDbReading& reading = readings[r];
        ASSERT_EQ(row.size(), header.size());
        EXPECT_EQ(row[column("machine")], reading.MachineName); // quotes, commas and Cyrillic survive
        EXPECT_EQ(row[column("point")], reading.PointKey);
        EXPECT_EQ(row[column("measured")], ReadingTimeText(reading.Time));
        EXPECT_EQ(row[column("condition")], reading.Condition);
        if (reading.Kind == 0) {
            for (int i = 0; i < 9; ++i)
                EXPECT_EQ(std::strtof(row[column(LEVELS[i])].c_str(), nullptr), reading.Results.Value[i])
                    << LEVELS[i];
            EXPECT_EQ(row[column("crest [1]")], "");
        } else {
            EXPECT_EQ(std::strtof(row[column("crest [1]")].c_str(), nullptr),
                      reading.Results.Value[RESULT_CREST]);
            EXPECT_EQ(row[column("vel_rms [mm/s]")], "");
        }
        for (const std::string& field : row)
            EXPECT_EQ(field.find_first_of(";"), std::string::npos);
    }
}

// --- the command line ---------------------------------------------------------------

TEST_F(ExportTest, TheCommandLineExportsAPointAndLeavesARefusedDatabaseUntouched) {
    std::ostringstream out, err;
    const std::string csv = PathOf("p2.csv");
    EXPECT_EQ(RunDspCommand({"export", "--db", dbPath, "--format", "csv", "--point", "2", csv}, out, err), 0)
        << err.str();
    EXPECT_EQ(out.str(), "exported 1 readings\n");
    const std::string written = FileBytes(csv);
    EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 2);

    struct TCase {
        std::vector<std::string> Args;
        int Status;
    };
    const std::string notOurs = PathOf("notes.txt");
    std::ofstream(notOurs) << "shopping list\n";
    const TCase cases[] = {
        {{"export", "--db", notOurs, "--format", "csv", PathOf("x.csv")}, 1},
        {{"export", "--db", notOurs, "--format", "wav", PathOf("w")}, 1},
        {{"export", "--db", dbPath, "--format", "mp3", PathOf("x.mp3")}, 2},
        {{"export", "--db", dbPath, "--format", "csv"}, 2},
        {{"export", "--format", "csv", PathOf("x.csv")}, 2},
    };
    for (const TCase& c : cases) {
        std::ostringstream o, e;
        EXPECT_EQ(RunDspCommand(c.Args, o, e), c.Status) << c.Args[4];
        const std::string message = e.str();
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
        EXPECT_FALSE(std::filesystem::exists(PathOf("x.csv")));
    }
    EXPECT_EQ(FileBytes(notOurs), "shopping list\n");
}

} // namespace

// --- a date range -----------------------------------------------------------------------

TEST_F(TempFolderTest, ADateRangeTakesTheReadingsShownAtItsBoundsOnTheCommandLineToo) {
    // Times as the clock gives them, to the millisecond; the exports print
    // them to the second.
    const double times[] = {
        EncodeDateTime(2026, 3, 1, 0, 0, 0, 0),      EncodeDateTime(2026, 3, 1, 10, 0, 0, 700),
        EncodeDateTime(2026, 3, 1, 23, 59, 59, 999), EncodeDateTime(2026, 3, 2, 0, 0, 0, 0),
        EncodeDateTime(2026, 3, 2, 10, 0, 0, 0),
    };
    std::vector<TStoreReading> made;
    for (std::size_t i = 0; i < std::size(times); ++i) {
        made.push_back(MadeUpReadings(1, 0, static_cast<uint32_t>(i))[0]);
        made.back().Time = times[i];
    }
    const std::string dbPath = PathOf("m.sqlite");
    std::string error;
    auto db = TMeasurementDb::Open(dbPath, error);
    ASSERT_TRUE(db) << error;
    ASSERT_EQ(db->AddReadings(made, error), 5) << error;

    struct TCase {
        const char* From; // "" none
        const char* To;
        const char* Taken; // the readings in, by letter
    };
    const TCase cases[] = {
        {"2026-03-01", "2026-03-01", "ABC"},
        {"2026-03-02", "", "DE"},
        {"", "2026-03-01 10:00:00", "AB"}, // B shows as 10:00:00
        {"", "2026-03-01 09:59", "A"},
        {"2026-03-01 10:00:01", "2026-03-02 10:00", "CDE"},
        {"2026-03-01 23:59:59", "2026-03-01 23:59:59", "C"},
        {"2026-03-02 10:00:00", "2026-03-02T10:00:00", "E"},
        {"2026-03-03", "", ""},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(std::string(c.From) + " .. " + c.To);
        TDbSelection range;
        ASSERT_TRUE(!*c.From || ParseFromBound(c.From, range.From, error)) << error;
        ASSERT_TRUE(!*c.To || ParseToBound(c.To, range.To, error)) << error;
        std::string taken;
        for (const TDbReading& r : db->Readings(range, false))
            taken += static_cast<char>('A' + (std::find(std::begin(times), std::end(times), r.Time) - times));
        EXPECT_EQ(taken, c.Taken);

        std::vector<std::string> args = {"export", "--db", dbPath, "--format", "csv"};
        for (const auto& [option, value] : {std::pair{"--from", c.From}, std::pair{"--to", c.To}})
            if (*value) args.insert(args.end(), {option, value});
        args.push_back(PathOf("range.csv"));
        std::ostringstream out, err;
        ASSERT_EQ(RunDspCommand(args, out, err), 0) << err.str();
        const std::string csv = FileBytes(PathOf("range.csv"));
        EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), static_cast<long>(taken.size()) + 1);
    }

    const std::vector<std::vector<std::string>> refused = {
        {"--from", "2026-02-30"},
        {"--to", "2026-13-01"},
        {"--from", "yesterday"},
        {"--to", "2026-3-1"},
        {"--from", "2026-03-01 24:00"},
        {"--from", "2026-03-02", "--to", "2026-03-01"},
        {"--to"},
    };
    for (const auto& bounds : refused) {
        std::vector<std::string> args = {"export", "--db", dbPath, "--format", "csv", PathOf("no.csv")};
        args.insert(args.begin() + 5, bounds.begin(), bounds.end());
        std::ostringstream out, err;
        EXPECT_EQ(RunDspCommand(args, out, err), 2) << bounds[0] << ' ' << bounds.back();
        const std::string message = err.str();
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
        EXPECT_FALSE(std::filesystem::exists(PathOf("no.csv")));
    }
}
