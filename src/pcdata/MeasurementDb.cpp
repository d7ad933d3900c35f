#include "pcdata/MeasurementDb.h"

#include "pcdata/DbStatement.h"
#include "platform/DateTime.h"
#include "platform/Strings.h"
#include "resources/StringIds.h"

#include <sqlite3.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr char SQLITE_MAGIC[] = "SQLite format 3"; // and its terminating zero: 16 bytes
constexpr std::size_t HEADER_BYTES = 100;

uint32_t BigEndian(const unsigned char* p, int bytes) {
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value = (value << 8) | p[i];
    return value;
}

// The first 100 bytes of the file; fewer when it is shorter.
std::string ReadHeader(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string header(HEADER_BYTES, '\0');
    in.read(header.data(), static_cast<std::streamsize>(header.size()));
    header.resize(static_cast<std::size_t>(in.gcount()));
    return header;
}

bool IsSqliteHeader(const std::string& header) {
    return header.size() == HEADER_BYTES &&
           std::memcmp(header.data(), SQLITE_MAGIC, sizeof SQLITE_MAGIC) == 0;
}

// A file shorter than the pages its header counts has lost its end. The
// count is trusted only where SQLite marks it valid.
bool IsTruncated(const std::string& path) {
    const std::string header = ReadHeader(path);
    if (!IsSqliteHeader(header)) return true;
    const auto* h = reinterpret_cast<const unsigned char*>(header.data());
    const uint32_t rawPageSize = BigEndian(h + 16, 2);
    const uint64_t pageSize = rawPageSize == 1 ? 65536 : rawPageSize;
    const uint32_t pages = BigEndian(h + 28, 4);
    const bool countValid = pages != 0 && BigEndian(h + 24, 4) == BigEndian(h + 92, 4);
    std::error_code error;
    const auto size = fs::file_size(path, error);
    if (error) return true;
    return countValid && size < pageSize * pages;
}

int64_t QueryInt(sqlite3* db, const char* sql, bool& ok) {
    TDbStatement statement(db, sql);
    const int rc = statement.Step();
    ok = rc == SQLITE_ROW;
    return ok ? statement.Int(0) : 0;
}

std::string SamplesBlob(const std::vector<int16_t>& samples) {
    std::string bytes(2 * samples.size(), '\0');
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const auto word = static_cast<uint16_t>(samples[i]);
        bytes[2 * i] = static_cast<char>(word & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(word >> 8);
    }
    return bytes;
}

std::vector<int16_t> BlobSamples(const std::string& bytes) {
    std::vector<int16_t> samples(bytes.size() / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const auto lo = static_cast<uint16_t>(static_cast<unsigned char>(bytes[2 * i]));
        const auto hi = static_cast<uint16_t>(static_cast<unsigned char>(bytes[2 * i + 1]));
        samples[i] = static_cast<int16_t>(static_cast<uint16_t>(lo | (hi << 8)));
    }
    return samples;
}

// FNV-1a over the samples' bytes: finds the candidates; the bytes decide.
int64_t SamplesHash(const std::string& bytes) {
    uint64_t hash = 0xcbf29ce484222325ull;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    return static_cast<int64_t>(hash); // modular, as C++20 defines it
}

std::string WithPath(int id, const std::string& path) {
    std::string text = LoadStr(id);
    if (const auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, path);
    return text;
}

bool Exec(sqlite3* db, const char* sql) {
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

constexpr const char* READING_COLUMNS =
    "SELECT r.id, r.point_id, p.key, m.key, m.name, p.label, p.orientation, r.kind, r.measured, "
    "r.level0, r.level1, r.level2, r.level3, r.level4, r.level5, r.level6, r.level7, r.level8, "
    "r.overload, r.condition, ";

TDbReading ReadingRow(const TDbStatement& s, bool withSamples) {
    TDbReading reading;
    reading.Id = s.Int(0);
    reading.PointId = s.Int(1);
    reading.PointKey = s.Text(2);
    reading.MachineKey = s.Text(3);
    reading.MachineName = s.Text(4);
    reading.Label = s.Text(5);
    reading.Orientation = static_cast<int16_t>(s.Int(6));
    reading.Kind = static_cast<int16_t>(s.Int(7));
    reading.Time = s.Real(8);
    for (int i = 0; i < 9; ++i)
        reading.Results.Value[static_cast<std::size_t>(i)] = static_cast<float>(s.Real(9 + i));
    reading.Overload = s.Int(18) != 0;
    reading.Condition = s.Text(19);
    if (withSamples) reading.Samples = BlobSamples(s.Blob(20));
    return reading;
}

} // namespace

std::string RefusalText(TDbRefusal refusal, const std::string& path) {
    switch (refusal) {
    case TDbRefusal::NotSqlite:
        return WithPath(TEXT_PC_DB_NOT_SQLITE, path);
    case TDbRefusal::Foreign:
        return WithPath(TEXT_PC_DB_FOREIGN, path);
    case TDbRefusal::Damaged:
        return WithPath(TEXT_PC_DB_DAMAGED, path);
    case TDbRefusal::Newer:
        return WithPath(TEXT_PC_DB_NEWER, path);
    case TDbRefusal::Failed:
    case TDbRefusal::None:
        break;
    }
    return WithPath(TEXT_PC_DB_FAILED, path);
}

TMeasurementDb::TMeasurementDb(sqlite3* db) : FDb(db) {}

TMeasurementDb::~TMeasurementDb() {
    sqlite3_close(FDb);
}

std::unique_ptr<TMeasurementDb> TMeasurementDb::Open(const std::string& path, std::string& error,
                                                     TDbRefusal* refusal) {
    sqlite3* db = nullptr;
    auto refuse = [&](TDbRefusal kind) -> std::unique_ptr<TMeasurementDb> {
        if (db) sqlite3_close(db);
        error = RefusalText(kind, path);
        if (refusal) *refusal = kind;
        return nullptr;
    };

    std::error_code fsError;
    const auto status = fs::status(path, fsError);
    const bool exists = status.type() != fs::file_type::not_found;
    if (exists && status.type() != fs::file_type::regular) return refuse(TDbRefusal::Failed);
    if (exists && fs::file_size(path, fsError) > 0 && !IsSqliteHeader(ReadHeader(path)))
        return refuse(TDbRefusal::NotSqlite);

    const int flags = SQLITE_OPEN_READWRITE | (exists ? 0 : SQLITE_OPEN_CREATE);
    if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) return refuse(TDbRefusal::Failed);
    sqlite3_extended_result_codes(db, 1);

    // The first read rolls back what a killed writer left in the journal.
    bool ok = false;
    const int64_t objects = QueryInt(db, "SELECT count(*) FROM sqlite_master", ok);
    if (!ok) {
        const int code = sqlite3_errcode(db) & 0xFF;
        return refuse(code == SQLITE_CANTOPEN || code == SQLITE_PERM || code == SQLITE_BUSY
                          ? TDbRefusal::Failed
                          : TDbRefusal::Damaged);
    }
    if (exists && fs::file_size(path, fsError) > 0 && IsTruncated(path)) return refuse(TDbRefusal::Damaged);

    const int64_t application = QueryInt(db, "PRAGMA application_id", ok);
    const int64_t version = QueryInt(db, "PRAGMA user_version", ok);
    if (application == 0 && objects != 0) return refuse(TDbRefusal::Foreign);
    if (application != 0 && application != MEASUREMENT_DB_APPLICATION_ID) return refuse(TDbRefusal::Foreign);
    if (application != 0 && version == 0) return refuse(TDbRefusal::Damaged);
    if (version > LatestSchemaVersion()) return refuse(TDbRefusal::Newer);
    if (version < LatestSchemaVersion()) {
        std::string reason;
        if (!UpgradeSchema(db, LatestSchemaVersion(), reason)) {
            const bool damaged = (sqlite3_errcode(db) & 0xFF) == SQLITE_CORRUPT;
            return refuse(damaged ? TDbRefusal::Damaged : TDbRefusal::Failed);
        }
    }
    // A file cut short inside the readings' pages shows here rather than at
    // the first transfer.
    QueryInt(db, "SELECT count(*) FROM readings", ok);
    if (!ok) return refuse(TDbRefusal::Damaged);
    Exec(db, "PRAGMA foreign_keys = ON");
    sqlite3_busy_timeout(db, 2000);
    if (refusal) *refusal = TDbRefusal::None;
    return std::unique_ptr<TMeasurementDb>(new TMeasurementDb(db));
}

std::string TMeasurementDb::LastError() const {
    return sqlite3_errmsg(FDb);
}

int TMeasurementDb::SchemaVersion() {
    bool ok = false;
    return static_cast<int>(QueryInt(FDb, "PRAGMA user_version", ok));
}

int TMeasurementDb::AddReadings(const std::vector<TStoreReading>& readings, std::string& error) {
    auto fail = [&] {
        error = LastError();
        Exec(FDb, "ROLLBACK");
        return -1;
    };
    if (!Exec(FDb, "BEGIN IMMEDIATE")) return fail();
    TDbStatement transfer(FDb, "INSERT INTO transfers(received, reading_count) VALUES(datetime('now'), 0)");
    TDbStatement machine(FDb, "INSERT INTO machines(key, name) VALUES(?1, ?2) ON CONFLICT(key) DO UPDATE "
                              "SET name = excluded.name RETURNING id");
    TDbStatement point(FDb, "INSERT INTO points(machine_id, key, label, orientation) VALUES(?1, ?2, ?3, ?4) "
                            "ON CONFLICT(key) DO UPDATE SET machine_id = excluded.machine_id, "
                            "label = excluded.label, orientation = excluded.orientation RETURNING id");
    TDbStatement same(
        FDb, "SELECT samples FROM readings WHERE point_id = ?1 AND measured = ?2 AND samples_hash = ?3");
    TDbStatement insert(FDb,
                        "INSERT INTO readings(point_id, transfer_id, measured, kind, level0, level1, level2, "
                        "level3, level4, level5, level6, level7, level8, overload, condition, samples_hash, "
                        "samples) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, "
                        "?16, ?17)");
    TDbStatement count(FDb, "UPDATE transfers SET reading_count = ?1 WHERE id = ?2");
    if (transfer.Step() != SQLITE_DONE) return fail();
    const int64_t transferId = sqlite3_last_insert_rowid(FDb);

    int added = 0;
    for (const TStoreReading& r : readings) {
        machine.Reset();
        machine.Bind(1, r.MachineKey);
        machine.Bind(2, r.MachineName);
        if (machine.Step() != SQLITE_ROW) return fail();
        const int64_t machineId = machine.Int(0);
        machine.Reset();
        point.Reset();
        point.Bind(1, machineId);
        point.Bind(2, r.PointKey);
        point.Bind(3, r.Label);
        point.Bind(4, int64_t{r.Orientation});
        if (point.Step() != SQLITE_ROW) return fail();
        const int64_t pointId = point.Int(0);
        point.Reset();

        const std::string blob = SamplesBlob(r.Samples);
        const int64_t hash = SamplesHash(blob);
        same.Reset();
        same.Bind(1, pointId);
        same.Bind(2, r.Time);
        same.Bind(3, hash);
        bool known = false;
        for (int rc; !known && (rc = same.Step()) != SQLITE_DONE;) {
            if (rc != SQLITE_ROW) return fail();
            known = same.Blob(0) == blob;
        }
        same.Reset();
        if (known) continue;

        insert.Reset();
        insert.Bind(1, pointId);
        insert.Bind(2, transferId);
        insert.Bind(3, r.Time);
        insert.Bind(4, int64_t{r.Kind});
        for (int i = 0; i < 9; ++i)
            insert.Bind(5 + i, static_cast<double>(r.Results.Value[static_cast<std::size_t>(i)]));
        insert.Bind(14, int64_t{r.Overload ? 1 : 0});
        insert.Bind(15, r.Condition);
        insert.Bind(16, hash);
        insert.BindBlob(17, blob);
        if (insert.Step() != SQLITE_DONE) return fail();
        ++added;
    }
    if (added == 0) {
        // Nothing new: no transfer to record.
        Exec(FDb, "ROLLBACK");
        return 0;
    }
    count.Bind(1, int64_t{added});
    count.Bind(2, transferId);
    if (count.Step() != SQLITE_DONE) return fail();
    if (!Exec(FDb, "COMMIT")) return fail();
    return added;
}

std::vector<TDbMachine> TMeasurementDb::Machines() {
    std::vector<TDbMachine> machines;
    TDbStatement m(FDb, "SELECT id, key, name FROM machines ORDER BY id");
    while (m.Step() == SQLITE_ROW)
        machines.push_back({m.Int(0), m.Text(1), m.Text(2), {}});
    TDbStatement p(FDb,
                   "SELECT p.id, p.machine_id, p.key, p.label, p.orientation, "
                   "(SELECT count(*) FROM readings r WHERE r.point_id = p.id) FROM points p ORDER BY p.id");
    while (p.Step() == SQLITE_ROW)
        for (TDbMachine& machine : machines)
            if (machine.Id == p.Int(1))
                machine.Points.push_back(
                    {p.Int(0), p.Text(2), p.Text(3), static_cast<int16_t>(p.Int(4)), p.Int(5)});
    return machines;
}

std::vector<TDbReading> TMeasurementDb::Readings(const TDbSelection& selection, bool withSamples) {
    const std::string sql = std::string(READING_COLUMNS) + (withSamples ? "r.samples" : "NULL") +
                            " FROM readings r JOIN points p ON p.id = r.point_id JOIN machines m ON m.id = "
                            "p.machine_id WHERE (?1 = '' OR m.key = ?1) AND (?2 = '' OR p.key = ?2) AND "
                            "(?3 = 0 OR round(r.measured * 86400000) >= round(?3 * 86400000)) AND "
                            "(?4 = 0 OR round(r.measured * 86400000) < round(?4 * 86400000)) "
                            "ORDER BY r.measured, r.id";
    TDbStatement s(FDb, sql.c_str());
    s.Bind(1, selection.MachineKey);
    s.Bind(2, selection.PointKey);
    s.Bind(3, selection.From);
    s.Bind(4, selection.To);
    std::vector<TDbReading> readings;
    while (s.Step() == SQLITE_ROW)
        readings.push_back(ReadingRow(s, withSamples));
    return readings;
}

std::optional<TDbReading> TMeasurementDb::Reading(int64_t id) {
    const std::string sql = std::string(READING_COLUMNS) +
                            "r.samples FROM readings r JOIN points p ON p.id = r.point_id JOIN machines m ON "
                            "m.id = p.machine_id WHERE r.id = ?1";
    TDbStatement s(FDb, sql.c_str());
    s.Bind(1, id);
    if (s.Step() != SQLITE_ROW) return std::nullopt;
    return ReadingRow(s, true);
}

int64_t TMeasurementDb::ReadingCount() {
    bool ok = false;
    return QueryInt(FDb, "SELECT count(*) FROM readings", ok);
}

TPointLimits TMeasurementDb::Limits(int64_t pointId) {
    TDbStatement s(FDb, "SELECT machine_group, alert, danger FROM point_limits WHERE point_id = ?1");
    s.Bind(1, pointId);
    TPointLimits limits;
    if (s.Step() == SQLITE_ROW) limits = {static_cast<int>(s.Int(0)), s.Real(1), s.Real(2), true};
    return limits;
}

bool TMeasurementDb::SetLimits(int64_t pointId, const TPointLimits& limits, std::string& error) {
    TDbStatement s(FDb,
                   "INSERT INTO point_limits(point_id, machine_group, alert, danger) VALUES(?1, ?2, ?3, ?4) "
                   "ON CONFLICT(point_id) DO UPDATE SET machine_group = excluded.machine_group, "
                   "alert = excluded.alert, danger = excluded.danger");
    s.Bind(1, pointId);
    s.Bind(2, int64_t{limits.MachineGroup});
    s.Bind(3, limits.Alert);
    s.Bind(4, limits.Danger);
    if (s.Step() == SQLITE_DONE) return true;
    error = LastError();
    return false;
}

int64_t TMeasurementDb::Baseline(int64_t pointId) {
    TDbStatement s(FDb, "SELECT reading_id FROM point_baselines WHERE point_id = ?1");
    s.Bind(1, pointId);
    return s.Step() == SQLITE_ROW ? s.Int(0) : 0;
}

bool TMeasurementDb::SetBaseline(int64_t readingId, std::string& error) {
    // The point is the reading's own: a baseline never belongs elsewhere.
    TDbStatement s(FDb, "INSERT INTO point_baselines(point_id, reading_id) SELECT point_id, id FROM readings "
                        "WHERE id = ?1 ON CONFLICT(point_id) DO UPDATE SET reading_id = excluded.reading_id");
    s.Bind(1, readingId);
    if (s.Step() != SQLITE_DONE) {
        error = LastError();
        return false;
    }
    if (sqlite3_changes(FDb) == 0) {
        error = LoadStr(TEXT_PC_DB_NO_READING);
        return false;
    }
    return true;
}

bool TMeasurementDb::SaveCopy(const std::string& path, std::string& error) {
    // Written beside the target and renamed over it, so a reader never sees
    // half a copy and a failed copy leaves the old file.
    const std::string temporary = path + ".orx-copy-" + std::to_string(getpid());
    std::error_code ignored;
    fs::remove(temporary, ignored);
    TDbStatement copy(FDb, "VACUUM INTO ?1");
    copy.Bind(1, temporary);
    if (copy.Step() != SQLITE_DONE) {
        error = LastError();
        fs::remove(temporary, ignored);
        return false;
    }
    std::error_code renameError;
    fs::rename(temporary, path, renameError);
    if (renameError) {
        error = path + ": " + renameError.message();
        fs::remove(temporary, ignored);
        return false;
    }
    return true;
}

int TMeasurementDb::ImportFrom(const std::string& path, std::string& error) {
    std::error_code missing;
    if (!fs::is_regular_file(path, missing)) { // never created by an import
        error = RefusalText(TDbRefusal::Failed, path);
        return -1;
    }
    const auto other = Open(path, error);
    if (!other) return -1;
    std::vector<TStoreReading> readings;
    for (const TDbReading& r : other->Readings({}, true)) {
        TStoreReading s;
        s.PointKey = r.PointKey;
        s.MachineKey = r.MachineKey;
        s.MachineName = r.MachineName;
        s.Label = r.Label;
        s.Orientation = r.Orientation;
        s.Kind = r.Kind;
        s.Time = r.Time;
        s.Results = r.Results;
        s.Overload = r.Overload;
        s.Condition = r.Condition;
        s.Samples = r.Samples;
        readings.push_back(std::move(s));
    }
    const int added = readings.empty() ? 0 : AddReadings(readings, error);
    if (added < 0) return -1;
    // The other's baselines, found here by point, time and samples, where a
    // point has none yet (the user's own choice here stands). A later import
    // of the same file adds what an interrupted one missed.
    if (!Exec(FDb, "BEGIN IMMEDIATE")) {
        error = LastError();
        return -1;
    }
    TDbStatement find(FDb, "SELECT r.id FROM readings r JOIN points p ON p.id = r.point_id "
                           "WHERE p.key = ?1 AND r.measured = ?2 AND r.samples = ?3");
    TDbStatement keep(FDb, "INSERT OR IGNORE INTO point_baselines(point_id, reading_id) "
                           "SELECT point_id, id FROM readings WHERE id = ?1");
    for (const TDbMachine& machine : other->Machines())
        for (const TDbPoint& point : machine.Points) {
            const int64_t theirs = other->Baseline(point.Id);
            const auto reading = theirs ? other->Reading(theirs) : std::nullopt;
            if (!reading) continue;
            find.Reset();
            find.Bind(1, reading->PointKey);
            find.Bind(2, reading->Time);
            find.BindBlob(3, SamplesBlob(reading->Samples));
            if (find.Step() != SQLITE_ROW) continue;
            const int64_t ours = find.Int(0);
            find.Reset();
            keep.Reset();
            keep.Bind(1, ours);
            if (keep.Step() != SQLITE_DONE) {
                error = LastError();
                Exec(FDb, "ROLLBACK");
                return -1;
            }
        }
    if (!Exec(FDb, "COMMIT")) {
        error = LastError();
        Exec(FDb, "ROLLBACK");
        return -1;
    }
    return added;
}

std::string KeepAside(const std::string& path) {
    for (int n = 1; n < 1000; ++n) {
        std::string aside = path;
        aside += ".refused";
        if (n > 1) {
            aside += '-';
            aside += std::to_string(n);
        }
        // link() never replaces an existing name; the old name goes after.
        if (link(path.c_str(), aside.c_str()) != 0) {
            if (errno == EEXIST) continue;
            return {};
        }
        unlink(path.c_str());
        // A journal belongs to its file: it would otherwise be played into
        // the next database created at path.
        const std::string journal = path + "-journal";
        if (link(journal.c_str(), (aside + "-journal").c_str()) == 0) unlink(journal.c_str());
        return aside;
    }
    return {};
}
