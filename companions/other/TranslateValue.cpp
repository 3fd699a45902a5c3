#include "companions/other/TranslateValue.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

// "1234567.25" -> "1,234,567.25" (the sign and the decimals are kept as they are).
std::string GroupThousands(const std::string& plain) {
    size_t start = (!plain.empty() && (plain[0] == '-' || plain[0] == '+')) ? 1 : 0;
    size_t end = plain.find_first_not_of("0123456789", start);
    if (end == std::string::npos)
        end = plain.size();
    std::string out = plain.substr(0, start);
    for (size_t i = start; i < end; ++i) {
        out += plain[i];
        size_t left = end - i - 1;
        if (left > 0 && left % 3 == 0)
            out += ',';
    }
    out += plain.substr(end);
    return out;
}

// Shortest text that reads back as the same value at the type's precision.
std::string PlainNumber(double d, int precision) {
    // printf's "%.*g", in the "C" locale whatever the host set.
    char buf[64];
    const auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, d, std::chars_format::general, precision);
    std::string s(buf, ec == std::errc() ? end : buf);
    return s == "-0" ? "0" : s;
}

// Fixed two decimals, rounded half away from zero from an exact four-decimal amount.
std::string TwoDecimals(LONGLONG tenThousandths) {
    bool negative = tenThousandths < 0;
    unsigned long long mag = negative ? 0ULL - static_cast<unsigned long long>(tenThousandths)
                                      : static_cast<unsigned long long>(tenThousandths);
    unsigned long long cents = (mag + 50) / 100;
    char buf[48];
    char* p = buf;
    if (negative && cents)
        *p++ = '-';
    p = std::to_chars(p, buf + sizeof buf, cents / 100).ptr;
    const unsigned rest = static_cast<unsigned>(cents % 100);
    *p++ = '.';
    *p++ = static_cast<char>('0' + rest / 10);
    *p++ = static_cast<char>('0' + rest % 10);
    return std::string(buf, p);
}

std::string WithSymbol(const std::string& amount) {
    const bool negative = !amount.empty() && amount[0] == '-';
    std::string out(negative ? "-$" : "$");
    out.append(GroupThousands(negative ? amount.substr(1) : amount));
    return out;
}

// Numbers of every numeric tag, in the forms the number codes share.
std::string FormatNumber(const std::string& plain, double value, WORD wFormat) {
    switch (wFormat) {
    case TVF_THOUSANDS:
        return GroupThousands(plain);
    case TVF_CURRENCY:
        // Beyond the currency type's range the amount keeps its plain digits.
        if (!(std::fabs(value) < 9.0e14))
            return WithSymbol(plain);
        return WithSymbol(TwoDecimals(std::llround(value * 10000.0)));
    case TVF_PERCENT:
        return PlainNumber(value * 100.0, 15) + "%";
    default:
        return plain;
    }
}

std::string FormatDate(DATE value, WORD wFormat) {
    COleDateTime dt(value);
    if (dt.GetStatus() != COleDateTime::valid || dt.GetYear() == AFX_OLE_DATETIME_ERROR)
        return std::string();
    switch (wFormat) {
    case TVF_LONGDATE:
        // "%#d": the day as it is spoken, without a leading zero.
        return dt.Format("%A, %B %#d, %Y").str();
    case TVF_TIME:
        return dt.Format("%H:%M:%S").str();
    case TVF_DATETIME:
        return dt.Format("%m/%d/%Y %H:%M:%S").str();
    default:
        return dt.Format().str();
    }
}

std::string FormatBool(bool value, WORD wFormat) {
    switch (wFormat) {
    case TVF_TRUEFALSE:
        return value ? "True" : "False";
    case TVF_ONOFF:
        return value ? "On" : "Off";
    default:
        return value ? "Yes" : "No";
    }
}

// Only the size is shown: it is read from the array, never copying the value.
std::string FormatBinary(const COleVariant& var) {
    const ULONG n = var.parray != nullptr ? var.parray->rgsabound[0].cElements : 0;
    return "(binary " + std::to_string(n) + (n == 1 ? " byte)" : " bytes)");
}

template <class T> std::string Integer(T n) {
    return std::to_string(n);
}

} // namespace

void TranslateValue(const COleVariant& var, CString& text, WORD wFormat) {
    std::string out;
    switch (var.vt) {
    case VT_EMPTY:
    case VT_NULL:
        break;
    case VT_BSTR:
        out.assign(var.bstrVal ? var.bstrVal : "", SysStringByteLen(var.bstrVal));
        break;
    case VT_BOOL:
        out = FormatBool(var.boolVal != VARIANT_FALSE, wFormat);
        break;
    case VT_DATE:
        out = FormatDate(var.date, wFormat);
        break;
    case VT_CY: {
        const LONGLONG amount = var.cyVal.int64;
        if (wFormat == TVF_THOUSANDS)
            out = GroupThousands(TwoDecimals(amount));
        else if (wFormat == TVF_CURRENCY)
            out = WithSymbol(TwoDecimals(amount));
        else if (wFormat == TVF_PERCENT)
            out = PlainNumber(static_cast<double>(amount) / 100.0, 15) + "%";
        else
            out = TwoDecimals(amount);
        break;
    }
    case VT_R4:
        out = FormatNumber(PlainNumber(var.fltVal, 7), var.fltVal, wFormat);
        break;
    case VT_R8:
        out = FormatNumber(PlainNumber(var.dblVal, 15), var.dblVal, wFormat);
        break;
    case VT_UI1:
        out = FormatNumber(Integer(var.bVal), var.bVal, wFormat);
        break;
    case VT_I2:
        out = FormatNumber(Integer(var.iVal), var.iVal, wFormat);
        break;
    case VT_I4:
        out = FormatNumber(Integer(var.lVal), var.lVal, wFormat);
        break;
    case VT_I8:
        out = FormatNumber(Integer(var.llVal), static_cast<double>(var.llVal), wFormat);
        break;
    case VT_ARRAY | VT_UI1:
        out = FormatBinary(var);
        break;
    default: {
        // Any other tag: the system's own conversion to text, or nothing when it has none.
        COleVariant converted;
        if (SUCCEEDED(VariantChangeType(&converted, &var, 0, VT_BSTR)))
            out.assign(converted.bstrVal ? converted.bstrVal : "",
                       SysStringByteLen(converted.bstrVal));
        break;
    }
    }
    text = CString(std::move(out));
}
