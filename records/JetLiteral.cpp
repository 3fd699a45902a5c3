#include "records/JetLiteral.h"

#include "afxdao.h"

#include <cctype>
#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kel::records {

namespace {

CString Trimmed(const CString& str) {
    CString out = str;
    out.Trim();
    return out;
}

BOOL RefuseName(const CString& strName, LPCTSTR lpszWhy, CString& strError) {
    strError.Format("The field name \"%s\" cannot be used in a query: %s.", (LPCTSTR)strName,
                    lpszWhy);
    return FALSE;
}

// The body of a bracketed name starting at p[0] == '[', its doubled "]" undone; the position
// after the closing bracket, or -1 when it does not close.
int ReadBracketed(const CString& str, int nStart, CString& strBody) {
    strBody.Empty();
    const int nLength = str.GetLength();
    for (int i = nStart + 1; i < nLength; ++i) {
        if (str[i] != ']') {
            strBody += str[i];
            continue;
        }
        if (i + 1 < nLength && str[i + 1] == ']') {
            strBody += ']';
            ++i;
            continue;
        }
        return i + 1;
    }
    return -1;
}

} // namespace

BOOL JetName(const CString& strName, CString& strReference, CString& strError) {
    strReference.Empty();
    strError.Empty();
    if (strName.IsEmpty())
        return RefuseName(strName, "it is empty", strError);
    for (int i = 0; i < strName.GetLength(); ++i) {
        const unsigned char c = static_cast<unsigned char>(strName[i]);
        if (c < 0x20 || c == 0x7F)
            return RefuseName(strName, "it holds a control character", strError);
    }
    CString strBody = strName;
    strBody.Replace("]", "]]");
    strReference = "[" + strBody + "]";
    return TRUE;
}

BOOL JetFieldReference(const CString& strField, const CString& strSourceField,
                       CString& strReference, CString& strError) {
    const int nQualifier = strField.GetLength() - strSourceField.GetLength() - 1;
    if (!strSourceField.IsEmpty() && nQualifier > 0 && strField[nQualifier] == '.' &&
        strField.Mid(nQualifier + 1) == strSourceField) {
        CString strTable, strColumn;
        if (!JetName(strField.Left(nQualifier), strTable, strError) ||
            !JetName(strSourceField, strColumn, strError))
            return FALSE;
        strReference = strTable + "." + strColumn;
        return TRUE;
    }
    return JetName(strField, strReference, strError);
}

CString JetNameOf(const CString& strReference) {
    if (strReference.IsEmpty() || strReference[0] != '[')
        return strReference;
    CString strFirst, strSecond;
    const int nEnd = ReadBracketed(strReference, 0, strFirst);
    if (nEnd == strReference.GetLength())
        return strFirst;
    if (nEnd > 0 && nEnd + 1 < strReference.GetLength() && strReference[nEnd] == '.' &&
        strReference[nEnd + 1] == '[' &&
        ReadBracketed(strReference, nEnd + 1, strSecond) == strReference.GetLength())
        return strFirst + "." + strSecond;
    return strReference;
}

CString JetText(const CString& strText) {
    CString strBody = strText;
    strBody.Replace("\"", "\"\"");
    return "\"" + strBody + "\"";
}

BOOL JetNumber(double dValue, CString& strLiteral) {
    if (!std::isfinite(dValue))
        return FALSE;
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", dValue);
    strLiteral = buffer;
    return TRUE;
}

BOOL JetDate(const COleDateTime& date, CString& strLiteral) {
    if (date.GetStatus() != COleDateTime::valid || date.GetYear() < 0)
        return FALSE;
    CString strOut;
    strOut.Format("#%d/%d/%04d", date.GetMonth(), date.GetDay(), date.GetYear());
    const int nHour = date.GetHour(), nMinute = date.GetMinute(), nSecond = date.GetSecond();
    if (nHour != 0 || nMinute != 0 || nSecond != 0)
        strOut.AppendFormat(" %d:%02d:%02d", nHour, nMinute, nSecond);
    strLiteral = strOut + "#";
    return TRUE;
}

CString JetBoolean(BOOL bValue) {
    return bValue ? "True" : "False";
}

BOOL IsJetNumber(const CString& strText) {
    const CString str = Trimmed(strText);
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
        return FALSE;
    if (*p == 'e' || *p == 'E') {
        ++p;
        if (*p == '+' || *p == '-')
            ++p;
        if (!std::isdigit(static_cast<unsigned char>(*p)))
            return FALSE;
        while (std::isdigit(static_cast<unsigned char>(*p)))
            ++p;
    }
    return *p == '\0';
}

BOOL ParseJetBoolean(const CString& strText, BOOL& bValue) {
    const CString str = Trimmed(strText);
    static const char* const kTrue[] = {"True", "Yes", "On"};
    static const char* const kFalse[] = {"False", "No", "Off"};
    for (const char* word : kTrue)
        if (str.CompareNoCase(word) == 0) {
            bValue = TRUE;
            return TRUE;
        }
    for (const char* word : kFalse)
        if (str.CompareNoCase(word) == 0) {
            bValue = FALSE;
            return TRUE;
        }
    if (IsJetNumber(str)) {
        bValue = std::strtod(str, nullptr) != 0;
        return TRUE;
    }
    return FALSE;
}

JetLiteralError JetTypedLiteral(short nType, const CString& strText, CString& strLiteral) {
    strLiteral.Empty();
    switch (nType) {
    case dbText:
    case dbMemo:
        strLiteral = JetText(strText);
        return JetLiteralError::None;
    case dbDate: {
        COleDateTime date;
        if (!date.ParseDateTime(Trimmed(strText), 0, LANG_USER_DEFAULT) ||
            !JetDate(date, strLiteral))
            return JetLiteralError::NotDate;
        return JetLiteralError::None;
    }
    case dbBoolean: {
        // A number compares as the number it is (True is -1); a word as True or False.
        BOOL bValue = FALSE;
        if (IsJetNumber(strText))
            strLiteral = Trimmed(strText);
        else if (ParseJetBoolean(strText, bValue))
            strLiteral = JetBoolean(bValue);
        else
            return JetLiteralError::NotBoolean;
        return JetLiteralError::None;
    }
    case dbByte:
    case dbInteger:
    case dbLong:
    case dbCurrency:
    case dbSingle:
    case dbDouble:
        if (!IsJetNumber(strText))
            return JetLiteralError::NotNumber;
        strLiteral = Trimmed(strText);
        return JetLiteralError::None;
    default:
        return JetLiteralError::NotTyped;
    }
}

BOOL JetVariantLiteral(const COleVariant& var, CString& strLiteral) {
    strLiteral.Empty();
    switch (var.vt) {
    case VT_EMPTY:
    case VT_NULL:
        strLiteral = "Null";
        return TRUE;
    case VT_BSTR:
        strLiteral = JetText(CString(V_BSTRT(&var)));
        return TRUE;
    case VT_BOOL:
        strLiteral = JetBoolean(var.boolVal != 0);
        return TRUE;
    case VT_UI1:
        strLiteral.Format("%u", static_cast<unsigned>(var.bVal));
        return TRUE;
    case VT_I1:
        strLiteral.Format("%d", static_cast<int>(var.cVal));
        return TRUE;
    case VT_I2:
        strLiteral.Format("%d", static_cast<int>(var.iVal));
        return TRUE;
    case VT_UI2:
        strLiteral.Format("%u", static_cast<unsigned>(var.uiVal));
        return TRUE;
    case VT_I4:
        strLiteral.Format("%ld", static_cast<long>(var.lVal));
        return TRUE;
    case VT_UI4:
        strLiteral.Format("%lu", static_cast<unsigned long>(var.ulVal));
        return TRUE;
    case VT_INT:
        strLiteral.Format("%d", var.intVal);
        return TRUE;
    case VT_UINT:
        strLiteral.Format("%u", var.uintVal);
        return TRUE;
    case VT_I8:
        strLiteral.Format("%" PRId64, static_cast<std::int64_t>(var.llVal));
        return TRUE;
    case VT_UI8:
        strLiteral.Format("%" PRIu64, static_cast<std::uint64_t>(var.llVal));
        return TRUE;
    case VT_R4: {
        // A float written with the 9 digits that bring it back, not widened to 17.
        if (!std::isfinite(var.fltVal))
            return FALSE;
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.9g", static_cast<double>(var.fltVal));
        strLiteral = buffer;
        return TRUE;
    }
    case VT_R8:
        return JetNumber(var.dblVal, strLiteral);
    case VT_CY: {
        // Currency is a count of ten-thousandths: written from the integer, never rounded.
        const std::int64_t n = var.cyVal.int64;
        const std::uint64_t magnitude =
            n < 0 ? 0 - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
        strLiteral.Format("%s%" PRIu64 ".%04" PRIu64, n < 0 ? "-" : "", magnitude / 10000,
                          magnitude % 10000);
        return TRUE;
    }
    case VT_DATE:
        return JetDate(COleDateTime(var.date), strLiteral);
    default:
        return FALSE;
    }
}

BOOL JetKeyCondition(const CString& strField, const COleVariant& var, CString& strCondition,
                     CString& strError) {
    strCondition.Empty();
    CString strName, strLiteral;
    if (!JetName(strField, strName, strError))
        return FALSE;
    if (var.vt == VT_NULL || var.vt == VT_EMPTY) {
        strCondition = strName + " IS NULL";
        return TRUE;
    }
    if (!JetVariantLiteral(var, strLiteral)) {
        strError.Format("The value of the field \"%s\" cannot be written in a query.",
                        (LPCTSTR)strField);
        return FALSE;
    }
    // Between parentheses a text literal keeps the column's own, exact comparison: a key
    // "Smith" is not the record "smith".
    strCondition = strName + (var.vt == VT_BSTR ? " = (" + strLiteral + ")" : " = " + strLiteral);
    return TRUE;
}

} // namespace kel::records
