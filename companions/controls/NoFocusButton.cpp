#include "companions/controls/NoFocusButton.h"

IMPLEMENT_DYNAMIC(CNoFocusButton, CButton)

BEGIN_MESSAGE_MAP(CNoFocusButton, CButton)
ON_WM_MOUSEACTIVATE()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_CAPTURECHANGED()
END_MESSAGE_MAP()

int CNoFocusButton::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message) {
    // Within the active window a click changes neither activation nor focus; a click on an
    // inactive window still brings it forward.
    CWnd* pTop = GetTopLevelParent();
    if (pTop != nullptr && pTop == GetActiveWindow())
        return MA_NOACTIVATE;
    return CButton::OnMouseActivate(pDesktopWnd, nHitTest, message);
}

// The press is tracked here: the system's button would take the focus on it.
void CNoFocusButton::Press() {
    if (!IsWindowEnabled())
        return;
    m_bTracking = TRUE;
    SetCapture();
    SetState(TRUE);
}

void CNoFocusButton::OnLButtonDown(UINT, CPoint) {
    Press();
}

void CNoFocusButton::OnLButtonDblClk(UINT, CPoint) {
    // A quick second click is a second click; BS_NOTIFY buttons also tell the double click.
    if (GetStyle() & BS_NOTIFY) {
        HWND hWnd = m_hWnd;
        if (CWnd* pParent = GetParent())
            pParent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_DOUBLECLICKED),
                                 reinterpret_cast<LPARAM>(hWnd));
        if (!::IsWindow(hWnd))
            return;
    }
    Press();
}

void CNoFocusButton::OnMouseMove(UINT, CPoint point) {
    if (!m_bTracking)
        return;
    CRect rc;
    GetClientRect(&rc);
    const BOOL inside = rc.PtInRect(point);
    if (inside != ((GetState() & BST_PUSHED) != 0))
        SetState(inside);
}

void CNoFocusButton::OnLButtonUp(UINT, CPoint point) {
    if (!m_bTracking)
        return;
    m_bTracking = FALSE;
    if (GetCapture() == this)
        ::ReleaseCapture();
    SetState(FALSE);
    CRect rc;
    GetClientRect(&rc);
    if (!rc.PtInRect(point))
        return;
    // The parent may destroy the button in its handler: nothing is touched afterwards.
    HWND hWnd = m_hWnd;
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), BN_CLICKED),
                             reinterpret_cast<LPARAM>(hWnd));
}

void CNoFocusButton::OnCaptureChanged(CWnd* pWnd) {
    if (m_bTracking && pWnd != this) {
        m_bTracking = FALSE;
        SetState(FALSE);
    }
}
