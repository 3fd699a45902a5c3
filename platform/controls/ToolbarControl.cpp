// The toolbar class: a row (or rows) of image buttons and separators; a click tells the
// notification window with WM_COMMAND; check buttons and check groups keep their state.
#include "platform/controls/CommCtrlDefs.h"
#include "platform/controls/NativeControl.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace kel::ctl {
namespace {

constexpr int kSeparator = 8;
constexpr int kTop = 2;

class Toolbar : public NativeControl {
public:
    using NativeControl::NativeControl;

    LRESULT Proc(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_CREATE:
            m_hNotify = Parent();
            return 0;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SIZE:
        case WM_ENABLE:
            Invalidate();
            return 0;
        case WM_SETFONT:
            Default(msg, wp, lp);
            Invalidate();
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            const int i = HitTest(Point(lp));
            if (i < 0 || !Enabled() ||
                !(m_buttons[static_cast<size_t>(i)].b.fsState & TBSTATE_ENABLED))
                return 0;
            m_nPressed = i;
            m_bInside = true;
            m_buttons[static_cast<size_t>(i)].b.fsState |= TBSTATE_PRESSED;
            ::SetCapture(m_hWnd);
            Invalidate();
            return 0;
        }
        case WM_MOUSEMOVE:
            if (m_nPressed >= 0) {
                const bool inside = ItemRect(m_nPressed).PtInRect(Point(lp)) != FALSE;
                if (inside != m_bInside) {
                    m_bInside = inside;
                    SetFlag(m_nPressed, TBSTATE_PRESSED, inside);
                }
            } else {
                TrackHot(Point(lp));
            }
            return 0;
        case WM_MOUSELEAVE:
            SetHot(-1);
            return 0;
        case TB_GETHOTITEM:
            return m_nHot;
        case TB_SETHOTITEM: {
            const int old = m_nHot;
            const int i = static_cast<int>(static_cast<INT_PTR>(wp));
            SetHot(Valid(i) && !IsSep(m_buttons[static_cast<size_t>(i)].b) ? i : -1);
            return old;
        }
        case WM_LBUTTONUP:
            if (m_nPressed >= 0) {
                const int i = m_nPressed;
                const bool inside = ItemRect(i).PtInRect(Point(lp)) != FALSE;
                m_nPressed = -1;
                ReleaseOwnCapture();
                SetFlag(i, TBSTATE_PRESSED, false);
                if (inside)
                    Click(i);
            }
            return 0;
        case WM_CAPTURECHANGED:
            if (m_nPressed >= 0 && reinterpret_cast<HWND>(lp) != m_hWnd) {
                SetFlag(m_nPressed, TBSTATE_PRESSED, false);
                m_nPressed = -1;
            }
            return 0;
        case TB_BUTTONSTRUCTSIZE:
            return 0;
        case TB_SETBITMAPSIZE:
            m_sizeBitmap = CSize(LOWORD(lp), HIWORD(lp));
            Invalidate();
            return TRUE;
        case TB_SETBUTTONSIZE:
            m_sizeButton = CSize(LOWORD(lp), HIWORD(lp));
            Invalidate();
            return TRUE;
        case TB_GETBUTTONSIZE: {
            const CSize s = ButtonSize();
            return MAKELRESULT(s.cx, s.cy);
        }
        case TB_SETINDENT:
            m_nIndent = static_cast<int>(wp);
            Invalidate();
            return TRUE;
        case TB_SETMAXTEXTROWS:
            m_nTextRows = static_cast<int>(wp);
            Invalidate();
            return TRUE;
        case TB_SETPARENT: {
            HWND old = m_hNotify;
            m_hNotify = reinterpret_cast<HWND>(wp);
            return reinterpret_cast<LRESULT>(old);
        }
        case TB_SETSTYLE:
            ::SetWindowLong(m_hWnd, GWL_STYLE,
                            static_cast<LONG>((Style() & 0xFFFF0000u) | LOWORD(lp)));
            Invalidate();
            return 0;
        case TB_GETSTYLE:
            return Style() & 0xFFFF;
        case TB_ADDBITMAP:
            return AddBitmap(static_cast<int>(wp), reinterpret_cast<const TBADDBITMAP*>(lp));
        case TB_SETIMAGELIST:
        case TB_SETDISABLEDIMAGELIST:
        case TB_SETHOTIMAGELIST: {
            HIMAGELIST& slot = msg == TB_SETIMAGELIST           ? m_hImages
                               : msg == TB_SETDISABLEDIMAGELIST ? m_hDisabled
                                                                : m_hHot;
            HIMAGELIST old = slot;
            slot = reinterpret_cast<HIMAGELIST>(lp);
            int cx = 0, cy = 0;
            if (msg == TB_SETIMAGELIST && slot != nullptr && ImageList_GetIconSize(slot, &cx, &cy))
                m_sizeBitmap = CSize(cx, cy);
            Invalidate();
            return reinterpret_cast<LRESULT>(old);
        }
        case TB_GETIMAGELIST:
            return reinterpret_cast<LRESULT>(m_hImages);
        case TB_GETDISABLEDIMAGELIST:
            return reinterpret_cast<LRESULT>(m_hDisabled);
        case TB_GETHOTIMAGELIST:
            return reinterpret_cast<LRESULT>(m_hHot);
        case TB_ADDBUTTONS:
            return Insert(static_cast<int>(m_buttons.size()), static_cast<int>(wp),
                          reinterpret_cast<const TBBUTTON*>(lp));
        case TB_INSERTBUTTON:
            return Insert(std::clamp(static_cast<int>(wp), 0, static_cast<int>(m_buttons.size())),
                          1, reinterpret_cast<const TBBUTTON*>(lp));
        case TB_DELETEBUTTON:
            if (!Valid(static_cast<int>(wp)))
                return FALSE;
            if (m_nPressed == static_cast<int>(wp))
                m_nPressed = -1;
            m_nHot = -1; // the indexes after it move
            m_buttons.erase(m_buttons.begin() + static_cast<long>(wp));
            Invalidate();
            return TRUE;
        case TB_GETBUTTON:
            if (!Valid(static_cast<int>(wp)) || lp == 0)
                return FALSE;
            *reinterpret_cast<TBBUTTON*>(lp) = m_buttons[wp].b;
            return TRUE;
        case TB_BUTTONCOUNT:
            return static_cast<LRESULT>(m_buttons.size());
        case TB_COMMANDTOINDEX:
            return IndexOf(static_cast<int>(wp));
        case TB_GETITEMRECT:
            if (!Valid(static_cast<int>(wp)) || lp == 0 ||
                (m_buttons[wp].b.fsState & TBSTATE_HIDDEN))
                return FALSE;
            *reinterpret_cast<LPRECT>(lp) = ItemRect(static_cast<int>(wp));
            return TRUE;
        case TB_GETRECT: {
            const int i = IndexOf(static_cast<int>(wp));
            if (i < 0 || lp == 0)
                return FALSE;
            *reinterpret_cast<LPRECT>(lp) = ItemRect(i);
            return TRUE;
        }
        case TB_ENABLEBUTTON:
            return SetFlagById(static_cast<int>(wp), TBSTATE_ENABLED, LOWORD(lp) != 0);
        case TB_CHECKBUTTON:
            return SetFlagById(static_cast<int>(wp), TBSTATE_CHECKED, LOWORD(lp) != 0);
        case TB_PRESSBUTTON:
            return SetFlagById(static_cast<int>(wp), TBSTATE_PRESSED, LOWORD(lp) != 0);
        case TB_HIDEBUTTON:
            return SetFlagById(static_cast<int>(wp), TBSTATE_HIDDEN, LOWORD(lp) != 0);
        case TB_INDETERMINATE:
            return SetFlagById(static_cast<int>(wp), TBSTATE_INDETERMINATE, LOWORD(lp) != 0);
        case TB_ISBUTTONENABLED:
            return StateBit(static_cast<int>(wp), TBSTATE_ENABLED);
        case TB_ISBUTTONCHECKED:
            return StateBit(static_cast<int>(wp), TBSTATE_CHECKED);
        case TB_ISBUTTONPRESSED:
            return StateBit(static_cast<int>(wp), TBSTATE_PRESSED);
        case TB_ISBUTTONHIDDEN:
            return StateBit(static_cast<int>(wp), TBSTATE_HIDDEN);
        case TB_ISBUTTONINDETERMINATE:
            return StateBit(static_cast<int>(wp), TBSTATE_INDETERMINATE);
        case TB_SETSTATE: {
            const int i = IndexOf(static_cast<int>(wp));
            if (i < 0)
                return FALSE;
            m_buttons[static_cast<size_t>(i)].b.fsState = static_cast<BYTE>(LOWORD(lp));
            Invalidate();
            return TRUE;
        }
        case TB_GETSTATE: {
            const int i = IndexOf(static_cast<int>(wp));
            return i < 0 ? -1 : m_buttons[static_cast<size_t>(i)].b.fsState;
        }
        case TB_SETCMDID:
            if (!Valid(static_cast<int>(wp)))
                return FALSE;
            m_buttons[wp].b.idCommand = static_cast<int>(lp);
            return TRUE;
        case TB_ADDSTRING:
            return AddStrings(reinterpret_cast<HINSTANCE>(wp), lp);
        case TB_GETBUTTONTEXT: {
            const int i = IndexOf(static_cast<int>(wp));
            if (i < 0)
                return -1;
            const CString& t = m_buttons[static_cast<size_t>(i)].text;
            CopyText(t, reinterpret_cast<LPTSTR>(lp), t.GetLength() + 1);
            return t.GetLength();
        }
        case TB_GETBUTTONINFO:
            return GetInfo(static_cast<int>(wp), reinterpret_cast<TBBUTTONINFO*>(lp));
        case TB_SETBUTTONINFO:
            return SetInfo(static_cast<int>(wp), reinterpret_cast<const TBBUTTONINFO*>(lp));
        case TB_AUTOSIZE:
            Invalidate();
            return 0;
        default:
            return Default(msg, wp, lp);
        }
    }

private:
    struct Button {
        TBBUTTON b{};
        CString text;
    };

    static CPoint Point(LPARAM lp) { return CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)); }
    bool Valid(int i) const { return i >= 0 && i < static_cast<int>(m_buttons.size()); }
    static bool IsSep(const TBBUTTON& b) { return (b.fsStyle & TBSTYLE_SEP) != 0; }

    int IndexOf(int id) const {
        for (size_t i = 0; i < m_buttons.size(); ++i) {
            if (!IsSep(m_buttons[i].b) && m_buttons[i].b.idCommand == id)
                return static_cast<int>(i);
        }
        return -1;
    }

    bool HasText() const {
        if (m_nTextRows <= 0)
            return false;
        return std::any_of(m_buttons.begin(), m_buttons.end(),
                           [](const Button& b) { return !b.text.IsEmpty(); });
    }

    // The size of every button: the image with its edge, widened for the widest text.
    CSize ButtonSize() const {
        CSize s(std::max<int>(m_sizeButton.cx, m_sizeBitmap.cx + 7),
                std::max<int>(m_sizeButton.cy, m_sizeBitmap.cy + 7));
        if (HasText()) {
            const HFONT font = Font();
            int w = 0;
            for (const Button& b : m_buttons)
                w = std::max(w, TextWidth(font, b.text, b.text.GetLength()));
            if (Style() & TBSTYLE_LIST) {
                s.cx = m_sizeBitmap.cx + w + 12;
            } else {
                s.cx = std::max<int>(s.cx, w + 8);
                s.cy += FontHeight(font) + 2;
            }
        }
        return s;
    }

    // The rectangle of every button (empty for a hidden one). The button size measures every
    // text, so a paint or a hit test lays the bar out once rather than once a button.
    std::vector<CRect> Layout() const {
        const CSize bs = ButtonSize();
        std::vector<CRect> rects(m_buttons.size());
        int x = m_nIndent, y = kTop;
        for (size_t i = 0; i < m_buttons.size(); ++i) {
            const TBBUTTON& b = m_buttons[i].b;
            if (b.fsState & TBSTATE_HIDDEN)
                continue;
            const int w = IsSep(b) ? (b.iBitmap > 0 ? b.iBitmap : kSeparator) : bs.cx;
            rects[i] = CRect(x, y, x + w, y + bs.cy);
            if (b.fsState & TBSTATE_WRAP) {
                x = m_nIndent;
                y += IsSep(b) ? w + bs.cy : bs.cy;
            } else {
                x += w;
            }
        }
        return rects;
    }

    CRect ItemRect(int index) const {
        return Valid(index) ? Layout()[static_cast<size_t>(index)] : CRect();
    }

    int HitTest(CPoint pt) const {
        const std::vector<CRect> rects = Layout();
        for (size_t i = 0; i < m_buttons.size(); ++i) {
            const TBBUTTON& b = m_buttons[i].b;
            if (!IsSep(b) && !(b.fsState & TBSTATE_HIDDEN) && rects[i].PtInRect(pt))
                return static_cast<int>(i);
        }
        return -1;
    }

    // The button under the pointer is drawn hot (raised on a flat bar, with its hot image)
    // until the pointer leaves it.
    void TrackHot(CPoint pt) {
        int i = HitTest(pt);
        if (i >= 0 &&
            (!Enabled() || !(m_buttons[static_cast<size_t>(i)].b.fsState & TBSTATE_ENABLED)))
            i = -1;
        if (i == m_nHot)
            return;
        SetHot(i);
        if (i >= 0) {
            TRACKMOUSEEVENT tme{sizeof(TRACKMOUSEEVENT), TME_LEAVE, m_hWnd, 0};
            ::TrackMouseEvent(&tme);
        }
    }

    void SetHot(int i) {
        if (i == m_nHot)
            return;
        m_nHot = i;
        Invalidate();
    }

    void SetFlag(int i, BYTE flag, bool on) {
        BYTE& s = m_buttons[static_cast<size_t>(i)].b.fsState;
        const BYTE next = on ? static_cast<BYTE>(s | flag) : static_cast<BYTE>(s & ~flag);
        if (next != s) {
            s = next;
            Invalidate();
        }
    }

    BOOL SetFlagById(int id, BYTE flag, bool on) {
        const int i = IndexOf(id);
        if (i < 0)
            return FALSE;
        if (flag == TBSTATE_CHECKED && on &&
            (m_buttons[static_cast<size_t>(i)].b.fsStyle & TBSTYLE_CHECKGROUP) ==
                TBSTYLE_CHECKGROUP)
            UncheckGroup(i);
        SetFlag(i, flag, on);
        return TRUE;
    }

    LRESULT StateBit(int id, BYTE flag) const {
        const int i = IndexOf(id);
        if (i < 0)
            return -1;
        return (m_buttons[static_cast<size_t>(i)].b.fsState & flag) ? TRUE : FALSE;
    }

    // The other buttons of the check group around i (consecutive check-group buttons).
    void UncheckGroup(int i) {
        auto inGroup = [&](int k) {
            return Valid(k) && (m_buttons[static_cast<size_t>(k)].b.fsStyle & TBSTYLE_CHECKGROUP) ==
                                   TBSTYLE_CHECKGROUP;
        };
        for (int k = i - 1; inGroup(k); --k)
            SetFlag(k, TBSTATE_CHECKED, false);
        for (int k = i + 1; inGroup(k); ++k)
            SetFlag(k, TBSTATE_CHECKED, false);
    }

    void Click(int i) {
        Button& b = m_buttons[static_cast<size_t>(i)];
        if ((b.b.fsStyle & TBSTYLE_CHECKGROUP) == TBSTYLE_CHECKGROUP) {
            UncheckGroup(i);
            SetFlag(i, TBSTATE_CHECKED, true);
        } else if (b.b.fsStyle & TBSTYLE_CHECK) {
            SetFlag(i, TBSTATE_CHECKED, !(b.b.fsState & TBSTATE_CHECKED));
        }
        if (m_hNotify != nullptr)
            ::SendMessage(m_hNotify, WM_COMMAND, MAKEWPARAM(b.b.idCommand, BN_CLICKED),
                          reinterpret_cast<LPARAM>(m_hWnd));
    }

    CString StringOf(const TBBUTTON& b) const {
        if (b.iString >= 0 && b.iString < static_cast<INT_PTR>(m_strings.size()))
            return m_strings[static_cast<size_t>(b.iString)];
        if (b.iString != 0 && b.iString != -1 &&
            !IS_INTRESOURCE(reinterpret_cast<LPCTSTR>(b.iString)))
            return CString(reinterpret_cast<LPCTSTR>(b.iString));
        return CString();
    }

    BOOL Insert(int at, int count, const TBBUTTON* p) {
        if (p == nullptr || count < 0)
            return FALSE;
        m_nHot = -1; // the indexes after the new buttons move
        for (int k = 0; k < count; ++k) {
            Button b;
            b.b = p[k];
            b.text = StringOf(p[k]);
            m_buttons.insert(m_buttons.begin() + at + k, b);
        }
        Invalidate();
        return TRUE;
    }

    LRESULT AddStrings(HINSTANCE hinst, LPARAM lp) {
        const int first = static_cast<int>(m_strings.size());
        if (hinst != nullptr) {
            CString s;
            if (!s.LoadString(hinst, static_cast<UINT>(lp)))
                return -1;
            m_strings.push_back(s);
            return first;
        }
        // Strings one after the other, each ending in a zero, the last followed by another.
        for (LPCTSTR p = reinterpret_cast<LPCTSTR>(lp); p != nullptr && *p; p += std::strlen(p) + 1)
            m_strings.emplace_back(p);
        return first;
    }

    LRESULT AddBitmap(int count, const TBADDBITMAP* p) {
        if (p == nullptr)
            return -1;
        HBITMAP hbm = p->hInst != nullptr
                          ? ::LoadBitmap(p->hInst, MAKEINTRESOURCE(static_cast<UINT>(p->nID)))
                          : reinterpret_cast<HBITMAP>(p->nID);
        if (hbm == nullptr)
            return -1;
        if (!m_ownImages) {
            m_ownImages = std::make_unique<CImageList>();
            if (!m_ownImages->Create(m_sizeBitmap.cx, m_sizeBitmap.cy, ILC_COLOR32 | ILC_MASK, 8,
                                     8)) {
                m_ownImages.reset();
                if (p->hInst != nullptr)
                    ::DeleteObject(hbm);
                return -1;
            }
        }
        // Light grey, the face of the artwork, is transparent.
        CBitmap bitmap;
        bitmap.Attach(hbm);
        const int first = m_ownImages->Add(&bitmap, RGB(192, 192, 192));
        if (p->hInst == nullptr)
            bitmap.Detach();
        (void)count;
        m_hImages = m_ownImages->GetSafeHandle();
        Invalidate();
        return first;
    }

    BOOL GetInfo(int key, TBBUTTONINFO* info) const {
        if (info == nullptr)
            return -1;
        const int i = (info->dwMask & TBIF_BYINDEX) ? key : IndexOf(key);
        if (!Valid(i))
            return -1;
        const Button& b = m_buttons[static_cast<size_t>(i)];
        if (info->dwMask & TBIF_COMMAND)
            info->idCommand = b.b.idCommand;
        if (info->dwMask & TBIF_IMAGE)
            info->iImage = b.b.iBitmap;
        if (info->dwMask & TBIF_STATE)
            info->fsState = b.b.fsState;
        if (info->dwMask & TBIF_STYLE)
            info->fsStyle = b.b.fsStyle;
        if (info->dwMask & TBIF_LPARAM)
            info->lParam = b.b.dwData;
        if (info->dwMask & TBIF_SIZE)
            info->cx = static_cast<WORD>(ItemRect(i).Width());
        if (info->dwMask & TBIF_TEXT)
            CopyText(b.text, info->pszText, info->cchText);
        return i;
    }

    BOOL SetInfo(int key, const TBBUTTONINFO* info) {
        if (info == nullptr)
            return FALSE;
        const int i = (info->dwMask & TBIF_BYINDEX) ? key : IndexOf(key);
        if (!Valid(i))
            return FALSE;
        Button& b = m_buttons[static_cast<size_t>(i)];
        if (info->dwMask & TBIF_COMMAND)
            b.b.idCommand = info->idCommand;
        if (info->dwMask & TBIF_IMAGE)
            b.b.iBitmap = info->iImage;
        if (info->dwMask & TBIF_STATE)
            b.b.fsState = info->fsState;
        if (info->dwMask & TBIF_STYLE)
            b.b.fsStyle = info->fsStyle;
        if (info->dwMask & TBIF_LPARAM)
            b.b.dwData = info->lParam;
        if ((info->dwMask & TBIF_SIZE) && IsSep(b.b))
            b.b.iBitmap = info->cx;
        if (info->dwMask & TBIF_TEXT)
            b.text = info->pszText != nullptr ? info->pszText : "";
        Invalidate();
        return TRUE;
    }

    void DrawButton(HDC hdc, int i, CRect rc, bool hasText) {
        const Button& btn = m_buttons[static_cast<size_t>(i)];
        const TBBUTTON& b = btn.b;
        const bool flat = (Style() & TBSTYLE_FLAT) != 0;
        if (IsSep(b)) {
            if (flat) {
                CRect line(rc.left + rc.Width() / 2 - 1, rc.top, rc.left + rc.Width() / 2 + 1,
                           rc.bottom);
                ::DrawEdge(hdc, &line, EDGE_ETCHED, BF_LEFT);
            }
            return;
        }
        const bool enabled = (b.fsState & TBSTATE_ENABLED) && Enabled();
        const bool pressed = (b.fsState & TBSTATE_PRESSED) != 0;
        const bool checked = (b.fsState & TBSTATE_CHECKED) != 0;
        const bool hot = i == m_nHot && enabled && !pressed;
        if (pressed || checked) {
            ::DrawEdge(hdc, &rc, flat ? BDR_SUNKENOUTER : EDGE_SUNKEN, BF_RECT | BF_SOFT);
            if (checked && !pressed) {
                CRect inner = rc;
                inner.DeflateRect(2, 2);
                FillScrollShaft(hdc, inner, false);
            }
        } else if (!flat) {
            ::DrawEdge(hdc, &rc, EDGE_RAISED, BF_RECT | BF_SOFT);
        } else if (hot) {
            ::DrawEdge(hdc, &rc, BDR_RAISEDINNER, BF_RECT);
        }
        const int shift = (pressed || checked) ? 1 : 0;
        const bool list = (Style() & TBSTYLE_LIST) != 0;
        const bool text = hasText && !btn.text.IsEmpty();
        int ix = rc.left + (rc.Width() - m_sizeBitmap.cx) / 2 + shift;
        int iy = rc.top + 3 + shift;
        if (list)
            ix = rc.left + 4 + shift;
        if (!text || list)
            iy = rc.top + (rc.Height() - m_sizeBitmap.cy) / 2 + shift;
        if (m_hImages != nullptr && b.iBitmap >= 0) {
            if (enabled && !(b.fsState & TBSTATE_INDETERMINATE))
                ImageList_Draw(hot && m_hHot != nullptr ? m_hHot : m_hImages, b.iBitmap, hdc, ix,
                               iy, ILD_TRANSPARENT);
            else if (m_hDisabled != nullptr)
                ImageList_Draw(m_hDisabled, b.iBitmap, hdc, ix, iy, ILD_TRANSPARENT);
            else
                DrawDisabledImage(hdc, m_hImages, b.iBitmap, ix, iy);
        }
        if (text) {
            CRect tr = rc;
            if (list)
                tr.left = ix + m_sizeBitmap.cx + 4;
            else
                tr.top = iy + m_sizeBitmap.cy + 1;
            tr.OffsetRect(shift, 0);
            DrawItemText(hdc, btn.text, btn.text.GetLength(), tr,
                         DT_SINGLELINE | (list ? DT_LEFT | DT_VCENTER : DT_CENTER | DT_TOP) |
                             DT_END_ELLIPSIS,
                         enabled);
        }
    }

    void Paint() {
        ControlPaint paint(*this);
        HDC hdc = paint.hdc;
        ::SetTextColor(hdc, ::GetSysColor(COLOR_BTNTEXT));
        const CRect client = Client();
        ::FillRect(hdc, &client, ::GetSysColorBrush(COLOR_3DFACE));
        const std::vector<CRect> rects = Layout();
        const bool hasText = HasText();
        for (size_t i = 0; i < m_buttons.size(); ++i) {
            if (!(m_buttons[i].b.fsState & TBSTATE_HIDDEN))
                DrawButton(hdc, static_cast<int>(i), rects[i], hasText);
        }
    }

    std::vector<Button> m_buttons;
    std::vector<CString> m_strings;
    CSize m_sizeBitmap{16, 15};
    CSize m_sizeButton{24, 22};
    int m_nIndent = 0;
    int m_nTextRows = 1;
    HIMAGELIST m_hImages = nullptr, m_hDisabled = nullptr, m_hHot = nullptr;
    std::unique_ptr<CImageList> m_ownImages;
    HWND m_hNotify = nullptr;
    int m_nPressed = -1;
    int m_nHot = -1;
    bool m_bInside = false;
};

} // namespace

WNDPROC ToolbarWndProc() {
    return &NativeClass<Toolbar>::WndProc;
}

} // namespace kel::ctl
