// Helpers shared by the data-access tests: private copies of sample databases, small
// databases made from SQL, and the error code an operation throws.
#pragma once

#include <afxdao.h>

#include "tools/sampledb/SampleDatabase.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace daotest {

inline std::string DataDir() {
    return std::string(KEL_TEST_DATA_DIR) + "/dao";
}

// A file name of the running test's own.
inline std::string TestFile(const std::string& suffix) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::filesystem::create_directories(DataDir());
    return DataDir() + "/" + info->test_suite_name() + "." + info->name() + suffix;
}

// A private copy of the cached sample database of `rows` orders.
inline std::string SampleCopy(long long rows) {
    std::string source = kelsampledb::Cached(DataDir(), rows);
    std::string path = TestFile(".db");
    std::filesystem::copy_file(source, path, std::filesystem::copy_options::overwrite_existing);
    std::filesystem::remove(path + "-journal");
    return path;
}

// A new database file made by running sql.
inline std::string MakeDatabase(const std::string& sql) {
    std::string path = TestFile(".db");
    std::filesystem::remove(path);
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    char* message = nullptr;
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message);
    EXPECT_EQ(rc, SQLITE_OK) << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
    return path;
}

// Runs sql on its own connection, as another program would.
inline int ExecOther(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_busy_timeout(db, 100);
    int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return rc;
}

// The first column of a query's rows (OrderIDs, as a rule), read by a connection of its own.
inline std::vector<long> QueryIds(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK) << sql;
    std::vector<long> ids;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        ids.push_back(sqlite3_column_int(stmt, 0));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return ids;
}

// A private copy of the sample database, open, with one dynaset over it.
class SampleTest : public ::testing::Test {
protected:
    void OpenSample(long long rows, const char* sql = "SELECT * FROM Orders") {
        path = SampleCopy(rows);
        db.Open(path.c_str());
        rs.Open(dbOpenDynaset, sql);
    }
    std::string path;
    CDaoDatabase db;
    CDaoRecordset rs{&db};
};

struct DaoError {
    long code = 0;
    std::string description;
};

// The engine error an operation throws; code 0 when it throws nothing.
template <class F> DaoError ErrorOf(F&& f) {
    DaoError error;
    try {
        f();
    } catch (CDaoException* e) {
        error.code = e->m_pErrorInfo ? e->m_pErrorInfo->m_lErrorCode : -1;
        error.description = e->m_pErrorInfo ? e->m_pErrorInfo->m_strDescription.str() : "";
        e->Delete();
    }
    return error;
}

template <class F> long CodeOf(F&& f) {
    return ErrorOf(std::forward<F>(f)).code;
}

inline long Long(CDaoRecordset& rs, int field) {
    COleVariant v = rs.GetFieldValue(field);
    v.ChangeType(VT_I4);
    return v.lVal;
}

inline std::string Text(CDaoRecordset& rs, LPCTSTR field) {
    COleVariant v = rs.GetFieldValue(field);
    if (v.vt == VT_NULL)
        return "<null>";
    v.ChangeType(VT_BSTR);
    return V_BSTRT(&v);
}

} // namespace daotest
