#include "platform/win/File.h"

#include "platform/win/FileException.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

IMPLEMENT_DYNAMIC(CFile, CObject)
IMPLEMENT_DYNAMIC(CFileException, CException)

CFile::CFile() : m_pFile(nullptr) {}

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags) : m_pFile(nullptr) {
    CFileException e;
    if (!Open(lpszFileName, nOpenFlags, &e))
        AfxThrowFileException(e.m_cause, e.m_lOsError, e.m_strFileName);
}

CFile::~CFile() {
    Abort();
}

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
    Abort();
    m_strFileName = lpszFileName ? lpszFileName : "";
    if (m_strFileName.IsEmpty()) {
        if (pError != nullptr)
            *pError = CFileException(CFileException::badPath, ENOENT, m_strFileName);
        return FALSE;
    }
    const UINT access = nOpenFlags & 3;
    const char* mode = "rb";
    if (nOpenFlags & modeCreate) {
        if (nOpenFlags & modeNoTruncate) {
            // Keep what is there; make the file when it is not.
            std::FILE* probe = std::fopen(m_strFileName, "ab");
            if (probe != nullptr)
                std::fclose(probe);
            mode = "r+b";
        } else {
            mode = access == modeWrite ? "wb" : "w+b";
        }
    } else if (access == modeWrite || access == modeReadWrite) {
        mode = "r+b";
    }
    m_pFile = std::fopen(m_strFileName, mode);
    if (m_pFile == nullptr) {
        const int err = errno;
        if (pError != nullptr)
            *pError = CFileException(CFileException::OsErrorToException(err), err, m_strFileName);
        return FALSE;
    }
    return TRUE;
}

void CFile::Close() {
    if (m_pFile == nullptr)
        return;
    const int rc = std::fclose(m_pFile);
    m_pFile = nullptr;
    if (rc != 0)
        AfxThrowFileException(CFileException::diskFull, errno, m_strFileName);
}

void CFile::Abort() {
    if (m_pFile != nullptr)
        std::fclose(m_pFile);
    m_pFile = nullptr;
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
    if (m_pFile == nullptr)
        AfxThrowFileException(CFileException::invalidFile, -1, m_strFileName);
    size_t n = std::fread(lpBuf, 1, nCount, m_pFile);
    if (n < nCount && std::ferror(m_pFile))
        AfxThrowFileException(CFileException::hardIO, errno, m_strFileName);
    return static_cast<UINT>(n);
}

void CFile::Write(const void* lpBuf, UINT nCount) {
    if (m_pFile == nullptr)
        AfxThrowFileException(CFileException::invalidFile, -1, m_strFileName);
    if (std::fwrite(lpBuf, 1, nCount, m_pFile) != nCount)
        AfxThrowFileException(CFileException::diskFull, errno, m_strFileName);
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom) {
    if (m_pFile == nullptr || std::fseek(m_pFile, static_cast<long>(lOff),
                                         nFrom == end       ? SEEK_END
                                         : nFrom == current ? SEEK_CUR
                                                            : SEEK_SET) != 0)
        AfxThrowFileException(CFileException::badSeek, errno, m_strFileName);
    return GetPosition();
}

ULONGLONG CFile::GetLength() const {
    if (m_pFile == nullptr)
        return 0;
    std::fflush(m_pFile);
    struct stat st;
    if (fstat(fileno(m_pFile), &st) != 0)
        return 0;
    return static_cast<ULONGLONG>(st.st_size);
}

ULONGLONG CFile::GetPosition() const {
    if (m_pFile == nullptr)
        return 0;
    long pos = std::ftell(m_pFile);
    return pos < 0 ? 0 : static_cast<ULONGLONG>(pos);
}

void CFile::Flush() {
    if (m_pFile != nullptr && std::fflush(m_pFile) != 0)
        AfxThrowFileException(CFileException::diskFull, errno, m_strFileName);
}

// ---------------------------------------------------------------------------

CFileException::CFileException(int cause, LONG lOsError, LPCTSTR lpszFileName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszFileName) {}

int PASCAL CFileException::OsErrorToException(LONG lOsError) {
    switch (lOsError) {
    case ENOENT:
        return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
        return badPath;
    case EMFILE:
    case ENFILE:
        return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return accessDenied;
    case ENOSPC:
        return diskFull;
    case EIO:
        return hardIO;
    default:
        return genericException;
    }
}

BOOL CFileException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) {
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    CString text;
    switch (m_cause) {
    case fileNotFound:
        text.Format("%s was not found.", static_cast<LPCTSTR>(m_strFileName));
        break;
    case badPath:
        text.Format("%s contains an invalid path.", static_cast<LPCTSTR>(m_strFileName));
        break;
    case accessDenied:
        text.Format("%s could not be accessed.", static_cast<LPCTSTR>(m_strFileName));
        break;
    case diskFull:
        text.Format("There is not enough space on the disk for %s.",
                    static_cast<LPCTSTR>(m_strFileName));
        break;
    case endOfFile:
        text.Format("An attempt was made to access %s past its end.",
                    static_cast<LPCTSTR>(m_strFileName));
        break;
    default:
        text.Format("An unexpected error occurred while accessing %s.",
                    static_cast<LPCTSTR>(m_strFileName));
        break;
    }
    if (lpszError != nullptr && nMaxError > 0)
        lstrcpyn(lpszError, text, static_cast<int>(nMaxError));
    return TRUE;
}

void AFXAPI AfxThrowFileException(int cause, LONG lOsError, LPCTSTR lpszFileName) {
    throw new CFileException(cause, lOsError, lpszFileName);
}
