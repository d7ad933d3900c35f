// The measurement database's schema, as a list of steps: step N brings a
// file from version N-1 to version N. A step is never changed once it has
// shipped; a new need is a new step.
#include "pcdata/MeasurementDb.h"

#include <sqlite3.h>

#include <array>
#include <string>

namespace {

constexpr std::array<const char*, 3> SCHEMA_STEPS = {
    // 1: machines, their points and the readings, each reading with its
    // results in slot order and its samples as little-endian 16-bit values.
    R"(CREATE TABLE machines(
           id INTEGER PRIMARY KEY,
           key TEXT NOT NULL UNIQUE,
           name TEXT NOT NULL);
       CREATE TABLE points(
           id INTEGER PRIMARY KEY,
           machine_id INTEGER NOT NULL REFERENCES machines(id),
           key TEXT NOT NULL UNIQUE,
           label TEXT NOT NULL,
           orientation INTEGER NOT NULL);
       CREATE TABLE transfers(
           id INTEGER PRIMARY KEY,
           received TEXT NOT NULL,
           reading_count INTEGER NOT NULL);
       CREATE TABLE readings(
           id INTEGER PRIMARY KEY,
           point_id INTEGER NOT NULL REFERENCES points(id),
           transfer_id INTEGER NOT NULL REFERENCES transfers(id),
           measured REAL NOT NULL,
           kind INTEGER NOT NULL,
           level0 REAL NOT NULL, level1 REAL NOT NULL, level2 REAL NOT NULL,
           level3 REAL NOT NULL, level4 REAL NOT NULL, level5 REAL NOT NULL,
           level6 REAL NOT NULL, level7 REAL NOT NULL, level8 REAL NOT NULL,
           overload INTEGER NOT NULL,
           condition TEXT NOT NULL,
           samples_hash INTEGER NOT NULL,
           samples BLOB NOT NULL);
       CREATE INDEX readings_by_point ON readings(point_id, measured, samples_hash);)",
    // 2: each point's alarm limits, kept when the user sets them.
    R"(CREATE TABLE point_limits(
           point_id INTEGER PRIMARY KEY REFERENCES points(id),
           machine_group INTEGER NOT NULL,
           alert REAL NOT NULL,
           danger REAL NOT NULL);)",
    // 3: each point's baseline, the reading the user compares later ones with.
    R"(CREATE TABLE point_baselines(
           point_id INTEGER PRIMARY KEY REFERENCES points(id),
           reading_id INTEGER NOT NULL REFERENCES readings(id));)",
};

} // namespace

int LatestSchemaVersion() {
    return static_cast<int>(SCHEMA_STEPS.size());
}

bool UpgradeSchema(sqlite3* db, int upTo, std::string& error) {
    auto fail = [&] {
        error = sqlite3_errmsg(db);
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        return false;
    };
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) return fail();
    sqlite3_stmt* statement = nullptr;
    int version = 0;
    if (sqlite3_prepare_v2(db, "PRAGMA user_version", -1, &statement, nullptr) == SQLITE_OK &&
        sqlite3_step(statement) == SQLITE_ROW)
        version = sqlite3_column_int(statement, 0);
    sqlite3_finalize(statement);
    for (int step = version + 1; step <= upTo && step <= LatestSchemaVersion(); ++step) {
        if (sqlite3_exec(db, SCHEMA_STEPS[static_cast<std::size_t>(step - 1)], nullptr, nullptr, nullptr) !=
            SQLITE_OK)
            return fail();
        const std::string stamp =
            "PRAGMA user_version = " + std::to_string(step) +
            "; PRAGMA application_id = " + std::to_string(MEASUREMENT_DB_APPLICATION_ID);
        if (sqlite3_exec(db, stamp.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) return fail();
    }
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) return fail();
    return true;
}
