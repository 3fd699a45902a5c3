#include "platform/win/MessageBoxWnd.h"

#include "platform/win/DialogDefs.h"
#include "platform/win/MessageBox.h"
#include "platform/win/PaintDC.h"

#include "platform/gdi/Gdi.h"

#include <algorithm>
#include <cctype>

BEGIN_MESSAGE_MAP(CMessageBoxWnd, CWnd)
ON_WM_PAINT()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONUP()
ON_WM_KEYDOWN()
ON_WM_CLOSE()
ON_WM_GETDLGCODE()
END_MESSAGE_MAP()

namespace {

constexpr int kMargin = 12;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr int kIconSize = 32;

LPCTSTR ButtonText(int id) {
    switch (id) {
    case IDOK:
        return "OK";
    case IDCANCEL:
        return "Cancel";
    case IDABORT:
        return "&Abort";
    case IDRETRY:
        return "&Retry";
    case IDIGNORE:
        return "&Ignore";
    case IDYES:
        return "&Yes";
    case IDNO:
        return "&No";
    default:
        return "";
    }
}

HFONT BoxFont() {
    return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

} // namespace

CMessageBoxWnd::CMessageBoxWnd(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
    : m_strText(lpszText), m_strCaption(lpszCaption), m_nType(nType),
      m_buttons(KelMessageBoxButtons(nType)), m_nFocus(0), m_nPressed(-1) {
    // The focus starts on the default button, the one a box without a window answers with.
    const auto def =
        std::find(m_buttons.begin(), m_buttons.end(), KelDefaultMessageBoxButton(nType));
    m_nFocus = static_cast<int>(def - m_buttons.begin());
}

CRect CMessageBoxWnd::GetButtonRect(int nIndex) const {
    const int n = static_cast<int>(m_buttons.size());
    const int total = n * kButtonWidth + (n - 1) * kButtonGap;
    const int left = (m_sizeClient.cx - total) / 2 + nIndex * (kButtonWidth + kButtonGap);
    const int top = m_sizeClient.cy - kMargin - kButtonHeight;
    return CRect(left, top, left + kButtonWidth, top + kButtonHeight);
}

int CMessageBoxWnd::HitButton(CPoint point) const {
    for (int i = 0; i < static_cast<int>(m_buttons.size()); ++i) {
        if (GetButtonRect(i).PtInRect(point))
            return i;
    }
    return -1;
}

int CMessageBoxWnd::CancelAnswer() const {
    // Escape and the close box mean Cancel where there is one, OK in an OK box, else nothing.
    for (int id : m_buttons) {
        if (id == IDCANCEL)
            return IDCANCEL;
    }
    return m_buttons.size() == 1 ? m_buttons.front() : 0;
}

int CMessageBoxWnd::DoModal(HWND hWndOwner) {
    // Measure the text, then size the box around it and the buttons.
    HDC hdc = ::GetDC(nullptr);
    HGDIOBJ old = ::SelectObject(hdc, BoxFont());
    CRect rcText(0, 0, 400, 0);
    ::DrawText(hdc, m_strText, m_strText.GetLength(), &rcText,
               DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    ::SelectObject(hdc, old);
    ::ReleaseDC(nullptr, hdc);
    const bool icon = (m_nType & MB_ICONMASK) != 0;
    const int textLeft = kMargin + (icon ? kIconSize + kMargin : 0);
    const int n = static_cast<int>(m_buttons.size());
    const int buttonsWidth = n * kButtonWidth + (n - 1) * kButtonGap;
    m_sizeClient.cx = std::max(textLeft + rcText.Width() + kMargin, buttonsWidth + 2 * kMargin);
    m_sizeClient.cy = kMargin + std::max<int>(rcText.Height(), icon ? kIconSize : 0) + kMargin +
                      kButtonHeight + kMargin;
    m_rcText = CRect(CPoint(textLeft, kMargin), rcText.Size());

    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
    CRect rc(0, 0, m_sizeClient.cx, m_sizeClient.cy);
    ::AdjustWindowRectEx(&rc, style, FALSE, WS_EX_DLGMODALFRAME);
    LPCTSTR cls =
        AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW), ::GetSysColorBrush(COLOR_3DFACE));
    if (!CreateEx(WS_EX_DLGMODALFRAME | WS_EX_TOPMOST, cls, m_strCaption, style, 0, 0, rc.Width(),
                  rc.Height(), hWndOwner, nullptr))
        return 0;
    CenterWindow();
    const BOOL ownerWasEnabled = hWndOwner != nullptr && ::IsWindowEnabled(hWndOwner);
    if (ownerWasEnabled)
        ::EnableWindow(hWndOwner, FALSE);
    ShowWindow(SW_SHOW);
    SetFocus();
    int result = RunModalLoop(0);
    if (ownerWasEnabled)
        ::EnableWindow(hWndOwner, TRUE);
    if (m_hWnd != nullptr)
        DestroyWindow();
    if (hWndOwner != nullptr && ::IsWindow(hWndOwner))
        ::SetActiveWindow(hWndOwner);
    return result;
}

UINT CMessageBoxWnd::OnGetDlgCode() {
    return DLGC_WANTALLKEYS;
}

void CMessageBoxWnd::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    dc.FillSolidRect(&client, ::GetSysColor(COLOR_3DFACE));
    HGDIOBJ oldFont = dc.SelectObject(BoxFont());
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
    if (m_nType & MB_ICONMASK) {
        // A round sign: red for errors, blue for questions and information, yellow for warnings.
        const UINT kind = m_nType & MB_ICONMASK;
        COLORREF color = kind == MB_ICONHAND          ? RGB(200, 0, 0)
                         : kind == MB_ICONEXCLAMATION ? RGB(230, 180, 0)
                                                      : RGB(0, 60, 200);
        LPCTSTR glyph = kind == MB_ICONHAND          ? "X"
                        : kind == MB_ICONQUESTION    ? "?"
                        : kind == MB_ICONEXCLAMATION ? "!"
                                                     : "i";
        CBrush brush(color);
        CBrush* oldBrush = dc.SelectObject(&brush);
        dc.Ellipse(kMargin, kMargin, kMargin + kIconSize, kMargin + kIconSize);
        dc.SelectObject(oldBrush);
        dc.SetTextColor(RGB(255, 255, 255));
        CRect rcGlyph(kMargin, kMargin, kMargin + kIconSize, kMargin + kIconSize);
        dc.DrawText(glyph, 1, &rcGlyph, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        dc.SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
    }
    CRect rcText = m_rcText;
    dc.DrawText(m_strText, &rcText, DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    for (int i = 0; i < static_cast<int>(m_buttons.size()); ++i) {
        CRect rb = GetButtonRect(i);
        dc.DrawFrameControl(&rb, DFC_BUTTON, DFCS_BUTTONPUSH | (i == m_nPressed ? DFCS_PUSHED : 0));
        CRect rt = rb;
        if (i == m_nPressed)
            rt.OffsetRect(1, 1);
        CString label = ButtonText(m_buttons[static_cast<size_t>(i)]);
        dc.DrawText(label, &rt, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        if (i == m_nFocus) {
            CRect rf = rb;
            rf.DeflateRect(4, 4);
            dc.DrawFocusRect(&rf);
        }
    }
    dc.SelectObject(oldFont);
}

void CMessageBoxWnd::OnLButtonDown(UINT, CPoint point) {
    int i = HitButton(point);
    if (i < 0)
        return;
    m_nPressed = m_nFocus = i;
    SetCapture();
    Invalidate(FALSE);
}

void CMessageBoxWnd::OnLButtonUp(UINT, CPoint point) {
    if (m_nPressed < 0)
        return;
    const int pressed = m_nPressed;
    m_nPressed = -1;
    ::ReleaseCapture();
    Invalidate(FALSE);
    if (HitButton(point) == pressed)
        EndModalLoop(m_buttons[static_cast<size_t>(pressed)]);
}

void CMessageBoxWnd::OnKeyDown(UINT nChar, UINT, UINT) {
    const int n = static_cast<int>(m_buttons.size());
    switch (nChar) {
    case VK_RETURN:
    case VK_SPACE:
        EndModalLoop(m_buttons[static_cast<size_t>(m_nFocus)]);
        break;
    case VK_ESCAPE:
        if (int id = CancelAnswer())
            EndModalLoop(id);
        break;
    case VK_TAB:
    case VK_RIGHT:
        m_nFocus = (m_nFocus + 1) % n;
        Invalidate(FALSE);
        break;
    case VK_LEFT:
        m_nFocus = (m_nFocus + n - 1) % n;
        Invalidate(FALSE);
        break;
    default: {
        // The underlined letter of a button chooses it (nChar is the letter's upper-case key).
        for (int id : m_buttons) {
            const char c = KelMnemonicOf(ButtonText(id));
            if (c != 0 && static_cast<UINT>(std::toupper(static_cast<unsigned char>(c))) == nChar)
                EndModalLoop(id);
        }
        break;
    }
    }
}

void CMessageBoxWnd::OnClose() {
    if (int id = CancelAnswer())
        EndModalLoop(id);
}

int KelRunMessageBoxWindow(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType) {
    CMessageBoxWnd box(lpszText, lpszCaption, nType);
    return box.DoModal(hWndOwner);
}
