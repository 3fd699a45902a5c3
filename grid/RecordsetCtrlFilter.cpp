// Filter building: one criterion on one column becomes one condition in the engine's dialect,
// its literals and names written by JetLiteral ("*" as the LIKE wildcard). Values that could not
// become a sound condition are refused here, before the database.
#include "grid/RecordsetCtrl.h"

#include "records/JetLiteral.h"

namespace {

using namespace kel::records;

enum class ColumnClass { Date, Text, Plain };

ColumnClass ClassOf(short nType) {
    if (nType == dbDate)
        return ColumnClass::Date;
    if (nType == dbText || nType == dbMemo)
        return ColumnClass::Text;
    return ColumnClass::Plain;
}

// Every "[" of a LIKE pattern must be closed; the engine rejects the statement otherwise.
bool IsClosedPattern(const CString& str) {
    int nOpen = str.Find('[');
    while (nOpen >= 0) {
        int nClose = str.Find(']', nOpen + 1);
        if (nClose < 0)
            return false;
        nOpen = str.Find('[', nClose + 1);
    }
    return true;
}

// The column's reference as the grid built it; a name the dialect cannot carry was kept bare
// and is refused here, before anything is sent.
BOOL Reference(const CColumnDetails& column, CString& strReference, CString& strError) {
    if (!column.m_strName.IsEmpty() && column.m_strName[0] == '[') {
        strReference = column.m_strName;
        return TRUE;
    }
    return JetName(column.m_strName, strReference, strError);
}

CString Message(UINT nID, const CString& strField, const CString& strValue) {
    CString strFormat, strOut;
    strFormat.LoadString(nID);
    if (strField.IsEmpty())
        strOut.Format(strFormat, (LPCTSTR)strValue);
    else
        strOut.Format(strFormat, (LPCTSTR)strField, (LPCTSTR)strValue);
    return strOut;
}

} // namespace

BOOL CRecordsetCtrl::BuildFilter(int nColumn, int nOperator, LPCTSTR lpszCriteria, LPCTSTR lpszFrom,
                                 LPCTSTR lpszTo, CString& strFilter, CString& strError) {
    strFilter.Empty();
    strError.Empty();
    if (nColumn < 0 || nColumn >= m_arrayColumns.GetSize() || nOperator < 0 || nOperator > 6) {
        strError.LoadString(IDS_RSC_NOOPERATOR);
        return FALSE;
    }
    const CColumnDetails& column = m_arrayColumns[nColumn];
    CString F;
    if (!Reference(column, F, strError))
        return FALSE;
    F += " ";
    const CString strCaption =
        column.m_strCaption.IsEmpty() ? column.m_strName : column.m_strCaption;
    const CString V = lpszCriteria ? lpszCriteria : "";
    const CString A = lpszFrom ? lpszFrom : "";
    const CString B = lpszTo ? lpszTo : "";
    const ColumnClass kind = ClassOf(column.m_nType);

    // Searching for nothing finds the records where the field is empty.
    if (nOperator != 1 && V.IsEmpty()) {
        strFilter = F + "IS NULL";
        return TRUE;
    }

    // A value as a literal of the column's type; FALSE when it cannot be one.
    auto value = [&](const CString& str, CString& out) -> BOOL {
        switch (JetTypedLiteral(column.m_nType, str, out)) {
        case JetLiteralError::None:
            return TRUE;
        case JetLiteralError::NotDate:
            strError = Message(IDS_RSC_NOTDATE, strCaption, str);
            return FALSE;
        case JetLiteralError::NotBoolean:
            strError = Message(IDS_RSC_NOTBOOLEAN, strCaption, str);
            return FALSE;
        default:
            strError = Message(IDS_RSC_NOTNUMBER, strCaption, str);
            return FALSE;
        }
    };

    // The LIKE operators use the criterion as typed on every column class, as a pattern.
    if (nOperator == 0 || nOperator == 2 || nOperator == 3) {
        if (kind == ColumnClass::Plain && !IsJetNumber(V)) {
            strError = Message(IDS_RSC_NOTNUMBER, strCaption, V);
            return FALSE;
        }
        if (!IsClosedPattern(V)) {
            strError = Message(IDS_RSC_BADPATTERN, CString(), V);
            return FALSE;
        }
        const CString strHead = nOperator == 2 ? "" : "*";
        const CString strTail = nOperator == 3 ? "" : "*";
        strFilter = F + "LIKE " + JetText(strHead + V + strTail);
        return TRUE;
    }

    if (nOperator == 1) {
        CString strA, strB;
        if (!value(A, strA) || !value(B, strB))
            return FALSE;
        strFilter = F + ">= " + strA + " AND " + F + "<= " + strB;
        return TRUE;
    }

    static const char* const kCompare[] = {"", "", "", "", ">= ", "<= ", "= "};
    CString strV;
    if (!value(V, strV))
        return FALSE;
    strFilter = F + kCompare[nOperator] + strV;
    return TRUE;
}

CString CRecordsetCtrl::CreateFilter(int nColumn, int nOperator, LPCTSTR lpszCriteria,
                                     LPCTSTR lpszFrom, LPCTSTR lpszTo) {
    CString strFilter, strError;
    BuildFilter(nColumn, nOperator, lpszCriteria, lpszFrom, lpszTo, strFilter, strError);
    return strFilter;
}

BOOL CRecordsetCtrl::BuildAllColumnsFilter(int nOperator, LPCTSTR lpszCriteria, CString& strFilter,
                                           CString& strError) {
    strFilter.Empty();
    strError.Empty();
    static const char* const kOperators[] = {"LIKE ", "", "LIKE ", "LIKE ", ">= ", "<= ", "= "};
    if (nOperator < 0 || nOperator > 6 || nOperator == 1) {
        strError.LoadString(IDS_RSC_NOOPERATOR);
        return FALSE;
    }
    const CString V = lpszCriteria ? lpszCriteria : "";
    const BOOL bLike = nOperator == 0 || nOperator == 2 || nOperator == 3;
    if (bLike && !IsClosedPattern(V)) {
        strError = Message(IDS_RSC_BADPATTERN, CString(), V);
        return FALSE;
    }
    const CString strLiteral = JetText((nOperator == 0 || nOperator == 3 ? "*" : "") + V +
                                       (nOperator == 0 || nOperator == 2 ? "*" : ""));
    // The text columns shown; a hidden column is not searched.
    for (int i = 0; i < m_arrayColumns.GetSize(); ++i) {
        const CColumnDetails& column = m_arrayColumns[i];
        if (column.m_nWidth == 0 || !column.m_bVisible ||
            (column.m_nType != dbText && column.m_nType != dbMemo))
            continue;
        CString strReference;
        if (!Reference(column, strReference, strError)) {
            strFilter.Empty();
            return FALSE;
        }
        if (!strFilter.IsEmpty())
            strFilter += " OR ";
        strFilter += strReference + " " + kOperators[nOperator] + strLiteral;
    }
    // No condition would find every record: nothing to search in is said so.
    if (strFilter.IsEmpty()) {
        strError.LoadString(IDS_RSC_NOTEXTCOLUMN);
        return FALSE;
    }
    return TRUE;
}

BOOL CRecordsetCtrl::BuildAdvancedFilter(CString& strFilter, CString& strError) {
    strFilter.Empty();
    strError.Empty();
    const int nCount = (int)m_arrayAdvSearch.GetSize();
    if (nCount == 0)
        return TRUE;
    const int nSplit = m_nAdvSearchOr < 0 ? 0 : (m_nAdvSearchOr > nCount ? nCount : m_nAdvSearchOr);
    auto group = [&](int nFirst, int nEnd, CString& strOut) -> BOOL {
        for (int k = nFirst; k < nEnd; ++k) {
            const CAdvSearch& crit = m_arrayAdvSearch[k];
            CString strOne;
            if (!BuildFilter(crit.m_nColumn, crit.m_nOperator, crit.m_strCriteria, NULL, NULL,
                             strOne, strError))
                return FALSE;
            if (k > nFirst)
                strOut += " AND ";
            strOut += strOne;
        }
        return TRUE;
    };
    CString strFirst, strSecond;
    if (!group(0, nSplit, strFirst) || !group(nSplit, nCount, strSecond))
        return FALSE;
    if (nSplit > 0)
        strFilter = "(" + strFirst + ")";
    if (nSplit < nCount)
        strFilter += (nSplit > 0 ? " OR (" : "(") + strSecond + ")";
    return TRUE;
}
