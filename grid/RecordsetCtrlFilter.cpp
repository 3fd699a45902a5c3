// Filter building: one criterion on one column becomes one condition in the engine's dialect
// ("#" around month/day/year dates, double quotes around text, "*" as the LIKE wildcard).
// Values that could not become a sound condition are refused here, before the database.
#include "grid/RecordsetCtrl.h"

#include <cctype>

namespace {

enum class ColumnClass { Date, Text, Plain };

ColumnClass ClassOf(short nType) {
    if (nType == dbDate)
        return ColumnClass::Date;
    if (nType == dbText || nType == dbMemo)
        return ColumnClass::Text;
    return ColumnClass::Plain;
}

// A double quote inside a text literal is written twice, so the value cannot end it.
CString QuoteText(const CString& str) {
    CString out = str;
    out.Replace("\"", "\"\"");
    return out;
}

// A decimal number as the engine reads one: sign, digits with one optional point, optional
// exponent; blanks at the ends allowed. No hexadecimal, no second sign ("--" opens a comment).
bool IsNumber(const CString& strValue) {
    CString str = strValue;
    str.Trim();
    const char* p = str;
    if (*p == '+' || *p == '-')
        ++p;
    int nDigits = 0;
    while (std::isdigit(static_cast<unsigned char>(*p))) {
        ++p;
        ++nDigits;
    }
    if (*p == '.') {
        ++p;
        while (std::isdigit(static_cast<unsigned char>(*p))) {
            ++p;
            ++nDigits;
        }
    }
    if (nDigits == 0)
        return false;
    if (*p == 'e' || *p == 'E') {
        ++p;
        if (*p == '+' || *p == '-')
            ++p;
        if (!std::isdigit(static_cast<unsigned char>(*p)))
            return false;
        while (std::isdigit(static_cast<unsigned char>(*p)))
            ++p;
    }
    return *p == '\0';
}

// Yes/No/True/False on a Boolean column, as the engine's True and False.
bool TruthWord(const CString& strValue, CString& strOut) {
    CString str = strValue;
    str.Trim();
    if (str.CompareNoCase("Yes") == 0 || str.CompareNoCase("True") == 0) {
        strOut = "True";
        return true;
    }
    if (str.CompareNoCase("No") == 0 || str.CompareNoCase("False") == 0) {
        strOut = "False";
        return true;
    }
    return false;
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
    const CString F = column.m_strName + " ";
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

    // A value written bare (plain columns) or as a date; FALSE when it cannot be one.
    auto value = [&](const CString& str, CString& out) -> BOOL {
        if (kind == ColumnClass::Date) {
            COleDateTime date;
            if (!date.ParseDateTime(str, VAR_DATEVALUEONLY, LANG_USER_DEFAULT) ||
                date.GetStatus() != COleDateTime::valid) {
                strError = Message(IDS_RSC_NOTDATE, strCaption, str);
                return FALSE;
            }
            out = "#" + date.Format("%m/%d/%Y") + "#";
            return TRUE;
        }
        if (kind == ColumnClass::Text) {
            out = "\"" + QuoteText(str) + "\"";
            return TRUE;
        }
        if (IsNumber(str)) {
            out = str;
            return TRUE;
        }
        if (column.m_nType == dbBoolean && TruthWord(str, out))
            return TRUE;
        strError = Message(column.m_nType == dbBoolean ? IDS_RSC_NOTBOOLEAN : IDS_RSC_NOTNUMBER,
                           strCaption, str);
        return FALSE;
    };

    // The LIKE operators use the criterion as typed on every column class, as a pattern.
    if (nOperator == 0 || nOperator == 2 || nOperator == 3) {
        if (kind == ColumnClass::Plain && !IsNumber(V)) {
            strError = Message(IDS_RSC_NOTNUMBER, strCaption, V);
            return FALSE;
        }
        if (!IsClosedPattern(V)) {
            strError = Message(IDS_RSC_BADPATTERN, CString(), V);
            return FALSE;
        }
        const CString strHead = nOperator == 2 ? "\"" : "\"*";
        const CString strTail = nOperator == 3 ? "\"" : "*\"";
        strFilter = F + "LIKE " + strHead + QuoteText(V) + strTail;
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
    LPCTSTR strHead = "", strTail = ""; // literals: CString copies here trip GCC 12 -Wrestrict
    switch (nOperator) {
    case 0:
        strHead = "LIKE \"*";
        strTail = "*\"";
        break;
    case 2:
        strHead = "LIKE \"";
        strTail = "*\"";
        break;
    case 3:
        strHead = "LIKE \"*";
        strTail = "\"";
        break;
    case 4:
        strHead = ">= \"";
        strTail = "\"";
        break;
    case 5:
        strHead = "<= \"";
        strTail = "\"";
        break;
    case 6:
        strHead = "= \"";
        strTail = "\"";
        break;
    default:
        strError.LoadString(IDS_RSC_NOOPERATOR);
        return FALSE;
    }
    const CString V = lpszCriteria ? lpszCriteria : "";
    if (nOperator <= 3 && !IsClosedPattern(V)) {
        strError = Message(IDS_RSC_BADPATTERN, CString(), V);
        return FALSE;
    }
    for (int i = 0; i < m_arrayColumns.GetSize(); ++i) {
        const CColumnDetails& column = m_arrayColumns[i];
        if (column.m_nWidth == 0 || (column.m_nType != dbText && column.m_nType != dbMemo))
            continue;
        if (!strFilter.IsEmpty())
            strFilter += " OR ";
        strFilter += column.m_strName + " " + strHead + QuoteText(V) + strTail;
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
