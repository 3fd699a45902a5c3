#include "platform/win/FrameWnd.h"

#include "platform/gdi/DC.h"
#include "platform/gdi/SystemColors.h"
#include "platform/win/CreateContext.h"
#include "platform/win/Document.h"
#include "platform/win/View.h"
#include "platform/win/WinApp.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
ON_WM_CREATE()
ON_WM_CLOSE()
ON_WM_SIZE()
ON_WM_SETFOCUS()
ON_WM_ACTIVATE()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

const CRect CFrameWnd::rectDefault(CW_USEDEFAULT, CW_USEDEFAULT, 0, 0);

CFrameWnd::CFrameWnd()
    : m_hAccelTable(nullptr), m_pViewActive(nullptr), m_nIDHelp(0), m_bAutoMenuEnable(TRUE),
      m_bInRecalcLayout(FALSE), m_bLayoutDirty(FALSE) {}

CFrameWnd::~CFrameWnd() = default;

BOOL CFrameWnd::IsFrameWnd() const {
    return TRUE;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (cs.lpszClass == nullptr)
        cs.lpszClass = AfxRegisterWndClass(
            CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW),
            reinterpret_cast<HBRUSH>(static_cast<UINT_PTR>(COLOR_WINDOW + 1)));
    if (cs.style & FWS_ADDTOTITLE)
        cs.style |= FWS_PREFIXTITLE;
    return TRUE;
}

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                       const RECT& rect, CWnd* pParentWnd, LPCTSTR, DWORD dwExStyle,
                       CCreateContext* pContext) {
    m_strTitle = lpszWindowName;
    int x = rect.left, y = rect.top, cx, cy;
    if (CRect(rect) == rectDefault) {
        cx = cy = CW_USEDEFAULT;
    } else {
        cx = rect.right - rect.left;
        cy = rect.bottom - rect.top;
    }
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, cx, cy,
                    pParentWnd ? pParentWnd->m_hWnd : nullptr, nullptr, pContext);
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                          CCreateContext* pContext) {
    LoadTitle(nIDResource);
    if (!Create(nullptr, m_strTitle, dwDefaultStyle, rectDefault, pParentWnd,
                MAKEINTRESOURCE(nIDResource), 0L, pContext))
        return FALSE; // the frame has deleted itself
    LoadAccelTable(MAKEINTRESOURCE(nIDResource));
    if (pContext == nullptr)
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    return TRUE;
}

void CFrameWnd::LoadTitle(UINT nIDResource) {
    m_nIDHelp = nIDResource;
    // The resource's string: the title, then the document strings after newlines.
    CString full;
    if (full.LoadString(nIDResource)) {
        int nl = full.Find('\n');
        m_strTitle = nl >= 0 ? full.Left(nl) : full;
    }
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs) {
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    if (!OnCreateClient(lpcs, static_cast<CCreateContext*>(lpcs->lpCreateParams)))
        return -1;
    RecalcLayout();
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext) {
    if (pContext != nullptr && pContext->m_pNewViewClass != nullptr)
        return CreateView(pContext, AFX_IDW_PANE_FIRST) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID) {
    if (pContext == nullptr || pContext->m_pNewViewClass == nullptr)
        return nullptr;
    CObject* pObject = pContext->m_pNewViewClass->CreateObject();
    CWnd* pView = dynamic_cast<CWnd*>(pObject);
    if (pView == nullptr) {
        delete pObject;
        return nullptr;
    }
    // On failure the view has deleted itself (PostNcDestroy).
    if (!pView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0), this,
                       nID, pContext))
        return nullptr;
    return pView;
}

void CFrameWnd::PostNcDestroy() {
    delete this;
}

// ---------------------------------------------------------------------------
// Views and documents.

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify) {
    CView* pViewOld = m_pViewActive;
    if (pViewNew == pViewOld)
        return;
    m_pViewActive = nullptr; // none while the old one hears about it
    if (pViewOld != nullptr && bNotify)
        pViewOld->OnActivateView(FALSE, pViewNew, pViewOld);
    m_pViewActive = pViewNew;
    if (pViewNew != nullptr && bNotify)
        pViewNew->OnActivateView(TRUE, pViewNew, pViewOld);
}

CDocument* CFrameWnd::GetActiveDocument() {
    CView* pView = GetActiveView();
    return pView != nullptr ? pView->GetDocument() : nullptr;
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible) {
    CView* pView = nullptr;
    if (GetActiveView() == nullptr) {
        CWnd* pWnd = FromHandlePermanent(::GetDlgItem(m_hWnd, AFX_IDW_PANE_FIRST));
        pView = dynamic_cast<CView*>(pWnd);
        if (pView != nullptr)
            SetActiveView(pView, FALSE);
    }
    if (bMakeVisible) {
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
        if (pView != nullptr)
            pView->OnActivateFrame(WA_INACTIVE, this);
        ActivateFrame();
        if (pView != nullptr)
            pView->OnActivateView(TRUE, pView, pView);
    }
    if (pDoc != nullptr)
        pDoc->UpdateFrameCounts();
    OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::ActivateFrame(int nCmdShow) {
    if (nCmdShow == -1) {
        if (!IsWindowVisible())
            nCmdShow = SW_SHOWNORMAL;
        else if (IsIconic())
            nCmdShow = SW_RESTORE;
    }
    if (nCmdShow != -1)
        ShowWindow(nCmdShow);
    if (!(GetStyle() & WS_CHILD))
        SetActiveWindow();
}

CString CFrameWnd::GetDocumentTitle() {
    CDocument* pDocument = GetActiveDocument();
    return pDocument != nullptr ? pDocument->GetTitle() : CString();
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle) {
    if ((GetStyle() & FWS_ADDTOTITLE) == 0)
        return;
    CString doc = bAddToTitle ? GetDocumentTitle() : CString();
    CString text = m_strTitle;
    if (!doc.IsEmpty()) {
        if (m_strTitle.IsEmpty())
            text = doc;
        else if (GetStyle() & FWS_PREFIXTITLE)
            text = doc + " - " + m_strTitle;
        else
            text = m_strTitle + " - " + doc;
    }
    CString current;
    GetWindowText(current);
    if (current != text)
        SetWindowText(text);
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM) {
    if (m_bLayoutDirty)
        RecalcLayout();
    return 0;
}

// ---------------------------------------------------------------------------
// Layout.

void CFrameWnd::RecalcLayout(BOOL) {
    if (m_bInRecalcLayout || m_hWnd == nullptr)
        return;
    m_bInRecalcLayout = TRUE;
    m_bLayoutDirty = FALSE;
    CRect border(0, 0, 0, 0);
    RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposExtra, &border);
    m_bInRecalcLayout = FALSE;
}

void CFrameWnd::OnSize(UINT nType, int cx, int cy) {
    CWnd::OnSize(nType, cx, cy);
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

void CFrameWnd::OnSetFocus(CWnd* pOldWnd) {
    if (m_pViewActive != nullptr)
        m_pViewActive->SetFocus();
    else
        CWnd::OnSetFocus(pOldWnd);
}

void CFrameWnd::OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized) {
    CWnd::OnActivate(nState, pWndOther, bMinimized);
    if (nState != WA_INACTIVE && !bMinimized) {
        if (CView* pActiveView = GetActiveView())
            pActiveView->OnActivateFrame(nState, this);
    }
}

BOOL CFrameWnd::OnEraseBkgnd(CDC* pDC) {
    // The active view paints its own area.
    if (m_pViewActive != nullptr)
        return TRUE;
    return CWnd::OnEraseBkgnd(pDC);
}

// Closing: the document may refuse; the main frame closes every document and ends the loop;
// the last frame of an auto-delete document closes the document.
void CFrameWnd::OnClose() {
    CDocument* pDocument = GetActiveDocument();
    if (pDocument != nullptr && !pDocument->CanCloseFrame(this))
        return;
    CWinApp* pApp = AfxGetApp();
    if (pApp != nullptr && pApp->m_pMainWnd == this) {
        if (pDocument == nullptr && !pApp->SaveAllModified())
            return;
        pApp->CloseAllDocuments(FALSE);
        if (pApp->m_pMainWnd == nullptr) {
            AfxPostQuitMessage(0);
            return;
        }
    }
    if (pDocument != nullptr && pDocument->m_bAutoDelete) {
        BOOL bOtherFrame = FALSE;
        POSITION pos = pDocument->GetFirstViewPosition();
        while (pos != nullptr) {
            CView* pView = pDocument->GetNextView(pos);
            if (pView->GetParentFrame() != this) {
                bOtherFrame = TRUE;
                break;
            }
        }
        if (!bOtherFrame) {
            pDocument->OnCloseDocument();
            return;
        }
        pDocument->PreCloseFrame(this);
    }
    DestroyWindow();
}

// ---------------------------------------------------------------------------
// Commands and accelerators.

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    // The active view first, then the frame, then the application.
    if (CView* pView = GetActiveView()) {
        if (pView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
            return TRUE;
    }
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CFrameWnd::LoadAccelTable(LPCTSTR lpszResourceName) {
    if (m_hAccelTable != nullptr)
        return FALSE; // one table per frame
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_ACCELERATOR);
    m_hAccelTable = ::LoadAccelerators(hInst, lpszResourceName);
    return m_hAccelTable != nullptr;
}

HACCEL CFrameWnd::GetDefaultAccelerator() {
    return m_hAccelTable;
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg) {
    if (CWnd::PreTranslateMessage(pMsg))
        return TRUE;
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) {
        HACCEL hAccel = GetDefaultAccelerator();
        return hAccel != nullptr && ::TranslateAccelerator(m_hWnd, hAccel, pMsg);
    }
    return FALSE;
}
