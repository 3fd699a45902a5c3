// What an engine reports when it fails, before it becomes a CDaoException: a neutral kind,
// the engine's own code (SQLite's extended result code, PostgreSQL's SQLSTATE) and its text.
// Private to the data-access classes.
#pragma once

#include "platform/dao/DaoErrors.h"

#include <stdexcept>
#include <string>

namespace kel::dao {

enum class EngineFailure {
    DuplicateKey,     // a unique index or primary key would hold a value twice
    RequiredIsNull,   // NOT NULL; subject: the column
    TableNotFound,    // subject: the table
    ColumnNotFound,   // subject: the column
    FunctionNotFound, // subject: the function
    TypeMismatch,     // an operator between values of types it does not take
    Syntax,           // the statement does not parse
    Locked,           // busy, locked, serialization failure, deadlock
    ReadOnly,         // the database, the object or the session cannot be written
    CheckViolation,   // a CHECK constraint
    ForeignKey,       // a related record is missing or still referenced
    Conversion,       // a value does not convert to the column's type
    Overflow,         // a number out of the column's range
    TooLong,          // text longer than the column allows
    FileNotFound,     // subject: the file
    CannotConnect,    // the server cannot be reached or refuses the login; subject: the server
    BadConnectString, // the connect string itself is wrong
    CorruptFile,      // not a database; subject: the file
    InvalidArgument,  // the caller gave what the engine cannot take (a NUL in text, say)
    AmbiguousName,    // a column name two tables of the statement share; subject: the name
    DiskError,        // the file cannot be read or written (I/O, full disk)
    OutOfMemory,
    Interrupted, // Interrupt stopped the statement
    Unsupported, // the engine does not offer the operation
    Other,
};

class EngineError : public std::runtime_error {
public:
    EngineError(EngineFailure failure, std::string engineCode, const std::string& message,
                std::string subject = {})
        : std::runtime_error(message), m_failure(failure), m_engineCode(std::move(engineCode)),
          m_subject(std::move(subject)) {}

    EngineFailure Failure() const { return m_failure; }
    // "SQLite 2067", "23505"; empty when the failure is our own.
    const std::string& EngineCode() const { return m_engineCode; }
    // The table, column, function or server the failure names, when the engine says.
    const std::string& Subject() const { return m_subject; }

private:
    EngineFailure m_failure;
    std::string m_engineCode;
    std::string m_subject;
};

// The DAO error code that stands for a failure (ThrowEngineError may refine it by context).
long DaoCodeFor(EngineFailure failure);

// Throws the CDaoException for an engine's failure: its first error carries the DAO code and
// the engine's English description (naming the table, field or the caller's text as DAO
// does); a second error carries the engine's own code and text, so that nothing the engine
// said is lost.
[[noreturn]] void ThrowEngineError(const EngineError& error, ErrorSource source,
                                   const EngineContext& context = {});

} // namespace kel::dao
