#include "platform/win/Archive.h"

#include "platform/win/ArchiveException.h"
#include "platform/win/File.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CArchiveException, CException)

CArchive::CArchive(CFile* pFile, UINT nMode, int, void*)
    : m_pDocument(nullptr), m_bForceFlat(TRUE), m_pFile(pFile), m_nMode(nMode) {}

CArchive::~CArchive() {
    if (m_pFile != nullptr && IsStoring() && !(m_nMode & bNoFlushOnDelete)) {
        try {
            m_pFile->Flush();
        } catch (CException* e) {
            e->Delete(); // a destructor cannot report; Close() does
        }
    }
}

void CArchive::Close() {
    Flush();
    m_pFile = nullptr;
}

void CArchive::Abort() {
    m_pFile = nullptr;
}

void CArchive::Flush() {
    if (m_pFile != nullptr && IsStoring())
        m_pFile->Flush();
}

UINT CArchive::Read(void* lpBuf, UINT nMax) {
    if (!IsLoading())
        AfxThrowArchiveException(CArchiveException::writeOnly);
    return m_pFile ? m_pFile->Read(lpBuf, nMax) : 0;
}

void CArchive::Write(const void* lpBuf, UINT nMax) {
    if (IsLoading())
        AfxThrowArchiveException(CArchiveException::readOnly);
    if (m_pFile != nullptr)
        m_pFile->Write(lpBuf, nMax);
}

void CArchive::ReadExact(void* lpBuf, UINT n) {
    if (Read(lpBuf, n) != n)
        AfxThrowArchiveException(CArchiveException::endOfFile,
                                 m_pFile ? static_cast<LPCTSTR>(m_pFile->GetFilePath()) : nullptr);
}

void CArchive::WriteString(LPCTSTR lpsz) {
    if (lpsz != nullptr)
        Write(lpsz, static_cast<UINT>(std::strlen(lpsz)));
}

BOOL CArchive::ReadString(CString& rString) {
    rString.Empty();
    char ch;
    bool any = false;
    while (Read(&ch, 1) == 1) {
        any = true;
        if (ch == '\n')
            break;
        if (ch != '\r')
            rString += ch;
    }
    return any;
}

namespace {

template <class T> void Put(CArchive& ar, T v) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &v, sizeof(T)); // the layout is little-endian, as on this platform
    ar.Write(bytes, sizeof(T));
}

} // namespace

CArchive& CArchive::operator<<(BYTE by) {
    Put(*this, by);
    return *this;
}
CArchive& CArchive::operator<<(WORD w) {
    Put(*this, w);
    return *this;
}
CArchive& CArchive::operator<<(LONG l) {
    Put(*this, l);
    return *this;
}
CArchive& CArchive::operator<<(DWORD dw) {
    Put(*this, dw);
    return *this;
}
CArchive& CArchive::operator<<(short w) {
    return *this << static_cast<WORD>(w);
}
CArchive& CArchive::operator<<(char ch) {
    return *this << static_cast<BYTE>(ch);
}
CArchive& CArchive::operator<<(float f) {
    Put(*this, f);
    return *this;
}
CArchive& CArchive::operator<<(double d) {
    Put(*this, d);
    return *this;
}
CArchive& CArchive::operator<<(LONGLONG n) {
    Put(*this, n);
    return *this;
}

// The framework's string layout: a byte length below 255, else 0xFF and a 16-bit length
// below 0xFFFF, else 0xFF, 0xFFFF and a 32-bit length.
CArchive& CArchive::operator<<(const CString& str) {
    const DWORD n = static_cast<DWORD>(str.GetLength());
    if (n < 255) {
        *this << static_cast<BYTE>(n);
    } else if (n < 0xFFFE) {
        *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(n);
    } else {
        *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFF) << n;
    }
    Write(static_cast<LPCTSTR>(str), n);
    return *this;
}

CArchive& CArchive::operator>>(BYTE& by) {
    ReadExact(&by, sizeof by);
    return *this;
}
CArchive& CArchive::operator>>(WORD& w) {
    ReadExact(&w, sizeof w);
    return *this;
}
CArchive& CArchive::operator>>(LONG& l) {
    ReadExact(&l, sizeof l);
    return *this;
}
CArchive& CArchive::operator>>(DWORD& dw) {
    ReadExact(&dw, sizeof dw);
    return *this;
}
CArchive& CArchive::operator>>(short& w) {
    WORD v = 0;
    *this >> v;
    w = static_cast<short>(v);
    return *this;
}
CArchive& CArchive::operator>>(char& ch) {
    BYTE v = 0;
    *this >> v;
    ch = static_cast<char>(v);
    return *this;
}
CArchive& CArchive::operator>>(float& f) {
    ReadExact(&f, sizeof f);
    return *this;
}
CArchive& CArchive::operator>>(double& d) {
    ReadExact(&d, sizeof d);
    return *this;
}
CArchive& CArchive::operator>>(LONGLONG& n) {
    ReadExact(&n, sizeof n);
    return *this;
}

CArchive& CArchive::operator>>(CString& str) {
    BYTE b = 0;
    *this >> b;
    DWORD n = b;
    if (b == 0xFF) {
        WORD w = 0;
        *this >> w;
        n = w;
        if (w == 0xFFFF)
            *this >> n;
    }
    // A length longer than what is left is a damaged archive, not an allocation to attempt.
    if (m_pFile != nullptr && n > m_pFile->GetLength() - m_pFile->GetPosition())
        AfxThrowArchiveException(CArchiveException::endOfFile, m_pFile->GetFilePath());
    LPTSTR buf = str.GetBuffer(static_cast<int>(n));
    try {
        ReadExact(buf, n);
    } catch (...) {
        str.ReleaseBuffer(0);
        throw;
    }
    str.ReleaseBuffer(static_cast<int>(n));
    return *this;
}

// ---------------------------------------------------------------------------

CArchiveException::CArchiveException(int cause, LPCTSTR lpszArchiveName)
    : m_cause(cause), m_strFileName(lpszArchiveName) {}

BOOL CArchiveException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) {
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    CString text;
    switch (m_cause) {
    case endOfFile:
        text.Format("An attempt was made to read past the end of %s.",
                    m_strFileName.IsEmpty() ? "an archive" : static_cast<LPCTSTR>(m_strFileName));
        break;
    case readOnly:
        text = "An attempt was made to write to an archive opened for loading.";
        break;
    case writeOnly:
        text = "An attempt was made to read from an archive opened for storing.";
        break;
    default:
        text = "An unexpected error occurred in an archive.";
        break;
    }
    if (lpszError != nullptr && nMaxError > 0)
        lstrcpyn(lpszError, text, static_cast<int>(nMaxError));
    return TRUE;
}

void AFXAPI AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName) {
    throw new CArchiveException(cause, lpszArchiveName);
}
