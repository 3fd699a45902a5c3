// Preparing exactly one statement, with the engine's errors for what goes wrong.
// Private to the data-access classes.
#pragma once

#include "platform/dao/DaoErrors.h"
#include "platform/dao/Statement.h"

#include <optional>
#include <string>

namespace kel::dao {

// Prepares sql (the engine's text) as one statement: text after it is 3142, an empty text
// 3129, an unknown name 3061 with the number of unknown names (3070 in a criterion).
void PrepareOne(EngineConnection& db, Statement& stmt, const std::string& sql, ErrorSource source,
                const EngineContext& context);

// PrepareOne, but for an unknown name outside a criterion: that failure is returned, the
// statement left unprepared, for the caller to throw (ThrowUnknownNames) once it is sure the
// name is the statement's own fault.
std::optional<EngineError> PrepareOneOrUnknown(EngineConnection& db, Statement& stmt,
                                               const std::string& sql, ErrorSource source,
                                               const EngineContext& context);
// PrepareOne's failure for the unknown name of sql that unknown reports: 3061 with the number
// of unknown names, counted by preparing sql again without them.
[[noreturn]] void ThrowUnknownNames(EngineConnection& db, const std::string& sql,
                                    const EngineError& unknown, ErrorSource source);
// Prepares SQL the classes built themselves; a failure keeps the engine's message.
void PrepareInternal(EngineConnection& db, Statement& stmt, const std::string& sql,
                     ErrorSource source);

// The same for a read whose failure may wait for its first step (a server prepares and runs
// it in one exchange then).
void PrepareInternalRead(EngineConnection& db, Statement& stmt, const std::string& sql,
                         ErrorSource source);

// Prepares sql, or leaves stmt empty when the engine refuses it.
bool TryPrepare(EngineConnection& db, Statement& stmt, const std::string& sql);

// Throws the DAO error for the failed step of stmt.
[[noreturn]] void ThrowStepError(const Statement& stmt, ErrorSource source,
                                 const EngineContext& context = {});

} // namespace kel::dao
