#include "platform/win/DocTemplate.h"

#include "platform/win/CreateContext.h"
#include "platform/win/Document.h"
#include "platform/win/FrameWnd.h"
#include "platform/win/ListPosition.h"
#include "platform/win/MessageBox.h"
#include "platform/win/MultiDocTemplate.h"
#include "platform/win/SingleDocTemplate.h"
#include "platform/win/View.h"
#include "platform/win/WaitCursor.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC(CSingleDocTemplate, CDocTemplate)
IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)

namespace {

const char kFailedToCreate[] = "Failed to create empty document.";

// A frame for the document; one that fails to load does not take the document with it. The
// user is told of the failure.
CFrameWnd* NewFrameKeepingDocument(CDocTemplate& tmpl, CDocument* pDocument) {
    const BOOL bAutoDelete = pDocument->m_bAutoDelete;
    pDocument->m_bAutoDelete = FALSE;
    CFrameWnd* pFrame = tmpl.CreateNewFrame(pDocument, nullptr);
    pDocument->m_bAutoDelete = bAutoDelete;
    if (pFrame == nullptr)
        AfxMessageBox(kFailedToCreate);
    return pFrame;
}

} // namespace

CDocTemplate::CDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                           CRuntimeClass* pViewClass)
    : m_nIDResource(nIDResource), m_pDocClass(pDocClass), m_pFrameClass(pFrameClass),
      m_pViewClass(pViewClass), m_hAccelTable(nullptr), m_nUntitledCount(0) {
    LoadTemplate();
}

CDocTemplate::~CDocTemplate() {
    // Documents still open forget their template.
    for (CDocument* pDoc : m_docList)
        pDoc->m_pDocTemplate = nullptr;
}

void CDocTemplate::LoadTemplate() {
    if (m_nIDResource == 0)
        return;
    m_strDocStrings.LoadString(m_nIDResource);
    LPCTSTR name = MAKEINTRESOURCE(m_nIDResource);
    if (m_hAccelTable == nullptr)
        m_hAccelTable = ::LoadAccelerators(AfxFindResourceHandle(name, RT_ACCELERATOR), name);
}

POSITION CDocTemplate::GetFirstDocPosition() const {
    return kel::win::FirstPosition(m_docList);
}

CDocument* CDocTemplate::GetNextDoc(POSITION& rPos) const {
    return kel::win::NextAt(m_docList, rPos);
}

void CDocTemplate::AddDocument(CDocument* pDoc) {
    if (pDoc == nullptr || std::find(m_docList.begin(), m_docList.end(), pDoc) != m_docList.end())
        return;
    m_docList.push_back(pDoc);
    pDoc->m_pDocTemplate = this;
}

void CDocTemplate::RemoveDocument(CDocument* pDoc) {
    auto it = std::find(m_docList.begin(), m_docList.end(), pDoc);
    if (it == m_docList.end())
        return;
    m_docList.erase(it);
    pDoc->m_pDocTemplate = nullptr;
}

BOOL CDocTemplate::GetDocString(CString& rString, enum DocStringIndex index) const {
    rString.Empty();
    int start = 0;
    for (int i = 0; i < static_cast<int>(index); ++i) {
        int nl = m_strDocStrings.Find('\n', start);
        if (nl < 0)
            return FALSE;
        start = nl + 1;
    }
    int nl = m_strDocStrings.Find('\n', start);
    rString = nl < 0 ? m_strDocStrings.Mid(start) : m_strDocStrings.Mid(start, nl - start);
    return !rString.IsEmpty();
}

CDocument* CDocTemplate::CreateNewDocument() {
    if (m_pDocClass == nullptr)
        return nullptr;
    CObject* pObject = m_pDocClass->CreateObject();
    CDocument* pDocument = dynamic_cast<CDocument*>(pObject);
    if (pDocument == nullptr) {
        delete pObject;
        return nullptr;
    }
    AddDocument(pDocument);
    return pDocument;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther) {
    if (m_pFrameClass == nullptr)
        return nullptr;
    CCreateContext context;
    context.m_pCurrentFrame = pOther;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pNewDocTemplate = this;
    CObject* pObject = m_pFrameClass->CreateObject();
    CFrameWnd* pFrame = dynamic_cast<CFrameWnd*>(pObject);
    if (pFrame == nullptr) {
        delete pObject;
        return nullptr;
    }
    // A frame that fails to load has deleted itself.
    if (!pFrame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE, nullptr, &context))
        return nullptr;
    return pFrame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* pFrame, CDocument* pDoc, BOOL bMakeVisible) {
    pFrame->InitialUpdateFrame(pDoc, bMakeVisible);
}

BOOL CDocTemplate::SaveAllModified() {
    std::vector<CDocument*> docs = m_docList;
    for (CDocument* pDoc : docs) {
        if (!pDoc->SaveModified())
            return FALSE;
    }
    return TRUE;
}

void CDocTemplate::CloseAllDocuments(BOOL) {
    std::vector<CDocument*> docs = m_docList;
    for (CDocument* pDoc : docs) {
        if (std::find(m_docList.begin(), m_docList.end(), pDoc) != m_docList.end())
            pDoc->OnCloseDocument();
    }
}

void CDocTemplate::SetDefaultTitle(CDocument* pDocument) {
    CString title;
    if (!GetDocString(title, docName) || title.IsEmpty())
        title = "Untitled";
    pDocument->SetTitle(title);
}

// ---------------------------------------------------------------------------

CSingleDocTemplate::CSingleDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass,
                                       CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass) {}

void CSingleDocTemplate::AddDocument(CDocument* pDoc) {
    if (!m_docList.empty() && m_docList.front() != pDoc)
        return; // one document only
    CDocTemplate::AddDocument(pDoc);
}

CDocument* CSingleDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible) {
    CDocument* pDocument = nullptr;
    CFrameWnd* pFrame = nullptr;
    BOOL bCreated = FALSE;
    if (!m_docList.empty()) {
        // The document that is there is reused, once the user agrees to leave its changes.
        pDocument = m_docList.front();
        if (!pDocument->SaveModified())
            return nullptr;
        POSITION pos = pDocument->GetFirstViewPosition();
        if (CView* pView = pDocument->GetNextView(pos))
            pFrame = pView->GetParentFrame();
    } else {
        pDocument = CreateNewDocument();
        bCreated = TRUE;
    }
    if (pDocument == nullptr) {
        AfxMessageBox(kFailedToCreate);
        return nullptr;
    }
    BOOL bWasModified = pDocument->IsModified();
    pDocument->SetModifiedFlag(FALSE);
    if (pFrame == nullptr) {
        pFrame = NewFrameKeepingDocument(*this, pDocument);
        if (pFrame == nullptr) {
            if (bCreated)
                delete pDocument;
            return nullptr;
        }
    }
    if (lpszPathName == nullptr) {
        SetDefaultTitle(pDocument);
        if (!pDocument->OnNewDocument()) {
            if (bCreated)
                pFrame->DestroyWindow();
            return nullptr;
        }
    } else {
        CWaitCursor wait;
        if (!pDocument->OnOpenDocument(lpszPathName)) {
            if (bCreated)
                pFrame->DestroyWindow();
            else
                pDocument->SetModifiedFlag(bWasModified);
            return nullptr;
        }
        pDocument->SetPathName(lpszPathName);
    }
    InitialUpdateFrame(pFrame, pDocument, bMakeVisible);
    return pDocument;
}

// ---------------------------------------------------------------------------

CMultiDocTemplate::CMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass,
                                     CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass) {}

CDocument* CMultiDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible) {
    CDocument* pDocument = CreateNewDocument();
    if (pDocument == nullptr) {
        AfxMessageBox(kFailedToCreate);
        return nullptr;
    }
    CFrameWnd* pFrame = NewFrameKeepingDocument(*this, pDocument);
    if (pFrame == nullptr) {
        delete pDocument;
        return nullptr;
    }
    // From here the frame owns the document: destroying it takes the document along.
    if (lpszPathName == nullptr) {
        SetDefaultTitle(pDocument);
        if (!pDocument->OnNewDocument()) {
            pFrame->DestroyWindow();
            return nullptr;
        }
        ++m_nUntitledCount;
    } else {
        CWaitCursor wait;
        if (!pDocument->OnOpenDocument(lpszPathName)) {
            pFrame->DestroyWindow();
            return nullptr;
        }
        pDocument->SetPathName(lpszPathName);
    }
    InitialUpdateFrame(pFrame, pDocument, bMakeVisible);
    return pDocument;
}
