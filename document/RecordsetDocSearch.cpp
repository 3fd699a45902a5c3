// CRecordsetDoc: positioning on a value, opening a caller's recordset on the statement,
// and putting the dynaset into edit mode on a row of the window.
#include "document/DaoErrorReport.h"
#include "document/RecordsetDoc.h"

#include <regex>

using kel::document::ReportDaoException;

namespace {

// A number as the engine reads one: sign, digits, decimals, exponent; nothing else.
BOOL IsNumberText(const CString& strValue) {
    static const std::regex number(R"([+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)");
    return std::regex_match(strValue.str(), number);
}

// A date the engine can read between "#" signs, written with nothing that could end them.
BOOL IsDateText(const CString& strValue) {
    static const std::regex allowed(R"([0-9A-Za-z/:., -]+)");
    if (!std::regex_match(strValue.str(), allowed))
        return FALSE;
    COleDateTime date;
    return date.ParseDateTime(strValue) && date.GetStatus() == COleDateTime::valid;
}

BOOL IsBooleanText(const CString& strValue) {
    return IsNumberText(strValue) || strValue.CompareNoCase("True") == 0 ||
           strValue.CompareNoCase("False") == 0;
}

} // namespace

CString CRecordsetDoc::SearchCriterion(const CString& strField, const CString& strValue,
                                       CColumnArray* pColumns, BOOL& bRefused) {
    bRefused = FALSE;
    CString strCriterion = strField + " >= ";
    if (!pColumns)
        return strCriterion;
    for (INT_PTR i = 0; i < pColumns->GetSize(); ++i) {
        const CColumnDetails& col = (*pColumns)[i];
        if (col.m_strName != strField)
            continue;
        // The value becomes part of the SQL text: it goes in only in a form that cannot
        // change the statement. A value that is not (yet) of the column's type is refused.
        CString strTrimmed = strValue;
        strTrimmed.Trim();
        switch (col.m_nType) {
        case dbText:
        case dbMemo: {
            CString strQuoted = strValue;
            strQuoted.Replace("\"", "\"\"");
            strCriterion += "\"" + strQuoted + "\"";
            break;
        }
        case dbDate:
            if (!IsDateText(strTrimmed))
                bRefused = TRUE;
            else
                strCriterion += "#" + strTrimmed + "#";
            break;
        case dbByte:
        case dbInteger:
        case dbLong:
        case dbCurrency:
        case dbSingle:
        case dbDouble:
            if (!IsNumberText(strTrimmed))
                bRefused = TRUE;
            else
                strCriterion += strTrimmed;
            break;
        case dbBoolean:
            if (!IsBooleanText(strTrimmed))
                bRefused = TRUE;
            else
                strCriterion += strTrimmed;
            break;
        default: // binary values cannot be typed
            bRefused = TRUE;
            break;
        }
        break;
    }
    return strCriterion;
}

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

    BOOL bRefused = FALSE;
    const CString strCriterion = SearchCriterion(strField, strValue, pColumns, bRefused);
    if (bRefused)
        return -1; // quietly: the user is usually still typing

    try {
        // In a descending order the last record at or above the value is the nearest one.
        rs.Find(bDescending ? AFX_DAO_LAST : AFX_DAO_FIRST, strCriterion);
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
        rs.Edit();
    } catch (CDaoException* e) {
        ReportDaoException(e);
        return FALSE;
    }
    return TRUE;
}
