// The window system's functions over the window manager.
#include "platform/win/WinApi.h"

#include "platform/win/WindowManager.h"

#include "platform/gdi/GdiFunctions.h"

#include <algorithm>
#include <memory>
#include <cstring>
#include <thread>
#include <vector>

using kel::win::WindowManager;

namespace {

WindowManager& M() {
    return WindowManager::Get();
}

} // namespace

// ---------------------------------------------------------------------------
// Windows and classes.

ATOM RegisterClass(const WNDCLASS* lpWndClass) {
    return lpWndClass ? M().RegisterClass(*lpWndClass, false) : 0;
}

BOOL UnregisterClass(LPCTSTR lpClassName, HINSTANCE) {
    return M().UnregisterClass(lpClassName);
}

BOOL GetClassInfo(HINSTANCE, LPCTSTR lpClassName, LPWNDCLASS lpWndClass) {
    auto cls = M().FindClass(lpClassName);
    if (!cls || lpWndClass == nullptr)
        return FALSE;
    *lpWndClass = WNDCLASS{cls->style,
                           cls->wndProc,
                           0,
                           0,
                           cls->hInstance,
                           cls->hIcon,
                           cls->hCursor,
                           cls->hbrBackground,
                           nullptr,
                           cls->name.c_str()};
    return TRUE;
}

int GetClassName(HWND hWnd, LPTSTR lpClassName, int nMaxCount) {
    HWND__* w = M().Rec(hWnd);
    if (w == nullptr || lpClassName == nullptr || nMaxCount <= 0)
        return 0;
    lstrcpyn(lpClassName, w->cls->name.c_str(), nMaxCount);
    return lstrlen(lpClassName);
}

ULONG_PTR GetClassLongPtr(HWND hWnd, int nIndex) {
    HWND__* w = M().Rec(hWnd);
    if (w == nullptr)
        return 0;
    switch (nIndex) {
    case GCL_STYLE:
        return w->cls->style;
    case GCLP_HBRBACKGROUND:
        return reinterpret_cast<ULONG_PTR>(w->cls->hbrBackground);
    case GCLP_HCURSOR:
        return reinterpret_cast<ULONG_PTR>(w->cls->hCursor);
    case GCLP_HICON:
        return reinterpret_cast<ULONG_PTR>(w->cls->hIcon);
    case GCLP_WNDPROC:
        return reinterpret_cast<ULONG_PTR>(w->cls->wndProc);
    default:
        return 0;
    }
}

HWND CreateWindowEx(DWORD dwExStyle, LPCTSTR lpClassName, LPCTSTR lpWindowName, DWORD dwStyle,
                    int x, int y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu,
                    HINSTANCE hInstance, LPVOID lpParam) {
    return M().CreateWindowEx(dwExStyle, lpClassName, lpWindowName, dwStyle, x, y, nWidth, nHeight,
                              hWndParent, hMenu, hInstance, lpParam);
}

BOOL DestroyWindow(HWND hWnd) {
    return M().DestroyWindow(hWnd);
}
BOOL IsWindow(HWND hWnd) {
    return M().IsLive(hWnd);
}

LRESULT CallWindowProc(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return lpPrevWndFunc ? lpPrevWndFunc(hWnd, Msg, wParam, lParam) : 0;
}

LONG_PTR GetWindowLongPtr(HWND hWnd, int nIndex) {
    HWND__* w = M().Rec(hWnd);
    if (w == nullptr)
        return 0;
    switch (nIndex) {
    case GWL_STYLE:
        return static_cast<LONG>(w->style);
    case GWL_EXSTYLE:
        return static_cast<LONG>(w->exStyle);
    case GWLP_ID:
        return static_cast<LONG_PTR>(w->id);
    case GWLP_WNDPROC:
        return reinterpret_cast<LONG_PTR>(w->wndProc);
    case GWLP_USERDATA:
        return w->userData;
    case GWLP_HINSTANCE:
        return reinterpret_cast<LONG_PTR>(w->hInstance);
    case GWLP_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(w->parent ? w->parent : w->owner);
    default:
        return 0;
    }
}

LONG_PTR SetWindowLongPtr(HWND hWnd, int nIndex, LONG_PTR dwNewLong) {
    HWND__* w = M().Rec(hWnd);
    if (w == nullptr)
        return 0;
    LONG_PTR old = GetWindowLongPtr(hWnd, nIndex);
    switch (nIndex) {
    case GWL_STYLE:
        M().SetStyle(hWnd, static_cast<DWORD>(dwNewLong));
        break;
    case GWL_EXSTYLE:
        M().SetExStyle(hWnd, static_cast<DWORD>(dwNewLong));
        break;
    case GWLP_ID:
        w->id = static_cast<UINT_PTR>(dwNewLong);
        break;
    case GWLP_WNDPROC:
        if (dwNewLong != 0)
            w->wndProc = reinterpret_cast<WNDPROC>(dwNewLong);
        break;
    case GWLP_USERDATA:
        w->userData = dwNewLong;
        break;
    case GWLP_HINSTANCE:
        w->hInstance = reinterpret_cast<HINSTANCE>(dwNewLong);
        break;
    case GWLP_HWNDPARENT:
        if (w->parent == nullptr)
            w->owner = reinterpret_cast<HWND>(dwNewLong);
        break;
    default:
        return 0;
    }
    return old;
}

// ---------------------------------------------------------------------------
// Relations.

HWND GetParent(HWND hWnd) {
    HWND__* w = M().Rec(hWnd);
    if (w == nullptr)
        return nullptr;
    if (w->style & WS_CHILD)
        return w->parent;
    return (w->style & WS_POPUP) ? w->owner : nullptr;
}

HWND SetParent(HWND hWndChild, HWND hWndNewParent) {
    HWND old = nullptr;
    return M().SetParent(hWndChild, hWndNewParent, &old) ? old : nullptr;
}

HWND GetDesktopWindow() {
    return M().Desktop();
}

HWND GetWindow(HWND hWnd, UINT uCmd) {
    WindowManager& m = M();
    HWND__* w = m.Rec(hWnd);
    if (w == nullptr)
        return nullptr;
    if (uCmd == GW_CHILD) {
        if (hWnd == m.Desktop())
            return m.TopLevels().empty() ? nullptr : m.TopLevels().front();
        return w->children.empty() ? nullptr : w->children.front();
    }
    if (uCmd == GW_OWNER)
        return w->owner;
    const std::vector<HWND>& list = w->parent ? m.Rec(w->parent)->children : m.TopLevels();
    auto it = std::find(list.begin(), list.end(), hWnd);
    if (it == list.end())
        return nullptr;
    switch (uCmd) {
    case GW_HWNDFIRST:
        return list.front();
    case GW_HWNDLAST:
        return list.back();
    case GW_HWNDNEXT:
        return it + 1 == list.end() ? nullptr : *(it + 1);
    case GW_HWNDPREV:
        return it == list.begin() ? nullptr : *(it - 1);
    default:
        return nullptr;
    }
}

HWND GetTopWindow(HWND hWnd) {
    return GetWindow(hWnd ? hWnd : M().Desktop(), GW_CHILD);
}

HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
    HWND__* w = M().Rec(hDlg);
    if (w == nullptr)
        return nullptr;
    for (HWND c : w->children) {
        if (M().Rec(c)->id == static_cast<UINT_PTR>(static_cast<UINT>(nIDDlgItem)))
            return c;
    }
    return nullptr;
}

int GetDlgCtrlID(HWND hWnd) {
    HWND__* w = M().Rec(hWnd);
    return w != nullptr && (w->style & WS_CHILD) ? static_cast<int>(w->id) : 0;
}

BOOL IsChild(HWND hWndParent, HWND hWnd) {
    WindowManager& m = M();
    HWND__* w = m.Rec(hWnd);
    while (w != nullptr && (w->style & WS_CHILD) && w->parent != nullptr) {
        if (w->parent == hWndParent)
            return TRUE;
        w = m.Rec(w->parent);
    }
    return FALSE;
}

HWND WindowFromPoint(POINT Point) {
    return M().WindowFromScreenPoint(Point, nullptr);
}

HWND ChildWindowFromPoint(HWND hWndParent, POINT Point) {
    WindowManager& m = M();
    HWND__* w = m.Rec(hWndParent);
    if (w == nullptr || !m.ClientRect(hWndParent).PtInRect(Point))
        return nullptr;
    for (HWND c : w->children) {
        if (m.Rec(c)->rect.PtInRect(Point))
            return c;
    }
    return hWndParent;
}

BOOL EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam) {
    WindowManager& m = M();
    HWND__* w = m.Rec(hWndParent ? hWndParent : m.Desktop());
    if (w == nullptr || lpEnumFunc == nullptr)
        return FALSE;
    // Descendants in z-order, each before its own children; a snapshot, as windows may go.
    std::vector<HWND> all;
    auto collect = [&](auto&& self, HWND h) -> void {
        for (HWND c : m.Rec(h)->children) {
            all.push_back(c);
            self(self, c);
        }
    };
    if (hWndParent == nullptr) {
        for (HWND t : m.TopLevels())
            all.push_back(t);
    } else {
        collect(collect, hWndParent);
    }
    for (HWND c : all) {
        if (m.IsLive(c) && !lpEnumFunc(c, lParam))
            break;
    }
    return TRUE;
}

// ---------------------------------------------------------------------------
// Geometry and state.

BOOL GetWindowRect(HWND hWnd, LPRECT lpRect) {
    HWND__* w = M().Rec(hWnd);
    if (w == nullptr || lpRect == nullptr)
        return FALSE;
    *lpRect = CRect(M().WindowOriginScreen(hWnd), w->rect.Size());
    return TRUE;
}

BOOL GetClientRect(HWND hWnd, LPRECT lpRect) {
    if (!M().IsLive(hWnd) || lpRect == nullptr)
        return FALSE;
    *lpRect = M().ClientRect(hWnd);
    return TRUE;
}

BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint) {
    if (!M().IsLive(hWnd) || lpPoint == nullptr)
        return FALSE;
    *lpPoint = CPoint(*lpPoint) + M().ClientOriginScreen(hWnd);
    return TRUE;
}

BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint) {
    if (!M().IsLive(hWnd) || lpPoint == nullptr)
        return FALSE;
    *lpPoint = CPoint(*lpPoint) - M().ClientOriginScreen(hWnd);
    return TRUE;
}

int MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints) {
    WindowManager& m = M();
    CPoint from = hWndFrom && hWndFrom != m.Desktop() ? m.ClientOriginScreen(hWndFrom) : CPoint();
    CPoint to = hWndTo && hWndTo != m.Desktop() ? m.ClientOriginScreen(hWndTo) : CPoint();
    CPoint d = from - to;
    for (UINT i = 0; i < cPoints; ++i)
        lpPoints[i] = CPoint(lpPoints[i]) + d;
    return MAKELONG(static_cast<short>(d.x), static_cast<short>(d.y));
}

BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint) {
    return M().SetWindowPos(hWnd, nullptr, X, Y, nWidth, nHeight,
                            SWP_NOZORDER | SWP_NOACTIVATE | (bRepaint ? 0 : SWP_NOREDRAW));
}

BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags) {
    return M().SetWindowPos(hWnd, hWndInsertAfter, X, Y, cx, cy, uFlags);
}

BOOL ShowWindow(HWND hWnd, int nCmdShow) {
    return M().ShowWindow(hWnd, nCmdShow);
}

BOOL IsWindowVisible(HWND hWnd) {
    return M().IsVisible(hWnd) ? TRUE : FALSE;
}

BOOL IsIconic(HWND hWnd) {
    HWND__* w = M().Rec(hWnd);
    return w != nullptr && w->minimized;
}

BOOL IsZoomed(HWND hWnd) {
    HWND__* w = M().Rec(hWnd);
    return w != nullptr && w->maximized;
}

BOOL EnableWindow(HWND hWnd, BOOL bEnable) {
    return M().EnableWindow(hWnd, bEnable);
}

BOOL IsWindowEnabled(HWND hWnd) {
    HWND__* w = M().Rec(hWnd);
    return w != nullptr && (w->style & WS_DISABLED) == 0;
}

BOOL SetWindowText(HWND hWnd, LPCTSTR lpString) {
    if (!M().IsLive(hWnd))
        return FALSE;
    return static_cast<BOOL>(
        M().Send(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString ? lpString : "")));
}

int GetWindowText(HWND hWnd, LPTSTR lpString, int nMaxCount) {
    if (!M().IsLive(hWnd) || lpString == nullptr || nMaxCount <= 0)
        return 0;
    return static_cast<int>(M().Send(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                     reinterpret_cast<LPARAM>(lpString)));
}

int GetWindowTextLength(HWND hWnd) {
    return static_cast<int>(M().Send(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

struct HDWP__ {
    std::vector<WINDOWPOS> moves;
};

HDWP BeginDeferWindowPos(int nNumWindows) {
    auto* batch = new HDWP__; // freed by EndDeferWindowPos, as the system's handle is
    batch->moves.reserve(static_cast<size_t>(std::max(0, nNumWindows)));
    return batch;
}

HDWP DeferWindowPos(HDWP hWinPosInfo, HWND hWnd, HWND hWndInsertAfter, int x, int y, int cx, int cy,
                    UINT uFlags) {
    if (hWinPosInfo == nullptr || !M().IsLive(hWnd))
        return hWinPosInfo;
    hWinPosInfo->moves.push_back(WINDOWPOS{hWnd, hWndInsertAfter, x, y, cx, cy, uFlags});
    return hWinPosInfo;
}

BOOL EndDeferWindowPos(HDWP hWinPosInfo) {
    if (hWinPosInfo == nullptr)
        return FALSE;
    std::unique_ptr<HDWP__> batch(hWinPosInfo);
    for (const WINDOWPOS& wp : batch->moves)
        M().SetWindowPos(wp.hwnd, wp.hwndInsertAfter, wp.x, wp.y, wp.cx, wp.cy, wp.flags);
    return TRUE;
}

BOOL AdjustWindowRectEx(LPRECT lpRect, DWORD dwStyle, BOOL, DWORD dwExStyle) {
    if (lpRect == nullptr)
        return FALSE;
    HWND__ probe;
    probe.style = dwStyle;
    probe.exStyle = dwExStyle;
    probe.rect = CRect(0, 0, 10000, 10000);
    CRect in = M().ClientInsets(&probe);
    lpRect->left -= in.left;
    lpRect->top -= in.top;
    lpRect->right += in.right;
    lpRect->bottom += in.bottom;
    return TRUE;
}

// ---------------------------------------------------------------------------
// Messages and the queue.

LRESULT SendMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return M().Send(hWnd, Msg, wParam, lParam);
}

BOOL PostMessage(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
    return M().Post(hWnd, Msg, wParam, lParam);
}

void PostQuitMessage(int nExitCode) {
    M().PostQuit(nExitCode);
}

BOOL GetMessage(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
    return M().Get(*lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax);
}

BOOL PeekMessage(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
    MSG scratch;
    return M().Peek(lpMsg ? *lpMsg : scratch, hWnd, wMsgFilterMin, wMsgFilterMax,
                    (wRemoveMsg & PM_REMOVE) != 0);
}

BOOL TranslateMessage(const MSG* lpMsg) {
    return lpMsg ? M().TranslateMessage(*lpMsg) : FALSE;
}

LRESULT DispatchMessage(const MSG* lpMsg) {
    if (lpMsg == nullptr)
        return 0;
    if (lpMsg->message == WM_TIMER && lpMsg->lParam != 0) {
        auto proc = reinterpret_cast<TIMERPROC>(lpMsg->lParam);
        proc(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, GetTickCount());
        return 0;
    }
    if (lpMsg->hwnd == nullptr)
        return 0;
    if (lpMsg->message == WM_PAINT) {
        M().SendPaint(lpMsg->hwnd);
        return 0;
    }
    return M().Send(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

BOOL WaitMessage() {
    WindowManager& m = M();
    if (m.HasPending(true))
        return TRUE;
    DWORD due = 0;
    const bool timer = m.NextTimerDue(due);
    return m.GetBackend().Wait(timer ? std::max(0, static_cast<int32_t>(due - m.Now())) : -1);
}

DWORD GetMessageTime() {
    return M().MessageTime();
}

DWORD GetMessagePos() {
    POINT pt = M().MessagePos();
    return static_cast<DWORD>(MAKELONG(static_cast<short>(pt.x), static_cast<short>(pt.y)));
}

UINT RegisterWindowMessage(LPCTSTR lpString) {
    return M().RegisterMessage(lpString);
}
BOOL InSendMessage() {
    return FALSE;
} // one thread: nothing is sent from elsewhere

// ---------------------------------------------------------------------------
// Time and timers.

UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
    return M().SetTimer(hWnd, nIDEvent, uElapse, lpTimerFunc);
}

BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
    return M().KillTimer(hWnd, uIDEvent);
}
DWORD GetTickCount() {
    return M().Now();
}
UINT GetDoubleClickTime() {
    return M().DoubleClickTime();
}

BOOL SetDoubleClickTime(UINT uInterval) {
    M().SetDoubleClickTime(uInterval);
    return TRUE;
}

void Sleep(DWORD dwMilliseconds) {
    kel::win::Clock& clock = M().GetClock();
    if (clock.GetMode() == kel::win::Clock::Virtual)
        clock.SetVirtualTime(clock.Now() + dwMilliseconds);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

// ---------------------------------------------------------------------------
// Input state, focus, capture, activation.

SHORT GetKeyState(int nVirtKey) {
    return M().KeyState(nVirtKey);
}
SHORT GetAsyncKeyState(int vKey) {
    return M().AsyncKeyState(vKey);
}
HWND SetFocus(HWND hWnd) {
    return M().SetFocus(hWnd);
}
HWND GetFocus() {
    return M().Focus();
}
HWND SetCapture(HWND hWnd) {
    return M().SetCapture(hWnd);
}
BOOL ReleaseCapture() {
    return M().ReleaseCapture();
}
HWND GetCapture() {
    return M().Capture();
}
BOOL TrackMouseEvent(LPTRACKMOUSEEVENT lpEventTrack) {
    if (lpEventTrack == nullptr || !(lpEventTrack->dwFlags & TME_LEAVE) ||
        (lpEventTrack->dwFlags & TME_QUERY))
        return FALSE;
    return M().TrackMouseLeave(lpEventTrack->hwndTrack, (lpEventTrack->dwFlags & TME_CANCEL) != 0);
}
HWND SetActiveWindow(HWND hWnd) {
    return M().SetActive(hWnd, WA_ACTIVE);
}
HWND GetActiveWindow() {
    return M().Active();
}
BOOL SetForegroundWindow(HWND hWnd) {
    return M().SetActive(hWnd, WA_ACTIVE) != hWnd;
}
HWND GetForegroundWindow() {
    return M().Active();
}

BOOL GetCursorPos(LPPOINT lpPoint) {
    if (lpPoint == nullptr)
        return FALSE;
    *lpPoint = M().CursorPos();
    return TRUE;
}

BOOL SetCursorPos(int X, int Y) {
    M().SetCursorPos(POINT{X, Y});
    return TRUE;
}

// ---------------------------------------------------------------------------
// Cursors and icons. A standard cursor's handle carries its IDC_ number.

HCURSOR LoadCursor(HINSTANCE hInstance, LPCTSTR lpCursorName) {
    if (hInstance != nullptr || !IS_INTRESOURCE(lpCursorName))
        return nullptr; // cursor resources are not carried
    const UINT id = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(lpCursorName));
    if (id < 32512 || id > 32651)
        return nullptr;
    return reinterpret_cast<HCURSOR>(static_cast<ULONG_PTR>(id));
}

HICON LoadIcon(HINSTANCE hInstance, LPCTSTR lpIconName) {
    if (hInstance != nullptr || !IS_INTRESOURCE(lpIconName))
        return nullptr;
    const UINT id = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(lpIconName));
    if (id < 32512 || id > 32517)
        return nullptr;
    return reinterpret_cast<HICON>(static_cast<ULONG_PTR>(id));
}

HCURSOR SetCursor(HCURSOR hCursor) {
    return M().SetCursor(hCursor);
}
HCURSOR GetCursor() {
    return M().Cursor();
}

UINT KelGetCursorShape(HCURSOR hCursor) {
    const ULONG_PTR v = reinterpret_cast<ULONG_PTR>(hCursor);
    return v >= 32512 && v <= 32651 ? static_cast<UINT>(v) : 0;
}

// ---------------------------------------------------------------------------
// Painting.

BOOL InvalidateRect(HWND hWnd, LPCRECT lpRect, BOOL bErase) {
    WindowManager& m = M();
    if (hWnd == nullptr) {
        // The whole screen: every top-level window.
        for (HWND t : m.TopLevels())
            m.Expose(t);
        return TRUE;
    }
    if (!m.IsLive(hWnd))
        return FALSE;
    m.Invalidate(hWnd, lpRect, bErase != FALSE, false);
    return TRUE;
}

BOOL ValidateRect(HWND hWnd, LPCRECT lpRect) {
    if (!M().IsLive(hWnd))
        return FALSE;
    M().Validate(hWnd, lpRect);
    return TRUE;
}

BOOL UpdateWindow(HWND hWnd) {
    if (!M().IsLive(hWnd))
        return FALSE;
    M().UpdateWindow(hWnd, false);
    return TRUE;
}

BOOL RedrawWindow(HWND hWnd, LPCRECT lprcUpdate, HRGN hrgnUpdate, UINT flags) {
    WindowManager& m = M();
    if (hWnd == nullptr)
        hWnd = m.Desktop();
    if (!m.IsLive(hWnd))
        return FALSE;
    CRect rc = lprcUpdate ? CRect(lprcUpdate) : m.ClientRect(hWnd);
    if (hrgnUpdate != nullptr && lprcUpdate == nullptr) {
        RECT box;
        GetRgnBox(hrgnUpdate, &box);
        rc = box;
    }
    const bool children = (flags & RDW_ALLCHILDREN) != 0;
    if (flags & RDW_INVALIDATE) {
        m.Invalidate(hWnd, &rc, (flags & RDW_ERASE) != 0, children);
        if (flags & RDW_FRAME)
            m.Rec(hWnd)->ncPaint = !m.ClientInsets(m.Rec(hWnd)).IsRectNull();
    }
    if (flags & RDW_VALIDATE)
        m.Validate(hWnd, lprcUpdate ? &rc : nullptr);
    if (flags & (RDW_UPDATENOW | RDW_ERASENOW))
        m.UpdateWindow(hWnd, children);
    return TRUE;
}

BOOL GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase) {
    WindowManager& m = M();
    HWND__* w = m.Rec(hWnd);
    if (w == nullptr)
        return FALSE;
    const CRect box = w->update ? kel::win::RegionBox(w->update.get()) : CRect();
    if (lpRect != nullptr)
        *lpRect = box;
    if (bErase && w->erase && !box.IsRectEmpty()) {
        HDC dc = m.GetDC(hWnd, false);
        if (m.Send(hWnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0))
            w->erase = false;
        m.ReleaseDC(hWnd, dc);
    }
    return !box.IsRectEmpty();
}

HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint) {
    return M().BeginPaint(hWnd, lpPaint);
}
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint) {
    M().EndPaint(hWnd, lpPaint);
    return TRUE;
}
HDC GetDC(HWND hWnd) {
    return M().GetDC(hWnd, false);
}
HDC GetWindowDC(HWND hWnd) {
    return M().GetDC(hWnd, true);
}
int ReleaseDC(HWND hWnd, HDC hDC) {
    return M().ReleaseDC(hWnd, hDC);
}
HWND WindowFromDC(HDC hDC) {
    return M().WindowFromDC(hDC);
}

BOOL ScrollWindow(HWND hWnd, int XAmount, int YAmount, LPCRECT lpRect, LPCRECT lpClipRect) {
    return M().ScrollWindow(hWnd, XAmount, YAmount, lpRect, lpClipRect);
}

BOOL SaveWindowImage(HWND hWnd, LPCTSTR lpszPath) {
    return M().SaveImage(hWnd, lpszPath);
}
COLORREF KelGetWindowPixel(HWND hWnd, POINT ptClient) {
    return M().Pixel(hWnd, ptClient);
}
