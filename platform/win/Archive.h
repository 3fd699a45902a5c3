// CArchive: the stream a document serializes itself to or from, over a CFile. Values are
// written in the framework's binary layout (little-endian, strings with a length prefix).
#pragma once

#include "platform/core/String.h"

class CFile;
class CDocument;

class CArchive {
public:
    enum Mode { store = 0, load = 1, bNoFlushOnDelete = 2, bNoByteSwap = 4 };

    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = NULL);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return (m_nMode & load) != 0; }
    BOOL IsStoring() const { return (m_nMode & load) == 0; }
    CFile* GetFile() const { return m_pFile; }
    void Close();
    void Abort();
    void Flush();

    // Reading past the end of the data throws CArchiveException* (endOfFile) from the
    // operators; Read returns what there was.
    UINT Read(void* lpBuf, UINT nMax);
    void Write(const void* lpBuf, UINT nMax);
    void WriteString(LPCTSTR lpsz);
    BOOL ReadString(CString& rString); // one line, without its end; FALSE at the end

    CArchive& operator<<(BYTE by);
    CArchive& operator<<(WORD w);
    CArchive& operator<<(LONG l); // also int
    CArchive& operator<<(DWORD dw);
    CArchive& operator<<(short w);
    CArchive& operator<<(char ch);
    CArchive& operator<<(float f);
    CArchive& operator<<(double d);
    CArchive& operator<<(LONGLONG n);
    CArchive& operator<<(const CString& str);
    CArchive& operator>>(BYTE& by);
    CArchive& operator>>(WORD& w);
    CArchive& operator>>(LONG& l);
    CArchive& operator>>(DWORD& dw);
    CArchive& operator>>(short& w);
    CArchive& operator>>(char& ch);
    CArchive& operator>>(float& f);
    CArchive& operator>>(double& d);
    CArchive& operator>>(LONGLONG& n);
    CArchive& operator>>(CString& str);

    CDocument* m_pDocument;
    BOOL m_bForceFlat;

private:
    void ReadExact(void* lpBuf, UINT n);

    CFile* m_pFile;
    UINT m_nMode;
};
