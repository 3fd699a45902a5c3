// The sample on a PostgreSQL server: the same rows as the SQLite file, the server's types,
// keys and indexes, loading once, and never a half-loaded or clobbered schema.
#include "tools/sampledb/SampleDatabase.h"
#include "tools/sampledb/ServerSample.h"

#include <libpq-fe.h>
#include <sqlite3.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

const char* Env(const char* name) {
    const char* v = std::getenv(name);
    return v && *v ? v : nullptr;
}

std::string Folder() {
    return std::string(KEL_TEST_DATA_DIR) + "/sampledb_server";
}

using Rows = std::vector<std::vector<std::string>>;

struct PgConnDeleter {
    void operator()(PGconn* c) const { PQfinish(c); }
};
struct PgResultDeleter {
    void operator()(PGresult* r) const { PQclear(r); }
};

class ServerSampleTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!Env("KEL_TEST_PG")) {
            if (Env("KEL_REQUIRE_PG"))
                FAIL() << "KEL_REQUIRE_PG is set but KEL_TEST_PG names no server";
            GTEST_SKIP() << "KEL_TEST_PG is not set: no PostgreSQL server to test against";
        }
        m_conninfo = Env("KEL_TEST_PG");
        static int counter = 0;
        m_schema = "kel_sample_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
        m_conn.reset(PQconnectdb(m_conninfo.c_str()));
        ASSERT_EQ(PQstatus(m_conn.get()), CONNECTION_OK) << PQerrorMessage(m_conn.get());
        Query("SET client_min_messages = warning");
    }

    void TearDown() override {
        if (m_conn && PQstatus(m_conn.get()) == CONNECTION_OK)
            Query("DROP SCHEMA IF EXISTS " + m_schema + " CASCADE");
    }

    Rows Query(const std::string& sql) {
        std::unique_ptr<PGresult, PgResultDeleter> result(PQexec(m_conn.get(), sql.c_str()));
        const ExecStatusType status = PQresultStatus(result.get());
        if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
            throw std::runtime_error(sql + ": " + PQerrorMessage(m_conn.get()));
        Rows rows;
        for (int r = 0; r < PQntuples(result.get()); ++r) {
            rows.emplace_back();
            for (int c = 0; c < PQnfields(result.get()); ++c)
                rows.back().push_back(
                    PQgetisnull(result.get(), r, c) ? "NULL" : PQgetvalue(result.get(), r, c));
        }
        return rows;
    }
    std::string Value(const std::string& sql) {
        const Rows rows = Query(sql);
        return rows.empty() || rows[0].empty() ? "" : rows[0][0];
    }
    std::string Table(const std::string& name) const { return m_schema + ".\"" + name + "\""; }

    std::string m_conninfo, m_schema;
    std::unique_ptr<PGconn, PgConnDeleter> m_conn;
};

// The rows of a query on the SQLite file as text; floating values with every digit.
Rows SqliteRows(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK) << sql;
    Rows rows;
    while (stmt && sqlite3_step(stmt) == SQLITE_ROW) {
        rows.emplace_back();
        for (int c = 0; c < sqlite3_column_count(stmt); ++c) {
            if (sqlite3_column_type(stmt, c) == SQLITE_FLOAT) { // every digit
                char buffer[40];
                std::snprintf(buffer, sizeof buffer, "%.17g", sqlite3_column_double(stmt, c));
                rows.back().push_back(buffer);
                continue;
            }
            const char* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
            rows.back().push_back(text ? text : "NULL");
        }
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return rows;
}

// Floating columns compared as the numbers they are: the server prints the shortest text.
void ExpectSameNumber(const std::string& sqlite, const std::string& server, bool single,
                      const std::string& where) {
    if (sqlite == "NULL" || server == "NULL") {
        EXPECT_EQ(sqlite, server) << where;
        return;
    }
    if (single)
        EXPECT_EQ(std::strtof(sqlite.c_str(), nullptr), std::strtof(server.c_str(), nullptr))
            << where;
    else
        EXPECT_EQ(std::strtod(sqlite.c_str(), nullptr), std::strtod(server.c_str(), nullptr))
            << where;
}

TEST_F(ServerSampleTest, RowsEqualTheSqliteFile) {
    const long long rows = 3000;
    ASSERT_TRUE(kelsampledb::LoadServer(m_conninfo, m_schema, Folder(), rows, 5));
    const std::string file = kelsampledb::Cached(Folder(), rows, 5);

    // Weight (8) and Discount (9) are compared as numbers, the rest as text.
    const Rows expected = SqliteRows(
        file, "SELECT OrderID, Customer, City, CustomerID, "
              "CASE WHEN length(OrderDate) = 10 THEN OrderDate || ' 00:00:00' ELSE OrderDate END, "
              "CASE WHEN Amount IS NULL THEN NULL ELSE printf('%.4f', Amount) END, "
              "Quantity, Priority, Weight, Discount, CASE Shipped WHEN 0 THEN 'f' ELSE 't' END, "
              "Notes, CASE WHEN Picture IS NULL THEN NULL ELSE '\\x' || lower(hex(Picture)) END "
              "FROM Orders ORDER BY OrderID");
    const Rows loaded = Query("SELECT * FROM " + Table("Orders") + " ORDER BY \"OrderID\"");
    ASSERT_EQ(loaded.size(), expected.size());
    for (size_t r = 0; r < expected.size(); ++r) {
        ASSERT_EQ(loaded[r].size(), 13u);
        const std::string where = "order " + expected[r][0];
        for (size_t c = 0; c < 13; ++c) {
            if (c == 8 || c == 9)
                ExpectSameNumber(expected[r][c], loaded[r][c], c == 9, where);
            else if (expected[r][c] != loaded[r][c])
                ADD_FAILURE() << where << " column " << c << ": " << expected[r][c] << " vs "
                              << loaded[r][c];
        }
    }
    EXPECT_EQ(Query("SELECT \"CustomerID\", \"Name\", \"City\", \"Phone\", \"Since\" FROM " +
                    Table("Customers") + " ORDER BY 1"),
              SqliteRows(file, "SELECT CustomerID, Name, City, Phone, Since || ' 00:00:00' FROM "
                               "Customers ORDER BY 1"));
    EXPECT_EQ(Value("SELECT count(*) FROM " + Table("OrderDetails")), std::to_string(rows));
}

TEST_F(ServerSampleTest, ServerTypesKeysAndIndexes) {
    ASSERT_TRUE(kelsampledb::LoadServer(m_conninfo, m_schema, Folder(), 200));
    const Rows types =
        Query("SELECT a.attname || ' ' || format_type(a.atttypid, a.atttypmod) || "
              "CASE WHEN a.attnotnull THEN ' not null' ELSE '' END FROM pg_attribute a "
              "WHERE a.attrelid = '" +
              Table("Orders") + "'::regclass AND a.attnum > 0 ORDER BY a.attnum");
    const std::vector<std::string> expected = {"OrderID integer not null",
                                               "Customer character varying(40) not null",
                                               "City character varying(30)",
                                               "CustomerID integer",
                                               "OrderDate timestamp without time zone",
                                               "Amount numeric(19,4)",
                                               "Quantity smallint",
                                               "Priority smallint",
                                               "Weight double precision",
                                               "Discount real",
                                               "Shipped boolean not null",
                                               "Notes text",
                                               "Picture bytea"};
    ASSERT_EQ(types.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(types[i][0], expected[i]);

    EXPECT_EQ(Query("SELECT indexrelid::regclass::text FROM pg_index WHERE indrelid IN ('" +
                    Table("Orders") + "'::regclass, '" + Table("Customers") +
                    "'::regclass) ORDER BY 1"),
              (Rows{{m_schema + ".\"CustomersByName\""},
                    {m_schema + ".\"Customers_pkey\""},
                    {m_schema + ".\"OrdersByCustomer\""},
                    {m_schema + ".\"OrdersByDate\""},
                    {m_schema + ".\"Orders_pkey\""}}));

    // NULLs first, as Jet orders them, so that the index serves both directions.
    EXPECT_NE(Value("SELECT pg_get_indexdef('" + m_schema + ".\"OrdersByDate\"'::regclass)")
                  .find("\"OrderDate\" NULLS FIRST"),
              std::string::npos);

    // A new order without a key gets the next one, as SQLite's rowid would give it.
    EXPECT_EQ(Value("INSERT INTO " + Table("Orders") +
                    " (\"Customer\", \"CustomerID\") VALUES ('New', 1) RETURNING \"OrderID\""),
              "201");
    EXPECT_THROW(Query("INSERT INTO " + Table("Orders") +
                       " (\"OrderID\", \"Customer\") VALUES (5, 'Twice')"),
                 std::runtime_error);
}

TEST_F(ServerSampleTest, LoadsOnceAndReplacesOnlyASample) {
    ASSERT_TRUE(kelsampledb::LoadServer(m_conninfo, m_schema, Folder(), 100, 1));
    EXPECT_TRUE(kelsampledb::ServerHolds(m_conninfo, m_schema, 100, 1));
    Query("UPDATE " + Table("Orders") + " SET \"Customer\" = 'Kept' WHERE \"OrderID\" = 1");
    EXPECT_FALSE(kelsampledb::LoadServer(m_conninfo, m_schema, Folder(), 100, 1));
    EXPECT_EQ(Value("SELECT \"Customer\" FROM " + Table("Orders") + " WHERE \"OrderID\" = 1"),
              "Kept");

    // Another sample replaces it.
    EXPECT_FALSE(kelsampledb::ServerHolds(m_conninfo, m_schema, 150, 1));
    EXPECT_TRUE(kelsampledb::LoadServer(m_conninfo, m_schema, Folder(), 150, 1));
    EXPECT_EQ(Value("SELECT count(*) FROM " + Table("Orders")), "150");
    EXPECT_FALSE(kelsampledb::ServerHolds(m_conninfo, m_schema, 100, 1));

    // A schema of someone else's is never dropped.
    const std::string other = m_schema + "_theirs";
    Query("CREATE SCHEMA " + other);
    Query("CREATE TABLE " + other + ".\"Orders\" (id integer)");
    Query("INSERT INTO " + other + ".\"Orders\" VALUES (7)");
    try {
        kelsampledb::LoadServer(m_conninfo, other, Folder(), 100, 1);
        ADD_FAILURE() << "a foreign schema was replaced";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("holds no sample"), std::string::npos) << e.what();
    }
    EXPECT_EQ(Value("SELECT id FROM " + other + ".\"Orders\""), "7");
    Query("DROP SCHEMA " + other + " CASCADE");
}

TEST_F(ServerSampleTest, AFailedLoadLeavesTheOldSample) {
    ASSERT_TRUE(kelsampledb::LoadServer(m_conninfo, m_schema, Folder(), 100, 1));
    // A cached file that breaks halfway: its Orders lack the last column.
    const std::string folder = Folder() + "/broken_" + std::to_string(getpid());
    std::filesystem::remove_all(folder);
    const std::string good = kelsampledb::Cached(folder, 120, 1);
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(good.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "DROP VIEW OrderDetails; ALTER TABLE Orders DROP COLUMN Picture",
                           nullptr, nullptr, nullptr),
              SQLITE_OK)
        << sqlite3_errmsg(db);
    sqlite3_close(db);

    EXPECT_THROW(kelsampledb::LoadServer(m_conninfo, m_schema, folder, 120, 1), std::runtime_error);
    EXPECT_TRUE(kelsampledb::ServerHolds(m_conninfo, m_schema, 100, 1));
    EXPECT_EQ(Value("SELECT count(*) FROM " + Table("Orders")), "100");
    EXPECT_EQ(Value("SELECT count(*) FROM pg_namespace WHERE nspname = '" +
                    kelsampledb::LoadingSchema(m_schema) + "'"),
              "0");

    // One that the server refuses halfway through its rows: a word in a number column.
    const std::string word = kelsampledb::Cached(folder, 130, 1);
    ASSERT_EQ(sqlite3_open(word.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "UPDATE Orders SET Quantity = 'many' WHERE OrderID = 90", nullptr,
                           nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    try {
        kelsampledb::LoadServer(m_conninfo, m_schema, folder, 130, 1);
        ADD_FAILURE() << "a refused row was loaded";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("many"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(kelsampledb::ServerHolds(m_conninfo, m_schema, 100, 1));
    EXPECT_EQ(Value("SELECT count(*) FROM pg_namespace WHERE nspname = '" +
                    kelsampledb::LoadingSchema(m_schema) + "'"),
              "0");
    std::filesystem::remove_all(folder);
}

TEST_F(ServerSampleTest, ConcurrentLoadsLoadOnce) {
    bool loaded[2] = {false, false};
    std::string errors[2];
    std::vector<std::thread> threads;
    for (int i = 0; i < 2; ++i)
        threads.emplace_back([&, i] {
            try {
                loaded[i] = kelsampledb::LoadServer(m_conninfo, m_schema, Folder(), 300, 3);
            } catch (const std::exception& e) {
                errors[i] = e.what();
            }
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(errors[0] + errors[1], "");
    EXPECT_NE(loaded[0], loaded[1]);
    EXPECT_EQ(Value("SELECT count(*) FROM " + Table("Orders")), "300");
}

TEST_F(ServerSampleTest, SearchPathFindsBareNames) {
    ASSERT_TRUE(kelsampledb::LoadServer(m_conninfo, m_schema, Folder(), 50));
    const std::string conninfo = kelsampledb::WithSearchPath(m_conninfo, m_schema);
    std::unique_ptr<PGconn, PgConnDeleter> conn(PQconnectdb(conninfo.c_str()));
    ASSERT_EQ(PQstatus(conn.get()), CONNECTION_OK) << PQerrorMessage(conn.get());
    std::unique_ptr<PGresult, PgResultDeleter> result(
        PQexec(conn.get(), "SELECT count(*) FROM \"Orders\""));
    ASSERT_EQ(PQresultStatus(result.get()), PGRES_TUPLES_OK) << PQerrorMessage(conn.get());
    EXPECT_STREQ(PQgetvalue(result.get(), 0, 0), "50");

    EXPECT_EQ(kelsampledb::WithSearchPath("host=/tmp dbname=x", "s1"),
              "host=/tmp dbname=x options='-csearch_path=s1'");
    EXPECT_EQ(kelsampledb::WithSearchPath("postgresql://u@h/db", "s1"),
              "postgresql://u@h/db?options=-csearch_path%3Ds1");
    EXPECT_THROW(kelsampledb::WithSearchPath("postgresql://u@h/db", "s1;drop"),
                 std::invalid_argument);
    EXPECT_THROW(kelsampledb::WithSearchPath("postgresql://u@h/db?options=-cx%3Dy", "s1"),
                 std::invalid_argument);
}

} // namespace
