// CWnd: attaching objects to windows, creation, destruction and the temporary objects.
#include "platform/win/Wnd.h"

#include "platform/win/FrameWnd.h"
#include "platform/win/WinApp.h"
#include "platform/win/WindowManager.h"

#include <memory>
#include <unordered_map>
#include <vector>

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

namespace {

// The CWnd whose window is being created: attached by the creation hook before WM_NCCREATE.
CWnd* g_pWndInit = nullptr;

// Temporary CWnd objects for windows without their own, deleted on idle.
std::unordered_map<HWND, std::unique_ptr<CWnd>>& TempMap() {
    static std::unordered_map<HWND, std::unique_ptr<CWnd>> map;
    return map;
}

// Temporary objects replaced before idle (their window went and its handle came back): a
// handler may still hold them, so they too are deleted on idle.
std::vector<std::unique_ptr<CWnd>>& StaleTemps() {
    static std::vector<std::unique_ptr<CWnd>> stale;
    return stale;
}

// right - left without overflow: a rectangle of CW_USEDEFAULT corners gives CW_USEDEFAULT.
int Extent(LONG from, LONG to) {
    return static_cast<int>(static_cast<LONGLONG>(to) - static_cast<LONGLONG>(from));
}

bool IsSentinel(HWND h) {
    const auto v = reinterpret_cast<INT_PTR>(h);
    return v == 0 || v == 1 || v == -1 || v == -2;
}

struct HookInstaller {
    HookInstaller() { kel::win::WindowManager::Get().SetCreateHook(&KelHookCreate); }
};

} // namespace

// The insertion-place windows carry the system's special handles.
const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

CWnd::CWnd()
    : m_hWnd(nullptr), m_pfnSuper(nullptr), m_nFlags(0), m_nModalResult(0), m_hWndOwner(nullptr) {
    static HookInstaller installer;
}

CWnd::CWnd(HWND hWnd)
    : m_hWnd(hWnd), m_pfnSuper(nullptr), m_nFlags(0), m_nModalResult(0), m_hWndOwner(nullptr) {}

CWnd::~CWnd() {
    if ((m_nFlags & WF_TEMPORARY) || IsSentinel(m_hWnd))
        return;
    // A window still attached goes with its object (its own handlers no longer run).
    if (FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
}

// ---------------------------------------------------------------------------
// Attaching.

CWnd* PASCAL CWnd::FromHandlePermanent(HWND hWnd) {
    HWND__* w = kel::win::WindowManager::Get().Rec(hWnd);
    return w != nullptr ? w->wnd : nullptr;
}

CWnd* PASCAL CWnd::FromHandle(HWND hWnd) {
    if (hWnd == nullptr)
        return nullptr;
    if (CWnd* p = FromHandlePermanent(hWnd))
        return p;
    if (!::IsWindow(hWnd))
        return nullptr;
    std::unique_ptr<CWnd>& slot = TempMap()[hWnd];
    if (slot && slot->m_hWnd == hWnd)
        return slot.get();
    if (slot)
        StaleTemps().push_back(std::move(slot));
    slot = std::make_unique<CWnd>();
    slot->m_hWnd = hWnd;
    slot->m_nFlags |= WF_TEMPORARY;
    return slot.get();
}

void PASCAL CWnd::DeleteTempMap() {
    auto& temps = TempMap();
    for (auto& [h, p] : temps)
        p->m_hWnd = nullptr;
    temps.clear();
    StaleTemps().clear();
}

void kel::win::OnWindowFreed(HWND h) {
    auto& temps = TempMap();
    auto it = temps.find(h);
    if (it != temps.end())
        it->second->m_hWnd = nullptr;
}

BOOL CWnd::Attach(HWND hWndNew) {
    HWND__* w = kel::win::WindowManager::Get().Rec(hWndNew);
    if (w == nullptr || m_hWnd != nullptr || (w->wnd != nullptr && w->wnd != this))
        return FALSE;
    w->wnd = this;
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach() {
    HWND h = m_hWnd;
    if (h != nullptr) {
        HWND__* w = kel::win::WindowManager::Get().Rec(h);
        if (w != nullptr && w->wnd == this)
            w->wnd = nullptr;
    }
    m_hWnd = nullptr;
    return h;
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    if (!Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    WNDPROC* lplpfn = GetSuperWndProcAddr();
    auto old = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
    if (*lplpfn == nullptr && old != &AfxWndProc)
        *lplpfn = old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
    if (pParent == nullptr)
        return FALSE;
    HWND hWndControl = ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID));
    return hWndControl != nullptr && SubclassWindow(hWndControl);
}

HWND CWnd::UnsubclassWindow() {
    if (m_hWnd == nullptr)
        return nullptr;
    WNDPROC* lplpfn = GetSuperWndProcAddr();
    if (*lplpfn != nullptr)
        ::SetWindowLongPtr(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(*lplpfn));
    *lplpfn = nullptr;
    return Detach();
}

// The manager calls this for each new window before WM_NCCREATE: the CWnd being created
// takes the window and becomes its window procedure.
void KelHookCreate(HWND hWnd) {
    CWnd* pWnd = g_pWndInit;
    if (pWnd == nullptr)
        return;
    g_pWndInit = nullptr;
    pWnd->SubclassWindow(hWnd);
}

// ---------------------------------------------------------------------------
// Creation and destruction.

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs) {
    if (cs.lpszClass == nullptr)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                                           ::LoadCursor(nullptr, IDC_ARROW));
    return TRUE;
}

void CWnd::PreSubclassWindow() {}
void CWnd::PostNcDestroy() {}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu,
                    LPVOID lpParam) {
    if (m_hWnd != nullptr)
        return FALSE; // one window per object
    CREATESTRUCT cs{
        lpParam, AfxGetInstanceHandle(),     nIDorHMenu,     hWndParent,    nHeight,  nWidth, y,
        x,       static_cast<LONG>(dwStyle), lpszWindowName, lpszClassName, dwExStyle};
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    CWnd* pPrevInit = g_pWndInit;
    g_pWndInit = this;
    HWND hWnd = ::CreateWindowEx(cs.dwExStyle, cs.lpszClass, cs.lpszName,
                                 static_cast<DWORD>(cs.style), cs.x, cs.y, cs.cx, cs.cy,
                                 cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
    const bool hookUnused = g_pWndInit == this;
    g_pWndInit = pPrevInit;
    // No window was even made (an unknown class, a missing parent): the object is told as if
    // its window had been destroyed. Otherwise WM_NCDESTROY has told it already.
    if (hookUnused) {
        PostNcDestroy();
        return FALSE;
    }
    return hWnd != nullptr;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                    const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    Extent(rect.left, rect.right), Extent(rect.top, rect.bottom),
                    pParentWnd ? pParentWnd->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                  CWnd* pParentWnd, UINT nID, CCreateContext* pContext) {
    // A child window: its parent is required.
    if (pParentWnd == nullptr || pParentWnd->m_hWnd == nullptr || (dwStyle & WS_POPUP)) {
        PostNcDestroy();
        return FALSE;
    }
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect.left, rect.top,
                    Extent(rect.left, rect.right), Extent(rect.top, rect.bottom),
                    pParentWnd->m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)),
                    pContext);
}

BOOL CWnd::DestroyWindow() {
    if (m_hWnd == nullptr || IsSentinel(m_hWnd))
        return FALSE;
    // The object may be deleted by PostNcDestroy while the window goes: nothing of it is
    // touched afterwards.
    return ::DestroyWindow(m_hWnd);
}

void CWnd::CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType) {
    // adjustBorder (0) keeps a client edge inside the rectangle, as panes of a frame want.
    DWORD dwExStyle = GetExStyle();
    if (nAdjustType == 0)
        dwExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
    ::AdjustWindowRectEx(lpClientRect, GetStyle(), FALSE, dwExStyle);
}

BOOL CWnd::IsFrameWnd() const {
    return FALSE;
}

// ---------------------------------------------------------------------------
// Window classes.

LPCTSTR AFXAPI AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground,
                                   HICON hIcon) {
    CString name;
    name.Format("Afx:%x:%x:%llx:%llx:%llx", static_cast<unsigned>(nClassStyle),
                static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(AfxGetInstanceHandle()) & 0xFFFF),
                static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(hCursor)),
                static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(hbrBackground)),
                static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(hIcon)));
    auto cls = kel::win::WindowManager::Get().FindClass(name);
    if (!cls) {
        WNDCLASS wc{nClassStyle, ::DefWindowProc, 0,       0,   AfxGetInstanceHandle(), hIcon,
                    hCursor,     hbrBackground,   nullptr, name};
        if (kel::win::WindowManager::Get().RegisterClass(wc, true) == 0)
            return nullptr;
        cls = kel::win::WindowManager::Get().FindClass(name);
    }
    // The class record keeps the name for the life of the program.
    return cls->name.c_str();
}

BOOL AFXAPI AfxRegisterClass(WNDCLASS* lpWndClass) {
    if (lpWndClass == nullptr)
        return FALSE;
    if (kel::win::WindowManager::Get().FindClass(lpWndClass->lpszClassName))
        return TRUE;
    return kel::win::WindowManager::Get().RegisterClass(*lpWndClass, true) != 0;
}

// ---------------------------------------------------------------------------
// Relations and geometry.

CWnd* CWnd::SetParent(CWnd* pWndNewParent) {
    return FromHandle(::SetParent(m_hWnd, pWndNewParent ? pWndNewParent->m_hWnd : nullptr));
}

// The owner set with SetOwner (control bars route commands to it), else the parent.
CWnd* CWnd::GetOwner() const {
    return m_hWndOwner != nullptr ? FromHandle(m_hWndOwner) : GetParent();
}

void CWnd::SetOwner(CWnd* pOwnerWnd) {
    m_hWndOwner = pOwnerWnd ? pOwnerWnd->m_hWnd : nullptr;
}

CFrameWnd* CWnd::GetParentFrame() const {
    if (m_hWnd == nullptr)
        return nullptr;
    for (CWnd* p = GetParent(); p != nullptr; p = p->GetParent()) {
        if (p->IsFrameWnd())
            return static_cast<CFrameWnd*>(p);
    }
    return nullptr;
}

CWnd* CWnd::GetParentOwner() const {
    HWND h = m_hWnd;
    if (h == nullptr)
        return nullptr;
    HWND up = (GetStyle() & WS_CHILD) ? ::GetParent(h) : ::GetWindow(h, GW_OWNER);
    return FromHandle(up);
}

CWnd* CWnd::GetTopLevelParent() const {
    if (m_hWnd == nullptr)
        return nullptr;
    HWND h = m_hWnd;
    for (;;) {
        HWND up =
            (::GetWindowLong(h, GWL_STYLE) & WS_CHILD) ? ::GetParent(h) : ::GetWindow(h, GW_OWNER);
        if (up == nullptr)
            break;
        h = up;
    }
    return FromHandle(h);
}

CWnd* CWnd::GetTopLevelOwner() const {
    if (m_hWnd == nullptr)
        return nullptr;
    HWND h = m_hWnd;
    while (HWND owner = ::GetWindow(h, GW_OWNER))
        h = owner;
    while (::GetWindowLong(h, GWL_STYLE) & WS_CHILD)
        h = ::GetParent(h);
    return FromHandle(h);
}

CFrameWnd* CWnd::GetTopLevelFrame() const {
    if (m_hWnd == nullptr)
        return nullptr;
    CFrameWnd* pFrame =
        IsFrameWnd() ? static_cast<CFrameWnd*>(const_cast<CWnd*>(this)) : GetParentFrame();
    while (pFrame != nullptr) {
        CFrameWnd* pUp = pFrame->GetParentFrame();
        if (pUp == nullptr)
            break;
        pFrame = pUp;
    }
    return pFrame;
}

int CWnd::SetDlgCtrlID(int nID) {
    return static_cast<int>(::SetWindowLongPtr(m_hWnd, GWLP_ID, nID));
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags) {
    return ::SetWindowPos(m_hWnd, pWndInsertAfter ? pWndInsertAfter->m_hWnd : nullptr, x, y, cx, cy,
                          nFlags);
}

void CWnd::ClientToScreen(LPRECT lpRect) const {
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

void CWnd::ScreenToClient(LPRECT lpRect) const {
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner) {
    CRect rcWnd;
    GetWindowRect(&rcWnd);
    CRect rcArea;
    CWnd* pCenter = pAlternateOwner;
    if (GetStyle() & WS_CHILD) {
        CWnd* pParent = GetParent();
        pParent->GetClientRect(&rcArea);
        pParent->ClientToScreen(&rcArea);
    } else {
        if (pCenter == nullptr)
            pCenter = FromHandle(::GetWindow(m_hWnd, GW_OWNER));
        if (pCenter != nullptr && pCenter->IsWindowVisible() && !pCenter->IsIconic())
            pCenter->GetWindowRect(&rcArea);
        else
            ::GetWindowRect(::GetDesktopWindow(), &rcArea);
    }
    int x = rcArea.left + (rcArea.Width() - rcWnd.Width()) / 2;
    int y = rcArea.top + (rcArea.Height() - rcWnd.Height()) / 2;
    CPoint pt(x, y);
    if (GetStyle() & WS_CHILD)
        GetParent()->ScreenToClient(&pt);
    SetWindowPos(nullptr, pt.x, pt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

// Changes one style word; nFlags (SWP_ values) tells the window to take the change in.
BOOL ModifyStyleWord(HWND hWnd, int nIndex, DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    DWORD style = static_cast<DWORD>(::GetWindowLong(hWnd, nIndex));
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return FALSE;
    ::SetWindowLong(hWnd, nIndex, static_cast<LONG>(newStyle));
    if (nFlags != 0)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

} // namespace

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return ModifyStyleWord(m_hWnd, GWL_STYLE, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags) {
    return ModifyStyleWord(m_hWnd, GWL_EXSTYLE, dwRemove, dwAdd, nFlags);
}

void CWnd::GetWindowText(CString& rString) const {
    int n = GetWindowTextLength();
    LPTSTR buf = rString.GetBuffer(n);
    ::GetWindowText(m_hWnd, buf, n + 1);
    rString.ReleaseBuffer();
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon) {
    HWND__* w = kel::win::WindowManager::Get().Rec(m_hWnd);
    if (w == nullptr)
        return nullptr;
    HICON& slot = bBigIcon ? w->iconBig : w->iconSmall;
    HICON old = slot;
    slot = hIcon;
    return old;
}

HICON CWnd::GetIcon(BOOL bBigIcon) const {
    HWND__* w = kel::win::WindowManager::Get().Rec(m_hWnd);
    if (w == nullptr)
        return nullptr;
    return bBigIcon ? w->iconBig : w->iconSmall;
}

// Tab order is z-order: the first enabled, visible WS_TABSTOP child after (or before) pWndCtl,
// going round.
CWnd* CWnd::GetNextDlgTabItem(CWnd* pWndCtl, BOOL bPrevious) const {
    HWND__* w = kel::win::WindowManager::Get().Rec(m_hWnd);
    if (w == nullptr || w->children.empty())
        return nullptr;
    const std::vector<HWND>& kids = w->children;
    const int n = static_cast<int>(kids.size());
    int start = -1;
    for (int i = 0; i < n; ++i) {
        if (pWndCtl != nullptr && kids[static_cast<size_t>(i)] == pWndCtl->m_hWnd)
            start = i;
    }
    const int step = bPrevious ? -1 : 1;
    int i = start < 0 ? (bPrevious ? 0 : n - 1) : start;
    for (int k = 0; k < n; ++k) {
        i = (i + step + n) % n;
        HWND c = kids[static_cast<size_t>(i)];
        DWORD style = static_cast<DWORD>(::GetWindowLong(c, GWL_STYLE));
        if ((style & (WS_TABSTOP | WS_VISIBLE | WS_DISABLED)) == (WS_TABSTOP | WS_VISIBLE))
            return FromHandle(c);
    }
    return nullptr;
}

// The next (or previous) control of pWndCtl's group: groups begin at WS_GROUP.
CWnd* CWnd::GetNextDlgGroupItem(CWnd* pWndCtl, BOOL bPrevious) const {
    HWND__* w = kel::win::WindowManager::Get().Rec(m_hWnd);
    if (w == nullptr || pWndCtl == nullptr)
        return nullptr;
    const std::vector<HWND>& kids = w->children;
    const int n = static_cast<int>(kids.size());
    int at = -1;
    for (int i = 0; i < n; ++i) {
        if (kids[static_cast<size_t>(i)] == pWndCtl->m_hWnd)
            at = i;
    }
    if (at < 0)
        return nullptr;
    auto style = [&](int i) {
        return static_cast<DWORD>(::GetWindowLong(kids[static_cast<size_t>(i)], GWL_STYLE));
    };
    int first = at;
    while (first > 0 && !(style(first) & WS_GROUP))
        --first;
    int last = at;
    while (last + 1 < n && !(style(last + 1) & WS_GROUP))
        ++last;
    const int count = last - first + 1;
    int i = at;
    for (int k = 0; k < count; ++k) {
        i = first + ((i - first + (bPrevious ? -1 : 1)) % count + count) % count;
        if ((style(i) & (WS_VISIBLE | WS_DISABLED)) == WS_VISIBLE)
            return FromHandle(kids[static_cast<size_t>(i)]);
    }
    return pWndCtl;
}

// ---------------------------------------------------------------------------
// Dialog-item helpers.

int CWnd::GetDlgItemText(int nID, CString& rString) const {
    rString.Empty();
    if (CWnd* pItem = GetDlgItem(nID))
        pItem->GetWindowText(rString);
    return rString.GetLength();
}

void CWnd::SetDlgItemInt(int nID, UINT nValue, BOOL bSigned) {
    CString text;
    if (bSigned)
        text.Format("%d", static_cast<int>(nValue));
    else
        text.Format("%u", nValue);
    SetDlgItemText(nID, text);
}

UINT CWnd::GetDlgItemInt(int nID, BOOL* lpTrans, BOOL bSigned) const {
    CString text;
    GetDlgItemText(nID, text);
    text.Trim();
    char* end = nullptr;
    long long v = bSigned ? std::strtoll(text, &end, 10)
                          : static_cast<long long>(std::strtoull(text, &end, 10));
    const bool ok = !text.IsEmpty() && end != nullptr && *end == '\0' &&
                    (bSigned ? (v >= INT32_MIN && v <= INT32_MAX) : (v >= 0 && v <= UINT32_MAX)) &&
                    (bSigned || text[0] != '-');
    if (lpTrans != nullptr)
        *lpTrans = ok;
    return ok ? static_cast<UINT>(v) : 0;
}

void CWnd::CheckDlgButton(int nIDButton, UINT nCheck) {
    SendDlgItemMessage(nIDButton, BM_SETCHECK, nCheck);
}

UINT CWnd::IsDlgButtonChecked(int nIDButton) const {
    return static_cast<UINT>(::SendMessage(::GetDlgItem(m_hWnd, nIDButton), BM_GETCHECK, 0, 0));
}

int CWnd::MessageBox(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) {
    if (lpszCaption == nullptr)
        lpszCaption = AfxGetApp()->m_pszAppName;
    return ::MessageBox(m_hWnd, lpszText, lpszCaption, nType);
}
