#include "platform/dao/engines/sqlite/SqliteEngine.h"

#include "platform/dao/FieldValue.h"
#include "platform/dao/IsoDate.h"
#include "platform/dao/JetSql.h"
#include "platform/dao/SqlLexer.h"
#include "platform/dao/TextCompare.h"
#include "platform/dao/engines/sqlite/SqliteConnection.h"
#include "platform/dao/engines/sqlite/SqliteStatement.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>
#include <atomic>
#include <mutex>
#include <optional>
#include <vector>

namespace kel::dao {

namespace {

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

int Collate(void*, int n1, const void* p1, int n2, const void* p2) {
    return CompareText(std::string_view(static_cast<const char*>(p1), static_cast<size_t>(n1)),
                       std::string_view(static_cast<const char*>(p2), static_cast<size_t>(n2)));
}

// kel_identity(a, b, ...): FNV-1a over each value's storage class and bytes.
void IdentityFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
    std::uint32_t h = 2166136261u;
    auto mix = [&h](const unsigned char* p, size_t n) {
        for (size_t i = 0; i < n; ++i) {
            h ^= p[i];
            h *= 16777619u;
        }
    };
    for (int i = 0; i < argc; ++i) {
        const unsigned char type = static_cast<unsigned char>(sqlite3_value_type(argv[i]));
        mix(&type, 1);
        switch (type) {
        case SQLITE_INTEGER: {
            const std::int64_t v = sqlite3_value_int64(argv[i]);
            mix(reinterpret_cast<const unsigned char*>(&v), sizeof v);
            break;
        }
        case SQLITE_FLOAT: {
            const double v = sqlite3_value_double(argv[i]);
            mix(reinterpret_cast<const unsigned char*>(&v), sizeof v);
            break;
        }
        case SQLITE_NULL:
            break;
        default: {
            const void* p = type == SQLITE_BLOB
                                ? sqlite3_value_blob(argv[i])
                                : static_cast<const void*>(sqlite3_value_text(argv[i]));
            mix(static_cast<const unsigned char*>(p),
                static_cast<size_t>(sqlite3_value_bytes(argv[i])));
            break;
        }
        }
    }
    sqlite3_result_int64(context, h);
}

// The first bytes of every SQLite database file.
bool HasDatabaseHeader(const std::string& name) {
    std::ifstream in(name, std::ios::binary);
    char header[100] = {};
    if (!in.read(header, sizeof header))
        return false;
    return std::memcmp(header, "SQLite format 3", 16) == 0;
}

// How many virtual machine steps run between two looks at a pending interrupt.
constexpr int kProgressSteps = 1000;

int StopRequested(void* stop) {
    return static_cast<std::atomic<bool>*>(stop)->load(std::memory_order_relaxed) ? 1 : 0;
}

const char* Text(const char* p) {
    return p ? p : "";
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
        std::vector<std::string> names;
        for (const FieldDescription& f : schema.fields)
            names.push_back(f.name);
        std::string name = RowIdName(names);
        return name.empty() ? std::vector<std::string>() : std::vector<std::string>{name};
    }
    // The rowid under the first of its names that no column takes.
    std::string RowIdName(const std::vector<std::string>& columns) const override {
        for (const char* name : {"rowid", "_rowid_", "oid"}) {
            const bool taken =
                std::any_of(columns.begin(), columns.end(),
                            [&](const std::string& c) { return EqualsNoCase(c, name); });
            if (!taken)
                return name;
        }
        return {};
    }
};

class SqliteEngineStatement final : public EngineStatement {
public:
    SqliteEngineStatement(sqlite3* db, SqliteStatement stmt, std::atomic<bool>& stop)
        : m_db(db), m_stmt(std::move(stmt)), m_stop(stop) {}

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
        if ((rc & 0xFF) == SQLITE_INTERRUPT)
            m_stop.store(false); // the interrupt is spent
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

    std::int64_t ColumnInteger(int column) const override { return m_stmt.ColumnInt64(column); }
    bool ReadOnly() const override { return sqlite3_stmt_readonly(m_stmt.get()) != 0; }
    bool Sorted() const override {
        return sqlite3_stmt_status(m_stmt.get(), SQLITE_STMTSTATUS_SORT, 0) > 0;
    }
    ColumnSource ColumnOrigin(int column) const override {
        const char* origin = sqlite3_column_origin_name(m_stmt.get(), column);
        if (!origin)
            return {};
        return {Text(sqlite3_column_database_name(m_stmt.get(), column)),
                Text(sqlite3_column_table_name(m_stmt.get(), column)), origin};
    }

private:
    sqlite3* m_db;
    SqliteStatement m_stmt;
    std::atomic<bool>& m_stop;
    bool m_started = false;
    bool m_hasRow = false;
    std::int64_t m_changed = 0;
};

class SqliteEngineConnection final : public EngineConnection {
public:
    SqliteEngineConnection(SqliteConnection db, std::string file, bool readOnly)
        : m_db(std::move(db)), m_file(std::move(file)), m_readOnly(readOnly) {
        // SQLite forgets an interrupt that comes before a statement starts; the handler
        // remembers it until a statement has failed for it.
        sqlite3_progress_handler(m_db.get(), kProgressSteps, StopRequested, &m_stop);
    }

    ~SqliteEngineConnection() override {
        std::lock_guard<std::mutex> lock(m_interruptLock);
        m_dataVersion = SqliteStatement();
        m_db.Reset();
    }

    std::string EngineName() const override { return "SQLite"; }
    bool IsReadOnly() const override { return m_readOnly; }
    const Dialect& GetDialect() const override { return m_dialect; }

    std::unique_ptr<EngineStatement> PrepareFirst(std::string_view sql,
                                                  std::string_view& rest) override {
        if (sql.find('\0') != std::string_view::npos)
            throw EngineError(EngineFailure::Syntax, {},
                              "A statement cannot contain a NUL character.");
        SqliteStatement stmt;
        const int rc = stmt.Prepare(m_db.get(), sql, &rest);
        if (rc != SQLITE_OK)
            throw SqliteFailure(m_db.get(), rc);
        if (!stmt)
            return nullptr;
        return std::make_unique<SqliteEngineStatement>(m_db.get(), std::move(stmt), m_stop);
    }

    void BeginWrite() override { Execute("BEGIN IMMEDIATE"); }
    std::int64_t LastInsertId() override { return sqlite3_last_insert_rowid(m_db.get()); }
    void SetBusyTimeout(int milliseconds) override {
        sqlite3_busy_timeout(m_db.get(), milliseconds);
    }
    bool StillInPlace() override {
        int moved = 0;
        return sqlite3_file_control(m_db.get(), "main", SQLITE_FCNTL_HAS_MOVED, &moved) !=
                   SQLITE_OK ||
               !moved;
    }
    // An incremental blob handle reads the first bytes of a long text without the rest.
    std::optional<std::string> ReadTextPrefix(std::string_view database, std::string_view table,
                                              std::string_view column, std::int64_t rowId,
                                              size_t bytes) override {
        sqlite3_blob* raw = nullptr;
        const std::string db(database.empty() ? "main" : database), t(table), c(column);
        if (sqlite3_blob_open(m_db.get(), db.c_str(), t.c_str(), c.c_str(), rowId, 0, &raw) !=
            SQLITE_OK) {
            sqlite3_blob_close(raw);
            return std::nullopt;
        }
        std::string out(std::min(static_cast<size_t>(sqlite3_blob_bytes(raw)), bytes), '\0');
        const int rc = sqlite3_blob_read(raw, out.data(), static_cast<int>(out.size()), 0);
        sqlite3_blob_close(raw);
        if (rc != SQLITE_OK)
            throw SqliteFailure(m_db.get(), rc);
        return out;
    }
    ColumnFacts DescribeColumn(std::string_view database, std::string_view table,
                               std::string_view column) override {
        const std::string db(database), t(table), c(column);
        const char* declared = nullptr;
        const char* collation = nullptr;
        int notNull = 0, pk = 0, autoinc = 0;
        const int rc = sqlite3_table_column_metadata(m_db.get(), db.empty() ? nullptr : db.c_str(),
                                                     t.c_str(), c.c_str(), &declared, &collation,
                                                     &notNull, &pk, &autoinc);
        if (rc != SQLITE_OK)
            throw EngineError(EngineFailure::ColumnNotFound, {}, "no such column: " + c, c);
        ColumnFacts facts;
        facts.declaredType = Text(declared);
        facts.required = notNull != 0;
        facts.primaryKey = pk != 0;
        facts.autoIncrement = autoinc != 0;
        return facts;
    }
    // The file name is fixed at open: reading it races with nothing.
    std::unique_ptr<EngineConnection> OpenReader() const override {
        EngineOptions options;
        options.readOnly = true;
        options.busyTimeoutMs = 3000;
        return OpenSqliteEngine(m_file, options);
    }
    void Interrupt() override {
        m_stop.store(true);
        std::lock_guard<std::mutex> lock(m_interruptLock);
        if (m_db)
            sqlite3_interrupt(m_db.get());
    }

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
        return std::make_unique<SqliteEngineStatement>(m_db.get(), std::move(stmt), m_stop);
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
        SqliteStatementScope scope(m_dataVersion);
        const int rc = m_dataVersion.Step();
        if (rc != SQLITE_ROW)
            throw SqliteFailure(m_db.get(), rc);
        return {std::to_string(m_dataVersion.ColumnInt64(0)) + ":" +
                std::to_string(sqlite3_total_changes64(m_db.get()))};
    }

    SchemaDescription DescribeTable(std::string_view table,
                                    std::string_view database = {}) override;

private:
    void RequireTransaction() const {
        if (!InTransaction())
            throw EngineError(EngineFailure::Other, {}, "A savepoint needs a transaction.");
    }

    SqliteConnection m_db;
    const std::string m_file;
    bool m_readOnly;
    SqliteDialect m_dialect;
    SqliteStatement m_dataVersion;
    std::mutex m_interruptLock; // an interrupt from another thread against the close
    std::atomic<bool> m_stop{false};
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

SchemaDescription SqliteEngineConnection::DescribeTable(std::string_view table,
                                                        std::string_view database) {
    sqlite3* db = m_db.get();
    SchemaDescription schema;
    // An unqualified name is found in temp first, then main, then the attached files in the
    // order they were attached, as SQLite resolves it in a statement.
    std::string type;
    std::optional<int> best;
    Query(db,
          "SELECT t.schema, t.name, t.type, t.wr, d.seq FROM pragma_table_list(?1) AS t "
          "JOIN pragma_database_list AS d ON d.name = t.schema "
          "WHERE t.type IN ('table', 'shadow', 'view', 'virtual')",
          {table}, [&](const SqliteStatement& s) {
              const std::string_view found = s.ColumnText(0);
              if (!database.empty() && !EqualsNoCase(found, database))
                  return;
              const int seq = static_cast<int>(s.ColumnInt64(4));
              const int order = seq == 1 ? -1 : seq; // temp comes first
              if (best && order >= *best)
                  return;
              best = order;
              schema.database = std::string(found);
              schema.name = std::string(s.ColumnText(1));
              type = std::string(s.ColumnText(2));
              schema.hasRowId = (type == "table" || type == "shadow") && s.ColumnInt64(3) == 0;
          });
    if (type.empty())
        throw EngineError(EngineFailure::TableNotFound, {}, "no such table: " + std::string(table),
                          std::string(table));
    schema.view = type == "view";
    schema.updatable =
        !schema.view && !m_readOnly && sqlite3_db_readonly(db, schema.database.c_str()) == 0;
    const std::string_view in = schema.database;

    std::vector<std::pair<std::int64_t, std::string>> key;
    // table_xinfo also names generated columns; a virtual table's hidden ones are left out.
    Query(db,
          "SELECT name, type, \"notnull\", dflt_value, pk, hidden FROM pragma_table_xinfo(?1, ?2) "
          "WHERE hidden <> 1 ORDER BY cid",
          {schema.name, in}, [&](const SqliteStatement& s) {
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
              f.generated = s.ColumnInt64(5) != 0;
              f.writable = !f.generated;
              schema.fields.push_back(std::move(f));
          });
    std::sort(key.begin(), key.end());
    for (auto& [position, name] : key)
        schema.primaryKey.push_back(name);
    // A single INTEGER PRIMARY KEY of a rowid table is the rowid itself.
    if (schema.hasRowId && schema.primaryKey.size() == 1) {
        std::string createSql;
        Query(db,
              ("SELECT sql FROM " + m_dialect.QuoteName(schema.database) +
               ".sqlite_schema WHERE name = ?1")
                  .c_str(),
              {schema.name},
              [&](const SqliteStatement& s) { createSql = std::string(s.ColumnText(0)); });
        for (FieldDescription& f : schema.fields) {
            if (f.name == schema.primaryKey[0] && UpperAscii(f.declaredType) == "INTEGER") {
                f.rowNumber = true;
                f.required = true;
                f.autoIncrement = HasAutoIncrementKeyword(createSql);
            }
        }
    }

    // The indexes with their key parts, in one query: the rowid and a covering index's extra
    // columns are not part of the key.
    Query(db,
          "SELECT l.name, l.\"unique\", l.origin, l.partial, x.name, x.\"desc\" "
          "FROM pragma_index_list(?1, ?2) AS l JOIN pragma_index_xinfo(l.name, ?2) AS x "
          "WHERE x.key ORDER BY l.seq, x.seqno",
          {schema.name, in}, [&](const SqliteStatement& s) {
              const std::string_view name = s.ColumnText(0);
              if (schema.indexes.empty() || schema.indexes.back().name != name) {
                  IndexDescription index;
                  index.name = std::string(name);
                  index.unique = s.ColumnInt64(1) != 0;
                  index.primary = s.ColumnText(2) == "pk";
                  index.partial = s.ColumnInt64(3) != 0;
                  schema.indexes.push_back(std::move(index));
              }
              IndexDescription& index = schema.indexes.back();
              const bool expression = s.ColumnType(4) == SQLITE_NULL;
              index.expression = index.expression || expression;
              index.fields.push_back(expression ? std::string() : std::string(s.ColumnText(4)));
              index.descending.push_back(s.ColumnInt64(5) != 0);
          });
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
    if ((rc & 0xFF) == SQLITE_NOMEM)
        return fail(EngineFailure::OutOfMemory);
    // A damaged schema's message may read like a syntax error: the file is what is wrong.
    if ((rc & 0xFF) == SQLITE_CORRUPT || (rc & 0xFF) == SQLITE_NOTADB)
        return fail(EngineFailure::CorruptFile, db ? sqlite3_db_filename(db, "main") : "");
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
    if (!(name = After(message, "ambiguous column name: ")).empty())
        return fail(EngineFailure::AmbiguousName, name);
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
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
    case SQLITE_FULL:
        return fail(EngineFailure::DiskError);
    case SQLITE_INTERRUPT:
        return fail(EngineFailure::Interrupted);
    case SQLITE_TOOBIG:
        return fail(EngineFailure::TooLong);
    case SQLITE_MISMATCH:
        return fail(EngineFailure::Conversion);
    default:
        return fail(EngineFailure::Other);
    }
}

int RegisterSqliteFunctions(sqlite3* db) {
    const std::string name(kTextCollation);
    int rc = sqlite3_create_collation_v2(db, name.c_str(), SQLITE_UTF8, nullptr, Collate, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_create_function_v2(db, "kel_identity", -1,
                                        SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                        nullptr, IdentityFunction, nullptr, nullptr, nullptr);
    return rc;
}

std::unique_ptr<EngineConnection> OpenSqliteEngine(const std::string& fileName,
                                                   const EngineOptions& options) {
    if (fileName.find('\0') != std::string::npos)
        throw EngineError(EngineFailure::InvalidArgument, {},
                          "A file name cannot contain a NUL character.");
    // What the file is decides before SQLite does: SQLite would take an empty file, or one
    // that is no file, for an empty database.
    struct stat st {};
    const bool exists = ::stat(fileName.c_str(), &st) == 0;
    if (!exists && !options.create)
        throw EngineError(EngineFailure::FileNotFound, {},
                          "Could not find file '" + fileName + "'.", fileName);
    if (exists && (!options.create || st.st_size > 0)) {
        if (!S_ISREG(st.st_mode) || !HasDatabaseHeader(fileName)) {
            if (S_ISREG(st.st_mode) && ::access(fileName.c_str(), R_OK) != 0)
                throw EngineError(EngineFailure::DiskError, {},
                                  "Cannot open file '" + fileName + "'.", fileName);
            throw EngineError(EngineFailure::CorruptFile, {},
                              "'" + fileName + "' is not a SQLite database.", fileName);
        }
    }
    // A file without write permission opens read-only, as a read-only file does elsewhere.
    const bool readOnly =
        options.readOnly || (exists && ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
                                        ::access(fileName.c_str(), W_OK) != 0));
    int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    if (options.create && !readOnly)
        flags |= SQLITE_OPEN_CREATE;
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(fileName.c_str(), &raw, flags, nullptr);
    SqliteConnection db(raw);
    if (rc == SQLITE_CANTOPEN)
        throw EngineError(EngineFailure::FileNotFound, std::to_string(rc),
                          raw ? sqlite3_errmsg(raw) : sqlite3_errstr(rc), fileName);
    if (rc != SQLITE_OK)
        throw SqliteFailure(raw, rc);
    sqlite3_extended_result_codes(db.get(), 1);
    sqlite3_busy_timeout(db.get(), options.busyTimeoutMs);
    // Text compares and matches without regard to case, as Jet's does.
    if (const int r = RegisterSqliteFunctions(db.get()); r != SQLITE_OK)
        throw SqliteFailure(db.get(), r);
    auto connection = std::make_unique<SqliteEngineConnection>(std::move(db), fileName, readOnly);
    // Reading the schema now finds a damaged file, or one another connection holds
    // exclusively, here rather than at the first statement.
    if (options.exclusive) {
        connection->Execute("PRAGMA locking_mode=EXCLUSIVE");
        if (readOnly) {
            connection->Execute("BEGIN");
            connection->Execute("SELECT count(*) FROM sqlite_schema");
        } else {
            connection->Execute("BEGIN EXCLUSIVE");
        }
        connection->Execute("COMMIT");
    }
    connection->Execute("SELECT count(*) FROM sqlite_schema");
    // Relationships declared in the schema are enforced.
    connection->Execute("PRAGMA foreign_keys=ON");
    return connection;
}

} // namespace kel::dao
