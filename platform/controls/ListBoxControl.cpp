// The list box class: single, multiple and extended selection, sorting, a scroll bar in its
// frame; and the ComboLBox class, the drop-down list of a combo box.
#include "platform/controls/ListBoxControl.h"

#include <algorithm>

namespace kel::ctl {

namespace {

bool StartsWithNoCase(const CString& text, const CString& prefix) {
    if (prefix.GetLength() > text.GetLength())
        return false;
    return text.Left(prefix.GetLength()).CompareNoCase(prefix) == 0;
}

} // namespace

ListBox::ListBox(HWND h)
    : NativeControl(h),
      m_track(
          h,
          [this](UINT code, int pos) {
              ::SendMessage(m_hWnd, WM_VSCROLL, MAKEWPARAM(code, static_cast<WORD>(pos)), 0);
          },
          [this] { ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE); }) {}

int ListBox::FullRows() const {
    const int h = m_nItemHeight > 0 ? m_nItemHeight : 1;
    return std::max(1, Client().Height() / h);
}

int ListBox::MaxTop() const {
    return std::max(0, static_cast<int>(m_items.size()) - FullRows());
}

void ListBox::SetTop(int top) {
    top = std::clamp(top, 0, MaxTop());
    if (top == m_nTop)
        return;
    m_nTop = top;
    UpdateScrollBar();
    Invalidate();
}

void ListBox::EnsureVisible(int index) {
    if (!Valid(index))
        return;
    if (index < m_nTop)
        SetTop(index);
    else if (index >= m_nTop + FullRows())
        SetTop(index - FullRows() + 1);
}

CRect ListBox::ItemRect(int index) const {
    const CRect client = Client();
    const int y = (index - m_nTop) * m_nItemHeight;
    return CRect(0, y, client.right, y + m_nItemHeight);
}

int ListBox::ItemFromPoint(CPoint pt, bool* pOutside) const {
    const CRect client = Client();
    bool outside = !client.PtInRect(pt);
    int index = m_nTop + (pt.y >= 0 ? pt.y / std::max(1, m_nItemHeight) : -1);
    if (index >= static_cast<int>(m_items.size())) {
        index = static_cast<int>(m_items.size()) - 1;
        outside = true;
    }
    if (index < 0) {
        index = m_items.empty() ? -1 : 0;
        outside = true;
    }
    if (pOutside != nullptr)
        *pOutside = outside;
    return index;
}

void ListBox::SelectSingle(int index) {
    if (index == m_nCurSel)
        return;
    m_nCurSel = Valid(index) ? index : -1;
    if (m_nCurSel >= 0)
        m_nCaret = m_nCurSel;
    Invalidate();
}

void ListBox::SelectForCombo(int index) {
    SelectSingle(index);
    EnsureVisible(m_nCurSel);
}

void ListBox::SelectRange(int a, int b, bool clearOthers) {
    if (a > b)
        std::swap(a, b);
    for (int i = 0; i < static_cast<int>(m_items.size()); ++i) {
        const bool inRange = i >= a && i <= b;
        if (inRange)
            m_items[static_cast<size_t>(i)].sel = true;
        else if (clearOthers)
            m_items[static_cast<size_t>(i)].sel = false;
    }
    Invalidate();
}

void ListBox::SelChange(bool notify) {
    m_bSelChanged = false;
    if (notify && NotifyStyle() && !IsComboList())
        Notify(LBN_SELCHANGE);
}

CRect ListBox::ScrollBarRect() const {
    const CRect client = Client();
    const CPoint at = ClientToWindow(CPoint(client.right, 0));
    return CRect(at.x, at.y, at.x + ::GetSystemMetrics(SM_CXVSCROLL), at.y + client.bottom);
}

CPoint ListBox::ClientToWindow(CPoint pt) const {
    CRect window;
    ::GetWindowRect(m_hWnd, &window);
    CPoint origin(0, 0);
    ::ClientToScreen(m_hWnd, &origin);
    return pt + origin - window.TopLeft();
}

void ListBox::UpdateScrollBar() {
    static bool busy = false;
    SCROLLINFO si{sizeof(si),
                  SIF_RANGE | SIF_PAGE | SIF_POS,
                  0,
                  static_cast<int>(m_items.size()) - 1,
                  static_cast<UINT>(FullRows()),
                  m_nTop,
                  0};
    m_track.SetInfo(si);
    if (busy || !m_bHasVScroll)
        return;
    const DWORD style = Style();
    if (!(style & LBS_DISABLENOSCROLL)) {
        const bool need = static_cast<int>(m_items.size()) > FullRows();
        const bool has = (style & WS_VSCROLL) != 0;
        if (need != has) {
            busy = true;
            ::SetWindowLong(m_hWnd, GWL_STYLE, static_cast<LONG>(style ^ WS_VSCROLL));
            ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                               SWP_FRAMECHANGED);
            busy = false;
            m_track.SetInfo(si);
        }
    }
    if (Style() & WS_VSCROLL)
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void ListBox::Changed() {
    m_nTop = std::clamp(m_nTop, 0, MaxTop());
    UpdateScrollBar();
    Invalidate();
}

int ListBox::Insert(int index, LPCTSTR text) {
    Item item;
    item.text = text ? text : "";
    m_items.insert(m_items.begin() + index, item);
    if (m_nCurSel >= index)
        ++m_nCurSel;
    if (m_nCaret >= index && m_items.size() > 1)
        ++m_nCaret;
    if (m_nAnchor >= index && m_items.size() > 1)
        ++m_nAnchor;
    Changed();
    return index;
}

int ListBox::FindPrefixFrom(int start, LPCTSTR prefix, bool exact) const {
    const int n = static_cast<int>(m_items.size());
    if (n == 0 || prefix == nullptr)
        return LB_ERR;
    const CString p(prefix);
    const int first = (start < 0 || start >= n) ? 0 : start + 1;
    for (int k = 0; k < n; ++k) {
        const int i = (first + k) % n;
        const CString& t = m_items[static_cast<size_t>(i)].text;
        if (exact ? t.CompareNoCase(p) == 0 : StartsWithNoCase(t, p))
            return i;
    }
    return LB_ERR;
}

void ListBox::BeginDrop() {
    m_bTracking = false;
    m_nCaret = m_nCurSel >= 0 ? m_nCurSel : 0;
    m_nTop = std::clamp(m_nTop, 0, MaxTop());
    EnsureVisible(m_nCurSel);
    UpdateScrollBar();
}

// Where a moving key takes the selection or caret from `from` (-1: nowhere yet), kept to the
// items; -1 for a key that does not move.
int ListBox::KeyTarget(UINT vk, int from) const {
    const int n = static_cast<int>(m_items.size());
    const int page = std::max(1, FullRows() - 1);
    int to = 0;
    switch (vk) {
    case VK_UP:
    case VK_LEFT:
        to = from < 0 ? 0 : from - 1;
        break;
    case VK_DOWN:
    case VK_RIGHT:
        to = from + 1;
        break;
    case VK_PRIOR:
        to = from < 0 ? 0 : from - page;
        break;
    case VK_NEXT:
        to = from + page;
        break;
    case VK_HOME:
        to = 0;
        break;
    case VK_END:
        to = n - 1;
        break;
    default:
        return -1;
    }
    return n == 0 ? -1 : std::clamp(to, 0, n - 1);
}

bool ListBox::MoveByKey(UINT vk) {
    const int from = m_nCurSel >= 0 ? m_nCurSel : (Multi() ? m_nCaret : -1);
    const int to = KeyTarget(vk, from);
    if (to < 0 || to == m_nCurSel)
        return false;
    SelectSingle(to);
    EnsureVisible(to);
    return true;
}

// ---------------------------------------------------------------------------
// Input.

void ListBox::ButtonDown(CPoint pt, UINT keys, bool dbl) {
    if (IsComboList()) {
        if (Client().PtInRect(pt)) {
            bool outside = false;
            const int index = ItemFromPoint(pt, &outside);
            if (!outside)
                SelectForCombo(index);
            m_bTracking = true;
        } else if ((Style() & WS_VSCROLL) && m_track.ButtonDown(ClientToWindow(pt), true)) {
            m_bScrollTracking = true;
        } else {
            ComboListDone(m_hCombo, false);
        }
        return;
    }
    if (!Focused())
        ::SetFocus(m_hWnd);
    if (!Alive())
        return;
    if (dbl) {
        if (NotifyStyle())
            Notify(LBN_DBLCLK);
        return;
    }
    bool outside = false;
    const int index = ItemFromPoint(pt, &outside);
    if (index < 0 || outside || (Style() & LBS_NOSEL))
        return;
    if (!Multi()) {
        if (index != m_nCurSel) {
            SelectSingle(index);
            m_bSelChanged = true;
        }
    } else if (!Extended()) {
        Item& item = m_items[static_cast<size_t>(index)];
        item.sel = !item.sel;
        m_nAnchor = index;
        m_bSelChanged = true;
    } else if (keys & MK_CONTROL) {
        Item& item = m_items[static_cast<size_t>(index)];
        item.sel = !item.sel;
        m_nAnchor = index;
        m_bSelChanged = true;
    } else if (keys & MK_SHIFT) {
        SelectRange(m_nAnchor, index, true);
        m_bSelChanged = true;
    } else {
        SelectRange(index, index, true);
        m_nAnchor = index;
        m_bSelChanged = true;
    }
    m_nCaret = index;
    Invalidate();
    m_bTracking = true;
    ::SetCapture(m_hWnd);
}

void ListBox::MouseMove(CPoint pt) {
    if (m_bScrollTracking) {
        m_track.MouseMove(ClientToWindow(pt));
        return;
    }
    if (IsComboList()) {
        // The selection follows the pointer over the items.
        bool outside = false;
        const int index = ItemFromPoint(pt, &outside);
        if (!outside && index >= 0)
            SelectSingle(index);
        return;
    }
    if (!m_bTracking || m_items.empty())
        return;
    const CRect client = Client();
    if (pt.y < 0)
        SetTop(m_nTop - 1);
    else if (pt.y >= client.bottom)
        SetTop(m_nTop + 1);
    bool outside = false;
    int index = ItemFromPoint(
        CPoint(pt.x, std::clamp(static_cast<int>(pt.y), 0, static_cast<int>(client.bottom) - 1)),
        &outside);
    if (index < 0)
        return;
    if (!Multi()) {
        if (index != m_nCurSel) {
            SelectSingle(index);
            m_bSelChanged = true;
        }
    } else if (Extended()) {
        SelectRange(m_nAnchor, index, true);
        m_nCaret = index;
        m_bSelChanged = true;
    }
}

void ListBox::ButtonUp(CPoint pt) {
    if (m_bScrollTracking) {
        m_bScrollTracking = false;
        m_track.ButtonUp(ClientToWindow(pt));
        if (!IsComboList())
            ReleaseOwnCapture();
        return;
    }
    if (IsComboList()) {
        // A release over an item chooses it; elsewhere (the release that follows the drop,
        // on the combo box) it leaves the list open.
        m_bTracking = false;
        bool outside = false;
        const int index = ItemFromPoint(pt, &outside);
        if (Client().PtInRect(pt) && !outside && index >= 0) {
            SelectSingle(index);
            ComboListDone(m_hCombo, true);
        }
        return;
    }
    if (!m_bTracking)
        return;
    m_bTracking = false;
    ReleaseOwnCapture();
    if (m_bSelChanged)
        SelChange(true);
}

bool ListBox::KeyDown(UINT vk) {
    const int n = static_cast<int>(m_items.size());
    if (n == 0)
        return false;
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
    if (vk == VK_SPACE) {
        if (Multi() && (!Extended() || ctrl) && Valid(m_nCaret)) {
            Item& item = m_items[static_cast<size_t>(m_nCaret)];
            item.sel = !item.sel;
            m_nAnchor = m_nCaret;
            Invalidate();
            SelChange(true);
            return true;
        }
        return false;
    }
    const int to = KeyTarget(vk, m_nCaret);
    if (to < 0)
        return false;
    if (!Multi()) {
        if (MoveByKey(vk))
            SelChange(true);
        return true;
    }
    m_nCaret = to;
    if (Extended() && !ctrl) {
        if (!shift)
            m_nAnchor = to;
        SelectRange(m_nAnchor, to, true);
        EnsureVisible(to);
        SelChange(true);
        return true;
    }
    EnsureVisible(to);
    Invalidate();
    return true;
}

void ListBox::Char(UINT ch) {
    if (ch < 0x20 || ch >= 0x80 || m_items.empty())
        return;
    const char prefix[2] = {static_cast<char>(ch), 0};
    const int index = FindPrefixFrom(m_nCaret, prefix, false);
    if (index == LB_ERR)
        return;
    if (!Multi()) {
        if (index != m_nCurSel) {
            SelectSingle(index);
            EnsureVisible(index);
            SelChange(true);
        }
    } else {
        m_nCaret = index;
        if (Extended()) {
            m_nAnchor = index;
            SelectRange(index, index, true);
            SelChange(true);
        }
        EnsureVisible(index);
        Invalidate();
    }
}

// ---------------------------------------------------------------------------
// Painting.

void ListBox::Paint() {
    ControlPaint paint(*this);
    HDC hdc = paint.hdc;
    const CRect client = Client();
    HBRUSH brush =
        IsComboList() ? ::GetSysColorBrush(COLOR_WINDOW) : CtlColor(hdc, WM_CTLCOLORLISTBOX);
    if (IsComboList()) {
        ::SetTextColor(hdc, ::GetSysColor(COLOR_WINDOWTEXT));
        ::SetBkColor(hdc, ::GetSysColor(COLOR_WINDOW));
    }
    ::FillRect(hdc, &client, brush);
    const bool enabled = Enabled();
    const bool multi = Multi();
    const COLORREF text = enabled ? ::GetTextColor(hdc) : ::GetSysColor(COLOR_GRAYTEXT);
    const bool ownerDraw =
        (Style() & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)) && !IsComboList();
    const bool focused = Focused();
    UINT fmt = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (Style() & LBS_USETABSTOPS)
        fmt |= DT_EXPANDTABS;
    ::SetBkMode(hdc, TRANSPARENT);
    for (int i = m_nTop; i < static_cast<int>(m_items.size()); ++i) {
        CRect rc = ItemRect(i);
        if (rc.top >= client.bottom)
            break;
        const Item& item = m_items[static_cast<size_t>(i)];
        const bool sel = multi ? item.sel : i == m_nCurSel;
        const bool caret =
            focused && (multi ? i == m_nCaret : (m_nCurSel < 0 ? i == m_nCaret : i == m_nCurSel));
        if (ownerDraw) {
            DRAWITEMSTRUCT dis{};
            dis.itemID = static_cast<UINT>(i);
            dis.itemState =
                (sel ? ODS_SELECTED : 0) | (caret ? ODS_FOCUS : 0) | (enabled ? 0 : ODS_DISABLED);
            dis.rcItem = rc;
            dis.itemData = item.data;
            SendDrawItem(dis, ODT_LISTBOX, hdc);
            continue;
        }
        if (sel && enabled) {
            ::FillRect(hdc, &rc, ::GetSysColorBrush(COLOR_HIGHLIGHT));
            ::SetTextColor(hdc, ::GetSysColor(COLOR_HIGHLIGHTTEXT));
        } else {
            ::SetTextColor(hdc, text);
        }
        CRect rcText = rc;
        rcText.left += 2;
        ::DrawText(hdc, item.text, item.text.GetLength(), &rcText, fmt);
        if (caret && !IsComboList())
            ::DrawFocusRect(hdc, &rc);
    }
    if (m_items.empty() && focused && !IsComboList()) {
        CRect rc = ItemRect(0);
        ::DrawFocusRect(hdc, &rc);
    }
}

void ListBox::NcPaint() {
    Default(WM_NCPAINT, 0, 0);
    if (!(Style() & WS_VSCROLL))
        return;
    HDC hdc = ::GetWindowDC(m_hWnd);
    m_track.SetVertical(true);
    m_track.SetRect(ScrollBarRect());
    m_track.Paint(hdc, Enabled());
    ::ReleaseDC(m_hWnd, hdc);
}

// ---------------------------------------------------------------------------

LRESULT ListBox::Proc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_NCCREATE: {
        auto* cs = reinterpret_cast<LPCREATESTRUCT>(lp);
        if (cs != nullptr && (cs->style & WS_POPUP) && cs->lpCreateParams != nullptr)
            m_hCombo = static_cast<HWND>(cs->lpCreateParams);
        DWORD style = Style();
        if (!IsComboList() && (style & WS_BORDER)) {
            ::SetWindowLong(m_hWnd, GWL_STYLE, static_cast<LONG>(style & ~WS_BORDER));
            ::SetWindowLong(m_hWnd, GWL_EXSTYLE,
                            ::GetWindowLong(m_hWnd, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
        }
        m_bHasVScroll = (style & WS_VSCROLL) != 0;
        return Default(msg, wp, lp);
    }
    case WM_CREATE: {
        m_nItemHeight = FontHeight(Font());
        m_track.SetRect(ScrollBarRect());
        if (!IsComboList() && !(Style() & LBS_NOINTEGRALHEIGHT)) {
            const CRect client = Client();
            const int extra = client.Height() % std::max(1, m_nItemHeight);
            if (extra != 0 && client.Height() > m_nItemHeight) {
                CRect window;
                ::GetWindowRect(m_hWnd, &window);
                ::SetWindowPos(m_hWnd, nullptr, 0, 0, window.Width(), window.Height() - extra,
                               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
        }
        UpdateScrollBar();
        return 0;
    }
    case WM_WINDOWPOSCHANGING: {
        auto* wpos = reinterpret_cast<WINDOWPOS*>(lp);
        if (!IsComboList() && !(Style() & LBS_NOINTEGRALHEIGHT) && !(wpos->flags & SWP_NOSIZE) &&
            m_nItemHeight > 0) {
            CRect window;
            ::GetWindowRect(m_hWnd, &window);
            const int nc = window.Height() - Client().Height();
            const int client = wpos->cy - nc;
            if (client > m_nItemHeight)
                wpos->cy -= client % m_nItemHeight;
        }
        return Default(msg, wp, lp);
    }
    case WM_SIZE:
        m_track.SetRect(ScrollBarRect());
        Changed();
        return 0;
    case WM_GETDLGCODE:
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_MOUSEACTIVATE:
        return IsComboList() ? MA_NOACTIVATE : Default(msg, wp, lp);
    case WM_SETFONT:
        Default(msg, wp, lp);
        if (!(Style() & (LBS_OWNERDRAWFIXED | LBS_OWNERDRAWVARIABLE)))
            m_nItemHeight = FontHeight(Font());
        Changed();
        return 0;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_NCPAINT:
        NcPaint();
        return 0;
    case WM_ENABLE:
        Invalidate();
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
        return 0;
    case WM_SETFOCUS:
        Invalidate();
        Notify(LBN_SETFOCUS);
        return 0;
    case WM_KILLFOCUS:
        if (m_bTracking || m_bScrollTracking) {
            m_bTracking = m_bScrollTracking = false;
            m_track.Cancel();
            ReleaseOwnCapture();
        }
        Invalidate();
        Notify(LBN_KILLFOCUS);
        return 0;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        ButtonDown(CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)), static_cast<UINT>(wp),
                   msg == WM_LBUTTONDBLCLK);
        return 0;
    case WM_MOUSEMOVE:
        MouseMove(CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)));
        return 0;
    case WM_LBUTTONUP:
        ButtonUp(CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)));
        return 0;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
        if (wp == HTVSCROLL) {
            if (!IsComboList() && !Focused() && (Style() & WS_TABSTOP))
                ::SetFocus(m_hWnd);
            CRect window;
            ::GetWindowRect(m_hWnd, &window);
            const CPoint pt = CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)) - window.TopLeft();
            m_track.SetRect(ScrollBarRect());
            if (m_track.ButtonDown(pt, Enabled())) {
                m_bScrollTracking = true;
                ::SetCapture(m_hWnd);
            }
            return 0;
        }
        return Default(msg, wp, lp);
    case WM_CAPTURECHANGED:
        if (reinterpret_cast<HWND>(lp) != m_hWnd) {
            if (m_bScrollTracking) {
                m_bScrollTracking = false;
                m_track.Cancel();
            }
            m_bTracking = false;
            if (IsComboList() && ::IsWindowVisible(m_hWnd))
                ComboListDone(m_hCombo, false);
        }
        return 0;
    case WM_TIMER:
        if (wp == ScrollTrack::kTimerId) {
            m_track.Timer();
            return 0;
        }
        return Default(msg, wp, lp);
    case WM_VSCROLL:
        if (lp == 0) {
            switch (LOWORD(wp)) {
            case SB_LINEUP:
                SetTop(m_nTop - 1);
                break;
            case SB_LINEDOWN:
                SetTop(m_nTop + 1);
                break;
            case SB_PAGEUP:
                SetTop(m_nTop - std::max(1, FullRows() - 1));
                break;
            case SB_PAGEDOWN:
                SetTop(m_nTop + std::max(1, FullRows() - 1));
                break;
            case SB_THUMBTRACK:
            case SB_THUMBPOSITION: {
                SCROLLINFO si{sizeof(si), SIF_TRACKPOS, 0, 0, 0, 0, 0};
                m_track.GetInfo(si);
                SetTop(LOWORD(wp) == SB_THUMBTRACK ? si.nTrackPos : HIWORD(wp));
                break;
            }
            case SB_TOP:
                SetTop(0);
                break;
            case SB_BOTTOM:
                SetTop(MaxTop());
                break;
            default:
                break;
            }
            return 0;
        }
        return Default(msg, wp, lp);
    case WM_MOUSEWHEEL:
        if (IsComboList())
            return Default(msg, wp, lp);
        SetTop(m_nTop - GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA * 3);
        return 0;
    case WM_KEYDOWN:
        if (IsComboList())
            return Default(msg, wp, lp);
        return KeyDown(static_cast<UINT>(wp)) ? 0 : Default(msg, wp, lp);
    case WM_CHAR:
        Char(static_cast<UINT>(wp));
        return 0;

    // Items.
    case LB_ADDSTRING: {
        int index = static_cast<int>(m_items.size());
        if (Style() & LBS_SORT) {
            const CString text(reinterpret_cast<LPCTSTR>(lp));
            index = 0;
            while (index < static_cast<int>(m_items.size()) &&
                   m_items[static_cast<size_t>(index)].text.CompareNoCase(text) <= 0)
                ++index;
        }
        return Insert(index, reinterpret_cast<LPCTSTR>(lp));
    }
    case LB_INSERTSTRING: {
        int index = static_cast<int>(wp);
        if (index == -1)
            index = static_cast<int>(m_items.size());
        if (index < 0 || index > static_cast<int>(m_items.size()))
            return LB_ERR;
        return Insert(index, reinterpret_cast<LPCTSTR>(lp));
    }
    case LB_DELETESTRING: {
        const int index = static_cast<int>(wp);
        if (!Valid(index))
            return LB_ERR;
        m_items.erase(m_items.begin() + index);
        if (m_nCurSel == index)
            m_nCurSel = -1;
        else if (m_nCurSel > index)
            --m_nCurSel;
        if (m_nCaret > index || m_nCaret >= static_cast<int>(m_items.size()))
            m_nCaret = std::max(0, m_nCaret - 1);
        if (m_nAnchor > index || m_nAnchor >= static_cast<int>(m_items.size()))
            m_nAnchor = std::max(0, m_nAnchor - 1);
        Changed();
        return static_cast<LRESULT>(m_items.size());
    }
    case LB_RESETCONTENT:
        m_items.clear();
        m_nCurSel = -1;
        m_nTop = m_nCaret = m_nAnchor = 0;
        Changed();
        return 0;
    case LB_GETCOUNT:
        return static_cast<LRESULT>(m_items.size());
    case LB_GETTEXT: {
        const int index = static_cast<int>(wp);
        if (!Valid(index))
            return LB_ERR;
        const CString& t = m_items[static_cast<size_t>(index)].text;
        CopyText(t, reinterpret_cast<LPTSTR>(lp), t.GetLength() + 1);
        return t.GetLength();
    }
    case LB_GETTEXTLEN:
        return Valid(static_cast<int>(wp)) ? m_items[wp].text.GetLength() : LB_ERR;
    case LB_SETITEMDATA:
        if (!Valid(static_cast<int>(wp)))
            return LB_ERR;
        m_items[wp].data = static_cast<ULONG_PTR>(lp);
        return TRUE;
    case LB_GETITEMDATA:
        return Valid(static_cast<int>(wp)) ? static_cast<LRESULT>(m_items[wp].data) : LB_ERR;
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
        return FindPrefixFrom(static_cast<int>(wp), reinterpret_cast<LPCTSTR>(lp),
                              msg == LB_FINDSTRINGEXACT);
    case LB_SELECTSTRING: {
        if (Multi())
            return LB_ERR;
        const int index =
            FindPrefixFrom(static_cast<int>(wp), reinterpret_cast<LPCTSTR>(lp), false);
        if (index != LB_ERR) {
            SelectSingle(index);
            EnsureVisible(index);
        }
        return index;
    }

    // Selection.
    case LB_SETCURSEL: {
        if (Multi())
            return LB_ERR;
        const int index = static_cast<int>(wp);
        SelectSingle(Valid(index) ? index : -1);
        if (!Valid(index))
            return LB_ERR;
        EnsureVisible(index);
        return index;
    }
    case LB_GETCURSEL:
        if (Multi())
            return m_items.empty() ? LB_ERR : m_nCaret;
        return m_nCurSel;
    case LB_SETSEL: {
        if (!Multi())
            return LB_ERR;
        const int index = static_cast<int>(lp);
        if (index == -1) {
            for (Item& item : m_items)
                item.sel = wp != 0;
        } else if (Valid(index)) {
            m_items[static_cast<size_t>(index)].sel = wp != 0;
            if (wp)
                EnsureVisible(index);
        } else {
            return LB_ERR;
        }
        Invalidate();
        return 0;
    }
    case LB_GETSEL: {
        const int index = static_cast<int>(wp);
        if (!Valid(index))
            return LB_ERR;
        return Multi() ? (m_items[static_cast<size_t>(index)].sel ? 1 : 0) : (index == m_nCurSel);
    }
    case LB_GETSELCOUNT: {
        if (!Multi())
            return LB_ERR;
        return std::count_if(m_items.begin(), m_items.end(), [](const Item& i) { return i.sel; });
    }
    case LB_GETSELITEMS: {
        if (!Multi())
            return LB_ERR;
        auto* out = reinterpret_cast<int*>(lp);
        int n = 0;
        for (int i = 0; i < static_cast<int>(m_items.size()) && n < static_cast<int>(wp); ++i) {
            if (m_items[static_cast<size_t>(i)].sel) {
                if (out != nullptr)
                    out[n] = i;
                ++n;
            }
        }
        return n;
    }
    case LB_SELITEMRANGE: {
        if (!Multi())
            return LB_ERR;
        int a = LOWORD(lp), b = HIWORD(lp);
        if (a > b)
            std::swap(a, b);
        for (int i = a; i <= b && i < static_cast<int>(m_items.size()); ++i)
            m_items[static_cast<size_t>(i)].sel = wp != 0;
        Invalidate();
        return 0;
    }
    case LB_SETCARETINDEX:
        if (!Valid(static_cast<int>(wp)))
            return LB_ERR;
        m_nCaret = static_cast<int>(wp);
        EnsureVisible(m_nCaret);
        Invalidate();
        return 0;
    case LB_GETCARETINDEX:
        return m_items.empty() ? LB_ERR : (Multi() || m_nCurSel < 0 ? m_nCaret : m_nCurSel);
    case LB_SETANCHORINDEX:
        if (!Valid(static_cast<int>(wp)))
            return LB_ERR;
        m_nAnchor = static_cast<int>(wp);
        return 0;
    case LB_GETANCHORINDEX:
        return m_nAnchor;

    // Scrolling and geometry.
    case LB_SETTOPINDEX:
        if (!Valid(static_cast<int>(wp)) && !(wp == 0 && m_items.empty()))
            return LB_ERR;
        SetTop(static_cast<int>(wp));
        return 0;
    case LB_GETTOPINDEX:
        return m_nTop;
    case LB_GETITEMHEIGHT:
        return m_nItemHeight;
    case LB_SETITEMHEIGHT:
        if (LOWORD(lp) == 0 || LOWORD(lp) > 255)
            return LB_ERR;
        m_nItemHeight = LOWORD(lp);
        Changed();
        return 0;
    case LB_GETITEMRECT:
        if (!Valid(static_cast<int>(wp)) || lp == 0)
            return LB_ERR;
        *reinterpret_cast<LPRECT>(lp) = ItemRect(static_cast<int>(wp));
        return TRUE;
    case LB_ITEMFROMPOINT: {
        bool outside = false;
        const int index = ItemFromPoint(CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)), &outside);
        return MAKELRESULT(static_cast<WORD>(index), outside ? 1 : 0);
    }
    default:
        return Default(msg, wp, lp);
    }
}

WNDPROC ListBoxWndProc() {
    return &NativeClass<ListBox>::WndProc;
}

// The drop-down list of combo boxes is a list box made as a popup by its combo box.
WNDPROC ComboLBoxWndProc() {
    return &NativeClass<ListBox>::WndProc;
}

} // namespace kel::ctl
