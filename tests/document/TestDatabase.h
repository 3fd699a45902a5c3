// Small databases for the document's tests on either engine, each test stating exactly the
// columns, types and rows it needs (in SQLite's words; the server gets its own).
#pragma once

#include "tests/platform/dao/BothEngines.h"

#include <memory>
#include <string>

class TestDatabase {
public:
    // An empty database of the running test's own on that engine ("SQLite", "PostgreSQL").
    void Create(const std::string& engine);

    // What the document opens: the file's path or the server's URI.
    const std::string& Path() const { return m_db->Name(); }
    bool IsServer() const { return m_db->IsServer(); }
    // Runs SQL text (several statements allowed); the test fails on an error.
    void Exec(const std::string& sql) { m_db->Exec(sql); }
    bothengines::EngineDatabase& Engine() { return *m_db; }

    // Table People(ID INTEGER PRIMARY KEY, Name TEXT(30), ...) with n rows: ID 1..n,
    // Name "Name 001".., Born 2000-01-01 + i days, Salary i * 100.25, Flag i odd.
    void CreatePeople(int n);

private:
    std::unique_ptr<bothengines::EngineDatabase> m_db;
};
