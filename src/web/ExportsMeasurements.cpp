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
    std::string out =
        "{\"kind\":" + std::to_string(kind) + ",\"limits\":" + LimitsJson(limits) + ",\"readings\":[";
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
// 0 Hz) as doubles: [kind, rate, line spacing, wave count, line count,
// wave..., lines...]; orxdb_SignalSize() counts them, 0 for no such reading.
// finer: 1, 2, 4 or 8.
EMSCRIPTEN_KEEPALIVE const double* orxdb_Signal(double readingId, int finer) {
    g_Signal.clear();
    const auto reading = g_Db ? g_Db->Reading(static_cast<int64_t>(readingId)) : std::nullopt;
    if (reading) {
        const std::vector<double> wave = ReadingWaveform(reading->Kind, reading->Samples);
        const TReadingSpectrum spectrum = ReadingSpectrum(reading->Kind, reading->Samples, finer);
        g_Signal = {static_cast<double>(reading->Kind), READING_RATE, spectrum.LineSpacing,
                    static_cast<double>(wave.size()), static_cast<double>(spectrum.Amplitude.size())};
        g_Signal.insert(g_Signal.end(), wave.begin(), wave.end());
        g_Signal.insert(g_Signal.end(), spectrum.Amplitude.begin(), spectrum.Amplitude.end());
    }
    return g_Signal.data();
}

EMSCRIPTEN_KEEPALIVE int orxdb_SignalSize() {
    return static_cast<int>(g_Signal.size());
}

} // extern "C"
