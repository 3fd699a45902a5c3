// CRecordsetDoc: the SQL statement composed from the SELECT text, the filter slots and the
// order. The fragments and their blanks are exactly those the grid's hosts rely on.
#include "document/RecordsetDoc.h"

CString CRecordsetDoc::CreateSQLStatement() {
    auto slot = [this](int i) {
        return i < m_arrayFilter.GetSize() ? m_arrayFilter[i] : CString();
    };
    CString strSQL = m_strSQL + " ";

    // The search group: slots 0 and 1 inside one pair of parentheses, joined with AND.
    BOOL bSearch = FALSE;
    for (int i = 0; i < 2; ++i) {
        CString strFilter = slot(i);
        if (strFilter.IsEmpty())
            continue;
        strSQL += bSearch ? "AND " : "WHERE (";
        strSQL += "(" + strFilter + ") ";
        bSearch = TRUE;
    }
    if (bSearch)
        strSQL += ")";

    // The fixed group: slots 2 and 3, always applied.
    BOOL bWhere = bSearch;
    for (int i = 2; i < 4; ++i) {
        CString strFilter = slot(i);
        if (strFilter.IsEmpty())
            continue;
        strSQL += bWhere ? "AND " : "WHERE ";
        strSQL += "(" + strFilter + ") ";
        bWhere = TRUE;
    }

    if (!m_strOrder.IsEmpty())
        strSQL += "ORDER BY " + m_strOrder;
    return strSQL;
}
