// CExEdit: an edit drawn in colours of its own. Until a colour is set the edit keeps the
// system's (or whatever its parent gives it).
#pragma once

#include "afxwin.h"

class CExEdit : public CEdit {
    DECLARE_DYNAMIC(CExEdit)
public:
    CExEdit();
    ~CExEdit() override;

    // CLR_DEFAULT goes back to the system's colour.
    void SetTextColor(COLORREF crText);
    void SetBkColor(COLORREF crBack);
    COLORREF GetTextColor() const { return m_crText; }
    COLORREF GetBkColor() const { return m_crBack; }

protected:
    // The colours the edit paints with now: its own, or the system's.
    virtual COLORREF CurrentTextColor() const;
    virtual COLORREF CurrentBkColor() const;
    virtual BOOL HasOwnColors() const;

    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);

    COLORREF m_crText;
    COLORREF m_crBack;
    CBrush m_brBack;

    DECLARE_MESSAGE_MAP()
};
