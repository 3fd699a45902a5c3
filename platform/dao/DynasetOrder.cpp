#include "platform/dao/DynasetOrder.h"

namespace kel::dao {

namespace {

std::string Param(int n) {
    return "?" + std::to_string(n);
}

std::string Direction(bool descending, bool nullsFirst) {
    std::string s = descending ? " DESC" : " ASC";
    if (nullsFirst != !descending) // only when it differs from SQLite's own placement
        s += nullsFirst ? " NULLS FIRST" : " NULLS LAST";
    return s;
}

} // namespace

DynasetOrder::DynasetOrder(std::vector<OrderKey> terms, std::string rowid)
    : m_terms(std::move(terms)), m_rowid(std::move(rowid)) {
    m_rowidDescending = !m_terms.empty() && m_terms.back().descending;
}

std::string DynasetOrder::OrderBy(bool reversed) const {
    std::string out;
    for (const OrderKey& t : m_terms) {
        out += "(" + t.expr + ")" + Direction(t.descending != reversed, t.nullsFirst != reversed);
        out += ", ";
    }
    return out + m_rowid + ((m_rowidDescending != reversed) ? " DESC" : " ASC");
}

std::string DynasetOrder::TermColumns() const {
    std::string out;
    for (const OrderKey& t : m_terms)
        out += ", (" + t.expr + ")";
    return out;
}

std::string DynasetOrder::After(const std::vector<SqliteValue>& values, bool reversed,
                                int first) const {
    const int rowidParam = first + static_cast<int>(m_terms.size());
    std::string acc =
        m_rowid + ((m_rowidDescending != reversed) ? " < " : " > ") + Param(rowidParam);
    for (size_t i = m_terms.size(); i-- > 0;) {
        const OrderKey& t = m_terms[i];
        const bool desc = t.descending != reversed;
        const bool nullsFirst = t.nullsFirst != reversed;
        const std::string e = "(" + t.expr + ")";
        const std::string p = Param(first + static_cast<int>(i));
        std::string after, same;
        if (values[i].IsNull()) {
            after = nullsFirst ? e + " IS NOT NULL" : "0";
            same = e + " IS NULL";
        } else {
            after = e + (desc ? " < " : " > ") + p;
            if (!nullsFirst)
                after += " OR " + e + " IS NULL";
            same = e + " = " + p;
        }
        acc = "((" + after + ") OR (" + same + " AND " + acc + "))";
    }
    // Descending with NULLs last has no single range: the index is then walked from its start.
    if (!m_terms.empty()) {
        const OrderKey& t = m_terms[0];
        const bool desc = t.descending != reversed;
        const bool nullsFirst = t.nullsFirst != reversed;
        const std::string e = "(" + m_terms[0].expr + ")";
        if (!values[0].IsNull() && !desc && nullsFirst)
            acc = e + " >= " + Param(first) + " AND " + acc;
        else if (values[0].IsNull() && !nullsFirst)
            acc = e + " IS NULL AND " + acc;
    }
    return acc;
}

std::string DynasetOrder::CompareColumns(int first) const {
    std::string out;
    for (size_t i = 0; i < m_terms.size(); ++i) {
        const OrderKey& t = m_terms[i];
        const std::string e = "(" + t.expr + ")";
        const std::string p = Param(first + static_cast<int>(i));
        const char* nullRow = t.nullsFirst ? "-1" : "1";
        const char* nullPoint = t.nullsFirst ? "1" : "-1";
        const char* less = t.descending ? "1" : "-1";
        const char* more = t.descending ? "-1" : "1";
        if (i)
            out += ", ";
        out += "CASE WHEN " + e + " IS " + p + " THEN 0 WHEN " + e + " IS NULL THEN " + nullRow +
               " WHEN " + p + " IS NULL THEN " + nullPoint + " WHEN " + e + " < " + p + " THEN " +
               less + " ELSE " + more + " END";
    }
    return out;
}

int DynasetOrder::Compare(const std::vector<int>& columns, std::int64_t rowRowid,
                          std::int64_t pointRowid) const {
    for (int c : columns) {
        if (c)
            return c;
    }
    if (rowRowid == pointRowid)
        return 0;
    return (rowRowid < pointRowid) != m_rowidDescending ? -1 : 1;
}

} // namespace kel::dao
