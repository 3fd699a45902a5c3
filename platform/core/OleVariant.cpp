#include "platform/core/OleVariant.h"
#include "platform/core/Exception.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

// ---------------------------------------------------------------------------
// BSTR: [uint32 byte length][bytes][NUL], the pointer pointing at the bytes.

BSTR SysAllocStringByteLen(LPCSTR psz, UINT len) {
    auto* block = static_cast<char*>(std::malloc(sizeof(uint32_t) + len + 1));
    if (!block)
        return NULL;
    uint32_t n = len;
    std::memcpy(block, &n, sizeof n);
    char* text = block + sizeof(uint32_t);
    if (psz)
        std::memcpy(text, psz, len);
    else
        std::memset(text, 0, len);
    text[len] = '\0';
    return text;
}

BSTR SysAllocString(LPCOLESTR psz) {
    if (!psz)
        return NULL;
    return SysAllocStringByteLen(psz, static_cast<UINT>(std::strlen(psz)));
}

BSTR SysAllocStringLen(const OLECHAR* pch, UINT cch) {
    return SysAllocStringByteLen(pch, cch);
}

void SysFreeString(BSTR bstr) {
    if (bstr)
        std::free(bstr - sizeof(uint32_t));
}

UINT SysStringByteLen(BSTR bstr) {
    if (!bstr)
        return 0;
    uint32_t n;
    std::memcpy(&n, bstr - sizeof(uint32_t), sizeof n);
    return n;
}

UINT SysStringLen(BSTR bstr) {
    return SysStringByteLen(bstr);
}

// ---------------------------------------------------------------------------
// Safe arrays: one dimension of single bytes.

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements) {
    if (vt != VT_UI1)
        return NULL;
    auto* psa = static_cast<SAFEARRAY*>(std::calloc(1, sizeof(SAFEARRAY)));
    if (!psa)
        return NULL;
    psa->cDims = 1;
    psa->cbElements = 1;
    psa->rgsabound[0].cElements = cElements;
    psa->rgsabound[0].lLbound = lLbound;
    psa->pvData = std::calloc(cElements ? cElements : 1, 1);
    if (!psa->pvData) {
        std::free(psa);
        return NULL;
    }
    return psa;
}

HRESULT SafeArrayDestroy(SAFEARRAY* psa) {
    if (!psa)
        return S_OK;
    std::free(psa->pvData);
    std::free(psa);
    return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* psa, SAFEARRAY** ppsaOut) {
    if (!ppsaOut)
        return E_INVALIDARG;
    *ppsaOut = NULL;
    if (!psa)
        return S_OK;
    SAFEARRAY* copy =
        SafeArrayCreateVector(VT_UI1, psa->rgsabound[0].lLbound, psa->rgsabound[0].cElements);
    if (!copy)
        return E_OUTOFMEMORY;
    if (psa->rgsabound[0].cElements)
        std::memcpy(copy->pvData, psa->pvData, psa->rgsabound[0].cElements);
    *ppsaOut = copy;
    return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData) {
    if (!psa || !ppvData)
        return E_INVALIDARG;
    ++psa->cLocks;
    *ppvData = psa->pvData;
    return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* psa) {
    if (!psa || psa->cLocks == 0)
        return E_INVALIDARG;
    --psa->cLocks;
    return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound) {
    if (!psa || nDim != 1 || !plLbound)
        return E_INVALIDARG;
    *plLbound = psa->rgsabound[0].lLbound;
    return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound) {
    if (!psa || nDim != 1 || !plUbound)
        return E_INVALIDARG;
    *plUbound = psa->rgsabound[0].lLbound + static_cast<LONG>(psa->rgsabound[0].cElements) - 1;
    return S_OK;
}

UINT SafeArrayGetDim(SAFEARRAY* psa) {
    return psa ? psa->cDims : 0;
}

// ---------------------------------------------------------------------------
// VARIANT life cycle.

void VariantInit(VARIANTARG* pvarg) {
    std::memset(static_cast<void*>(pvarg), 0, sizeof(VARIANT));
    pvarg->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANTARG* pvarg) {
    if (!pvarg)
        return E_INVALIDARG;
    if (pvarg->vt == VT_BSTR)
        SysFreeString(pvarg->bstrVal);
    else if (pvarg->vt == (VT_ARRAY | VT_UI1))
        SafeArrayDestroy(pvarg->parray);
    VariantInit(pvarg);
    return S_OK;
}

HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc) {
    if (!pvargDest || !pvargSrc)
        return E_INVALIDARG;
    if (pvargDest == pvargSrc)
        return S_OK;
    VARIANT tmp;
    VariantInit(&tmp);
    tmp = *pvargSrc; // scalars and the tag
    if (pvargSrc->vt == VT_BSTR) {
        tmp.bstrVal = pvargSrc->bstrVal ? SysAllocStringByteLen(pvargSrc->bstrVal,
                                                                SysStringByteLen(pvargSrc->bstrVal))
                                        : NULL;
    } else if (pvargSrc->vt == (VT_ARRAY | VT_UI1)) {
        HRESULT hr = SafeArrayCopy(pvargSrc->parray, &tmp.parray);
        if (FAILED(hr))
            return hr;
    } else if (pvargSrc->vt & VT_ARRAY) {
        return DISP_E_BADVARTYPE;
    }
    VariantClear(pvargDest);
    *pvargDest = tmp;
    return S_OK;
}

// ---------------------------------------------------------------------------
// Conversions.

namespace {

bool IsNumericTag(VARTYPE vt) {
    switch (vt) {
    case VT_UI1:
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_BOOL:
    case VT_I8:
    case VT_INT:
    case VT_UINT:
    case VT_I1:
    case VT_UI2:
    case VT_UI4:
    case VT_ERROR:
        return true;
    default:
        return false;
    }
}

double NumericValue(const VARIANT& v) {
    switch (v.vt) {
    case VT_UI1:
        return v.bVal;
    case VT_I1:
        return v.cVal;
    case VT_I2:
        return v.iVal;
    case VT_UI2:
        return v.uiVal;
    case VT_I4:
    case VT_ERROR:
        return v.lVal;
    case VT_UI4:
        return v.ulVal;
    case VT_INT:
        return v.intVal;
    case VT_UINT:
        return v.uintVal;
    case VT_I8:
        return static_cast<double>(v.llVal);
    case VT_R4:
        return v.fltVal;
    case VT_R8:
        return v.dblVal;
    case VT_CY:
        return static_cast<double>(v.cyVal.int64) / 10000.0;
    case VT_DATE:
        return v.date;
    case VT_BOOL:
        return v.boolVal ? -1.0 : 0.0;
    default:
        return 0.0;
    }
}

// A whole number text, or a decimal one; surrounding blanks allowed.
bool ParseNumber(const char* s, double& out) {
    if (!s)
        return false;
    while (std::isspace(static_cast<unsigned char>(*s)))
        ++s;
    if (!*s)
        return false;
    std::string clean;
    for (const char* p = s; *p; ++p) {
        if (*p == ',') // thousands separators of the user locale
            continue;
        clean += *p;
    }
    while (!clean.empty() && std::isspace(static_cast<unsigned char>(clean.back())))
        clean.pop_back();
    if (clean.empty())
        return false;
    // Hex and infinities are not numbers here.
    for (char c : clean) {
        if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '-' || c == '+' ||
              c == 'e' || c == 'E'))
            return false;
    }
    char* end = nullptr;
    errno = 0;
    double d = std::strtod(clean.c_str(), &end);
    if (end == clean.c_str() || *end != '\0' || errno == ERANGE || !std::isfinite(d))
        return false;
    out = d;
    return true;
}

HRESULT IntegerFrom(double d, double lo, double hi, LONGLONG& out) {
    double r = std::nearbyint(d); // half to even, as the system rounds
    if (!(r >= lo && r <= hi))
        return DISP_E_OVERFLOW;
    out = static_cast<LONGLONG>(r);
    return S_OK;
}

std::string FormatDouble(double d, int precision) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*g", precision, d);
    return buf;
}

HRESULT ToText(const VARIANT& src, USHORT wFlags, std::string& out) {
    switch (src.vt) {
    case VT_EMPTY:
        out.clear();
        return S_OK;
    case VT_BSTR:
        out.assign(src.bstrVal ? src.bstrVal : "", SysStringByteLen(src.bstrVal));
        return S_OK;
    case VT_BOOL:
        if (wFlags & VARIANT_ALPHABOOL)
            out = src.boolVal ? "True" : "False";
        else
            out = src.boolVal ? "-1" : "0";
        return S_OK;
    case VT_R4:
        out = FormatDouble(src.fltVal, 7);
        return S_OK;
    case VT_R8:
        out = FormatDouble(src.dblVal, 15);
        return S_OK;
    case VT_CY:
        out = COleCurrency(src.cyVal).Format().str();
        return S_OK;
    case VT_DATE: {
        COleDateTime dt;
        dt = src.date;
        if (dt.GetStatus() != COleDateTime::valid)
            return DISP_E_OVERFLOW;
        out = dt.Format().str();
        return S_OK;
    }
    case VT_I8:
        out = std::to_string(src.llVal);
        return S_OK;
    default:
        if (IsNumericTag(src.vt)) {
            out = std::to_string(static_cast<LONGLONG>(NumericValue(src)));
            return S_OK;
        }
        return DISP_E_TYPEMISMATCH;
    }
}

// Reads text as a number, or as True/False for booleans.
HRESULT NumberFromText(const VARIANT& src, VARTYPE target, double& out) {
    const char* s = src.bstrVal ? src.bstrVal : "";
    if (ParseNumber(s, out))
        return S_OK;
    if (target == VT_BOOL) {
        CString t(s);
        t.Trim();
        if (t.CompareNoCase("True") == 0) {
            out = -1;
            return S_OK;
        }
        if (t.CompareNoCase("False") == 0) {
            out = 0;
            return S_OK;
        }
    }
    return DISP_E_TYPEMISMATCH;
}

} // namespace

HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, USHORT wFlags,
                          VARTYPE vt) {
    if (!pvargDest || !pvarSrc)
        return E_INVALIDARG;
    const VARIANT& src = *pvarSrc;
    VARIANT result;
    VariantInit(&result);

    if (vt == src.vt)
        return VariantCopy(pvargDest, pvarSrc);
    if (src.vt == VT_NULL) {
        // Null converts to nothing but Null or Empty.
        if (vt != VT_EMPTY)
            return DISP_E_TYPEMISMATCH;
    } else if ((src.vt & VT_ARRAY) || (vt & VT_ARRAY)) {
        return DISP_E_TYPEMISMATCH;
    }

    switch (vt) {
    case VT_EMPTY:
        break;
    case VT_NULL:
        if (src.vt != VT_EMPTY)
            return DISP_E_TYPEMISMATCH;
        result.vt = VT_NULL;
        break;
    case VT_BSTR: {
        std::string text;
        HRESULT hr = ToText(src, wFlags, text);
        if (FAILED(hr))
            return hr;
        result.vt = VT_BSTR;
        result.bstrVal = SysAllocStringByteLen(text.data(), static_cast<UINT>(text.size()));
        break;
    }
    case VT_DATE: {
        double d = 0;
        if (src.vt == VT_BSTR) {
            COleDateTime dt;
            if (!dt.ParseDateTime(src.bstrVal ? src.bstrVal : ""))
                return DISP_E_TYPEMISMATCH;
            d = dt.m_dt;
        } else if (src.vt != VT_EMPTY) {
            if (!IsNumericTag(src.vt))
                return DISP_E_TYPEMISMATCH;
            d = NumericValue(src);
            if (d <= -657435.0 || d >= 2958466.0) // 1 January 100 to 31 December 9999
                return DISP_E_OVERFLOW;
        }
        result.vt = VT_DATE;
        result.date = d;
        break;
    }
    case VT_CY: {
        LONGLONG v = 0;
        if (src.vt == VT_BSTR) {
            COleCurrency cur;
            if (!cur.ParseCurrency(src.bstrVal ? src.bstrVal : ""))
                return DISP_E_TYPEMISMATCH;
            v = cur.m_cur.int64;
        } else if (src.vt == VT_I8) {
            if (__builtin_mul_overflow(src.llVal, 10000LL, &v))
                return DISP_E_OVERFLOW;
        } else if (src.vt != VT_EMPTY) {
            if (!IsNumericTag(src.vt))
                return DISP_E_TYPEMISMATCH;
            COleCurrency cur = COleCurrency::FromDouble(NumericValue(src));
            if (cur.GetStatus() != COleCurrency::valid)
                return DISP_E_OVERFLOW;
            v = cur.m_cur.int64;
        }
        result.vt = VT_CY;
        result.cyVal.int64 = v;
        break;
    }
    default: {
        double d = 0;
        if (src.vt == VT_BSTR) {
            HRESULT hr = NumberFromText(src, vt, d);
            if (FAILED(hr))
                return hr;
        } else if (src.vt != VT_EMPTY) {
            if (!IsNumericTag(src.vt))
                return DISP_E_TYPEMISMATCH;
            d = NumericValue(src);
        }
        LONGLONG n = 0;
        HRESULT hr = S_OK;
        switch (vt) {
        case VT_BOOL:
            result.boolVal = d != 0 ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        case VT_UI1:
            hr = IntegerFrom(d, 0, 255, n);
            result.bVal = static_cast<BYTE>(n);
            break;
        case VT_I1:
            hr = IntegerFrom(d, -128, 127, n);
            result.cVal = static_cast<char>(n);
            break;
        case VT_I2:
            hr = IntegerFrom(d, -32768, 32767, n);
            result.iVal = static_cast<SHORT>(n);
            break;
        case VT_UI2:
            hr = IntegerFrom(d, 0, 65535, n);
            result.uiVal = static_cast<USHORT>(n);
            break;
        case VT_I4:
        case VT_INT:
        case VT_ERROR:
            hr = IntegerFrom(d, -2147483648.0, 2147483647.0, n);
            result.lVal = static_cast<LONG>(n);
            break;
        case VT_UI4:
        case VT_UINT:
            hr = IntegerFrom(d, 0, 4294967295.0, n);
            result.ulVal = static_cast<ULONG>(n);
            break;
        case VT_I8:
            if (src.vt == VT_BSTR) {
                char* end = nullptr;
                errno = 0;
                long long ll = std::strtoll(src.bstrVal, &end, 10);
                if (errno == 0 && end && *end == '\0') {
                    result.llVal = ll;
                    break;
                }
            }
            hr = IntegerFrom(d, -9.2233720368547758e18, 9.2233720368547748e18, n);
            result.llVal = n;
            break;
        case VT_R4:
            if (std::fabs(d) > std::numeric_limits<float>::max())
                hr = DISP_E_OVERFLOW;
            result.fltVal = static_cast<float>(d);
            break;
        case VT_R8:
            result.dblVal = d;
            break;
        default:
            return DISP_E_BADVARTYPE;
        }
        if (FAILED(hr))
            return hr;
        result.vt = vt;
        break;
    }
    }
    // The result owns fresh memory, so the source may be the destination.
    VariantClear(pvargDest);
    *pvargDest = result;
    return S_OK;
}

// ---------------------------------------------------------------------------
// COleVariant.

namespace {

void CheckResult(HRESULT hr) {
    if (FAILED(hr))
        AfxThrowOleException(hr);
}

} // namespace

// Constructors start from an empty variant; most then assign, so each kind of value is set
// in one place.
COleVariant::COleVariant(const VARIANT& varSrc) : COleVariant() {
    *this = varSrc;
}

COleVariant::COleVariant(LPCVARIANT pSrc) : COleVariant() {
    *this = pSrc;
}

COleVariant::COleVariant(const COleVariant& varSrc)
    : COleVariant(static_cast<const VARIANT&>(varSrc)) {}

COleVariant::COleVariant(COleVariant&& varSrc) noexcept : tagVARIANT(varSrc) {
    VariantInit(&varSrc);
}

COleVariant::COleVariant(LPCTSTR lpszSrc) : COleVariant(lpszSrc, VT_BSTR) {}

COleVariant::COleVariant(LPCTSTR lpszSrc, VARTYPE vtSrc) : COleVariant() {
    SetString(lpszSrc, vtSrc);
}

COleVariant::COleVariant(const CString& strSrc) : COleVariant() {
    *this = strSrc;
}

COleVariant::COleVariant(BYTE nSrc) : COleVariant() {
    *this = nSrc;
}

COleVariant::COleVariant(short nSrc, VARTYPE vtSrc) : COleVariant() {
    ASSERT(vtSrc == VT_I2 || vtSrc == VT_BOOL);
    if (vtSrc == VT_BOOL) {
        vt = VT_BOOL;
        boolVal = nSrc ? VARIANT_TRUE : VARIANT_FALSE;
    } else {
        vt = VT_I2;
        iVal = nSrc;
    }
}

COleVariant::COleVariant(LONG lSrc, VARTYPE vtSrc) : COleVariant() {
    ASSERT(vtSrc == VT_I4 || vtSrc == VT_ERROR || vtSrc == VT_BOOL);
    if (vtSrc == VT_BOOL) {
        vt = VT_BOOL;
        boolVal = lSrc ? VARIANT_TRUE : VARIANT_FALSE;
    } else {
        vt = vtSrc == VT_ERROR ? VT_ERROR : VT_I4;
        lVal = lSrc;
    }
}

COleVariant::COleVariant(long lSrc, VARTYPE vtSrc) : COleVariant(static_cast<LONG>(lSrc), vtSrc) {}

COleVariant::COleVariant(float fltSrc) : COleVariant() {
    *this = fltSrc;
}

COleVariant::COleVariant(double dblSrc) : COleVariant() {
    *this = dblSrc;
}

COleVariant::COleVariant(const COleCurrency& curSrc) : COleVariant() {
    *this = curSrc;
}

COleVariant::COleVariant(const COleDateTime& timeSrc) : COleVariant() {
    *this = timeSrc;
}

COleVariant::COleVariant(const CByteArray& arrSrc) : COleVariant() {
    *this = arrSrc;
}

COleVariant& COleVariant::operator=(const VARIANT& varSrc) {
    if (&varSrc != this)
        CheckResult(VariantCopy(this, &varSrc));
    return *this;
}

COleVariant& COleVariant::operator=(const COleVariant& varSrc) {
    return *this = static_cast<const VARIANT&>(varSrc);
}

COleVariant& COleVariant::operator=(COleVariant&& varSrc) noexcept {
    if (&varSrc != this) {
        Clear();
        static_cast<VARIANT&>(*this) = static_cast<VARIANT&>(varSrc);
        VariantInit(&varSrc);
    }
    return *this;
}

COleVariant& COleVariant::operator=(LPCVARIANT pSrc) {
    if (pSrc)
        *this = *pSrc;
    else
        Clear();
    return *this;
}

COleVariant& COleVariant::operator=(LPCTSTR lpszSrc) {
    SetString(lpszSrc, VT_BSTR);
    return *this;
}

COleVariant& COleVariant::operator=(const CString& strSrc) {
    Clear();
    vt = VT_BSTR;
    bstrVal = SysAllocStringByteLen(strSrc, static_cast<UINT>(strSrc.GetLength()));
    return *this;
}

COleVariant& COleVariant::operator=(BYTE nSrc) {
    Clear();
    vt = VT_UI1;
    bVal = nSrc;
    return *this;
}

COleVariant& COleVariant::operator=(short nSrc) {
    Clear();
    vt = VT_I2;
    iVal = nSrc;
    return *this;
}

COleVariant& COleVariant::operator=(LONG lSrc) {
    Clear();
    vt = VT_I4;
    lVal = lSrc;
    return *this;
}

COleVariant& COleVariant::operator=(long lSrc) {
    return *this = static_cast<LONG>(lSrc);
}

COleVariant& COleVariant::operator=(float fltSrc) {
    Clear();
    vt = VT_R4;
    fltVal = fltSrc;
    return *this;
}

COleVariant& COleVariant::operator=(double dblSrc) {
    Clear();
    vt = VT_R8;
    dblVal = dblSrc;
    return *this;
}

COleVariant& COleVariant::operator=(const COleCurrency& curSrc) {
    Clear();
    if (curSrc.GetStatus() == COleCurrency::valid) {
        vt = VT_CY;
        cyVal = curSrc.m_cur;
    } else if (curSrc.GetStatus() == COleCurrency::null) {
        vt = VT_NULL;
    } else {
        vt = VT_ERROR;
        scode = DISP_E_OVERFLOW;
    }
    return *this;
}

COleVariant& COleVariant::operator=(const COleDateTime& dateSrc) {
    Clear();
    if (dateSrc.GetStatus() == COleDateTime::valid) {
        vt = VT_DATE;
        date = dateSrc.m_dt;
    } else if (dateSrc.GetStatus() == COleDateTime::null) {
        vt = VT_NULL;
    } else {
        vt = VT_ERROR;
        scode = DISP_E_OVERFLOW;
    }
    return *this;
}

COleVariant& COleVariant::operator=(const CByteArray& arrSrc) {
    SAFEARRAY* psa = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(arrSrc.GetSize()));
    if (!psa)
        AfxThrowMemoryException();
    if (arrSrc.GetSize())
        std::memcpy(psa->pvData, arrSrc.GetData(), static_cast<size_t>(arrSrc.GetSize()));
    Clear();
    vt = VT_ARRAY | VT_UI1;
    parray = psa;
    return *this;
}

bool COleVariant::operator==(const VARIANT& var) const {
    if (&var == this)
        return true;
    if (var.vt != vt)
        return false;
    switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
        return true;
    case VT_BOOL:
        return (boolVal != 0) == (var.boolVal != 0);
    case VT_UI1:
        return bVal == var.bVal;
    case VT_I1:
        return cVal == var.cVal;
    case VT_I2:
        return iVal == var.iVal;
    case VT_UI2:
        return uiVal == var.uiVal;
    case VT_I4:
    case VT_ERROR:
    case VT_INT:
        return lVal == var.lVal;
    case VT_UI4:
    case VT_UINT:
        return ulVal == var.ulVal;
    case VT_I8:
    case VT_UI8:
        return llVal == var.llVal;
    case VT_R4:
        return fltVal == var.fltVal;
    case VT_R8:
        return dblVal == var.dblVal;
    case VT_DATE:
        return date == var.date;
    case VT_CY:
        return cyVal.int64 == var.cyVal.int64;
    case VT_BSTR: {
        UINT n = SysStringByteLen(bstrVal);
        return n == SysStringByteLen(var.bstrVal) &&
               (n == 0 || std::memcmp(bstrVal, var.bstrVal, n) == 0);
    }
    case VT_ARRAY | VT_UI1: {
        if (!parray || !var.parray)
            return parray == var.parray;
        ULONG n = parray->rgsabound[0].cElements;
        return n == var.parray->rgsabound[0].cElements &&
               (n == 0 || std::memcmp(parray->pvData, var.parray->pvData, n) == 0);
    }
    default:
        return false;
    }
}

void COleVariant::Clear() {
    VariantClear(this);
}

void COleVariant::ChangeType(VARTYPE vartype, LPVARIANT pSrc) {
    if (!pSrc)
        pSrc = this;
    if (pSrc != this || vartype != vt)
        CheckResult(VariantChangeType(this, pSrc, 0, vartype));
}

void COleVariant::Attach(VARIANT& varSrc) {
    Clear();
    static_cast<VARIANT&>(*this) = varSrc;
    varSrc.vt = VT_EMPTY;
}

VARIANT COleVariant::Detach() {
    VARIANT v = *this;
    vt = VT_EMPTY;
    return v;
}

void COleVariant::SetString(LPCTSTR lpszSrc, VARTYPE vtSrc) {
    ASSERT(vtSrc == VT_BSTR);
    (void)vtSrc;
    Clear();
    vt = VT_BSTR;
    bstrVal = SysAllocString(lpszSrc ? lpszSrc : "");
}

void COleVariant::GetByteArray(CByteArray& arr) const {
    arr.RemoveAll();
    if (vt != (VT_ARRAY | VT_UI1) || !parray)
        return;
    ULONG n = parray->rgsabound[0].cElements;
    arr.SetSize(n);
    if (n)
        std::memcpy(arr.GetData(), parray->pvData, n);
}
