// The browser's query: a SELECT statement in the Jet dialect taken apart for the grid.
#pragma once

#include <string>

// A query taken apart with the Jet lexer: its SELECT ... FROM part and its own condition, which
// the grid keeps as a fixed filter so that searches add to it. A query with its own order is
// refused (the order comes from a header click); one with grouping or a union stays whole.
struct Query {
    std::string strSelect;
    std::string strWhere;
    std::string strHint; // a note for the user, the query still runs
    std::string strKey;  // the settings key of its layout
};

// "" when the query can be shown, else why not.
std::string SplitQuery(const std::string& text, Query& query);
