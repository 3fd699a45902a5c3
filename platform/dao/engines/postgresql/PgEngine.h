// The PostgreSQL engine behind the seam, over libpq: a server's database reached by a libpq
// URI or an ODBC connect string, statements with $n parameters, values in the storage
// conventions above the seam (ISO date text, booleans -1/0, bytea as binary), the schema
// from pg_catalog, and its dialect. Private to the data-access classes.
#pragma once

#include "platform/dao/engines/Engine.h"

#include <memory>
#include <string>

namespace kel::dao {

// EngineError (CannotConnect, BadConnectString) when the server cannot be used.
std::unique_ptr<EngineConnection> OpenPgEngine(const std::string& name, bool readOnly);

// SQL text with ?1, ?2 ... and ? parameters as PostgreSQL's $1, $2 ...; ? takes the number
// after the highest one so far, as SQLite counts. Strings, quoted names and comments are left
// alone. Throws EngineError (Syntax) when a string or name is not closed.
std::string ToPgParameters(std::string_view sql);

} // namespace kel::dao
