// CRecordsetDoc: positioning on a value, opening a caller's recordset on the statement,
// and putting the dynaset into edit mode on a row of the window.
#include "document/DaoErrorReport.h"
#include "document/RecordsetDoc.h"
#include "records/JetLiteral.h"

using kel::document::ReportDaoException;

namespace {

// "strField >= value", the value typed after the first column of that name. Without such a
// column nothing follows the operator, and the engine rejects the criterion. FALSE when the
// value is refused.
BOOL SearchCriterion(const CString& strField, const CString& strValue,
                     const CArray<CColumnDetails, CColumnDetails>* pColumns,
                     CString& strCriterion) {
    strCriterion = strField + " >= ";
    if (!pColumns)
        return TRUE;
    for (const CColumnDetails& col : *pColumns) {
        if (col.m_strName != strField)
            continue;
        CString strLiteral;
        if (kel::records::JetTypedLiteral(col.m_nType, strValue, strLiteral) !=
            kel::records::JetLiteralError::None)
            return FALSE;
        strCriterion += strLiteral;
        break;
    }
    return TRUE;
}

} // namespace

long CRecordsetDoc::SearchAndGet(CString strField, int bDescending, CString strValue,
                                 CRowArray* pRows, CColumnArray* pColumns, int nCount,
                                 COleVariant* pFirst, COleVariant* pLast, int* pnRows) {
    if (!IsOpen() || !m_pRecordset || !pRows || !pFirst || !pLast)
        return -1;
    CDaoRecordset& rs = *m_pRecordset;
    try {
        if (rs.IsBOF() && rs.IsEOF())
            return -1;
        m_varFirst = rs.GetBookmark(); // where to come back to on failure
    } catch (CDaoException* e) {
        ReportDaoException(e);
        return -1;
    }

    CString strCriterion;
    if (!SearchCriterion(strField, strValue, pColumns, strCriterion))
        return -1; // quietly: the user is usually still typing

    try {
        // In a descending order the last record at or above the value is the nearest one.
        // When none is, the window stays where it was.
        if (!rs.Find(bDescending ? AFX_DAO_LAST : AFX_DAO_FIRST, strCriterion))
            return -1;
        *pFirst = rs.GetBookmark();
        if (pLast->vt == VT_EMPTY)
            *pLast = *pFirst; // without a window yet the refresh would start at the top
        const long nPosition = rs.GetAbsolutePosition();
        GetTable(pRows, pColumns, gtRefresh, nCount, pFirst, pLast, pnRows);
        return nPosition;
    } catch (CDaoException* e) {
        ReportDaoException(e);
        try {
            rs.SetBookmark(m_varFirst);
        } catch (CDaoException* eBack) {
            eBack->Delete();
        }
        return -1;
    }
}

BOOL CRecordsetDoc::ExtractRecordset(CDaoRecordset* pRecordset, CString* pWhere, int nOpenType,
                                     int nOptions) {
    if (!pRecordset)
        return FALSE;
    // With a WHERE text the record is picked by it alone: filters and order do not apply.
    const CString strSQL = pWhere ? m_strSQL + " " + *pWhere : CreateSQLStatement();
    try {
        pRecordset->Open(nOpenType, strSQL, nOptions ? nOptions : m_nOptions);
    } catch (CDaoException* e) {
        ReportDaoException(e);
        return FALSE;
    }
    return TRUE;
}

BOOL CRecordsetDoc::EditCurrentRecord(int nRow, COleVariant* pBookmark) {
    if (!IsOpen() || !m_pRecordset || !pBookmark)
        return FALSE;
    CDaoRecordset& rs = *m_pRecordset;
    try {
        rs.SetBookmark(*pBookmark);
        for (int i = 0; i < nRow && !rs.IsEOF(); ++i)
            rs.MoveNext();
        // No lock while the user types: the record is checked and written at Update, which
        // fails with 3197 when another program changed it since.
        rs.SetLockingMode(FALSE);
        rs.Edit();
    } catch (CDaoException* e) {
        ReportDaoException(e);
        return FALSE;
    }
    return TRUE;
}
