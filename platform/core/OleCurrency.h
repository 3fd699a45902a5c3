// COleCurrency: a 64-bit amount with four decimals.
#pragma once

#include "platform/core/String.h"
#include "platform/core/Variant.h"

class COleCurrency {
public:
    enum CurrencyStatus { valid = 0, invalid = 1, null = 2 };

    COleCurrency() : m_cur{0}, m_status(valid) {}
    COleCurrency(CY cySrc) : m_cur(cySrc), m_status(valid) {}
    COleCurrency(long nUnits, long nFractionalUnits);
    COleCurrency(const VARIANT& varSrc);

    CurrencyStatus GetStatus() const { return m_status; }
    void SetStatus(CurrencyStatus status) { m_status = status; }

    // Units and ten-thousandths; the fraction takes the sign of the units.
    void SetCurrency(long nUnits, long nFractionalUnits);

    // Reads "1234.5678", "-12", "$1,234.50", "(12.50)"; FALSE and status invalid otherwise.
    BOOL ParseCurrency(LPCTSTR lpszCurrency, DWORD dwFlags = 0, LCID lcid = 0x0400);
    // The plain text: as many decimals as needed, none when whole ("1234.5", "-3").
    CString Format(DWORD dwFlags = 0, LCID lcid = 0x0400) const;

    COleCurrency& operator=(CY cySrc);
    COleCurrency& operator=(const VARIANT& varSrc);

    bool operator==(const COleCurrency& cur) const;
    bool operator!=(const COleCurrency& cur) const { return !(*this == cur); }
    bool operator<(const COleCurrency& cur) const;
    bool operator>(const COleCurrency& cur) const { return cur < *this; }
    bool operator<=(const COleCurrency& cur) const { return !(cur < *this); }
    bool operator>=(const COleCurrency& cur) const { return !(*this < cur); }

    COleCurrency operator+(const COleCurrency& cur) const;
    COleCurrency operator-(const COleCurrency& cur) const;
    COleCurrency operator-() const;
    COleCurrency operator*(long nOperand) const;
    COleCurrency operator/(long nOperand) const;
    COleCurrency& operator+=(const COleCurrency& cur) { return *this = *this + cur; }
    COleCurrency& operator-=(const COleCurrency& cur) { return *this = *this - cur; }

    operator CY() const { return m_cur; }
    double ToDouble() const { return static_cast<double>(m_cur.int64) / 10000.0; }
    static COleCurrency FromDouble(double d);

    CY m_cur;
    CurrencyStatus m_status;
};
