// PostgreSQL's dialect: Jet's LIKE patterns as anchored regular expressions with each
// letter's cases spelled out, and text compared through the same case folding as SQLite's
// JETTEXT collation, so that both engines match and order text alike whatever the server's
// locale. Private to the data-access classes.
#pragma once

#include "platform/dao/engines/Dialect.h"

namespace kel::dao {

class PgDialect final : public Dialect {
public:
    PgDialect();

    // Also refuses names longer than the server's 63 bytes, which it would cut silently.
    std::string QuoteName(std::string_view name) const override;
    std::string DateLiteral(DATE date) const override;
    std::string BooleanLiteral(bool value) const override;
    std::optional<std::string> Like(std::string_view operand,
                                    std::string_view jetPattern) const override;
    std::string TextKey(std::string_view operand) const override;
    std::string YesNoNumber(std::string_view operand) const override;
    std::string OrderTerm(std::string_view operand, bool descending) const override;
    std::vector<std::string> RowIdentity(const SchemaDescription& schema) const override;
    std::string KeyInList(std::string_view key, int param) const override;
    EngineValue KeyList(const std::vector<std::int64_t>& keys) const override;

    // The anchored regular expression (ARE) for a Jet pattern; nothing when a class is not
    // closed or the pattern is not valid UTF-8.
    static std::optional<std::string> JetPatternToRegex(std::string_view jetPattern);

private:
    std::string m_foldFrom, m_foldTo; // translate()'s arguments: every letter and its folding
};

} // namespace kel::dao
