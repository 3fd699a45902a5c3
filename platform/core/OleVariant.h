// COleVariant: a VARIANT that owns its value.
#pragma once

#include "platform/core/Array.h"
#include "platform/core/OleCurrency.h"
#include "platform/core/OleDateTime.h"
#include "platform/core/Variant.h"

class COleVariant : public tagVARIANT {
public:
    COleVariant() { VariantInit(this); }
    COleVariant(const VARIANT& varSrc);
    COleVariant(LPCVARIANT pSrc);
    COleVariant(const COleVariant& varSrc);
    COleVariant(COleVariant&& varSrc) noexcept;
    ~COleVariant() { Clear(); }

    // Text: vtSrc VT_BSTR or VT_BSTRT (both store VT_BSTR).
    COleVariant(LPCTSTR lpszSrc);
    COleVariant(LPCTSTR lpszSrc, VARTYPE vtSrc);
    COleVariant(const CString& strSrc);

    // Numbers: vtSrc selects VT_I2 or VT_BOOL for shorts; VT_I4, VT_ERROR or VT_BOOL for longs.
    COleVariant(BYTE nSrc);
    COleVariant(short nSrc, VARTYPE vtSrc = VT_I2);
    COleVariant(LONG lSrc, VARTYPE vtSrc = VT_I4);
    COleVariant(long lSrc, VARTYPE vtSrc = VT_I4);
    COleVariant(float fltSrc);
    COleVariant(double dblSrc);
    COleVariant(const COleCurrency& curSrc);
    COleVariant(const COleDateTime& timeSrc);
    COleVariant(const CByteArray& arrSrc);

    COleVariant& operator=(const VARIANT& varSrc);
    COleVariant& operator=(const COleVariant& varSrc);
    COleVariant& operator=(COleVariant&& varSrc) noexcept;
    COleVariant& operator=(LPCVARIANT pSrc);
    COleVariant& operator=(LPCTSTR lpszSrc);
    COleVariant& operator=(const CString& strSrc);
    COleVariant& operator=(BYTE nSrc);
    COleVariant& operator=(short nSrc);
    COleVariant& operator=(LONG lSrc);
    COleVariant& operator=(long lSrc);
    COleVariant& operator=(float fltSrc);
    COleVariant& operator=(double dblSrc);
    COleVariant& operator=(const COleCurrency& curSrc);
    COleVariant& operator=(const COleDateTime& dateSrc);
    COleVariant& operator=(const CByteArray& arrSrc);

    // Same tag and same value; byte arrays compare byte for byte.
    bool operator==(const VARIANT& varSrc) const;
    bool operator==(const COleVariant& varSrc) const {
        return *this == static_cast<const VARIANT&>(varSrc);
    }

    void Clear();
    // Converts in place (or from pSrc) to vartype; throws COleException on failure.
    void ChangeType(VARTYPE vartype, LPVARIANT pSrc = NULL);
    void Attach(VARIANT& varSrc);
    VARIANT Detach();
    void SetString(LPCTSTR lpszSrc, VARTYPE vtSrc);

    operator LPVARIANT() { return this; }
    operator LPCVARIANT() const { return this; }

    // Bytes of a VT_ARRAY|VT_UI1 value (empty for other tags).
    void GetByteArray(CByteArray& arr) const;
};
