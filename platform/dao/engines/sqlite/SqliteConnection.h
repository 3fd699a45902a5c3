// Owns one sqlite3 connection. Private to the data-access classes.
#pragma once

#include <sqlite3.h>

#include <utility>

namespace kel::dao {

class SqliteConnection {
public:
    SqliteConnection() = default;
    explicit SqliteConnection(sqlite3* db) : m_db(db) {}
    SqliteConnection(SqliteConnection&& other) noexcept
        : m_db(std::exchange(other.m_db, nullptr)) {}
    SqliteConnection& operator=(SqliteConnection&& other) noexcept {
        if (this != &other)
            Reset(std::exchange(other.m_db, nullptr));
        return *this;
    }
    SqliteConnection(const SqliteConnection&) = delete;
    SqliteConnection& operator=(const SqliteConnection&) = delete;
    ~SqliteConnection() { Reset(); }

    sqlite3* get() const { return m_db; }
    explicit operator bool() const { return m_db != nullptr; }

    // Closes the connection (statements still alive keep it until they are finalized).
    void Reset(sqlite3* db = nullptr) {
        if (m_db)
            sqlite3_close_v2(m_db);
        m_db = db;
    }

private:
    sqlite3* m_db = nullptr;
};

} // namespace kel::dao
