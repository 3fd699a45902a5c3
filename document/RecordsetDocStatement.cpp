// CRecordsetDoc: the SQL statement composed from the SELECT text, the filter slots and the
// order. The fragments and their blanks are exactly those the grid's hosts rely on.
#include "document/RecordsetDoc.h"

CString CRecordsetDoc::CreateSQLStatement() {
    CString strSQL = m_strSQL + " ";
    // Appends the non-empty slots of a group, each in parentheses; the first opens with
    // lpszOpen unless bAny says a clause is open already, the others join it with AND.
    auto appendGroup = [&](int nFrom, LPCTSTR lpszOpen, BOOL bAny) {
        for (int i = nFrom; i < nFrom + 2 && i < m_arrayFilter.GetSize(); ++i) {
            const CString& strFilter = m_arrayFilter[i];
            if (strFilter.IsEmpty())
                continue;
            strSQL += bAny ? "AND " : lpszOpen;
            strSQL += "(" + strFilter + ") ";
            bAny = TRUE;
        }
        return bAny;
    };

    // The search group: slots 0 and 1 inside one pair of parentheses.
    const BOOL bSearch = appendGroup(0, "WHERE (", FALSE);
    if (bSearch)
        strSQL += ")";
    // The fixed group: slots 2 and 3, always applied.
    appendGroup(2, "WHERE ", bSearch);

    if (!m_strOrder.IsEmpty())
        strSQL += "ORDER BY " + m_strOrder;
    return strSQL;
}
