// Owns one prepared statement. Private to the data-access classes.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace kel::dao {

class SqliteStatement {
public:
    SqliteStatement() = default;
    SqliteStatement(SqliteStatement&& other) noexcept
        : m_stmt(std::exchange(other.m_stmt, nullptr)) {}
    SqliteStatement& operator=(SqliteStatement&& other) noexcept {
        if (this != &other) {
            sqlite3_finalize(m_stmt);
            m_stmt = std::exchange(other.m_stmt, nullptr);
        }
        return *this;
    }
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;
    ~SqliteStatement() { sqlite3_finalize(m_stmt); }

    // SQLITE_OK or the error; *tail receives what follows the first statement.
    int Prepare(sqlite3* db, std::string_view sql, std::string_view* tail = nullptr) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        const char* end = nullptr;
        int rc = sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &m_stmt, &end);
        if (tail)
            *tail = end ? std::string_view(end, sql.data() + sql.size() - end) : std::string_view();
        return rc;
    }

    sqlite3_stmt* get() const { return m_stmt; }
    explicit operator bool() const { return m_stmt != nullptr; }

    int Step() { return sqlite3_step(m_stmt); }
    // Ends the statement's read so that no lock outlives the call that stepped it.
    void Reset() {
        if (m_stmt) {
            sqlite3_reset(m_stmt);
            sqlite3_clear_bindings(m_stmt);
        }
    }

    void Bind(int i, std::int64_t v) { sqlite3_bind_int64(m_stmt, i, v); }
    void Bind(int i, double v) { sqlite3_bind_double(m_stmt, i, v); }
    void Bind(int i, std::string_view text) {
        sqlite3_bind_text(m_stmt, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    }
    void BindBlob(int i, const void* data, int size) {
        sqlite3_bind_blob(m_stmt, i, data, size, SQLITE_TRANSIENT);
    }
    void BindNull(int i) { sqlite3_bind_null(m_stmt, i); }

    int ColumnCount() const { return sqlite3_column_count(m_stmt); }
    int ColumnType(int i) const { return sqlite3_column_type(m_stmt, i); }
    std::int64_t ColumnInt64(int i) const { return sqlite3_column_int64(m_stmt, i); }
    double ColumnDouble(int i) const { return sqlite3_column_double(m_stmt, i); }
    std::string_view ColumnText(int i) const {
        const unsigned char* p = sqlite3_column_text(m_stmt, i);
        return p ? std::string_view(reinterpret_cast<const char*>(p),
                                    static_cast<size_t>(sqlite3_column_bytes(m_stmt, i)))
                 : std::string_view();
    }

private:
    sqlite3_stmt* m_stmt = nullptr;
};

// Resets a statement when the scope ends, however it ends.
class SqliteStatementScope {
public:
    explicit SqliteStatementScope(SqliteStatement& stmt) : m_stmt(stmt) {}
    ~SqliteStatementScope() { m_stmt.Reset(); }
    SqliteStatementScope(const SqliteStatementScope&) = delete;
    SqliteStatementScope& operator=(const SqliteStatementScope&) = delete;

private:
    SqliteStatement& m_stmt;
};

} // namespace kel::dao
