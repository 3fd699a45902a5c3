#include "tools/sampledb/SampleDatabase.h"

#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string_view>

namespace kelsampledb {

namespace {

constexpr int kSchemaVersion = 1;

constexpr const char* kSchema = R"(
CREATE TABLE Customers (
    CustomerID INTEGER PRIMARY KEY,
    Name VARCHAR(40) NOT NULL COLLATE NOCASE,
    City VARCHAR(30) COLLATE NOCASE,
    Phone VARCHAR(20),
    Since DATE
);
CREATE TABLE Orders (
    OrderID INTEGER PRIMARY KEY,
    Customer VARCHAR(40) NOT NULL COLLATE NOCASE,
    City VARCHAR(30) COLLATE NOCASE,
    CustomerID INTEGER REFERENCES Customers (CustomerID),
    OrderDate DATETIME,
    Amount CURRENCY,
    Quantity SMALLINT,
    Priority BYTE,
    Weight DOUBLE,
    Discount SINGLE,
    Shipped BOOLEAN NOT NULL DEFAULT 0,
    Notes LONGTEXT,
    Picture BLOB
);
)";

constexpr const char* kIndexes = R"(
CREATE INDEX OrdersByCustomer ON Orders (Customer);
CREATE INDEX OrdersByDate ON Orders (OrderDate);
CREATE INDEX CustomersByName ON Customers (Name);
CREATE VIEW OrderDetails AS
    SELECT Orders.OrderID, Orders.OrderDate, Orders.Amount, Customers.Name, Customers.City
    FROM Orders INNER JOIN Customers ON Orders.CustomerID = Customers.CustomerID;
)";

constexpr std::string_view kFirst[] = {"Anna",  "Bruno",  "Carla", "David",  "Elena", "Frank",
                                       "Greta", "Hugo",   "Ines",  "Jonas",  "Karin", "Lukas",
                                       "Maria", "Nils",   "Olga",  "Paul",   "Rosa",  "Simon",
                                       "Tanja", "Ulrich", "Vera",  "Walter", "Xenia", "Yann"};
constexpr std::string_view kLast[] = {
    "Adler",  "Becker",  "Conrad",   "Dietrich", "Engel",  "Fischer", "Graf",  "Hahn",
    "Irmler", "Jung",    "Keller",   "Lang",     "Maier",  "Neumann", "Otto",  "Peters",
    "Quast",  "Richter", "Schulz",   "Thiel",    "Uhland", "Vogel",   "Weber", "Xander",
    "Young",  "Zimmer",  "Albrecht", "Brandt",   "Cordes", "Dorn"};
constexpr std::string_view kCities[] = {
    "Aachen",  "Berlin",    "Bremen",    "Chemnitz", "Dortmund", "Dresden", "Essen",
    "Erfurt",  "Frankfurt", "Freiburg",  "Hamburg",  "Hannover", "Jena",    "Kiel",
    "Koblenz", "Leipzig",   "Lübeck",    "Mainz",    "München",  "Münster", "Nürnberg",
    "Potsdam", "Rostock",   "Stuttgart", "Trier",    "Ulm",      "Weimar",  "Würzburg"};
constexpr std::string_view kWords[] = {
    "deliver",   "before",  "noon",       "fragile", "call",  "customer", "first", "gift",
    "wrap",      "invoice", "separately", "urgent",  "back",  "door",     "leave", "with",
    "neighbour", "express", "pallet",     "check",   "stock", "again",    "paid",  "cash"};

// splitmix64: small, fast and the same everywhere.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_state(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint64_t Next() {
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    std::uint64_t Below(std::uint64_t n) { return Next() % n; }
    bool Chance(int percent) { return Below(100) < static_cast<std::uint64_t>(percent); }

private:
    std::uint64_t m_state;
};

// Days since 1970-01-01 as "YYYY-MM-DD".
std::string IsoDay(long long days) {
    days += 719468;
    long long era = (days >= 0 ? days : days - 146096) / 146097;
    long long doe = days - era * 146097;
    long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long long y = yoe + era * 400;
    long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long long mp = (5 * doy + 2) / 153;
    long long d = doy - (153 * mp + 2) / 5 + 1;
    long long m = mp < 10 ? mp + 3 : mp - 9;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04lld-%02lld-%02lld", y + (m <= 2), m, d);
    return buf;
}

constexpr long long kDay2000 = 10957; // 2000-01-01

struct Db {
    sqlite3* handle = nullptr;
    ~Db() { sqlite3_close(handle); }
    void Exec(const char* sql) {
        char* message = nullptr;
        if (sqlite3_exec(handle, sql, nullptr, nullptr, &message) != SQLITE_OK) {
            std::string text = message ? message : "unknown error";
            sqlite3_free(message);
            throw std::runtime_error("sample database: " + text);
        }
    }
};

struct Stmt {
    sqlite3_stmt* handle = nullptr;
    Stmt(sqlite3* db, const char* sql) {
        if (sqlite3_prepare_v2(db, sql, -1, &handle, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("sample database: ") + sqlite3_errmsg(db));
    }
    ~Stmt() { sqlite3_finalize(handle); }
    void Text(int i, const std::string& s) {
        sqlite3_bind_text(handle, i, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
    }
    void Run(sqlite3* db) {
        if (sqlite3_step(handle) != SQLITE_DONE)
            throw std::runtime_error(std::string("sample database: ") + sqlite3_errmsg(db));
        sqlite3_reset(handle);
        sqlite3_clear_bindings(handle);
    }
};

std::string CustomerName(long long id) {
    long long i = id - 1;
    return std::string(kFirst[i % std::size(kFirst)]) + " " +
           std::string(kLast[(i * 11 + i / std::size(kFirst)) % std::size(kLast)]);
}

void Fill(sqlite3* db, long long rows, std::uint32_t seed) {
    Random rng(seed);
    const long long customers = CustomerCount(rows);
    {
        Stmt insert(db, "INSERT INTO Customers (CustomerID, Name, City, Phone, Since) "
                        "VALUES (?1, ?2, ?3, ?4, ?5)");
        for (long long id = 1; id <= customers; ++id) {
            sqlite3_bind_int64(insert.handle, 1, id);
            insert.Text(2, CustomerName(id));
            if (!rng.Chance(5))
                insert.Text(3, std::string(kCities[rng.Below(std::size(kCities))]));
            char phone[24];
            std::snprintf(phone, sizeof phone, "555-%04llu",
                          static_cast<unsigned long long>(rng.Below(10000)));
            insert.Text(4, phone);
            insert.Text(5, IsoDay(kDay2000 - 3650 + static_cast<long long>(rng.Below(3650))));
            insert.Run(db);
        }
    }
    Stmt insert(db, "INSERT INTO Orders (OrderID, Customer, City, CustomerID, OrderDate, Amount, "
                    "Quantity, Priority, Weight, Discount, Shipped, Notes, Picture) "
                    "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)");
    std::string notes;
    unsigned char picture[48];
    for (long long id = 1; id <= rows; ++id) {
        const long long customer = 1 + static_cast<long long>(rng.Below(customers));
        sqlite3_bind_int64(insert.handle, 1, id);
        insert.Text(2, CustomerName(customer));
        if (!rng.Chance(5))
            insert.Text(3, std::string(kCities[rng.Below(std::size(kCities))]));
        sqlite3_bind_int64(insert.handle, 4, customer);
        if (!rng.Chance(3)) {
            std::string date = IsoDay(kDay2000 + static_cast<long long>(rng.Below(9131)));
            if (rng.Chance(30)) {
                char time[32];
                unsigned long long h = rng.Below(24), m = rng.Below(60), sec = rng.Below(60);
                std::snprintf(time, sizeof time, " %02llu:%02llu:%02llu", h, m, sec);
                date += time;
            }
            insert.Text(5, date);
        }
        if (!rng.Chance(4)) // up to 10,000 with four decimals
            sqlite3_bind_double(insert.handle, 6,
                                static_cast<double>(rng.Below(100000001)) / 10000.0);
        if (!rng.Chance(2))
            sqlite3_bind_int64(insert.handle, 7, 1 + static_cast<long long>(rng.Below(500)));
        sqlite3_bind_int64(insert.handle, 8, static_cast<long long>(rng.Below(10)));
        if (!rng.Chance(2))
            sqlite3_bind_double(insert.handle, 9, static_cast<double>(rng.Below(1000000)) / 1000.0);
        sqlite3_bind_double(insert.handle, 10, 0.05 * static_cast<double>(rng.Below(4)));
        sqlite3_bind_int64(insert.handle, 11, rng.Chance(60) ? -1 : 0);
        if (!rng.Chance(40)) {
            notes.clear();
            size_t words = id % 97 == 0 ? 90 : 3 + rng.Below(10);
            for (size_t w = 0; w < words; ++w) {
                if (w)
                    notes += ' ';
                notes += kWords[rng.Below(std::size(kWords))];
            }
            insert.Text(12, notes);
        }
        if (rng.Chance(10)) {
            size_t n = 16 + rng.Below(33);
            for (size_t k = 0; k < n; ++k)
                picture[k] = static_cast<unsigned char>(rng.Below(256));
            sqlite3_bind_blob(insert.handle, 13, picture, static_cast<int>(n), SQLITE_TRANSIENT);
        }
        insert.Run(db);
    }
}

} // namespace

long long CustomerCount(long long rows) {
    return std::clamp(rows / 20, 1LL, 5000LL);
}

void Build(const std::string& path, long long rows, std::uint32_t seed) {
    if (rows < 0)
        throw std::invalid_argument("sample database: negative row count");
    std::filesystem::remove(path);
    Db db;
    if (sqlite3_open_v2(path.c_str(), &db.handle, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr) != SQLITE_OK)
        throw std::runtime_error("sample database: cannot create " + path);
    // One transaction, no journal, indexes after the rows: seconds for a million rows.
    db.Exec("PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-65536;");
    db.Exec(kSchema);
    db.Exec("BEGIN");
    Fill(db.handle, rows, seed);
    db.Exec("COMMIT");
    db.Exec(kIndexes);
    db.Exec("PRAGMA journal_mode=DELETE");
}

std::string Cached(const std::string& folder, long long rows, std::uint32_t seed) {
    std::filesystem::create_directories(folder);
    const std::string name = "kelsample_v" + std::to_string(kSchemaVersion) + "_" +
                             std::to_string(rows) + "_" + std::to_string(seed) + ".db";
    const std::string path = (std::filesystem::path(folder) / name).string();
    if (std::filesystem::exists(path))
        return path;
    const std::string temporary = path + ".building-" + std::to_string(::getpid());
    try {
        Build(temporary, rows, seed);
        std::filesystem::rename(temporary, path); // another builder's identical file may win
    } catch (...) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        throw;
    }
    return path;
}

} // namespace kelsampledb
