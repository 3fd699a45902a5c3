// Helpers shared by the data-access tests: databases of each test's own on both engines (the
// sample, or small ones made from SQL), and the error code an operation throws.
#pragma once

#include <afxdao.h>

#include "tests/platform/dao/BothEngines.h"
#include "tools/sampledb/SampleDatabase.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
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

// A test run on each engine (TEST_P, KEL_BOTH_ENGINES), over a database of its own.
class EngineTest : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override { KEL_ENGINE_SETUP(GetParam()); }
    bool IsServer() const { return bothengines::IsServer(GetParam()); }

    // The test's database, empty until something is put in it.
    bothengines::EngineDatabase& Store() {
        if (!store)
            store = std::make_unique<bothengines::EngineDatabase>(GetParam(), "dao");
        return *store;
    }
    // The test's database made by running SQL in SQLite's words; its name.
    std::string MakeDatabase(const std::string& sql) {
        Store().Exec(sql);
        return store->Name();
    }
    // The sample of `rows` orders as the test's database, a fresh copy each time; its name.
    std::string LoadSample(long long rows) {
        store.reset();
        store = std::make_unique<bothengines::EngineDatabase>(
            GetParam(), "dao", bothengines::EngineDatabase::Sample{rows});
        return store->Name();
    }
    // Runs SQL (SQLite's words) on a connection of its own, as another program would; false
    // when it fails.
    bool ExecOther(const std::string& sql) {
        try {
            bothengines::RunStatements(*Store().Another(), sql, IsServer());
        } catch (const kel::dao::EngineError& e) {
            ADD_FAILURE() << sql << ": " << e.what();
            return false;
        }
        return true;
    }
    // The first column of a query's rows (OrderIDs, as a rule), read by a connection of its
    // own; the query is in SQLite's words, its ORDER BY written through Ordered.
    std::vector<long> QueryIds(const std::string& sql) {
        return Store().Ids(bothengines::EngineWords(sql, IsServer()));
    }
    // The first value of a query as text ("<null>", "<none>" when there is no row).
    std::string QueryText(const std::string& sql) {
        return Store().Value(bothengines::EngineWords(sql, IsServer()));
    }
    // ORDER BY terms ("Customer DESC, OrderID") in the order Jet gives: on the server NULLs
    // first ascending and the sample's text without regard to case, as SQLite orders them.
    std::string Ordered(const std::string& terms) const {
        return bothengines::JetOrder(terms, IsServer());
    }
    // A text column of the sample compared without regard to case, as on SQLite.
    std::string Key(const std::string& column) const {
        return bothengines::TextKey(column, IsServer());
    }

    std::unique_ptr<bothengines::EngineDatabase> store;
};

// Runs f; a CDaoException it throws ends the test with the engine's code and text (gtest shows
// a std::exception's text, and nothing of an exception thrown by pointer).
template <class F> void Told(F&& f) {
    try {
        f();
    } catch (CDaoException* e) {
        std::string text = "DAO error";
        if (e->m_pErrorInfo)
            text += " " + std::to_string(e->m_pErrorInfo->m_lErrorCode) + ": " +
                    e->m_pErrorInfo->m_strDescription.str();
        e->Delete();
        throw std::runtime_error(text);
    }
}

// The sample database on each engine, open, with one dynaset over it.
class SampleTest : public EngineTest {
protected:
    void OpenSample(long long rows, const char* sql = "SELECT * FROM Orders") {
        path = LoadSample(rows);
        Told([&] {
            db.Open(path.c_str());
            rs.Open(dbOpenDynaset, sql);
        });
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
