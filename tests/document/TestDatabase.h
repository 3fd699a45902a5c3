// Small databases for the document's tests, written with bare SQLite so that each test
// states exactly the columns, types and rows it needs.
#pragma once

#include <string>
#include <vector>

struct sqlite3;

class TestDatabase {
public:
    // A new, empty database file named after the running test (any old one is removed).
    TestDatabase();
    explicit TestDatabase(const std::string& name);
    ~TestDatabase();
    TestDatabase(const TestDatabase&) = delete;
    TestDatabase& operator=(const TestDatabase&) = delete;

    const std::string& Path() const { return m_path; }
    // Runs SQL text (several statements allowed); the test fails on an error.
    void Exec(const std::string& sql);

    // Table People(ID INTEGER PRIMARY KEY, Name TEXT(30), ...) with n rows: ID 1..n,
    // Name "Name 001".., Born 2000-01-01 + i days, Salary i * 100.25, Flag i odd.
    void CreatePeople(int n);

private:
    std::string m_path;
    sqlite3* m_db = nullptr;
};
