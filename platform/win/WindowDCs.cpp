// The device contexts of windows, and CWnd's operations that hand out CDC objects.
#include "platform/win/ClientDC.h"
#include "platform/win/PaintDC.h"
#include "platform/win/WindowDC.h"
#include "platform/win/Wnd.h"

#include "platform/gdi/Font.h"

IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)

CPaintDC::CPaintDC(CWnd* pWnd) : m_ps{}, m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) {
    Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC() {
    // The context goes back to the window, not to the drawing layer.
    Detach();
    ::EndPaint(m_hWnd, &m_ps);
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) {
    Attach(::GetDC(m_hWnd));
}

CClientDC::~CClientDC() {
    HDC hdc = Detach();
    ::ReleaseDC(m_hWnd, hdc);
}

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) {
    Attach(::GetWindowDC(m_hWnd));
}

CWindowDC::~CWindowDC() {
    HDC hdc = Detach();
    ::ReleaseDC(m_hWnd, hdc);
}

CDC* CWnd::GetDC() {
    return CDC::FromHandle(::GetDC(m_hWnd));
}
CDC* CWnd::GetWindowDC() {
    return CDC::FromHandle(::GetWindowDC(m_hWnd));
}

int CWnd::ReleaseDC(CDC* pDC) {
    if (pDC == nullptr)
        return 0;
    // The temporary CDC forgets the context before the window takes it back.
    HDC hdc = pDC->m_hDC;
    if (CDC::FromHandle(hdc) == pDC)
        pDC->m_hDC = pDC->m_hAttribDC = nullptr;
    return ::ReleaseDC(m_hWnd, hdc);
}

CDC* CWnd::BeginPaint(LPPAINTSTRUCT lpPaint) {
    return CDC::FromHandle(::BeginPaint(m_hWnd, lpPaint));
}

void CWnd::EndPaint(LPPAINTSTRUCT lpPaint) {
    if (CDC* pDC = CDC::FromHandle(lpPaint->hdc))
        pDC->m_hDC = pDC->m_hAttribDC = nullptr;
    ::EndPaint(m_hWnd, lpPaint);
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw) {
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(pFont ? pFont->m_hObject : nullptr), bRedraw);
}

CFont* CWnd::GetFont() const {
    HFONT hFont = reinterpret_cast<HFONT>(::SendMessage(m_hWnd, WM_GETFONT, 0, 0));
    return hFont != nullptr ? CFont::FromHandle(hFont) : nullptr;
}
