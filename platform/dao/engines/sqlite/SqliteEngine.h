// The SQLite engine behind the seam: a database file, statements over it, its schema from
// the table-valued pragmas, and its dialect (JETTEXT collation, LIKE or GLOB patterns).
// Private to the data-access classes.
#pragma once

#include "platform/dao/engines/Engine.h"
#include "platform/dao/engines/EngineError.h"

#include <sqlite3.h>

#include <memory>
#include <string>

namespace kel::dao {

// Opens a SQLite file (created when create is set); EngineError when it cannot be opened or
// is no database.
std::unique_ptr<EngineConnection> OpenSqliteEngine(const std::string& fileName,
                                                   const EngineOptions& options);

// Registers on a connection what the SQL the data-access classes write calls: the JETTEXT
// collation and kel_identity(a, b, ...), a 32-bit check of values with their storage
// classes (1 and '1' differ). SQLite's result code.
int RegisterSqliteFunctions(sqlite3* db);

// The EngineError that stands for SQLite's failure rc on db.
EngineError SqliteFailure(sqlite3* db, int rc);

} // namespace kel::dao
