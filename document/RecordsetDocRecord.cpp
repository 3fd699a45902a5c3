// CRecordsetDoc: single records by bookmark. A row of the window is the record its bookmark
// names, never the one whose text looks the same; a host's recordset is opened on it by the
// stored values of its table's key.
#include "document/DaoErrorReport.h"
#include "document/RecordsetDoc.h"
#include "records/JetLiteral.h"

using kel::document::DaoErrorCode;
using kel::document::ReportDaoException;

namespace {

constexpr long kRecordDeleted = 3167;

} // namespace

BOOL CRecordsetDoc::GetRowBookmark(COleVariant* pFirst, COleVariant* pLast, int nLastRow, int nRow,
                                   COleVariant& varBookmark) {
    varBookmark.Clear();
    if (!IsOpen() || !m_pRecordset || !pFirst || pFirst->vt == VT_EMPTY || nRow < 0)
        return FALSE;
    CDaoRecordset& rs = *m_pRecordset;
    // Positions stay put while the dynaset is open (a deleted record keeps its place, and
    // moving onto it works), so the row is the record nRow places after the window's first,
    // or counted back from its last when the first is gone.
    auto reach = [&](const COleVariant& varFrom, int nOffset) {
        rs.SetBookmark(varFrom);
        if (nOffset != 0)
            rs.Move(nOffset);
        if (rs.IsEOF() || rs.IsBOF())
            return FALSE;
        varBookmark = rs.GetBookmark();
        return TRUE;
    };
    try {
        try {
            return reach(*pFirst, nRow);
        } catch (CDaoException* e) {
            if (DaoErrorCode(e) != kRecordDeleted || !pLast || pLast->vt == VT_EMPTY ||
                nLastRow < 0)
                throw;
            e->Delete();
            return reach(*pLast, nRow - nLastRow);
        }
    } catch (CDaoException* e) {
        if (DaoErrorCode(e) == kRecordDeleted) {
            e->Delete(); // both ends of the window are gone: the next refresh starts again
            return FALSE;
        }
        ReportDaoException(e);
        return FALSE;
    }
}

BOOL CRecordsetDoc::GetRecordWhere(const COleVariant& varBookmark, CString& strWhere,
                                   BOOL* pbDeleted) {
    strWhere.Empty();
    if (pbDeleted)
        *pbDeleted = FALSE;
    if (!IsOpen() || !m_pRecordset)
        return FALSE;
    CStringArray names;
    CArray<COleVariant, const COleVariant&> values;
    try {
        m_pRecordset->SetBookmark(varBookmark);
        m_pRecordset->GetRecordKey(names, values);
    } catch (CDaoException* e) {
        if (DaoErrorCode(e) == kRecordDeleted && pbDeleted) {
            *pbDeleted = TRUE;
            e->Delete();
            return FALSE;
        }
        ReportDaoException(e);
        return FALSE;
    }
    CString strCondition, strError;
    for (int i = 0; i < names.GetSize(); ++i) {
        if (!kel::records::JetKeyCondition(names[i], values[i], strCondition, strError)) {
            AfxMessageBox(strError, MB_OK, 0);
            strWhere.Empty();
            return FALSE;
        }
        strWhere += (i == 0 ? "WHERE " : " AND ") + strCondition;
    }
    return !strWhere.IsEmpty();
}
