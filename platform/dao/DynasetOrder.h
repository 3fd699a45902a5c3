// The order of a keyed dynaset: its ORDER BY terms, resolved against the select list, with the
// rowid (or the table's key columns) as the last tie-breaker; and the SQL that continues a keying
// run or compares a row with a point of that order. Private to the data-access classes.
#pragma once

#include "platform/dao/engines/EngineValue.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kel::dao {

struct OrderKey {
    std::string expr; // an expression of the base table
    bool descending = false;
    bool nullsFirst = true; // where SQLite puts NULLs: first ascending, last descending
    bool required = false;  // never NULL: no NULLS clause, so that a plain index serves it
};

// A tie-breaker column; its values are bound as text and cast to the type given (none: bound
// as they are).
struct TieColumn {
    std::string expr;
    std::string type;
};

class DynasetOrder {
public:
    DynasetOrder() = default;
    // The rowid tie-breaker runs the way the last term runs, so that an index serves both.
    DynasetOrder(std::vector<OrderKey> terms, std::string rowid);
    // The key columns as the tie-breaker, compared as a row: the keys a keyset holds then say
    // nothing of the order, and comparisons with a point compare the key values themselves.
    DynasetOrder(std::vector<OrderKey> terms, std::vector<TieColumn> tie);

    size_t TermCount() const { return m_terms.size(); }
    // Values a point of the order has after its terms' (the rowid, or each key column).
    size_t TieCount() const { return m_tie.size(); }
    // Columns CompareColumns gives: one per term, and one for the key when it breaks ties.
    size_t CompareCount() const { return m_terms.size() + (m_tieByKey ? 1 : 0); }
    const std::vector<OrderKey>& Terms() const { return m_terms; }
    // The opposite order, NULLs and the tie-breaker included: the records from the last.
    DynasetOrder Reversed() const;
    // Every term says where its NULLs go (an engine whose own placement is not SQLite's).
    void SetExplicitNulls(bool explicitNulls) { m_explicitNulls = explicitNulls; }

    // "T1 DESC, rowid DESC"; reversed gives the opposite order (for Find LAST).
    std::string OrderBy(bool reversed = false) const;
    // ", (T1), (T2)": the terms as extra result columns.
    std::string TermColumns() const;

    // The rows strictly after (values, tie) in this order, as conditions whose results follow
    // one another in the order: the rest of the point's tie group first, the rows after each
    // term's value last. Each is a plain conjunction, so that an index serves it as a range
    // instead of testing every row. Placeholders: ?first for values[0] ... and ?(first + n)
    // on for the tie-breaker's values.
    std::vector<std::string> Continuation(const std::vector<EngineValue>& values, int first) const;

    // Result columns comparing a row with a point: each is -1, 0 or 1 (the row before, at or
    // after the point in this order for that term, then for the key where it breaks ties);
    // placeholders as for Continuation.
    std::string CompareColumns(int first) const;
    // The verdict for a row from those columns and the rowids: <0, 0, >0.
    int Compare(const std::vector<int>& columns, std::int64_t rowRowid,
                std::int64_t pointRowid) const;
    // The tie-breaker's values as placeholders from ?first on, each bound as text and cast to
    // its column's type where the tie says: "?p" or "(?p, ?p+1)".
    std::string TieParams(int first) const;

private:
    // "k1" or "(k1, k2)".
    std::string TieRow() const;

    std::vector<OrderKey> m_terms;
    std::vector<TieColumn> m_tie;
    bool m_tieByKey = false;
    bool m_rowidDescending = false;
    bool m_explicitNulls = false;
};

} // namespace kel::dao
