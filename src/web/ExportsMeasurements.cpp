// The web page's measurement database: a module of its own, loaded when the
// page first transfers or opens its Measurements panel, so that the
// instrument's start does not wait for SQLite. It runs the same core as the
// desktop (schema, dedupe, limits, zones, exports); the page only keeps the
// file: it puts the stored bytes in this module's memory file system before
// orxdb_Open and writes them back after every call that changed them
// (orxdb_Changed says so).
//
// Texts cross as UTF-8 JSON; bytes as a pointer and orxdb_Size(). A returned
// text or block stays valid until the next call of this file that returns one.
#include "measure/Samplingimp.h"
#include "pcdata/Exports.h"
#include "pcdata/MeasurementDb.h"
#include "pcdata/ReadingBundle.h"
#include "pcdata/ReadingSignal.h"
#include "pcdata/ReadingSpeed.h"
#include "pcdata/SpectrumCursors.h"
#include "pcdata/TrendLimits.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"
#include "training/AnswerSheet.h"

#include <emscripten/emscripten.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

std::unique_ptr<TMeasurementDb> g_Db;
std::string g_Returned;
std::vector<double> g_Signal;
// The spectra of the last orxdb_Signal, today's and its baseline's on
// today's lines, and the series drawn of them: what the cursor and the
// harmonic cursors read.
std::vector<double> g_Today, g_Base, g_Drawn;
double g_LineSpacing = 0;
bool g_Changed = false;

const char* Return(std::string text) {
    g_Returned = std::move(text);
    return g_Returned.c_str();
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", value);
    return text;
}

std::string Error(const std::string& text) {
    return "{\"error\":" + JsonText(text) + "}";
}

// A point's kind is its latest reading's.
int16_t PointKind(const std::vector<TDbReading>& readings) {
    return readings.empty() ? KIND_MEAS : readings.back().Kind;
}

std::string LimitsJson(const TPointLimits& limits) {
    return "{\"group\":" + std::to_string(limits.MachineGroup) + ",\"alert\":" + Number(limits.Alert) +
           ",\"danger\":" + Number(limits.Danger) + ",\"stored\":" + (limits.Stored ? "true" : "false") + "}";
}

std::vector<TDbReading> PointReadings(int64_t pointId, bool withSamples) {
    std::vector<TDbReading> readings;
    for (TDbReading& r : g_Db->Readings({}, withSamples))
        if (r.PointId == pointId) readings.push_back(std::move(r));
    return readings;
}

// The reading a point's readings are compared with: the one the user set,
// else (as the desktop's window does) the first reading of the point's kind.
int64_t PointBaseline(const std::vector<TDbReading>& readings, int64_t kept) {
    if (kept) return kept;
    const int16_t kind = PointKind(readings);
    for (const TDbReading& r : readings)
        if (r.Kind == kind) return r.Id;
    return 0;
}

void PutSeries(const std::vector<double>& values) {
    g_Signal.insert(g_Signal.end(), values.begin(), values.end());
}

} // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE void orxdb_SetLanguage(int language) {
    SetThreadLanguage(static_cast<LANGID>(language));
}

// Opens (or creates) the database at path: 0, or the refusal's kind (a
// TDbRefusal) with orxdb_Message() saying why; the file is then untouched.
EMSCRIPTEN_KEEPALIVE int orxdb_Open(const char* path) {
    g_Db.reset();
    std::string error;
    TDbRefusal refusal = TDbRefusal::None;
    g_Db = TMeasurementDb::Open(path, error, &refusal);
    Return(error);
    // Opening creates or brings the schema up to date: the file may differ.
    g_Changed = static_cast<bool>(g_Db);
    return g_Db ? 0 : static_cast<int>(refusal == TDbRefusal::None ? TDbRefusal::Failed : refusal);
}

EMSCRIPTEN_KEEPALIVE const char* orxdb_Message() {
    return g_Returned.c_str();
}

// 1 when the file changed since the last call of this (the page writes it back).
EMSCRIPTEN_KEEPALIVE int orxdb_Changed() {
    const bool changed = g_Changed;
    g_Changed = false;
    return changed ? 1 : 0;
}

// Adds the readings of a block the instrument's module packed:
// {"measured":N,"added":M} or {"error":...}, nothing added then.
EMSCRIPTEN_KEEPALIVE const char* orxdb_Transfer(const char* bytes, int size) {
    if (!g_Db || size < 0) return Return(Error(LoadStr(TEXT_PC_DB_FAILED)));
    std::vector<TStoreReading> readings;
    std::string error;
    if (!UnpackReadings(std::string_view(bytes, static_cast<std::size_t>(size)), readings, error))
        return Return(Error(error));
    int added = 0;
    if (!readings.empty()) {
        added = g_Db->AddReadings(readings, error);
        if (added < 0) return Return(Error(error));
        g_Changed = added > 0;
    }
    return Return("{\"measured\":" + std::to_string(readings.size()) + ",\"added\":" + std::to_string(added) +
                  "}");
}

// A consistent copy of the database into path: 1, or 0 with orxdb_Message().
EMSCRIPTEN_KEEPALIVE int orxdb_SaveCopy(const char* path) {
    std::string error;
    const bool ok = g_Db && g_Db->SaveCopy(path, error);
    Return(error);
    return ok ? 1 : 0;
}

// Adds the readings of the database file at path that this one lacks:
// {"added":N} or {"error":...}, nothing changed then.
EMSCRIPTEN_KEEPALIVE const char* orxdb_Import(const char* path) {
    if (!g_Db) return Return(Error(LoadStr(TEXT_PC_DB_FAILED)));
    std::string error;
    const int added = g_Db->ImportFrom(path, error);
    if (added < 0) return Return(Error(error));
    g_Changed = added > 0;
    return Return("{\"added\":" + std::to_string(added) + "}");
}

EMSCRIPTEN_KEEPALIVE int orxdb_ReadingCount() {
    return g_Db ? static_cast<int>(g_Db->ReadingCount()) : 0;
}

// Machines and their points: [{"key","name","points":[{"id","key","label","orientation","count"}]}].
EMSCRIPTEN_KEEPALIVE const char* orxdb_Tree() {
    std::string out = "[";
    if (g_Db)
        for (const TDbMachine& m : g_Db->Machines()) {
            if (out.size() > 1) out += ',';
            out += "{\"key\":" + JsonText(m.Key) + ",\"name\":" + JsonText(m.Name) + ",\"points\":[";
            for (std::size_t i = 0; i < m.Points.size(); ++i) {
                const TDbPoint& p = m.Points[i];
                out += std::string(i ? "," : "") + "{\"id\":" + std::to_string(p.Id) +
                       ",\"key\":" + JsonText(p.Key) + ",\"label\":" + JsonText(p.Label) +
                       ",\"orientation\":" + std::to_string(p.Orientation) +
                       ",\"count\":" + std::to_string(p.ReadingCount) + "}";
            }
            out += "]}";
        }
    return Return(out + "]");
}

// A point's trend: its kind, limits and readings in time order, each with
// its trend level and zone (0 normal, 1 alert, 2 danger) and nine results.
EMSCRIPTEN_KEEPALIVE const char* orxdb_Point(double pointId) {
    if (!g_Db) return Return("{}");
    const auto id = static_cast<int64_t>(pointId);
    const std::vector<TDbReading> readings = PointReadings(id, false);
    const int16_t kind = PointKind(readings);
    const TPointLimits limits = PointLimits(*g_Db, id, kind);
    const int64_t kept = g_Db->Baseline(id);
    std::string out = "{\"kind\":" + std::to_string(kind) + ",\"limits\":" + LimitsJson(limits) +
                      ",\"baseline\":" + std::to_string(PointBaseline(readings, kept)) +
                      ",\"baselineKept\":" + (kept ? "true" : "false") + ",\"readings\":[";
    for (std::size_t i = 0; i < readings.size(); ++i) {
        const TDbReading& r = readings[i];
        const double level = TrendLevel(r);
        out += std::string(i ? "," : "") + "{\"id\":" + std::to_string(r.Id) + ",\"time\":" + Number(r.Time) +
               ",\"timeText\":" + JsonText(ReadingTimeText(r.Time)) + ",\"kind\":" + std::to_string(r.Kind) +
               ",\"level\":" + Number(level) +
               ",\"zone\":" + std::to_string(static_cast<int>(TrendZone(level, limits))) +
               ",\"overload\":" + (r.Overload ? "true" : "false") +
               ",\"condition\":" + JsonText(r.Condition) + ",\"results\":[";
        for (std::size_t k = 0; k < r.Results.Value.size(); ++k)
            out += (k ? "," : "") + Number(r.Results.Value[k]);
        out += "]}";
    }
    return Return(out + "]}");
}

// Limits the user typed for a point (the machine group stays the one shown,
// group): its new trend, or {"error":...} for an alert that is not above
// zero and below the danger level, nothing kept then.
EMSCRIPTEN_KEEPALIVE const char* orxdb_SetOwnLimits(double pointId, int group, double alert, double danger) {
    if (!g_Db) return Return(Error(LoadStr(TEXT_PC_DB_FAILED)));
    if (!(alert > 0.0 && alert < danger && danger < 1e6))
        return Return(Error(LoadStr(TEXT_PAGE_PC_LIMITS_BAD)));
    std::string error;
    if (!g_Db->SetLimits(static_cast<int64_t>(pointId), {group, alert, danger, true}, error))
        return Return(Error(error));
    g_Changed = true;
    return orxdb_Point(pointId);
}

// Keeps the reading as its point's baseline: {"ok":true}, or {"error":...}.
EMSCRIPTEN_KEEPALIVE const char* orxdb_SetBaseline(double readingId) {
    if (!g_Db) return Return(Error(LoadStr(TEXT_PC_DB_FAILED)));
    std::string error;
    if (!g_Db->SetBaseline(static_cast<int64_t>(readingId), error)) return Return(Error(error));
    g_Changed = true;
    return Return("{\"ok\":true}");
}

// A point's limits from an ISO machine group (0..3, as TMachineGroup): the
// point's new trend (as orxdb_Point), or {"error":...}.
EMSCRIPTEN_KEEPALIVE const char* orxdb_SetLimits(double pointId, int group) {
    if (!g_Db) return Return(Error(LoadStr(TEXT_PC_DB_FAILED)));
    const auto id = static_cast<int64_t>(pointId);
    std::string error;
    if (!g_Db->SetLimits(id, DefaultLimits(PointKind(PointReadings(id, false)), group), error))
        return Return(Error(error));
    g_Changed = true;
    return orxdb_Point(pointId);
}

// An export as bytes (orxdb_Size() long): format "csv" or "uff58" of a point
// (pointId > 0) or of every reading, "wav" of the reading readingId. Its file
// name through orxdb_ExportName(). Null when there is nothing to export.
EMSCRIPTEN_KEEPALIVE const char* orxdb_Export(const char* format, double pointId, double readingId) {
    g_Returned.clear();
    if (!g_Db) return nullptr;
    const auto kind = ParseExportFormat(format);
    if (!kind) return nullptr;
    if (*kind == TExportFormat::Wav) {
        const auto reading = g_Db->Reading(static_cast<int64_t>(readingId));
        if (!reading) return nullptr;
        g_Returned = WavBytes(*reading);
        return g_Returned.data();
    }
    const std::vector<TDbReading> readings =
        pointId > 0 ? PointReadings(static_cast<int64_t>(pointId), *kind == TExportFormat::Uff58)
                    : g_Db->Readings({}, *kind == TExportFormat::Uff58);
    if (readings.empty()) return nullptr;
    g_Returned = *kind == TExportFormat::Csv ? CsvText(readings) : Uff58Text(readings);
    return g_Returned.data();
}

EMSCRIPTEN_KEEPALIVE int orxdb_Size() {
    return static_cast<int>(g_Returned.size());
}

// The WAV file name the desktop's export gives the reading.
EMSCRIPTEN_KEEPALIVE const char* orxdb_WavName(double readingId) {
    const auto reading = g_Db ? g_Db->Reading(static_cast<int64_t>(readingId)) : std::nullopt;
    return Return(reading ? WavFileName(*reading) : std::string());
}

// The reading's waveform (mm/s against time) and spectrum (peak mm/s from
// 0 Hz), and its baseline's (baselineId 0: none; another kind: none), as
// doubles: [kind, rate, line spacing Hz, running speed Hz (0: unknown),
// wave count, line count, baseline wave count, baseline line count, wave...,
// lines..., baseline wave..., baseline lines...]. With orders the baseline's
// lines stand on this reading's orders (each reading at its own speed);
// with difference the lines are this reading's minus the baseline's and no
// baseline lines follow. orxdb_SignalSize() counts them, 0 for no such
// reading. finer: 1, 2, 4 or 8.
EMSCRIPTEN_KEEPALIVE const double* orxdb_Signal(double readingId, double baselineId, int finer, int orders,
                                                int difference) {
    g_Signal.clear();
    g_Today.clear();
    g_Base.clear();
    g_Drawn.clear();
    g_LineSpacing = 0;
    const auto reading = g_Db ? g_Db->Reading(static_cast<int64_t>(readingId)) : std::nullopt;
    if (!reading) return g_Signal.data();
    auto baseline = baselineId > 0 ? g_Db->Reading(static_cast<int64_t>(baselineId)) : std::nullopt;
    if (baseline && (baseline->Kind != reading->Kind || baseline->Samples.size() != reading->Samples.size()))
        baseline.reset();
    const double shaftHz = ReadingShaftHz(reading->Condition);
    const std::vector<double> wave = ReadingWaveform(reading->Kind, reading->Samples);
    TReadingSpectrum spectrum = ReadingSpectrum(reading->Kind, reading->Samples, finer);
    g_LineSpacing = spectrum.LineSpacing;
    g_Today = std::move(spectrum.Amplitude);
    std::vector<double> baseWave;
    if (baseline) {
        baseWave = ReadingWaveform(baseline->Kind, baseline->Samples);
        g_Base =
            SpectrumAtSpeed(ReadingSpectrum(baseline->Kind, baseline->Samples, finer).Amplitude,
                            orders && shaftHz > 0.0 ? ReadingShaftHz(baseline->Condition) : 0.0, shaftHz);
    }
    const bool minus = difference && baseline;
    g_Drawn = minus ? SpectrumDifference(g_Today, g_Base) : g_Today;
    const std::vector<double> noLines;
    const std::vector<double>& baseLines = minus ? noLines : g_Base;
    g_Signal = {static_cast<double>(reading->Kind),
                READING_RATE,
                g_LineSpacing,
                shaftHz,
                static_cast<double>(wave.size()),
                static_cast<double>(g_Drawn.size()),
                static_cast<double>(baseWave.size()),
                static_cast<double>(baseLines.size())};
    PutSeries(wave);
    PutSeries(g_Drawn);
    PutSeries(baseWave);
    PutSeries(baseLines);
    return g_Signal.data();
}

// The line a click or a key at line means on the last spectrum drawn: the
// highest within reach (an analyst pointing near a peak means the peak).
EMSCRIPTEN_KEEPALIVE int orxdb_PeakNear(int line, int reach) {
    if (g_Drawn.empty() || line < 0 || reach < 0) return line < 0 ? 0 : line;
    return static_cast<int>(
        PeakLineNear(g_Drawn, static_cast<std::size_t>(line), static_cast<std::size_t>(reach)));
}

// Harmonic cursors 1x..10x of this reading's own peak near line, on the
// last spectrum: [{"order","hz","line","level","baseline"}] (baseline null
// without one); reach: the finer factor.
EMSCRIPTEN_KEEPALIVE const char* orxdb_Harmonics(int line, int reach) {
    if (g_Today.empty() || line < 0) return Return("[]");
    const auto near = static_cast<std::size_t>(reach < 1 ? 1 : reach);
    const auto cursors = HarmonicCursors(
        g_Today, g_LineSpacing, PeakLineNear(g_Today, static_cast<std::size_t>(line), near), 10, near);
    std::string out = "[";
    for (const THarmonicCursor& c : cursors) {
        if (out.size() > 1) out += ',';
        out += "{\"order\":" + std::to_string(c.Order) + ",\"hz\":" + Number(c.Hz) +
               ",\"line\":" + std::to_string(c.Line) + ",\"level\":" + Number(c.Amplitude) +
               ",\"drawn\":" + Number(c.Line < g_Drawn.size() ? g_Drawn[c.Line] : 0.0) +
               ",\"baseline\":" + (c.Line < g_Base.size() ? Number(g_Base[c.Line]) : std::string("null")) +
               "}";
    }
    return Return(out + "]");
}

EMSCRIPTEN_KEEPALIVE int orxdb_SignalSize() {
    return static_cast<int>(g_Signal.size());
}

} // extern "C"
