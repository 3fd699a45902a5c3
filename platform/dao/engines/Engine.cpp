#include "platform/dao/engines/Engine.h"

#include "platform/dao/SqlLexer.h"
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
    if (IsServerName(name))
        return OpenPgEngine(name, readOnly);
    return OpenSqliteEngine(name, readOnly, create);
}

} // namespace kel::dao
