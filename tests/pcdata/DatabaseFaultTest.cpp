// The database file under faults: a writer killed at any point of a
// transfer, files that are not a measurement database, and an old schema.
#include "PcDataTestSupport.h"
#include "pcdata/MeasurementDb.h"

#include <sqlite3.h>

#include <csignal>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A file system layer over the default one that counts every write, sync,
// truncation and delete, and kills the process with SIGKILL at the given
// one: a power cut or a kill -9 at an arbitrary point of a transaction,
// commit and journal removal included.
struct TKillingVfs {
    static inline sqlite3_vfs* Base = nullptr;
    static inline sqlite3_vfs Vfs{};
    static inline sqlite3_io_methods Methods{};
    static inline long Count = 0;
    static inline long KillAt = -1; // never

    struct TFile {
        sqlite3_file Base;
        sqlite3_file* Real;
    };

    static void Tick() {
        if (++Count == KillAt) raise(SIGKILL);
    }
    static sqlite3_file* Real(sqlite3_file* f) { return reinterpret_cast<TFile*>(f)->Real; }

    static int Close(sqlite3_file* f) {
        const int rc = Real(f)->pMethods ? Real(f)->pMethods->xClose(Real(f)) : SQLITE_OK;
        sqlite3_free(Real(f));
        return rc;
    }
    static int Read(sqlite3_file* f, void* p, int n, sqlite3_int64 o) {
        return Real(f)->pMethods->xRead(Real(f), p, n, o);
    }
    static int Write(sqlite3_file* f, const void* p, int n, sqlite3_int64 o) {
        Tick();
        return Real(f)->pMethods->xWrite(Real(f), p, n, o);
    }
    static int Truncate(sqlite3_file* f, sqlite3_int64 size) {
        Tick();
        return Real(f)->pMethods->xTruncate(Real(f), size);
    }
    static int Sync(sqlite3_file* f, int flags) {
        Tick();
        return Real(f)->pMethods->xSync(Real(f), flags);
    }
    static int FileSize(sqlite3_file* f, sqlite3_int64* size) {
        return Real(f)->pMethods->xFileSize(Real(f), size);
    }
    static int Lock(sqlite3_file* f, int l) { return Real(f)->pMethods->xLock(Real(f), l); }
    static int Unlock(sqlite3_file* f, int l) { return Real(f)->pMethods->xUnlock(Real(f), l); }
    static int CheckReservedLock(sqlite3_file* f, int* out) {
        return Real(f)->pMethods->xCheckReservedLock(Real(f), out);
    }
    static int FileControl(sqlite3_file* f, int op, void* arg) {
        return Real(f)->pMethods->xFileControl(Real(f), op, arg);
    }
    static int SectorSize(sqlite3_file* f) { return Real(f)->pMethods->xSectorSize(Real(f)); }
    static int DeviceCharacteristics(sqlite3_file* f) {
        return Real(f)->pMethods->xDeviceCharacteristics(Real(f));
    }

    static int Open(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
        auto* file = reinterpret_cast<TFile*>(f);
        file->Real = static_cast<sqlite3_file*>(sqlite3_malloc(Base->szOsFile));
        std::memset(file->Real, 0, static_cast<std::size_t>(Base->szOsFile));
        const int rc = Base->xOpen(Base, name, file->Real, flags, outFlags);
        file->Base.pMethods = rc == SQLITE_OK ? &Methods : nullptr;
        if (rc != SQLITE_OK) sqlite3_free(file->Real);
        return rc;
    }
    static int Delete(sqlite3_vfs*, const char* name, int syncDir) {
        Tick();
        return Base->xDelete(Base, name, syncDir);
    }

    // Makes the layer the default for the connections opened after it.
    static void Install() {
        Base = sqlite3_vfs_find(nullptr);
        Vfs = *Base;
        Vfs.zName = "killing";
        Vfs.szOsFile = sizeof(TFile);
        Vfs.xOpen = Open;
        Vfs.xDelete = Delete;
        Methods = {1,
                   Close,
                   Read,
                   Write,
                   Truncate,
                   Sync,
                   FileSize,
                   Lock,
                   Unlock,
                   CheckReservedLock,
                   FileControl,
                   SectorSize,
                   DeviceCharacteristics,
                   nullptr,
                   nullptr,
                   nullptr,
                   nullptr,
                   nullptr,
                   nullptr};
        sqlite3_vfs_register(&Vfs, 1);
    }
};

// Runs a transfer of `readings` into path in a child process killed at the
// killAt-th file operation (never when -1). Returns the operations the
// child counted when it was not killed, or -1 when it was.
long TransferInChild(const std::string& path, const std::vector<TStoreReading>& readings, long killAt) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return -2;
    const pid_t child = fork();
    if (child == 0) {
        close(pipeEnds[0]);
        TKillingVfs::Install();
        TKillingVfs::KillAt = killAt;
        std::string error;
        auto db = TMeasurementDb::Open(path, error);
        const int added = db ? db->AddReadings(readings, error) : -1;
        db.reset();
        const long count = added == static_cast<int>(readings.size()) ? TKillingVfs::Count : -3;
        if (write(pipeEnds[1], &count, sizeof count) != sizeof count) _exit(3);
        _exit(0);
    }
    close(pipeEnds[1]);
    long count = -1;
    const bool told = read(pipeEnds[0], &count, sizeof count) == sizeof count;
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) return -1;
    return told ? count : -4;
}

using DatabaseFaultTest = TempFolderTest;

TEST_F(DatabaseFaultTest, ATransferKilledAnywhereLeavesAllOrNoneOfIt) {
    const std::string path = PathOf("m.sqlite");
    const auto first = MadeUpReadings(13, 0, 1);
    const auto second = MadeUpReadings(13, 7, 2);
    {
        std::string error;
        auto db = TMeasurementDb::Open(path, error);
        ASSERT_TRUE(db) << error;
        ASSERT_EQ(db->AddReadings(first, error), 13) << error;
    }
    const std::string before = FileBytes(path);
    // A whole transfer in a child: how many file operations it takes.
    std::filesystem::copy_file(path, PathOf("probe.sqlite"));
    const long operations = TransferInChild(PathOf("probe.sqlite"), second, -1);
    ASSERT_GT(operations, 10);

    std::mt19937 random(20261209);
    std::uniform_int_distribution<long> step(1, operations);
    int none = 0;
    for (int attempt = 0; attempt < 30; ++attempt) {
        const long killAt = step(random);
        SCOPED_TRACE("killed at operation " + std::to_string(killAt) + " of " + std::to_string(operations));
        std::filesystem::remove(path + "-journal");
        { std::ofstream(path, std::ios::binary | std::ios::trunc) << before; }
        ASSERT_EQ(TransferInChild(path, second, killAt), -1);

        std::string error;
        auto db = TMeasurementDb::Open(path, error);
        ASSERT_TRUE(db) << error;
        const int64_t count = db->ReadingCount();
        ASSERT_TRUE(count == 13 || count == 26) << count;
        none += count == 13 ? 1 : 0;
        // Neither half: every reading of the transfer is whole.
        for (const TDbReading& r : db->Readings({}, true))
            ASSERT_EQ(r.Samples.size(), 8192u);
        // And the file takes the next transfer.
        const auto third = MadeUpReadings(2, 30, 3);
        EXPECT_EQ(db->AddReadings(third, error), 2) << error;
    }
    // Every kill fell before the journal was gone, so none of them may show.
    EXPECT_EQ(none, 30);
}

std::string OwnDatabase(const std::string& path) {
    std::string error;
    auto db = TMeasurementDb::Open(path, error);
    EXPECT_TRUE(db) << error;
    if (db) db->AddReadings(MadeUpReadings(13, 0, 5), error);
    return path;
}

void ForeignSqlite(const std::string& path, const char* sql) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

struct TBadFile {
    const char* Name;
    TDbRefusal Refusal;
    void (*Make)(const std::string& path);
};

const TBadFile BAD_FILES[] = {
    {"random bytes", TDbRefusal::NotSqlite,
     [](const std::string& path) {
         std::mt19937 random(7);
         std::string bytes(40000, '\0');
         for (char& c : bytes)
             c = static_cast<char>(random());
         std::ofstream(path, std::ios::binary) << bytes;
     }},
    {"a text file", TDbRefusal::NotSqlite,
     [](const std::string& path) { std::ofstream(path) << "[RoutePoints]\n1=4\n"; }},
    {"truncated to half", TDbRefusal::Damaged,
     [](const std::string& path) {
         OwnDatabase(path);
         std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
     }},
    {"truncated to its header", TDbRefusal::Damaged,
     [](const std::string& path) {
         OwnDatabase(path);
         std::filesystem::resize_file(path, 100);
     }},
    {"another program's SQLite file", TDbRefusal::Foreign,
     [](const std::string& path) { ForeignSqlite(path, "CREATE TABLE notes(id INTEGER, text TEXT)"); }},
    {"another application id", TDbRefusal::Foreign,
     [](const std::string& path) { ForeignSqlite(path, "PRAGMA application_id = 1234; CREATE TABLE t(x)"); }},
    {"a newer schema", TDbRefusal::Newer,
     [](const std::string& path) {
         OwnDatabase(path);
         ForeignSqlite(path, "PRAGMA user_version = 99");
     }},
};

TEST_F(DatabaseFaultTest, FilesThatAreNotASoundMeasurementDatabaseAreRefusedAndLeftAsTheyAre) {
    for (const TBadFile& bad : BAD_FILES) {
        SCOPED_TRACE(bad.Name);
        const std::string path = PathOf("bad.sqlite");
        std::filesystem::remove(path);
        bad.Make(path);
        const std::string bytes = FileBytes(path);
        std::string error;
        TDbRefusal refusal = TDbRefusal::None;
        EXPECT_FALSE(TMeasurementDb::Open(path, error, &refusal));
        EXPECT_EQ(refusal, bad.Refusal);
        EXPECT_NE(error.find(path), std::string::npos) << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
        EXPECT_EQ(FileBytes(path), bytes);
        // Twice: a refusal changes nothing that a second look would see.
        EXPECT_FALSE(TMeasurementDb::Open(path, error, &refusal));
        EXPECT_EQ(FileBytes(path), bytes);
        EXPECT_FALSE(std::filesystem::exists(path + "-journal"));
    }
}

TEST_F(DatabaseFaultTest, ARefusedFileIsKeptAsideUnderANameNoFileHas) {
    const std::string path = PathOf("m.sqlite");
    for (int round = 1; round <= 3; ++round) {
        const std::string content = "not a database, round " + std::to_string(round);
        std::ofstream(path) << content;
        const std::string aside = KeepAside(path);
        EXPECT_EQ(aside, round == 1 ? path + ".refused" : path + ".refused-" + std::to_string(round));
        EXPECT_EQ(FileBytes(aside), content);
        EXPECT_FALSE(std::filesystem::exists(path));
    }
    // Each earlier one is still there, unchanged.
    EXPECT_EQ(FileBytes(path + ".refused"), "not a database, round 1");
    // A new database then starts at the old name.
    std::string error;
    EXPECT_TRUE(TMeasurementDb::Open(path, error)) << error;
}

TEST_F(DatabaseFaultTest, AFirstVersionFileIsBroughtUpToDateWithItsReadings) {
    const std::string path = PathOf("v1.sqlite");
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
    std::string error;
    ASSERT_TRUE(UpgradeSchema(raw, 1, error)) << error;
    // A reading as the first version wrote it: its samples 0, 1, 2, ...
    std::string blob;
    for (int i = 0; i < 8192; ++i) {
        blob += static_cast<char>(i & 0xFF);
        blob += static_cast<char>((i >> 8) & 0xFF);
    }
    ASSERT_EQ(sqlite3_exec(raw,
                           "INSERT INTO machines VALUES(1, 'machine1', 'machine 1');"
                           "INSERT INTO points VALUES(1, 1, '2', '002 02H High-HOR', 1);"
                           "INSERT INTO transfers VALUES(1, '2026-01-01 10:00:00', 1);",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(
        raw,
        "INSERT INTO readings VALUES(1, 1, 1, 46023.5, 0, 1.5, 0.25, 3, 1.25, 2.75, 4, 5, 6, 7, 0, "
        "'good rpm=1480', 0, ?1)",
        -1, &insert, nullptr);
    sqlite3_bind_blob(insert, 1, blob.data(), static_cast<int>(blob.size()), SQLITE_TRANSIENT);
    ASSERT_EQ(sqlite3_step(insert), SQLITE_DONE);
    sqlite3_finalize(insert);
    sqlite3_close(raw);

    for (int round = 0; round < 2; ++round) { // upgraded once, then opened as it is
        auto db = TMeasurementDb::Open(path, error);
        ASSERT_TRUE(db) << error;
        EXPECT_EQ(db->SchemaVersion(), LatestSchemaVersion());
        const auto readings = db->Readings({}, true);
        ASSERT_EQ(readings.size(), 1u);
        EXPECT_EQ(readings[0].Label, "002 02H High-HOR");
        EXPECT_EQ(readings[0].Results.Value[RESULT_VEL_RMS], 2.75f);
        ASSERT_EQ(readings[0].Samples.size(), 8192u);
        EXPECT_EQ(readings[0].Samples[8191], 8191);
        // What the new version adds works on the old file.
        ASSERT_TRUE(db->SetLimits(readings[0].PointId, {2, 2.8 + round, 7.1, true}, error)) << error;
        EXPECT_EQ(db->Limits(readings[0].PointId).Alert, 2.8 + round);
        // The baseline set before closing is there after reopening.
        if (round == 0) {
            ASSERT_TRUE(db->SetBaseline(readings[0].Id, error)) << error;
        }
        EXPECT_EQ(db->Baseline(readings[0].PointId), readings[0].Id);
    }
}

} // namespace
