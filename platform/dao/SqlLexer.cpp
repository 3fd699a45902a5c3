#include "platform/dao/SqlLexer.h"

#include <cctype>

namespace kel::dao {

namespace {

bool IsNameStart(unsigned char c) {
    return std::isalpha(c) || c == '_' || c >= 0x80;
}
bool IsNameChar(unsigned char c) {
    return std::isalnum(c) || c == '_' || c == '$' || c >= 0x80;
}

// Length of a quoted run starting at text[i] (quote q, closing c); doubled closers stay inside.
// 0 when it does not close.
size_t QuotedLength(std::string_view text, size_t i, char closer, bool doubledEscapes) {
    for (size_t j = i + 1; j < text.size(); ++j) {
        if (text[j] != closer)
            continue;
        if (doubledEscapes && j + 1 < text.size() && text[j + 1] == closer) {
            ++j;
            continue;
        }
        return j + 1 - i;
    }
    return 0;
}

size_t NumberLength(std::string_view text, size_t i) {
    size_t j = i;
    auto digits = [&] {
        while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j])))
            ++j;
    };
    if (text[j] == '0' && j + 1 < text.size() && (text[j + 1] == 'x' || text[j + 1] == 'X')) {
        j += 2;
        while (j < text.size() && std::isxdigit(static_cast<unsigned char>(text[j])))
            ++j;
        return j - i;
    }
    digits();
    if (j < text.size() && text[j] == '.') {
        ++j;
        digits();
    }
    if (j < text.size() && (text[j] == 'e' || text[j] == 'E')) {
        size_t k = j + 1;
        if (k < text.size() && (text[k] == '+' || text[k] == '-'))
            ++k;
        if (k < text.size() && std::isdigit(static_cast<unsigned char>(text[k]))) {
            j = k;
            digits();
        }
    }
    return j - i;
}

} // namespace

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

bool SqlToken::IsWord(std::string_view keyword) const {
    return kind == TokenKind::Word && EqualsNoCase(text, keyword);
}

LexResult LexSql(std::string_view text, SqlDialect dialect) {
    LexResult result;
    auto push = [&](TokenKind kind, size_t begin, size_t length) {
        result.tokens.push_back({kind, text.substr(begin, length)});
    };
    auto fail = [&](const char* what) {
        result.ok = false;
        result.error = what;
        return result;
    };
    const bool jet = dialect == SqlDialect::Jet;
    size_t i = 0;
    while (i < text.size()) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        size_t n = 0;
        if (std::isspace(c)) {
            n = 1;
            while (i + n < text.size() && std::isspace(static_cast<unsigned char>(text[i + n])))
                ++n;
            push(TokenKind::Space, i, n);
        } else if (!jet && c == '-' && i + 1 < text.size() && text[i + 1] == '-') {
            n = text.find('\n', i);
            n = (n == std::string_view::npos ? text.size() : n) - i;
            push(TokenKind::Space, i, n);
        } else if (!jet && c == '/' && i + 1 < text.size() && text[i + 1] == '*') {
            size_t close = text.find("*/", i + 2);
            n = (close == std::string_view::npos ? text.size() : close + 2) - i;
            push(TokenKind::Space, i, n);
        } else if (c == '\'') {
            if (!(n = QuotedLength(text, i, '\'', true)))
                return fail("string");
            push(TokenKind::String, i, n);
        } else if (c == '"') {
            if (!(n = QuotedLength(text, i, '"', true)))
                return fail(jet ? "string" : "name");
            push(jet ? TokenKind::String : TokenKind::QuotedName, i, n);
        } else if (c == '[') {
            // A "]" inside a name is written twice, so that any name can be bracketed.
            if (!(n = QuotedLength(text, i, ']', true)))
                return fail("name");
            push(TokenKind::QuotedName, i, n);
        } else if (c == '`') {
            if (!(n = QuotedLength(text, i, '`', true)))
                return fail("name");
            push(TokenKind::QuotedName, i, n);
        } else if (jet && c == '#') {
            if (!(n = QuotedLength(text, i, '#', false)))
                return fail("date");
            push(TokenKind::Date, i, n);
        } else if (std::isdigit(c) || (c == '.' && i + 1 < text.size() &&
                                       std::isdigit(static_cast<unsigned char>(text[i + 1])))) {
            n = NumberLength(text, i);
            push(TokenKind::Number, i, n);
        } else if (IsNameStart(c)) {
            n = 1;
            while (i + n < text.size() && IsNameChar(static_cast<unsigned char>(text[i + n])))
                ++n;
            push(TokenKind::Word, i, n);
        } else if (c == '?' || (!jet && (c == ':' || c == '@' || c == '$'))) {
            n = 1;
            while (i + n < text.size() && IsNameChar(static_cast<unsigned char>(text[i + n])))
                ++n;
            push(TokenKind::Param, i, n);
        } else if (c == '(') {
            push(TokenKind::LParen, i, n = 1);
        } else if (c == ')') {
            push(TokenKind::RParen, i, n = 1);
        } else if (c == ',') {
            push(TokenKind::Comma, i, n = 1);
        } else if (c == '.') {
            push(TokenKind::Dot, i, n = 1);
        } else if (c == ';') {
            push(TokenKind::Semicolon, i, n = 1);
        } else {
            static constexpr std::string_view pairs[] = {
                "<=", ">=", "<>", "!=", "==", "||", "<<", ">>"};
            n = 1;
            for (std::string_view p : pairs) {
                if (text.substr(i, 2) == p) {
                    n = 2;
                    break;
                }
            }
            push(TokenKind::Operator, i, n);
        }
        i += n;
    }
    return result;
}

std::vector<SqlToken> SignificantTokens(std::string_view sqliteText) {
    LexResult lex = LexSql(sqliteText, SqlDialect::Sqlite);
    std::vector<SqlToken> out;
    for (const SqlToken& t : lex.tokens) {
        if (!t.Is(TokenKind::Space))
            out.push_back(t);
    }
    return out;
}

std::string Unquote(const SqlToken& token) {
    std::string_view t = token.text;
    if (t.size() < 2)
        return std::string(t);
    char open = t.front();
    char close = open == '[' ? ']' : open;
    if (open != '\'' && open != '"' && open != '[' && open != '`' && open != '#')
        return std::string(t);
    std::string out;
    std::string_view body = t.substr(1, t.size() - 2);
    for (size_t i = 0; i < body.size(); ++i) {
        out += body[i];
        if (open != '#' && body[i] == close && i + 1 < body.size() && body[i + 1] == close)
            ++i;
    }
    return out;
}

std::string QuoteSqlString(std::string_view text) {
    std::string out = "'";
    for (char c : text) {
        out += c;
        if (c == '\'')
            out += '\'';
    }
    return out + "'";
}

std::string QuoteSqlName(std::string_view name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}

size_t NextSignificant(const std::vector<SqlToken>& tokens, size_t i) {
    for (size_t j = i + 1; j < tokens.size(); ++j) {
        if (!tokens[j].Is(TokenKind::Space))
            return j;
    }
    return tokens.size();
}

} // namespace kel::dao
