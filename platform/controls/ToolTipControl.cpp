// The tooltip class: tools (windows or rectangles of windows) with texts; mouse messages
// relayed to it (or seen by subclassing the tool) show the text in a small popup after the
// initial delay while the pointer rests on a tool.
#include "platform/controls/CommCtrlDefs.h"
#include "platform/controls/NativeControl.h"

#include <algorithm>
#include <map>
#include <set>
#include <vector>

namespace kel::ctl {
namespace {

constexpr UINT_PTR kShowTimer = 1;
constexpr UINT_PTR kPopTimer = 2;

// Windows whose procedure a tooltip replaced to see their mouse messages (TTF_SUBCLASS).
struct Subclassed {
    WNDPROC oldProc = nullptr;
    std::set<HWND> tips;
};
std::map<HWND, Subclassed>& SubclassMap() {
    static std::map<HWND, Subclassed> map;
    return map;
}
LRESULT CALLBACK SubclassProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);

class ToolTip : public NativeControl {
public:
    using NativeControl::NativeControl;
    ~ToolTip() override { ReleaseSubclasses(); }

    LRESULT Proc(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_NCHITTEST:
            return HTTRANSPARENT;
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_TIMER:
            Timer(wp);
            return 0;
        case WM_NCDESTROY:
            ReleaseSubclasses();
            return Default(msg, wp, lp);
        case TTM_ACTIVATE:
            m_bActive = wp != 0;
            if (!m_bActive)
                Pop();
            return 0;
        case TTM_ADDTOOL:
            return AddTool(reinterpret_cast<const TOOLINFO*>(lp));
        case TTM_DELTOOL:
            DelTool(reinterpret_cast<const TOOLINFO*>(lp));
            return 0;
        case TTM_NEWTOOLRECT:
            if (Tool* t = Find(reinterpret_cast<const TOOLINFO*>(lp)))
                t->rect = reinterpret_cast<const TOOLINFO*>(lp)->rect;
            return 0;
        case TTM_GETTOOLINFO: {
            auto* ti = reinterpret_cast<TOOLINFO*>(lp);
            Tool* t = Find(ti);
            if (t == nullptr)
                return FALSE;
            Fill(*t, *ti);
            return TRUE;
        }
        case TTM_SETTOOLINFO: {
            auto* ti = reinterpret_cast<const TOOLINFO*>(lp);
            if (Tool* t = Find(ti))
                Set(*t, *ti);
            return 0;
        }
        case TTM_UPDATETIPTEXT: {
            auto* ti = reinterpret_cast<const TOOLINFO*>(lp);
            if (Tool* t = Find(ti)) {
                SetText(*t, *ti);
                if (m_bShowing && t == Current())
                    Show();
            }
            return 0;
        }
        case TTM_GETTEXT: {
            auto* ti = reinterpret_cast<TOOLINFO*>(lp);
            Tool* t = Find(ti);
            if (t != nullptr && ti->lpszText != nullptr && ti->lpszText != LPSTR_TEXTCALLBACK) {
                // wParam is the buffer's size; without it, the documented 80 characters.
                CopyText(TextOf(*t), ti->lpszText, wp != 0 ? static_cast<int>(wp) : 80);
            }
            return 0;
        }
        case TTM_GETTOOLCOUNT:
            return static_cast<LRESULT>(m_tools.size());
        case TTM_ENUMTOOLS: {
            auto* ti = reinterpret_cast<TOOLINFO*>(lp);
            if (wp >= m_tools.size() || ti == nullptr)
                return FALSE;
            Fill(m_tools[wp], *ti);
            return TRUE;
        }
        case TTM_GETCURRENTTOOL: {
            Tool* t = m_bShowing ? Current() : nullptr;
            if (t != nullptr && lp != 0)
                Fill(*t, *reinterpret_cast<TOOLINFO*>(lp));
            return t != nullptr;
        }
        case TTM_HITTEST: {
            auto* hti = reinterpret_cast<TTHITTESTINFO*>(lp);
            if (hti == nullptr)
                return FALSE;
            const int i = ToolAt(hti->hwnd, hti->pt);
            if (i < 0)
                return FALSE;
            Fill(m_tools[static_cast<size_t>(i)], hti->ti);
            return TRUE;
        }
        case TTM_WINDOWFROMPOINT:
            return reinterpret_cast<LRESULT>(::WindowFromPoint(*reinterpret_cast<POINT*>(lp)));
        case TTM_RELAYEVENT:
            if (lp != 0)
                Relay(*reinterpret_cast<const MSG*>(lp));
            return 0;
        case TTM_SETDELAYTIME:
            SetDelay(static_cast<int>(wp), static_cast<short>(LOWORD(lp)));
            return 0;
        case TTM_GETDELAYTIME:
            switch (wp) {
            case TTDT_RESHOW:
                return m_nReshow;
            case TTDT_AUTOPOP:
                return m_nAutoPop;
            default:
                return m_nInitial;
            }
        case TTM_POP:
            Pop();
            return 0;
        case TTM_UPDATE:
            if (m_bShowing)
                Show();
            return 0;
        case TTM_SETTIPBKCOLOR:
            m_crBack = static_cast<COLORREF>(wp);
            Invalidate();
            return 0;
        case TTM_GETTIPBKCOLOR:
            return BackColor();
        case TTM_SETTIPTEXTCOLOR:
            m_crText = static_cast<COLORREF>(wp);
            Invalidate();
            return 0;
        case TTM_GETTIPTEXTCOLOR:
            return TextColor();
        case TTM_SETMAXTIPWIDTH: {
            const int old = m_nMaxWidth;
            m_nMaxWidth = static_cast<int>(lp);
            return old;
        }
        case TTM_GETMAXTIPWIDTH:
            return m_nMaxWidth;
        default:
            return Default(msg, wp, lp);
        }
    }

    // A mouse message of a tool window (relayed, or seen by the subclass).
    void Relay(const MSG& msg) {
        if (!m_bActive)
            return;
        switch (msg.message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDBLCLK:
        case WM_MBUTTONDBLCLK:
            // A click hides the tip; it does not come back before the pointer leaves.
            Pop();
            m_bSuppressed = true;
            return;
        case WM_MOUSEMOVE:
            break;
        default:
            return;
        }
        const int i = ToolAt(msg.hwnd, CPoint(GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)));
        if (i == m_nCurrent)
            return;
        const bool wasShowing = m_bShowing;
        Pop();
        m_nCurrent = i;
        m_bSuppressed = false;
        if (i >= 0)
            ::SetTimer(m_hWnd, kShowTimer, wasShowing ? m_nReshow : m_nInitial, nullptr);
    }

private:
    struct Tool {
        UINT flags = 0;
        HWND hwnd = nullptr;
        UINT_PTR id = 0;
        CRect rect;
        HINSTANCE hinst = nullptr;
        CString text;
        bool callback = false;
        UINT stringId = 0;
        LPARAM lParam = 0;
    };

    COLORREF BackColor() const {
        return m_crBack == CLR_DEFAULT ? ::GetSysColor(COLOR_INFOBK) : m_crBack;
    }
    COLORREF TextColor() const {
        return m_crText == CLR_DEFAULT ? ::GetSysColor(COLOR_INFOTEXT) : m_crText;
    }

    Tool* Current() {
        return m_nCurrent >= 0 && m_nCurrent < static_cast<int>(m_tools.size())
                   ? &m_tools[static_cast<size_t>(m_nCurrent)]
                   : nullptr;
    }

    HWND ToolWindow(const Tool& t) const {
        return (t.flags & TTF_IDISHWND) ? reinterpret_cast<HWND>(t.id) : t.hwnd;
    }

    Tool* Find(const TOOLINFO* ti) {
        if (ti == nullptr)
            return nullptr;
        for (Tool& t : m_tools) {
            if (t.hwnd == ti->hwnd && t.id == ti->uId)
                return &t;
        }
        return nullptr;
    }

    void SetText(Tool& t, const TOOLINFO& ti) {
        t.callback = ti.lpszText == LPSTR_TEXTCALLBACK;
        t.stringId = 0;
        t.text.Empty();
        t.hinst = ti.hinst;
        if (t.callback || ti.lpszText == nullptr)
            return;
        if (IS_INTRESOURCE(ti.lpszText))
            t.stringId = static_cast<UINT>(reinterpret_cast<ULONG_PTR>(ti.lpszText));
        else
            t.text = ti.lpszText;
    }

    void Set(Tool& t, const TOOLINFO& ti) {
        t.flags = ti.uFlags;
        t.rect = ti.rect;
        t.lParam = ti.lParam;
        SetText(t, ti);
    }

    void Fill(const Tool& t, TOOLINFO& ti) const {
        ti.uFlags = t.flags;
        ti.hwnd = t.hwnd;
        ti.uId = t.id;
        ti.rect = t.rect;
        ti.hinst = t.hinst;
        ti.lParam = t.lParam;
        if (t.callback)
            ti.lpszText = LPSTR_TEXTCALLBACK;
        else if (t.stringId != 0)
            ti.lpszText = MAKEINTRESOURCE(t.stringId);
        else if (ti.lpszText != LPSTR_TEXTCALLBACK)
            CopyText(t.text, ti.lpszText, 80); // the documented size of the caller's buffer
    }

    BOOL AddTool(const TOOLINFO* ti) {
        if (ti == nullptr || Find(ti) != nullptr)
            return FALSE;
        Tool t;
        t.hwnd = ti->hwnd;
        t.id = ti->uId;
        Set(t, *ti);
        m_tools.push_back(t);
        if (t.flags & TTF_SUBCLASS)
            Subclass(ToolWindow(t));
        return TRUE;
    }

    void DelTool(const TOOLINFO* ti) {
        Tool* t = Find(ti);
        if (t == nullptr)
            return;
        const int index = static_cast<int>(t - m_tools.data());
        if (index == m_nCurrent) {
            Pop();
            m_nCurrent = -1;
        } else if (index < m_nCurrent) {
            --m_nCurrent;
        }
        const HWND window = ToolWindow(*t);
        const bool subclassed = (t->flags & TTF_SUBCLASS) != 0;
        m_tools.erase(m_tools.begin() + index);
        if (subclassed) {
            const bool still = std::any_of(m_tools.begin(), m_tools.end(), [&](const Tool& o) {
                return (o.flags & TTF_SUBCLASS) && ToolWindow(o) == window;
            });
            if (!still)
                Unsubclass(window);
        }
    }

    void Subclass(HWND window) {
        if (!::IsWindow(window))
            return;
        auto& map = SubclassMap();
        auto it = map.find(window);
        if (it == map.end()) {
            Subclassed s;
            s.oldProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtr(
                window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc)));
            it = map.emplace(window, s).first;
        }
        it->second.tips.insert(m_hWnd);
    }

    void Unsubclass(HWND window) {
        auto& map = SubclassMap();
        auto it = map.find(window);
        if (it == map.end())
            return;
        it->second.tips.erase(m_hWnd);
        if (!it->second.tips.empty())
            return;
        // Only a procedure that is still ours is put back; one set over it keeps calling us.
        if (::IsWindow(window) &&
            reinterpret_cast<WNDPROC>(::GetWindowLongPtr(window, GWLP_WNDPROC)) == &SubclassProc) {
            ::SetWindowLongPtr(window, GWLP_WNDPROC,
                               reinterpret_cast<LONG_PTR>(it->second.oldProc));
            map.erase(it);
        }
    }

    void ReleaseSubclasses() {
        std::set<HWND> windows;
        for (const Tool& t : m_tools) {
            if (t.flags & TTF_SUBCLASS)
                windows.insert(ToolWindow(t));
        }
        for (HWND w : windows)
            Unsubclass(w);
        m_tools.clear();
    }

    int ToolAt(HWND hwnd, CPoint pt) const {
        for (size_t i = 0; i < m_tools.size(); ++i) {
            const Tool& t = m_tools[i];
            if (t.flags & TTF_IDISHWND) {
                if (reinterpret_cast<HWND>(t.id) == hwnd)
                    return static_cast<int>(i);
            } else if (t.hwnd == hwnd && t.rect.PtInRect(pt)) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    void SetDelay(int which, int ms) {
        const int base = ::GetDoubleClickTime();
        switch (which) {
        case TTDT_INITIAL:
            m_nInitial = ms < 0 ? base : ms;
            break;
        case TTDT_AUTOPOP:
            m_nAutoPop = ms < 0 ? base * 10 : ms;
            break;
        case TTDT_RESHOW:
            m_nReshow = ms < 0 ? base / 5 : ms;
            break;
        default: {
            const int v = ms < 0 ? base : ms;
            m_nInitial = v;
            m_nAutoPop = v * 10;
            m_nReshow = v / 5;
            break;
        }
        }
    }

    // A string of the module, or of the resource chain without one.
    static CString LoadText(HINSTANCE hinst, UINT id) {
        CString s;
        if (hinst != nullptr)
            s.LoadString(hinst, id);
        else
            s.LoadString(id);
        return s;
    }

    // The tool's text: its own, its string, or the one its window gives (TTN_GETDISPINFO).
    CString TextOf(const Tool& t) {
        if (t.stringId != 0)
            return LoadText(t.hinst, t.stringId);
        if (!t.callback)
            return t.text;
        NMTTDISPINFO info{};
        info.hdr.hwndFrom = m_hWnd;
        info.hdr.idFrom = t.id;
        info.hdr.code = TTN_GETDISPINFO;
        info.uFlags = t.flags;
        info.lParam = t.lParam;
        ::SendMessage(t.hwnd, WM_NOTIFY, t.id, reinterpret_cast<LPARAM>(&info));
        if (info.lpszText == nullptr)
            return CString(info.szText);
        if (IS_INTRESOURCE(info.lpszText))
            return LoadText(info.hinst,
                            static_cast<UINT>(reinterpret_cast<ULONG_PTR>(info.lpszText)));
        return CString(info.lpszText);
    }

    UINT TextFormat() const {
        UINT fmt = m_nMaxWidth > 0 ? DT_WORDBREAK : DT_SINGLELINE;
        if (Style() & TTS_NOPREFIX)
            fmt |= DT_NOPREFIX;
        return fmt | DT_EXPANDTABS;
    }

    void Show() {
        Tool* t = Current();
        if (t == nullptr)
            return;
        const HWND window = ToolWindow(*t);
        if (!::IsWindow(window))
            return;
        if (!(Style() & TTS_ALWAYSTIP) && ::GetActiveWindow() != TopLevelOf(window))
            return;
        m_strShown = TextOf(*t);
        if (!Alive() || m_strShown.IsEmpty())
            return;
        HDC dc = ::GetDC(m_hWnd);
        HGDIOBJ old = ::SelectObject(dc, Font());
        CRect calc(0, 0, m_nMaxWidth > 0 ? m_nMaxWidth : 4000, 0);
        ::DrawText(dc, m_strShown, m_strShown.GetLength(), &calc, TextFormat() | DT_CALCRECT);
        ::SelectObject(dc, old);
        ::ReleaseDC(m_hWnd, dc);
        const int cx = calc.Width() + 2 * 3 + 2, cy = calc.Height() + 2 * 1 + 2;
        CPoint at;
        ::GetCursorPos(&at);
        at.y += 20; // below the arrow
        if (t->flags & TTF_CENTERTIP) {
            CRect rc;
            if (t->flags & TTF_IDISHWND) {
                ::GetWindowRect(window, &rc);
            } else {
                rc = t->rect;
                ::ClientToScreen(t->hwnd, reinterpret_cast<LPPOINT>(&rc.left));
                ::ClientToScreen(t->hwnd, reinterpret_cast<LPPOINT>(&rc.right));
            }
            at = CPoint(rc.left + (rc.Width() - cx) / 2, rc.bottom + 2);
        }
        CRect screen;
        ::GetWindowRect(::GetDesktopWindow(), &screen);
        at.x = std::clamp(
            static_cast<int>(at.x), static_cast<int>(screen.left),
            std::max(static_cast<int>(screen.left), static_cast<int>(screen.right) - cx));
        if (at.y + cy > screen.bottom)
            at.y = std::max(static_cast<int>(screen.top), static_cast<int>(at.y) - cy - 24);
        NMHDR hdr{m_hWnd, t->id, TTN_SHOW};
        if (HWND owner = ::GetParent(m_hWnd))
            ::SendMessage(owner, WM_NOTIFY, t->id, reinterpret_cast<LPARAM>(&hdr));
        if (!Alive())
            return;
        ::SetWindowPos(m_hWnd, HWND_TOPMOST, at.x, at.y, cx, cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
        Invalidate();
        m_bShowing = true;
        ::SetTimer(m_hWnd, kPopTimer, static_cast<UINT>(m_nAutoPop), nullptr);
    }

    void Pop() {
        ::KillTimer(m_hWnd, kShowTimer);
        ::KillTimer(m_hWnd, kPopTimer);
        if (!m_bShowing)
            return;
        m_bShowing = false;
        ::ShowWindow(m_hWnd, SW_HIDE);
        Tool* t = Current();
        NMHDR hdr{m_hWnd, t != nullptr ? t->id : 0, TTN_POP};
        if (HWND owner = ::GetParent(m_hWnd))
            ::SendMessage(owner, WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
    }

    void Timer(UINT_PTR id) {
        ::KillTimer(m_hWnd, id);
        if (id == kShowTimer) {
            if (m_bActive && !m_bSuppressed)
                Show();
        } else if (id == kPopTimer) {
            Pop();
            m_bSuppressed = true; // it stays hidden until the pointer leaves the tool
        }
    }

    void Paint() {
        ControlPaint paint(*this);
        HDC hdc = paint.hdc;
        CRect rc = Client();
        HBRUSH brush = ::CreateSolidBrush(BackColor());
        ::FillRect(hdc, &rc, brush);
        ::DeleteObject(brush);
        ::SetTextColor(hdc, TextColor());
        ::SetBkMode(hdc, TRANSPARENT);
        rc.DeflateRect(3, 1);
        ::DrawText(hdc, m_strShown, m_strShown.GetLength(), &rc, TextFormat());
    }

    std::vector<Tool> m_tools;
    bool m_bActive = true;
    bool m_bShowing = false;
    bool m_bSuppressed = false;
    int m_nCurrent = -1;
    CString m_strShown;
    int m_nInitial = static_cast<int>(::GetDoubleClickTime());
    int m_nAutoPop = static_cast<int>(::GetDoubleClickTime()) * 10;
    int m_nReshow = static_cast<int>(::GetDoubleClickTime()) / 5;
    int m_nMaxWidth = -1;
    COLORREF m_crBack = CLR_DEFAULT;
    COLORREF m_crText = CLR_DEFAULT;
};

LRESULT CALLBACK SubclassProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto& map = SubclassMap();
    auto it = map.find(h);
    if (it == map.end())
        return ::DefWindowProc(h, msg, wp, lp);
    const WNDPROC old = it->second.oldProc;
    if (msg >= WM_MOUSEFIRST && msg <= WM_MBUTTONDBLCLK) {
        MSG m{h, msg, wp, lp, ::GetMessageTime(), {}, 0};
        const std::set<HWND> tips = it->second.tips;
        for (HWND tip : tips) {
            if (ToolTip* t = NativeClass<ToolTip>::Find(tip))
                t->Relay(m);
        }
    }
    if (msg == WM_NCDESTROY)
        map.erase(h);
    return ::CallWindowProc(old, h, msg, wp, lp);
}

} // namespace

WNDPROC ToolTipWndProc() {
    return &NativeClass<ToolTip>::WndProc;
}

} // namespace kel::ctl
