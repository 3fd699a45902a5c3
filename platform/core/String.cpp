#include "platform/core/String.h"
#include "platform/core/Resources.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace {

int Clamp(int n, int lo, int hi) {
    return n < lo ? lo : (n > hi ? hi : n);
}

bool InSet(char ch, LPCTSTR set) {
    return set && ch != '\0' && std::strchr(set, ch) != nullptr;
}

bool IsSpace(char ch) {
    return std::isspace(static_cast<unsigned char>(ch)) != 0;
}

// The position of the first character from 'from' on that does not satisfy 'pred'.
template <class Pred> size_t SkipWhile(const std::string& s, size_t from, Pred pred) {
    while (from < s.size() && pred(s[from]))
        ++from;
    return from;
}

// Removes the trailing characters that satisfy 'pred'.
template <class Pred> void EraseTrailing(std::string& s, Pred pred) {
    while (!s.empty() && pred(s.back()))
        s.pop_back();
}

// printf into a buffer of its own, then hands the text to 'take': an argument may be the
// text of the string being changed. Short texts take one pass, through a local buffer.
template <class Take> void FormatApart(LPCTSTR lpszFormat, va_list argList, Take take) {
    char local[256];
    va_list copy;
    va_copy(copy, argList);
    const int n = std::vsnprintf(local, sizeof local, lpszFormat, copy);
    va_end(copy);
    if (n < 0) {
        take(std::string_view());
    } else if (static_cast<size_t>(n) < sizeof local) {
        take(std::string_view(local, static_cast<size_t>(n)));
    } else {
        std::string text(static_cast<size_t>(n), '\0');
        std::vsnprintf(text.data(), text.size() + 1, lpszFormat, argList);
        take(std::string_view(text));
    }
}

} // namespace

int _tcsicmp(LPCTSTR a, LPCTSTR b) {
    return _tcsnicmp(a, b, static_cast<size_t>(-1));
}

int _tcsnicmp(LPCTSTR a, LPCTSTR b, size_t n) {
    for (; n > 0; --n, ++a, ++b) {
        int ca = std::tolower(static_cast<unsigned char>(*a));
        int cb = std::tolower(static_cast<unsigned char>(*b));
        if (ca != cb || ca == 0)
            return ca - cb;
    }
    return 0;
}

LPTSTR lstrcpyn(LPTSTR d, LPCTSTR s, int n) {
    if (n <= 0)
        return d;
    int i = 0;
    for (; i < n - 1 && s[i]; ++i)
        d[i] = s[i];
    d[i] = '\0';
    return d;
}

TCHAR CString::GetAt(int nIndex) const {
    ASSERT(nIndex >= 0 && nIndex < GetLength());
    if (nIndex < 0 || nIndex >= GetLength())
        return '\0';
    return m_str[nIndex];
}

void CString::SetAt(int nIndex, TCHAR ch) {
    ASSERT(nIndex >= 0 && nIndex < GetLength());
    if (nIndex >= 0 && nIndex < GetLength())
        m_str[nIndex] = ch;
}

void CString::Append(LPCTSTR lpsz, int nLength) {
    if (!lpsz || nLength <= 0)
        return;
    m_str.append(lpsz, strnlen(lpsz, static_cast<size_t>(nLength)));
}

int CString::Compare(LPCTSTR lpsz) const {
    // Byte order of unsigned chars, as strcmp gives.
    int r = std::strcmp(m_str.c_str(), lpsz ? lpsz : "");
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

int CString::CompareNoCase(LPCTSTR lpsz) const {
    int r = _tcsicmp(m_str.c_str(), lpsz ? lpsz : "");
    return r < 0 ? -1 : (r > 0 ? 1 : 0);
}

CString CString::Mid(int nFirst) const {
    return Mid(nFirst, GetLength() - nFirst);
}

CString CString::Mid(int nFirst, int nCount) const {
    nFirst = Clamp(nFirst, 0, GetLength());
    nCount = Clamp(nCount, 0, GetLength() - nFirst);
    return CString(m_str.substr(nFirst, nCount));
}

CString CString::Left(int nCount) const {
    return Mid(0, nCount);
}

CString CString::Right(int nCount) const {
    nCount = Clamp(nCount, 0, GetLength());
    return CString(m_str.substr(m_str.size() - nCount));
}

CString CString::SpanIncluding(LPCTSTR lpszCharSet) const {
    return CString(
        m_str.substr(0, SkipWhile(m_str, 0, [&](char c) { return InSet(c, lpszCharSet); })));
}

CString CString::SpanExcluding(LPCTSTR lpszCharSet) const {
    return CString(
        m_str.substr(0, SkipWhile(m_str, 0, [&](char c) { return !InSet(c, lpszCharSet); })));
}

CString CString::Tokenize(LPCTSTR pszTokens, int& iStart) const {
    if (iStart < 0 || iStart >= GetLength()) {
        iStart = -1;
        return CString();
    }
    auto isToken = [&](char c) { return InSet(c, pszTokens); };
    size_t pos = SkipWhile(m_str, static_cast<size_t>(iStart), isToken);
    if (pos >= m_str.size()) {
        iStart = -1;
        return CString();
    }
    size_t end = SkipWhile(m_str, pos, [&](char c) { return !isToken(c); });
    iStart = static_cast<int>(end < m_str.size() ? end + 1 : end);
    return CString(m_str.substr(pos, end - pos));
}

int CString::Find(TCHAR ch, int nStart) const {
    if (nStart < 0 || nStart >= GetLength())
        return -1;
    size_t p = m_str.find(ch, static_cast<size_t>(nStart));
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::Find(LPCTSTR lpszSub, int nStart) const {
    if (!lpszSub || nStart < 0 || nStart > GetLength())
        return -1;
    size_t p = m_str.find(lpszSub, static_cast<size_t>(nStart));
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::ReverseFind(TCHAR ch) const {
    size_t p = m_str.rfind(ch);
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

int CString::FindOneOf(LPCTSTR lpszCharSet) const {
    if (!lpszCharSet || !*lpszCharSet)
        return -1;
    size_t p = m_str.find_first_of(lpszCharSet);
    return p == std::string::npos ? -1 : static_cast<int>(p);
}

CString& CString::MakeUpper() {
    for (char& c : m_str)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return *this;
}

CString& CString::MakeLower() {
    for (char& c : m_str)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return *this;
}

CString& CString::MakeReverse() {
    std::reverse(m_str.begin(), m_str.end());
    return *this;
}

CString& CString::Trim() {
    return TrimRight().TrimLeft();
}
CString& CString::Trim(TCHAR chTarget) {
    return TrimRight(chTarget).TrimLeft(chTarget);
}
CString& CString::Trim(LPCTSTR pszTargets) {
    return TrimRight(pszTargets).TrimLeft(pszTargets);
}

CString& CString::TrimLeft() {
    m_str.erase(0, SkipWhile(m_str, 0, IsSpace));
    return *this;
}

CString& CString::TrimLeft(TCHAR chTarget) {
    m_str.erase(0, SkipWhile(m_str, 0, [&](char c) { return c == chTarget; }));
    return *this;
}

CString& CString::TrimLeft(LPCTSTR pszTargets) {
    m_str.erase(0, SkipWhile(m_str, 0, [&](char c) { return InSet(c, pszTargets); }));
    return *this;
}

CString& CString::TrimRight() {
    EraseTrailing(m_str, IsSpace);
    return *this;
}

CString& CString::TrimRight(TCHAR chTarget) {
    EraseTrailing(m_str, [&](char c) { return c == chTarget; });
    return *this;
}

CString& CString::TrimRight(LPCTSTR pszTargets) {
    EraseTrailing(m_str, [&](char c) { return InSet(c, pszTargets); });
    return *this;
}

int CString::Replace(TCHAR chOld, TCHAR chNew) {
    int n = 0;
    for (char& c : m_str) {
        if (c == chOld) {
            c = chNew;
            ++n;
        }
    }
    return n;
}

int CString::Replace(LPCTSTR lpszOld, LPCTSTR lpszNew) {
    if (!lpszOld || !*lpszOld)
        return 0;
    std::string from(lpszOld), to(lpszNew ? lpszNew : "");
    std::string out;
    int n = 0;
    size_t pos = 0;
    for (;;) {
        size_t hit = m_str.find(from, pos);
        if (hit == std::string::npos)
            break;
        out.append(m_str, pos, hit - pos);
        out += to;
        pos = hit + from.size();
        ++n;
    }
    if (n > 0) {
        out.append(m_str, pos, std::string::npos);
        m_str.swap(out);
    }
    return n;
}

int CString::Remove(TCHAR chRemove) {
    size_t before = m_str.size();
    m_str.erase(std::remove(m_str.begin(), m_str.end(), chRemove), m_str.end());
    return static_cast<int>(before - m_str.size());
}

int CString::Insert(int nIndex, TCHAR ch) {
    nIndex = Clamp(nIndex, 0, GetLength());
    m_str.insert(m_str.begin() + nIndex, ch);
    return GetLength();
}

int CString::Insert(int nIndex, LPCTSTR pstr) {
    nIndex = Clamp(nIndex, 0, GetLength());
    if (pstr)
        m_str.insert(static_cast<size_t>(nIndex), pstr);
    return GetLength();
}

int CString::Delete(int nIndex, int nCount) {
    if (nIndex < 0)
        nIndex = 0;
    if (nCount > 0 && nIndex < GetLength()) {
        nCount = Clamp(nCount, 0, GetLength() - nIndex);
        m_str.erase(static_cast<size_t>(nIndex), static_cast<size_t>(nCount));
    }
    return GetLength();
}

void CString::Format(LPCTSTR lpszFormat, ...) {
    va_list args;
    va_start(args, lpszFormat);
    FormatV(lpszFormat, args);
    va_end(args);
}

void CString::AppendFormat(LPCTSTR lpszFormat, ...) {
    va_list args;
    va_start(args, lpszFormat);
    AppendFormatV(lpszFormat, args);
    va_end(args);
}

void CString::FormatV(LPCTSTR lpszFormat, va_list argList) {
    if (!lpszFormat) {
        m_str.clear();
        return;
    }
    FormatApart(lpszFormat, argList, [&](std::string_view text) { m_str.assign(text); });
}

void CString::AppendFormatV(LPCTSTR lpszFormat, va_list argList) {
    if (lpszFormat)
        FormatApart(lpszFormat, argList, [&](std::string_view text) { m_str.append(text); });
}

LPTSTR CString::GetBuffer(int nMinBufLength) {
    if (nMinBufLength > GetLength())
        m_str.resize(static_cast<size_t>(nMinBufLength));
    return m_str.data();
}

LPTSTR CString::GetBufferSetLength(int nNewLength) {
    m_str.resize(static_cast<size_t>(nNewLength > 0 ? nNewLength : 0));
    return m_str.data();
}

void CString::ReleaseBuffer(int nNewLength) {
    if (nNewLength < 0)
        nNewLength = static_cast<int>(strnlen(m_str.c_str(), m_str.size()));
    m_str.resize(static_cast<size_t>(Clamp(nNewLength, 0, GetLength())));
}

BOOL CString::LoadString(UINT nID) {
    return LoadString(AfxFindStringResourceHandle(nID), nID);
}

BOOL CString::LoadString(HINSTANCE hInstance, UINT nID) {
    LPCTSTR text = AfxGetStringResource(hInstance, nID);
    if (!text) {
        Empty();
        return FALSE;
    }
    *this = text;
    return TRUE;
}
