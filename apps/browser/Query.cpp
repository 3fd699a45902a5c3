#include "Query.h"

#include "platform/dao/SqlLexer.h"

#include <cstdint>
#include <cstdio>
#include <string_view>

namespace {

std::string Trimmed(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r\n;");
    const size_t last = text.find_last_not_of(" \t\r\n;");
    return first == std::string_view::npos ? std::string()
                                           : std::string(text.substr(first, last - first + 1));
}

} // namespace

std::string SplitQuery(const std::string& text, Query& query) {
    using kel::dao::SqlToken;
    using kel::dao::TokenKind;
    query = Query();
    query.strSelect = text;
    const kel::dao::LexResult lex = kel::dao::LexSql(text, kel::dao::SqlDialect::Jet);
    // Its layout is kept under a key of its own, the same however the query is spaced or ended.
    std::string normal;
    for (const SqlToken& t : lex.tokens)
        if (!t.Is(TokenKind::Space) && !t.Is(TokenKind::Semicolon)) {
            if (!normal.empty())
                normal += ' ';
            normal.append(t.text);
        }
    std::uint64_t hash = 14695981039346656037ULL; // FNV-1a
    for (unsigned char c : normal)
        hash = (hash ^ c) * 1099511628211ULL;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    query.strKey = std::string("Browser\\Query\\") + hex;
    if (!lex.ok)
        return ""; // the engine's own message says what is wrong
    int nDepth = 0;
    size_t nWhere = std::string::npos;
    bool bWhole = false;
    for (size_t i = 0; i < lex.tokens.size(); ++i) {
        const SqlToken& t = lex.tokens[i];
        if (t.Is(TokenKind::LParen))
            ++nDepth;
        else if (t.Is(TokenKind::RParen))
            --nDepth;
        else if (t.Is(TokenKind::String) && t.text.find('%') != std::string_view::npos)
            query.strHint = "note: " + std::string(t.text) +
                            " holds %, which Jet compares as itself; its wildcards are * (any "
                            "text) and ? (one character)";
        if (nDepth != 0 || !t.Is(TokenKind::Word))
            continue;
        if (t.IsWord("ORDER"))
            return "a query gives no ORDER BY here: the order comes from a click on a column "
                   "header (the last one is kept)";
        if (t.IsWord("GROUP") || t.IsWord("HAVING") || t.IsWord("UNION") || t.IsWord("INTO"))
            bWhole = true;
        if (t.IsWord("WHERE") && nWhere == std::string::npos)
            nWhere = i;
    }
    if (nWhere == std::string::npos || bWhole)
        return "";
    const size_t nAt = static_cast<size_t>(lex.tokens[nWhere].text.data() - text.data());
    query.strSelect = Trimmed(std::string_view(text).substr(0, nAt));
    query.strWhere = Trimmed(std::string_view(text).substr(nAt + 5));
    if (query.strWhere.empty())
        return "the query's WHERE has no condition";
    return "";
}
