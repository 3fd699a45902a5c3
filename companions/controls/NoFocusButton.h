// CNoFocusButton: a (bitmap) push button that leaves the keyboard focus where it is. A click
// presses it while the mouse is held on it and, released over it, sends its parent
// WM_COMMAND with BN_CLICKED, without activating a window or taking the focus; so a grid
// keeps the focus while its margin buttons are used.
#pragma once

#include "afxwin.h"

class CNoFocusButton : public CButton {
    DECLARE_DYNAMIC(CNoFocusButton)
public:
    CNoFocusButton() = default;

protected:
    afx_msg int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnCaptureChanged(CWnd* pWnd);
    void Press();

    BOOL m_bTracking = FALSE;

    DECLARE_MESSAGE_MAP()
};
