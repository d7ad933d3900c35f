#pragma once
// A prepared SQLite statement that finalizes itself, with binding by position
// (1-based, as SQLite counts) and column reading by position (0-based).
#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TDbStatement {
  public:
    TDbStatement(sqlite3* db, const char* sql) {
        FOk = sqlite3_prepare_v2(db, sql, -1, &FStatement, nullptr) == SQLITE_OK;
    }
    ~TDbStatement() { sqlite3_finalize(FStatement); }
    TDbStatement(const TDbStatement&) = delete;
    TDbStatement& operator=(const TDbStatement&) = delete;

    bool Prepared() const { return FOk; }
    void Bind(int i, int64_t value) { sqlite3_bind_int64(FStatement, i, value); }
    void Bind(int i, double value) { sqlite3_bind_double(FStatement, i, value); }
    void Bind(int i, std::string_view text) {
        sqlite3_bind_text(FStatement, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    void BindBlob(int i, const std::string& bytes) {
        sqlite3_bind_blob(FStatement, i, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    }
    // SQLITE_ROW, SQLITE_DONE or an error code; an unprepared statement fails.
    int Step() { return FOk ? sqlite3_step(FStatement) : SQLITE_ERROR; }
    void Reset() {
        sqlite3_reset(FStatement);
        sqlite3_clear_bindings(FStatement);
    }

    int64_t Int(int column) const { return sqlite3_column_int64(FStatement, column); }
    double Real(int column) const { return sqlite3_column_double(FStatement, column); }
    std::string Text(int column) const {
        const auto* text = sqlite3_column_text(FStatement, column);
        return text ? std::string(reinterpret_cast<const char*>(text),
                                  static_cast<std::size_t>(sqlite3_column_bytes(FStatement, column)))
                    : std::string();
    }
    std::string Blob(int column) const {
        const void* data = sqlite3_column_blob(FStatement, column);
        const int size = sqlite3_column_bytes(FStatement, column);
        return data ? std::string(static_cast<const char*>(data), static_cast<std::size_t>(size))
                    : std::string();
    }

  private:
    sqlite3_stmt* FStatement = nullptr;
    bool FOk = false;
};
