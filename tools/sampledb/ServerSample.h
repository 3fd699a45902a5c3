// The sample database on a PostgreSQL server: the tables, values, indexes and view of the
// SQLite sample (SampleDatabase.h) in one schema, copied from the cached SQLite file by COPY.
// Plain libpq only, like the SQLite sample.
//
// Server types: OrderID and CustomerID integer primary keys (identity, so that a new row
// gets the next number as in SQLite), VARCHAR(n) varchar(n), dates timestamp, CURRENCY
// numeric(19,4), SMALLINT and BYTE smallint, DOUBLE double precision, SINGLE real, BOOLEAN
// boolean, LONGTEXT text, BLOB bytea.
#pragma once

#include <cstdint>
#include <string>

namespace kelsampledb {

// The name of the table that marks a schema as a loaded sample: one row with its row count,
// seed and layout version.
inline constexpr const char* kServerMarkerTable = "kel_sample";

// Puts the sample of (rows, seed) into schema on the server conninfo names (a libpq URI or
// key=value string), unless the schema already holds that very sample. The SQLite sample
// comes from cacheFolder (Cached), built there only when a load is needed. The schema is
// filled under a temporary name and renamed at the end in one transaction, so a half-loaded
// sample is never seen; a schema holding another sample is replaced, any other schema of that
// name is left alone (std::runtime_error). Concurrent loads of one schema wait for each
// other. Returns true when it loaded, false when the sample was there already.
bool LoadServer(const std::string& conninfo, const std::string& schema,
                const std::string& cacheFolder, long long rows, std::uint32_t seed = 1);

// Whether schema holds the sample of (rows, seed).
bool ServerHolds(const std::string& conninfo, const std::string& schema, long long rows,
                 std::uint32_t seed = 1);

// The schema a load of schema fills before it takes schema's name; none stays after a load.
std::string LoadingSchema(const std::string& schema);

// conninfo with the schema as the session's search path, so that the tables are found by
// their bare names: a URI gets an options parameter, a key=value string an options keyword.
// The schema must be lower-case letters, digits and _ (std::invalid_argument otherwise).
std::string WithSearchPath(const std::string& conninfo, const std::string& schema);

} // namespace kelsampledb
