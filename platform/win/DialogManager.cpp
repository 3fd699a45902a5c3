// The dialog manager: dialog windows from templates in dialog units, their default
// processing, and the dialog keys (Tab, arrows, Enter, Escape, mnemonics).
#include "platform/win/DialogManager.h"

#include "platform/core/Resources.h"
#include "platform/gdi/Gdi.h"
#include "platform/win/MessageBox.h"
#include "platform/win/Wnd.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <unordered_map>

namespace kel::win {

namespace {

struct DialogState {
    HFONT font = nullptr; // made from the template; freed with the window
    SIZE base{};
    int defId = IDOK;
    HWND focus = nullptr; // the control that had the focus when the dialog was deactivated
    INT_PTR result = -1;
};

std::unordered_map<HWND, DialogState>& States() {
    static std::unordered_map<HWND, DialogState> states;
    return states;
}

DialogState* StateOf(HWND h) {
    auto it = States().find(h);
    return it == States().end() ? nullptr : &it->second;
}

int MulDivRound(int a, int b, int c) {
    const long long p = static_cast<long long>(a) * b;
    return static_cast<int>(p >= 0 ? (p + c / 2) / c : -((-p + c / 2) / c));
}

// Base units of a font as the system computes them: the average width of the alphabet and
// the height of a line.
SIZE BaseUnits(HFONT font) {
    HDC dc = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, font);
    TEXTMETRIC tm{};
    ::GetTextMetrics(dc, &tm);
    SIZE sz{};
    static const char letters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    ::GetTextExtentPoint32(dc, letters, 52, &sz);
    ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
    return SIZE{(sz.cx / 26 + 1) / 2, tm.tmHeight};
}

CRect MapRect(const SIZE& base, int x, int y, int cx, int cy) {
    const int left = MulDivRound(x, base.cx, 4), top = MulDivRound(y, base.cy, 8);
    return CRect(left, top, left + MulDivRound(cx, base.cx, 4), top + MulDivRound(cy, base.cy, 8));
}

bool IsWithin(HWND hDlg, HWND h) {
    return h != nullptr && (h == hDlg || ::IsChild(hDlg, h));
}

UINT DlgCode(HWND h, LPMSG msg) {
    return h != nullptr ? static_cast<UINT>(
                              ::SendMessage(h, WM_GETDLGCODE, 0, reinterpret_cast<LPARAM>(msg)))
                        : 0;
}

// The focus moves to a control of the dialog; an edit gets its whole text selected.
void DlgSetFocus(HWND hCtl) {
    if (hCtl == nullptr)
        return;
    if (DlgCode(hCtl, nullptr) & DLGC_HASSETSEL)
        ::SendMessage(hCtl, EM_SETSEL, 0, -1);
    ::SetFocus(hCtl);
}

// The character after the single "&" of a control's text, lower case; 0 for none.
char Mnemonic(HWND h) {
    if (::GetWindowLong(h, GWL_STYLE) & SS_NOPREFIX) {
        char cls[16] = {};
        ::GetClassName(h, cls, sizeof(cls));
        if (_tcsicmp(cls, "Static") == 0)
            return 0;
    }
    char text[256] = {};
    ::GetWindowText(h, text, sizeof(text));
    return KelMnemonicOf(text);
}

bool Usable(HWND h) {
    return ::IsWindowVisible(h) && ::IsWindowEnabled(h);
}

// A mnemonic picks the control after the focused one that carries it: a button is clicked
// (a check box or radio button also takes the focus); a label gives the focus to the control
// that follows it.
bool DoMnemonic(HWND hDlg, HWND hFocus, UINT ch) {
    const char c = static_cast<char>(std::tolower(static_cast<int>(ch)));
    std::vector<HWND> kids;
    for (HWND h = ::GetWindow(hDlg, GW_CHILD); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT))
        kids.push_back(h);
    const int n = static_cast<int>(kids.size());
    int start = -1;
    for (int i = 0; i < n; ++i) {
        if (kids[static_cast<size_t>(i)] == hFocus)
            start = i;
    }
    for (int k = 1; k <= n; ++k) {
        const int i = (start + k + n) % n;
        HWND h = kids[static_cast<size_t>(i)];
        if (!Usable(h) || Mnemonic(h) != c)
            continue;
        const UINT code = DlgCode(h, nullptr);
        if (code & DLGC_STATIC) {
            for (int j = 1; j < n; ++j) {
                HWND next = kids[static_cast<size_t>((i + j) % n)];
                if (Usable(next) && !(DlgCode(next, nullptr) & DLGC_STATIC)) {
                    DlgSetFocus(next);
                    return true;
                }
            }
            return true;
        }
        if (code & DLGC_BUTTON) {
            if (!(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)))
                DlgSetFocus(h);
            ::SendMessage(h, BM_CLICK, 0, 0);
            return true;
        }
        DlgSetFocus(h);
        return true;
    }
    return false;
}

// The control that gets the focus back when the dialog gets it: the one that had it last, else
// the first tab stop.
HWND FocusToRestore(HWND hDlg, const DialogState& state) {
    if (::IsWindow(state.focus) && ::IsChild(hDlg, state.focus))
        return state.focus;
    return GetNextDlgTabItem(hDlg, nullptr, FALSE);
}

// A button's command as if it were clicked; a beep instead when the button is disabled.
void SendCommand(HWND hDlg, int id) {
    HWND hCtl = ::GetDlgItem(hDlg, id);
    if (hCtl != nullptr && !::IsWindowEnabled(hCtl)) {
        ::MessageBeep(0);
        return;
    }
    ::SendMessage(hDlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(hCtl));
}

} // namespace

void EnsureDialogClass() {
    static bool done = false;
    if (done)
        return;
    done = true;
    WNDCLASS wc{};
    wc.style = CS_DBLCLKS | CS_SAVEBITS;
    wc.lpfnWndProc = &::DefDlgProc;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = KEL_DIALOG_CLASS;
    AfxRegisterClass(&wc);
}

bool PrepareDialog(const KelDialogTemplate& tmpl, HWND hWndParent, bool hidden, DialogLayout& out) {
    EnsureDialogClass();
    // The template's font at the screen's resolution.
    LOGFONT lf{};
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    lf.lfHeight = -MulDivRound(tmpl.wPointSize > 0 ? tmpl.wPointSize : 8, dpi > 0 ? dpi : 96, 72);
    lf.lfWeight = FW_NORMAL;
    const CString face = tmpl.strFaceName.IsEmpty() ? CString("MS Sans Serif") : tmpl.strFaceName;
    std::strncpy(lf.lfFaceName, face, sizeof(lf.lfFaceName) - 1);
    out.font = ::CreateFontIndirect(&lf);
    if (out.font == nullptr)
        return false;
    out.base = BaseUnits(out.font);
    out.style = tmpl.dwStyle;
    out.exStyle = tmpl.dwExStyle;
    if (out.style & DS_MODALFRAME)
        out.exStyle |= WS_EX_DLGMODALFRAME;
    if (out.style & DS_CONTROL) {
        out.style &= ~static_cast<DWORD>(WS_CAPTION | WS_SYSMENU);
        out.exStyle |= WS_EX_CONTROLPARENT;
    }
    if (hidden)
        out.style &= ~static_cast<DWORD>(WS_VISIBLE);
    const CRect client = MapRect(out.base, 0, 0, tmpl.cx, tmpl.cy);
    CRect window = client;
    ::AdjustWindowRectEx(&window, out.style, FALSE, out.exStyle);
    const CPoint offset = MapRect(out.base, tmpl.x, tmpl.y, 0, 0).TopLeft();
    CRect rc(CPoint(0, 0), window.Size());
    if (out.style & WS_CHILD) {
        rc.OffsetRect(offset);
        out.rect = rc;
        return true;
    }
    // A popup is placed from its owner's client area (the screen with DS_ABSALIGN or none),
    // or centred on its owner (the screen without one) with DS_CENTER.
    CRect screenRect;
    ::GetWindowRect(::GetDesktopWindow(), &screenRect);
    if (out.style & DS_CENTER) {
        CRect area = screenRect;
        if (hWndParent != nullptr && ::IsWindowVisible(hWndParent) && !::IsIconic(hWndParent))
            ::GetWindowRect(hWndParent, &area);
        rc.OffsetRect(area.left + (area.Width() - rc.Width()) / 2,
                      area.top + (area.Height() - rc.Height()) / 2);
    } else {
        CPoint origin(0, 0);
        if (hWndParent != nullptr && !(out.style & DS_ABSALIGN))
            ::ClientToScreen(hWndParent, &origin);
        rc.OffsetRect(origin + offset);
    }
    // Kept on the screen.
    if (rc.right > screenRect.right)
        rc.OffsetRect(screenRect.right - rc.right, 0);
    if (rc.bottom > screenRect.bottom)
        rc.OffsetRect(0, screenRect.bottom - rc.bottom);
    if (rc.left < screenRect.left)
        rc.OffsetRect(screenRect.left - rc.left, 0);
    if (rc.top < screenRect.top)
        rc.OffsetRect(0, screenRect.top - rc.top);
    out.rect = rc;
    return true;
}

void DiscardDialog(DialogLayout& layout) {
    if (layout.font != nullptr)
        ::DeleteObject(layout.font);
    layout.font = nullptr;
}

bool FinishDialog(HWND hDlg, HINSTANCE hInstance, const KelDialogTemplate& tmpl,
                  DialogLayout& layout, LPARAM lInitParam) {
    if (!::IsWindow(hDlg)) {
        DiscardDialog(layout);
        return false;
    }
    DialogState& state = States()[hDlg];
    state.font = layout.font;
    state.base = layout.base;
    layout.font = nullptr; // the dialog owns it now
    ::SendMessage(hDlg, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), FALSE);

    bool defFound = false;
    for (const KelDialogItem& item : tmpl.items) {
        const CRect rc = MapRect(layout.base, item.x, item.y, item.cx, item.cy);
        HWND hCtl = ::CreateWindowEx(
            item.dwExStyle | WS_EX_NOPARENTNOTIFY, item.strClass, item.strText,
            item.dwStyle | WS_CHILD, rc.left, rc.top, rc.Width(), rc.Height(), hDlg,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(item.nID)), hInstance, nullptr);
        if (!::IsWindow(hDlg))
            return false;
        if (hCtl == nullptr) {
            if (tmpl.dwStyle & DS_NOFAILCREATE)
                continue;
            ::DestroyWindow(hDlg);
            return false;
        }
        ::SendMessage(hCtl, WM_SETFONT, reinterpret_cast<WPARAM>(StateOf(hDlg)->font), FALSE);
        if (!defFound && (::SendMessage(hCtl, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON)) {
            StateOf(hDlg)->defId = item.nID;
            defFound = true;
        }
    }
    HWND first = GetNextDlgTabItem(hDlg, nullptr, FALSE);
    StateOf(hDlg)->focus = first;
    const LRESULT setFocus =
        ::SendMessage(hDlg, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), lInitParam);
    if (!::IsWindow(hDlg))
        return false;
    // A child dialog that is not shown does not take the focus from its frame.
    const DWORD style = static_cast<DWORD>(::GetWindowLong(hDlg, GWL_STYLE));
    const bool hiddenChild = (style & WS_CHILD) && !(layout.style & WS_VISIBLE);
    if (setFocus && !hiddenChild) {
        first = GetNextDlgTabItem(hDlg, nullptr, FALSE);
        if (first != nullptr) {
            StateOf(hDlg)->focus = first;
            DlgSetFocus(first);
        }
    }
    if (!::IsWindow(hDlg))
        return false;
    if ((layout.style & WS_VISIBLE) && !::IsWindowVisible(hDlg))
        ::ShowWindow(hDlg, SW_SHOWNORMAL);
    return ::IsWindow(hDlg) != FALSE;
}

} // namespace kel::win

using kel::win::StateOf;

LRESULT DefDlgProc(HWND hDlg, UINT msg, WPARAM wp, LPARAM lp) {
    kel::win::DialogState* state = StateOf(hDlg);
    switch (msg) {
    case WM_ERASEBKGND: {
        HDC hdc = reinterpret_cast<HDC>(wp);
        auto brush = reinterpret_cast<HBRUSH>(
            ::SendMessage(hDlg, WM_CTLCOLORDLG, wp, reinterpret_cast<LPARAM>(hDlg)));
        if (brush == nullptr)
            brush = ::GetSysColorBrush(COLOR_3DFACE);
        CRect rc;
        ::GetClientRect(hDlg, &rc);
        ::FillRect(hdc, &rc, brush);
        return TRUE;
    }
    case WM_INITDIALOG:
        return TRUE;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(state != nullptr ? state->font : nullptr);
    case DM_GETDEFID:
        return state != nullptr && state->defId != 0 ? MAKELRESULT(state->defId, DC_HASDEFID) : 0;
    case DM_SETDEFID: {
        if (state == nullptr)
            return FALSE;
        const int old = state->defId;
        state->defId = static_cast<int>(wp);
        // The look moves with the default, unless a push button has the focus.
        HWND focus = ::GetFocus();
        const bool pushFocus = focus != nullptr && ::GetParent(focus) == hDlg &&
                               (::SendMessage(focus, WM_GETDLGCODE, 0, 0) &
                                (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON));
        if (!pushFocus) {
            if (HWND h = ::GetDlgItem(hDlg, old);
                h != nullptr && old != state->defId &&
                (::SendMessage(h, WM_GETDLGCODE, 0, 0) & DLGC_DEFPUSHBUTTON))
                ::SendMessage(h, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
            if (HWND h = ::GetDlgItem(hDlg, state->defId);
                h != nullptr && (::SendMessage(h, WM_GETDLGCODE, 0, 0) & DLGC_UNDEFPUSHBUTTON))
                ::SendMessage(h, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
        }
        return TRUE;
    }
    case WM_NEXTDLGCTL: {
        HWND target = LOWORD(lp) ? reinterpret_cast<HWND>(wp)
                                 : GetNextDlgTabItem(hDlg, ::GetFocus(), wp != 0);
        if (target != nullptr && kel::win::IsWithin(hDlg, target))
            kel::win::DlgSetFocus(target);
        return 0;
    }
    case WM_CLOSE:
        // The close box is Cancel, as Escape is.
        kel::win::SendCommand(hDlg, IDCANCEL);
        return 0;
    case WM_ACTIVATE:
        if (state == nullptr)
            break;
        if (LOWORD(wp) == WA_INACTIVE) {
            HWND focus = ::GetFocus();
            if (focus != hDlg && kel::win::IsWithin(hDlg, focus))
                state->focus = focus;
        } else if (!kel::win::IsWithin(hDlg, ::GetFocus()) || ::GetFocus() == hDlg) {
            if (HWND target = kel::win::FocusToRestore(hDlg, *state))
                ::SetFocus(target);
        }
        return 0;
    case WM_SETFOCUS:
        if (state != nullptr)
            kel::win::DlgSetFocus(kel::win::FocusToRestore(hDlg, *state));
        return 0;
    case WM_NCDESTROY:
        if (state != nullptr) {
            if (state->font != nullptr)
                ::DeleteObject(state->font);
            kel::win::States().erase(hDlg);
        }
        break;
    default:
        break;
    }
    return ::DefWindowProc(hDlg, msg, wp, lp);
}

HWND CreateDialogIndirectParam(HINSTANCE hInstance, const KelDialogTemplate* lpTemplate,
                               HWND hWndParent, LPARAM lInitParam) {
    if (lpTemplate == nullptr)
        return nullptr;
    kel::win::DialogLayout layout;
    if (!kel::win::PrepareDialog(*lpTemplate, hWndParent, false, layout))
        return nullptr;
    LPCTSTR cls = lpTemplate->strClass.IsEmpty() ? KEL_DIALOG_CLASS
                                                 : static_cast<LPCTSTR>(lpTemplate->strClass);
    HWND h = ::CreateWindowEx(layout.exStyle, cls, lpTemplate->strCaption,
                              layout.style & ~static_cast<DWORD>(WS_VISIBLE), layout.rect.left,
                              layout.rect.top, layout.rect.Width(), layout.rect.Height(),
                              hWndParent, nullptr, hInstance, nullptr);
    if (h == nullptr) {
        kel::win::DiscardDialog(layout);
        return nullptr;
    }
    return kel::win::FinishDialog(h, hInstance, *lpTemplate, layout, lInitParam) ? h : nullptr;
}

HWND CreateDialogParam(HINSTANCE hInstance, LPCTSTR lpTemplateName, HWND hWndParent,
                       LPARAM lInitParam) {
    if (hInstance == nullptr)
        hInstance = AfxGetResourceHandle();
    const auto* tmpl = AfxGetResourceData<KelDialogTemplate>(hInstance, RT_DIALOG, lpTemplateName);
    return CreateDialogIndirectParam(hInstance, tmpl, hWndParent, lInitParam);
}

BOOL IsDialogMessage(HWND hDlg, LPMSG msg) {
    if (msg == nullptr || !::IsWindow(hDlg) || !kel::win::IsWithin(hDlg, msg->hwnd))
        return FALSE;
    const UINT m = msg->message;
    if (m >= WM_KEYFIRST && m <= WM_KEYLAST) {
        HWND focus = msg->hwnd;
        const UINT code = focus != hDlg ? kel::win::DlgCode(focus, msg) : 0;
        const bool all = (code & DLGC_WANTMESSAGE) != 0;
        if (m == WM_KEYDOWN && !all) {
            const bool shift = ::GetKeyState(VK_SHIFT) < 0;
            switch (msg->wParam) {
            case VK_TAB:
                if (!(code & DLGC_WANTTAB)) {
                    kel::win::DlgSetFocus(GetNextDlgTabItem(hDlg, focus, shift));
                    return TRUE;
                }
                break;
            case VK_LEFT:
            case VK_UP:
            case VK_RIGHT:
            case VK_DOWN:
                if (!(code & DLGC_WANTARROWS)) {
                    const bool back = msg->wParam == VK_LEFT || msg->wParam == VK_UP;
                    HWND next = GetNextDlgGroupItem(hDlg, focus, back);
                    if (next != nullptr && next != focus) {
                        ::SetFocus(next);
                        const UINT nextCode = kel::win::DlgCode(next, nullptr);
                        if ((nextCode & DLGC_RADIOBUTTON) &&
                            (::GetWindowLong(next, GWL_STYLE) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
                            ::SendMessage(next, BM_CLICK, 0, 0);
                    }
                    return TRUE;
                }
                break;
            case VK_RETURN: {
                int id = IDOK;
                if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
                    id = ::GetDlgCtrlID(focus);
                } else {
                    const LRESULT def = ::SendMessage(hDlg, DM_GETDEFID, 0, 0);
                    if (HIWORD(def) == DC_HASDEFID)
                        id = LOWORD(def);
                }
                kel::win::SendCommand(hDlg, id);
                return TRUE;
            }
            case VK_ESCAPE:
                kel::win::SendCommand(hDlg, IDCANCEL);
                return TRUE;
            default:
                break;
            }
        }
        if ((m == WM_SYSCHAR || (m == WM_CHAR && !(code & (DLGC_WANTCHARS | DLGC_WANTMESSAGE)))) &&
            msg->wParam > ' ') {
            if (kel::win::DoMnemonic(hDlg, focus, static_cast<UINT>(msg->wParam)))
                return TRUE;
            if (m == WM_SYSCHAR) {
                ::MessageBeep(0);
                return TRUE;
            }
        }
    }
    ::TranslateMessage(msg);
    ::DispatchMessage(msg);
    return TRUE;
}

BOOL EndDialog(HWND hDlg, INT_PTR nResult) {
    kel::win::DialogState* state = StateOf(hDlg);
    if (state == nullptr)
        return FALSE;
    state->result = nResult;
    // The owner comes back first, so that the activation returns to it.
    if (HWND owner = ::GetWindow(hDlg, GW_OWNER))
        ::EnableWindow(owner, TRUE);
    ::ShowWindow(hDlg, SW_HIDE);
    return TRUE;
}

INT_PTR KelGetDialogResult(HWND hDlg) {
    kel::win::DialogState* state = StateOf(hDlg);
    return state != nullptr ? state->result : -1;
}

BOOL MapDialogRect(HWND hDlg, LPRECT lpRect) {
    kel::win::DialogState* state = StateOf(hDlg);
    if (state == nullptr || lpRect == nullptr)
        return FALSE;
    *lpRect = kel::win::MapRect(state->base, lpRect->left, lpRect->top,
                                lpRect->right - lpRect->left, lpRect->bottom - lpRect->top);
    return TRUE;
}

LONG GetDialogBaseUnits() {
    const SIZE base = kel::win::BaseUnits(static_cast<HFONT>(::GetStockObject(SYSTEM_FONT)));
    return MAKELONG(base.cx, base.cy);
}

namespace {

// The dialog's own control holding hCtl (the edit of a combo box stands for the combo box).
HWND DialogChildOf(HWND hDlg, HWND hCtl) {
    while (hCtl != nullptr && ::GetParent(hCtl) != hDlg)
        hCtl = ::GetParent(hCtl);
    return hCtl;
}

} // namespace

HWND GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
    CWnd* pDlg = CWnd::FromHandle(hDlg);
    if (pDlg == nullptr)
        return nullptr;
    CWnd* next = pDlg->GetNextDlgTabItem(CWnd::FromHandle(DialogChildOf(hDlg, hCtl)), bPrevious);
    return next != nullptr ? next->m_hWnd : nullptr;
}

HWND GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious) {
    CWnd* pDlg = CWnd::FromHandle(hDlg);
    if (pDlg == nullptr || hCtl == nullptr)
        return nullptr;
    hCtl = DialogChildOf(hDlg, hCtl);
    if (hCtl == nullptr)
        return nullptr;
    CWnd* next = pDlg->GetNextDlgGroupItem(CWnd::FromHandle(hCtl), bPrevious);
    return next != nullptr ? next->m_hWnd : nullptr;
}

char KelMnemonicOf(LPCTSTR lpszText) {
    for (int i = 0; lpszText != nullptr && lpszText[i] != '\0' && lpszText[i] != '\t'; ++i) {
        if (lpszText[i] != '&')
            continue;
        if (lpszText[i + 1] == '&') {
            ++i;
            continue;
        }
        return static_cast<char>(std::tolower(static_cast<unsigned char>(lpszText[i + 1])));
    }
    return 0;
}

BOOL CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton) {
    for (int id = nIDFirstButton; id <= nIDLastButton; ++id)
        ::SendMessage(::GetDlgItem(hDlg, id), BM_SETCHECK, id == nIDCheckButton, 0);
    return TRUE;
}
