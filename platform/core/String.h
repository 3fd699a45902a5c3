// CString: the framework's text class, a value type over UTF-8 bytes.
#pragma once

#include "platform/core/Types.h"

#include <cstdarg>
#include <string>
#include <string_view>

#if defined(__GNUC__)
#define KEL_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define KEL_PRINTF_FORMAT(fmt, args)
#endif

class CString {
public:
    CString() = default;
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString(LPCTSTR lpsz) : m_str(lpsz ? lpsz : "") {}
    CString(LPCTSTR lpch, int nLength)
        : m_str(lpch ? lpch : "", lpch && nLength > 0 ? nLength : 0) {}
    CString(TCHAR ch, int nRepeat = 1) : m_str(nRepeat > 0 ? nRepeat : 0, ch) {}
    CString(const std::string& s) : m_str(s) {}
    CString(std::string&& s) : m_str(std::move(s)) {}
    explicit CString(std::string_view s) : m_str(s) {}
    ~CString() = default;

    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(LPCTSTR lpsz) {
        m_str = lpsz ? lpsz : "";
        return *this;
    }
    CString& operator=(TCHAR ch) {
        m_str.assign(1, ch);
        return *this;
    }

    // Length and access.
    int GetLength() const { return static_cast<int>(m_str.size()); }
    BOOL IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    TCHAR GetAt(int nIndex) const;
    void SetAt(int nIndex, TCHAR ch);
    TCHAR operator[](int nIndex) const { return GetAt(nIndex); }
    operator LPCTSTR() const { return m_str.c_str(); }
    LPCTSTR GetString() const { return m_str.c_str(); }

    // Interop with the standard library inside .cpp files.
    const std::string& str() const { return m_str; }
    std::string_view view() const { return m_str; }

    // Concatenation.
    CString& operator+=(const CString& s) {
        m_str += s.m_str;
        return *this;
    }
    CString& operator+=(LPCTSTR lpsz) {
        if (lpsz)
            m_str += lpsz;
        return *this;
    }
    CString& operator+=(TCHAR ch) {
        m_str += ch;
        return *this;
    }
    void Append(LPCTSTR lpsz) { *this += lpsz; }
    void Append(LPCTSTR lpsz, int nLength);
    void AppendChar(TCHAR ch) { m_str += ch; }

    friend CString operator+(const CString& a, const CString& b) {
        return CString(a.m_str + b.m_str);
    }
    friend CString operator+(const CString& a, LPCTSTR b) {
        return CString(a.m_str + (b ? b : ""));
    }
    friend CString operator+(LPCTSTR a, const CString& b) {
        return CString(std::string(a ? a : "") + b.m_str);
    }
    friend CString operator+(const CString& a, TCHAR ch) { return CString(a.m_str + ch); }
    friend CString operator+(TCHAR ch, const CString& b) { return CString(ch + b.m_str); }

    // Comparison: Compare is case-sensitive (byte order), CompareNoCase folds ASCII letters.
    int Compare(LPCTSTR lpsz) const;
    int CompareNoCase(LPCTSTR lpsz) const;
    int Collate(LPCTSTR lpsz) const { return Compare(lpsz); }
    int CollateNoCase(LPCTSTR lpsz) const { return CompareNoCase(lpsz); }

    friend bool operator==(const CString& a, const CString& b) { return a.m_str == b.m_str; }
    friend bool operator==(const CString& a, LPCTSTR b) { return a.Compare(b) == 0; }
    friend bool operator==(LPCTSTR a, const CString& b) { return b.Compare(a) == 0; }
    friend bool operator!=(const CString& a, const CString& b) { return !(a == b); }
    friend bool operator!=(const CString& a, LPCTSTR b) { return !(a == b); }
    friend bool operator!=(LPCTSTR a, const CString& b) { return !(a == b); }
    friend bool operator<(const CString& a, const CString& b) { return a.m_str < b.m_str; }
    friend bool operator<(const CString& a, LPCTSTR b) { return a.Compare(b) < 0; }
    friend bool operator<(LPCTSTR a, const CString& b) { return b.Compare(a) > 0; }
    friend bool operator>(const CString& a, const CString& b) { return b < a; }
    friend bool operator>(const CString& a, LPCTSTR b) { return a.Compare(b) > 0; }
    friend bool operator>(LPCTSTR a, const CString& b) { return b.Compare(a) < 0; }
    friend bool operator<=(const CString& a, const CString& b) { return !(b < a); }
    friend bool operator<=(const CString& a, LPCTSTR b) { return a.Compare(b) <= 0; }
    friend bool operator<=(LPCTSTR a, const CString& b) { return b.Compare(a) >= 0; }
    friend bool operator>=(const CString& a, const CString& b) { return !(a < b); }
    friend bool operator>=(const CString& a, LPCTSTR b) { return a.Compare(b) >= 0; }
    friend bool operator>=(LPCTSTR a, const CString& b) { return b.Compare(a) <= 0; }

    // Extraction. Counts and positions are clamped to the string, as the framework does.
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString SpanIncluding(LPCTSTR lpszCharSet) const;
    CString SpanExcluding(LPCTSTR lpszCharSet) const;
    CString Tokenize(LPCTSTR pszTokens, int& iStart) const;

    // Searching: -1 when not found.
    int Find(TCHAR ch, int nStart = 0) const;
    int Find(LPCTSTR lpszSub, int nStart = 0) const;
    int ReverseFind(TCHAR ch) const;
    int FindOneOf(LPCTSTR lpszCharSet) const;

    // Changing.
    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();
    CString& Trim();
    CString& Trim(TCHAR chTarget);
    CString& Trim(LPCTSTR pszTargets);
    CString& TrimLeft();
    CString& TrimLeft(TCHAR chTarget);
    CString& TrimLeft(LPCTSTR pszTargets);
    CString& TrimRight();
    CString& TrimRight(TCHAR chTarget);
    CString& TrimRight(LPCTSTR pszTargets);
    int Replace(TCHAR chOld, TCHAR chNew);
    int Replace(LPCTSTR lpszOld, LPCTSTR lpszNew);
    int Remove(TCHAR chRemove);
    int Insert(int nIndex, TCHAR ch);
    int Insert(int nIndex, LPCTSTR pstr);
    int Delete(int nIndex, int nCount = 1);
    void SetString(LPCTSTR psz) { *this = psz; }
    void SetString(LPCTSTR psz, int nLength) { *this = CString(psz, nLength); }

    // printf formatting.
    void Format(LPCTSTR lpszFormat, ...) KEL_PRINTF_FORMAT(2, 3);
    void AppendFormat(LPCTSTR lpszFormat, ...) KEL_PRINTF_FORMAT(2, 3);
    void FormatV(LPCTSTR lpszFormat, va_list argList);
    void AppendFormatV(LPCTSTR lpszFormat, va_list argList);

    // Direct buffer access. GetBuffer(n) gives room for n characters plus the terminator;
    // ReleaseBuffer(-1) takes the length up to the first terminator.
    LPTSTR GetBuffer(int nMinBufLength);
    LPTSTR GetBuffer() { return GetBuffer(0); }
    LPTSTR GetBufferSetLength(int nNewLength);
    void ReleaseBuffer(int nNewLength = -1);
    void FreeExtra() { m_str.shrink_to_fit(); }
    void Preallocate(int nLength) { m_str.reserve(nLength > 0 ? nLength : 0); }

    // Resources: the string nID of the resource chain (host first, then extension modules).
    BOOL LoadString(UINT nID);
    BOOL LoadString(HINSTANCE hInstance, UINT nID);

private:
    std::string m_str;
};

// Character-string helpers of the C runtime's text mapping.
inline size_t _tcslen(LPCTSTR s) {
    return std::strlen(s);
}
inline int _tcscmp(LPCTSTR a, LPCTSTR b) {
    return std::strcmp(a, b);
}
inline int _tcsncmp(LPCTSTR a, LPCTSTR b, size_t n) {
    return std::strncmp(a, b, n);
}
int _tcsicmp(LPCTSTR a, LPCTSTR b);
int _tcsnicmp(LPCTSTR a, LPCTSTR b, size_t n);
inline LPTSTR _tcscpy(LPTSTR d, LPCTSTR s) {
    return std::strcpy(d, s);
}
inline LPTSTR _tcsncpy(LPTSTR d, LPCTSTR s, size_t n) {
    return std::strncpy(d, s, n);
}
inline LPTSTR _tcscat(LPTSTR d, LPCTSTR s) {
    return std::strcat(d, s);
}
inline LPCTSTR _tcschr(LPCTSTR s, int c) {
    return std::strchr(s, c);
}
inline LPCTSTR _tcsrchr(LPCTSTR s, int c) {
    return std::strrchr(s, c);
}
inline LPCTSTR _tcsstr(LPCTSTR s, LPCTSTR t) {
    return std::strstr(s, t);
}
inline int _ttoi(LPCTSTR s) {
    return std::atoi(s);
}
inline long _ttol(LPCTSTR s) {
    return std::atol(s);
}
inline double _tstof(LPCTSTR s) {
    return std::atof(s);
}
inline int lstrlen(LPCTSTR s) {
    return s ? static_cast<int>(std::strlen(s)) : 0;
}
inline int lstrcmp(LPCTSTR a, LPCTSTR b) {
    return std::strcmp(a ? a : "", b ? b : "");
}
inline int lstrcmpi(LPCTSTR a, LPCTSTR b) {
    return _tcsicmp(a ? a : "", b ? b : "");
}
inline LPTSTR lstrcpy(LPTSTR d, LPCTSTR s) {
    return std::strcpy(d, s);
}
LPTSTR lstrcpyn(LPTSTR d, LPCTSTR s, int n);
#define _stprintf sprintf
#define _sntprintf snprintf
#define _tcstol strtol
#define _tcstoul strtoul
#define _tcstod strtod
#define _istdigit(c) isdigit((unsigned char)(c))
#define _istspace(c) isspace((unsigned char)(c))
#define _istalpha(c) isalpha((unsigned char)(c))
#define _totupper toupper
#define _totlower tolower
