// The name of a PostgreSQL database as libpq's keywords: a postgresql:// URI is handed to
// libpq as it is; an ODBC connect string (ODBC;DRIVER={PostgreSQL};SERVER=...;PORT=...;
// DATABASE=...;UID=...;PWD=...) is read here, values in {braces} may hold ";" and "}}"
// stands for "}". Values reach libpq as separate keywords, never as text it parses again.
// Private to the data-access classes.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kel::dao {

struct PgConnectParams {
    std::vector<std::pair<std::string, std::string>> keywords; // libpq's keyword, value
    bool expandDbname = false; // the dbname keyword holds a URI libpq reads
    std::string displayName;   // the server and database without the password, for messages
};

// Throws EngineError (BadConnectString) with a message that says what is wrong.
PgConnectParams ParsePgConnectString(std::string_view name);

} // namespace kel::dao
