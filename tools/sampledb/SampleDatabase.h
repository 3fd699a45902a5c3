// The sample database: a deterministic SQLite file of any number of orders, used by tests,
// benchmarks and the demo. Plain SQLite only: no platform code, so that programs linking the
// shared library can use it too.
//
// Tables: Orders (OrderID INTEGER PRIMARY KEY, Customer VARCHAR(40), City VARCHAR(30),
// CustomerID, OrderDate DATETIME, Amount CURRENCY, Quantity SMALLINT, Priority BYTE,
// Weight DOUBLE, Discount SINGLE, Shipped BOOLEAN, Notes LONGTEXT (a memo), Picture BLOB; NULLs in
// City, OrderDate, Amount, Quantity, Weight, Notes and Picture; indexes on Customer and OrderDate),
// Customers (CustomerID, Name, City, Phone, Since), and the view OrderDetails over their join.
// Values follow the data-access classes' storage conventions: dates as ISO text, booleans
// -1/0, currency as a number with up to four decimals, binary as BLOB.
#pragma once

#include <cstdint>
#include <string>

namespace kelsampledb {

// Builds the database at path (replacing a file there) with the given number of orders.
// The same (rows, seed) always gives the same content. Throws std::runtime_error.
void Build(const std::string& path, long long rows, std::uint32_t seed = 1);

// The path of a sample database of `rows` orders in folder, built only when it is absent
// (written under a temporary name and renamed, so a half-built file is never used).
std::string Cached(const std::string& folder, long long rows, std::uint32_t seed = 1);

// Number of customers a database of `rows` orders has.
long long CustomerCount(long long rows);

} // namespace kelsampledb
