// Popup menus on the screen: TrackPopupMenu's windows and its loop, mouse and keyboard
// navigation, submenus, and what a test's modal driver can do with them.
#include "platform/controls/ControlClasses.h"
#include "platform/controls/MenuData.h"
#include "platform/controls/MenuDriver.h"
#include "platform/controls/NativeControl.h"

#include "platform/win/DialogDefs.h"
#include "platform/win/ModalDriver.h"
#include "platform/win/WinThread.h"
#include "platform/win/Wnd.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <vector>

namespace kel::ctl {
namespace {

constexpr int kBorder = 3; // raised edge and a pixel of face around the items
constexpr int kCheckColumn = 18;
constexpr int kArrowColumn = 16;
constexpr int kTextGap = 14; // between a label and its accelerator text
constexpr UINT_PTR kHoverTimer = 1;
constexpr UINT kHoverDelay = 400; // the system's menu show delay

class MenuTracker;

// One popup level on the screen.
class PopupWnd : public CWnd {
public:
    PopupWnd(MenuTracker* tracker, int level) : m_pTracker(tracker), m_nLevel(level) {}
    MenuTracker* Tracker() const { return m_pTracker; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    MenuTracker* m_pTracker;
    int m_nLevel;
};

class MenuTracker {
public:
    MenuTracker(HWND owner, UINT flags) : m_hOwner(owner), m_nFlags(flags) {}
    ~MenuTracker() { CloseFrom(0); }
    MenuTracker(const MenuTracker&) = delete;
    MenuTracker& operator=(const MenuTracker&) = delete;

    struct Level {
        HMENU menu = nullptr;
        std::unique_ptr<PopupWnd> wnd;
        std::vector<CRect> items; // in the window
        int sel = -1;
    };

    bool Open(HMENU menu, CPoint at, UINT align, const CRect* pParentItem);
    void CloseFrom(int level);
    bool Done() const { return m_bDone; }
    UINT Result() const { return m_nResult; }
    HMENU Menu() const { return m_levels.empty() ? nullptr : m_levels.front().menu; }
    PopupWnd* TopWnd() const { return m_levels.empty() ? nullptr : m_levels.front().wnd.get(); }
    const std::vector<Level>& Levels() const { return m_levels; }

    void Paint(int level);
    void MouseMove(CPoint screen);
    void ButtonDown(UINT msg, CPoint screen);
    void ButtonUp(UINT msg, CPoint screen);
    void Key(UINT vk);
    void Char(UINT ch);
    void HoverTimer();
    void Cancel() { End(0); }
    bool ChooseCommand(UINT id);
    bool ChooseText(LPCTSTR text);

private:
    void End(UINT result) {
        m_bDone = true;
        m_nResult = result;
    }
    bool HitLevel(CPoint screen, int& level, int& item) const;
    void Select(int level, int item);
    void Activate(int level, int item, bool byKey);
    void OpenSub(int level, int item, bool selectFirst);
    void Step(int level, int dir);
    static bool Enabled(const HMENU__::Item& item) {
        return !(item.flags & (MF_GRAYED | MF_DISABLED)) && !(item.flags & MF_SEPARATOR);
    }
    static bool FindEnabled(HMENU menu, UINT id, const CString* text, UINT& result);

    HWND m_hOwner;
    UINT m_nFlags;
    std::vector<Level> m_levels;
    bool m_bDone = false;
    UINT m_nResult = 0;
    int m_nHoverLevel = -1, m_nHoverItem = -1;
};

MenuTracker* g_pTracker = nullptr;

HFONT MenuFont() {
    return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

int ItemHeight() {
    return std::max(FontHeight(MenuFont()) + 6, ::GetSystemMetrics(SM_CYMENU));
}

bool MenuTracker::Open(HMENU menu, CPoint at, UINT align, const CRect* pParentItem) {
    HMENU__* m = MenuRec(menu);
    if (m == nullptr)
        return false;
    Level lv;
    lv.menu = menu;
    // Layout: a label column and an accelerator column between the check and arrow columns.
    const int h = ItemHeight();
    int label = 0, accel = 0;
    for (const HMENU__::Item& item : m->items) {
        if (item.flags & MF_SEPARATOR)
            continue;
        const int tab = item.text.Find('\t');
        const CString left = PlainMenuText(item.text);
        label = std::max(label, TextWidth(MenuFont(), left, left.GetLength()));
        if (tab >= 0) {
            const CString right = item.text.Mid(tab + 1);
            accel = std::max(accel, TextWidth(MenuFont(), right, right.GetLength()));
        }
    }
    const int width =
        kBorder * 2 + kCheckColumn + label + (accel > 0 ? kTextGap + accel : 0) + kArrowColumn + 4;
    int y = kBorder;
    for (const HMENU__::Item& item : m->items) {
        const int ih = (item.flags & MF_SEPARATOR) ? 9 : h;
        lv.items.emplace_back(kBorder, y, width - kBorder, y + ih);
        y += ih;
    }
    const int height = std::max(y + kBorder, 2 * kBorder + 4);
    CRect screen;
    ::GetWindowRect(::GetDesktopWindow(), &screen);
    CPoint pos = at;
    if (pParentItem != nullptr) {
        // Submenus open at the right of their item, or at its left when there is no room.
        pos = CPoint(pParentItem->right - 2, pParentItem->top - kBorder);
        if (pos.x + width > screen.right)
            pos.x = pParentItem->left - width + 2;
    } else {
        if (align & TPM_CENTERALIGN)
            pos.x -= width / 2;
        else if (align & TPM_RIGHTALIGN)
            pos.x -= width;
        if (align & TPM_VCENTERALIGN)
            pos.y -= height / 2;
        else if (align & TPM_BOTTOMALIGN)
            pos.y -= height;
        if (pos.x + width > screen.right)
            pos.x = at.x - width;
    }
    if (pos.y + height > screen.bottom)
        pos.y = std::max(static_cast<int>(screen.top), static_cast<int>(screen.bottom) - height);
    pos.x = std::max(static_cast<int>(screen.left), static_cast<int>(pos.x));
    pos.y = std::max(static_cast<int>(screen.top), static_cast<int>(pos.y));

    const int levelIndex = static_cast<int>(m_levels.size());
    lv.wnd = std::make_unique<PopupWnd>(this, levelIndex);
    HWND owner = m_hOwner;
    if (!lv.wnd->CreateEx(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, KEL_MENU_CLASS, "", WS_POPUP, pos.x,
                          pos.y, width, height, owner, nullptr))
        return false;
    lv.wnd->SetWindowPos(&CWnd::wndTopMost, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    m_levels.push_back(std::move(lv));
    return true;
}

void MenuTracker::CloseFrom(int level) {
    while (static_cast<int>(m_levels.size()) > level) {
        Level& lv = m_levels.back();
        if (lv.wnd && lv.wnd->m_hWnd != nullptr)
            lv.wnd->DestroyWindow();
        m_levels.pop_back();
    }
    if (level > 0 && level <= static_cast<int>(m_levels.size()))
        m_levels[static_cast<size_t>(level - 1)].wnd->Invalidate();
}

bool MenuTracker::HitLevel(CPoint screen, int& level, int& item) const {
    for (int l = static_cast<int>(m_levels.size()) - 1; l >= 0; --l) {
        const Level& lv = m_levels[static_cast<size_t>(l)];
        CRect rc;
        lv.wnd->GetWindowRect(&rc);
        if (!rc.PtInRect(screen))
            continue;
        level = l;
        item = -1;
        const CPoint pt = screen - rc.TopLeft();
        for (size_t i = 0; i < lv.items.size(); ++i) {
            if (lv.items[i].PtInRect(pt))
                item = static_cast<int>(i);
        }
        return true;
    }
    return false;
}

void MenuTracker::Select(int level, int item) {
    Level& lv = m_levels[static_cast<size_t>(level)];
    HMENU__* m = MenuRec(lv.menu);
    if (m != nullptr && item >= 0 && (m->items[static_cast<size_t>(item)].flags & MF_SEPARATOR))
        item = -1;
    if (lv.sel == item)
        return;
    lv.sel = item;
    lv.wnd->Invalidate();
    if (m_nFlags & TPM_NONOTIFY)
        return;
    if (item < 0 || m == nullptr) {
        ::SendMessage(m_hOwner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
        return;
    }
    const HMENU__::Item& it = m->items[static_cast<size_t>(item)];
    const UINT id = it.sub != nullptr ? static_cast<UINT>(item) : it.id;
    ::SendMessage(m_hOwner, WM_MENUSELECT,
                  MAKEWPARAM(id, (it.flags | (it.sub ? MF_POPUP : 0)) & 0xFFFF),
                  reinterpret_cast<LPARAM>(lv.menu));
}

void MenuTracker::OpenSub(int level, int item, bool selectFirst) {
    Level& lv = m_levels[static_cast<size_t>(level)];
    HMENU__* m = MenuRec(lv.menu);
    if (m == nullptr || item < 0)
        return;
    const HMENU__::Item& it = m->items[static_cast<size_t>(item)];
    if (it.sub == nullptr || (it.flags & (MF_GRAYED | MF_DISABLED)))
        return;
    if (static_cast<int>(m_levels.size()) > level + 1 &&
        m_levels[static_cast<size_t>(level + 1)].menu == it.sub) {
        if (selectFirst)
            Step(level + 1, 1);
        return;
    }
    CloseFrom(level + 1);
    HMENU sub = it.sub;
    if (!(m_nFlags & TPM_NONOTIFY))
        ::SendMessage(m_hOwner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(sub),
                      MAKELPARAM(item, FALSE));
    if (m_bDone || static_cast<int>(m_levels.size()) <= level)
        return;
    CRect wr;
    m_levels[static_cast<size_t>(level)].wnd->GetWindowRect(&wr);
    CRect itemRect =
        m_levels[static_cast<size_t>(level)].items[static_cast<size_t>(item)] + wr.TopLeft();
    itemRect.left = wr.left;
    itemRect.right = wr.right;
    if (Open(sub, CPoint(), 0, &itemRect) && selectFirst)
        Step(level + 1, 1);
}

// The next item up or down that is not a separator, going round.
void MenuTracker::Step(int level, int dir) {
    Level& lv = m_levels[static_cast<size_t>(level)];
    HMENU__* m = MenuRec(lv.menu);
    if (m == nullptr || m->items.empty())
        return;
    const int n = static_cast<int>(m->items.size());
    int i = lv.sel;
    for (int k = 0; k < n; ++k) {
        i = i < 0 ? (dir > 0 ? 0 : n - 1) : (i + dir + n) % n;
        if (!(m->items[static_cast<size_t>(i)].flags & MF_SEPARATOR)) {
            Select(level, i);
            return;
        }
    }
}

void MenuTracker::Activate(int level, int item, bool byKey) {
    HMENU__* m = MenuRec(m_levels[static_cast<size_t>(level)].menu);
    if (m == nullptr || item < 0)
        return;
    const HMENU__::Item& it = m->items[static_cast<size_t>(item)];
    if (it.sub != nullptr) {
        OpenSub(level, item, byKey);
        return;
    }
    if (Enabled(it))
        End(it.id); // a grayed item cannot be chosen: the menu stays
}

void MenuTracker::MouseMove(CPoint screen) {
    int level = -1, item = -1;
    if (!HitLevel(screen, level, item)) {
        // Off the menus: the deepest level loses its highlight (the levels above keep theirs,
        // the items their submenus hang from).
        if (!m_levels.empty())
            Select(static_cast<int>(m_levels.size()) - 1, -1);
        return;
    }
    Select(level, item);
    HMENU__* m = MenuRec(m_levels[static_cast<size_t>(level)].menu);
    const HMENU sub = item >= 0 && m != nullptr ? m->items[static_cast<size_t>(item)].sub : nullptr;
    // A submenu other than the item's own closes.
    if (static_cast<int>(m_levels.size()) > level + 1 &&
        sub != m_levels[static_cast<size_t>(level + 1)].menu)
        CloseFrom(level + 1);
    if (sub != nullptr && static_cast<int>(m_levels.size()) == level + 1) {
        m_nHoverLevel = level;
        m_nHoverItem = item;
        TopWnd()->SetTimer(kHoverTimer, kHoverDelay);
    }
}

void MenuTracker::HoverTimer() {
    TopWnd()->KillTimer(kHoverTimer);
    if (m_nHoverLevel >= 0 && m_nHoverLevel < static_cast<int>(m_levels.size()) &&
        m_levels[static_cast<size_t>(m_nHoverLevel)].sel == m_nHoverItem)
        OpenSub(m_nHoverLevel, m_nHoverItem, false);
    m_nHoverLevel = m_nHoverItem = -1;
}

void MenuTracker::ButtonDown(UINT, CPoint screen) {
    int level = -1, item = -1;
    if (!HitLevel(screen, level, item)) {
        Cancel(); // a click elsewhere closes the menu
        return;
    }
    HMENU__* m = MenuRec(m_levels[static_cast<size_t>(level)].menu);
    if (item >= 0 && m != nullptr && m->items[static_cast<size_t>(item)].sub != nullptr)
        OpenSub(level, item, false);
}

void MenuTracker::ButtonUp(UINT msg, CPoint screen) {
    if (msg == WM_RBUTTONUP && !(m_nFlags & TPM_RIGHTBUTTON))
        return;
    if (msg == WM_MBUTTONUP)
        return;
    int level = -1, item = -1;
    if (HitLevel(screen, level, item) && item >= 0)
        Activate(level, item, false);
}

void MenuTracker::Key(UINT vk) {
    const int deepest = static_cast<int>(m_levels.size()) - 1;
    if (deepest < 0)
        return;
    const int sel = m_levels[static_cast<size_t>(deepest)].sel;
    switch (vk) {
    case VK_UP:
        Step(deepest, -1);
        break;
    case VK_DOWN:
        Step(deepest, 1);
        break;
    case VK_RIGHT:
        OpenSub(deepest, sel, true);
        break;
    case VK_LEFT:
        if (deepest > 0)
            CloseFrom(deepest);
        break;
    case VK_RETURN:
        Activate(deepest, sel, true);
        break;
    case VK_ESCAPE:
        if (deepest > 0)
            CloseFrom(deepest);
        else
            Cancel();
        break;
    case VK_MENU:
    case VK_F10:
        Cancel();
        break;
    default:
        break;
    }
}

void MenuTracker::Char(UINT ch) {
    const int deepest = static_cast<int>(m_levels.size()) - 1;
    if (deepest < 0 || ch < 0x20 || ch >= 0x80)
        return;
    Level& lv = m_levels[static_cast<size_t>(deepest)];
    HMENU__* m = MenuRec(lv.menu);
    if (m == nullptr)
        return;
    const char c = static_cast<char>(std::tolower(static_cast<int>(ch)));
    std::vector<int> matches;
    for (size_t i = 0; i < m->items.size(); ++i) {
        if (KelMnemonicOf(m->items[i].text) == c)
            matches.push_back(static_cast<int>(i));
    }
    if (matches.empty()) {
        ::MessageBeep(0);
        return;
    }
    if (matches.size() == 1) {
        Select(deepest, matches.front());
        Activate(deepest, matches.front(), true);
        return;
    }
    // Several items share the mnemonic: it moves between them.
    auto next = std::upper_bound(matches.begin(), matches.end(), lv.sel);
    Select(deepest, next == matches.end() ? matches.front() : *next);
}

bool MenuTracker::FindEnabled(HMENU menu, UINT id, const CString* text, UINT& result) {
    HMENU__* m = MenuRec(menu);
    if (m == nullptr)
        return false;
    for (const HMENU__::Item& item : m->items) {
        if (item.sub != nullptr) {
            if (!(item.flags & (MF_GRAYED | MF_DISABLED)) &&
                FindEnabled(item.sub, id, text, result))
                return true;
            continue;
        }
        if (!Enabled(item))
            continue;
        if (text != nullptr ? PlainMenuText(item.text) == *text : item.id == id) {
            result = item.id;
            return true;
        }
    }
    return false;
}

bool MenuTracker::ChooseCommand(UINT id) {
    UINT result = 0;
    if (!FindEnabled(Menu(), id, nullptr, result))
        return false;
    End(result);
    return true;
}

bool MenuTracker::ChooseText(LPCTSTR text) {
    const CString wanted = PlainMenuText(CString(text ? text : ""));
    UINT result = 0;
    if (!FindEnabled(Menu(), 0, &wanted, result))
        return false;
    End(result);
    return true;
}

void MenuTracker::Paint(int level) {
    Level& lv = m_levels[static_cast<size_t>(level)];
    ControlPaint paint(lv.wnd->m_hWnd, MenuFont());
    HDC hdc = paint.hdc;
    CRect rc;
    lv.wnd->GetClientRect(&rc);
    ::FillRect(hdc, &rc, ::GetSysColorBrush(COLOR_MENU));
    CRect edge = rc;
    ::DrawEdge(hdc, &edge, EDGE_RAISED, BF_RECT);
    HMENU__* m = MenuRec(lv.menu);
    ::SetBkMode(hdc, TRANSPARENT);
    for (size_t i = 0; m != nullptr && i < m->items.size(); ++i) {
        const HMENU__::Item& item = m->items[i];
        CRect ir = lv.items[i];
        if (item.flags & MF_SEPARATOR) {
            CRect line(ir.left + 1, ir.top + ir.Height() / 2 - 1, ir.right - 1,
                       ir.top + ir.Height() / 2 + 1);
            ::DrawEdge(hdc, &line, EDGE_ETCHED, BF_TOP);
            continue;
        }
        const bool hilite = lv.sel == static_cast<int>(i);
        const bool grayed = (item.flags & (MF_GRAYED | MF_DISABLED)) != 0;
        if (hilite)
            ::FillRect(hdc, &ir, ::GetSysColorBrush(COLOR_HIGHLIGHT));
        if (item.flags & MF_CHECKED) {
            CRect check(ir.left + 2, ir.top + (ir.Height() - 13) / 2, ir.left + 15,
                        ir.top + (ir.Height() - 13) / 2 + 13);
            ::DrawFrameControl(hdc, &check, DFC_MENU, DFCS_MENUCHECK);
        }
        const COLORREF color = ::GetSysColor(
            hilite ? (grayed ? COLOR_GRAYTEXT : COLOR_HIGHLIGHTTEXT) : COLOR_MENUTEXT);
        ::SetTextColor(hdc, color);
        CRect text(ir.left + kCheckColumn, ir.top, ir.right - kArrowColumn, ir.bottom);
        const int tab = item.text.Find('\t');
        const CString label = tab >= 0 ? item.text.Left(tab) : item.text;
        // Grayed items are embossed, except on the highlight (in its gray text colour).
        const bool embossed = grayed && !hilite;
        const UINT fmt = DT_SINGLELINE | DT_VCENTER;
        DrawItemText(hdc, label, label.GetLength(), text, fmt | DT_LEFT, !embossed);
        if (tab >= 0) {
            const CString accel = item.text.Mid(tab + 1);
            DrawItemText(hdc, accel, accel.GetLength(), text, fmt | DT_RIGHT | DT_NOPREFIX,
                         !embossed);
        }
        if (item.sub != nullptr) {
            // A small triangle pointing right, in the item's text colour.
            const int cy = ir.top + ir.Height() / 2, x0 = ir.right - kArrowColumn + 4;
            HBRUSH brush = ::CreateSolidBrush(embossed ? ::GetSysColor(COLOR_GRAYTEXT) : color);
            for (int k = 0; k < 4; ++k) {
                CRect col(x0 + k, cy - 3 + k, x0 + k + 1, cy + 4 - k);
                ::FillRect(hdc, &col, brush);
            }
            ::DeleteObject(brush);
        }
    }
}

LRESULT PopupWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    MenuTracker* t = m_pTracker;
    auto screen = [&]() {
        CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        ClientToScreen(&pt);
        return pt;
    };
    switch (message) {
    case WM_PAINT:
        t->Paint(m_nLevel);
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_MOUSEMOVE:
        t->MouseMove(screen());
        return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
        t->ButtonDown(message, screen());
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        t->ButtonUp(message, screen());
        return 0;
    case WM_TIMER:
        if (wParam == kHoverTimer) {
            t->HoverTimer();
            return 0;
        }
        break;
    case WM_CANCELMODE:
        t->Cancel();
        return 0;
    case WM_CAPTURECHANGED:
        // Another window took the mouse: the menu goes.
        if (m_nLevel == 0 && reinterpret_cast<HWND>(lParam) != m_hWnd && !t->Done())
            t->Cancel();
        return 0;
    default:
        break;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

PopupWnd* PopupOf(CWnd* pModal) {
    auto* p = dynamic_cast<PopupWnd*>(pModal);
    return p != nullptr && p->Tracker() == g_pTracker && g_pTracker != nullptr ? p : nullptr;
}

bool IsKeyMessage(UINT msg) {
    return msg >= WM_KEYFIRST && msg <= WM_KEYLAST;
}

} // namespace

WNDPROC MenuWndProc() {
    return &::DefWindowProc;
}

} // namespace kel::ctl

using kel::ctl::g_pTracker;

BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int, HWND hWnd, LPCRECT) {
    if (kel::ctl::MenuRec(hMenu) == nullptr || !::IsWindow(hWnd) || g_pTracker != nullptr)
        return FALSE;
    KelRegisterControlClasses();
    kel::ctl::MenuTracker tracker(hWnd, uFlags);
    g_pTracker = &tracker;
    const bool notify = !(uFlags & TPM_NONOTIFY);
    if (notify) {
        ::SendMessage(hWnd, WM_ENTERMENULOOP, TRUE, 0);
        ::SendMessage(hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(hMenu),
                      MAKELPARAM(0, FALSE));
    }
    if (!::IsWindow(hWnd) || !tracker.Open(hMenu, CPoint(x, y), uFlags, nullptr)) {
        g_pTracker = nullptr;
        return FALSE;
    }
    kel::ctl::PopupWnd* top = tracker.TopWnd();
    HWND hTop = top->m_hWnd;
    ::SetCapture(hTop);

    // The menu's own loop: keys go to the menu, everything else is dispatched.
    CWinThread* pThread = AfxGetThread();
    MSG msg{};
    bool driverCalled = false;
    while (!tracker.Done()) {
        if (!::PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE) && !driverCalled) {
            driverCalled = true;
            ::UpdateWindow(hTop);
            KelRunModalDriver(top);
            continue;
        }
        if (!::GetMessage(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            tracker.Cancel();
            break;
        }
        if (msg.message == WM_NULL && msg.hwnd == nullptr && msg.lPrivate != 0) {
            KelReportStalledModalLoop(top);
            tracker.Cancel();
            break;
        }
        if (kel::ctl::IsKeyMessage(msg.message)) {
            if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
                ::TranslateMessage(&msg);
                tracker.Key(static_cast<UINT>(msg.wParam));
            } else if (msg.message == WM_CHAR || msg.message == WM_SYSCHAR) {
                tracker.Char(static_cast<UINT>(msg.wParam));
            }
            continue;
        }
        pThread->ProcessMessage(&msg);
    }
    const UINT result = tracker.Result();
    if (::GetCapture() == hTop)
        ::ReleaseCapture();
    tracker.CloseFrom(0);
    g_pTracker = nullptr;
    if (notify && ::IsWindow(hWnd)) {
        ::SendMessage(hWnd, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
        ::SendMessage(hWnd, WM_EXITMENULOOP, TRUE, 0);
    }
    if (uFlags & TPM_RETURNCMD)
        return static_cast<BOOL>(result);
    if (result != 0 && ::IsWindow(hWnd))
        ::PostMessage(hWnd, WM_COMMAND, MAKEWPARAM(result, 0), 0);
    return TRUE;
}

BOOL GetMenuItemRect(HWND, HMENU hMenu, UINT uItem, LPRECT lprcItem) {
    if (g_pTracker == nullptr || lprcItem == nullptr)
        return FALSE;
    for (const auto& lv : g_pTracker->Levels()) {
        if (lv.menu != hMenu || uItem >= lv.items.size())
            continue;
        CRect wr;
        lv.wnd->GetWindowRect(&wr);
        *lprcItem = lv.items[uItem] + wr.TopLeft();
        return TRUE;
    }
    return FALSE;
}

BOOL EndMenu() {
    if (g_pTracker == nullptr)
        return FALSE;
    g_pTracker->Cancel();
    return TRUE;
}

BOOL KelIsPopupMenu(CWnd* pModal) {
    return kel::ctl::PopupOf(pModal) != nullptr;
}

HMENU KelGetTrackedMenu(CWnd* pModal) {
    return kel::ctl::PopupOf(pModal) != nullptr ? g_pTracker->Menu() : nullptr;
}

BOOL KelChooseMenuCommand(CWnd* pModal, UINT nID) {
    return kel::ctl::PopupOf(pModal) != nullptr && g_pTracker->ChooseCommand(nID);
}

BOOL KelChooseMenuItem(CWnd* pModal, LPCTSTR lpszText) {
    return kel::ctl::PopupOf(pModal) != nullptr && g_pTracker->ChooseText(lpszText);
}

void KelCancelMenu(CWnd* pModal) {
    if (kel::ctl::PopupOf(pModal) != nullptr)
        g_pTracker->Cancel();
}
