#include "platform/core/OleCurrency.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace {

constexpr LONGLONG kScale = 10000;

} // namespace

COleCurrency::COleCurrency(long nUnits, long nFractionalUnits) : m_cur{0}, m_status(valid) {
    SetCurrency(nUnits, nFractionalUnits);
}

COleCurrency::COleCurrency(const VARIANT& varSrc) : m_cur{0}, m_status(valid) {
    *this = varSrc;
}

void COleCurrency::SetCurrency(long nUnits, long nFractionalUnits) {
    LONGLONG frac = nFractionalUnits;
    if (nUnits < 0 && frac > 0)
        frac = -frac;
    m_cur.int64 = static_cast<LONGLONG>(nUnits) * kScale + frac;
    m_status = valid;
}

BOOL COleCurrency::ParseCurrency(LPCTSTR lpszCurrency, DWORD /*dwFlags*/, LCID /*lcid*/) {
    m_cur.int64 = 0;
    m_status = invalid;
    if (!lpszCurrency)
        return FALSE;
    std::string s(lpszCurrency);
    // Trim, then take sign marks: a leading '-', or the whole amount in parentheses.
    size_t b = s.find_first_not_of(" \t\r\n");
    size_t e = s.find_last_not_of(" \t\r\n");
    if (b == std::string::npos)
        return FALSE;
    s = s.substr(b, e - b + 1);
    bool negative = false;
    if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
        negative = true;
        s = s.substr(1, s.size() - 2);
    }
    size_t i = 0;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
        negative = negative || s[i] == '-';
        ++i;
    }
    if (i < s.size() && s[i] == '$')
        ++i;
    if (!negative && i < s.size() && s[i] == '-') {
        negative = true;
        ++i;
    }
    LONGLONG units = 0;
    int digits = 0;
    for (; i < s.size() && (std::isdigit(static_cast<unsigned char>(s[i])) || s[i] == ','); ++i) {
        if (s[i] == ',')
            continue;
        if (units > (std::numeric_limits<LONGLONG>::max() / kScale - 9) / 10)
            return FALSE;
        units = units * 10 + (s[i] - '0');
        ++digits;
    }
    LONGLONG frac = 0;
    int fracDigits = 0;
    bool roundUp = false;
    if (i < s.size() && s[i] == '.') {
        ++i;
        for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i) {
            if (fracDigits < 4) {
                frac = frac * 10 + (s[i] - '0');
            } else if (fracDigits == 4) {
                roundUp = s[i] >= '5';
            }
            ++fracDigits;
            ++digits;
        }
    }
    if (i != s.size() || digits == 0)
        return FALSE;
    for (int k = fracDigits; k < 4; ++k)
        frac *= 10;
    LONGLONG value = units * kScale + frac + (roundUp ? 1 : 0);
    m_cur.int64 = negative ? -value : value;
    m_status = valid;
    return TRUE;
}

CString COleCurrency::Format(DWORD /*dwFlags*/, LCID /*lcid*/) const {
    if (m_status == null)
        return CString();
    if (m_status == invalid)
        return CString("Invalid currency");
    LONGLONG v = m_cur.int64;
    bool negative = v < 0;
    unsigned long long mag =
        negative ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%llu", negative ? "-" : "", mag / kScale);
    std::string out = buf;
    unsigned long long frac = mag % kScale;
    if (frac != 0) {
        std::snprintf(buf, sizeof buf, ".%04llu", frac);
        std::string f = buf;
        while (f.back() == '0')
            f.pop_back();
        out += f;
    }
    return CString(std::move(out));
}

COleCurrency& COleCurrency::operator=(CY cySrc) {
    m_cur = cySrc;
    m_status = valid;
    return *this;
}

COleCurrency& COleCurrency::operator=(const VARIANT& varSrc) {
    if (varSrc.vt == VT_NULL) {
        m_cur.int64 = 0;
        m_status = null;
        return *this;
    }
    VARIANT cy; // VT_CY, or left empty: nothing to free
    VariantInit(&cy);
    const bool ok = SUCCEEDED(VariantChangeType(&cy, &varSrc, 0, VT_CY));
    m_cur.int64 = ok ? cy.cyVal.int64 : 0;
    m_status = ok ? valid : invalid;
    return *this;
}

bool COleCurrency::operator==(const COleCurrency& cur) const {
    return m_status == cur.m_status && m_cur.int64 == cur.m_cur.int64;
}

bool COleCurrency::operator<(const COleCurrency& cur) const {
    return m_cur.int64 < cur.m_cur.int64;
}

COleCurrency COleCurrency::operator+(const COleCurrency& cur) const {
    COleCurrency r;
    if (m_status != valid || cur.m_status != valid ||
        __builtin_add_overflow(m_cur.int64, cur.m_cur.int64, &r.m_cur.int64))
        r.m_status = invalid;
    return r;
}

COleCurrency COleCurrency::operator-(const COleCurrency& cur) const {
    COleCurrency r;
    if (m_status != valid || cur.m_status != valid ||
        __builtin_sub_overflow(m_cur.int64, cur.m_cur.int64, &r.m_cur.int64))
        r.m_status = invalid;
    return r;
}

COleCurrency COleCurrency::operator-() const {
    COleCurrency r;
    if (m_status != valid || __builtin_sub_overflow(0LL, m_cur.int64, &r.m_cur.int64))
        r.m_status = invalid;
    return r;
}

COleCurrency COleCurrency::operator*(long nOperand) const {
    COleCurrency r;
    if (m_status != valid ||
        __builtin_mul_overflow(m_cur.int64, static_cast<LONGLONG>(nOperand), &r.m_cur.int64))
        r.m_status = invalid;
    return r;
}

COleCurrency COleCurrency::operator/(long nOperand) const {
    COleCurrency r;
    // The smallest amount divided by -1 has no quotient in range.
    if (m_status != valid || nOperand == 0 ||
        (nOperand == -1 && m_cur.int64 == std::numeric_limits<LONGLONG>::min()))
        r.m_status = invalid;
    else
        r.m_cur.int64 = m_cur.int64 / nOperand;
    return r;
}

COleCurrency COleCurrency::FromDouble(double d) {
    COleCurrency r;
    double scaled = std::nearbyint(d * kScale);
    if (!std::isfinite(scaled) || std::fabs(scaled) > 9.2e18)
        r.m_status = invalid;
    else
        r.m_cur.int64 = static_cast<LONGLONG>(scaled);
    return r;
}
