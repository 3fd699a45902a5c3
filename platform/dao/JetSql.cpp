#include "platform/dao/JetSql.h"

#include "platform/dao/DaoErrors.h"
#include "platform/dao/IsoDate.h"
#include "platform/dao/JetPattern.h"
#include "platform/dao/SqlLexer.h"
#include "platform/dao/TextCompare.h"
#include "platform/dao/engines/Dialect.h"
#include "platform/dao/engines/EngineError.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <optional>
#include <vector>

namespace kel::dao {

namespace {

using PatternItem = JetPatternItem;

// A class for GLOB, without regard to case: each letter's other cases join it.
std::string GlobClass(const PatternItem& item) {
    const std::vector<std::pair<char32_t, char32_t>> ranges = WithCaseVariants(item.ranges);
    // "]" must come first, "-" last, and "^" anywhere but first.
    std::string head, body, tail;
    for (auto [lo, hi] : ranges) {
        if (lo == hi) {
            if (lo == ']')
                head = "]";
            else if (lo == '-')
                tail = "-";
            else if (lo == '^')
                tail = "^" + tail;
            else
                AppendUtf8(body, lo);
        } else {
            AppendUtf8(body, lo);
            body += '-';
            AppendUtf8(body, hi);
        }
    }
    if (head.empty() && body.empty() && tail.size() > 1 && tail[0] == '^')
        std::rotate(tail.begin(), tail.begin() + 1, tail.end()); // "-^" rather than "^-"
    std::string out = "[";
    if (item.negated)
        out += '^';
    return out + head + body + tail + "]";
}

// Drops the blank that keeps "- -" and "/ *" from reading as SQLite comments.
void AppendOperator(std::string& out, std::string_view op) {
    if (!out.empty() &&
        ((out.back() == '-' && op.front() == '-') || (out.back() == '/' && op.front() == '*')))
        out += ' ';
    out += op;
}

bool IsComparison(const SqlToken& t) {
    static constexpr std::string_view kOperators[] = {"=", "==", "<>", "!=", "<", ">", "<=", ">="};
    return t.Is(TokenKind::Operator) &&
           std::find(std::begin(kOperators), std::end(kOperators), t.text) != std::end(kOperators);
}

size_t PreviousSignificant(const std::vector<SqlToken>& tokens, size_t i) {
    while (i > 0 && tokens[i - 1].Is(TokenKind::Space))
        --i;
    return i == 0 ? tokens.size() : i - 1;
}

// Whether the literal at i is an operand of a comparison whose other operand is not one of
// the names that keep their own collation.
bool ComparedAt(const std::vector<SqlToken>& tokens, size_t i,
                const std::vector<std::string>& ownCollation) {
    size_t op = PreviousSignificant(tokens, i), other = tokens.size();
    if (op < tokens.size() && IsComparison(tokens[op])) {
        other = PreviousSignificant(tokens, op);
    } else {
        op = NextSignificant(tokens, i);
        if (op >= tokens.size() || !IsComparison(tokens[op]))
            return false;
        other = NextSignificant(tokens, op);
        // A qualified name: its last part names the column.
        for (size_t dot = NextSignificant(tokens, other);
             dot < tokens.size() && tokens[dot].Is(TokenKind::Dot);
             dot = NextSignificant(tokens, other))
            other = NextSignificant(tokens, dot);
    }
    if (other < tokens.size() && tokens[other].IsName()) {
        const std::string name = Unquote(tokens[other]);
        for (const std::string& own : ownCollation)
            if (EqualsNoCase(own, name))
                return false;
    }
    return true;
}

JetTranslation Fail(long code, std::string description) {
    JetTranslation t;
    t.ok = false;
    t.errorCode = code;
    t.description = std::move(description);
    return t;
}

// The first token of the operand that ends at token last: a name with its qualifiers, or a
// parenthesised expression with the function it calls.
size_t OperandStart(const std::vector<SqlToken>& tokens, size_t last) {
    size_t i = last;
    if (tokens[i].Is(TokenKind::RParen)) {
        int depth = 0;
        for (;; --i) {
            if (tokens[i].Is(TokenKind::RParen))
                ++depth;
            else if (tokens[i].Is(TokenKind::LParen) && --depth == 0)
                break;
            if (i == 0)
                return 0;
        }
        const size_t before = PreviousSignificant(tokens, i);
        if (before < tokens.size() && tokens[before].Is(TokenKind::Word))
            i = before;
        return i;
    }
    while (true) {
        const size_t dot = PreviousSignificant(tokens, i);
        if (dot >= tokens.size() || !tokens[dot].Is(TokenKind::Dot))
            return i;
        const size_t name = PreviousSignificant(tokens, dot);
        if (name >= tokens.size() || !tokens[name].IsName())
            return i;
        i = name;
    }
}

// The name a literal (tokens i to last: a sign may come first) is compared with (=, <>, <,
// ...): its first and last token, the operator's, and whether the name comes before the
// literal. Nothing when the other operand is no plain name.
struct ComparedName {
    size_t first = 0, last = 0, op = 0;
    bool before = false;
};
std::optional<ComparedName> ComparedWithName(const std::vector<SqlToken>& tokens, size_t i,
                                             size_t last) {
    ComparedName c;
    size_t op = PreviousSignificant(tokens, i);
    if (op < tokens.size() && IsComparison(tokens[op])) {
        c.before = true;
        c.op = op;
        c.last = PreviousSignificant(tokens, op);
        if (c.last >= tokens.size() || !tokens[c.last].IsName())
            return std::nullopt;
        c.first = OperandStart(tokens, c.last);
        return c;
    }
    op = NextSignificant(tokens, last);
    if (op >= tokens.size() || !IsComparison(tokens[op]))
        return std::nullopt;
    c.op = op;
    c.first = c.last = NextSignificant(tokens, op);
    if (c.first >= tokens.size() || !tokens[c.first].IsName())
        return std::nullopt;
    for (size_t dot = NextSignificant(tokens, c.last);
         dot < tokens.size() && tokens[dot].Is(TokenKind::Dot);
         dot = NextSignificant(tokens, c.last)) {
        const size_t name = NextSignificant(tokens, dot);
        if (name >= tokens.size() || !tokens[name].IsName())
            return std::nullopt;
        c.last = name;
    }
    const size_t after = NextSignificant(tokens, c.last);
    if (after < tokens.size() && tokens[after].Is(TokenKind::LParen))
        return std::nullopt; // a call, not a field
    return c;
}

// The number literals a statement assigns to a Yes/No field, each alone as the value: after
// "=" in the SET list of an UPDATE, or in the slot of an INSERT's VALUES whose column is one.
// Each by its number token, with the token the literal starts at (a sign may come first). A
// server's boolean takes no number, so these become its True or False.
std::map<size_t, size_t> YesNoAssignments(const std::vector<SqlToken>& tokens,
                                          const std::vector<std::string>& yesNoNames) {
    std::map<size_t, size_t> found;
    if (yesNoNames.empty())
        return found;
    const size_t n = tokens.size();
    auto isYesNo = [&](size_t i) {
        if (i >= n || !tokens[i].IsName())
            return false;
        const std::string name = Unquote(tokens[i]);
        return std::any_of(yesNoNames.begin(), yesNoNames.end(),
                           [&](const std::string& y) { return EqualsNoCase(y, name); });
    };
    // A literal alone from `first` up to one of the closing tokens: its number token.
    auto literalAlone = [&](size_t first, std::initializer_list<std::string_view> closers) {
        size_t number = first;
        if (first < n && tokens[first].Is(TokenKind::Operator) &&
            (tokens[first].text == "-" || tokens[first].text == "+"))
            number = NextSignificant(tokens, first);
        if (number >= n || !tokens[number].Is(TokenKind::Number))
            return;
        const size_t after = NextSignificant(tokens, number);
        const bool alone =
            after >= n || std::any_of(closers.begin(), closers.end(), [&](std::string_view c) {
                return tokens[after].text == c || tokens[after].IsWord(c);
            });
        if (alone)
            found.emplace(number, first);
    };
    const size_t start = NextSignificant(tokens, static_cast<size_t>(-1));
    if (start >= n)
        return found;
    if (tokens[start].IsWord("UPDATE")) {
        bool setting = false;
        int depth = 0;
        for (size_t i = start; i < n; ++i) {
            const SqlToken& t = tokens[i];
            depth += t.Is(TokenKind::LParen) ? 1 : t.Is(TokenKind::RParen) ? -1 : 0;
            if (depth == 0 && t.IsWord("SET"))
                setting = true;
            else if (depth == 0 && t.IsWord("WHERE"))
                setting = false;
            else if (setting && depth == 0 && t.text == "=" &&
                     isYesNo(PreviousSignificant(tokens, i)))
                literalAlone(NextSignificant(tokens, i), {",", "WHERE", ";"});
        }
        return found;
    }
    if (!tokens[start].IsWord("INSERT"))
        return found;
    // INSERT INTO t (a, b) VALUES (1, 2), (3, 4): which slots take a Yes/No field.
    size_t i = start;
    while (i < n && !tokens[i].Is(TokenKind::LParen) && !tokens[i].IsWord("VALUES") &&
           !tokens[i].IsWord("SELECT"))
        ++i;
    if (i >= n || !tokens[i].Is(TokenKind::LParen))
        return found;
    std::vector<bool> slots;
    for (++i; i < n && !tokens[i].Is(TokenKind::RParen); ++i)
        if (tokens[i].IsName())
            slots.push_back(isYesNo(i));
    i = NextSignificant(tokens, i);
    if (i >= n || !tokens[i].IsWord("VALUES"))
        return found;
    int depth = 0;
    size_t slot = 0;
    for (++i; i < n; ++i) {
        const SqlToken& t = tokens[i];
        if (t.Is(TokenKind::LParen)) {
            if (++depth == 1) {
                slot = 0;
                if (!slots.empty() && slots[0])
                    literalAlone(NextSignificant(tokens, i), {",", ")"});
            }
        } else if (t.Is(TokenKind::RParen)) {
            --depth;
        } else if (depth == 1 && t.Is(TokenKind::Comma)) {
            if (++slot < slots.size() && slots[slot])
                literalAlone(NextSignificant(tokens, i), {",", ")"});
        }
    }
    return found;
}

// Words of the statement's own syntax, never taken for a name whatever the database holds.
bool IsKeyword(const SqlToken& t) {
    static constexpr std::string_view kKeywords[] = {
        "SELECT", "FROM",    "WHERE",    "AND",         "OR",      "NOT",    "NULL",   "IS",
        "IN",     "LIKE",    "BETWEEN",  "AS",          "ON",      "JOIN",   "INNER",  "LEFT",
        "RIGHT",  "OUTER",   "FULL",     "CROSS",       "NATURAL", "USING",  "UNION",  "INTERSECT",
        "EXCEPT", "ALL",     "DISTINCT", "DISTINCTROW", "ORDER",   "BY",     "GROUP",  "HAVING",
        "ASC",    "DESC",    "CASE",     "WHEN",        "THEN",    "ELSE",   "END",    "EXISTS",
        "INTO",   "VALUES",  "SET",      "UPDATE",      "DELETE",  "INSERT", "CREATE", "ALTER",
        "DROP",   "TABLE",   "VIEW",     "INDEX",       "LIMIT",   "OFFSET", "TOP",    "ESCAPE",
        "WITH",   "COLLATE", "ANY",      "SOME",        "CAST",    "TRUE",   "FALSE"};
    return t.Is(TokenKind::Word) && std::any_of(std::begin(kKeywords), std::end(kKeywords),
                                                [&](std::string_view k) { return t.IsWord(k); });
}

// Whether the word at i is a name: no keyword, and no call of a function.
bool IsBareName(const std::vector<SqlToken>& tokens, size_t i) {
    if (!tokens[i].Is(TokenKind::Word) || IsKeyword(tokens[i]))
        return false;
    const size_t next = NextSignificant(tokens, i);
    if (next >= tokens.size() || !tokens[next].Is(TokenKind::LParen))
        return true;
    // A table's name before its list of columns: INSERT INTO t (..), ON t (..), TABLE t (..).
    const size_t before = PreviousSignificant(tokens, i);
    return before < tokens.size() &&
           (tokens[before].IsWord("INTO") || tokens[before].IsWord("ON") ||
            tokens[before].IsWord("TABLE"));
}

std::string Trimmed(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front())))
        s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.remove_suffix(1);
    return std::string(s);
}

} // namespace

std::string SpellingOf(const std::vector<std::string>& names, std::string_view word) {
    std::string found;
    for (const std::string& n : names) {
        if (n == word)
            return n;
        if (found.empty() && EqualsNoCase(n, word))
            found = n;
    }
    return found;
}

bool TranslateLikePattern(std::string_view jetPattern, LikeTranslation& out) {
    std::vector<PatternItem> items;
    if (!ParseJetPattern(jetPattern, items))
        return false;
    // SQLite's LIKE folds ASCII letters only (and an index may serve it): a pattern with an
    // accented letter that has another case is matched by GLOB, each letter as a class of its
    // cases.
    bool glob = std::any_of(items.begin(), items.end(), [](const PatternItem& i) {
        if (i.kind == PatternItem::Literal && !i.utf8.empty()) {
            size_t at = 0;
            return CaseVariants(NextCodePoint(i.utf8, at)) != i.utf8;
        }
        return i.kind == PatternItem::Digit || i.kind == PatternItem::Class;
    });
    std::string pattern;
    bool escaped = false;
    for (const PatternItem& item : items) {
        switch (item.kind) {
        case PatternItem::Any:
            pattern += glob ? '*' : '%';
            break;
        case PatternItem::One:
            pattern += glob ? '?' : '_';
            break;
        case PatternItem::Digit:
            pattern += "[0-9]";
            break;
        case PatternItem::Class:
            pattern += GlobClass(item);
            break;
        case PatternItem::Literal:
            if (!item.utf8.empty()) {
                // An accented letter matches its other case too.
                size_t at = 0;
                const std::string variants = CaseVariants(NextCodePoint(item.utf8, at));
                pattern += !glob || variants == item.utf8 ? item.utf8 : "[" + variants + "]";
            } else if (!glob) {
                if (item.ch == '%' || item.ch == '_' || item.ch == '\\') {
                    pattern += '\\';
                    escaped = true;
                }
                pattern += static_cast<char>(item.ch);
            } else if (std::isalpha(item.ch)) {
                pattern += '[';
                pattern += static_cast<char>(std::tolower(item.ch));
                pattern += static_cast<char>(std::toupper(item.ch));
                pattern += ']';
            } else if (item.ch == '*' || item.ch == '?' || item.ch == '[') {
                pattern += '[';
                pattern += static_cast<char>(item.ch);
                pattern += ']';
            } else {
                pattern += static_cast<char>(item.ch);
            }
            break;
        }
    }
    out.op = glob ? "GLOB" : "LIKE";
    out.pattern = QuoteSqlString(pattern);
    if (escaped)
        out.pattern += " ESCAPE '\\'";
    return true;
}

JetTranslation TranslateJetSql(std::string_view jet, JetTextKind kind,
                               const std::vector<std::string>& ownCollation) {
    return TranslateJetSql(jet, kind, ownCollation, nullptr);
}

std::vector<std::string> NamesIn(std::string_view jet) {
    std::vector<std::string> words;
    LexResult lex = LexSql(jet, SqlDialect::Jet);
    if (!lex.ok)
        return words;
    for (size_t i = 0; i < lex.tokens.size(); ++i) {
        const SqlToken& t = lex.tokens[i];
        std::string name;
        if (t.Is(TokenKind::QuotedName))
            name = Unquote(t);
        else if (IsBareName(lex.tokens, i) && !t.IsWord("True") && !t.IsWord("False"))
            name = t.text;
        if (!name.empty() && SpellingOf(words, name).empty())
            words.push_back(std::move(name));
    }
    return words;
}

JetTranslation TranslateJetSql(std::string_view jet, JetTextKind kind,
                               const std::vector<std::string>& ownCollation, const Dialect* dialect,
                               const std::vector<std::string>& textNames,
                               const std::vector<std::string>& storedNames,
                               const std::vector<std::string>& yesNoNames) {
    const std::string syntax = StandardDescription(err::SyntaxError, jet);
    const std::string dateSyntax =
        "Syntax error in date in query expression '" + std::string(jet) + "'.";
    // SQLite stops reading at a NUL: what follows one would be analysed here but never run.
    if (jet.find('\0') != std::string_view::npos)
        return Fail(err::SyntaxError, syntax);
    LexResult lex = LexSql(jet, SqlDialect::Jet);
    if (!lex.ok)
        return Fail(err::SyntaxError, lex.error == "date" ? dateSyntax : syntax);
    const std::vector<SqlToken>& tokens = lex.tokens;
    JetTranslation result;
    std::string& out = result.sql;
    size_t likeAt = std::string::npos; // where the pending LIKE keyword sits in out
    size_t likeToken = 0;              // and its token
    std::vector<size_t> outAt;         // where each token's text begins in out
    outAt.reserve(tokens.size() + 1);
    // A text field after the literal it is compared with: wrapped once its last token is out.
    // A Yes/No field is wrapped the same way into its number (-1, 0).
    size_t wrapFirst = std::string::npos, wrapLast = std::string::npos;
    bool wrapYesNo = false;
    auto isNamed = [](const std::vector<std::string>& names, const SqlToken& t) {
        const std::string name = Unquote(t);
        return std::any_of(names.begin(), names.end(),
                           [&](const std::string& n) { return EqualsNoCase(n, name); });
    };
    auto isTextName = [&](const SqlToken& t) { return isNamed(textNames, t); };
    auto wrap = [&](std::string_view operand, bool yesNo) {
        return yesNo ? dialect->YesNoNumber(operand) : dialect->TextKey(operand);
    };
    // Text compares without regard to case; a definition kept in the schema (a view, a check)
    // must not name a collation that other programs do not have.
    const size_t firstWord = tokens.empty() || !tokens[0].Is(TokenKind::Space) ? 0 : 1;
    const bool collate = kind == JetTextKind::Expression || firstWord >= tokens.size() ||
                         !(tokens[firstWord].IsWord("CREATE") || tokens[firstWord].IsWord("ALTER"));
    // Names given after AS keep the case they are written in, and so do later uses of them.
    std::vector<std::string> aliases;
    if (dialect) {
        for (size_t i = 0; i < tokens.size(); ++i) {
            const size_t next = NextSignificant(tokens, i);
            if (tokens[i].IsWord("AS") && next < tokens.size() && IsBareName(tokens, next))
                aliases.emplace_back(tokens[next].text);
        }
    }
    // Between SET and WHERE, "=" assigns rather than compares.
    bool assigning = false;
    const std::map<size_t, size_t> yesNoAssigned =
        dialect ? YesNoAssignments(tokens, yesNoNames) : std::map<size_t, size_t>();
    // A criterion goes between parentheses of a statement's: it must not close them.
    int depth = 0;
    // The text out holds from token `from` on becomes text. The tokens it stood for, up to the
    // last one out, now all begin where it begins: a later rewrite of one of them takes the
    // whole new text, never a place inside it.
    auto rewriteFrom = [&](size_t from, const std::string& text) {
        const size_t at = outAt[from];
        out.resize(at);
        out += text;
        for (size_t k = from + 1; k < outAt.size(); ++k)
            outAt[k] = at;
    };
    // The field a literal is compared with, wrapped: at once when it comes before the
    // literal, else once its last token is out.
    auto wrapCompared = [&](const ComparedName& other, bool yesNo) {
        if (other.before) {
            const std::string operand = Trimmed(std::string_view(out).substr(
                outAt[other.first], outAt[other.op] - outAt[other.first]));
            rewriteFrom(other.first, wrap(operand, yesNo) + " " + out.substr(outAt[other.op]));
        } else {
            wrapFirst = other.first;
            wrapLast = other.last;
            wrapYesNo = yesNo;
        }
    };
    // A Yes/No field compared with a number (or ordered against True or False) compares as
    // Jet's number, -1 or 0: a server's boolean neither compares with numbers nor orders so.
    auto yesNoCompared = [&](size_t first, size_t last) -> std::optional<ComparedName> {
        if (!dialect || assigning || yesNoNames.empty())
            return std::nullopt;
        std::optional<ComparedName> other = ComparedWithName(tokens, first, last);
        if (!other || !isNamed(yesNoNames, tokens[other->last]))
            return std::nullopt;
        return other;
    };
    // A Yes/No field whose range starts at a number: Shipped [NOT] BETWEEN -1 AND 0.
    auto yesNoBetween = [&](size_t number) -> std::optional<ComparedName> {
        if (!dialect || yesNoNames.empty())
            return std::nullopt;
        size_t lead = number;
        const size_t sign = PreviousSignificant(tokens, number);
        if (sign < tokens.size() && tokens[sign].Is(TokenKind::Operator) &&
            (tokens[sign].text == "-" || tokens[sign].text == "+"))
            lead = sign;
        ComparedName c;
        c.before = true;
        c.op = PreviousSignificant(tokens, lead);
        if (c.op >= tokens.size() || !tokens[c.op].IsWord("BETWEEN"))
            return std::nullopt;
        c.last = PreviousSignificant(tokens, c.op);
        if (c.last < tokens.size() && tokens[c.last].IsWord("NOT")) {
            c.op = c.last;
            c.last = PreviousSignificant(tokens, c.op);
        }
        if (c.last >= tokens.size() || !tokens[c.last].IsName() ||
            !isNamed(yesNoNames, tokens[c.last]))
            return std::nullopt;
        c.first = OperandStart(tokens, c.last);
        return c;
    };
    for (size_t i = 0; i < tokens.size(); ++i) {
        const SqlToken& t = tokens[i];
        if (i > wrapLast && wrapLast != std::string::npos) {
            rewriteFrom(wrapFirst,
                        wrap(Trimmed(std::string_view(out).substr(outAt[wrapFirst])), wrapYesNo) +
                            " ");
            wrapFirst = wrapLast = std::string::npos;
        }
        outAt.resize(i + 1, out.size());
        outAt[i] = out.size();
        if (t.Is(TokenKind::LParen))
            ++depth;
        else if (t.Is(TokenKind::RParen) && --depth < 0 && kind == JetTextKind::Expression)
            return Fail(err::SyntaxError, syntax);
        if (t.IsWord("SET"))
            assigning = true;
        else if (t.IsWord("WHERE"))
            assigning = false;
        const size_t likePos = likeAt;
        if (!t.Is(TokenKind::Space))
            likeAt = std::string::npos;
        switch (t.kind) {
        case TokenKind::Word: {
            size_t prev = i;
            while (prev > 0 && tokens[prev - 1].Is(TokenKind::Space))
                --prev;
            bool qualified = prev > 0 && tokens[prev - 1].Is(TokenKind::Dot);
            size_t next = NextSignificant(tokens, i);
            bool call = next < tokens.size() && tokens[next].Is(TokenKind::LParen);
            if (!qualified && !call && (t.IsWord("True") || t.IsWord("False"))) {
                const bool value = t.IsWord("True");
                const std::optional<ComparedName> other = yesNoCompared(i, i);
                const std::string_view op = other ? tokens[other->op].text : std::string_view();
                const bool ordered = other && op != "=" && op != "==" && op != "<>" && op != "!=";
                if (ordered) {
                    wrapCompared(*other, true);
                    out += value ? "-1" : "0";
                } else {
                    out += !dialect ? (value ? "-1" : "0") : dialect->BooleanLiteral(value);
                }
            } else if (dialect && IsBareName(tokens, i)) {
                std::string spelling = SpellingOf(aliases, t.text);
                if (spelling.empty())
                    spelling = SpellingOf(storedNames, t.text);
                try {
                    out += spelling.empty() ? t.text : dialect->QuoteName(spelling);
                } catch (const EngineError&) {
                    return Fail(err::SyntaxError, syntax);
                }
            } else {
                if (t.IsWord("LIKE")) {
                    likeAt = out.size();
                    likeToken = i;
                }
                out += t.text;
            }
            break;
        }
        case TokenKind::String:
            if (likePos != std::string::npos && dialect) {
                // The operand before LIKE (or NOT LIKE) and the pattern become the engine's
                // match as a whole.
                size_t last = PreviousSignificant(tokens, likeToken);
                const bool negated = last < tokens.size() && tokens[last].IsWord("NOT");
                if (negated)
                    last = PreviousSignificant(tokens, last);
                if (last >= tokens.size())
                    return Fail(err::SyntaxError, syntax);
                const size_t first = OperandStart(tokens, last);
                const std::string operand = Trimmed(
                    std::string_view(out).substr(outAt[first], outAt[last + 1] - outAt[first]));
                std::optional<std::string> match;
                try {
                    match = dialect->Like(operand, Unquote(t));
                } catch (const EngineError&) {
                }
                if (!match)
                    return Fail(err::SyntaxError, syntax);
                rewriteFrom(first, (negated ? "NOT (" : "(") + *match + ")");
            } else if (likePos != std::string::npos) {
                LikeTranslation like;
                if (!TranslateLikePattern(Unquote(t), like))
                    return Fail(err::SyntaxError, syntax);
                out.replace(likePos, 4, like.op);
                out += like.pattern;
            } else {
                const std::optional<ComparedName> other = dialect && collate && !assigning
                                                              ? ComparedWithName(tokens, i, i)
                                                              : std::nullopt;
                if (other && isTextName(tokens[other->last])) {
                    // Both sides through the engine's comparison without regard to case.
                    wrapCompared(*other, false);
                    out += dialect->TextKey(QuoteSqlString(Unquote(t)));
                    break;
                }
                out += QuoteSqlString(Unquote(t));
                if (collate && !dialect && ComparedAt(tokens, i, ownCollation))
                    out += " COLLATE " + std::string(kTextCollation);
            }
            break;
        case TokenKind::Date: {
            std::string iso;
            if (!JetDateLiteralToIso(Unquote(t), iso))
                return Fail(err::SyntaxError, dateSyntax);
            DATE date = 0;
            const std::string literal = !dialect                  ? QuoteSqlString(iso)
                                        : ParseIsoDate(iso, date) ? dialect->DateLiteral(date)
                                                                  : std::string();
            if (literal.empty())
                return Fail(err::SyntaxError, dateSyntax);
            out += literal;
            break;
        }
        case TokenKind::QuotedName: {
            // SQLite's brackets cannot hold a "]": such a name goes between double quotes.
            const std::string name = Unquote(t);
            if (dialect) {
                try {
                    out += dialect->QuoteName(name);
                } catch (const EngineError&) {
                    return Fail(err::SyntaxError, syntax);
                }
            } else if (t.text.front() == '[' && name.find(']') != std::string::npos)
                out += QuoteSqlName(name);
            else
                out += t.text;
            break;
        }
        case TokenKind::Number: {
            if (const auto assigned = yesNoAssigned.find(i); assigned != yesNoAssigned.end()) {
                // Jet stores any number other than 0 in a Yes/No field as True.
                const double value = std::strtod(std::string(t.text).c_str(), nullptr);
                rewriteFrom(assigned->second, dialect->BooleanLiteral(value != 0));
                break;
            }
            size_t first = i; // with its sign, when it has one
            const size_t sign = PreviousSignificant(tokens, i);
            if (sign < tokens.size() && tokens[sign].Is(TokenKind::Operator) &&
                (tokens[sign].text == "-" || tokens[sign].text == "+")) {
                const size_t op = PreviousSignificant(tokens, sign);
                if (op < tokens.size() && IsComparison(tokens[op]))
                    first = sign;
            }
            if (const std::optional<ComparedName> other = yesNoCompared(first, i))
                wrapCompared(*other, true);
            else if (const std::optional<ComparedName> range = yesNoBetween(i))
                wrapCompared(*range, true);
            out += t.text;
            break;
        }
        case TokenKind::Operator:
            AppendOperator(out, t.text == "&" ? std::string_view("||") : t.text);
            break;
        case TokenKind::Semicolon:
            if (kind == JetTextKind::Expression)
                return Fail(err::SyntaxError, syntax);
            for (size_t k = i + 1; k < tokens.size(); ++k) {
                if (!tokens[k].Is(TokenKind::Space))
                    return Fail(err::TextAfterEnd, StandardDescription(err::TextAfterEnd));
            }
            i = tokens.size();
            break;
        default:
            out += t.text;
            break;
        }
    }
    if (wrapLast != std::string::npos)
        rewriteFrom(wrapFirst,
                    wrap(Trimmed(std::string_view(out).substr(outAt[wrapFirst])), wrapYesNo));
    if (depth != 0 && kind == JetTextKind::Expression)
        return Fail(err::SyntaxError, syntax);
    return result;
}

} // namespace kel::dao
