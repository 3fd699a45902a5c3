#include "platform/dao/DynasetOrder.h"

namespace kel::dao {

namespace {

std::string Param(int n) {
    return "?" + std::to_string(n);
}

std::string Direction(bool descending, bool nullsFirst, bool explicitNulls) {
    std::string s = descending ? " DESC" : " ASC";
    // SQLite's own placement is left unsaid, so that its indexes serve the order.
    if (explicitNulls || nullsFirst != !descending)
        s += nullsFirst ? " NULLS FIRST" : " NULLS LAST";
    return s;
}

} // namespace

DynasetOrder::DynasetOrder(std::vector<OrderKey> terms, std::string rowid)
    : m_terms(std::move(terms)), m_rowid(std::move(rowid)) {
    m_rowidDescending = !m_terms.empty() && m_terms.back().descending;
}

DynasetOrder DynasetOrder::Reversed() const {
    DynasetOrder out = *this;
    for (OrderKey& t : out.m_terms) {
        t.descending = !t.descending;
        t.nullsFirst = !t.nullsFirst;
    }
    out.m_rowidDescending = !m_rowidDescending;
    return out;
}

std::string DynasetOrder::OrderBy(bool reversed) const {
    std::string out;
    for (const OrderKey& t : m_terms) {
        out += "(" + t.expr + ")" +
               Direction(t.descending != reversed, t.nullsFirst != reversed,
                         m_explicitNulls && !t.required);
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

std::vector<std::string> DynasetOrder::Continuation(const std::vector<EngineValue>& values,
                                                    int first) const {
    const size_t n = m_terms.size();
    auto expr = [&](size_t i) { return "(" + m_terms[i].expr + ")"; };
    auto param = [&](size_t i) { return Param(first + static_cast<int>(i)); };
    // "Ti = vi" for the terms before term j.
    auto prefix = [&](size_t j) {
        std::string out;
        for (size_t i = 0; i < j; ++i) {
            out += values[i].IsNull() ? expr(i) + " IS NULL" : expr(i) + " = " + param(i);
            out += " AND ";
        }
        return out;
    };
    std::vector<std::string> segments;
    segments.push_back(prefix(n) + m_rowid + (m_rowidDescending ? " < " : " > ") +
                       Param(first + static_cast<int>(n)));
    for (size_t j = n; j-- > 0;) {
        const OrderKey& t = m_terms[j];
        if (values[j].IsNull()) {
            if (t.nullsFirst)
                segments.push_back(prefix(j) + expr(j) + " IS NOT NULL");
            continue;
        }
        segments.push_back(prefix(j) + expr(j) + (t.descending ? " < " : " > ") + param(j));
        if (!t.nullsFirst)
            segments.push_back(prefix(j) + expr(j) + " IS NULL");
    }
    return segments;
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
        out += "CASE WHEN " + e + " IS NOT DISTINCT FROM " + p + " THEN 0 WHEN " + e +
               " IS NULL THEN " + nullRow + " WHEN " + p + " IS NULL THEN " + nullPoint + " WHEN " +
               e + " < " + p + " THEN " + less + " ELSE " + more + " END";
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
