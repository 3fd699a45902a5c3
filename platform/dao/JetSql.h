// Translation of the Jet SQL dialect into SQLite's, token by token outside string literals:
// "text" -> 'text', #m/d/y# -> ISO date text, LIKE patterns (* ? # [...]) -> LIKE or GLOB,
// & -> ||, True/False -> -1/0; [names] (a "]" in one written twice) and ordinal ORDER BY stay.
// One statement only. A pure function of its text. Private to the data-access classes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kel::dao {
class Dialect;
}

namespace kel::dao {

enum class JetTextKind {
    Statement,  // a whole statement: one trailing ";" is allowed
    Expression, // a criterion, filter or sort: no ";" at all
};

struct JetTranslation {
    bool ok = true;
    std::string sql;         // the SQLite text when ok
    long errorCode = 0;      // the engine's error code when not ok
    std::string description; // and its description
};

// Text literals compared with =, <>, <, >, <= or >= compare without regard to case (a literal
// between parentheses keeps the other operand's own collation), unless the other operand is
// one of ownCollation's names; definitions (CREATE, ALTER) are left as written.
JetTranslation TranslateJetSql(std::string_view jet, JetTextKind kind = JetTextKind::Statement,
                               const std::vector<std::string>& ownCollation = {});

// The same in the words of another engine's dialect: [names] through QuoteName, #dates#
// through DateLiteral, True/False through BooleanLiteral, LIKE through Like (with its operand:
// a name, a qualified name, a call or a parenthesised expression). A text literal compared
// with one of textNames (a text field) compares both through TextKey, without regard to case;
// compared with anything else it keeps the engine's own comparison. One of yesNoNames (a
// Yes/No field) compared with a number, or ordered against True or False, compares through
// YesNoNumber as Jet's -1 and 0. With no dialect, SQLite's words as above.
// Bare names (Jet's match without regard to case) go out as the database stores them: a word
// equal to one of storedNames, or to a name given after AS in the same text, is quoted in that
// spelling; any other word is left as written.
JetTranslation TranslateJetSql(std::string_view jet, JetTextKind kind,
                               const std::vector<std::string>& ownCollation, const Dialect* dialect,
                               const std::vector<std::string>& textNames = {},
                               const std::vector<std::string>& storedNames = {},
                               const std::vector<std::string>& yesNoNames = {});

// The names in Jet text that may name a table, a view or a column: bare words that are
// neither keywords nor calls nor True/False, and names in brackets or quotes. Empty when the
// text does not lex.
std::vector<std::string> NamesIn(std::string_view jet);

// The spelling names holds of word, ignoring case (the exact one first); empty when none.
std::string SpellingOf(const std::vector<std::string>& names, std::string_view word);

// A Jet LIKE pattern (the text between the quotes) as the operator and quoted pattern SQLite
// needs: {"LIKE", "'abc%'"}, {"LIKE", "'50\%' ESCAPE '\'"} or {"GLOB", "'[aA][0-9]*'"}.
// False when a [ class is not closed.
struct LikeTranslation {
    std::string op;
    std::string pattern;
};
bool TranslateLikePattern(std::string_view jetPattern, LikeTranslation& out);

} // namespace kel::dao
