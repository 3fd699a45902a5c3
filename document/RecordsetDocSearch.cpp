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

// The value as a Jet literal for a field of type nType, in a form that cannot change the
// statement it goes into; FALSE when it is not (yet) a value of that type.
BOOL JetLiteral(short nType, const CString& strValue, CString& strLiteral) {
    CString strTrimmed = strValue;
    strTrimmed.Trim();
    switch (nType) {
    case dbText:
    case dbMemo:
        strLiteral = strValue;
        strLiteral.Replace("\"", "\"\"");
        strLiteral = "\"" + strLiteral + "\"";
        return TRUE;
    case dbDate:
        strLiteral = "#" + strTrimmed + "#";
        return IsDateText(strTrimmed);
    case dbByte:
    case dbInteger:
    case dbLong:
    case dbCurrency:
    case dbSingle:
    case dbDouble:
        strLiteral = strTrimmed;
        return IsNumberText(strTrimmed);
    case dbBoolean:
        strLiteral = strTrimmed;
        return IsBooleanText(strTrimmed);
    default: // binary values cannot be typed
        return FALSE;
    }
}

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
        if (!JetLiteral(col.m_nType, strValue, strLiteral))
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
