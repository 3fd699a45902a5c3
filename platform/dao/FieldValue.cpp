#include "platform/dao/FieldValue.h"

#include "platform/core/Exception.h"
#include "platform/dao/DaoConstants.h"
#include "platform/dao/DaoErrors.h"
#include "platform/dao/IsoDate.h"
#include "platform/dao/SqlLexer.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace kel::dao {

namespace {

struct NamedType {
    std::string_view name;
    short type;
};

constexpr NamedType kTypes[] = {
    {"BOOLEAN", dbBoolean},
    {"BIT", dbBoolean},
    {"YESNO", dbBoolean},
    {"LOGICAL", dbBoolean},
    {"BYTE", dbByte},
    {"TINYINT", dbByte},
    {"SMALLINT", dbInteger},
    {"SHORT", dbInteger},
    {"INTEGER", dbLong},
    {"INT", dbLong},
    {"LONG", dbLong},
    {"COUNTER", dbLong},
    {"AUTOINCREMENT", dbLong},
    {"CURRENCY", dbCurrency},
    {"MONEY", dbCurrency},
    {"SINGLE", dbSingle},
    {"FLOAT4", dbSingle},
    {"DOUBLE", dbDouble},
    {"DOUBLE PRECISION", dbDouble},
    {"REAL", dbDouble},
    {"FLOAT", dbDouble},
    {"FLOAT8", dbDouble},
    {"NUMERIC", dbDouble},
    {"DECIMAL", dbDouble},
    {"DATE", dbDate},
    {"DATETIME", dbDate},
    {"TIMESTAMP", dbDate},
    {"TIME", dbDate},
    {"BINARY", dbBinary},
    {"VARBINARY", dbBinary},
    {"TEXT", dbText},
    {"VARCHAR", dbText},
    {"CHAR", dbText},
    {"NVARCHAR", dbText},
    {"NCHAR", dbText},
    {"CHARACTER", dbText},
    {"STRING", dbText},
    {"BLOB", dbLongBinary},
    {"IMAGE", dbLongBinary},
    {"LONGBINARY", dbLongBinary},
    {"OLEOBJECT", dbLongBinary},
    {"GENERAL", dbLongBinary},
    {"MEMO", dbMemo},
    {"LONGTEXT", dbMemo},
    {"CLOB", dbMemo},
    {"NOTE", dbMemo},
    {"LONGCHAR", dbMemo},
};

std::string Upper(std::string_view s) {
    std::string out;
    bool blank = false;
    for (char c : s) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            blank = !out.empty();
            continue;
        }
        if (blank)
            out += ' ';
        blank = false;
        out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

void SetText(COleVariant& out, std::string_view text) {
    out.Clear();
    out.vt = VT_BSTR;
    out.bstrVal = SysAllocStringByteLen(text.data(), static_cast<UINT>(text.size()));
}

std::string RealText(double d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.15g", d);
    return buf;
}

// The value as it is, with no field type to follow.
void NaturalVariant(const Cell& cell, COleVariant& out) {
    switch (cell.kind) {
    case EngineValue::Kind::Integer:
        if (cell.integer >= std::numeric_limits<LONG>::min() &&
            cell.integer <= std::numeric_limits<LONG>::max()) {
            out = static_cast<LONG>(cell.integer);
        } else {
            // All 64 bits: a double would round 13350000000000001.
            out.Clear();
            out.vt = VT_I8;
            out.llVal = cell.integer;
        }
        break;
    case EngineValue::Kind::Real:
        out = cell.real;
        break;
    case EngineValue::Kind::Text:
        SetText(out, cell.bytes);
        break;
    case EngineValue::Kind::Blob:
        SetBytes(out, cell.bytes);
        break;
    default:
        out.Clear();
        out.vt = VT_NULL;
        break;
    }
}

bool NumberOf(const Cell& cell, double& d) {
    if (cell.kind == EngineValue::Kind::Integer) {
        d = static_cast<double>(cell.integer);
        return true;
    }
    if (cell.kind == EngineValue::Kind::Real) {
        d = cell.real;
        return true;
    }
    return false;
}

bool BooleanWord(std::string_view text, bool& value) {
    CString t(std::string{text});
    t.Trim();
    for (const char* w : {"Yes", "True", "On"}) {
        if (t.CompareNoCase(w) == 0)
            return value = true, true;
    }
    for (const char* w : {"No", "False", "Off"}) {
        if (t.CompareNoCase(w) == 0)
            return value = false, true;
    }
    return false;
}

size_t CharacterCount(std::string_view utf8) {
    size_t n = 0;
    for (unsigned char c : utf8)
        n += (c & 0xC0) != 0x80;
    return n;
}

long ToDouble(const VARIANT& value, double& d) {
    COleVariant tmp;
    HRESULT hr = VariantChangeType(&tmp, &value, 0, VT_R8);
    if (FAILED(hr))
        return hr == DISP_E_OVERFLOW ? err::NumericOverflow : err::ConversionError;
    d = tmp.dblVal;
    return 0;
}

} // namespace

void SetBytes(COleVariant& out, std::string_view bytes) {
    out.Clear();
    SAFEARRAY* sa = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
    if (!sa)
        AfxThrowMemoryException();
    if (!bytes.empty())
        std::memcpy(sa->pvData, bytes.data(), bytes.size());
    out.vt = VT_ARRAY | VT_UI1;
    out.parray = sa;
}

DaoType DaoTypeFromDeclaration(std::string_view declared) {
    std::string decl = Upper(declared);
    if (decl.empty())
        return {};
    long size = -1;
    size_t paren = decl.find('(');
    std::string base = decl.substr(0, paren);
    while (!base.empty() && base.back() == ' ')
        base.pop_back();
    if (paren != std::string::npos) {
        long n = std::strtol(decl.c_str() + paren + 1, nullptr, 10);
        if (n > 0)
            size = n;
    }
    for (const NamedType& t : kTypes) {
        if (base != t.name)
            continue;
        if (t.type == dbText || t.type == dbBinary)
            return {t.type, size > 0 ? size : 255};
        return {t.type, FixedSize(t.type)};
    }
    // Any other name: the engine's affinity rules.
    if (decl.find("INT") != std::string::npos)
        return {dbLong, 4};
    if (decl.find("CHAR") != std::string::npos || decl.find("TEXT") != std::string::npos)
        return {dbText, size > 0 ? size : 255};
    if (decl.find("CLOB") != std::string::npos)
        return {dbMemo, 0};
    if (decl.find("BLOB") != std::string::npos)
        return {dbLongBinary, 0};
    return {dbDouble, 8};
}

DaoType DaoTypeFromValue(EngineValue::Kind kind, std::int64_t integer) {
    switch (kind) {
    case EngineValue::Kind::Integer:
        if (integer >= std::numeric_limits<LONG>::min() &&
            integer <= std::numeric_limits<LONG>::max())
            return {dbLong, 4};
        return {dbDouble, 8};
    case EngineValue::Kind::Real:
        return {dbDouble, 8};
    case EngineValue::Kind::Blob:
        return {dbLongBinary, 0};
    default:
        return {dbText, 255};
    }
}

long FixedSize(short type) {
    switch (type) {
    case dbBoolean:
    case dbByte:
        return 1;
    case dbInteger:
        return 2;
    case dbLong:
    case dbSingle:
        return 4;
    case dbCurrency:
    case dbDouble:
    case dbDate:
        return 8;
    default:
        return 0;
    }
}

void CellToVariant(const Cell& cell, short daoType, COleVariant& out) {
    if (cell.kind == EngineValue::Kind::Null) {
        out.Clear();
        out.vt = VT_NULL;
        return;
    }
    double d = 0;
    const bool numeric = NumberOf(cell, d);
    switch (daoType) {
    case dbBoolean: {
        bool b = false;
        if (numeric)
            b = d != 0;
        else if (cell.kind != EngineValue::Kind::Text || !BooleanWord(cell.bytes, b))
            break;
        out = COleVariant(static_cast<short>(b ? -1 : 0), VT_BOOL);
        return;
    }
    case dbByte:
    case dbInteger:
    case dbLong: {
        // A fraction stored in an integer column is shown as it is, not rounded.
        if (!numeric || (cell.kind == EngineValue::Kind::Real && d != std::nearbyint(d)))
            break;
        double r = std::nearbyint(d);
        if (daoType == dbByte && r >= 0 && r <= 255)
            out = static_cast<BYTE>(r);
        else if (daoType == dbInteger && r >= -32768 && r <= 32767)
            out = static_cast<short>(r);
        else if (daoType == dbLong && r >= std::numeric_limits<LONG>::min() &&
                 r <= std::numeric_limits<LONG>::max())
            out = static_cast<LONG>(r);
        else
            break;
        return;
    }
    case dbCurrency: {
        COleCurrency cur;
        if (cell.kind == EngineValue::Kind::Integer)
            cur.m_cur.int64 = cell.integer * 10000;
        else if (cell.kind == EngineValue::Kind::Real)
            cur = COleCurrency::FromDouble(cell.real);
        else if (cell.kind != EngineValue::Kind::Text || !cur.ParseCurrency(cell.bytes.c_str()))
            break;
        if (cur.GetStatus() != COleCurrency::valid)
            break;
        out = cur;
        return;
    }
    case dbSingle:
        if (!numeric)
            break;
        out = static_cast<float>(d);
        return;
    case dbDouble:
        // An integer beyond a double's 53 bits keeps its digits.
        if (!numeric || (cell.kind == EngineValue::Kind::Integer &&
                         (cell.integer > (1LL << 53) || cell.integer < -(1LL << 53))))
            break;
        out = d;
        return;
    case dbDate: {
        // Dates are stored as ISO text; a number in a date column (the engine turns a typed
        // "1999" into one) is shown as the number it is, not as a day counted from 1899.
        DATE date = 0;
        if (cell.kind != EngineValue::Kind::Text || !ParseIsoDate(cell.bytes, date))
            break;
        out = COleDateTime(date);
        return;
    }
    case dbText:
    case dbMemo:
        if (cell.kind == EngineValue::Kind::Integer)
            SetText(out, std::to_string(cell.integer));
        else if (cell.kind == EngineValue::Kind::Real)
            SetText(out, RealText(cell.real));
        else
            SetText(out, cell.bytes);
        return;
    case dbBinary:
    case dbLongBinary:
        if (cell.kind == EngineValue::Kind::Text || cell.kind == EngineValue::Kind::Blob) {
            SetBytes(out, cell.bytes);
            return;
        }
        break;
    default:
        break;
    }
    NaturalVariant(cell, out);
}

long VariantToCell(const VARIANT& value, short daoType, long size, Cell& out) {
    out = Cell();
    if (value.vt == VT_EMPTY || value.vt == VT_NULL)
        return 0;
    const bool text = value.vt == VT_BSTR;
    const bool bytes = value.vt == (VT_ARRAY | VT_UI1);
    if (bytes && daoType != dbBinary && daoType != dbLongBinary && daoType != 0)
        return err::ConversionError;
    switch (daoType) {
    case dbBoolean: {
        bool b = false;
        double d = 0;
        if (text && BooleanWord(value.bstrVal ? value.bstrVal : "", b)) {
        } else if (long code = ToDouble(value, d)) {
            return code == err::NumericOverflow ? err::ConversionError : code;
        } else {
            b = d != 0;
        }
        out.kind = EngineValue::Kind::Integer;
        out.integer = b ? -1 : 0;
        return 0;
    }
    case dbByte:
    case dbInteger:
    case dbLong: {
        double d = 0;
        if (long code = ToDouble(value, d))
            return code;
        double r = std::nearbyint(d);
        double lo = daoType == dbByte ? 0 : daoType == dbInteger ? -32768 : -2147483648.0;
        double hi = daoType == dbByte ? 255 : daoType == dbInteger ? 32767 : 2147483647.0;
        if (!(r >= lo && r <= hi))
            return err::NumericOverflow;
        out.kind = EngineValue::Kind::Integer;
        out.integer = static_cast<std::int64_t>(r);
        return 0;
    }
    case dbCurrency: {
        COleVariant tmp;
        HRESULT hr = VariantChangeType(&tmp, &value, 0, VT_CY);
        if (FAILED(hr))
            return hr == DISP_E_OVERFLOW ? err::NumericOverflow : err::ConversionError;
        // Whole amounts stay integers; others are reals rounded to four decimals.
        if (tmp.cyVal.int64 % 10000 == 0) {
            out.kind = EngineValue::Kind::Integer;
            out.integer = tmp.cyVal.int64 / 10000;
        } else {
            out.kind = EngineValue::Kind::Real;
            out.real = static_cast<double>(tmp.cyVal.int64) / 10000.0;
        }
        return 0;
    }
    case dbSingle:
    case dbDouble: {
        double d = 0;
        if (long code = ToDouble(value, d))
            return code;
        if (daoType == dbSingle) {
            if (std::fabs(d) > std::numeric_limits<float>::max())
                return err::NumericOverflow;
            d = static_cast<float>(d);
        }
        out.kind = EngineValue::Kind::Real;
        out.real = d;
        return 0;
    }
    case dbDate: {
        DATE date = 0;
        if (text) {
            COleDateTime dt;
            if (!dt.ParseDateTime(value.bstrVal ? value.bstrVal : ""))
                return err::ConversionError;
            date = dt.m_dt;
        } else {
            COleVariant tmp;
            HRESULT hr = VariantChangeType(&tmp, &value, 0, VT_DATE);
            if (FAILED(hr))
                return hr == DISP_E_OVERFLOW ? err::NumericOverflow : err::ConversionError;
            date = tmp.date;
        }
        std::string iso = FormatIsoDate(date);
        if (iso.empty())
            return err::NumericOverflow;
        out.kind = EngineValue::Kind::Text;
        out.bytes = std::move(iso);
        return 0;
    }
    case dbText:
    case dbMemo: {
        COleVariant tmp;
        if (FAILED(VariantChangeType(&tmp, &value, 0, VT_BSTR)))
            return err::ConversionError;
        out.kind = EngineValue::Kind::Text;
        out.bytes.assign(tmp.bstrVal ? tmp.bstrVal : "", SysStringByteLen(tmp.bstrVal));
        if (daoType == dbText && size > 0 && CharacterCount(out.bytes) > static_cast<size_t>(size))
            return err::FieldTooSmall;
        return 0;
    }
    case dbBinary:
    case dbLongBinary:
        if (bytes) {
            out.bytes.assign(static_cast<const char*>(value.parray->pvData),
                             value.parray->rgsabound[0].cElements);
        } else if (text) {
            out.bytes.assign(value.bstrVal ? value.bstrVal : "", SysStringByteLen(value.bstrVal));
        } else {
            return err::ConversionError;
        }
        out.kind = EngineValue::Kind::Blob;
        if (daoType == dbBinary && size > 0 && out.bytes.size() > static_cast<size_t>(size))
            return err::FieldTooSmall;
        return 0;
    default:
        break;
    }
    // No declared type: the value goes in as it is.
    switch (value.vt) {
    case VT_BSTR:
        out.kind = EngineValue::Kind::Text;
        out.bytes.assign(value.bstrVal ? value.bstrVal : "", SysStringByteLen(value.bstrVal));
        return 0;
    case VT_ARRAY | VT_UI1:
        out.kind = EngineValue::Kind::Blob;
        out.bytes.assign(static_cast<const char*>(value.parray->pvData),
                         value.parray->rgsabound[0].cElements);
        return 0;
    case VT_R4:
    case VT_R8:
        out.kind = EngineValue::Kind::Real;
        out.real = value.vt == VT_R4 ? value.fltVal : value.dblVal;
        return 0;
    case VT_CY:
        return VariantToCell(value, dbCurrency, 0, out);
    case VT_DATE:
        return VariantToCell(value, dbDate, 0, out);
    case VT_BOOL:
        return VariantToCell(value, dbBoolean, 0, out);
    default: {
        COleVariant tmp;
        if (FAILED(VariantChangeType(&tmp, &value, 0, VT_I8)))
            return err::ConversionError;
        out.kind = EngineValue::Kind::Integer;
        out.integer = tmp.llVal;
        return 0;
    }
    }
}

} // namespace kel::dao
