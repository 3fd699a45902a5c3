#include "TestDatabase.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>

namespace {

std::string TestFileName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "db";
    for (char& c : name)
        if (c == '/')
            c = '_';
    return name;
}

} // namespace

TestDatabase::TestDatabase() : TestDatabase(TestFileName()) {}

TestDatabase::TestDatabase(const std::string& name) {
    std::filesystem::path dir = std::filesystem::path(KEL_TEST_DATA_DIR) / "document";
    std::filesystem::create_directories(dir);
    m_path = (dir / (name + ".db")).string();
    std::filesystem::remove(m_path);
    if (sqlite3_open(m_path.c_str(), &m_db) != SQLITE_OK)
        ADD_FAILURE() << "cannot create " << m_path;
}

TestDatabase::~TestDatabase() {
    sqlite3_close(m_db);
}

void TestDatabase::Exec(const std::string& sql) {
    char* error = nullptr;
    if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        ADD_FAILURE() << sql << ": " << (error ? error : "?");
        sqlite3_free(error);
    }
}

void TestDatabase::CreatePeople(int n) {
    Exec("CREATE TABLE People (ID INTEGER PRIMARY KEY, Name TEXT(30), Born DATE, "
         "Salary CURRENCY, Flag BOOLEAN, Notes MEMO)");
    Exec("BEGIN");
    for (int i = 1; i <= n; ++i) {
        char sql[256];
        std::snprintf(sql, sizeof sql,
                      "INSERT INTO People VALUES (%d, 'Name %03d', "
                      "date('2000-01-01', '+%d days'), %d.%02d, %d, 'note %d')",
                      i, i, i - 1, i * 100 + i / 4, (i % 4) * 25, (i % 2) ? -1 : 0, i);
        Exec(sql);
    }
    Exec("COMMIT");
}
