// CDateEdit: makes an existing edit (SubclassWindow, SubclassDlgItem) a date field of the user
// locale, month/day/year. The text stays the edit's own, readable with GetWindowText, and
// UnsubclassWindow leaves a plain edit with the same text.
//
// Typing: digits and the date separators "/", "-" and "." are taken; other characters are
// refused with a beep, as is anything that cannot become a date (a separator first or twice in
// a row, more than three parts, a part of more than four digits, more than ten characters).
// Pasted text is taken when it is such a date text or reads as a date in another form (then it
// is written month/day/year).
// Keys: the space bar puts today's date into an empty field (or over a whole selection);
// Up and Down move a complete date one day later or earlier.
// Leaving the field: a complete date (three parts) that is a real date is written again as
// "%m/%d/%Y" (1/5/24 becomes 01/05/2024); one that is not (2/30/2024) stays as typed and is
// shown in red until it is changed; an incomplete one is left for the user.
#pragma once

#include "afxdisp.h"
#include "companions/controls/ExEdit.h"

class CDateEdit : public CExEdit {
    DECLARE_DYNAMIC(CDateEdit)
public:
    CDateEdit();
    ~CDateEdit() override;

    // Leaves the edit plain (its colours and text as they would be without this object).
    HWND UnsubclassWindow();

    // The date in the field; FALSE (date unchanged) when the text is not a complete date.
    BOOL GetDate(COleDateTime& date) const;
    // Writes the date as "%m/%d/%Y"; an invalid or null date empties the field.
    void SetDate(const COleDateTime& date);
    // TRUE when the text left in the field is a complete text but no date.
    BOOL IsInvalid() const { return m_bInvalid; }

    // Whether text typed so far can still become a date (the typing rules above).
    static BOOL IsPartialDate(LPCTSTR lpszText);
    // The date of a complete text (three parts); FALSE when it is none.
    static BOOL ParseDate(LPCTSTR lpszText, COleDateTime& date);

protected:
    COLORREF CurrentTextColor() const override;
    BOOL HasOwnColors() const override;

    // The text the edit would hold if pszInsert replaced the selection.
    CString TextWith(LPCTSTR pszInsert) const;
    void ReplaceWith(LPCTSTR pszInsert);
    void SetInvalid(BOOL bInvalid);
    void Normalise();

    afx_msg void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnKillFocus(CWnd* pNewWnd);
    afx_msg LRESULT OnPaste(WPARAM wParam, LPARAM lParam);

    BOOL m_bInvalid;

    DECLARE_MESSAGE_MAP()
};
