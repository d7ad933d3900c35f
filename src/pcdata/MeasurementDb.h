#pragma once
// The measurement database: one SQLite file holding every reading the PC has
// received from the instrument, with its machine and point, and each point's
// alarm limits. The file carries this program's application id and a schema
// version; an older schema is brought up to date in one transaction when the
// file is opened, a newer one, a foreign SQLite file or a damaged file is
// refused and left exactly as it is. Every change is one transaction, so a
// program killed half-way leaves the file as it was before that change.
//
// One object is one connection; it is not shared between threads.
#include "pcdata/StoreReadings.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct sqlite3;

inline constexpr int32_t MEASUREMENT_DB_APPLICATION_ID = 0x4F525837; // "ORX7"

enum class TDbRefusal {
    None,
    NotSqlite, // not an SQLite file at all (random bytes, another format)
    Foreign,   // an SQLite file of another program
    Damaged,   // ours, but truncated or corrupt
    Newer,     // ours, from a newer version of the program
    Failed,    // could not be opened or created (permissions, no such folder)
};

struct TDbPoint {
    int64_t Id = 0;
    std::string Key, Label;
    int16_t Orientation = 0;
    int64_t ReadingCount = 0;
};

struct TDbMachine {
    int64_t Id = 0;
    std::string Key, Name;
    std::vector<TDbPoint> Points;
};

// One reading; Samples is filled only where asked for.
struct TDbReading {
    int64_t Id = 0;
    int64_t PointId = 0;
    std::string PointKey, MachineKey, MachineName, Label;
    int16_t Orientation = 0;
    int16_t Kind = 0;
    double Time = 0;
    TMeasResults Results;
    bool Overload = false;
    std::string Condition;
    std::vector<int16_t> Samples;
};

// Which readings an export or a view takes; empty fields take all.
struct TDbSelection {
    std::string MachineKey;
    std::string PointKey;
    // Day counts, compared to the millisecond (the clock's resolution): from
    // From on (0: from the first), before To (0: to the last). A reading of
    // unknown time (0) is in only when From is 0.
    double From = 0, To = 0;
};

// A point's alert and danger levels (velocity RMS mm/s, or the crest factor
// for a kind 1 point), and the ISO machine group they came from (-1 when the
// user typed them).
struct TPointLimits {
    int MachineGroup = 0;
    double Alert = 0, Danger = 0;
    bool Stored = false; // false: no limits kept for the point yet
};

class TMeasurementDb {
  public:
    // Opens the database at path, creating it when nothing (or an empty file)
    // is there. On refusal: null, a one-line reason in error, the kind in
    // refusal, and the file untouched.
    static std::unique_ptr<TMeasurementDb> Open(const std::string& path, std::string& error,
                                                TDbRefusal* refusal = nullptr);
    ~TMeasurementDb();
    TMeasurementDb(const TMeasurementDb&) = delete;
    TMeasurementDb& operator=(const TMeasurementDb&) = delete;

    // Adds the readings not yet in the database (same point, same time, same
    // samples) as one transaction. The number added, or -1 with a reason when
    // nothing was added.
    int AddReadings(const std::vector<TStoreReading>& readings, std::string& error);

    std::vector<TDbMachine> Machines();
    // The readings of the selection in time order; samples only when asked.
    std::vector<TDbReading> Readings(const TDbSelection& selection, bool withSamples);
    std::optional<TDbReading> Reading(int64_t id);
    int64_t ReadingCount();

    TPointLimits Limits(int64_t pointId);
    bool SetLimits(int64_t pointId, const TPointLimits& limits, std::string& error);

    // The reading a point's later readings are compared with, as the user
    // set it: 0 when none is kept.
    int64_t Baseline(int64_t pointId);
    // Keeps readingId as its point's baseline; false with a reason when
    // there is no such reading (the old one is then kept).
    bool SetBaseline(int64_t readingId, std::string& error);

    // A consistent copy of the whole database into the file at path, which
    // is replaced whole or left as it was.
    bool SaveCopy(const std::string& path, std::string& error);
    // Adds the readings of the database at path that this one lacks, and
    // the other's baselines of points that have none here yet; the other
    // file is opened with the same checks and never changed. The number of
    // readings added, or -1 with a reason.
    int ImportFrom(const std::string& path, std::string& error);

    // The schema version the file holds now.
    int SchemaVersion();
    // The last error of the connection, for messages.
    std::string LastError() const;

  private:
    explicit TMeasurementDb(sqlite3* db);
    sqlite3* FDb;
};

// The latest schema version this program writes.
int LatestSchemaVersion();
// Brings a database's schema from its version up to `upTo` (tests open the
// first version this way); false with a reason, the file then as it was.
bool UpgradeSchema(sqlite3* db, int upTo, std::string& error);

// Moves a refused file aside, next to it, under a name no file has (the path
// plus ".refused", ".refused-2", ...), with its journal; never overwrites.
// The new name, or empty when it could not be moved.
std::string KeepAside(const std::string& path);

// Readable one-line text of a refusal, for messages.
std::string RefusalText(TDbRefusal refusal, const std::string& path);
