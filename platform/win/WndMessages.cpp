// CWnd: the window procedure, message-map dispatch, commands and notifications, reflection,
// pre-translation, and the default handlers.
#include "platform/win/Wnd.h"

#include "platform/win/CmdUI.h"
#include "platform/win/ModalDriver.h"
#include "platform/win/WinApp.h"
#include "platform/win/WindowManager.h"

#include <vector>

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
ON_WM_NCDESTROY()
ON_WM_SYSCOLORCHANGE()
ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

namespace {

// The message being handled, for Default() and reflection.
MSG g_lastSent{};

// Finds the entry of the object's maps for a window message, the derived class's first. The
// tables are a handful of entries each: a walk costs less than a cache would.
const AFX_MSGMAP_ENTRY* FindWindowEntry(const AFX_MSGMAP* pMap, UINT message) {
    for (; pMap != nullptr; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
        if (const AFX_MSGMAP_ENTRY* e = AfxFindMessageEntry(pMap->lpEntries, message, 0, 0))
            return e;
    }
    return nullptr;
}

// The check made before a menu or accelerator command is routed: is it enabled?
class CTestCmdUI : public CCmdUI {
public:
    BOOL m_bEnabled = TRUE;
    void Enable(BOOL bOn) override {
        m_bEnabled = bOn;
        m_bEnableChanged = TRUE;
    }
    void SetCheck(int) override {}
    void SetRadio(BOOL) override {}
    void SetText(LPCTSTR) override {}
};

} // namespace

// ---------------------------------------------------------------------------
// The window procedure.

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    if (nMsg == WM_QUERYAFXWNDPROC)
        return 1;
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (pWnd == nullptr)
        return ::DefWindowProc(hWnd, nMsg, wParam, lParam);
    return AfxCallWndProc(pWnd, hWnd, nMsg, wParam, lParam);
}

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
    const MSG saved = g_lastSent;
    g_lastSent = MSG{hWnd, nMsg, wParam, lParam, ::GetMessageTime(), {}, 0};
    LRESULT lResult = 0;
    try {
        lResult = pWnd->WindowProc(nMsg, wParam, lParam);
    } catch (CException* e) {
        // A framework exception that no handler caught is reported, as the framework does;
        // a window whose creation threw is not created.
        lResult = nMsg == WM_CREATE ? -1 : 0;
        if (nMsg == WM_PAINT)
            ::ValidateRect(hWnd, nullptr);
        e->ReportError(MB_ICONEXCLAMATION);
        e->Delete();
    }
    g_lastSent = saved;
    return lResult;
}

const MSG* PASCAL CWnd::GetCurrentMessage() {
    return &g_lastSent;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    LRESULT lResult = 0;
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        lResult = 1;
    } else if (message == WM_NOTIFY) {
        const NMHDR* pNMHDR = reinterpret_cast<const NMHDR*>(lParam);
        if (pNMHDR == nullptr || pNMHDR->hwndFrom == nullptr || !OnNotify(wParam, lParam, &lResult))
            return FALSE;
    } else {
        // The WM_CTLCOLORxxx family has one entry; the kind travels as the code.
        UINT lookup = message;
        UINT nCode = 0;
        if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
            lookup = WM_CTLCOLOR;
            nCode = message - WM_CTLCOLORMSGBOX;
        } else if (message == WM_REFLECT_BASE + WM_CTLCOLOR) {
            nCode = g_lastSent.message >= WM_CTLCOLORMSGBOX ? g_lastSent.message - WM_CTLCOLORMSGBOX
                                                            : 0;
        }
        const AFX_MSGMAP_ENTRY* pEntry = FindWindowEntry(GetMessageMap(), lookup);
        if (pEntry != nullptr) {
            AFX_MSG_CALL call{lookup, wParam, lParam, 0, nCode, nullptr, 0};
            pEntry->pfn(this, call);
            lResult = call.lResult;
        } else {
            // Without a handler, what a control sends about itself goes back to it first.
            HWND hWndChild = nullptr;
            switch (message) {
            case WM_HSCROLL:
            case WM_VSCROLL:
                hWndChild = reinterpret_cast<HWND>(lParam);
                break;
            case WM_DRAWITEM:
                hWndChild = lParam ? reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)->hwndItem : nullptr;
                break;
            case WM_DELETEITEM:
                hWndChild =
                    lParam ? reinterpret_cast<LPDELETEITEMSTRUCT>(lParam)->hwndItem : nullptr;
                break;
            case WM_MEASUREITEM:
                hWndChild = ::GetDlgItem(m_hWnd, static_cast<int>(wParam));
                break;
            default:
                if (lookup == WM_CTLCOLOR)
                    hWndChild = reinterpret_cast<HWND>(lParam);
                break;
            }
            if (hWndChild == nullptr || hWndChild == m_hWnd || !ReflectLastMsg(hWndChild, &lResult))
                return FALSE;
        }
    }
    if (pResult != nullptr)
        *pResult = lResult;
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_pfnSuper != nullptr)
        return ::CallWindowProc(m_pfnSuper, m_hWnd, message, wParam, lParam);
    return ::DefWindowProc(m_hWnd, message, wParam, lParam);
}

WNDPROC* CWnd::GetSuperWndProcAddr() {
    return &m_pfnSuper;
}

LRESULT CWnd::Default() {
    return DefWindowProc(g_lastSent.message, g_lastSent.wParam, g_lastSent.lParam);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessage(m_hWnd, message, wParam, lParam);
}

BOOL CWnd::PostMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::PostMessage(m_hWnd, message, wParam, lParam);
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep,
                                    BOOL bOnlyPerm) {
    // A snapshot of the children: handlers may create or destroy windows.
    std::vector<HWND> children;
    for (HWND h = ::GetTopWindow(m_hWnd); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT))
        children.push_back(h);
    for (HWND h : children) {
        if (!::IsWindow(h))
            continue;
        if (bOnlyPerm) {
            if (CWnd* pWnd = FromHandlePermanent(h))
                AfxCallWndProc(pWnd, h, message, wParam, lParam);
        } else {
            ::SendMessage(h, message, wParam, lParam);
        }
        if (bDeep && ::IsWindow(h) && ::GetTopWindow(h) != nullptr) {
            CWnd* pWnd = FromHandle(h);
            pWnd->SendMessageToDescendants(message, wParam, lParam, bDeep, bOnlyPerm);
        }
    }
}

// ---------------------------------------------------------------------------
// Commands and notifications.

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT nID = LOWORD(wParam);
    HWND hWndCtrl = reinterpret_cast<HWND>(lParam);
    int nCode = HIWORD(wParam);
    if (hWndCtrl == nullptr) {
        // A menu item or an accelerator: a disabled command is not carried out.
        if (nID == 0)
            return FALSE;
        CTestCmdUI state;
        state.m_nID = nID;
        OnCmdMsg(nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, nullptr);
        if (!state.m_bEnabled)
            return TRUE;
        nCode = CN_COMMAND;
    } else {
        // A control's notification goes to the control first (reflection).
        if (ReflectLastMsg(hWndCtrl))
            return TRUE;
        if (nID == 0)
            return FALSE;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM, LPARAM lParam, LRESULT* pResult) {
    NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    HWND hWndCtrl = pNMHDR->hwndFrom;
    UINT nID = static_cast<UINT>(::GetDlgCtrlID(hWndCtrl));
    int nCode = static_cast<int>(pNMHDR->code);
    if (ReflectLastMsg(hWndCtrl, pResult))
        return TRUE;
    AFX_NOTIFY notify{pResult, pNMHDR};
    return OnCmdMsg(nID, MAKELONG(nCode, WM_NOTIFY), &notify, nullptr);
}

BOOL PASCAL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult) {
    CWnd* pWnd = FromHandlePermanent(hWndChild);
    return pWnd != nullptr && pWnd->SendChildNotifyLastMsg(pResult);
}

BOOL CWnd::SendChildNotifyLastMsg(LRESULT* pResult) {
    return OnChildNotify(g_lastSent.message, g_lastSent.wParam, g_lastSent.lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
    switch (message) {
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_PARENTNOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_DELETEITEM:
        return CWnd::OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, pResult);
    case WM_COMMAND: {
        int nCode = HIWORD(wParam);
        if (CCmdTarget::OnCmdMsg(0, MAKELONG(nCode, WM_REFLECT_BASE + WM_COMMAND), nullptr,
                                 nullptr)) {
            if (pResult != nullptr)
                *pResult = 1;
            return TRUE;
        }
        return FALSE;
    }
    case WM_NOTIFY: {
        NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
        AFX_NOTIFY notify{pResult, pNMHDR};
        return CCmdTarget::OnCmdMsg(
            0, MAKELONG(static_cast<int>(pNMHDR->code), WM_REFLECT_BASE + WM_NOTIFY), &notify,
            nullptr);
    }
    default:
        if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
            LRESULT lResult = 0;
            if (!CWnd::OnWndMsg(WM_REFLECT_BASE + WM_CTLCOLOR, wParam, lParam, &lResult))
                return FALSE;
            // A reflected handler that returns no brush leaves the parent to decide.
            if (lResult == 0)
                return FALSE;
            if (pResult != nullptr)
                *pResult = lResult;
            return TRUE;
        }
        return FALSE;
    }
}

// ---------------------------------------------------------------------------
// Pre-translation: the message's window, then each parent (or owner) up to hWndStop.

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

BOOL PASCAL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg) {
    for (HWND hWnd = pMsg->hwnd; hWnd != nullptr; hWnd = ::GetParent(hWnd)) {
        CWnd* pWnd = FromHandlePermanent(hWnd);
        if (pWnd != nullptr && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (hWnd == hWndStop || !::IsWindow(hWnd))
            break;
    }
    return FALSE;
}

// ---------------------------------------------------------------------------
// Default handlers.

int CWnd::OnCreate(LPCREATESTRUCT) {
    return static_cast<int>(Default());
}
BOOL CWnd::OnNcCreate(LPCREATESTRUCT) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnDestroy() {
    Default();
}
void CWnd::OnClose() {
    Default();
}
void CWnd::OnMove(int, int) {
    Default();
}
void CWnd::OnSize(UINT, int, int) {
    Default();
}
void CWnd::OnPaint() {
    Default();
}
void CWnd::OnNcPaint() {
    Default();
}
BOOL CWnd::OnEraseBkgnd(CDC*) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnTimer(UINT_PTR) {
    Default();
}
void CWnd::OnShowWindow(BOOL, UINT) {
    Default();
}
void CWnd::OnEnable(BOOL) {
    Default();
}
void CWnd::OnSetFocus(CWnd*) {
    Default();
}
void CWnd::OnKillFocus(CWnd*) {
    Default();
}
void CWnd::OnActivate(UINT, CWnd*, BOOL) {
    Default();
}
int CWnd::OnMouseActivate(CWnd*, UINT, UINT) {
    return static_cast<int>(Default());
}
BOOL CWnd::OnNcActivate(BOOL) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnChildActivate() {
    Default();
}
void CWnd::OnCancelMode() {
    Default();
}
void CWnd::OnCaptureChanged(CWnd*) {
    Default();
}
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) {
    return static_cast<BOOL>(Default());
}
LRESULT CWnd::OnNcHitTest(CPoint) {
    return Default();
}
void CWnd::OnContextMenu(CWnd*, CPoint) {
    Default();
}
UINT CWnd::OnGetDlgCode() {
    return static_cast<UINT>(Default());
}
void CWnd::OnWindowPosChanging(WINDOWPOS*) {
    Default();
}
void CWnd::OnWindowPosChanged(WINDOWPOS*) {
    Default();
}
void CWnd::OnGetMinMaxInfo(MINMAXINFO*) {
    Default();
}
void CWnd::OnParentNotify(UINT, LPARAM) {
    Default();
}
void CWnd::OnSettingChange(UINT, LPCTSTR) {
    Default();
}
void CWnd::OnSysCommand(UINT, LPARAM) {
    Default();
}
void CWnd::OnMouseMove(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnLButtonDblClk(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnRButtonDblClk(UINT, CPoint) {
    Default();
}
void CWnd::OnMButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnMButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnMButtonDblClk(UINT, CPoint) {
    Default();
}
void CWnd::OnNcMouseMove(UINT, CPoint) {
    Default();
}
void CWnd::OnNcLButtonDown(UINT, CPoint) {
    Default();
}
void CWnd::OnNcLButtonUp(UINT, CPoint) {
    Default();
}
void CWnd::OnNcLButtonDblClk(UINT, CPoint) {
    Default();
}
BOOL CWnd::OnMouseWheel(UINT, short, CPoint) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnKeyDown(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnKeyUp(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnChar(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnSysKeyDown(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnSysKeyUp(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnSysChar(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnMDIActivate(BOOL, CWnd*, CWnd*) {
    Default();
}

// The handlers a control's parent calls as its base behaviour: the control gets its own
// message back first (reflection), else the default processing.
namespace {

void ReflectToBarOrDefault(CWnd* pWnd) {
    HWND hWndBar = reinterpret_cast<HWND>(g_lastSent.lParam);
    if (hWndBar == nullptr || !CWnd::ReflectLastMsg(hWndBar))
        pWnd->Default();
}

} // namespace

void CWnd::OnHScroll(UINT, UINT, CScrollBar*) {
    ReflectToBarOrDefault(this);
}
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) {
    ReflectToBarOrDefault(this);
}

void CWnd::OnDrawItem(int, LPDRAWITEMSTRUCT lpDrawItemStruct) {
    if (lpDrawItemStruct != nullptr && lpDrawItemStruct->CtlType != ODT_MENU &&
        ReflectLastMsg(lpDrawItemStruct->hwndItem))
        return;
    Default();
}

void CWnd::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct) {
    if (lpMeasureItemStruct != nullptr && lpMeasureItemStruct->CtlType != ODT_MENU) {
        HWND hWndCtl = ::GetDlgItem(m_hWnd, nIDCtl);
        if (hWndCtl != nullptr && ReflectLastMsg(hWndCtl))
            return;
    }
    Default();
}

HBRUSH CWnd::OnCtlColor(CDC*, CWnd* pWnd, UINT) {
    LRESULT lResult = 0;
    HWND hWndCtl = pWnd != nullptr ? pWnd->m_hWnd : reinterpret_cast<HWND>(g_lastSent.lParam);
    if (hWndCtl != nullptr && ReflectLastMsg(hWndCtl, &lResult))
        return reinterpret_cast<HBRUSH>(lResult);
    return reinterpret_cast<HBRUSH>(Default());
}

void CWnd::OnSysColorChange() {
    // Top-level windows pass the news to their children.
    if ((GetStyle() & WS_CHILD) == 0)
        SendMessageToDescendants(WM_SYSCOLORCHANGE, 0, 0, TRUE, TRUE);
    Default();
}

// Default, unsubclass, detach from the window, then tell the object (which may delete itself).
// The main window going ends the application's loop.
void CWnd::OnNcDestroy() {
    auto proc = ::GetWindowLongPtr(m_hWnd, GWLP_WNDPROC);
    Default();
    if (::GetWindowLongPtr(m_hWnd, GWLP_WNDPROC) == proc && m_pfnSuper != nullptr)
        ::SetWindowLongPtr(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
    m_pfnSuper = nullptr;
    CWinThread* pThread = AfxGetThread();
    if (pThread != nullptr && pThread->m_pMainWnd == this) {
        pThread->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    Detach();
    PostNcDestroy();
}

LRESULT CWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM) {
    return 0;
}

// ---------------------------------------------------------------------------
// Command-update requests for child controls.

void CWnd::UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler) {
    // Button styles whose check state is the button's own business.
    constexpr UINT kAutoCheckBox = 3, kAuto3State = 6, kGroupBox = 7, kAutoRadio = 9;
    CCmdUI state;
    std::vector<HWND> children;
    for (HWND h = ::GetTopWindow(m_hWnd); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT))
        children.push_back(h);
    for (HWND hWndChild : children) {
        if (!::IsWindow(hWndChild))
            continue;
        state.m_pOther = FromHandle(hWndChild);
        state.m_nID = static_cast<UINT>(::GetDlgCtrlID(hWndChild));
        // The control's own update handler (reflected) comes first.
        CWnd* pChild = FromHandlePermanent(hWndChild);
        if (pChild != nullptr &&
            pChild->CCmdTarget::OnCmdMsg(
                0, MAKELONG(static_cast<int>(CN_UPDATE_COMMAND_UI), WM_COMMAND + WM_REFLECT_BASE),
                &state, nullptr))
            continue;
        // Then a handler of this window itself.
        if (CWnd::OnCmdMsg(state.m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, nullptr))
            continue;
        BOOL bDisableTemp = bDisableIfNoHndler;
        if (bDisableTemp) {
            if ((::SendMessage(hWndChild, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) == 0) {
                bDisableTemp = FALSE;
            } else {
                UINT nStyle = static_cast<UINT>(::GetWindowLong(hWndChild, GWL_STYLE) & 0x0F);
                if (nStyle == kAutoCheckBox || nStyle == kAuto3State || nStyle == kGroupBox ||
                    nStyle == kAutoRadio)
                    bDisableTemp = FALSE;
            }
        }
        state.DoUpdate(pTarget, bDisableTemp);
    }
}

// ---------------------------------------------------------------------------
// Modal loops.

int CWnd::RunModalLoop(DWORD dwFlags) {
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    BOOL bShowIdle = (dwFlags & MLF_SHOWONIDLE) && !(GetStyle() & WS_VISIBLE);
    HWND hWndParent = ::GetParent(m_hWnd);
    m_nFlags |= (WF_MODALLOOP | WF_CONTINUEMODAL);
    HWND hWndSelf = m_hWnd;
    bool driverCalled = false;
    CWinThread* pThread = AfxGetThread();
    MSG* pMsg = &pThread->m_msgCur;

    for (;;) {
        // Phase 1: idle while nothing waits.
        while (bIdle && !::PeekMessage(pMsg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!(dwFlags & MLF_NOIDLEMSG) && hWndParent != nullptr && lIdleCount == 0)
                ::SendMessage(hWndParent, WM_ENTERIDLE, MSGF_DIALOGBOX,
                              reinterpret_cast<LPARAM>(m_hWnd));
            if ((dwFlags & MLF_NOKICKIDLE) ||
                !::SendMessage(m_hWnd, WM_KICKIDLE, MSGF_DIALOGBOX, lIdleCount++))
                bIdle = FALSE;
            if (bShowIdle) {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
                bShowIdle = FALSE;
            }
        }
        // The window is up and painted: a test's driver acts on it, once.
        if (!driverCalled && !::PeekMessage(pMsg, nullptr, 0, 0, PM_NOREMOVE)) {
            driverCalled = true;
            KelRunModalDriver(this);
            if (!::IsWindow(hWndSelf) || !ContinueModal())
                break;
        }
        // Phase 2: pump while messages are there.
        do {
            if (!pThread->PumpMessage()) {
                ::PostQuitMessage(0);
                return -1;
            }
            if (pThread->IsStalled()) {
                // Headless, no driver ended the loop and no input can ever come.
                KelReportStalledModalLoop(this);
                EndModalLoop(-1);
            }
            if (bShowIdle && (pMsg->message == 0x118 || pMsg->message == WM_SYSKEYDOWN)) {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
                bShowIdle = FALSE;
            }
            if (!::IsWindow(hWndSelf) || !ContinueModal())
                goto ExitModal;
            if (pThread->IsIdleMessage(pMsg)) {
                bIdle = TRUE;
                lIdleCount = 0;
            }
        } while (::PeekMessage(pMsg, nullptr, 0, 0, PM_NOREMOVE));
    }
ExitModal:
    m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
    return m_nModalResult;
}

BOOL CWnd::ContinueModal() {
    return (m_nFlags & WF_CONTINUEMODAL) != 0;
}

void CWnd::EndModalLoop(int nResult) {
    m_nModalResult = nResult;
    if (m_nFlags & WF_CONTINUEMODAL) {
        m_nFlags &= ~WF_CONTINUEMODAL;
        PostMessage(WM_NULL);
    }
}
