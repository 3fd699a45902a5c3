#include "platform/win/Document.h"

#include "platform/win/Archive.h"
#include "platform/win/DocTemplate.h"
#include "platform/win/File.h"
#include "platform/win/FileException.h"
#include "platform/win/FrameWnd.h"
#include "platform/win/ListPosition.h"
#include "platform/win/MessageBox.h"
#include "platform/win/View.h"
#include "platform/win/WaitCursor.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDocument, CCmdTarget)

BEGIN_MESSAGE_MAP(CDocument, CCmdTarget)
END_MESSAGE_MAP()

CDocument::CDocument()
    : m_bAutoDelete(TRUE), m_bEmbedded(FALSE), m_pDocTemplate(nullptr), m_bModified(FALSE) {}

CDocument::~CDocument() {
    // Views that outlive their document forget it.
    for (CView* pView : m_viewList)
        pView->m_pDocument = nullptr;
    m_viewList.clear();
    if (m_pDocTemplate != nullptr)
        m_pDocTemplate->RemoveDocument(this);
}

void CDocument::SetTitle(LPCTSTR lpszTitle) {
    m_strTitle = lpszTitle;
    UpdateFrameCounts();
}

void CDocument::SetPathName(LPCTSTR lpszPathName, BOOL) {
    m_strPathName = lpszPathName;
    // The title is the file's name without its folder.
    CString name = m_strPathName;
    int slash = name.ReverseFind('/');
    if (slash >= 0)
        name = name.Mid(slash + 1);
    SetTitle(name);
}

// ---------------------------------------------------------------------------
// Views.

void CDocument::AddView(CView* pView) {
    if (pView == nullptr ||
        std::find(m_viewList.begin(), m_viewList.end(), pView) != m_viewList.end())
        return;
    // A view shows one document.
    if (pView->m_pDocument != nullptr && pView->m_pDocument != this)
        pView->m_pDocument->RemoveView(pView);
    m_viewList.push_back(pView);
    pView->m_pDocument = this;
    OnChangedViewList();
}

void CDocument::RemoveView(CView* pView) {
    auto it = std::find(m_viewList.begin(), m_viewList.end(), pView);
    if (it == m_viewList.end())
        return;
    m_viewList.erase(it);
    pView->m_pDocument = nullptr;
    OnChangedViewList();
}

POSITION CDocument::GetFirstViewPosition() const {
    return kel::win::FirstPosition(m_viewList);
}

CView* CDocument::GetNextView(POSITION& rPosition) const {
    return kel::win::NextAt(m_viewList, rPosition);
}

void CDocument::UpdateAllViews(CView* pSender, LPARAM lHint, CObject* pHint) {
    std::vector<CView*> views = m_viewList; // a view may go while it updates
    for (CView* pView : views) {
        if (pView != pSender &&
            std::find(m_viewList.begin(), m_viewList.end(), pView) != m_viewList.end())
            pView->OnUpdate(pSender, lHint, pHint);
    }
}

void CDocument::OnChangedViewList() {
    // The last view gone takes an auto-delete document with it.
    if (m_bAutoDelete && m_viewList.empty()) {
        OnCloseDocument();
        return;
    }
    UpdateFrameCounts();
}

void CDocument::UpdateFrameCounts() {
    for (CView* pView : m_viewList) {
        if (pView->m_hWnd == nullptr)
            continue;
        if (CFrameWnd* pFrame = pView->GetParentFrame())
            pFrame->OnUpdateFrameTitle(TRUE);
    }
}

// ---------------------------------------------------------------------------
// Life cycle.

void CDocument::DeleteContents() {}

void CDocument::Serialize(CArchive&) {}

BOOL CDocument::OnNewDocument() {
    DeleteContents();
    m_strPathName.Empty();
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnOpenDocument(LPCTSTR lpszPathName) {
    CFile file;
    CFileException fe;
    if (!file.Open(lpszPathName, CFile::modeRead | CFile::shareDenyWrite, &fe)) {
        ReportSaveLoadException(lpszPathName, &fe, FALSE, 0);
        return FALSE;
    }
    DeleteContents();
    SetModifiedFlag(); // dirty while it loads
    try {
        CWaitCursor wait;
        CArchive ar(&file, CArchive::load | CArchive::bNoFlushOnDelete);
        ar.m_pDocument = this;
        ar.m_bForceFlat = FALSE;
        if (file.GetLength() != 0)
            Serialize(ar);
        ar.Close();
    } catch (CException* e) {
        file.Abort();
        DeleteContents();
        ReportSaveLoadException(lpszPathName, e, FALSE, 0);
        e->Delete();
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

BOOL CDocument::OnSaveDocument(LPCTSTR lpszPathName) {
    CFile file;
    CFileException fe;
    if (!file.Open(lpszPathName, CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive,
                   &fe)) {
        ReportSaveLoadException(lpszPathName, &fe, TRUE, 0);
        return FALSE;
    }
    try {
        CWaitCursor wait;
        CArchive ar(&file, CArchive::store | CArchive::bNoFlushOnDelete);
        ar.m_pDocument = this;
        ar.m_bForceFlat = FALSE;
        Serialize(ar);
        ar.Close();
        file.Close();
    } catch (CException* e) {
        file.Abort();
        ReportSaveLoadException(lpszPathName, e, TRUE, 0);
        e->Delete();
        return FALSE;
    }
    SetModifiedFlag(FALSE);
    return TRUE;
}

void CDocument::ReportSaveLoadException(LPCTSTR, CException* e, BOOL bSaving, UINT nIDPDefault) {
    CString text;
    char buf[512];
    if (e != nullptr && e->GetErrorMessage(buf, sizeof buf))
        text = buf;
    else if (nIDPDefault == 0 || !text.LoadString(nIDPDefault))
        text = bSaving ? "Failed to save document." : "Failed to open document.";
    AfxMessageBox(text, MB_ICONEXCLAMATION);
}

void CDocument::OnCloseDocument() {
    // Destroying the frames removes the views; the document must not go with the last one.
    BOOL bAutoDelete = m_bAutoDelete;
    m_bAutoDelete = FALSE;
    while (!m_viewList.empty()) {
        CView* pView = m_viewList.front();
        CFrameWnd* pFrame = pView->m_hWnd != nullptr ? pView->GetParentFrame() : nullptr;
        if (pFrame != nullptr) {
            PreCloseFrame(pFrame);
            pFrame->DestroyWindow();
        } else if (pView->m_hWnd != nullptr) {
            pView->DestroyWindow();
        }
        // A view that is still here (never had a window) leaves the list anyway.
        if (!m_viewList.empty() && m_viewList.front() == pView)
            RemoveView(pView);
    }
    m_bAutoDelete = bAutoDelete;
    DeleteContents();
    if (m_bAutoDelete)
        delete this;
}

void CDocument::PreCloseFrame(CFrameWnd*) {}

BOOL CDocument::CanCloseFrame(CFrameWnd* pFrameArg) {
    // Another frame still showing the document lets this one close without asking.
    for (CView* pView : m_viewList) {
        CFrameWnd* pFrame = pView->m_hWnd ? pView->GetParentFrame() : nullptr;
        if (pFrame != nullptr && pFrame != pFrameArg)
            return TRUE;
    }
    return SaveModified();
}

BOOL CDocument::SaveModified() {
    if (!IsModified())
        return TRUE;
    CString name = m_strPathName.IsEmpty() ? m_strTitle : m_strPathName;
    if (name.IsEmpty())
        name = "Untitled";
    CString prompt;
    prompt.Format("Save changes to %s?", static_cast<LPCTSTR>(name));
    switch (AfxMessageBox(prompt, MB_YESNOCANCEL)) {
    case IDCANCEL:
        return FALSE;
    case IDYES:
        return DoFileSave();
    default:
        return TRUE;
    }
}

BOOL CDocument::DoFileSave() {
    return DoSave(m_strPathName);
}

BOOL CDocument::DoSave(LPCTSTR lpszPathName, BOOL bReplace) {
    CString newName = lpszPathName;
    if (newName.IsEmpty()) {
        // There is no file chooser to ask for a name: a document without a file cannot be
        // saved, and says so.
        AfxMessageBox("Failed to save document.", MB_ICONEXCLAMATION);
        return FALSE;
    }
    if (!OnSaveDocument(newName))
        return FALSE;
    if (bReplace)
        SetPathName(newName);
    return TRUE;
}

BOOL CDocument::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocTemplate != nullptr && m_pDocTemplate->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}
