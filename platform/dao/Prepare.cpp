#include "platform/dao/Prepare.h"

#include "platform/dao/SqlLexer.h"

#include <set>

namespace kel::dao {

namespace {

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
int CountUnknownNames(EngineConnection& db, std::string sql, std::string first) {
    std::set<std::string> seen;
    std::string name = std::move(first);
    while (seen.size() < 100 && seen.insert(name).second) {
        std::string next = WithoutName(sql, name);
        if (next == sql)
            break;
        sql = std::move(next);
        try {
            db.Prepare(sql);
            break;
        } catch (const EngineError& e) {
            if (e.Failure() != EngineFailure::ColumnNotFound)
                break;
            name = e.Subject();
        }
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

void PrepareOne(EngineConnection& db, Statement& stmt, const std::string& sql, ErrorSource source,
                const EngineContext& context) {
    if (const std::optional<EngineError> unknown =
            PrepareOneOrUnknown(db, stmt, sql, source, context))
        ThrowUnknownNames(db, sql, *unknown, source);
}

std::optional<EngineError> PrepareOneOrUnknown(EngineConnection& db, Statement& stmt,
                                               const std::string& sql, ErrorSource source,
                                               const EngineContext& context) {
    std::string_view tail;
    std::unique_ptr<EngineStatement> prepared;
    try {
        prepared = db.PrepareFirst(sql, tail);
    } catch (const EngineError& e) {
        if (!context.criterion && e.Failure() == EngineFailure::ColumnNotFound)
            return e;
        ThrowDaoFor(e, source, context);
    }
    if (!prepared)
        ThrowDaoError(err::InvalidStatement, source);
    if (!IsBlank(tail))
        ThrowDaoError(err::TextAfterEnd, source);
    stmt = Statement(std::move(prepared));
    return std::nullopt;
}

void ThrowUnknownNames(EngineConnection& db, const std::string& sql, const EngineError& unknown,
                       ErrorSource source) {
    const int n = CountUnknownNames(db, sql, unknown.Subject());
    ThrowNaming(err::TooFewParameters, std::to_string(n), source);
}

void PrepareInternal(EngineConnection& db, Statement& stmt, const std::string& sql,
                     ErrorSource source) {
    try {
        stmt = Statement(db.Prepare(sql));
    } catch (const EngineError& e) {
        ThrowDaoFor(e, source);
    }
}

void PrepareInternalRead(EngineConnection& db, Statement& stmt, const std::string& sql,
                         ErrorSource source) {
    try {
        stmt = Statement(db.PrepareRead(sql));
    } catch (const EngineError& e) {
        ThrowDaoFor(e, source);
    }
}

bool TryPrepare(EngineConnection& db, Statement& stmt, const std::string& sql) {
    try {
        stmt = Statement(db.Prepare(sql));
        return true;
    } catch (const EngineError&) {
        stmt = Statement();
        return false;
    }
}

void ThrowStepError(const Statement& stmt, ErrorSource source, const EngineContext& context) {
    ThrowDaoFor(stmt.Error(), source, context);
}

} // namespace kel::dao
