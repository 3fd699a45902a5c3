// Splits SQL text into tokens, in the Jet dialect (double quotes and #dates#) or in SQLite's
// (double quotes name things, comments exist). Used by the Jet translation and by the
// analysis of statements. Private to the data-access classes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kel::dao {

enum class SqlDialect { Jet, Sqlite };

enum class TokenKind {
    Space,      // blanks, and comments in SQLite text
    Word,       // a bare name or keyword
    QuotedName, // [name] (a "]" inside doubled), `name`, and "name" in SQLite text
    String,     // 'text', and "text" in Jet text
    Number,
    Date,     // #...# in Jet text
    Param,    // ?, ?1, :name, @name, $name
    Operator, // + - * / % < > = & | ~ ! <= >= <> != == || << >>
    LParen,
    RParen,
    Comma,
    Dot,
    Semicolon,
};

struct SqlToken {
    TokenKind kind;
    std::string_view text; // a view into the lexed text, quotes included

    bool Is(TokenKind k) const { return kind == k; }
    // A name, bare or quoted.
    bool IsName() const { return kind == TokenKind::Word || kind == TokenKind::QuotedName; }
    // A bare word equal to the keyword, ignoring case.
    bool IsWord(std::string_view keyword) const;
};

struct LexResult {
    bool ok = true;
    std::vector<SqlToken> tokens;
    std::string error; // what was left open ("string", "name", "date")
};

LexResult LexSql(std::string_view text, SqlDialect dialect);
// The tokens of SQLite text without its blanks and comments.
std::vector<SqlToken> SignificantTokens(std::string_view sqliteText);

// The content of a quoted token with its doubled quotes undone: 'it''s' -> it's, [a b] -> a b,
// [a]]b] -> a]b.
std::string Unquote(const SqlToken& token);
// 'text' with single quotes doubled.
std::string QuoteSqlString(std::string_view text);
// "name" with double quotes doubled.
std::string QuoteSqlName(std::string_view name);

bool EqualsNoCase(std::string_view a, std::string_view b);

// Index of the next token after i that is not a blank, or tokens.size().
size_t NextSignificant(const std::vector<SqlToken>& tokens, size_t i);

} // namespace kel::dao
