// Counts the statements SQLite runs and the rows it steps on every connection opened while the
// counter is armed (the data-access classes' own connection, when a database is opened then).
// Shared by the tests that keep movement and painting from reading more than they should.
#pragma once

#include <sqlite3.h>

class StatementCounter {
public:
    StatementCounter() { sqlite3_auto_extension(reinterpret_cast<void (*)()>(&Install)); }
    ~StatementCounter() { Disarm(); }
    StatementCounter(const StatementCounter&) = delete;
    StatementCounter& operator=(const StatementCounter&) = delete;
    // Connections opened from now on are not counted; those opened before still are.
    void Disarm() { sqlite3_cancel_auto_extension(reinterpret_cast<void (*)()>(&Install)); }
    void Reset() { statements = rows = 0; }

    static inline int statements = 0;
    static inline int rows = 0;

private:
    static int Install(sqlite3* db, char**, const sqlite3_api_routines*) {
        sqlite3_trace_v2(db, SQLITE_TRACE_STMT | SQLITE_TRACE_ROW, &Count, nullptr);
        return SQLITE_OK;
    }
    static int Count(unsigned type, void*, void*, void*) {
        ++(type == SQLITE_TRACE_STMT ? statements : rows);
        return 0;
    }
};
