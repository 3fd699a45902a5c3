// The combo box class: a drop-down list (a selection field with a button and a list that
// drops below it), a drop-down combo (an edit in place of the field) and a simple combo (an
// edit over a list that is always shown). The items live in the list.
#include "platform/controls/ListBoxControl.h"

#include <algorithm>
#include <utility>

namespace kel::ctl {
namespace {

constexpr int kEdge = 2; // the sunken edge around the field
constexpr int kEditId = 1001;
constexpr int kListId = 1000;

LRESULT CALLBACK EditHookProc(HWND h, UINT msg, WPARAM wp, LPARAM lp);

// The item messages the list answers as they stand (0 for the others).
UINT ListMessageFor(UINT cbMsg) {
    static const std::pair<UINT, UINT> kPairs[] = {{CB_ADDSTRING, LB_ADDSTRING},
                                                   {CB_INSERTSTRING, LB_INSERTSTRING},
                                                   {CB_GETCOUNT, LB_GETCOUNT},
                                                   {CB_GETLBTEXT, LB_GETTEXT},
                                                   {CB_GETLBTEXTLEN, LB_GETTEXTLEN},
                                                   {CB_SETITEMDATA, LB_SETITEMDATA},
                                                   {CB_GETITEMDATA, LB_GETITEMDATA},
                                                   {CB_FINDSTRING, LB_FINDSTRING},
                                                   {CB_FINDSTRINGEXACT, LB_FINDSTRINGEXACT},
                                                   {CB_GETTOPINDEX, LB_GETTOPINDEX},
                                                   {CB_SETTOPINDEX, LB_SETTOPINDEX}};
    for (const auto& [cb, lb] : kPairs) {
        if (cb == cbMsg)
            return lb;
    }
    return 0;
}

class ComboBox : public NativeControl {
public:
    using NativeControl::NativeControl;

    LRESULT Proc(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_CREATE: {
            auto* cs = reinterpret_cast<LPCREATESTRUCT>(lp);
            m_nDroppedHeight = cs != nullptr ? cs->cy : 0;
            const DWORD sort = (Style() & CBS_SORT) ? LBS_SORT : 0;
            if (Type() == CBS_SIMPLE) {
                m_hList = ::CreateWindowEx(
                    WS_EX_CLIENTEDGE, "ListBox", "",
                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | sort,
                    0, 0, 0, 0, m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)),
                    nullptr, nullptr);
            } else {
                m_hList = ::CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "ComboLBox", "",
                                           WS_POPUP | WS_BORDER | WS_VSCROLL | LBS_NOTIFY |
                                               LBS_NOINTEGRALHEIGHT | sort,
                                           0, 0, 0, 0, m_hWnd, nullptr, nullptr, m_hWnd);
            }
            if (m_hList == nullptr)
                return -1;
            if (Type() != CBS_DROPDOWNLIST && !CreateEdit())
                return -1;
            SendFont(Font());
            Measure();
            FitHeight();
            Layout();
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
            if (Type() != CBS_SIMPLE && !(wpos->flags & SWP_NOSIZE) && m_nFieldHeight > 0 &&
                wpos->cy != m_nFieldHeight) {
                if (wpos->cy > m_nFieldHeight)
                    m_nDroppedHeight = wpos->cy;
                wpos->cy = m_nFieldHeight;
            }
            return Default(msg, wp, lp);
        }
        case WM_SIZE:
            Layout();
            Invalidate();
            return 0;
        case WM_ENABLE:
            if (m_hEdit != nullptr)
                ::EnableWindow(m_hEdit, wp != 0);
            if (Type() == CBS_SIMPLE)
                ::EnableWindow(m_hList, wp != 0);
            Invalidate();
            return 0;
        case WM_SETFONT:
            Default(msg, wp, lp);
            SendFont(reinterpret_cast<HFONT>(wp));
            Measure();
            FitHeight();
            Layout();
            if (lp)
                Invalidate();
            return 0;
        case WM_COMMAND:
            Child(LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
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
            if (m_hEdit != nullptr) {
                // The edit takes the focus of the combo box, its text selected.
                ::SendMessage(m_hEdit, EM_SETSEL, 0, -1);
                ::SetFocus(m_hEdit);
                return 0;
            }
            Invalidate();
            GotFocus();
            return 0;
        case WM_KILLFOCUS:
            if (m_hEdit == nullptr)
                LostFocus(reinterpret_cast<HWND>(wp));
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (Type() == CBS_SIMPLE)
                return 0;
            if (!HasFocus())
                ::SetFocus(m_hWnd);
            if (!Alive() || !HasFocus())
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
        case WM_GETTEXT:
        case WM_GETTEXTLENGTH:
            if (m_hEdit != nullptr)
                return ::SendMessage(m_hEdit, msg, wp, lp);
            if (msg == WM_GETTEXTLENGTH)
                return SelectedText().GetLength();
            return CopyText(SelectedText(), reinterpret_cast<LPTSTR>(lp), static_cast<int>(wp));
        case WM_SETTEXT: {
            const int index = static_cast<int>(
                ::SendMessage(m_hList, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), lp));
            if (m_hEdit != nullptr) {
                // Any text goes into the edit; a matching item is selected.
                m_bSettingEdit = true;
                ::SendMessage(m_hEdit, WM_SETTEXT, 0, lp);
                m_bSettingEdit = false;
                if (ListBox* list = List())
                    list->SelectForCombo(index);
                m_nAnnounced = index;
                return TRUE;
            }
            if (index == LB_ERR)
                return CB_ERR;
            SetCurSel(index);
            return TRUE;
        }
        case CB_LIMITTEXT:
            if (m_hEdit == nullptr)
                return CB_ERR;
            ::SendMessage(m_hEdit, EM_LIMITTEXT, wp, 0);
            return TRUE;
        case CB_GETEDITSEL:
            if (m_hEdit == nullptr)
                return CB_ERR;
            return ::SendMessage(m_hEdit, EM_GETSEL, wp, lp);
        case CB_SETEDITSEL:
            if (m_hEdit == nullptr)
                return CB_ERR;
            ::SendMessage(m_hEdit, EM_SETSEL, static_cast<WPARAM>(static_cast<short>(LOWORD(lp))),
                          static_cast<short>(HIWORD(lp)));
            return TRUE;

        // Items: kept by the list.
        case CB_DELETESTRING: {
            LRESULT r = Forward(LB_DELETESTRING, wp, lp);
            Invalidate();
            return r;
        }
        case CB_RESETCONTENT:
            Forward(LB_RESETCONTENT, 0, 0);
            m_nAnnounced = -1;
            SetEditText("");
            Invalidate();
            return CB_OKAY;
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
            if (Type() == CBS_SIMPLE)
                return TRUE;
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
            if (const UINT lbMsg = ListMessageFor(msg))
                return Forward(lbMsg, wp, lp);
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
        if (m_hEdit != nullptr) {
            if (chosen)
                UpdateEdit();
            else
                SetEditText(m_strBeforeDrop);
        }
        Invalidate();
        if (!notify)
            return;
        Notify(chosen ? CBN_SELENDOK : CBN_SELENDCANCEL);
        if (Alive())
            Notify(CBN_CLOSEUP);
        if (Alive())
            AnnounceSelection();
    }

    // Keys of the combo box (the edit of an editable one hands over the list's keys).
    bool KeyDown(UINT vk, bool sys) {
        const bool alt = sys || ::GetKeyState(VK_MENU) < 0;
        if (Type() != CBS_SIMPLE &&
            ((alt && (vk == VK_DOWN || vk == VK_UP)) || (vk == VK_F4 && !sys && !m_bExtendedUI))) {
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
        } else if (m_bExtendedUI && vk == VK_DOWN && Type() != CBS_SIMPLE) {
            Drop();
            return true;
        }
        switch (vk) {
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
            KeyMove(vk);
            return true;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_HOME:
        case VK_END:
            if (m_hEdit != nullptr)
                return false; // the edit's caret keys
            KeyMove(vk);
            return true;
        default:
            return false;
        }
    }

    bool IsDropped() const { return m_bDropped; }
    WNDPROC EditProc() const { return m_pfnEdit; }

private:
    UINT Type() const { return Style() & 3; }
    bool HasFocus() const {
        HWND f = ::GetFocus();
        return f != nullptr && (f == m_hWnd || f == m_hEdit);
    }
    void GotFocus() {
        if (m_bFocusNotified)
            return;
        m_bFocusNotified = true;
        Notify(CBN_SETFOCUS);
    }
    // The focus left for newFocus: unless it stays inside the combo box, the list closes.
    void LostFocus(HWND newFocus) {
        if (newFocus != nullptr &&
            (newFocus == m_hWnd || newFocus == m_hEdit || newFocus == m_hList))
            return;
        if (m_bDropped)
            Close(false, true);
        if (!Alive())
            return;
        Invalidate();
        if (m_bFocusNotified) {
            m_bFocusNotified = false;
            Notify(CBN_KILLFOCUS);
        }
    }

    bool CreateEdit() {
        DWORD style = WS_CHILD | WS_VISIBLE | ES_LEFT;
        if (Style() & CBS_AUTOHSCROLL)
            style |= ES_AUTOHSCROLL;
        if (Style() & CBS_UPPERCASE)
            style |= ES_UPPERCASE;
        if (Style() & CBS_LOWERCASE)
            style |= ES_LOWERCASE;
        m_hEdit = ::CreateWindowEx(
            Type() == CBS_SIMPLE ? WS_EX_CLIENTEDGE : 0, "Edit", "", style, 0, 0, 0, 0, m_hWnd,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), nullptr, nullptr);
        if (m_hEdit == nullptr)
            return false;
        // The edit hands the list's keys to the combo box.
        m_pfnEdit = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtr(m_hEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EditHookProc)));
        return true;
    }

    void SendFont(HFONT font) {
        if (m_hList != nullptr)
            ::SendMessage(m_hList, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        if (m_hEdit != nullptr)
            ::SendMessage(m_hEdit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }

    void Layout() {
        const CRect client = Client();
        if (Type() == CBS_SIMPLE) {
            ::MoveWindow(m_hEdit, 0, 0, client.Width(), m_nFieldHeight, TRUE);
            ::MoveWindow(m_hList, 0, m_nFieldHeight, client.Width(),
                         std::max(0, static_cast<int>(client.Height()) - m_nFieldHeight), TRUE);
        } else if (m_hEdit != nullptr) {
            CRect inner = client;
            inner.DeflateRect(kEdge, kEdge);
            const int button =
                std::min(::GetSystemMetrics(SM_CXVSCROLL), static_cast<int>(inner.Width()));
            ::MoveWindow(m_hEdit, inner.left + 1, inner.top + 1,
                         std::max(0, static_cast<int>(inner.Width()) - button - 2),
                         std::max(0, static_cast<int>(inner.Height()) - 2), TRUE);
        }
    }

    void SetEditText(const CString& text) {
        if (m_hEdit == nullptr)
            return;
        m_bSettingEdit = true;
        ::SendMessage(m_hEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(text)));
        ::SendMessage(m_hEdit, EM_SETSEL, 0, -1);
        m_bSettingEdit = false;
    }
    // The first item that begins with the edit's text (-1 for none or no text).
    int MatchOfEdit() const {
        const CString text = WindowText(m_hEdit);
        if (text.IsEmpty())
            return -1;
        return static_cast<int>(
            ::SendMessage(m_hList, LB_FINDSTRING, static_cast<WPARAM>(-1),
                          reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(text))));
    }
    // The edit shows the selected item.
    void UpdateEdit() {
        if (m_hEdit != nullptr)
            SetEditText(SelectedText());
    }

    // Notifications of the edit and of a simple combo's list.
    void Child(int id, UINT code, HWND) {
        if (id == kEditId) {
            switch (code) {
            case EN_SETFOCUS:
                GotFocus();
                break;
            case EN_KILLFOCUS:
                LostFocus(::GetFocus());
                break;
            case EN_UPDATE:
                if (!m_bSettingEdit)
                    Notify(CBN_EDITUPDATE);
                break;
            case EN_CHANGE:
                if (!m_bSettingEdit) {
                    // An open list follows what is typed, to the first item it begins; a
                    // closed one loses its selection, the text being the user's own.
                    const bool open = m_bDropped || Type() == CBS_SIMPLE;
                    const int index = open ? MatchOfEdit() : -1;
                    if (ListBox* list = List())
                        list->SelectForCombo(index);
                    m_nAnnounced = index;
                    Notify(CBN_EDITCHANGE);
                }
                break;
            default:
                break;
            }
        } else if (id == kListId) {
            if (code == LBN_SELCHANGE) {
                UpdateEdit();
                Notify(CBN_SELENDOK);
                if (Alive())
                    AnnounceSelection();
            } else if (code == LBN_DBLCLK) {
                Notify(CBN_DBLCLK);
            } else if (code == LBN_SETFOCUS) {
                ::SetFocus(m_hEdit); // the edit keeps the focus of a simple combo box
            }
        }
    }

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
        UpdateEdit();
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
        if (Type() == CBS_SIMPLE)
            return; // its height holds the list
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
        if (m_hEdit != nullptr) {
            // The list opens on the item the typed text begins.
            m_strBeforeDrop = WindowText(m_hEdit);
            list->SelectForCombo(MatchOfEdit());
        }
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
        if (list != nullptr && list->MoveByKey(vk))
            KeyMoved();
    }

    // The selection moved by a key: a closed list takes it at once, as a choice.
    void KeyMoved() {
        UpdateEdit();
        Invalidate();
        if (!m_bDropped) {
            Notify(CBN_SELENDOK);
            if (!Alive())
                return;
        }
        AnnounceSelection();
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
        KeyMoved();
    }

    void Paint() {
        ControlPaint paint(*this);
        HDC hdc = paint.hdc;
        CRect rc = Client();
        const bool enabled = Enabled();
        if (Type() == CBS_SIMPLE) {
            ::FillRect(hdc, &rc, CtlColor(hdc, WM_CTLCOLORSTATIC));
            return;
        }
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
        if (m_hEdit != nullptr)
            return; // the edit shows the text
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
    }

    HWND m_hList = nullptr;
    int m_nFieldHeight = 0;
    int m_nDroppedHeight = 0;
    int m_nDroppedWidth = 0;
    bool m_bDropped = false;
    bool m_bExtendedUI = false;
    int m_nSelBeforeDrop = -1;
    int m_nAnnounced = -1;  // the selection the parent last heard of
    HWND m_hEdit = nullptr; // the edit of a drop-down or simple combo box
    WNDPROC m_pfnEdit = nullptr;
    bool m_bSettingEdit = false;
    bool m_bFocusNotified = false;
    CString m_strBeforeDrop;
};

// The edit of an editable combo box: the list's keys go to the combo box.
LRESULT CALLBACK EditHookProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    auto* combo = NativeClass<ComboBox>::Find(::GetParent(h));
    if (combo == nullptr || combo->EditProc() == nullptr)
        return ::DefWindowProc(h, msg, wp, lp);
    const WNDPROC old = combo->EditProc();
    switch (msg) {
    case WM_KEYDOWN:
        switch (wp) {
        case VK_UP:
        case VK_DOWN:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_F4:
            combo->KeyDown(static_cast<UINT>(wp), false);
            return 0;
        case VK_RETURN:
        case VK_ESCAPE:
            if (combo->IsDropped()) {
                combo->KeyDown(static_cast<UINT>(wp), false);
                return 0;
            }
            break;
        default:
            break;
        }
        break;
    case WM_SYSKEYDOWN:
        if ((wp == VK_UP || wp == VK_DOWN) && combo->KeyDown(static_cast<UINT>(wp), true))
            return 0;
        break;
    case WM_GETDLGCODE: {
        LRESULT code = ::CallWindowProc(old, h, msg, wp, lp) | DLGC_WANTARROWS;
        auto* pMsg = reinterpret_cast<LPMSG>(lp);
        if (combo->IsDropped() && pMsg != nullptr && pMsg->message == WM_KEYDOWN &&
            (pMsg->wParam == VK_RETURN || pMsg->wParam == VK_ESCAPE))
            code |= DLGC_WANTMESSAGE;
        return code;
    }
    default:
        break;
    }
    return ::CallWindowProc(old, h, msg, wp, lp);
}

} // namespace

void ComboListDone(HWND hCombo, bool chosen) {
    if (auto* combo = NativeClass<ComboBox>::Find(hCombo))
        combo->Close(chosen, true);
}

WNDPROC ComboBoxWndProc() {
    return &NativeClass<ComboBox>::WndProc;
}

} // namespace kel::ctl
