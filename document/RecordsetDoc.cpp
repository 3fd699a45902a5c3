// CRecordsetDoc: binding to a database, the statement's parts and the dynaset's lifetime.
#include "document/RecordsetDoc.h"
#include "document/DaoErrorReport.h"

using kel::document::ReportDaoException;

namespace {

// Closes and deletes a recordset or database the document owns where no error can be shown:
// in the destructor, or while cleaning up after an error already reported.
template <class T> void DeleteQuietly(T*& p) {
    if (!p)
        return;
    try {
        if (p->IsOpen())
            p->Close();
    } catch (CDaoException* e) {
        e->Delete();
    }
    delete p;
    p = NULL;
}

} // namespace

IMPLEMENT_DYNCREATE(CRecordsetDoc, CDocument)

BEGIN_MESSAGE_MAP(CRecordsetDoc, CDocument)
END_MESSAGE_MAP()

CRecordsetDoc::CRecordsetDoc()
    : m_pLoad(NULL), m_bOpen(FALSE), m_bLocalDatabase(FALSE), m_pDatabase(NULL), m_pRecordset(NULL),
      m_nOpenType(0), m_nOptions(0) {
    m_arrayFilter.SetSize(4);
}

CRecordsetDoc::~CRecordsetDoc() {
    DeleteQuietly(m_pRecordset);
    if (m_bLocalDatabase)
        DeleteQuietly(m_pDatabase);
    delete m_pLoad; // through its virtual destructor: a host's record is whole
}

void CRecordsetDoc::SetDatabase(LPCTSTR lpszName) {
    CString strName(lpszName);
    // Another database bound before is let go first: Open must use the new file, and a
    // borrowed database must never be deleted as if it were our own.
    if (m_pDatabase && (!m_bLocalDatabase || strName != m_strDatabase)) {
        Close(m_bLocalDatabase);
        if (!m_bLocalDatabase)
            m_pDatabase = NULL;
    }
    m_strDatabase = strName;
    m_bLocalDatabase = TRUE;
}

void CRecordsetDoc::SetDatabase(CDaoDatabase* pDatabase) {
    // Our own database (and any dynaset on the previous one) goes before another is bound.
    if (m_pDatabase && m_pDatabase != pDatabase)
        Close(m_bLocalDatabase);
    if (m_bLocalDatabase && m_pDatabase && m_pDatabase != pDatabase)
        return; // closing it failed (already reported): keep what we own
    m_bLocalDatabase = FALSE;
    m_pDatabase = pDatabase;
}

CDaoDatabase* CRecordsetDoc::GetDatabase() {
    return m_pDatabase;
}

BOOL CRecordsetDoc::GetbLocalDatabase() {
    return m_bLocalDatabase;
}

void CRecordsetDoc::SetDynaset(LPCTSTR lpszSQL, LPCTSTR lpszFilter, LPCTSTR lpszFilter2,
                               LPCTSTR lpszOrder, int nOptions) {
    m_nOpenType = dbOpenDynaset;
    m_strSQL = lpszSQL;
    // Through SetFilter: a host may have shrunk the slots.
    SetFilter(0, "");
    SetFilter(1, "");
    if (lpszFilter)
        SetFilter(2, lpszFilter);
    if (lpszFilter2)
        SetFilter(3, lpszFilter2);
    m_strOrder = lpszOrder;
    m_nOptions = nOptions;
}

void CRecordsetDoc::SetOrder(LPCTSTR lpszOrder) {
    m_strOrder = lpszOrder;
}

CString CRecordsetDoc::GetOrder() {
    return m_strOrder;
}

void CRecordsetDoc::SetFilter(int nIndex, LPCTSTR lpszFilter) {
    if (nIndex < 0 || nIndex >= 4 || nIndex >= m_arrayFilter.GetSize())
        return; // there are four slots: anything else would write outside them
    m_arrayFilter[nIndex] = lpszFilter;
}

CStringArray* CRecordsetDoc::GetArrayFilter() {
    return &m_arrayFilter;
}

BOOL CRecordsetDoc::IsOpen() {
    return m_bOpen;
}

void CRecordsetDoc::Open() {
    OpenRecordset(TRUE);
}

BOOL CRecordsetDoc::OpenQuietly() {
    return OpenRecordset(FALSE);
}

BOOL CRecordsetDoc::OpenRecordset(BOOL bReport) {
    Close(FALSE);
    if (m_bLocalDatabase && m_strDatabase.IsEmpty())
        return TRUE;
    if (m_strSQL.IsEmpty())
        return TRUE;
    if (!m_bLocalDatabase && !m_pDatabase)
        return TRUE; // nothing to borrow
    m_bOpen = TRUE;

    // The document owns what it creates here: the database (local case) and the dynaset,
    // both released by Close or by the destructor.
    if (m_bLocalDatabase && !m_pDatabase) {
        m_pDatabase = new CDaoDatabase;
        try {
            m_pDatabase->Open(m_strDatabase, FALSE, FALSE, "");
        } catch (CDaoException* e) {
            ReportDaoException(e);
            m_bOpen = FALSE;
            DeleteQuietly(m_pDatabase);
            return TRUE;
        }
    }

    m_pRecordset = new CDaoRecordset(m_pDatabase);
    try {
        m_pRecordset->Open(m_nOpenType, CreateSQLStatement(), m_nOptions);
    } catch (CDaoException* e) {
        m_bOpen = FALSE;
        DeleteQuietly(m_pRecordset);
        if (!bReport) {
            e->Delete();
            return FALSE;
        }
        ReportDaoException(e);
        if (m_bLocalDatabase)
            DeleteQuietly(m_pDatabase);
    }
    return TRUE;
}

void CRecordsetDoc::Close(BOOL bCloseDatabase) {
    m_bOpen = FALSE;
    try {
        if (m_pRecordset) {
            if (m_pRecordset->IsOpen())
                m_pRecordset->Close();
            delete m_pRecordset;
            m_pRecordset = NULL;
        }
        if (bCloseDatabase && m_bLocalDatabase && m_pDatabase) {
            m_pDatabase->Close();
            delete m_pDatabase;
            m_pDatabase = NULL;
        }
    } catch (CDaoException* e) {
        ReportDaoException(e);
    }
}

void CRecordsetDoc::SetTitle(LPCTSTR lpszTitle) {
    if (lpszTitle && *lpszTitle)
        CDocument::SetTitle(lpszTitle);
    else
        CDocument::SetTitle(m_strTitle + m_strTitleSuffix);
}

BOOL CRecordsetDoc::OnNewDocument() {
    // A recordset document only comes to life from a load record.
    DeleteContents();
    SetModifiedFlag(FALSE);
    return FALSE;
}

BOOL CRecordsetDoc::OnOpenDocument(LPCTSTR lpszPathName) {
    DeleteContents();
    SetModifiedFlag(FALSE);
    // The framework's path argument carries the load record; the document owns it now.
    auto* pLoad = reinterpret_cast<CRecordsetLoad*>(const_cast<LPTSTR>(lpszPathName));
    if (!pLoad)
        return FALSE;
    if (m_pLoad && m_pLoad != pLoad)
        delete m_pLoad; // a record given before and not taken would be lost otherwise
    m_pLoad = pLoad;
    if (pLoad->m_pDatabase)
        SetDatabase(pLoad->m_pDatabase);
    else
        SetDatabase(pLoad->m_strDatabase);
    SetDynaset(pLoad->m_strSQL, pLoad->m_strFilter, pLoad->m_strFilter2, pLoad->m_strOrder,
               pLoad->m_nOptions);
    m_strTitle = pLoad->m_strTitle;
    m_strTitleSuffix = pLoad->m_strTitleSuffix;
    return TRUE;
}

void CRecordsetDoc::SetPathName(LPCTSTR lpszPathName, BOOL bAddToMRU) {
    if (lpszPathName && lpszPathName == reinterpret_cast<LPCTSTR>(m_pLoad))
        return; // the load record, not text: reading it as a path would read its memory
    CDocument::SetPathName(lpszPathName, bAddToMRU);
}

// Nothing is stored in or read from an archive: the data lives in the database.
void CRecordsetDoc::Serialize(CArchive& /*ar*/) {}
