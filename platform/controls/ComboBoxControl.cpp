// The combo box class as a drop-down list: a selection field with a button, and a list that
// drops below it. The items live in the list (a ComboLBox).
#include "platform/controls/ListBoxControl.h"

#include <algorithm>

namespace kel::ctl {
namespace {

constexpr int kEdge = 2; // the sunken edge around the field

class ComboBox : public NativeControl {
public:
    using NativeControl::NativeControl;

    LRESULT Proc(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_CREATE: {
            auto* cs = reinterpret_cast<LPCREATESTRUCT>(lp);
            m_nDroppedHeight = cs != nullptr ? cs->cy : 0;
            DWORD lbs = WS_POPUP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
            if (Style() & CBS_SORT)
                lbs |= LBS_SORT;
            m_hList = ::CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "ComboLBox", "", lbs, 0, 0,
                                       0, 0, m_hWnd, nullptr, nullptr, m_hWnd);
            if (m_hList == nullptr)
                return -1;
            ::SendMessage(m_hList, WM_SETFONT, reinterpret_cast<WPARAM>(Font()), FALSE);
            Measure();
            FitHeight();
            return 0;
        }
        case WM_DESTROY:
            if (m_hList != nullptr && ::IsWindow(m_hList))
                ::DestroyWindow(m_hList);
            m_hList = nullptr;
            return 0;
        case WM_WINDOWPOSCHANGING: {
            // The window keeps the field's height; a taller one sets the dropped height.
            auto* wpos = reinterpret_cast<WINDOWPOS*>(lp);
            if (!(wpos->flags & SWP_NOSIZE) && m_nFieldHeight > 0 && wpos->cy != m_nFieldHeight) {
                if (wpos->cy > m_nFieldHeight)
                    m_nDroppedHeight = wpos->cy;
                wpos->cy = m_nFieldHeight;
            }
            return Default(msg, wp, lp);
        }
        case WM_SIZE:
        case WM_ENABLE:
            Invalidate();
            return 0;
        case WM_SETFONT:
            Default(msg, wp, lp);
            if (m_hList != nullptr)
                ::SendMessage(m_hList, WM_SETFONT, wp, FALSE);
            Measure();
            FitHeight();
            if (lp)
                Invalidate();
            return 0;
        case WM_GETDLGCODE: {
            UINT code = DLGC_WANTARROWS | DLGC_WANTCHARS;
            // While dropped, Enter and Escape belong to the list, not to the dialog.
            auto* pMsg = reinterpret_cast<LPMSG>(lp);
            if (m_bDropped && pMsg != nullptr && pMsg->message == WM_KEYDOWN &&
                (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE))
                code |= DLGC_WANTMESSAGE;
            return code;
        }
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_SETFOCUS:
            Invalidate();
            Notify(CBN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            if (m_bDropped)
                Close(false, true);
            if (!Alive())
                return 0;
            Invalidate();
            Notify(CBN_KILLFOCUS);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (!Focused())
                ::SetFocus(m_hWnd);
            if (!Alive() || !Focused())
                return 0;
            if (m_bDropped)
                Close(false, true);
            else
                Drop();
            return 0;
        case WM_MOUSEWHEEL:
            if (!m_bDropped) {
                const int notches = GET_WHEEL_DELTA_WPARAM(wp) / WHEEL_DELTA;
                for (int i = 0; i < std::abs(notches) && Alive(); ++i)
                    KeyMove(notches > 0 ? VK_UP : VK_DOWN);
            }
            return 0;
        case WM_KEYDOWN:
            return KeyDown(static_cast<UINT>(wp), false) ? 0 : Default(msg, wp, lp);
        case WM_SYSKEYDOWN:
            return KeyDown(static_cast<UINT>(wp), true) ? 0 : Default(msg, wp, lp);
        case WM_CHAR:
            Char(static_cast<UINT>(wp));
            return 0;
        case WM_GETTEXT: {
            CString text = SelectedText();
            auto* buf = reinterpret_cast<char*>(lp);
            if (buf == nullptr || wp == 0)
                return 0;
            const int n = std::min(static_cast<int>(wp) - 1, text.GetLength());
            std::copy_n(static_cast<LPCTSTR>(text), n, buf);
            buf[n] = '\0';
            return n;
        }
        case WM_GETTEXTLENGTH:
            return SelectedText().GetLength();
        case WM_SETTEXT: {
            const int index = static_cast<int>(
                ::SendMessage(m_hList, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), lp));
            if (index == LB_ERR)
                return CB_ERR;
            SetCurSel(index);
            return TRUE;
        }

        // Items: kept by the list.
        case CB_ADDSTRING:
            return Forward(LB_ADDSTRING, wp, lp);
        case CB_INSERTSTRING:
            return Forward(LB_INSERTSTRING, wp, lp);
        case CB_DELETESTRING: {
            LRESULT r = Forward(LB_DELETESTRING, wp, lp);
            Invalidate();
            return r;
        }
        case CB_RESETCONTENT:
            Forward(LB_RESETCONTENT, 0, 0);
            m_nAnnounced = -1;
            Invalidate();
            return CB_OKAY;
        case CB_GETCOUNT:
            return Forward(LB_GETCOUNT, 0, 0);
        case CB_GETLBTEXT:
            return Forward(LB_GETTEXT, wp, lp);
        case CB_GETLBTEXTLEN:
            return Forward(LB_GETTEXTLEN, wp, lp);
        case CB_SETITEMDATA:
            return Forward(LB_SETITEMDATA, wp, lp);
        case CB_GETITEMDATA:
            return Forward(LB_GETITEMDATA, wp, lp);
        case CB_FINDSTRING:
            return Forward(LB_FINDSTRING, wp, lp);
        case CB_FINDSTRINGEXACT:
            return Forward(LB_FINDSTRINGEXACT, wp, lp);
        case CB_GETTOPINDEX:
            return Forward(LB_GETTOPINDEX, wp, lp);
        case CB_SETTOPINDEX:
            return Forward(LB_SETTOPINDEX, wp, lp);
        case CB_SETCURSEL: {
            const int count = static_cast<int>(Forward(LB_GETCOUNT, 0, 0));
            const int index = static_cast<int>(wp);
            const bool valid = index >= 0 && index < count;
            SetCurSel(valid ? index : -1);
            return valid ? index : CB_ERR;
        }
        case CB_GETCURSEL:
            return List() ? List()->GetCurSel() : CB_ERR;
        case CB_SELECTSTRING: {
            const int index = static_cast<int>(Forward(LB_FINDSTRING, wp, lp));
            if (index != LB_ERR)
                SetCurSel(index);
            return index;
        }

        // The drop-down.
        case CB_SHOWDROPDOWN:
            if (wp && !m_bDropped)
                Drop();
            else if (!wp && m_bDropped)
                Close(true, false);
            return TRUE;
        case CB_GETDROPPEDSTATE:
            return m_bDropped;
        case CB_GETDROPPEDCONTROLRECT: {
            if (lp == 0)
                return CB_ERR;
            CRect rc;
            ::GetWindowRect(m_hWnd, &rc);
            rc.bottom = rc.top + std::max(m_nDroppedHeight, m_nFieldHeight);
            *reinterpret_cast<LPRECT>(lp) = rc;
            return CB_OKAY;
        }
        case CB_SETITEMHEIGHT:
            if (LOWORD(lp) == 0 || LOWORD(lp) > 255)
                return CB_ERR;
            if (static_cast<int>(wp) == -1) {
                m_nFieldHeight = LOWORD(lp) + 2 * kEdge + 4;
                FitHeight();
            } else {
                Forward(LB_SETITEMHEIGHT, 0, lp);
            }
            Invalidate();
            return CB_OKAY;
        case CB_GETITEMHEIGHT:
            return static_cast<int>(wp) == -1 ? m_nFieldHeight - 2 * kEdge - 4
                                              : Forward(LB_GETITEMHEIGHT, 0, 0);
        case CB_SETEXTENDEDUI:
            m_bExtendedUI = wp != 0;
            return CB_OKAY;
        case CB_GETEXTENDEDUI:
            return m_bExtendedUI;
        case CB_SETDROPPEDWIDTH:
            m_nDroppedWidth = static_cast<int>(wp);
            return std::max(m_nDroppedWidth, Client().Width());
        case CB_GETDROPPEDWIDTH:
            return std::max(m_nDroppedWidth, Client().Width());
        default:
            return Default(msg, wp, lp);
        }
    }

    // The list ended: a choice or a cancel.
    void Close(bool chosen, bool notify) {
        if (!m_bDropped)
            return;
        m_bDropped = false;
        ListBox* list = List();
        ::ShowWindow(m_hList, SW_HIDE);
        if (::GetCapture() == m_hList)
            ::ReleaseCapture();
        if (!chosen && list != nullptr)
            list->SelectForCombo(m_nSelBeforeDrop);
        Invalidate();
        if (!notify)
            return;
        Notify(chosen ? CBN_SELENDOK : CBN_SELENDCANCEL);
        if (Alive())
            Notify(CBN_CLOSEUP);
        if (Alive())
            AnnounceSelection();
    }

private:
    ListBox* List() const { return NativeClass<ListBox>::Find(m_hList); }
    LRESULT Forward(UINT msg, WPARAM wp, LPARAM lp) {
        return m_hList != nullptr ? ::SendMessage(m_hList, msg, wp, lp) : CB_ERR;
    }

    CString SelectedText() const {
        ListBox* list = List();
        CString text;
        if (list == nullptr || list->GetCurSel() < 0)
            return text;
        const int n = static_cast<int>(::SendMessage(m_hList, LB_GETTEXTLEN, list->GetCurSel(), 0));
        ::SendMessage(m_hList, LB_GETTEXT, list->GetCurSel(),
                      reinterpret_cast<LPARAM>(text.GetBuffer(n)));
        text.ReleaseBuffer();
        return text;
    }

    void SetCurSel(int index) {
        if (ListBox* list = List())
            list->SelectForCombo(index);
        m_nAnnounced = index;
        Invalidate();
    }

    // CBN_SELCHANGE when the selection differs from the one the parent heard of last.
    void AnnounceSelection() {
        ListBox* list = List();
        if (list == nullptr)
            return;
        const int sel = list->GetCurSel();
        if (sel != m_nAnnounced) {
            m_nAnnounced = sel;
            Notify(CBN_SELCHANGE);
        }
    }

    void Measure() {
        const int h = FontHeight(Font());
        m_nFieldHeight = h + 2 * kEdge + 4;
    }

    void FitHeight() {
        CRect rc;
        ::GetWindowRect(m_hWnd, &rc);
        if (rc.Height() != m_nFieldHeight)
            ::SetWindowPos(m_hWnd, nullptr, 0, 0, rc.Width(), m_nFieldHeight,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void Drop() {
        ListBox* list = List();
        if (list == nullptr || m_bDropped)
            return;
        Notify(CBN_DROPDOWN);
        if (!Alive() || (list = List()) == nullptr)
            return;
        m_nSelBeforeDrop = list->GetCurSel();
        m_nAnnounced = m_nSelBeforeDrop;
        CRect rc;
        ::GetWindowRect(m_hWnd, &rc);
        const int itemHeight = std::max(1, list->ItemHeight());
        const int room = std::max(m_nDroppedHeight - m_nFieldHeight - 2, itemHeight);
        const int rows = std::max(1, std::min(list->CountOfItems(), room / itemHeight));
        const int width = std::max(m_nDroppedWidth, rc.Width());
        const int height = rows * itemHeight + 2;
        CRect screen;
        ::GetWindowRect(::GetDesktopWindow(), &screen);
        int top = rc.bottom;
        if (top + height > screen.bottom && rc.top - height >= screen.top)
            top = rc.top - height;
        m_bDropped = true;
        ::SetWindowPos(m_hList, HWND_TOPMOST, rc.left, top, width, height,
                       SWP_NOACTIVATE | SWP_SHOWWINDOW);
        list->BeginDrop();
        ::SetCapture(m_hList);
        Invalidate();
    }

    void KeyMove(UINT vk) {
        ListBox* list = List();
        if (list == nullptr || !list->MoveByKey(vk))
            return;
        Invalidate();
        if (!m_bDropped) {
            // A closed list changes its selection at once, as a choice.
            Notify(CBN_SELENDOK);
            if (!Alive())
                return;
        }
        AnnounceSelection();
    }

    bool KeyDown(UINT vk, bool sys) {
        const bool alt = sys || ::GetKeyState(VK_MENU) < 0;
        if ((alt && (vk == VK_DOWN || vk == VK_UP)) || (vk == VK_F4 && !sys && !m_bExtendedUI)) {
            if (m_bDropped)
                Close(true, true);
            else
                Drop();
            return true;
        }
        if (sys)
            return false;
        if (m_bDropped) {
            switch (vk) {
            case VK_RETURN:
                Close(true, true);
                return true;
            case VK_ESCAPE:
                Close(false, true);
                return true;
            default:
                break;
            }
        } else if (m_bExtendedUI && vk == VK_DOWN) {
            Drop();
            return true;
        }
        switch (vk) {
        case VK_UP:
        case VK_DOWN:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_HOME:
        case VK_END:
            KeyMove(vk);
            return true;
        default:
            return false;
        }
    }

    void Char(UINT ch) {
        ListBox* list = List();
        if (ch < 0x20 || ch >= 0x80 || list == nullptr)
            return;
        const char prefix[2] = {static_cast<char>(ch), 0};
        const int index = list->FindPrefixFrom(list->GetCurSel(), prefix, false);
        if (index == LB_ERR || index == list->GetCurSel())
            return;
        list->SelectForCombo(index);
        Invalidate();
        if (!m_bDropped) {
            Notify(CBN_SELENDOK);
            if (!Alive())
                return;
        }
        AnnounceSelection();
    }

    void Paint() {
        PAINTSTRUCT ps;
        HDC hdc = ::BeginPaint(m_hWnd, &ps);
        const int saved = ::SaveDC(hdc);
        ::SelectObject(hdc, Font());
        CRect rc = Client();
        const bool enabled = Enabled();
        HBRUSH brush = CtlColor(hdc, enabled ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC);
        CRect inner = rc;
        ::DrawEdge(hdc, &inner, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
        const int button = std::min(::GetSystemMetrics(SM_CXVSCROLL), inner.Width());
        CRect rcButton(inner.right - button, inner.top, inner.right, inner.bottom);
        CRect field(inner.left, inner.top, rcButton.left, inner.bottom);
        ::FillRect(hdc, &field, brush);
        ::DrawFrameControl(hdc, &rcButton, DFC_SCROLL,
                           DFCS_SCROLLCOMBOBOX | (m_bDropped ? DFCS_PUSHED : 0) |
                               (enabled ? 0 : DFCS_INACTIVE));
        CRect sel = field;
        sel.DeflateRect(1, 1);
        const bool focused = Focused() && !m_bDropped;
        CString text = SelectedText();
        if (focused && enabled) {
            ::FillRect(hdc, &sel, ::GetSysColorBrush(COLOR_HIGHLIGHT));
            ::SetTextColor(hdc, ::GetSysColor(COLOR_HIGHLIGHTTEXT));
        }
        CRect rcText = sel;
        rcText.left += 2;
        DrawItemText(hdc, text, text.GetLength(), rcText,
                     DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS, enabled);
        if (focused)
            ::DrawFocusRect(hdc, &sel);
        ::RestoreDC(hdc, saved);
        ::EndPaint(m_hWnd, &ps);
    }

    HWND m_hList = nullptr;
    int m_nFieldHeight = 0;
    int m_nDroppedHeight = 0;
    int m_nDroppedWidth = 0;
    bool m_bDropped = false;
    bool m_bExtendedUI = false;
    int m_nSelBeforeDrop = -1;
    int m_nAnnounced = -1; // the selection the parent last heard of
};

} // namespace

void ComboListDone(HWND hCombo, bool chosen) {
    if (auto* combo = NativeClass<ComboBox>::Find(hCombo))
        combo->Close(chosen, true);
}

WNDPROC ComboBoxWndProc() {
    return &NativeClass<ComboBox>::WndProc;
}

} // namespace kel::ctl
