// The edit class (single line): caret and selection by mouse and keyboard, alignment,
// automatic horizontal scrolling, a text limit, undo, and the process clipboard.
#include "platform/controls/Clipboard.h"
#include "platform/controls/NativeControl.h"

#include <algorithm>
#include <vector>

namespace kel::ctl {
namespace {

constexpr int kDefaultLimit = 30000;
constexpr int kNoLimit = 0x7FFFFFFE;

class Edit : public NativeControl {
public:
    using NativeControl::NativeControl;

    LRESULT Proc(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_NCCREATE: {
            // The classic look gives bordered edits a sunken 3D edge.
            DWORD style = Style();
            if (style & WS_BORDER) {
                ::SetWindowLong(m_hWnd, GWL_STYLE, static_cast<LONG>(style & ~WS_BORDER));
                ::SetWindowLong(m_hWnd, GWL_EXSTYLE,
                                ::GetWindowLong(m_hWnd, GWL_EXSTYLE) | WS_EX_CLIENTEDGE);
            }
            return Default(msg, wp, lp);
        }
        case WM_GETDLGCODE:
            return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT) {
                ::SetCursor(::LoadCursor(nullptr, IDC_IBEAM));
                return TRUE;
            }
            return Default(msg, wp, lp);
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_ENABLE:
        case WM_SIZE:
            Invalidate();
            return 0;
        case WM_SETFONT: {
            Default(msg, wp, lp);
            if (lp)
                Invalidate();
            return 0;
        }
        case WM_SETTEXT:
            SetText(reinterpret_cast<LPCTSTR>(lp));
            return TRUE;
        case WM_SETFOCUS:
            Invalidate();
            Notify(EN_SETFOCUS);
            return 0;
        case WM_KILLFOCUS:
            EndSelecting();
            Invalidate();
            Notify(EN_KILLFOCUS);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            ButtonDown(CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)), static_cast<UINT>(wp),
                       msg == WM_LBUTTONDBLCLK);
            return 0;
        case WM_MOUSEMOVE:
            if (m_bSelecting) {
                m_nCaret = PosFromX(GET_X_LPARAM(lp));
                ScrollCaret();
                Invalidate();
            }
            return 0;
        case WM_LBUTTONUP:
            EndSelecting();
            return 0;
        case WM_CAPTURECHANGED:
            if (reinterpret_cast<HWND>(lp) != m_hWnd)
                m_bSelecting = false;
            return 0;
        case WM_KEYDOWN:
            return KeyDown(static_cast<UINT>(wp)) ? 0 : Default(msg, wp, lp);
        case WM_CHAR:
            Char(static_cast<UINT>(wp));
            return 0;
        case WM_CUT:
            if (Copy())
                Clear(false);
            return 0;
        case WM_COPY:
            Copy();
            return 0;
        case WM_PASTE:
            Paste(false);
            return 0;
        case WM_CLEAR:
            Clear(false);
            return 0;
        case WM_UNDO:
        case EM_UNDO:
            return Undo();
        case EM_CANUNDO:
            return m_bCanUndo;
        case EM_EMPTYUNDOBUFFER:
            m_bCanUndo = FALSE;
            return 0;
        case EM_GETSEL: {
            const int a = SelMin(), b = SelMax();
            if (wp)
                *reinterpret_cast<LPDWORD>(wp) = static_cast<DWORD>(a);
            if (lp)
                *reinterpret_cast<LPDWORD>(lp) = static_cast<DWORD>(b);
            return MAKELRESULT(std::min(a, 0xFFFF), std::min(b, 0xFFFF));
        }
        case EM_SETSEL:
            SetSel(static_cast<int>(wp), static_cast<int>(lp));
            return 0;
        case EM_REPLACESEL:
            ReplaceSel(reinterpret_cast<LPCTSTR>(lp), false, wp != 0);
            return 0;
        case EM_SCROLLCARET:
            ScrollCaret();
            Invalidate();
            return TRUE;
        case EM_LIMITTEXT:
            m_nLimit = wp == 0 ? kNoLimit : static_cast<int>(std::min<WPARAM>(wp, kNoLimit));
            return 0;
        case EM_GETLIMITTEXT:
            return m_nLimit;
        case EM_GETMODIFY:
            return m_bModified;
        case EM_SETMODIFY:
            m_bModified = wp != 0;
            return 0;
        case EM_SETREADONLY: {
            DWORD style = Style();
            style = wp ? (style | ES_READONLY) : (style & ~static_cast<DWORD>(ES_READONLY));
            ::SetWindowLong(m_hWnd, GWL_STYLE, static_cast<LONG>(style));
            Invalidate();
            return TRUE;
        }
        case EM_SETPASSWORDCHAR:
            m_chPassword = static_cast<char>(wp);
            Invalidate();
            return 0;
        case EM_GETPASSWORDCHAR:
            return static_cast<unsigned char>(PasswordChar());
        case EM_GETLINECOUNT:
            return 1;
        case EM_LINEINDEX:
            return (static_cast<int>(wp) == 0 || static_cast<int>(wp) == -1) ? 0 : -1;
        case EM_LINEFROMCHAR:
            return 0;
        case EM_LINELENGTH:
            return Text().GetLength();
        case EM_GETLINE: {
            if (wp != 0 || lp == 0)
                return 0;
            auto* buf = reinterpret_cast<char*>(lp);
            const int room = *reinterpret_cast<WORD*>(buf);
            CString text = Text();
            const int n = std::min(room, text.GetLength());
            std::copy_n(static_cast<LPCTSTR>(text), n, buf);
            return n;
        }
        case EM_GETFIRSTVISIBLELINE:
            return FirstVisibleChar();
        case EM_GETRECT:
            if (lp)
                *reinterpret_cast<LPRECT>(lp) = FormatRect();
            return 0;
        case EM_SETMARGINS:
            if (wp & EC_LEFTMARGIN)
                m_nLeftMargin = LOWORD(lp) == EC_USEFONTINFO ? -1 : LOWORD(lp);
            if (wp & EC_RIGHTMARGIN)
                m_nRightMargin = HIWORD(lp) == EC_USEFONTINFO ? -1 : HIWORD(lp);
            Invalidate();
            return 0;
        case EM_GETMARGINS:
            return MAKELRESULT(LeftMargin(), RightMargin());
        case EM_POSFROMCHAR: {
            CString text = Text();
            const int i = static_cast<int>(wp);
            if (i < 0 || i > text.GetLength())
                return -1;
            return MAKELRESULT(static_cast<WORD>(TextX() + Extents()[static_cast<size_t>(i)]),
                               static_cast<WORD>(TextTop()));
        }
        case EM_CHARFROMPOS:
            return MAKELRESULT(PosFromX(GET_X_LPARAM(lp)), 0);
        default:
            return Default(msg, wp, lp);
        }
    }

private:
    // The button went up or the focus left: a selection by the mouse ends.
    void EndSelecting() {
        if (!m_bSelecting)
            return;
        m_bSelecting = false;
        ReleaseOwnCapture();
    }

    int SelMin() const { return std::min(m_nAnchor, m_nCaret); }
    int SelMax() const { return std::max(m_nAnchor, m_nCaret); }
    bool ReadOnly() const { return (Style() & ES_READONLY) != 0; }
    char PasswordChar() const {
        if (m_chPassword != 0)
            return m_chPassword;
        return (Style() & ES_PASSWORD) ? '*' : 0;
    }
    int LeftMargin() const { return m_nLeftMargin >= 0 ? m_nLeftMargin : 1; }
    int RightMargin() const { return m_nRightMargin >= 0 ? m_nRightMargin : 1; }

    CRect FormatRect() const {
        CRect rc = Client();
        rc.left += LeftMargin();
        rc.right -= RightMargin();
        if (rc.right < rc.left)
            rc.right = rc.left;
        return rc;
    }
    int LineHeight() const { return FontHeight(Font()); }
    int TextTop() const { return std::max(0, (Client().Height() - LineHeight()) / 2); }

    // What is shown: the text, or one password character per character.
    CString Display(const CString& text) const {
        const char pw = PasswordChar();
        if (pw == 0)
            return text;
        CString shown;
        for (int i = 0; i < text.GetLength(); i = NextCharPos(text, i))
            shown += pw;
        return shown;
    }

    // The x of each byte position of the text (size length + 1), from the text's start.
    std::vector<int> Extents() const {
        CString text = Text();
        const int n = text.GetLength();
        std::vector<int> xs(static_cast<size_t>(n) + 1, 0);
        if (n == 0)
            return xs;
        const CString shown = Display(text);
        std::vector<int> dx(static_cast<size_t>(shown.GetLength()), 0);
        int fit = 0;
        SIZE sz{};
        ::GetTextExtentExPoint(MeasureDC(Font()), shown, shown.GetLength(), 0x7FFFFFFF, &fit,
                               dx.data(), &sz);
        if (PasswordChar() == 0) {
            for (int i = 1; i <= n; ++i)
                xs[static_cast<size_t>(i)] = dx[static_cast<size_t>(i - 1)];
        } else {
            int k = 0;
            for (int i = 0; i < n;) {
                const int next = NextCharPos(text, i);
                ++k;
                for (int j = i + 1; j <= next; ++j)
                    xs[static_cast<size_t>(j)] = dx[static_cast<size_t>(k - 1)];
                i = next;
            }
        }
        return xs;
    }

    // The x (client) where the text starts.
    int TextX() const { return TextXFor(Extents().back()); }
    int TextXFor(int textWidth) const {
        const CRect fr = FormatRect();
        const int avail = fr.Width();
        if (textWidth <= avail) {
            switch (Style() & (ES_CENTER | ES_RIGHT)) {
            case ES_CENTER:
                return fr.left + (avail - textWidth) / 2;
            case ES_RIGHT:
                return fr.right - textWidth;
            default:
                return fr.left;
            }
        }
        return fr.left - m_nScroll;
    }

    int FirstVisibleChar() const {
        std::vector<int> xs = Extents();
        for (size_t i = 0; i < xs.size(); ++i) {
            if (xs[i] >= m_nScroll)
                return static_cast<int>(i);
        }
        return static_cast<int>(xs.size()) - 1;
    }

    int PosFromX(int x) const {
        CString text = Text();
        std::vector<int> xs = Extents();
        const int x0 = TextXFor(xs.back());
        int best = 0;
        int bestDist = 0x7FFFFFFF;
        for (int i = 0;; i = NextCharPos(text, i)) {
            const int d = std::abs(x0 + xs[static_cast<size_t>(i)] - x);
            if (d < bestDist) {
                bestDist = d;
                best = i;
            }
            if (i >= text.GetLength())
                break;
        }
        return best;
    }

    // Keeps the caret inside the format rectangle, scrolling by a third of it.
    void ScrollCaret() {
        std::vector<int> xs = Extents();
        const int width = xs.back();
        const int avail = FormatRect().Width();
        if (width <= avail) {
            m_nScroll = 0;
            return;
        }
        const int cx =
            xs[static_cast<size_t>(std::clamp(m_nCaret, 0, static_cast<int>(xs.size()) - 1))];
        const int step = std::max(1, avail / 3);
        if (cx - m_nScroll >= avail)
            m_nScroll = cx - avail + step;
        else if (cx - m_nScroll < 0)
            m_nScroll = cx - step;
        m_nScroll = std::clamp(m_nScroll, 0, width - avail + 1);
    }

    void SetSel(int start, int end) {
        const int n = Text().GetLength();
        if (start == -1) {
            m_nAnchor = m_nCaret; // removes the selection, the caret stays
        } else {
            if (end == -1 || end > n)
                end = n;
            if (start < 0 || start > n)
                start = n;
            if (end < 0)
                end = n;
            m_nAnchor = start;
            m_nCaret = end;
        }
        Invalidate();
    }

    void SetText(LPCTSTR text) {
        Default(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text ? text : ""));
        m_nAnchor = m_nCaret = 0;
        m_nScroll = 0;
        m_bModified = FALSE;
        m_bCanUndo = FALSE;
        Invalidate();
        Notify(EN_UPDATE);
        if (Alive())
            Notify(EN_CHANGE);
    }

    // The typed or pasted text as the styles allow it; empty when refused.
    CString Filter(CString ins, bool user) const {
        const int nl = ins.FindOneOf("\r\n");
        if (nl >= 0)
            ins = ins.Left(nl); // a single line takes the first line
        if (Style() & ES_UPPERCASE)
            ins.MakeUpper();
        if (Style() & ES_LOWERCASE)
            ins.MakeLower();
        if (user && (Style() & ES_NUMBER)) {
            for (int i = 0; i < ins.GetLength(); ++i) {
                if (ins[i] < '0' || ins[i] > '9')
                    return CString();
            }
        }
        return ins;
    }

    // Replaces the selection; FALSE when nothing could be put in.
    bool ReplaceSel(LPCTSTR lpsz, bool user, bool canUndo = true) {
        CString ins = Filter(CString(lpsz ? lpsz : ""), user);
        if (user && lpsz && *lpsz && ins.IsEmpty()) {
            ::MessageBeep(0xFFFFFFFF);
            return false;
        }
        CString text = Text();
        const int a = SelMin(), b = SelMax();
        // The limit and, without automatic scrolling, the width keep what fits.
        const int room = m_nLimit - (text.GetLength() - (b - a));
        bool truncated = false;
        if (ins.GetLength() > room) {
            int cut = std::max(0, room);
            while (cut > 0 && (static_cast<unsigned char>(ins[cut]) & 0xC0) == 0x80)
                --cut;
            ins = ins.Left(cut);
            truncated = true;
        }
        CString next = text.Left(a) + ins + text.Mid(b);
        if (!(Style() & ES_AUTOHSCROLL)) {
            const int avail = FormatRect().Width();
            auto tooWide = [&] {
                const CString shown = Display(next);
                return TextWidth(Font(), shown, shown.GetLength()) > avail;
            };
            while (!ins.IsEmpty() && tooWide()) {
                ins = ins.Left(PrevCharPos(ins, ins.GetLength()));
                next = text.Left(a) + ins + text.Mid(b);
                truncated = true;
            }
        }
        if (truncated) {
            Notify(EN_MAXTEXT);
            if (!Alive())
                return false;
        }
        if (ins.IsEmpty() && a == b)
            return !truncated;
        if (canUndo) {
            m_strUndo = text;
            m_nUndoAnchor = m_nAnchor;
            m_nUndoCaret = m_nCaret;
            m_bCanUndo = TRUE;
        }
        Default(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(next)));
        m_nAnchor = m_nCaret = a + ins.GetLength();
        m_bModified = TRUE;
        Changed();
        return true;
    }

    void Changed() {
        ScrollCaret();
        Invalidate();
        Notify(EN_UPDATE);
        if (Alive())
            Notify(EN_CHANGE);
    }

    bool Copy() {
        if (SelMin() == SelMax() || PasswordChar() != 0)
            return false;
        KelSetClipboardText(Text().Mid(SelMin(), SelMax() - SelMin()));
        return true;
    }

    void Clear(bool user) {
        if (SelMin() == SelMax())
            return;
        if (ReadOnly()) {
            if (user)
                ::MessageBeep(0xFFFFFFFF);
            return;
        }
        ReplaceSel("", user);
    }

    void Paste(bool user) {
        if (ReadOnly()) {
            if (user)
                ::MessageBeep(0xFFFFFFFF);
            return;
        }
        // Nothing on the clipboard, or nothing from its holder in time, leaves the selection.
        CString text;
        if (KelGetClipboardText(text))
            ReplaceSel(text, user);
    }

    BOOL Undo() {
        if (!m_bCanUndo || ReadOnly())
            return FALSE;
        CString redo = Text();
        const int anchor = m_nAnchor, caret = m_nCaret;
        Default(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(m_strUndo)));
        m_nAnchor = m_nUndoAnchor;
        m_nCaret = m_nUndoCaret;
        // Undo again redoes.
        m_strUndo = redo;
        m_nUndoAnchor = anchor;
        m_nUndoCaret = caret;
        m_bModified = TRUE;
        Changed();
        return TRUE;
    }

    int WordLeft(const CString& t, int pos) const {
        while (pos > 0 && !IsWordChar(t[pos - 1]))
            pos = PrevCharPos(t, pos);
        while (pos > 0 && IsWordChar(t[pos - 1]))
            pos = PrevCharPos(t, pos);
        return pos;
    }
    int WordRight(const CString& t, int pos) const {
        const int n = t.GetLength();
        while (pos < n && IsWordChar(t[pos]))
            pos = NextCharPos(t, pos);
        while (pos < n && !IsWordChar(t[pos]))
            pos = NextCharPos(t, pos);
        return pos;
    }

    void MoveCaret(int pos, bool extend) {
        m_nCaret = pos;
        if (!extend)
            m_nAnchor = pos;
        ScrollCaret();
        Invalidate();
    }

    bool KeyDown(UINT vk) {
        const bool shift = ::GetKeyState(VK_SHIFT) < 0;
        const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
        CString t = Text();
        switch (vk) {
        case VK_LEFT:
            if (!shift && SelMin() != SelMax())
                MoveCaret(SelMin(), false);
            else
                MoveCaret(ctrl ? WordLeft(t, m_nCaret) : PrevCharPos(t, m_nCaret), shift);
            return true;
        case VK_RIGHT:
            if (!shift && SelMin() != SelMax())
                MoveCaret(SelMax(), false);
            else
                MoveCaret(ctrl ? WordRight(t, m_nCaret) : NextCharPos(t, m_nCaret), shift);
            return true;
        case VK_HOME:
            MoveCaret(0, shift);
            return true;
        case VK_END:
            MoveCaret(t.GetLength(), shift);
            return true;
        case VK_DELETE:
            if (shift) {
                if (!ReadOnly() && Copy())
                    Clear(true);
            } else if (ReadOnly()) {
                ::MessageBeep(0xFFFFFFFF);
            } else if (SelMin() != SelMax()) {
                Clear(true);
            } else if (m_nCaret < t.GetLength()) {
                m_nAnchor = ctrl ? WordRight(t, m_nCaret) : NextCharPos(t, m_nCaret);
                ReplaceSel("", true);
            }
            return true;
        case VK_INSERT:
            if (ctrl)
                Copy();
            else if (shift)
                Paste(true);
            return true;
        default:
            return false;
        }
    }

    void Char(UINT ch) {
        CString t = Text();
        switch (ch) {
        case 0x01: // Ctrl+A
            m_nAnchor = 0;
            MoveCaret(t.GetLength(), true);
            return;
        case 0x03: // Ctrl+C
            Copy();
            return;
        case 0x16: // Ctrl+V
            Paste(true);
            return;
        case 0x18: // Ctrl+X
            if (ReadOnly())
                ::MessageBeep(0xFFFFFFFF);
            else if (Copy())
                Clear(true);
            return;
        case 0x1A: // Ctrl+Z
            Undo();
            return;
        case '\b':
        case 0x7F: // Backspace, Ctrl+Backspace
            if (ReadOnly()) {
                ::MessageBeep(0xFFFFFFFF);
            } else if (SelMin() != SelMax()) {
                ReplaceSel("", true);
            } else if (m_nCaret > 0) {
                m_nAnchor = ch == 0x7F ? WordLeft(t, m_nCaret) : PrevCharPos(t, m_nCaret);
                ReplaceSel("", true);
            }
            return;
        default:
            break;
        }
        if (ch < 0x20)
            return; // Tab, Enter, Escape and other controls are not text
        if (ReadOnly()) {
            ::MessageBeep(0xFFFFFFFF);
            return;
        }
        char buf[5] = {};
        if (ch < 0x80) {
            buf[0] = static_cast<char>(ch);
        } else if (ch < 0x800) {
            buf[0] = static_cast<char>(0xC0 | (ch >> 6));
            buf[1] = static_cast<char>(0x80 | (ch & 0x3F));
        } else if (ch < 0x10000) {
            buf[0] = static_cast<char>(0xE0 | (ch >> 12));
            buf[1] = static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
            buf[2] = static_cast<char>(0x80 | (ch & 0x3F));
        } else {
            buf[0] = static_cast<char>(0xF0 | (ch >> 18));
            buf[1] = static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
            buf[2] = static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
            buf[3] = static_cast<char>(0x80 | (ch & 0x3F));
        }
        if (!ReplaceSel(buf, true))
            ::MessageBeep(0xFFFFFFFF);
    }

    void ButtonDown(CPoint pt, UINT keys, bool dbl) {
        if (!Focused())
            ::SetFocus(m_hWnd);
        if (!Alive() || !Focused())
            return;
        CString t = Text();
        const int pos = PosFromX(pt.x);
        if (dbl) {
            int a = pos, b = pos;
            while (a > 0 && IsWordChar(t[a - 1]))
                a = PrevCharPos(t, a);
            while (b < t.GetLength() && IsWordChar(t[b]))
                b = NextCharPos(t, b);
            m_nAnchor = a;
            MoveCaret(b, true);
            return;
        }
        MoveCaret(pos, (keys & MK_SHIFT) != 0);
        m_bSelecting = true;
        ::SetCapture(m_hWnd);
    }

    void Paint() {
        ControlPaint paint(*this);
        HDC hdc = paint.hdc;
        const CRect rc = Client();
        const bool enabled = Enabled();
        HBRUSH brush =
            CtlColor(hdc, (ReadOnly() || !enabled) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
        ::FillRect(hdc, &rc, brush);
        if (!enabled)
            ::SetTextColor(hdc, ::GetSysColor(COLOR_GRAYTEXT));
        ::SetBkMode(hdc, TRANSPARENT);
        const CString text = Text();
        const CString shown = Display(text);
        const std::vector<int> xs = Extents();
        const int x0 = TextXFor(xs.back());
        const int y0 = TextTop();
        const int h = LineHeight();
        CRect clip = FormatRect();
        ::IntersectClipRect(hdc, clip.left, rc.top, clip.right, rc.bottom);
        ::TextOut(hdc, x0, y0, shown, shown.GetLength());
        const bool focused = Focused();
        const int a = SelMin(), b = SelMax();
        if (a != b && enabled && (focused || (Style() & ES_NOHIDESEL))) {
            // The selection in the highlight colours over the text.
            CRect sel(x0 + xs[static_cast<size_t>(a)], y0, x0 + xs[static_cast<size_t>(b)], y0 + h);
            ::FillRect(hdc, &sel, ::GetSysColorBrush(focused ? COLOR_HIGHLIGHT : COLOR_3DFACE));
            const int save2 = ::SaveDC(hdc);
            ::IntersectClipRect(hdc, sel.left, sel.top, sel.right, sel.bottom);
            ::SetTextColor(hdc, ::GetSysColor(focused ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
            ::TextOut(hdc, x0, y0, shown, shown.GetLength());
            ::RestoreDC(hdc, save2);
        }
        if (focused) {
            const int cx = x0 + xs[static_cast<size_t>(std::clamp(m_nCaret, 0, text.GetLength()))];
            CRect caret(cx, y0, cx + 1, y0 + h);
            ::InvertRect(hdc, &caret);
        }
    }

    int m_nAnchor = 0;
    int m_nCaret = 0;
    int m_nScroll = 0; // pixels of text scrolled out at the left
    int m_nLimit = kDefaultLimit;
    int m_nLeftMargin = -1;
    int m_nRightMargin = -1;
    char m_chPassword = 0;
    BOOL m_bModified = FALSE;
    BOOL m_bCanUndo = FALSE;
    CString m_strUndo;
    int m_nUndoAnchor = 0;
    int m_nUndoCaret = 0;
    bool m_bSelecting = false;
};

} // namespace

WNDPROC EditWndProc() {
    return &NativeClass<Edit>::WndProc;
}

} // namespace kel::ctl
