// The button class: push buttons (default, bitmap), check boxes, radio buttons, group boxes
// and owner-drawn buttons.
#include "platform/controls/NativeControl.h"
#include "platform/win/DialogDefs.h"

#include <cstring>

namespace kel::ctl {
namespace {

bool IsDialogWindow(HWND h) {
    char name[16] = {};
    return h != nullptr && ::GetClassName(h, name, sizeof(name)) > 0 &&
           std::strcmp(name, KEL_DIALOG_CLASS) == 0;
}

class Button : public NativeControl {
public:
    using NativeControl::NativeControl;

    LRESULT Proc(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_GETDLGCODE:
            return DlgCode();
        case WM_CREATE:
            // A group box frames the controls inside it without hiding them.
            if (Type() == BS_GROUPBOX)
                ::SetWindowLong(m_hWnd, GWL_EXSTYLE,
                                ::GetWindowLong(m_hWnd, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
            return Default(msg, wp, lp);
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1; // painted whole in WM_PAINT
        case WM_NCHITTEST:
            if (Type() == BS_GROUPBOX)
                return HTTRANSPARENT;
            return Default(msg, wp, lp);
        case WM_SETTEXT:
        case WM_ENABLE: {
            LRESULT r = Default(msg, wp, lp);
            Invalidate();
            return r;
        }
        case WM_SETFOCUS:
            Invalidate();
            FollowDefault(true, nullptr);
            if (Style() & BS_NOTIFY)
                Notify(BN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            if (m_bTracking || m_bSpaceDown)
                Cancel();
            Invalidate();
            FollowDefault(false, reinterpret_cast<HWND>(wp));
            if (Alive() && (Style() & BS_NOTIFY))
                Notify(BN_KILLFOCUS);
            return 0;
        case WM_LBUTTONDBLCLK:
            if ((Style() & BS_NOTIFY) || Type() == BS_RADIOBUTTON || Type() == BS_AUTORADIOBUTTON ||
                Type() == BS_OWNERDRAW || Type() == BS_USERBUTTON)
                Notify(BN_DOUBLECLICKED);
            if (!Alive())
                return 0;
            [[fallthrough]];
        case WM_LBUTTONDOWN:
            if (Type() == BS_GROUPBOX)
                return 0;
            if (!Focused())
                ::SetFocus(m_hWnd);
            if (!Alive())
                return 0;
            m_bTracking = true;
            ::SetCapture(m_hWnd);
            SetPushed(true);
            return 0;
        case WM_MOUSEMOVE:
            if (m_bTracking)
                SetPushed(Client().PtInRect(CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp))) != FALSE);
            return 0;
        case WM_LBUTTONUP:
            if (m_bTracking) {
                const bool inside =
                    Client().PtInRect(CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp))) != FALSE;
                m_bTracking = false;
                ReleaseOwnCapture();
                SetPushed(false);
                if (inside)
                    Click();
            }
            return 0;
        case WM_CAPTURECHANGED:
            if (m_bTracking && reinterpret_cast<HWND>(lp) != m_hWnd)
                Cancel();
            return 0;
        case WM_KEYDOWN:
            if (wp == VK_SPACE && !(HIWORD(lp) & KF_REPEAT) && !m_bTracking) {
                m_bSpaceDown = true;
                SetPushed(true);
                return 0;
            }
            return Default(msg, wp, lp);
        case WM_KEYUP:
            if (wp == VK_SPACE && m_bSpaceDown) {
                m_bSpaceDown = false;
                SetPushed(false);
                Click();
                return 0;
            }
            return Default(msg, wp, lp);
        case WM_CHAR:
            if (IsCheckType() && !IsRadio()) {
                if (wp == '+' || wp == '=') {
                    SetCheck(BST_CHECKED);
                    return 0;
                }
                if (wp == '-') {
                    SetCheck(BST_UNCHECKED);
                    return 0;
                }
            }
            return Default(msg, wp, lp);
        case BM_GETCHECK:
            return IsCheckType() ? m_nCheck : 0;
        case BM_SETCHECK:
            SetCheck(static_cast<int>(wp));
            return 0;
        case BM_GETSTATE:
            return (IsCheckType() ? m_nCheck : 0) | (m_bPushed ? BST_PUSHED : 0) |
                   (Focused() ? BST_FOCUS : 0);
        case BM_SETSTATE:
            SetPushed(wp != 0);
            return 0;
        case BM_SETSTYLE: {
            DWORD style = (Style() & 0xFFFF0000u) | LOWORD(wp);
            ::SetWindowLong(m_hWnd, GWL_STYLE, static_cast<LONG>(style));
            if (lp)
                Invalidate();
            return 0;
        }
        case BM_CLICK:
            if (Enabled()) {
                ::SendMessage(m_hWnd, WM_LBUTTONDOWN, 0, 0);
                if (Alive())
                    ::SendMessage(m_hWnd, WM_LBUTTONUP, 0, 0);
            }
            return 0;
        case BM_SETIMAGE: {
            if (wp != IMAGE_BITMAP && wp != IMAGE_ICON)
                return 0;
            HANDLE old = m_nImageType == wp ? m_hImage : nullptr;
            m_hImage = reinterpret_cast<HANDLE>(lp);
            m_nImageType = static_cast<UINT>(wp);
            Invalidate();
            return reinterpret_cast<LRESULT>(old);
        }
        case BM_GETIMAGE:
            return wp == m_nImageType ? reinterpret_cast<LRESULT>(m_hImage) : 0;
        default:
            return Default(msg, wp, lp);
        }
    }

private:
    UINT Type() const { return Style() & BS_TYPEMASK; }
    bool IsRadio() const { return Type() == BS_RADIOBUTTON || Type() == BS_AUTORADIOBUTTON; }
    bool IsCheckType() const {
        switch (Type()) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_RADIOBUTTON:
        case BS_3STATE:
        case BS_AUTO3STATE:
        case BS_AUTORADIOBUTTON:
            return true;
        default:
            return false;
        }
    }
    bool IsPushType() const {
        return Type() == BS_PUSHBUTTON || Type() == BS_DEFPUSHBUTTON ||
               (IsCheckType() && (Style() & BS_PUSHLIKE));
    }

    UINT DlgCode() const {
        switch (Type()) {
        case BS_DEFPUSHBUTTON:
            return DLGC_BUTTON | DLGC_DEFPUSHBUTTON;
        case BS_PUSHBUTTON:
            return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case BS_GROUPBOX:
            return DLGC_STATIC;
        default:
            return DLGC_BUTTON;
        }
    }

    void SetPushed(bool pushed) {
        if (pushed == m_bPushed)
            return;
        m_bPushed = pushed;
        Invalidate();
        if (Style() & BS_NOTIFY)
            Notify(pushed ? BN_HILITE : BN_UNHILITE);
    }

    void SetCheck(int check) {
        if (!IsCheckType())
            return;
        if (check == BST_INDETERMINATE && Type() != BS_3STATE && Type() != BS_AUTO3STATE)
            check = BST_CHECKED;
        check = check < 0 ? 0 : check > 2 ? 2 : check;
        if (check != m_nCheck) {
            m_nCheck = check;
            Invalidate();
        }
    }

    void Cancel() {
        m_bTracking = false;
        m_bSpaceDown = false;
        ReleaseOwnCapture();
        SetPushed(false);
    }

    void Click() {
        switch (Type()) {
        case BS_AUTOCHECKBOX:
            SetCheck(m_nCheck ? BST_UNCHECKED : BST_CHECKED);
            break;
        case BS_AUTO3STATE:
            SetCheck((m_nCheck + 1) % 3);
            break;
        case BS_AUTORADIOBUTTON:
            CheckInGroup();
            break;
        default:
            break;
        }
        Notify(BN_CLICKED);
    }

    // An automatic radio button checks itself and unchecks the others of its group.
    void CheckInGroup() {
        HWND parent = Parent();
        if (parent == nullptr) {
            SetCheck(BST_CHECKED);
            return;
        }
        HWND first = m_hWnd;
        while (!(::GetWindowLong(first, GWL_STYLE) & WS_GROUP)) {
            HWND prev = ::GetWindow(first, GW_HWNDPREV);
            if (prev == nullptr)
                break;
            first = prev;
        }
        for (HWND h = first; h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT)) {
            if (h != first && (::GetWindowLong(h, GWL_STYLE) & WS_GROUP))
                break;
            if (h == m_hWnd)
                continue;
            if ((::SendMessage(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) &&
                (::GetWindowLong(h, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
                ::SendMessage(h, BM_SETCHECK, BST_UNCHECKED, 0);
        }
        SetCheck(BST_CHECKED);
    }

    // In a dialog the push button with the focus looks like the default one; when the focus
    // leaves the push buttons the dialog's default button takes the look back.
    void FollowDefault(bool gotFocus, HWND newFocus) {
        if (!(Type() == BS_PUSHBUTTON || Type() == BS_DEFPUSHBUTTON))
            return;
        HWND dlg = Parent();
        if (!IsDialogWindow(dlg))
            return;
        const LRESULT def = ::SendMessage(dlg, DM_GETDEFID, 0, 0);
        const int defId = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : -1;
        auto setDef = [](HWND h, bool on) {
            const UINT type = ::GetWindowLong(h, GWL_STYLE) & BS_TYPEMASK;
            if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON)
                return;
            if ((type == BS_DEFPUSHBUTTON) != on)
                ::SendMessage(h, BM_SETSTYLE, on ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
        };
        if (gotFocus) {
            for (HWND h = ::GetWindow(dlg, GW_CHILD); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT))
                if (h != m_hWnd)
                    setDef(h, false);
            setDef(m_hWnd, true);
            return;
        }
        const bool toPushButton = newFocus != nullptr && ::GetParent(newFocus) == dlg &&
                                  (::SendMessage(newFocus, WM_GETDLGCODE, 0, 0) &
                                   (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
        if (toPushButton)
            return;
        setDef(m_hWnd, Id() == defId);
        if (defId >= 0) {
            if (HWND hDef = ::GetDlgItem(dlg, defId))
                setDef(hDef, true);
        }
    }

    void Paint() {
        ControlPaint paint(*this);
        HDC hdc = paint.hdc;
        switch (Type()) {
        case BS_OWNERDRAW:
            PaintOwnerDraw(hdc);
            break;
        case BS_GROUPBOX:
            PaintGroupBox(hdc);
            break;
        default:
            if (IsPushType())
                PaintPush(hdc);
            else
                PaintCheck(hdc);
            break;
        }
    }

    void PaintOwnerDraw(HDC hdc) {
        DRAWITEMSTRUCT dis{};
        dis.itemState = (m_bPushed ? ODS_SELECTED : 0) | (Focused() ? ODS_FOCUS : 0) |
                        (Enabled() ? 0 : ODS_DISABLED);
        dis.rcItem = Client();
        ::FillRect(hdc, &dis.rcItem, CtlColor(hdc, WM_CTLCOLORBTN));
        SendDrawItem(dis, ODT_BUTTON, hdc);
    }

    UINT TextFormat() const {
        const DWORD style = Style();
        UINT fmt = (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE;
        switch (style & BS_CENTER) {
        case BS_LEFT:
            fmt |= DT_LEFT;
            break;
        case BS_RIGHT:
            fmt |= DT_RIGHT;
            break;
        case BS_CENTER:
            fmt |= DT_CENTER;
            break;
        default:
            fmt |= IsPushType() ? DT_CENTER : DT_LEFT;
            break;
        }
        if (!(style & BS_MULTILINE)) {
            switch (style & BS_VCENTER) {
            case BS_TOP:
                fmt |= DT_TOP;
                break;
            case BS_BOTTOM:
                fmt |= DT_BOTTOM;
                break;
            default:
                fmt |= DT_VCENTER;
                break;
            }
        }
        return fmt;
    }

    void PaintPush(HDC hdc) {
        CRect rc = Client();
        const bool checked = IsCheckType() && m_nCheck != BST_UNCHECKED;
        const bool isDefault = Type() == BS_DEFPUSHBUTTON;
        HBRUSH brush = CtlColor(hdc, WM_CTLCOLORBTN);
        ::FillRect(hdc, &rc, brush);
        ::SetTextColor(hdc, ::GetSysColor(COLOR_BTNTEXT));
        if (isDefault || (m_bPushed && Focused())) {
            ::FrameRect(hdc, &rc, ::GetSysColorBrush(COLOR_WINDOWFRAME));
            rc.DeflateRect(1, 1);
        }
        if (m_bPushed) {
            // Pressed: a flat shadow ring, the contents one pixel down and right.
            ::FrameRect(hdc, &rc, ::GetSysColorBrush(COLOR_3DSHADOW));
            CRect inner = rc;
            inner.DeflateRect(1, 1);
            ::FillRect(hdc, &inner, ::GetSysColorBrush(COLOR_3DFACE));
        } else if (checked) {
            ::DrawEdge(hdc, &rc, EDGE_SUNKEN, BF_RECT);
            CRect inner = rc;
            inner.DeflateRect(2, 2);
            FillScrollShaft(hdc, inner, false);
        } else {
            ::DrawFrameControl(hdc, &rc, DFC_BUTTON, DFCS_BUTTONPUSH);
        }
        CRect content = rc;
        content.DeflateRect(3, 3);
        if (m_bPushed || checked)
            content.OffsetRect(1, 1);
        const bool enabled = Enabled();
        if ((Style() & BS_BITMAP) && m_nImageType == IMAGE_BITMAP && m_hImage != nullptr) {
            BITMAP bm{};
            HBITMAP hbm = static_cast<HBITMAP>(m_hImage);
            if (::GetObject(hbm, sizeof(bm), &bm)) {
                const int x = content.left + (content.Width() - bm.bmWidth) / 2;
                const int y = content.top + (content.Height() - bm.bmHeight) / 2;
                if (enabled)
                    DrawBitmap(hdc, hbm, x, y, bm.bmWidth, bm.bmHeight);
                else
                    DrawDisabledBitmap(hdc, hbm, x, y);
            }
        } else {
            CString text = Text();
            DrawItemText(hdc, text, text.GetLength(), content, TextFormat(), enabled);
        }
        if (Focused()) {
            CRect focus = rc;
            focus.DeflateRect(3, 3);
            ::DrawFocusRect(hdc, &focus);
        }
    }

    void PaintCheck(HDC hdc) {
        CRect rc = Client();
        HBRUSH brush = CtlColor(hdc, WM_CTLCOLORSTATIC);
        ::FillRect(hdc, &rc, brush);
        const int box = 13;
        const bool leftText = (Style() & BS_LEFTTEXT) != 0;
        CRect rcBox(0, 0, box, box);
        rcBox.OffsetRect(leftText ? rc.right - box : rc.left, rc.top + (rc.Height() - box) / 2);
        UINT state = IsRadio() ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
        if (Type() == BS_3STATE || Type() == BS_AUTO3STATE) {
            if (m_nCheck == BST_INDETERMINATE)
                state = DFCS_BUTTON3STATE | DFCS_CHECKED;
        }
        if (m_nCheck == BST_CHECKED)
            state |= DFCS_CHECKED;
        if (m_bPushed)
            state |= DFCS_PUSHED;
        if (!Enabled())
            state |= DFCS_INACTIVE;
        ::DrawFrameControl(hdc, &rcBox, DFC_BUTTON, state);
        CRect rcText = rc;
        if (leftText)
            rcText.right = rcBox.left - 4;
        else
            rcText.left = rcBox.right + 4;
        CString text = Text();
        const UINT fmt = TextFormat();
        DrawItemText(hdc, text, text.GetLength(), rcText, fmt, Enabled());
        if (Focused() && !text.IsEmpty()) {
            CRect calc = rcText;
            ::DrawText(hdc, text, text.GetLength(), &calc, (fmt & ~DT_VCENTER) | DT_CALCRECT);
            CRect focus(rcText.left - 1, rcText.top + (rcText.Height() - calc.Height()) / 2 - 1,
                        rcText.left + calc.Width() + 1, 0);
            focus.bottom = focus.top + calc.Height() + 2;
            ::IntersectRect(&focus, &focus, &rc);
            ::DrawFocusRect(hdc, &focus);
        }
    }

    void PaintGroupBox(HDC hdc) {
        // Only the lines and the label: the inside is the parent's and its controls'.
        CRect rc = Client();
        HBRUSH brush = CtlColor(hdc, WM_CTLCOLORSTATIC);
        const int h = FontHeight(Font());
        CRect frame = rc;
        frame.top += h / 2;
        ::DrawEdge(hdc, &frame, EDGE_ETCHED, BF_RECT);
        CString text = Text();
        if (text.IsEmpty())
            return;
        CRect calc(0, 0, rc.Width(), h);
        ::DrawText(hdc, text, text.GetLength(), &calc, DT_SINGLELINE | DT_CALCRECT);
        CRect label(rc.left + 8, rc.top, rc.left + 8 + calc.Width() + 4, rc.top + h);
        ::FillRect(hdc, &label, brush);
        label.left += 2;
        DrawItemText(hdc, text, text.GetLength(), label, DT_SINGLELINE | DT_LEFT | DT_TOP,
                     Enabled());
    }

    int m_nCheck = BST_UNCHECKED;
    bool m_bPushed = false;
    bool m_bTracking = false;
    bool m_bSpaceDown = false;
    HANDLE m_hImage = nullptr;
    UINT m_nImageType = IMAGE_BITMAP;
};

} // namespace

WNDPROC ButtonWndProc() {
    return &NativeClass<Button>::WndProc;
}

} // namespace kel::ctl
