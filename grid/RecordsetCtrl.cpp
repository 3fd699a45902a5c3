// The grid object: construction, the message map, the two creation paths, the configuration
// copy, the background bitmap and the message pre-filter.
#include "grid/RecordsetCtrl.h"

#include "resources/LibraryModule.h"

IMPLEMENT_DYNCREATE(CRecordsetCtrl, CWnd)

BEGIN_MESSAGE_MAP(CRecordsetCtrl, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_SIZE()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
ON_WM_ERASEBKGND()
ON_WM_PAINT()
ON_WM_GETDLGCODE()
ON_WM_KEYDOWN()
ON_WM_CHAR()
ON_WM_TIMER()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_RBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_MOUSEWHEEL()
ON_MESSAGE(WM_RSC_LOAD, OnLoad)
ON_MESSAGE(WM_RSC_RELOAD, OnReload)
ON_MESSAGE(WM_RSC_RELOADLONG, OnReloadLong)
ON_MESSAGE(WM_RSC_REFRESH, OnRefreshView)
ON_MESSAGE(WM_KILLEDIT_ACCEPT, OnKillEdit)
ON_MESSAGE(WM_KILLEDIT_CANCEL, OnKillEditCancel)
ON_NOTIFY(HDN_ITEMCLICK, 0, OnHeaderItemClick)
ON_NOTIFY(HDN_ITEMDBLCLICK, 0, OnHeaderItemClick)
ON_NOTIFY(HDN_BEGINTRACK, 0, OnHeaderBeginTrack)
ON_NOTIFY(HDN_TRACK, 0, OnHeaderTrack)
ON_NOTIFY(HDN_ENDTRACK, 0, OnHeaderEndTrack)
ON_NOTIFY(HDN_ENDDRAG, 0, OnHeaderEndDrag)
ON_COMMAND(ID_CM_FONTSIZE8, OnCMFontSize8)
ON_COMMAND(ID_CM_FONTSIZE9, OnCMFontSize9)
ON_COMMAND(ID_CM_FONTSIZE11, OnCMFontSize11)
ON_COMMAND(ID_CM_FONTSIZE13, OnCMFontSize13)
ON_COMMAND(ID_CM_COLUMN, OnCMColumn)
ON_COMMAND(IDC_RSC_COLUMNS, OnCMColumn)
ON_COMMAND(ID_CM_SHOWBACKGROUND, OnCMShowBackground)
ON_COMMAND(ID_CM_SHOWTOOLBAR, OnCMShowToolBar)
ON_COMMAND(ID_CM_SHOWSEARCHBAR, OnCMShowSearchBar)
ON_COMMAND(ID_CM_REFRESH, OnCMRefresh)
ON_COMMAND(IDC_RSC_REFRESH, OnCMRefresh)
ON_COMMAND(IDC_SB_SEARCH, OnView)
ON_UPDATE_COMMAND_UI(IDC_SB_SEARCH, OnUpdateView)
ON_COMMAND(IDC_SB_ALL, OnAll)
ON_UPDATE_COMMAND_UI(IDC_SB_ALL, OnUpdateAll)
ON_COMMAND(IDC_SB_CONFIG, OnConfigSearch)
ON_CBN_SELENDOK(IDC_SB_COLUMN, OnSelendokDialogBar)
ON_CBN_SELENDOK(IDC_SB_OPERATOR, OnSelendokDialogBar)
ON_UPDATE_COMMAND_UI(ID_RECORD_NEW, OnUpdateNew)
ON_UPDATE_COMMAND_UI(ID_RECORD_OPEN, OnUpdateOpen)
ON_UPDATE_COMMAND_UI(ID_RECORD_DELETE, OnUpdateDelete)
ON_UPDATE_COMMAND_UI(ID_RECORD_CHOOSE, OnUpdateChoose)
ON_COMMAND(ID_RECORD_CHOOSE, OnChoose)
ON_COMMAND(ID_RECORD_CLOSE, OnClose)
END_MESSAGE_MAP()

CRecordsetCtrl::CRecordsetCtrl()
    : m_strFontName("Arial"), m_nFontSize(9), m_nCharHeight(0), m_nCharWidth(0),
      m_nHeaderCharWidth(0), m_nSmallCharHeight(0), m_bShowBackground(FALSE), m_nBackgroundWidth(0),
      m_nBackgroundHeight(0), m_crWindow(GetSysColor(COLOR_WINDOW)),
      m_crWindowText(GetSysColor(COLOR_WINDOWTEXT)), m_crHighlight(GetSysColor(COLOR_HIGHLIGHT)),
      m_crHighlightText(GetSysColor(COLOR_HIGHLIGHTTEXT)), m_crBtnFace(GetSysColor(COLOR_BTNFACE)),
      m_nHeaderBitmapID(0), m_crHeaderMask(0), m_hResourceInstance(NULL), m_nSortByN(-1),
      m_bSortDesc(FALSE), m_nKeyColumn(0), m_nTypeAheadTimer(1), m_nAdvSearchOr(0), m_nSearchCol(1),
      m_nSearchOp(0), m_nEditTimer(2), m_nEditRow(-1), m_nEditSlot(0), m_bEditOnClick(FALSE),
      m_nTrackLine(-1), m_nWheelDelta(0), m_bDragStarted(FALSE), m_nRows(0), m_nTableRows(0),
      m_nCursor(-1), m_nHScrollHeight(0), m_nVScrollWidth(0), m_adwUser{}, m_bAlwaysChoose(FALSE),
      m_bInView(FALSE), m_bOwnDoc(FALSE), m_pDoc(NULL), m_hWndEditor(NULL), m_nEditColumn(-1),
      m_nRecordRows(0), m_nCountTimer(3), m_bCounting(FALSE), m_bAtEnd(FALSE) {
    m_strDeleted.LoadString(IDS_RSC_DELETED);
}

CRecordsetCtrl::~CRecordsetCtrl() {
    // Child windows go first: their objects are members and must not outlive their windows.
    if (GetSafeHwnd() != NULL)
        DestroyWindow();
    if (m_bOwnDoc)
        delete m_pDoc;
    m_pDoc = NULL;
}

namespace {

LPCTSTR GridWindowClass() {
    return AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursor(NULL, IDC_ARROW),
                               NULL, NULL);
}

} // namespace

BOOL CRecordsetCtrl::Create(CRecordsetLoad* pLoad, LPCTSTR lpszWindowName, DWORD dwExStyle,
                            DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    if (pLoad == NULL)
        return FALSE;
    // The record is ours from here on: it is deleted below whatever happens.
    if (m_bOwnDoc)
        delete m_pDoc;
    m_bOwnDoc = TRUE;
    m_pDoc = new CRecordsetDoc;
    m_pDoc->OnOpenDocument(reinterpret_cast<LPCTSTR>(pLoad));
    Initialise(pLoad);
    delete pLoad;
    m_pDoc->m_pLoad = NULL;
    return CWnd::CreateEx(dwExStyle, GridWindowClass(), lpszWindowName, dwStyle, rect, pParentWnd,
                          nID);
}

BOOL CRecordsetCtrl::Create(CRecordsetDoc* pDoc, LPCTSTR lpszWindowName, DWORD dwStyle,
                            const RECT& rect, CWnd* pParentWnd, UINT nID) {
    if (m_bOwnDoc)
        delete m_pDoc;
    m_bOwnDoc = FALSE;
    m_pDoc = pDoc;
    return CWnd::Create(GridWindowClass(), lpszWindowName, dwStyle, rect, pParentWnd, nID);
}

void CRecordsetCtrl::Initialise(CRecordsetLoad* pLoad) {
    if (pLoad == NULL)
        return;
    m_strRegistryKey = pLoad->m_strRegistryKey;
    for (int i = 0; i < 10; ++i)
        m_adwUser[i] = pLoad->m_adwUser[i];
    m_nHeaderBitmapID = pLoad->m_nHeaderBitmapID;
    m_crHeaderMask = pLoad->m_crHeaderMask;
    m_hResourceInstance = pLoad->m_hResourceInstance;
    m_bEditOnClick = pLoad->m_bEditOnClick;
    if ((int)pLoad->m_nBackgroundBitmapID > 0) {
        m_bShowBackground = pLoad->m_bShowBackground;
        SetBitmap(pLoad->m_hResourceInstance, pLoad->m_nBackgroundBitmapID);
    } else {
        pLoad->m_bShowBackground = FALSE;
    }
}

void CRecordsetCtrl::SetBitmap(HINSTANCE hInstance, UINT nIDResource) {
    if (m_bmpBackground.GetSafeHandle() != NULL)
        m_bmpBackground.DeleteObject();
    HBITMAP hBitmap = (HBITMAP)::LoadImage(hInstance, MAKEINTRESOURCE(LOWORD(nIDResource)),
                                           IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION);
    if (hBitmap == NULL)
        return;
    m_bmpBackground.Attach(hBitmap);
    BITMAP bm{};
    m_bmpBackground.GetBitmap(&bm);
    m_nBackgroundWidth = bm.bmWidth;
    m_nBackgroundHeight = bm.bmHeight;
}

BOOL CRecordsetCtrl::PreCreateWindow(CREATESTRUCT& cs) {
    return CWnd::PreCreateWindow(cs);
}

BOOL CRecordsetCtrl::PreTranslateMessage(MSG* pMsg) {
    if (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MBUTTONDBLCLK &&
        m_toolTip.GetSafeHwnd() != NULL) {
        m_toolTip.Activate(TRUE);
        m_toolTip.RelayEvent(pMsg);
    }
    // Enter and Escape are the grid's own keys, also inside a dialog that would take them
    // as OK or Cancel.
    if (pMsg->message == WM_KEYDOWN && (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE)) {
        ::TranslateMessage(pMsg);
        ::DispatchMessage(pMsg);
        return TRUE;
    }
    return CWnd::PreTranslateMessage(pMsg);
}

void CRecordsetCtrl::NotifyParent(UINT nCode) {
    if (m_bInView)
        return;
    CWnd* pParent = GetParent();
    if (pParent == NULL)
        return;
    pParent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), nCode), (LPARAM)m_hWnd);
}

void CRecordsetCtrl::SendCommand(UINT nID) {
    SendMessage(WM_COMMAND, MAKEWPARAM(nID, 0), 0);
}

namespace {

RSC_HOSTBARS AskHostBars(const CWnd* pGrid) {
    RSC_HOSTBARS bars{NULL, NULL};
    CWnd* pParent = pGrid->GetParent();
    if (pParent != NULL)
        pParent->SendMessage(WM_RSC_GETHOSTBARS, (WPARAM)&bars, 0);
    return bars;
}

} // namespace

CControlBar* CRecordsetCtrl::GetHostToolBar() const {
    return m_bInView ? AskHostBars(this).pToolBar : NULL;
}

CDialogBar* CRecordsetCtrl::GetHostSearchBar() const {
    return m_bInView ? AskHostBars(this).pSearchBar : NULL;
}
