// Preparing exactly one statement, with the engine's errors for what goes wrong.
// Private to the data-access classes.
#pragma once

#include "platform/dao/DaoErrors.h"
#include "platform/dao/SqliteStatement.h"

#include <string>

namespace kel::dao {

// Prepares sql (SQLite text) as one statement: text after it is 3142, an empty text 3129, an
// unknown name 3061 with the number of unknown names (3070 in a criterion).
void PrepareOne(sqlite3* db, SqliteStatement& stmt, const std::string& sql, ErrorSource source,
                const EngineContext& context);

// Prepares SQL the classes built themselves; a failure keeps SQLite's message.
void PrepareInternal(sqlite3* db, SqliteStatement& stmt, const std::string& sql,
                     ErrorSource source);

} // namespace kel::dao
