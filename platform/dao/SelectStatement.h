// The clauses of a SELECT in SQLite text, and whether it reads one table so that a dynaset can
// key it by rowid. Private to the data-access classes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kel::dao {

struct SelectItem {
    std::string expr;  // the expression, without its alias
    std::string alias; // the AS name, unquoted; empty when none
    bool star = false; // * or q.*
};

struct OrderTerm {
    std::string expr; // with its COLLATE, without ASC/DESC/NULLS
    bool descending = false;
    std::string nulls; // "NULLS FIRST", "NULLS LAST" or empty
};

struct SelectStatement {
    bool isSelect = false;    // the text is one SELECT (possibly compound)
    bool compound = false;    // UNION, INTERSECT or EXCEPT
    bool singleTable = false; // one rowid-keyable table: no join, grouping, DISTINCT, LIMIT,
                              // aggregate or window (the table's kind is checked by the caller)
    std::string head;         // between SELECT and FROM: DISTINCT and the select list
    std::string from;         // after FROM
    std::string where;        // after WHERE
    std::string groupTail;    // GROUP BY ... HAVING ... WINDOW ..., keywords included
    std::string orderBy;      // after ORDER BY
    std::string limitTail;    // LIMIT ..., keyword included
    std::vector<SelectItem> items;
    std::vector<OrderTerm> order;
    // For a single table:
    std::string schema; // as written, unquoted; empty when none
    std::string table;  // unquoted
    std::string alias;  // unquoted; empty when none

    // The statement again from its parts.
    std::string Compose() const;
};

SelectStatement AnalyzeSelect(std::string_view sql);

// One table, view, table function or sub-query of a FROM clause.
struct FromSource {
    std::string table; // unquoted, without its schema; empty for a sub-query
    std::string alias; // unquoted; empty when none
    // What the statement calls it: its alias, else its table; empty for a sub-query without one.
    const std::string& Name() const { return alias.empty() ? table : alias; }
};

// The sources of a FROM clause (SQLite text) in the order they are written, those inside a
// parenthesised join included.
std::vector<FromSource> ParseFromList(std::string_view from);

// Whether a select item's expression names a column: name, q.name or schema.q.name.
bool IsColumnReference(std::string_view expr);

// Splits a list at the commas outside parentheses.
std::vector<std::string> SplitTopLevel(std::string_view sql);

// ORDER BY terms of a list such as "City DESC, 2".
std::vector<OrderTerm> ParseOrderTerms(std::string_view orderBy);

} // namespace kel::dao
