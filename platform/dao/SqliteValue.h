// Owns a copy of one SQLite value (sqlite3_value_dup). Private to the data-access classes.
#pragma once

#include <sqlite3.h>

#include <utility>

namespace kel::dao {

class SqliteValue {
public:
    SqliteValue() = default;
    explicit SqliteValue(const sqlite3_value* v) : m_value(v ? sqlite3_value_dup(v) : nullptr) {}
    SqliteValue(const SqliteValue& other) : SqliteValue(other.m_value) {}
    SqliteValue(SqliteValue&& other) noexcept : m_value(std::exchange(other.m_value, nullptr)) {}
    SqliteValue& operator=(SqliteValue other) noexcept {
        std::swap(m_value, other.m_value);
        return *this;
    }
    ~SqliteValue() { sqlite3_value_free(m_value); }

    const sqlite3_value* get() const { return m_value; }
    bool IsNull() const { return !m_value || sqlite3_value_type(m_value) == SQLITE_NULL; }

private:
    sqlite3_value* m_value = nullptr;
};

} // namespace kel::dao
