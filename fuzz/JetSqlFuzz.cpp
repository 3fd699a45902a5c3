// The Jet dialect translator, fed statements and criteria as hosts and filters write them.
//
// Rules: no crash, no hang; a refusal carries an engine code and a text; what is accepted is
// one statement that SQLite prepares (or refuses, through the engine's errors), never followed
// by a second one; a criterion never closes a parenthesis it did not open, so that the
// statement it is put into keeps its shape. A statement taken apart into its clauses and put
// together again (as a filter and a sort are added to it) still prepares, with its columns.
#include "fuzz/FuzzCheck.h"

#include "platform/dao/DaoErrors.h"
#include "platform/dao/DaoException.h"
#include "platform/dao/JetSql.h"
#include "platform/dao/Prepare.h"
#include "platform/dao/SelectStatement.h"
#include "platform/dao/SqlLexer.h"
#include "platform/dao/engines/Engine.h"
#include "platform/dao/engines/postgresql/PgDialect.h"
#include "platform/dao/engines/sqlite/SqliteEngine.h"

#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

using namespace kel::dao;

namespace {

constexpr const char* kSchema[] = {
    ("CREATE TABLE Orders(ID INTEGER PRIMARY KEY, Customer TEXT(50), Amount CURRENCY, "
     "OrderDate DATE, Paid BOOLEAN, Notes MEMO)"),
    "CREATE TABLE Customers(Name TEXT(50) PRIMARY KEY, City TEXT(30))",
    "CREATE INDEX OrdersByCustomer ON Orders(Customer)",
};

sqlite3* Database() {
    static sqlite3* db = [] {
        sqlite3* h = nullptr;
        sqlite3_open(":memory:", &h);
        RegisterSqliteFunctions(h); // the collation the translation names, as a connection has it
        for (const char* sql : kSchema)
            sqlite3_exec(h, sql, nullptr, nullptr, nullptr);
        return h;
    }();
    return db;
}

// The same schema as the classes reach it, through the engine seam.
EngineConnection& Engine() {
    static std::unique_ptr<EngineConnection> db = [] {
        auto c = OpenEngine(":memory:", false, true);
        for (const char* sql : kSchema)
            c->Execute(sql);
        return c;
    }();
    return *db;
}

// What follows the first statement of sql holds no other one, in SQLite's own reading.
void CheckSingle(sqlite3* db, const std::string& sql) {
    const char* tail = nullptr;
    sqlite3_stmt* first = nullptr;
    int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &first, &tail);
    sqlite3_finalize(first);
    FUZZ_CHECK(rc == SQLITE_OK, "a statement accepted once is refused on a second prepare");
    const char* end = sql.c_str() + sql.size();
    while (tail && tail < end) {
        sqlite3_stmt* next = nullptr;
        const char* after = nullptr;
        rc = sqlite3_prepare_v2(db, tail, static_cast<int>(end - tail), &next, &after);
        const bool statement = next != nullptr;
        sqlite3_finalize(next);
        FUZZ_CHECK(rc == SQLITE_OK, "text after the statement that SQLite cannot read");
        FUZZ_CHECK(!statement, "a second statement got through");
        if (after == tail)
            break;
        tail = after;
    }
}

void CheckBalanced(const std::string& sql) {
    LexResult lex = LexSql(sql, SqlDialect::Sqlite);
    FUZZ_CHECK(lex.ok, "the translation leaves a quote open");
    int depth = 0;
    for (const SqlToken& t : lex.tokens) {
        depth += t.Is(TokenKind::LParen) ? 1 : t.Is(TokenKind::RParen) ? -1 : 0;
        FUZZ_CHECK(depth >= 0, "a criterion closes a parenthesis it did not open");
    }
}

void Prepare(const std::string& sql, std::string_view userText, bool criterion) {
    sqlite3* db = Database();
    const EngineContext context{userText, criterion, ":memory:"};
    Statement stmt;
    try {
        PrepareOne(Engine(), stmt, sql, criterion ? ErrorSource::Recordset : ErrorSource::Database,
                   context);
    } catch (CDaoException* e) {
        FUZZ_CHECK(e->m_pErrorInfo && e->m_pErrorInfo->m_lErrorCode != 0,
                   "a refusal without an error code");
        e->Delete();
        return;
    }
    FUZZ_CHECK(static_cast<bool>(stmt), "an accepted statement that prepares to nothing");
    CheckSingle(db, sql);
}

// SQLite's verdict on sql alone, and its column count.
bool Prepares(const std::string& sql, int& columns) {
    sqlite3_stmt* stmt = nullptr;
    int rc =
        sqlite3_prepare_v2(Database(), sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr);
    columns = stmt ? sqlite3_column_count(stmt) : 0;
    sqlite3_finalize(stmt);
    return rc == SQLITE_OK && columns > 0;
}

// A statement and a filter, as a recordset opens them (bytes before the first \x01, after it).
void Compose(std::string_view text) {
    const size_t cut = text.find('\x01');
    const std::string statement(text.substr(0, cut));
    const std::string filter(cut == std::string_view::npos ? "" : text.substr(cut + 1));
    const JetTranslation s = TranslateJetSql(statement);
    if (!s.ok)
        return;
    SelectStatement parts = AnalyzeSelect(s.sql);
    if (!parts.isSelect)
        return;
    // A compound statement is only ever put together inside a SELECT * FROM (...).
    if (parts.compound)
        parts = AnalyzeSelect("SELECT * FROM (" + s.sql + ")");
    int before = 0, after = 0;
    if (Prepares(s.sql, before)) {
        FUZZ_CHECK(Prepares(parts.Compose(), after), "a statement put together again fails");
        FUZZ_CHECK(after == before, "a statement put together again has other columns");
    }
    const JetTranslation f = TranslateJetSql(filter, JetTextKind::Expression);
    if (!f.ok || f.sql.empty())
        return;
    parts.where = parts.where.empty() ? f.sql : "(" + parts.where + ") AND (" + f.sql + ")";
    const std::string composed = parts.Compose();
    int columns = 0;
    if (Prepares(composed, columns))
        CheckSingle(Database(), composed);
}

} // namespace

// In a server's words: names spelled as stored, text fields and Yes/No fields wrapped where
// compared. No crash, and a criterion that still closes only what it opened.
void ServerWords(const std::string& text, JetTextKind kind) {
    static const PgDialect pg;
    static const std::vector<std::string> text_ = {"Customer", "City"};
    static const std::vector<std::string> stored = {"Orders", "Customer", "City", "Shipped"};
    static const std::vector<std::string> yesNo = {"Shipped"};
    const JetTranslation t = TranslateJetSql(text, kind, {}, &pg, text_, stored, yesNo);
    if (!t.ok) {
        FUZZ_CHECK(t.errorCode != 0 && !t.description.empty(), "a refusal without code or text");
        return;
    }
    if (kind == JetTextKind::Expression)
        CheckBalanced(t.sql);
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    kelfuzz::Input in(data, size);
    const unsigned mode = in.Byte();
    const std::string_view text = in.Rest();
    const std::string owned(text); // the translator is given exactly these bytes

    if (mode & 16) {
        ServerWords(owned, (mode & 1) ? JetTextKind::Expression : JetTextKind::Statement);
        return 0;
    }

    if (mode & 8) {
        Compose(owned);
        return 0;
    }
    if (mode & 4) {
        LikeTranslation like;
        if (TranslateLikePattern(owned, like)) {
            FUZZ_CHECK(like.op == "LIKE" || like.op == "GLOB", "an unknown pattern operator");
            Prepare("SELECT ID FROM Orders WHERE Customer " + like.op + " " + like.pattern, owned,
                    true);
        }
        return 0;
    }

    const JetTextKind kind = (mode & 1) ? JetTextKind::Expression : JetTextKind::Statement;
    const JetTranslation t = TranslateJetSql(std::string_view(owned.data(), owned.size()), kind);
    if (!t.ok) {
        FUZZ_CHECK(t.errorCode != 0 && !t.description.empty(), "a refusal without code or text");
        return 0;
    }
    if (kind == JetTextKind::Expression) {
        CheckBalanced(t.sql);
        // As a filter and a Find put it into their statements.
        Prepare("SELECT ID FROM Orders WHERE (" + t.sql + ") ORDER BY ID", owned, true);
    } else {
        Prepare(t.sql, owned, false);
    }
    return 0;
}
