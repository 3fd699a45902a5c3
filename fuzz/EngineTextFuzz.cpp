// The text the engines take from callers: connect strings, SQL with ? parameters, Jet LIKE
// patterns and quoted names and text. The first byte chooses which.
//
// Rules: no crash, no hang; a refusal is an EngineError of the kind that part promises; an
// ODBC connect string that is taken hands libpq only keywords it knows; no ? parameter
// survives the translation to $n; a pattern PostgreSQL can match SQLite can match, and the
// SQLite condition prepares; a quoted name or text reads back as one token holding the input.
#include "fuzz/FuzzCheck.h"

#include "platform/dao/SqlLexer.h"
#include "platform/dao/TextCompare.h"
#include "platform/dao/engines/Engine.h"
#include "platform/dao/engines/EngineError.h"
#include "platform/dao/engines/postgresql/PgConnectString.h"
#include "platform/dao/engines/postgresql/PgDialect.h"
#include "platform/dao/engines/postgresql/PgEngine.h"
#include "platform/dao/engines/sqlite/SqliteEngine.h"

#include <sqlite3.h>

#include <memory>
#include <string>

using namespace kel::dao;

namespace {

const EngineConnection& Sqlite() {
    static std::unique_ptr<EngineConnection> db = OpenEngine(":memory:", false, true);
    return *db;
}

sqlite3* RawSqlite() {
    static sqlite3* db = [] {
        sqlite3* h = nullptr;
        sqlite3_open(":memory:", &h);
        RegisterSqliteFunctions(h);
        return h;
    }();
    return db;
}

void ConnectString(std::string_view text) {
    try {
        const PgConnectParams p = ParsePgConnectString(text);
        if (!p.expandDbname) {
            for (const auto& [k, v] : p.keywords) {
                FUZZ_CHECK(k == "host" || k == "port" || k == "dbname" || k == "user" ||
                               k == "password" || k == "sslmode" || k == "connect_timeout",
                           "a keyword libpq was not meant to get");
                FUZZ_CHECK(v.find('\0') == std::string::npos, "a NUL in a value");
            }
        }
    } catch (const EngineError& e) {
        FUZZ_CHECK(e.Failure() == EngineFailure::BadConnectString, "a refusal of another kind");
    }
}

void Parameters(std::string_view text) {
    try {
        const std::string out = ToPgParameters(text);
        const LexResult lex = LexSql(out, SqlDialect::Sqlite);
        FUZZ_CHECK(lex.ok, "the translation opened a string or name");
        for (const SqlToken& t : lex.tokens)
            FUZZ_CHECK(!(t.Is(TokenKind::Param) && t.text[0] == '?'), "a ? parameter is left");
    } catch (const EngineError& e) {
        FUZZ_CHECK(e.Failure() == EngineFailure::Syntax, "a refusal of another kind");
    }
}

void Pattern(std::string_view text) {
    const std::optional<std::string> re = PgDialect::JetPatternToRegex(text);
    const std::optional<std::string> like = Sqlite().GetDialect().Like("'x'", text);
    if (re)
        FUZZ_CHECK(like.has_value(), "a pattern for PostgreSQL but not for SQLite");
    if (like) {
        sqlite3_stmt* stmt = nullptr;
        const std::string sql = "SELECT " + *like;
        const int rc = sqlite3_prepare_v2(RawSqlite(), sql.c_str(), -1, &stmt, nullptr);
        sqlite3_finalize(stmt);
        FUZZ_CHECK(rc == SQLITE_OK, "the SQLite condition does not prepare");
    }
}

void Quoting(std::string_view text) {
    const Dialect& d = Sqlite().GetDialect();
    const bool nul = text.find('\0') != std::string_view::npos;
    for (int kind = 0; kind < 2; ++kind) {
        std::string quoted;
        try {
            quoted = kind == 0 ? d.QuoteName(text) : d.QuoteText(text);
        } catch (const EngineError&) {
            FUZZ_CHECK(nul || (kind == 0 && text.empty()), "quoting refused harmless text");
            continue;
        }
        FUZZ_CHECK(!nul, "quoting took a NUL");
        const LexResult lex = LexSql(quoted, SqlDialect::Sqlite);
        FUZZ_CHECK(lex.ok && lex.tokens.size() == 1, "the quoted text is not one token");
        FUZZ_CHECK(Unquote(lex.tokens[0]) == text, "the quoted text reads back otherwise");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    if (size == 0)
        return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 4) {
    case 0:
        ConnectString(text);
        break;
    case 1:
        Parameters(text);
        break;
    case 2:
        Pattern(text);
        break;
    default:
        Quoting(text);
        break;
    }
    return 0;
}
