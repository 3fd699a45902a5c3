#include "TestDatabase.h"

#include <chrono>
#include <cstdio>

void TestDatabase::Create(const std::string& engine) {
    m_db = std::make_unique<bothengines::EngineDatabase>(engine, "document");
}

void TestDatabase::CreatePeople(int n) {
    Exec("CREATE TABLE People (ID INTEGER PRIMARY KEY, Name TEXT(30), Born DATE, "
         "Salary CURRENCY, Flag BOOLEAN, Notes MEMO)");
    using namespace std::chrono;
    const sys_days first = year{2000} / January / 1;
    std::string sql = "BEGIN;";
    // Rows in batches: one statement each, not one a row, so that the server takes them fast.
    const int kBatch = 500;
    for (int i = 1; i <= n; ++i) {
        const year_month_day born{first + days{i - 1}};
        char row[256];
        std::snprintf(row, sizeof row,
                      "%s(%d, 'Name %03d', '%04d-%02d-%02d', %d.%02d, %s, 'note %d')",
                      (i - 1) % kBatch ? ", " : "INSERT INTO People VALUES ", i, i,
                      static_cast<int>(born.year()), static_cast<unsigned>(born.month()),
                      static_cast<unsigned>(born.day()), i * 100 + i / 4, (i % 4) * 25,
                      (i % 2) ? "TRUE" : "FALSE", i);
        sql += row;
        if (i % kBatch == 0 || i == n)
            sql += ";";
    }
    Exec(sql + "COMMIT");
}
