// CKillEdit: the in-place editor of a cell. It tells its parent once how the edit ended, then
// goes away by itself:
//   WM_KILLEDIT_ACCEPT (WM_USER + 500): Enter, or the focus going elsewhere (a click on another
//       window, the parent closing while the editor has the focus);
//   WM_KILLEDIT_CANCEL (WM_USER + 501): Escape, or the editor being destroyed before any of
//       those (its parent destroyed while the editor does not have the focus).
// wParam is the editor (CWnd*), lParam 0; the message is sent, so the parent may still read
// the editor's text. Afterwards the editor destroys its window and deletes itself: create it
// with new and keep no pointer to it once it has ended. Deleting it before it has ended is
// allowed too: the window is destroyed and the parent told of the cancel.
#pragma once

#include "companions/controls/ExEdit.h"

#define WM_KILLEDIT_ACCEPT (WM_USER + 500)
#define WM_KILLEDIT_CANCEL (WM_USER + 501)

class CKillEdit : public CExEdit {
    DECLARE_DYNAMIC(CKillEdit)
public:
    CKillEdit();
    ~CKillEdit() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    // TRUE once the parent has been told how the edit ended.
    BOOL IsEnded() const { return m_bEnded; }

protected:
    void PostNcDestroy() override;
    // Tells the parent (accepted or cancelled), once, then destroys the window.
    void EndEdit(BOOL bAccepted);

    afx_msg UINT OnGetDlgCode();
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg void OnDestroy();

    BOOL m_bEnded;
    BOOL m_bDeleting; // the destructor runs: PostNcDestroy must not delete again

    DECLARE_MESSAGE_MAP()
};
