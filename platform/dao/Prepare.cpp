#include "platform/dao/Prepare.h"

#include "platform/dao/SqlLexer.h"

#include <set>

namespace kel::dao {

namespace {

constexpr std::string_view kNoSuchColumn = "no such column: ";

// sql with every reference to the column name (plain "c" or qualified "t.c") made NULL.
std::string WithoutName(const std::string& sql, std::string_view name) {
    size_t dot = name.find('.');
    std::string_view qualifier = dot == std::string_view::npos ? "" : name.substr(0, dot);
    std::string_view column = dot == std::string_view::npos ? name : name.substr(dot + 1);
    LexResult lex = LexSql(sql, SqlDialect::Sqlite);
    const auto& t = lex.tokens;
    std::string out;
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i].IsName() && EqualsNoCase(Unquote(t[i]), qualifier.empty() ? column : qualifier)) {
            size_t dotAt = NextSignificant(t, i);
            size_t colAt = dotAt < t.size() ? NextSignificant(t, dotAt) : t.size();
            bool dotted = dotAt < t.size() && t[dotAt].Is(TokenKind::Dot);
            bool afterDot = i > 0 && t[i - 1].Is(TokenKind::Dot);
            if (qualifier.empty() && !dotted && !afterDot) {
                out += "NULL";
                continue;
            }
            if (!qualifier.empty() && dotted && colAt < t.size() && t[colAt].IsName() &&
                EqualsNoCase(Unquote(t[colAt]), column)) {
                out += "NULL";
                i = colAt;
                continue;
            }
        }
        out += t[i].text;
    }
    return out;
}

// Jet asks for a parameter for every name it does not know: count them as it would.
int CountUnknownNames(sqlite3* db, std::string sql, std::string first) {
    std::set<std::string> seen;
    std::string name = std::move(first);
    while (seen.size() < 100 && seen.insert(name).second) {
        std::string next = WithoutName(sql, name);
        if (next == sql)
            break;
        sql = std::move(next);
        SqliteStatement probe;
        if (probe.Prepare(db, sql) == SQLITE_OK)
            break;
        std::string message = sqlite3_errmsg(db);
        if (message.rfind(kNoSuchColumn, 0) != 0)
            break;
        name = message.substr(kNoSuchColumn.size());
    }
    return static_cast<int>(seen.size());
}

bool IsBlank(std::string_view text) {
    LexResult lex = LexSql(text, SqlDialect::Sqlite);
    if (!lex.ok)
        return false;
    for (const SqlToken& t : lex.tokens) {
        if (!t.Is(TokenKind::Space) && !t.Is(TokenKind::Semicolon))
            return false;
    }
    return true;
}

} // namespace

void PrepareOne(sqlite3* db, SqliteStatement& stmt, const std::string& sql, ErrorSource source,
                const EngineContext& context) {
    std::string_view tail;
    int rc = stmt.Prepare(db, sql, &tail);
    if (rc != SQLITE_OK) {
        std::string message = sqlite3_errmsg(db);
        if (!context.criterion && message.rfind(kNoSuchColumn, 0) == 0) {
            int n = CountUnknownNames(db, sql, message.substr(kNoSuchColumn.size()));
            ThrowNaming(err::TooFewParameters, std::to_string(n), source);
        }
        ThrowSqliteError(db, rc, source, context);
    }
    if (!stmt)
        ThrowDaoError(err::InvalidStatement, source);
    if (!IsBlank(tail)) {
        stmt = SqliteStatement();
        ThrowDaoError(err::TextAfterEnd, source);
    }
}

void PrepareInternal(sqlite3* db, SqliteStatement& stmt, const std::string& sql,
                     ErrorSource source) {
    int rc = stmt.Prepare(db, sql);
    if (rc != SQLITE_OK)
        ThrowSqliteError(db, rc, source);
}

} // namespace kel::dao
