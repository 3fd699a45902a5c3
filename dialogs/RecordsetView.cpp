#include "dialogs/RecordsetView.h"

#include "companions/other/ColorMask.h"
#include "resources/LibraryModule.h"

IMPLEMENT_DYNCREATE(CRecordsetView, CView)

BEGIN_MESSAGE_MAP(CRecordsetView, CView)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_SETFOCUS()
ON_MESSAGE(WM_RSC_GETHOSTBARS, OnGetHostBars)
ON_COMMAND(ID_RSV_SETCOLUMN, OnSetColumn)
ON_COMMAND(ID_RSV_SETOPERATOR, OnSetOperator)
ON_COMMAND(ID_RSV_SETVARIABLE, OnSetVariable)
ON_COMMAND(ID_RSV_SETVIEW, OnSetView)
ON_COMMAND(ID_RSV_SETALL, OnSetAll)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

namespace {

// The toolbar's image strips take these modes, element by element.
constexpr int kToolBarImageMode[6] = {3, 4, 5, 0, 1, 2};

BOOL HasDialogTemplate(UINT nID) {
    LPCTSTR lpszName = MAKEINTRESOURCE(nID);
    return ::FindResource(AfxFindResourceHandle(lpszName, RT_DIALOG), lpszName, RT_DIALOG) != NULL;
}

} // namespace

CRecordsetView::CRecordsetView() : m_pRecordsetCtrl(NULL) {}

CRecordsetView::~CRecordsetView() {
    delete m_pRecordsetCtrl;
}

CRecordsetDoc* CRecordsetView::GetDocument() const {
    return DYNAMIC_DOWNCAST(CRecordsetDoc, m_pDocument);
}

BOOL CRecordsetView::Create(LPCTSTR /*lpszClassName*/, LPCTSTR lpszWindowName, DWORD dwStyle,
                            const RECT& rect, CWnd* pParentWnd, UINT nID,
                            CCreateContext* pContext) {
    LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                                            ::LoadCursor(NULL, IDC_ARROW), NULL, NULL);
    return CWnd::Create(lpszClass, lpszWindowName, dwStyle, rect, pParentWnd, nID, pContext);
}

int CRecordsetView::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    return CView::OnCreate(lpCreateStruct) == -1 ? -1 : 0;
}

void CRecordsetView::OnInitialUpdate() {
    CWaitCursor wait;
    CRecordsetDoc* pDoc = GetDocument();
    CFrameWnd* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, GetParent());
    if (pFrame == NULL || pDoc == NULL || pDoc->m_pLoad == NULL) {
        CView::OnInitialUpdate();
        return;
    }
    pFrame->EnableDocking(CBRS_ALIGN_ANY);
    pDoc->SetTitle("");
    CRecordsetLoad* pLoad = pDoc->m_pLoad;

    if (pLoad->m_nToolBarID != 0) {
        m_wndToolBar.SetShowText(pLoad->m_bToolBarText);
        m_wndToolBar.SetLargeMode(pLoad->m_bToolBarLarge);
        if (!m_wndToolBar.Create(pFrame, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR))
            return;
        m_wndToolBar.SetInstance(pLoad->m_hResourceInstance);
        if (!m_wndToolBar.LoadToolBar(pLoad->m_nToolBarID))
            return;
        for (int k = 0; k < 6; ++k) {
            if (pLoad->m_anToolBarBitmapID[k] != 0)
                m_wndToolBar.SetBitmap(pLoad->m_anToolBarBitmapID[k], kToolBarImageMode[k],
                                       pLoad->m_acrToolBarMask[k]);
        }
        m_wndToolBar.SetBarStyle(m_wndToolBar.GetBarStyle() | pLoad->m_dwToolBarStyle);
        m_wndToolBar.EnableDocking(CBRS_ALIGN_ANY);
        pFrame->DockControlBar(&m_wndToolBar, pLoad->m_nToolBarDock, NULL);
    }

    // A search-bar template that no module carries leaves the view without the bar rather
    // than without a grid; a bar that fails to be made from a template stops the update.
    const UINT nSearchBarID = LOWORD(pLoad->m_nSearchBarID);
    if (nSearchBarID != 0 && HasDialogTemplate(nSearchBarID)) {
        if (!m_wndDialogBar.Create(pFrame, MAKEINTRESOURCE(nSearchBarID), pLoad->m_dwSearchBarStyle,
                                   ID_RSV_SEARCHBAR))
            return;
        m_wndDialogBar.EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM);
        pFrame->DockControlBar(&m_wndDialogBar, pLoad->m_nSearchBarDock, NULL);
        if (m_wndDialogBar.GetDlgItem(IDC_SB_COLUMN) != NULL)
            m_wndColumnBox.SubclassDlgItem(IDC_SB_COLUMN, &m_wndDialogBar);
        if (m_wndDialogBar.GetDlgItem(IDC_SB_OPERATOR) != NULL)
            m_wndOperatorBox.SubclassDlgItem(IDC_SB_OPERATOR, &m_wndDialogBar);
        HINSTANCE hLibrary = ::GetModuleHandle(KELRSLIST_MODULE_NAME);
        struct {
            CExButton* pButton;
            UINT nID;
            UINT nImage;
        } const buttons[] = {{&m_btnView, IDC_SB_SEARCH, 0},
                             {&m_btnAll, IDC_SB_ALL, 1},
                             {&m_btnConfigSearch, IDC_SB_CONFIG, 2}};
        for (const auto& b : buttons) {
            if (m_wndDialogBar.GetDlgItem(b.nID) != NULL &&
                b.pButton->SubclassDlgItem(b.nID, &m_wndDialogBar))
                b.pButton->SetBitmap(hLibrary, KELRS_IDB_SEARCHBAR, b.nImage, 16, 16, ColorMask);
        }
    }

    CRect rcClient;
    GetClientRect(&rcClient);
    CObject* pObject = pLoad->m_pCtrlClass ? pLoad->m_pCtrlClass->CreateObject() : NULL;
    m_pRecordsetCtrl = DYNAMIC_DOWNCAST(CRecordsetCtrl, pObject);
    if (m_pRecordsetCtrl == NULL) {
        // A class that is no grid: nothing to show, and nothing of it kept.
        delete pObject;
        return;
    }
    m_pRecordsetCtrl->Initialise(pLoad);
    m_pRecordsetCtrl->SetInView(TRUE);
    m_pRecordsetCtrl->Create(pDoc, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rcClient, this, 0);
    delete pDoc->m_pLoad;
    pDoc->m_pLoad = NULL;
    pFrame->RecalcLayout(TRUE);
    CView::OnInitialUpdate();
}

void CRecordsetView::OnDraw(CDC* /*pDC*/) {}

void CRecordsetView::OnSize(UINT nType, int cx, int cy) {
    CView::OnSize(nType, cx, cy);
    if (m_pRecordsetCtrl != NULL && m_pRecordsetCtrl->GetSafeHwnd() != NULL)
        m_pRecordsetCtrl->MoveWindow(0, 0, cx, cy, FALSE);
}

void CRecordsetView::OnSetFocus(CWnd* /*pOldWnd*/) {
    if (m_pRecordsetCtrl != NULL && m_pRecordsetCtrl->GetSafeHwnd() != NULL)
        m_pRecordsetCtrl->SetFocus();
}

// The view's own handlers and the document's first, then the grid's. Without a grid the
// command goes on to the frame and the application: nothing here can have handled it.
BOOL CRecordsetView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (CView::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (m_pRecordsetCtrl == NULL || m_pRecordsetCtrl->GetSafeHwnd() == NULL)
        return FALSE;
    return m_pRecordsetCtrl->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

LRESULT CRecordsetView::OnGetHostBars(WPARAM wParam, LPARAM /*lParam*/) {
    auto* pBars = reinterpret_cast<RSC_HOSTBARS*>(wParam);
    if (pBars == NULL)
        return FALSE;
    pBars->pToolBar = m_wndToolBar.GetSafeHwnd() != NULL ? &m_wndToolBar : NULL;
    pBars->pSearchBar = m_wndDialogBar.GetSafeHwnd() != NULL ? &m_wndDialogBar : NULL;
    return TRUE;
}

CDialogBar* CRecordsetView::GetVisibleSearchBar() const {
    if (m_wndDialogBar.GetSafeHwnd() == NULL || !m_wndDialogBar.IsWindowVisible())
        return NULL;
    return const_cast<CExDialogBar*>(&m_wndDialogBar);
}

void CRecordsetView::OnSetColumn() {
    if (CDialogBar* pBar = GetVisibleSearchBar()) {
        if (CWnd* pColumn = pBar->GetDlgItem(IDC_SB_COLUMN))
            pColumn->SetFocus();
    }
}

void CRecordsetView::OnSetOperator() {
    CDialogBar* pBar = GetVisibleSearchBar();
    if (pBar == NULL)
        return;
    CWnd* pOperator = pBar->GetDlgItem(IDC_SB_OPERATOR);
    if (pOperator != NULL && pOperator->IsWindowVisible())
        pOperator->SetFocus();
    else if (m_pRecordsetCtrl != NULL && m_pRecordsetCtrl->GetSafeHwnd() != NULL)
        m_pRecordsetCtrl->OnConfigSearch();
}

void CRecordsetView::OnSetVariable() {
    CDialogBar* pBar = GetVisibleSearchBar();
    if (pBar == NULL)
        return;
    CWnd* pCriteria = pBar->GetDlgItem(IDC_SB_CRITERIA);
    if (pCriteria != NULL && pCriteria->IsWindowVisible())
        pCriteria->SetFocus();
    else if (CWnd* pFrom = pBar->GetDlgItem(IDC_SB_FROM))
        pFrom->SetFocus();
}

void CRecordsetView::OnSetView() {
    if (GetVisibleSearchBar() != NULL && m_btnView.GetSafeHwnd() != NULL &&
        m_btnView.IsWindowEnabled() && m_pRecordsetCtrl != NULL &&
        m_pRecordsetCtrl->GetSafeHwnd() != NULL)
        m_pRecordsetCtrl->OnView();
}

void CRecordsetView::OnSetAll() {
    if (GetVisibleSearchBar() != NULL && m_btnAll.GetSafeHwnd() != NULL &&
        m_btnAll.IsWindowEnabled() && m_pRecordsetCtrl != NULL &&
        m_pRecordsetCtrl->GetSafeHwnd() != NULL)
        m_pRecordsetCtrl->OnAll();
}

void CRecordsetView::OnCancel() {
    if (m_pRecordsetCtrl != NULL && m_pRecordsetCtrl->GetSafeHwnd() != NULL)
        m_pRecordsetCtrl->SetFocus();
}
