// The data-access, document and grid suites run on both engines: a SQLite file of the test's
// own, or a schema of the test's own on the PostgreSQL server KEL_TEST_PG names (./run test
// starts one). A test states its tables in SQLite's words; on the server they are said in the
// server's (ServerWords), so one test serves both engines.
#pragma once

#include "platform/dao/engines/Engine.h"
#include "platform/dao/engines/EngineError.h"
#include "tools/sampledb/SampleDatabase.h"
#include "tools/sampledb/ServerSample.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace bothengines {

inline const char* Env(const char* name) {
    const char* v = std::getenv(name);
    return v && *v ? v : nullptr;
}

inline bool IsServer(const std::string& engine) {
    return engine == "PostgreSQL";
}

// The running test's name made fit for a file name.
inline std::string RunningTestName() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "db";
    for (char& c : name)
        if (c == '/')
            c = '_';
    return name;
}

// Splits SQL text into its statements at the semicolons outside quotes and brackets.
inline std::vector<std::string> Statements(const std::string& sql) {
    std::vector<std::string> out;
    std::string current;
    char quote = 0;
    for (char c : sql) {
        if (quote) {
            if (c == quote)
                quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '[') {
            quote = ']';
        } else if (c == ';') {
            if (current.find_first_not_of(" \t\r\n") != std::string::npos)
                out.push_back(current);
            current.clear();
            continue;
        }
        current += c;
    }
    if (current.find_first_not_of(" \t\r\n") != std::string::npos)
        out.push_back(current);
    return out;
}

// Whether a word of a test's SQL is a name the server must see quoted: one with a capital
// letter that is no keyword (keywords are written in capitals, functions in small letters).
inline bool NeedsQuotes(const std::string& word) {
    static const char* kKeywords[] = {
        "SELECT",     "FROM",      "WHERE",     "ORDER",     "BY",          "AND",        "OR",
        "NOT",        "NULL",      "IS",        "IN",        "AS",          "ON",         "INNER",
        "LEFT",       "RIGHT",     "OUTER",     "JOIN",      "GROUP",       "HAVING",     "DESC",
        "ASC",        "INSERT",    "INTO",      "VALUES",    "UPDATE",      "SET",        "DELETE",
        "CREATE",     "TABLE",     "INDEX",     "VIEW",      "PRIMARY",     "KEY",        "LIKE",
        "BETWEEN",    "DISTINCT",  "LIMIT",     "CASE",      "WHEN",        "THEN",       "ELSE",
        "END",        "BEGIN",     "COMMIT",    "ROLLBACK",  "UNIQUE",      "REFERENCES", "DEFAULT",
        "CHECK",      "NULLS",     "FIRST",     "LAST",      "COLLATE",     "DROP",       "ALTER",
        "ADD",        "COLUMN",    "COUNT",     "SUM",       "MIN",         "MAX",        "AVG",
        "EXISTS",     "UNION",     "ALL",       "INTEGER",   "INT",         "SMALLINT",   "VARCHAR",
        "CHAR",       "NUMERIC",   "DECIMAL",   "FLOAT",     "BIGINT",      "TIMESTAMP",  "TIME",
        "BINARY",     "VARBINARY", "WITH",      "IMMEDIATE", "TRANSACTION", "GENERATED",  "ALWAYS",
        "IDENTITY",   "OFFSET",    "CAST",      "NOCASE",    "TRUE",        "FALSE",      "LENGTH",
        "LOWER",      "UPPER",     "RECURSIVE", "IF",        "TEMP",        "TEMPORARY",  "USING",
        "CROSS",      "FULL",      "NATURAL",   "ESCAPE",    "GLOB",        "REPLACE",    "FOREIGN",
        "CONSTRAINT", "EXCEPT",    "INTERSECT", "OVER",      "SAVEPOINT",   "RELEASE",    "TO",
        "ANALYZE",    "COALESCE",  "IFNULL",    "ABS",       "ROUND",       "SUBSTR",     "STORED"};
    bool capital = false;
    for (char c : word)
        capital |= std::isupper(static_cast<unsigned char>(c)) != 0;
    if (!capital)
        return false;
    for (const char* k : kKeywords)
        if (word == k)
            return false;
    return true;
}

// SQLite's words of a test's SQL said for the engine: column types, TRUE/FALSE (SQLite keeps
// Jet's -1/0), X'..' binary literals and, on the server, names quoted so that they keep their
// case as the sample's do. String literals are left as they are.
inline std::string EngineWords(const std::string& sql, bool server) {
    struct Word {
        const char* sqlite;
        const char* pg;
    };
    // Longest first: a type is matched as whole words.
    static const Word kWords[] = {
        // A counter numbered by the engine alone, and a key numbered when none is given.
        {"INTEGER PRIMARY KEY AUTOINCREMENT", "integer GENERATED ALWAYS AS IDENTITY PRIMARY KEY"},
        {"INTEGER PRIMARY KEY", "integer GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY"},
        {"DATETIME", "timestamp"},
        {"DATE", "timestamp"},
        {"CURRENCY", "numeric(19,4)"},
        {"MONEY", "numeric(19,4)"},
        {"BOOLEAN", "boolean"},
        {"BLOB", "bytea"},
        {"DOUBLE", "double precision"},
        {"REAL", "double precision"},
        {"LONGTEXT", "text"},
        {"MEMO", "text"},
        {"BYTE", "smallint"},
        {"SINGLE", "real"},
        {"TEXT", "varchar(255)"}, // plain TEXT is a 255-character text field on SQLite
        {"TRUE", "true"},
        {"FALSE", "false"},
    };
    std::string out;
    size_t i = 0;
    const size_t n = sql.size();
    auto wordAt = [&](size_t at, const std::string& w) {
        if (at + w.size() > n)
            return false;
        for (size_t k = 0; k < w.size(); ++k) {
            const char a = sql[at + k], b = w[k];
            if (b == ' ') {
                if (!std::isspace(static_cast<unsigned char>(a)))
                    return false;
            } else if (std::toupper(static_cast<unsigned char>(a)) != b) {
                return false;
            }
        }
        const size_t end = at + w.size();
        return end == n || !(std::isalnum(static_cast<unsigned char>(sql[end])) || sql[end] == '_');
    };
    while (i < n) {
        const char c = sql[i];
        if (c == '\'' || c == '"' || c == '[') {
            const char close = c == '[' ? ']' : c;
            const size_t end = sql.find(close, i + 1);
            const size_t stop = end == std::string::npos ? n : end + 1;
            out.append(sql, i, stop - i);
            i = stop;
            continue;
        }
        const bool startsWord = (i == 0 || !(std::isalnum(static_cast<unsigned char>(sql[i - 1])) ||
                                             sql[i - 1] == '_'));
        if (startsWord && (c == 'X' || c == 'x') && i + 1 < n && sql[i + 1] == '\'') {
            const size_t end = sql.find('\'', i + 2);
            const std::string hex = sql.substr(i + 2, end - i - 2);
            out += server ? "'\\x" + hex + "'::bytea" : "X'" + hex + "'";
            i = end + 1;
            continue;
        }
        if (startsWord && std::isalpha(static_cast<unsigned char>(c))) {
            bool replaced = false;
            for (const Word& w : kWords) {
                if (!wordAt(i, w.sqlite))
                    continue;
                const std::string word = w.sqlite;
                size_t len = 0;
                // the matched text's length, with its own run of spaces
                for (size_t k = 0, at = i; k < word.size(); ++k) {
                    if (word[k] == ' ') {
                        while (at < n && std::isspace(static_cast<unsigned char>(sql[at])))
                            ++at;
                    } else {
                        ++at;
                    }
                    len = at - i;
                }
                if (word == "TRUE" || word == "FALSE")
                    out += server ? w.pg : (word == "TRUE" ? "-1" : "0");
                else if (word == "TEXT" && i + len < n && sql[i + len] == '(')
                    out += server ? "varchar" : "TEXT";
                else
                    out += server ? w.pg : sql.substr(i, len);
                i += len;
                replaced = true;
                break;
            }
            if (!replaced) {
                size_t end = i;
                while (end < n &&
                       (std::isalnum(static_cast<unsigned char>(sql[end])) || sql[end] == '_'))
                    ++end;
                const std::string word = sql.substr(i, end - i);
                // The server keeps names as written only when they are quoted (the sample's
                // are): a name with a capital letter is quoted, keywords and functions not.
                out += server && NeedsQuotes(word) ? '"' + word + '"' : word;
                i = end;
            }
            continue;
        }
        out += c;
        ++i;
    }
    return out;
}

// A text column compared as the sample's NOCASE columns compare on SQLite.
inline std::string TextKey(const std::string& column, bool server) {
    return server ? "lower(" + column + ") COLLATE \"C\"" : column;
}

// ORDER BY terms ("Customer DESC, OrderID") as the engine orders them the way Jet does: on the
// server NULLs come first ascending and the sample's text columns compare without regard to
// ASCII case, as its NOCASE columns do on SQLite.
inline std::string JetOrder(const std::string& terms, bool server) {
    if (!server)
        return terms;
    static const char* kTextColumns[] = {"Customer",       "City",           "Notes",
                                         "Name",           "Town",           "Code",
                                         "Customers.Name", "Customers.City", "Orders.City"};
    std::string out;
    for (std::string term : Statements([&] {
             std::string t = terms;
             for (char& c : t)
                 if (c == ',')
                     c = ';';
             return t;
         }())) {
        term.erase(0, term.find_first_not_of(' '));
        term.erase(term.find_last_not_of(' ') + 1);
        bool descending = false;
        if (term.size() > 5 && term.compare(term.size() - 5, 5, " DESC") == 0) {
            descending = true;
            term.erase(term.size() - 5);
        }
        for (const char* text : kTextColumns)
            if (term == text)
                term = TextKey(term, true);
        out +=
            (out.empty() ? "" : ", ") + term + (descending ? " DESC NULLS LAST" : " NULLS FIRST");
    }
    return out;
}

// Runs SQL text in SQLite's words on a connection, statement by statement; BEGIN, COMMIT and
// ROLLBACK go through the connection's own transaction calls. Throws EngineError.
inline void RunStatements(kel::dao::EngineConnection& conn, const std::string& sql, bool server) {
    for (std::string statement : Statements(EngineWords(sql, server))) {
        statement.erase(0, statement.find_first_not_of(" \t\r\n"));
        statement.erase(statement.find_last_not_of(" \t\r\n") + 1);
        std::string word = statement;
        for (char& c : word)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (word == "BEGIN" || word == "BEGIN TRANSACTION")
            conn.Begin();
        else if (word == "COMMIT" || word == "END")
            conn.Commit();
        else if (word == "ROLLBACK")
            conn.Rollback();
        else
            conn.Execute(statement);
    }
}

// A name percent-encoded as a libpq URI's parameter wants it.
inline std::string UriEncoded(const std::string& text) {
    static const char* kHex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) || c == '_' || c == '-' || c == '.')
            out += static_cast<char>(c);
        else
            out += std::string("%") + kHex[c >> 4] + kHex[c & 15];
    }
    return out;
}

// A database of the running test's own on one engine, empty at first.
class EngineDatabase {
public:
    // engine is "SQLite" or "PostgreSQL"; folder is where SQLite files go below the test data.
    EngineDatabase(const std::string& engine, const std::string& folder,
                   const std::string& name = RunningTestName())
        : m_server(::bothengines::IsServer(engine)) {
        if (m_server) {
            m_schema = NewSchemaName();
            const std::string base = Env("KEL_TEST_PG") ? Env("KEL_TEST_PG") : "";
            m_conn = kel::dao::OpenEngine(base);
            m_conn->Execute("CREATE SCHEMA " + m_schema);
            m_conn->Execute("SET search_path TO " + m_schema);
            m_name = WithSchema(base);
        } else {
            const std::filesystem::path dir = std::filesystem::path(KEL_TEST_DATA_DIR) / folder;
            std::filesystem::create_directories(dir);
            m_name = (dir / (name + ".db")).string();
            Remove();
            m_conn = kel::dao::OpenEngine(m_name, false, true);
        }
    }
    // The sample of that many orders as the test's own database: a copy of the cached SQLite
    // file, or the sample loaded into a schema of the test's own.
    struct Sample {
        long long rows;
    };
    EngineDatabase(const std::string& engine, const std::string& folder, Sample sample,
                   const std::string& name = RunningTestName())
        : m_server(::bothengines::IsServer(engine)) {
        const std::filesystem::path dir = std::filesystem::path(KEL_TEST_DATA_DIR) / folder;
        std::filesystem::create_directories(dir);
        const std::string cached = kelsampledb::Cached(dir.string(), sample.rows);
        if (m_server) {
            m_schema = NewSchemaName();
            const std::string base = Env("KEL_TEST_PG") ? Env("KEL_TEST_PG") : "";
            kelsampledb::LoadServer(base, m_schema, dir.string(), sample.rows);
            m_conn = kel::dao::OpenEngine(base);
            m_conn->Execute("SET search_path TO " + m_schema);
            m_name = WithSchema(base);
        } else {
            m_name = (dir / (name + ".db")).string();
            Remove();
            std::filesystem::copy_file(cached, m_name);
            m_conn = kel::dao::OpenEngine(m_name);
        }
    }
    ~EngineDatabase() {
        try {
            if (m_server) {
                if (m_conn->InTransaction())
                    m_conn->Rollback();
                m_conn->Execute("DROP SCHEMA " + m_schema + " CASCADE");
            }
        } catch (const kel::dao::EngineError& e) {
            ADD_FAILURE() << "cannot drop " << m_schema << ": " << e.what();
        }
        m_conn.reset();
    }
    EngineDatabase(const EngineDatabase&) = delete;
    EngineDatabase& operator=(const EngineDatabase&) = delete;

    bool IsServer() const { return m_server; }
    // What CDaoDatabase::Open and CRecordsetLoad::m_strDatabase take: the file's path, or the
    // server's URI with the test's schema as search path.
    const std::string& Name() const { return m_name; }
    const std::string& Schema() const { return m_schema; }
    // The connection the fixture keeps: another program's, as the data-access classes see it.
    kel::dao::EngineConnection& Connection() { return *m_conn; }

    // Runs SQL text in SQLite's words (several statements allowed); the test fails on an
    // error. On the server, keys given explicitly move the identity on past them, as
    // SQLite's rowid does.
    void Exec(const std::string& sql) {
        try {
            RunStatements(*m_conn, sql, m_server);
        } catch (const kel::dao::EngineError& e) {
            ADD_FAILURE() << sql.substr(0, 300) << ": " << e.what();
            return;
        }
        if (m_server &&
            (sql.find("INSERT") != std::string::npos || sql.find("insert") != std::string::npos))
            CatchUpIdentities();
    }

    // Every row of a query (in the engine's own words), each value as text ("<null>" for NULL).
    std::vector<std::vector<std::string>> Rows(const std::string& sql) {
        std::vector<std::vector<std::string>> rows;
        try {
            auto stmt = m_conn->Prepare(sql);
            while (stmt->Step()) {
                std::vector<std::string> row;
                for (int c = 0; c < stmt->ColumnCount(); ++c) {
                    const kel::dao::EngineValue v = stmt->Column(c);
                    row.push_back(v.IsNull() ? "<null>" : Text(v));
                }
                rows.push_back(std::move(row));
            }
        } catch (const kel::dao::EngineError& e) {
            ADD_FAILURE() << sql << ": " << e.what();
        }
        return rows;
    }
    // The first column of a query's rows as numbers (keys, as a rule).
    std::vector<long> Ids(const std::string& sql) {
        std::vector<long> ids;
        for (const auto& row : Rows(sql))
            ids.push_back(std::atol(row.at(0).c_str()));
        return ids;
    }
    // The first value of a query as text; "<none>" when it gives no row.
    std::string Value(const std::string& sql) {
        const auto rows = Rows(sql);
        return rows.empty() ? "<none>" : rows.front().at(0);
    }

    // The same as seen through the given engine's storage: text of a value.
    static std::string Text(const kel::dao::EngineValue& v) {
        using Kind = kel::dao::EngineValue::Kind;
        switch (v.kind) {
        case Kind::Integer:
            return std::to_string(v.integer);
        case Kind::Real: {
            std::string s = std::to_string(v.real);
            // trims the zeros std::to_string pads with
            if (s.find('.') != std::string::npos) {
                s.erase(s.find_last_not_of('0') + 1);
                if (s.back() == '.')
                    s.pop_back();
            }
            return s;
        }
        default:
            return v.bytes;
        }
    }

    // Another connection to the same database, as another program would open it.
    std::unique_ptr<kel::dao::EngineConnection> Another() {
        if (!m_server)
            return kel::dao::OpenEngine(m_name);
        auto conn = kel::dao::OpenEngine(Env("KEL_TEST_PG"));
        conn->Execute("SET search_path TO " + m_schema);
        return conn;
    }

private:
    // Unique on the server: programs run side by side.
    static std::string NewSchemaName() {
        static int counter = 0;
        return "kel_test_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
    }
    std::string WithSchema(const std::string& base) const {
        return base + (base.find('?') == std::string::npos ? "?" : "&") +
               "options=" + UriEncoded("-csearch_path=" + m_schema);
    }
    void Remove() {
        for (const char* suffix : {"", "-journal", "-wal", "-shm"})
            std::filesystem::remove(m_name + suffix);
    }

    void CatchUpIdentities() {
        const auto columns = Rows("SELECT table_name, column_name FROM information_schema.columns "
                                  "WHERE table_schema = current_schema() AND is_identity = 'YES'");
        for (const auto& c : columns) {
            const std::string table = m_conn->GetDialect().QuoteName(c.at(0));
            const std::string column = m_conn->GetDialect().QuoteName(c.at(1));
            Rows("SELECT setval(pg_get_serial_sequence('" + table + "', '" + c.at(1) +
                 "'), coalesce(max(" + column + "), 0) + 1, false) FROM " + table);
        }
    }

    bool m_server;
    std::string m_name, m_schema;
    std::unique_ptr<kel::dao::EngineConnection> m_conn;
};

// The failure a call throws as an EngineError; Other when it throws none.
template <typename F> kel::dao::EngineFailure FailureOf(F&& f) {
    try {
        f();
    } catch (const kel::dao::EngineError& e) {
        return e.Failure();
    }
    return kel::dao::EngineFailure::Other;
}

inline std::string EngineParamName(const ::testing::TestParamInfo<std::string>& info) {
    return info.param;
}

} // namespace bothengines

// A server case cannot run without a server (a failure when KEL_REQUIRE_PG asks for one).
// Call first in SetUp.
#define KEL_ENGINE_SETUP(engine)                                                                   \
    do {                                                                                           \
        if (::bothengines::IsServer(engine)) {                                                     \
            if (!::bothengines::Env("KEL_TEST_PG")) {                                              \
                if (::bothengines::Env("KEL_REQUIRE_PG"))                                          \
                    FAIL() << "KEL_REQUIRE_PG is set but KEL_TEST_PG names no server";             \
                GTEST_SKIP() << "KEL_TEST_PG is not set: no PostgreSQL server to test against";    \
            }                                                                                      \
        }                                                                                          \
    } while (0)

#define KEL_BOTH_ENGINES(suite)                                                                    \
    INSTANTIATE_TEST_SUITE_P(Engines, suite, ::testing::Values("SQLite", "PostgreSQL"),            \
                             ::bothengines::EngineParamName)

// A suite about SQLite as such (its files, its locks, its statement trace): SQLite only.
#define KEL_SQLITE_ONLY(suite)                                                                     \
    INSTANTIATE_TEST_SUITE_P(Engines, suite, ::testing::Values("SQLite"),                          \
                             ::bothengines::EngineParamName)
