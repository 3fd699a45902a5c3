// The sample database: deterministic content in the storage conventions, and the cache.
#include "tools/sampledb/SampleDatabase.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

std::string Folder() {
    return std::string(KEL_TEST_DATA_DIR) + "/sampledb";
}

// Runs a query returning one value, as text.
std::string Value(const std::string& path, const std::string& sql) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr), SQLITE_OK) << sql;
    std::string out;
    if (stmt && sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_text(stmt, 0))
        out = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return out;
}

// Everything in the two tables, in one text.
std::string Dump(const std::string& path) {
    return Value(path,
                 "SELECT group_concat(x, '|') FROM (SELECT quote(OrderID) || quote(Customer) || "
                 "quote(City) || quote(OrderDate) || quote(Amount) || quote(Notes) || "
                 "quote(Picture) || quote(Shipped) AS x FROM Orders ORDER BY OrderID)") +
           Value(path, "SELECT group_concat(Name || City, '|') FROM Customers");
}

} // namespace

TEST(SampleDatabase, SameSeedSameContent) {
    std::filesystem::create_directories(Folder());
    const std::string a = Folder() + "/a.db", b = Folder() + "/b.db", c = Folder() + "/c.db";
    kelsampledb::Build(a, 500, 7);
    kelsampledb::Build(b, 500, 7);
    kelsampledb::Build(c, 500, 8);
    EXPECT_EQ(Dump(a), Dump(b));
    EXPECT_NE(Dump(a), Dump(c));
    kelsampledb::Build(a, 20, 7); // a rebuild replaces the file
    EXPECT_EQ(Value(a, "SELECT count(*) FROM Orders"), "20");
}

TEST(SampleDatabase, TablesValuesAndNulls) {
    const std::string path = kelsampledb::Cached(Folder(), 2000);
    EXPECT_EQ(Value(path, "SELECT count(*) FROM Orders"), "2000");
    EXPECT_EQ(Value(path, "SELECT count(*) FROM Customers"),
              std::to_string(kelsampledb::CustomerCount(2000)));
    EXPECT_EQ(Value(path, "SELECT count(*) FROM OrderDetails"), "2000");
    EXPECT_EQ(Value(path, "SELECT count(*) FROM sqlite_master WHERE type = 'index' AND "
                          "name IN ('OrdersByCustomer', 'OrdersByDate')"),
              "2");
    for (const char* column :
         {"City", "OrderDate", "Amount", "Quantity", "Weight", "Notes", "Picture"})
        EXPECT_NE(
            Value(path, std::string("SELECT count(*) FROM Orders WHERE ") + column + " IS NULL"),
            "0")
            << column;
    // Storage conventions: ISO dates (some with a time), booleans -1/0, four decimals at most.
    EXPECT_EQ(Value(path,
                    "SELECT count(*) FROM Orders WHERE OrderDate IS NOT NULL AND NOT "
                    "(OrderDate GLOB '[12][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9]' OR OrderDate GLOB "
                    "'[12][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]')"),
              "0");
    EXPECT_NE(Value(path, "SELECT count(*) FROM Orders WHERE length(OrderDate) = 19"), "0");
    EXPECT_EQ(Value(path, "SELECT count(*) FROM Orders WHERE Shipped NOT IN (-1, 0)"), "0");
    EXPECT_EQ(Value(path, "SELECT count(*) FROM Orders WHERE round(Amount, 4) <> Amount"), "0");
    EXPECT_EQ(
        Value(
            path,
            "SELECT count(*) FROM Orders WHERE Picture IS NOT NULL AND typeof(Picture) <> 'blob'"),
        "0");
    EXPECT_EQ(Value(path, "SELECT count(*) FROM Orders WHERE Priority NOT BETWEEN 0 AND 255"), "0");
    EXPECT_NE(Value(path, "SELECT max(length(Notes)) FROM Orders"),
              Value(path, "SELECT min(length(Notes)) FROM Orders"));
    // Many orders share a customer: ties for sorting.
    EXPECT_GT(std::stoi(Value(
                  path, "SELECT max(n) FROM (SELECT count(*) AS n FROM Orders GROUP BY Customer)")),
              10);
}

TEST(SampleDatabase, CacheBuildsOnce) {
    const std::string folder = Folder() + "/cache";
    std::filesystem::remove_all(folder);
    const std::string path = kelsampledb::Cached(folder, 100);
    const auto stamp = std::filesystem::last_write_time(path);
    EXPECT_EQ(kelsampledb::Cached(folder, 100), path);
    EXPECT_EQ(std::filesystem::last_write_time(path), stamp);
    EXPECT_NE(kelsampledb::Cached(folder, 100, 2), path);
    EXPECT_EQ(Value(kelsampledb::Cached(folder, 0), "SELECT count(*) FROM Orders"), "0");
    // Only finished files are left in the folder.
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        EXPECT_EQ(entry.path().extension(), ".db") << entry.path();
}
