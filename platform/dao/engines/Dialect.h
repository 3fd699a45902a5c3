// The SQL an engine needs for what the Jet text says: quoted names and text, date and
// boolean literals, LIKE with Jet's wildcards, comparison without regard to case, Jet's order
// of NULLs, a bounded read and the columns that identify a row.
// Private to the data-access classes.
#pragma once

#include "platform/core/Variant.h"
#include "platform/dao/engines/EngineValue.h"
#include "platform/dao/engines/Schema.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kel::dao {

class Dialect {
public:
    virtual ~Dialect() = default;

    // "name" with " doubled. Throws EngineError (InvalidArgument) for a NUL or an empty name.
    virtual std::string QuoteName(std::string_view name) const;
    // 'text' with ' doubled; backslashes are plain characters on both engines. Throws
    // EngineError (InvalidArgument) for a NUL, which neither engine keeps in text.
    virtual std::string QuoteText(std::string_view text) const;
    // A date and time as the engine compares it with a date column; empty when the date is
    // out of range.
    virtual std::string DateLiteral(DATE date) const = 0;
    virtual std::string BooleanLiteral(bool value) const = 0;
    // "<operand> <engine's match of the Jet pattern>", the pattern being the text between
    // the quotes after LIKE (* ? # [a-c] [!a-c]); matching ignores case as Jet's comparison
    // does. Nothing when a [ class is not closed or the pattern is not UTF-8 the engine can
    // match.
    virtual std::optional<std::string> Like(std::string_view operand,
                                            std::string_view jetPattern) const = 0;
    // An expression that compares and orders text without regard to case.
    virtual std::string TextKey(std::string_view operand) const = 0;
    // A Yes/No operand as Jet's number: -1 for yes, 0 for no (as it stands where the engine
    // keeps those numbers).
    virtual std::string YesNoNumber(std::string_view operand) const { return std::string(operand); }
    // One term of ORDER BY, NULLs before everything ascending and after it descending.
    virtual std::string OrderTerm(std::string_view operand, bool descending) const = 0;
    // What ends a SELECT to read no more than rows rows.
    virtual std::string BoundedRead(std::int64_t rows) const;
    // The columns whose values name a row for as long as it lives: the primary key; without
    // one, SQLite's rowid, or on a server a unique index over required fields. Empty when
    // nothing identifies a row (the rows can then only be read as a materialised result).
    virtual std::vector<std::string> RowIdentity(const SchemaDescription& schema) const;
    // The name under which a table with these columns shows the engine's own row number (the
    // first of SQLite's rowid, _rowid_ and oid that no column takes); empty when it has none.
    virtual std::string RowIdName(const std::vector<std::string>& columns) const;
    // "<key> is one of the integers of parameter ?param", and the value that parameter takes
    // for a list of keys: one statement reads the records of many keys. Empty (and Null) when
    // the engine reads a record at a time as cheaply.
    virtual std::string KeyInList(std::string_view key, int param) const;
    virtual EngineValue KeyList(const std::vector<std::int64_t>& keys) const;
};

} // namespace kel::dao
