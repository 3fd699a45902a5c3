#include "platform/dao/engines/sqlite/SqliteEngine.h"

#include "platform/dao/FieldValue.h"
#include "platform/dao/IsoDate.h"
#include "platform/dao/JetSql.h"
#include "platform/dao/SqlLexer.h"
#include "platform/dao/SqliteConnection.h"
#include "platform/dao/SqliteStatement.h"
#include "platform/dao/TextCompare.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <vector>

namespace kel::dao {

namespace {

constexpr int kBusyTimeoutMs = 5000;

std::string_view After(std::string_view message, std::string_view prefix) {
    const size_t at = message.find(prefix);
    return at == std::string_view::npos ? std::string_view() : message.substr(at + prefix.size());
}

std::string UpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

EngineError NulInText() {
    return EngineError(EngineFailure::Conversion, {},
                       "Text with a NUL character cannot be stored as text; store it as binary.");
}

class SqliteDialect final : public Dialect {
public:
    std::string DateLiteral(DATE date) const override {
        const std::string iso = FormatIsoDate(date);
        return iso.empty() ? iso : QuoteText(iso);
    }
    std::string BooleanLiteral(bool value) const override { return value ? "-1" : "0"; }
    std::optional<std::string> Like(std::string_view operand,
                                    std::string_view jetPattern) const override {
        LikeTranslation t;
        if (jetPattern.find('\0') != std::string_view::npos || !TranslateLikePattern(jetPattern, t))
            return std::nullopt;
        return std::string(operand) + " " + t.op + " " + t.pattern;
    }
    std::string TextKey(std::string_view operand) const override {
        return std::string(operand) + " COLLATE " + std::string(kTextCollation);
    }
    // SQLite's own order already puts NULLs first ascending and last descending, and keeps an
    // index usable for the order.
    std::string OrderTerm(std::string_view operand, bool descending) const override {
        return std::string(operand) + (descending ? " DESC" : "");
    }
    std::vector<std::string> RowIdentity(const SchemaDescription& schema) const override {
        if (schema.view)
            return {};
        if (!schema.primaryKey.empty())
            return schema.primaryKey;
        if (!schema.hasRowId)
            return {};
        // The rowid under the first of its names that no field takes.
        for (const char* name : {"rowid", "_rowid_", "oid"}) {
            const bool taken =
                std::any_of(schema.fields.begin(), schema.fields.end(),
                            [&](const FieldDescription& f) { return EqualsNoCase(f.name, name); });
            if (!taken)
                return {name};
        }
        return {};
    }
};

class SqliteEngineStatement final : public EngineStatement {
public:
    SqliteEngineStatement(sqlite3* db, SqliteStatement stmt) : m_db(db), m_stmt(std::move(stmt)) {}

    int ParameterCount() const override { return sqlite3_bind_parameter_count(m_stmt.get()); }

    void Bind(int index, const EngineValue& value) override {
        if (m_started)
            Reset();
        sqlite3_stmt* s = m_stmt.get();
        int rc = SQLITE_OK;
        switch (value.kind) {
        case EngineValue::Kind::Null:
            rc = sqlite3_bind_null(s, index);
            break;
        case EngineValue::Kind::Integer:
            rc = sqlite3_bind_int64(s, index, value.integer);
            break;
        case EngineValue::Kind::Real:
            rc = sqlite3_bind_double(s, index, value.real);
            break;
        case EngineValue::Kind::Text:
            if (value.bytes.find('\0') != std::string::npos)
                throw NulInText();
            rc = sqlite3_bind_text64(s, index, value.bytes.data(), value.bytes.size(),
                                     SQLITE_TRANSIENT, SQLITE_UTF8);
            break;
        case EngineValue::Kind::Blob:
            rc = sqlite3_bind_blob64(s, index, value.bytes.data(), value.bytes.size(),
                                     SQLITE_TRANSIENT);
            break;
        }
        if (rc == SQLITE_RANGE)
            throw EngineError(EngineFailure::InvalidArgument, "SQLITE_RANGE",
                              "There is no parameter " + std::to_string(index) + ".");
        if (rc != SQLITE_OK)
            throw SqliteFailure(m_db, rc);
    }

    bool Step() override {
        m_started = true;
        m_hasRow = false;
        const int rc = m_stmt.Step();
        if (rc == SQLITE_ROW) {
            m_hasRow = true;
            return true;
        }
        if (rc == SQLITE_DONE) {
            m_changed = sqlite3_stmt_readonly(m_stmt.get()) ? 0 : sqlite3_changes64(m_db);
            sqlite3_reset(m_stmt.get());
            return false;
        }
        EngineError error = SqliteFailure(m_db, rc);
        sqlite3_reset(m_stmt.get());
        throw error;
    }

    void Reset() override {
        sqlite3_reset(m_stmt.get());
        m_started = false;
        m_hasRow = false;
    }

    int ColumnCount() const override { return m_stmt.ColumnCount(); }
    std::string ColumnName(int column) const override {
        const char* name = sqlite3_column_name(m_stmt.get(), column);
        return name ? name : "";
    }
    std::string ColumnType(int column) const override {
        const char* type = sqlite3_column_decltype(m_stmt.get(), column);
        return type ? type : "";
    }
    EngineValue Column(int column) const override {
        if (!m_hasRow || column < 0 || column >= m_stmt.ColumnCount())
            throw EngineError(EngineFailure::InvalidArgument, {}, "No row or no such column.");
        switch (m_stmt.ColumnType(column)) {
        case SQLITE_INTEGER:
            return EngineValue::Integer(m_stmt.ColumnInt64(column));
        case SQLITE_FLOAT:
            return EngineValue::Real(m_stmt.ColumnDouble(column));
        case SQLITE_TEXT:
            return EngineValue::Text(m_stmt.ColumnText(column));
        case SQLITE_BLOB: {
            const void* p = sqlite3_column_blob(m_stmt.get(), column);
            const int n = sqlite3_column_bytes(m_stmt.get(), column);
            return EngineValue::Blob(
                p ? std::string_view(static_cast<const char*>(p), static_cast<size_t>(n))
                  : std::string_view());
        }
        default:
            return EngineValue::Null();
        }
    }
    std::int64_t ChangedRows() const override { return m_changed; }

private:
    sqlite3* m_db;
    SqliteStatement m_stmt;
    bool m_started = false;
    bool m_hasRow = false;
    std::int64_t m_changed = 0;
};

class SqliteEngineConnection final : public EngineConnection {
public:
    SqliteEngineConnection(SqliteConnection db, bool readOnly)
        : m_db(std::move(db)), m_readOnly(readOnly) {}

    std::string EngineName() const override { return "SQLite"; }
    const Dialect& GetDialect() const override { return m_dialect; }

    std::unique_ptr<EngineStatement> Prepare(std::string_view sql) override {
        if (sql.find('\0') != std::string_view::npos)
            throw EngineError(EngineFailure::Syntax, {},
                              "A statement cannot contain a NUL character.");
        SqliteStatement stmt;
        std::string_view tail;
        const int rc = stmt.Prepare(m_db.get(), sql, &tail);
        if (rc != SQLITE_OK)
            throw SqliteFailure(m_db.get(), rc);
        if (!stmt)
            throw EngineError(EngineFailure::Syntax, {}, "The statement is empty.");
        for (const SqlToken& t : SignificantTokens(tail))
            if (!t.Is(TokenKind::Semicolon))
                throw EngineError(EngineFailure::Syntax, {},
                                  "Only one statement may be given; text follows its end.");
        return std::make_unique<SqliteEngineStatement>(m_db.get(), std::move(stmt));
    }

    std::int64_t Execute(std::string_view sql) override {
        std::unique_ptr<EngineStatement> stmt = Prepare(sql);
        while (stmt->Step()) {
        }
        return stmt->ChangedRows();
    }

    void Begin() override { Execute("BEGIN"); }
    void Commit() override { Execute("COMMIT"); }
    void Rollback() override { Execute("ROLLBACK"); }
    bool InTransaction() const override { return sqlite3_get_autocommit(m_db.get()) == 0; }
    // SQLite would open a transaction for a savepoint of its own; a server needs one first,
    // and so does this engine, so that callers behave alike on both.
    void Savepoint(std::string_view name) override {
        RequireTransaction();
        Execute("SAVEPOINT " + m_dialect.QuoteName(name));
    }
    void ReleaseSavepoint(std::string_view name) override {
        RequireTransaction();
        Execute("RELEASE SAVEPOINT " + m_dialect.QuoteName(name));
    }
    void RollbackToSavepoint(std::string_view name) override {
        RequireTransaction();
        Execute("ROLLBACK TO SAVEPOINT " + m_dialect.QuoteName(name));
    }

    // data_version moves when another connection commits; total_changes counts this
    // connection's own rows.
    ChangeToken CurrentChangeToken() override {
        if (!m_dataVersion) {
            const int rc = m_dataVersion.Prepare(m_db.get(), "PRAGMA data_version");
            if (rc != SQLITE_OK)
                throw SqliteFailure(m_db.get(), rc);
        }
        StatementScope scope(m_dataVersion);
        const int rc = m_dataVersion.Step();
        if (rc != SQLITE_ROW)
            throw SqliteFailure(m_db.get(), rc);
        return {std::to_string(m_dataVersion.ColumnInt64(0)) + ":" +
                std::to_string(sqlite3_total_changes64(m_db.get()))};
    }

    SchemaDescription DescribeTable(std::string_view table) override;

private:
    void RequireTransaction() const {
        if (!InTransaction())
            throw EngineError(EngineFailure::Other, {}, "A savepoint needs a transaction.");
    }

    SqliteConnection m_db;
    bool m_readOnly;
    SqliteDialect m_dialect;
    SqliteStatement m_dataVersion;
};

// Steps a prepared query with text arguments and hands each row to the reader.
template <typename Reader>
void Query(sqlite3* db, const char* sql, std::initializer_list<std::string_view> args,
           Reader&& read) {
    SqliteStatement stmt;
    int rc = stmt.Prepare(db, sql);
    if (rc != SQLITE_OK)
        throw SqliteFailure(db, rc);
    int i = 0;
    for (std::string_view a : args)
        stmt.Bind(++i, a);
    while ((rc = stmt.Step()) == SQLITE_ROW)
        read(stmt);
    if (rc != SQLITE_DONE)
        throw SqliteFailure(db, rc);
}

bool HasAutoIncrementKeyword(std::string_view createSql) {
    for (const SqlToken& t : SignificantTokens(createSql))
        if (t.IsWord("AUTOINCREMENT"))
            return true;
    return false;
}

SchemaDescription SqliteEngineConnection::DescribeTable(std::string_view table) {
    sqlite3* db = m_db.get();
    SchemaDescription schema;
    std::string type, createSql;
    bool found = false;
    Query(db,
          "SELECT type, name, sql FROM sqlite_schema WHERE type IN ('table', 'view') "
          "AND name = ?1 COLLATE NOCASE",
          {table}, [&](const SqliteStatement& s) {
              found = true;
              type = std::string(s.ColumnText(0));
              schema.name = std::string(s.ColumnText(1));
              createSql = std::string(s.ColumnText(2));
          });
    if (!found)
        throw EngineError(EngineFailure::TableNotFound, {}, "no such table: " + std::string(table),
                          std::string(table));
    schema.view = type == "view";
    bool withoutRowId = false;
    Query(db, "SELECT wr FROM pragma_table_list(?1) WHERE schema = 'main'", {schema.name},
          [&](const SqliteStatement& s) { withoutRowId = s.ColumnInt64(0) != 0; });
    schema.hasRowId = !schema.view && !withoutRowId;
    schema.updatable = !schema.view && !m_readOnly && sqlite3_db_readonly(db, "main") == 0;

    std::vector<std::pair<std::int64_t, std::string>> key;
    Query(db,
          "SELECT name, type, \"notnull\", dflt_value, pk FROM pragma_table_info(?1) "
          "ORDER BY cid",
          {schema.name}, [&](const SqliteStatement& s) {
              FieldDescription f;
              f.name = std::string(s.ColumnText(0));
              f.declaredType = std::string(s.ColumnText(1));
              const DaoType dt = DaoTypeFromDeclaration(f.declaredType);
              f.daoType = dt.type;
              f.size = dt.size;
              f.required = s.ColumnInt64(2) != 0;
              if (s.ColumnType(3) != SQLITE_NULL)
                  f.defaultValue = std::string(s.ColumnText(3));
              if (s.ColumnInt64(4) > 0)
                  key.emplace_back(s.ColumnInt64(4), f.name);
              schema.fields.push_back(std::move(f));
          });
    std::sort(key.begin(), key.end());
    for (auto& [position, name] : key)
        schema.primaryKey.push_back(name);
    // A single INTEGER PRIMARY KEY of a rowid table is the rowid itself.
    if (schema.hasRowId && schema.primaryKey.size() == 1) {
        for (FieldDescription& f : schema.fields) {
            if (f.name == schema.primaryKey[0] && UpperAscii(f.declaredType) == "INTEGER") {
                f.rowNumber = true;
                f.required = true;
                f.autoIncrement = HasAutoIncrementKeyword(createSql);
            }
        }
    }

    Query(db, "SELECT name, \"unique\", origin, partial FROM pragma_index_list(?1) ORDER BY name",
          {schema.name}, [&](const SqliteStatement& s) {
              IndexDescription index;
              index.name = std::string(s.ColumnText(0));
              index.unique = s.ColumnInt64(1) != 0;
              index.primary = s.ColumnText(2) == "pk";
              index.partial = s.ColumnInt64(3) != 0;
              schema.indexes.push_back(std::move(index));
          });
    for (IndexDescription& index : schema.indexes) {
        Query(db, "SELECT name FROM pragma_index_info(?1) ORDER BY seqno", {index.name},
              [&](const SqliteStatement& s) {
                  if (s.ColumnType(0) == SQLITE_NULL)
                      index.expression = true;
                  else
                      index.fields.push_back(std::string(s.ColumnText(0)));
              });
    }
    return schema;
}

} // namespace

EngineError SqliteFailure(sqlite3* db, int rc) {
    const std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    const int extended = db ? sqlite3_extended_errcode(db) : rc;
    const std::string code = "SQLite " + std::to_string(extended);
    auto fail = [&](EngineFailure failure, std::string_view subject = {}) {
        return EngineError(failure, code, message, std::string(subject));
    };
    std::string_view name;
    if (!(name = After(message, "no such table: ")).empty()) {
        const size_t dot = name.find('.');
        return fail(EngineFailure::TableNotFound,
                    dot == std::string_view::npos ? name : name.substr(dot + 1));
    }
    if (!(name = After(message, "no such column: ")).empty())
        return fail(EngineFailure::ColumnNotFound, name);
    if (!(name = After(message, "no such function: ")).empty())
        return fail(EngineFailure::FunctionNotFound, name);
    if (message.find("syntax error") != std::string::npos ||
        message.find("incomplete input") != std::string::npos ||
        message.find("unrecognized token") != std::string::npos)
        return fail(EngineFailure::Syntax);
    switch (extended) {
    case SQLITE_CONSTRAINT_PRIMARYKEY:
    case SQLITE_CONSTRAINT_UNIQUE:
    case SQLITE_CONSTRAINT_ROWID:
        return fail(EngineFailure::DuplicateKey);
    case SQLITE_CONSTRAINT_NOTNULL: {
        // "NOT NULL constraint failed: t.column"
        std::string_view column = After(message, "NOT NULL constraint failed: ");
        const size_t dot = column.rfind('.');
        return fail(EngineFailure::RequiredIsNull,
                    dot == std::string_view::npos ? column : column.substr(dot + 1));
    }
    case SQLITE_CONSTRAINT_CHECK:
        return fail(EngineFailure::CheckViolation);
    case SQLITE_CONSTRAINT_FOREIGNKEY:
        return fail(EngineFailure::ForeignKey);
    default:
        break;
    }
    switch (rc & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return fail(EngineFailure::Locked);
    case SQLITE_READONLY:
        return fail(EngineFailure::ReadOnly);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return fail(EngineFailure::CorruptFile, db ? sqlite3_db_filename(db, "main") : "");
    case SQLITE_TOOBIG:
        return fail(EngineFailure::TooLong);
    case SQLITE_MISMATCH:
        return fail(EngineFailure::Conversion);
    default:
        return fail(EngineFailure::Other);
    }
}

std::unique_ptr<EngineConnection> OpenSqliteEngine(const std::string& fileName, bool readOnly,
                                                   bool create) {
    if (fileName.find('\0') != std::string::npos)
        throw EngineError(EngineFailure::InvalidArgument, {},
                          "A file name cannot contain a NUL character.");
    int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    if (create && !readOnly)
        flags |= SQLITE_OPEN_CREATE;
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(fileName.c_str(), &raw, flags, nullptr);
    SqliteConnection db(raw);
    if (rc == SQLITE_CANTOPEN)
        throw EngineError(EngineFailure::FileNotFound, std::to_string(rc),
                          raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc), fileName);
    if (rc != SQLITE_OK)
        throw SqliteFailure(raw, rc);
    sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
    sqlite3_extended_result_codes(db.get(), 1);
    if (const int r = RegisterTextFunctions(db.get()); r != SQLITE_OK)
        throw SqliteFailure(db.get(), r);
    auto connection = std::make_unique<SqliteEngineConnection>(std::move(db), readOnly);
    // A file that is no database fails here rather than at the first statement.
    connection->Execute("SELECT count(*) FROM sqlite_schema");
    if (!readOnly)
        connection->Execute("PRAGMA foreign_keys=ON");
    return connection;
}

} // namespace kel::dao
