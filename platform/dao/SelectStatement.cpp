#include "platform/dao/SelectStatement.h"

#include "platform/dao/SqlLexer.h"

#include <algorithm>

namespace kel::dao {

namespace {

constexpr std::string_view kClauseWords[] = {"FROM",   "WHERE", "GROUP", "HAVING",
                                             "WINDOW", "ORDER", "LIMIT"};
constexpr std::string_view kCompoundWords[] = {"UNION", "INTERSECT", "EXCEPT"};
constexpr std::string_view kAggregates[] = {"count", "sum",          "avg",
                                            "total", "group_concat", "string_agg"};
// Words that end an expression and so are never a bare alias.
constexpr std::string_view kExpressionEnds[] = {
    "END",     "NULL",   "TRUE", "FALSE", "CURRENT_DATE", "CURRENT_TIME", "CURRENT_TIMESTAMP",
    "NOTNULL", "ISNULL", "ASC",  "DESC"};

bool IsOneOf(const SqlToken& t, std::initializer_list<std::string_view> words) {
    return std::any_of(words.begin(), words.end(), [&](std::string_view w) { return t.IsWord(w); });
}

template <size_t N> bool IsOneOf(const SqlToken& t, const std::string_view (&words)[N]) {
    return std::any_of(std::begin(words), std::end(words),
                       [&](std::string_view w) { return t.IsWord(w); });
}

std::string Trim(std::string_view s) {
    size_t b = s.find_first_not_of(" \t\r\n\f\v");
    if (b == std::string_view::npos)
        return std::string();
    size_t e = s.find_last_not_of(" \t\r\n\f\v");
    return std::string(s.substr(b, e - b + 1));
}

SelectItem ParseItem(std::string_view text) {
    SelectItem item;
    std::vector<SqlToken> t = SignificantTokens(text);
    item.expr = Trim(text);
    if (t.empty())
        return item;
    if ((t.size() == 1 && t[0].text == "*") ||
        (t.size() == 3 && t[0].IsName() && t[1].Is(TokenKind::Dot) && t[2].text == "*")) {
        item.star = true;
        return item;
    }
    if (t.size() < 2 || !t.back().IsName())
        return item;
    const SqlToken& last = t.back();
    const SqlToken& before = t[t.size() - 2];
    bool alias = false;
    if (before.IsWord("AS")) {
        alias = true;
    } else if (!(last.Is(TokenKind::Word) && IsOneOf(last, kExpressionEnds)) &&
               !before.IsWord("COLLATE") && !before.Is(TokenKind::Dot) &&
               (before.IsName() || before.Is(TokenKind::String) || before.Is(TokenKind::Number) ||
                before.Is(TokenKind::RParen))) {
        alias = true;
        // "a b" where a is a keyword such as NOT or IS is an expression, not an alias.
        if (before.Is(TokenKind::Word) && IsOneOf(before, {"NOT", "IS", "AND", "OR", "ELSE", "THEN",
                                                           "WHEN", "LIKE", "GLOB", "IN"}))
            alias = false;
    }
    if (!alias)
        return item;
    item.alias = Unquote(last);
    const SqlToken& end = before.IsWord("AS") ? before : last;
    item.expr = Trim(text.substr(0, static_cast<size_t>(end.text.data() - text.data())));
    return item;
}

// True when the select list calls an aggregate or window function outside sub-queries.
bool HasAggregate(std::string_view head) {
    std::vector<SqlToken> t = SignificantTokens(head);
    std::vector<bool> subquery; // one entry per open parenthesis
    auto inSubquery = [&] {
        return std::find(subquery.begin(), subquery.end(), true) != subquery.end();
    };
    for (size_t i = 0; i < t.size(); ++i) {
        if (t[i].Is(TokenKind::LParen)) {
            subquery.push_back(i + 1 < t.size() && t[i + 1].IsWord("SELECT"));
            continue;
        }
        if (t[i].Is(TokenKind::RParen)) {
            if (!subquery.empty())
                subquery.pop_back();
            continue;
        }
        if (inSubquery() || !t[i].Is(TokenKind::Word))
            continue;
        if (t[i].IsWord("OVER"))
            return true;
        bool call = i + 1 < t.size() && t[i + 1].Is(TokenKind::LParen);
        if (!call)
            continue;
        if (IsOneOf(t[i], kAggregates))
            return true;
        if (t[i].IsWord("min") || t[i].IsWord("max")) {
            // One argument: the aggregate; more: the scalar function.
            int depth = 0;
            bool comma = false;
            for (size_t k = i + 1; k < t.size(); ++k) {
                if (t[k].Is(TokenKind::LParen))
                    ++depth;
                else if (t[k].Is(TokenKind::RParen) && --depth == 0)
                    break;
                else if (depth == 1 && t[k].Is(TokenKind::Comma))
                    comma = true;
            }
            if (!comma)
                return true;
        }
    }
    return false;
}

// FROM [schema.]table [[AS] alias] [INDEXED BY name | NOT INDEXED]
bool ParseSingleTable(std::string_view from, SelectStatement& s) {
    std::vector<SqlToken> t = SignificantTokens(from);
    size_t i = 0;
    if (i >= t.size() || !t[i].IsName())
        return false;
    s.table = Unquote(t[i++]);
    if (i + 1 < t.size() && t[i].Is(TokenKind::Dot) && t[i + 1].IsName()) {
        s.schema = s.table;
        s.table = Unquote(t[i + 1]);
        i += 2;
    }
    if (i < t.size() && t[i].IsWord("AS"))
        ++i;
    if (i < t.size() && t[i].IsName() && !t[i].IsWord("INDEXED") && !t[i].IsWord("NOT"))
        s.alias = Unquote(t[i++]);
    if (i < t.size() && t[i].IsWord("INDEXED") && i + 2 < t.size() && t[i + 1].IsWord("BY"))
        i += 3;
    else if (i + 1 < t.size() && t[i].IsWord("NOT") && t[i + 1].IsWord("INDEXED"))
        i += 2;
    return i == t.size();
}

constexpr std::string_view kJoinWords[] = {"JOIN", "NATURAL", "LEFT",  "RIGHT",
                                           "FULL", "INNER",   "CROSS", "OUTER"};

// Index of the parenthesis that closes the one at open, or end.
size_t Closing(const std::vector<SqlToken>& t, size_t open, size_t end) {
    int depth = 0;
    for (size_t i = open; i < end; ++i) {
        if (t[i].Is(TokenKind::LParen))
            ++depth;
        else if (t[i].Is(TokenKind::RParen) && --depth == 0)
            return i;
    }
    return end;
}

// A comma or a join operator word: what separates two sources. left( and right( are calls.
bool SeparatesSources(const std::vector<SqlToken>& t, size_t i, size_t end) {
    if (t[i].Is(TokenKind::Comma))
        return true;
    return t[i].Is(TokenKind::Word) && IsOneOf(t[i], kJoinWords) &&
           !(i + 1 < end && t[i + 1].Is(TokenKind::LParen));
}

void ParseSources(const std::vector<SqlToken>& t, size_t i, size_t end,
                  std::vector<FromSource>& out) {
    while (i < end) {
        if (SeparatesSources(t, i, end)) {
            ++i;
            continue;
        }
        FromSource source;
        bool nested = false;
        if (t[i].Is(TokenKind::LParen)) {
            size_t close = Closing(t, i, end);
            bool query = i + 1 < close && (t[i + 1].IsWord("SELECT") || t[i + 1].IsWord("VALUES") ||
                                           t[i + 1].IsWord("WITH"));
            if (!query) {
                ParseSources(t, i + 1, close, out); // (A INNER JOIN B ON ...)
                nested = true;
            }
            i = std::min(close + 1, end);
        } else if (t[i].IsName()) {
            source.table = Unquote(t[i++]);
            if (i + 1 < end && t[i].Is(TokenKind::Dot) && t[i + 1].IsName()) {
                source.table = Unquote(t[i + 1]); // schema.table
                i += 2;
            }
            if (i < end && t[i].Is(TokenKind::LParen)) // a table function's arguments
                i = std::min(Closing(t, i, end) + 1, end);
        } else {
            ++i; // not a source; SQLite will say what is wrong
            continue;
        }
        if (i < end && t[i].IsWord("AS"))
            ++i;
        if (i < end && t[i].IsName() &&
            !(t[i].Is(TokenKind::Word) &&
              (IsOneOf(t[i], kJoinWords) || IsOneOf(t[i], {"ON", "USING", "INDEXED", "NOT"}))))
            source.alias = Unquote(t[i++]);
        if (!nested)
            out.push_back(std::move(source));
        // The join constraint, up to the next source.
        while (i < end && !SeparatesSources(t, i, end))
            i = t[i].Is(TokenKind::LParen) ? std::min(Closing(t, i, end) + 1, end) : i + 1;
    }
}

} // namespace

std::vector<FromSource> ParseFromList(std::string_view from) {
    std::vector<SqlToken> t = SignificantTokens(from);
    std::vector<FromSource> sources;
    ParseSources(t, 0, t.size(), sources);
    return sources;
}

bool IsColumnReference(std::string_view expr) {
    std::vector<SqlToken> t = SignificantTokens(expr);
    if (t.empty() || t.size() > 5 || t.size() % 2 == 0)
        return false;
    for (size_t i = 0; i < t.size(); ++i) {
        if (i % 2 ? !t[i].Is(TokenKind::Dot) : !t[i].IsName())
            return false;
    }
    // Bare words that are values, not columns.
    return !(t.size() == 1 && t[0].Is(TokenKind::Word) &&
             IsOneOf(t[0], {"NULL", "TRUE", "FALSE", "CURRENT_DATE", "CURRENT_TIME",
                            "CURRENT_TIMESTAMP"}));
}

std::vector<std::string> SplitTopLevel(std::string_view sql) {
    LexResult lex = LexSql(sql, SqlDialect::Sqlite);
    std::vector<std::string> parts;
    int depth = 0;
    size_t start = 0;
    for (const SqlToken& t : lex.tokens) {
        if (t.Is(TokenKind::LParen))
            ++depth;
        else if (t.Is(TokenKind::RParen))
            --depth;
        else if (depth == 0 && t.Is(TokenKind::Comma)) {
            size_t at = static_cast<size_t>(t.text.data() - sql.data());
            parts.push_back(Trim(sql.substr(start, at - start)));
            start = at + 1;
        }
    }
    std::string last = Trim(sql.substr(start));
    if (!last.empty() || !parts.empty())
        parts.push_back(last);
    return parts;
}

std::vector<OrderTerm> ParseOrderTerms(std::string_view orderBy) {
    std::vector<OrderTerm> terms;
    for (const std::string& part : SplitTopLevel(orderBy)) {
        OrderTerm term;
        std::vector<SqlToken> t = SignificantTokens(part);
        size_t end = t.size();
        if (end >= 2 && t[end - 2].IsWord("NULLS") &&
            (t[end - 1].IsWord("FIRST") || t[end - 1].IsWord("LAST"))) {
            term.nulls = t[end - 1].IsWord("FIRST") ? "NULLS FIRST" : "NULLS LAST";
            end -= 2;
        }
        if (end >= 2 && (t[end - 1].IsWord("ASC") || t[end - 1].IsWord("DESC"))) {
            term.descending = t[end - 1].IsWord("DESC");
            --end;
        }
        size_t length = end == 0 ? 0
                                 : static_cast<size_t>(t[end - 1].text.data() - part.data()) +
                                       t[end - 1].text.size();
        term.expr = Trim(std::string_view(part).substr(0, length));
        terms.push_back(std::move(term));
    }
    return terms;
}

SelectStatement AnalyzeSelect(std::string_view sql) {
    SelectStatement s;
    LexResult lex = LexSql(sql, SqlDialect::Sqlite);
    if (!lex.ok)
        return s;
    const std::vector<SqlToken>& t = lex.tokens;
    size_t first = t.empty() || !t[0].Is(TokenKind::Space) ? 0 : 1;
    if (first >= t.size() || !t[first].IsWord("SELECT"))
        return s;
    s.isSelect = true;

    // Clause keywords outside parentheses, in order of appearance.
    struct Mark {
        std::string_view word;
        size_t begin; // where the keyword starts
        size_t body;  // where its content starts (after BY for GROUP and ORDER)
    };
    std::vector<Mark> marks;
    auto offset = [&](const SqlToken& tok) {
        return static_cast<size_t>(tok.text.data() - sql.data());
    };
    int depth = 0;
    size_t previous = first;
    for (size_t i = first + 1; i < t.size(); ++i) {
        const SqlToken& tok = t[i];
        if (tok.Is(TokenKind::Space))
            continue;
        if (tok.Is(TokenKind::LParen))
            ++depth;
        else if (tok.Is(TokenKind::RParen))
            --depth;
        else if (depth == 0 && IsOneOf(tok, kCompoundWords))
            s.compound = true;
        else if (depth == 0 && IsOneOf(tok, kClauseWords) &&
                 !(tok.IsWord("FROM") && t[previous].IsWord("DISTINCT"))) {
            size_t body = offset(tok) + tok.text.size();
            if (tok.IsWord("GROUP") || tok.IsWord("ORDER")) {
                size_t by = NextSignificant(t, i);
                if (by < t.size() && t[by].IsWord("BY"))
                    body = offset(t[by]) + t[by].text.size();
            }
            for (std::string_view w : kClauseWords) {
                if (tok.IsWord(w))
                    marks.push_back({w, offset(tok), body});
            }
        }
        previous = i;
    }
    if (s.compound)
        return s;

    auto until = [&](size_t k) { return k + 1 < marks.size() ? marks[k + 1].begin : sql.size(); };
    size_t headEnd = marks.empty() ? sql.size() : marks[0].begin;
    size_t headBegin = offset(t[first]) + t[first].text.size();
    s.head = Trim(sql.substr(headBegin, headEnd - headBegin));
    bool grouped = false;
    for (size_t k = 0; k < marks.size(); ++k) {
        std::string_view body = sql.substr(marks[k].body, until(k) - marks[k].body);
        std::string_view whole = sql.substr(marks[k].begin, until(k) - marks[k].begin);
        if (marks[k].word == "FROM")
            s.from = Trim(body);
        else if (marks[k].word == "WHERE")
            s.where = Trim(body);
        else if (marks[k].word == "ORDER")
            s.orderBy = Trim(body);
        else if (marks[k].word == "LIMIT")
            s.limitTail = Trim(whole);
        else {
            s.groupTail += (s.groupTail.empty() ? "" : " ") + Trim(whole);
            grouped = true;
        }
    }

    std::string_view list = s.head;
    std::vector<SqlToken> headTokens = SignificantTokens(list);
    bool distinct = !headTokens.empty() && headTokens[0].IsWord("DISTINCT");
    if (!headTokens.empty() && (headTokens[0].IsWord("DISTINCT") || headTokens[0].IsWord("ALL")))
        list.remove_prefix(static_cast<size_t>(headTokens[0].text.data() - list.data()) +
                           headTokens[0].text.size());
    for (const std::string& part : SplitTopLevel(list))
        s.items.push_back(ParseItem(part));
    s.order = ParseOrderTerms(s.orderBy);

    s.singleTable = !distinct && !grouped && s.limitTail.empty() && !s.from.empty() &&
                    !HasAggregate(list) && ParseSingleTable(s.from, s);
    if (!s.singleTable) {
        s.schema.clear();
        s.table.clear();
        s.alias.clear();
    }
    return s;
}

std::string SelectStatement::Compose() const {
    std::string out = "SELECT " + head;
    if (!from.empty())
        out += " FROM " + from;
    if (!where.empty())
        out += " WHERE " + where;
    if (!groupTail.empty())
        out += " " + groupTail;
    if (!orderBy.empty())
        out += " ORDER BY " + orderBy;
    if (!limitTail.empty())
        out += " " + limitTail;
    return out;
}

} // namespace kel::dao
