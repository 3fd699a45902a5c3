// The message box as a real dialog window (when a display shows the windows): the text, an
// icon, and its buttons; Enter chooses the default button, Escape cancels.
#pragma once

#include "platform/win/Wnd.h"

#include <vector>

class CMessageBoxWnd : public CWnd {
public:
    CMessageBoxWnd(LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType);

    // Shows the box owned by hWndOwner (disabled meanwhile) and returns the button chosen.
    int DoModal(HWND hWndOwner);

    // The buttons' IDs in order, and the place of each in the client area.
    const std::vector<int>& GetButtons() const { return m_buttons; }
    CRect GetButtonRect(int nIndex) const;

protected:
    afx_msg void OnPaint();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnClose();
    afx_msg UINT OnGetDlgCode();

private:
    int HitButton(CPoint point) const;
    int CancelAnswer() const;

    CString m_strText;
    CString m_strCaption;
    UINT m_nType;
    std::vector<int> m_buttons;
    int m_nFocus;   // index of the button with the focus rectangle
    int m_nPressed; // index of the button held down, -1 none
    CRect m_rcText;
    CSize m_sizeClient;

    DECLARE_MESSAGE_MAP()
};

// The message box of a display: a modal CMessageBoxWnd.
int KelRunMessageBoxWindow(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType);
