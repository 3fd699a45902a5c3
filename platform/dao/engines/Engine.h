// The seam between the data-access classes and a database engine: a connection that
// prepares and runs statements, keeps transactions, describes tables and reports change, and
// statements that bind, step and read engine-neutral values. Every failure is thrown as an
// EngineError (ThrowEngineError turns it into a CDaoException).
// Private to the data-access classes.
#pragma once

#include "platform/dao/engines/Dialect.h"
#include "platform/dao/engines/EngineValue.h"
#include "platform/dao/engines/Schema.h"

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kel::dao {

// A prepared statement. Parameters are written ?1, ?2, ... (or ? for the next one) and are
// numbered from 1. Binding after a step starts the statement over.
class EngineStatement {
public:
    virtual ~EngineStatement() = default;

    virtual int ParameterCount() const = 0;
    virtual void Bind(int index, const EngineValue& value) = 0;
    void BindAll(std::initializer_list<EngineValue> values) {
        int i = 0;
        for (const EngineValue& v : values)
            Bind(++i, v);
    }
    // Runs the statement on the first call and moves to the next row; false when there is
    // none (a statement that returns no rows is done at its first step).
    virtual bool Step() = 0;
    // Ends the run so that no read stays open; bindings are kept.
    virtual void Reset() = 0;

    virtual int ColumnCount() const = 0;
    virtual std::string ColumnName(int column) const = 0;
    // The column's declared type ("INTEGER", "numeric(12,2)"); empty for an expression
    // whose engine does not say.
    virtual std::string ColumnType(int column) const = 0;
    // The current row's value (columns from 0).
    virtual EngineValue Column(int column) const = 0;
    // Rows changed by the last run of an INSERT, UPDATE or DELETE.
    virtual std::int64_t ChangedRows() const = 0;

    // The current row's value as an integer, without copying text (a key, a count).
    virtual std::int64_t ColumnInteger(int column) const { return Column(column).integer; }
    // Whether the statement only reads.
    virtual bool ReadOnly() const;
    // Whether the run so far needed a sort of its rows (no index served its order).
    virtual bool Sorted() const;
    // Where a result column comes from: the database ("main", "temp"), table and column it
    // reads unchanged; all empty for an expression.
    struct ColumnSource {
        std::string database, table, column;
    };
    virtual ColumnSource ColumnOrigin(int column) const;
    // The DAO type (dbBoolean ... dbMemo) and size of a column as the engine's own type
    // names it; 0 when the engine leaves that to the declared type.
    virtual short ColumnDaoType(int column, long& size) const {
        (void)column;
        size = 0;
        return 0;
    }
};

// What the engine declares about one column of a table.
struct ColumnFacts {
    std::string declaredType;
    bool required = false;
    bool primaryKey = false;
    bool autoIncrement = false;
};

// How to open a database: a new file is created only when create is set.
struct EngineOptions {
    bool readOnly = false; // a file this user cannot write opens read-only all the same
    bool create = false;
    bool exclusive = false;   // nobody else may open the database while this connection has it
    int busyTimeoutMs = 5000; // how long a statement waits for another connection's lock
};

// Compared for equality only: two tokens differ when the database may have changed between
// them, through this connection or any other.
struct ChangeToken {
    std::string value;
    bool operator==(const ChangeToken& other) const = default;
};

class EngineConnection {
public:
    virtual ~EngineConnection() = default;

    // "SQLite", "PostgreSQL".
    virtual std::string EngineName() const = 0;
    // Opened read-only, or over a database this user cannot write.
    virtual bool IsReadOnly() const = 0;
    virtual const Dialect& GetDialect() const = 0;

    // One statement; a second one after it is a syntax error.
    virtual std::unique_ptr<EngineStatement> Prepare(std::string_view sql) = 0;
    // The same for a statement the data-access classes build themselves, whose errors may
    // wait for its first step and which may run twice to the same effect (a read, or a key run
    // that maps the keys it reads): a server then prepares and runs it in one exchange.
    virtual std::unique_ptr<EngineStatement> PrepareRead(std::string_view sql) {
        return Prepare(sql);
    }
    // Runs one statement without parameters and returns the rows it changed.
    virtual std::int64_t Execute(std::string_view sql) = 0;
    // A table made only when it is first needed: the commands make gives run before the first
    // statement whose text holds name (in that statement's exchange, where a server can send
    // them together, and kept whatever becomes of the statement), and before a transaction
    // begins, so that a rollback cannot take the table back. make is asked when that time
    // comes, and again if they failed. By default they run at once.
    virtual void MakeWhenNamed(const std::string& /*name*/,
                               std::function<std::vector<std::string>()> make) {
        for (const std::string& sql : make())
            Execute(sql);
    }
    // Whether that table waits to be made, its commands not yet on their way.
    virtual bool Unmade(const std::string& /*name*/) const { return false; }
    // Forgets the making of a table that waits to be made; true when it did (it was never
    // made).
    virtual bool ForgetMaking(const std::string& /*name*/) { return false; }

    virtual void Begin() = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;
    virtual bool InTransaction() const = 0;
    virtual void Savepoint(std::string_view name) = 0;
    virtual void ReleaseSavepoint(std::string_view name) = 0;
    virtual void RollbackToSavepoint(std::string_view name) = 0;

    virtual ChangeToken CurrentChangeToken() = 0;
    // An expression by which a query reads the moving part of the change token along with
    // its rows, so that a read brings the token of what it saw without an exchange of its
    // own; empty where the engine has none (the token is then asked for).
    virtual std::string ChangeTokenExpression() const { return {}; }
    // The change token that expression's text stands for, as CurrentChangeToken gives it.
    virtual ChangeToken ChangeTokenFrom(std::string_view value) const {
        return {std::string(value)};
    }

    // Prepares the first statement of sql and tells what follows it in rest; nothing when sql
    // holds no statement.
    virtual std::unique_ptr<EngineStatement> PrepareFirst(std::string_view sql,
                                                          std::string_view& rest);
    // A transaction that takes the write lock at once rather than at its first write.
    virtual void BeginWrite() { Begin(); }
    // The row identity given to the last row this connection inserted.
    virtual std::int64_t LastInsertId();
    virtual void SetBusyTimeout(int milliseconds);
    // False when the file the connection reads is no longer at its name (deleted or renamed
    // under it); a server's database is always in place.
    virtual bool StillInPlace() { return true; }
    // At most bytes bytes from the start of a text value, read without reading the rest;
    // nothing when the value cannot be read that way (not text, the row is gone, no such
    // column), and the caller reads it whole.
    virtual std::optional<std::string> ReadTextPrefix(std::string_view database,
                                                      std::string_view table,
                                                      std::string_view column, std::int64_t rowId,
                                                      size_t bytes);
    // The declared facts of a table's column; EngineError (ColumnNotFound) when there is none.
    virtual ColumnFacts DescribeColumn(std::string_view database, std::string_view table,
                                       std::string_view column);
    // Another connection to the same database, read-only. May be called from another thread
    // while this one works: it reads nothing this connection changes.
    virtual std::unique_ptr<EngineConnection> OpenReader() const;
    // Makes the statement running on this connection, or else the next one to run, fail soon
    // (EngineFailure::Interrupted); callable from any thread.
    virtual void Interrupt();
    // Exchanges with a server so far (each statement sent and answered); 0 for an engine in
    // the process.
    virtual std::uint64_t RoundTrips() const { return 0; }
    // The spellings the database keeps of the tables and views in reach, and of their columns,
    // whose names equal one of words without regard to case (columns of the tables and views
    // among words only); nothing where names match without regard to
    // case anyway (SQLite). A server that folds bare names needs them quoted as stored.
    // textColumns and yesNoColumns, when given, get those of them that name only text
    // columns, and only boolean ones.
    virtual std::vector<std::string> StoredNames(const std::vector<std::string>& words,
                                                 std::vector<std::string>* textColumns = nullptr,
                                                 std::vector<std::string>* yesNoColumns = nullptr);

    // The table or view of that name, in database (a SQLite schema such as "temp" or an
    // attached file's name, a server's schema) or else where an unqualified name leads;
    // EngineError (TableNotFound) when there is none.
    virtual SchemaDescription DescribeTable(std::string_view table,
                                            std::string_view database = {}) = 0;
    // That DescribeTable of the table follows the next statement's preparation: a server may
    // ask for both in one exchange. Nothing else changes; a wrong name is DescribeTable's to
    // report.
    virtual void WillDescribe(std::string_view /*table*/, std::string_view /*database*/ = {}) {}
    // That StoredNames(words) follows the next statement's preparation, which a server may
    // send with it; nothing else changes.
    virtual void WillFindNames(const std::vector<std::string>& /*words*/) {}
};

// Whether a database name is a server's (a postgresql:// URI or an ODBC connect string)
// rather than a SQLite file.
bool IsServerName(std::string_view name);

// Opens the engine the name asks for: a PostgreSQL server for a libpq URI or an ODBC connect
// string, else the SQLite file (created when create is set).
std::unique_ptr<EngineConnection> OpenEngine(const std::string& name, bool readOnly = false,
                                             bool create = false);
std::unique_ptr<EngineConnection> OpenEngine(const std::string& name, const EngineOptions& options);

// The failure of an operation an engine does not offer.
[[noreturn]] void ThrowUnsupported(std::string_view operation, std::string_view engine);

} // namespace kel::dao
