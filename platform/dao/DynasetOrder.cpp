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
    : m_terms(std::move(terms)), m_tie{{std::move(rowid), {}}} {
    m_rowidDescending = !m_terms.empty() && m_terms.back().descending;
}

DynasetOrder::DynasetOrder(std::vector<OrderKey> terms, std::vector<TieColumn> tie)
    : m_terms(std::move(terms)), m_tie(std::move(tie)), m_tieByKey(true) {
    m_rowidDescending = !m_terms.empty() && m_terms.back().descending;
}

std::string DynasetOrder::TieRow() const {
    if (m_tie.size() == 1)
        return m_tie[0].expr;
    std::string out;
    for (const TieColumn& t : m_tie)
        out += (out.empty() ? "(" : ", ") + t.expr;
    return out + ")";
}

std::string DynasetOrder::TieParams(int first) const {
    std::string out;
    for (size_t i = 0; i < m_tie.size(); ++i) {
        const std::string p = Param(first + static_cast<int>(i));
        // Bound as text whatever the type (so that the engine sends it as such): the text
        // the key was read back as.
        out +=
            (i ? ", " : "") +
            (m_tie[i].type.empty() ? p : "CAST(CAST(" + p + " AS text) AS " + m_tie[i].type + ")");
    }
    return m_tie.size() == 1 ? out : "(" + out + ")";
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
    const char* direction = (m_rowidDescending != reversed) ? " DESC" : " ASC";
    for (size_t i = 0; i < m_tie.size(); ++i)
        out += (i ? ", " : "") + m_tie[i].expr + direction;
    return out;
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
    segments.push_back(prefix(n) + TieRow() + (m_rowidDescending ? " < " : " > ") +
                       TieParams(first + static_cast<int>(n)));
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
    if (m_tieByKey) {
        const std::string row = TieRow();
        const std::string p = TieParams(first + static_cast<int>(m_terms.size()));
        out += std::string(out.empty() ? "" : ", ") + "CASE WHEN " + row + " = " + p +
               " THEN 0 WHEN " + row + " < " + p + " THEN " + (m_rowidDescending ? "1" : "-1") +
               " ELSE " + (m_rowidDescending ? "-1" : "1") + " END";
    }
    return out;
}

int DynasetOrder::Compare(const std::vector<int>& columns, std::int64_t rowRowid,
                          std::int64_t pointRowid) const {
    for (int c : columns) {
        if (c)
            return c;
    }
    if (m_tieByKey || rowRowid == pointRowid)
        return 0;
    return (rowRowid < pointRowid) != m_rowidDescending ? -1 : 1;
}

} // namespace kel::dao
