#include "platform/dao/engines/Engine.h"

#include "platform/dao/SqlLexer.h"
#include "platform/dao/engines/EngineError.h"
#include "platform/dao/engines/postgresql/PgEngine.h"
#include "platform/dao/engines/sqlite/SqliteEngine.h"

namespace kel::dao {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

} // namespace

bool IsServerName(std::string_view name) {
    return StartsWithNoCase(name, "postgresql://") || StartsWithNoCase(name, "postgres://") ||
           StartsWithNoCase(name, "ODBC;");
}

std::unique_ptr<EngineConnection> OpenEngine(const std::string& name, bool readOnly, bool create) {
    EngineOptions options;
    options.readOnly = readOnly;
    options.create = create;
    return OpenEngine(name, options);
}

std::unique_ptr<EngineConnection> OpenEngine(const std::string& name,
                                             const EngineOptions& options) {
    if (IsServerName(name))
        return OpenPgEngine(name, options.readOnly);
    return OpenSqliteEngine(name, options);
}

void ThrowUnsupported(std::string_view operation, std::string_view engine) {
    throw EngineError(EngineFailure::Unsupported, {},
                      std::string(engine) + " does not offer " + std::string(operation) + ".");
}

bool EngineStatement::ReadOnly() const {
    ThrowUnsupported("telling whether a statement only reads", "This engine");
}

bool EngineStatement::Sorted() const {
    return false; // no engine but SQLite tells; a worker is then never started
}

EngineStatement::ColumnSource EngineStatement::ColumnOrigin(int) const {
    return {}; // as an expression: read-only, typed from its values
}

std::unique_ptr<EngineStatement> EngineConnection::PrepareFirst(std::string_view,
                                                                std::string_view&) {
    ThrowUnsupported("preparing the first of several statements", EngineName());
}

std::int64_t EngineConnection::LastInsertId() {
    ThrowUnsupported("the row identity of an inserted row", EngineName());
}

void EngineConnection::SetBusyTimeout(int) {
    ThrowUnsupported("a busy timeout", EngineName());
}

std::optional<std::string> EngineConnection::ReadTextPrefix(std::string_view, std::string_view,
                                                            std::string_view, std::int64_t,
                                                            size_t) {
    return std::nullopt; // the caller reads the value whole
}

ColumnFacts EngineConnection::DescribeColumn(std::string_view database, std::string_view table,
                                             std::string_view column) {
    const SchemaDescription schema = DescribeTable(table, database);
    const FieldDescription* f = schema.Find(std::string(column));
    if (!f)
        throw EngineError(EngineFailure::ColumnNotFound, {},
                          "no such column: " + std::string(column), std::string(column));
    ColumnFacts facts;
    facts.declaredType = f->declaredType;
    facts.required = f->required;
    facts.autoIncrement = f->autoIncrement;
    for (const std::string& k : schema.primaryKey)
        facts.primaryKey = facts.primaryKey || k == f->name;
    return facts;
}

std::unique_ptr<EngineConnection> EngineConnection::OpenReader() const {
    ThrowUnsupported("a second read-only connection", EngineName());
}

std::vector<std::string> EngineConnection::StoredNames(const std::vector<std::string>&,
                                                       std::vector<std::string>*,
                                                       std::vector<std::string>*) {
    return {};
}

void EngineConnection::Interrupt() {
    ThrowUnsupported("interrupting a statement", EngineName());
}

} // namespace kel::dao
