#include "companions/controls/DateEdit.h"

#include "platform/controls/Clipboard.h"

#include <string>

IMPLEMENT_DYNAMIC(CDateEdit, CExEdit)

BEGIN_MESSAGE_MAP(CDateEdit, CExEdit)
ON_WM_CHAR()
ON_WM_KEYDOWN()
ON_WM_KILLFOCUS()
ON_MESSAGE(WM_PASTE, OnPaste)
END_MESSAGE_MAP()

namespace {

constexpr int kMaxLength = 10; // "12/31/2024"
constexpr int kMaxParts = 3;
constexpr int kMaxDigits = 4;
constexpr COLORREF kInvalidText = RGB(192, 0, 0);
LPCTSTR const kDateFormat = "%m/%d/%Y";

bool IsSeparator(char c) {
    return c == '/' || c == '-' || c == '.';
}

// The number of parts of a text of digits and separators (an empty last part not counted).
int CountParts(const CString& text) {
    int parts = 0;
    bool inPart = false;
    for (int i = 0; i < text.GetLength(); ++i) {
        if (IsSeparator(text[i])) {
            inPart = false;
        } else if (!inPart) {
            inPart = true;
            ++parts;
        }
    }
    return parts;
}

} // namespace

CDateEdit::CDateEdit() : m_bInvalid(FALSE) {}

CDateEdit::~CDateEdit() {
    // The edit belongs to its dialog: it stays, plain.
    if (m_hWnd != NULL)
        UnsubclassWindow();
}

HWND CDateEdit::UnsubclassWindow() {
    SetInvalid(FALSE);
    HWND hWnd = CExEdit::UnsubclassWindow();
    if (hWnd != NULL)
        ::InvalidateRect(hWnd, nullptr, TRUE);
    return hWnd;
}

BOOL CDateEdit::IsPartialDate(LPCTSTR lpszText) {
    const std::string text = lpszText != nullptr ? lpszText : "";
    if (static_cast<int>(text.size()) > kMaxLength)
        return FALSE;
    int parts = 0, digits = 0;
    char prev = 0;
    for (char c : text) {
        if (IsSeparator(c)) {
            if (prev == 0 || IsSeparator(prev) || parts >= kMaxParts)
                return FALSE;
            digits = 0;
        } else if (c >= '0' && c <= '9') {
            if (digits == 0 && ++parts > kMaxParts)
                return FALSE;
            if (++digits > kMaxDigits)
                return FALSE;
        } else {
            return FALSE;
        }
        prev = c;
    }
    return TRUE;
}

BOOL CDateEdit::ParseDate(LPCTSTR lpszText, COleDateTime& date) {
    if (!IsPartialDate(lpszText) || CountParts(lpszText) != kMaxParts)
        return FALSE;
    const CString text(lpszText);
    if (IsSeparator(text[text.GetLength() - 1]))
        return FALSE;
    COleDateTime parsed;
    if (!parsed.ParseDateTime(lpszText, VAR_DATEVALUEONLY, LANG_USER_DEFAULT))
        return FALSE;
    date = parsed;
    return TRUE;
}

BOOL CDateEdit::GetDate(COleDateTime& date) const {
    CString text;
    GetWindowText(text);
    return ParseDate(text, date);
}

void CDateEdit::SetDate(const COleDateTime& date) {
    SetInvalid(FALSE);
    SetWindowText(date.GetStatus() == COleDateTime::valid ? date.Format(kDateFormat) : CString());
}

COLORREF CDateEdit::CurrentTextColor() const {
    return m_bInvalid ? kInvalidText : CExEdit::CurrentTextColor();
}

BOOL CDateEdit::HasOwnColors() const {
    return m_bInvalid || CExEdit::HasOwnColors();
}

void CDateEdit::SetInvalid(BOOL bInvalid) {
    if ((m_bInvalid != FALSE) == (bInvalid != FALSE))
        return;
    m_bInvalid = bInvalid;
    if (m_hWnd != NULL)
        Invalidate();
}

CString CDateEdit::TextWith(LPCTSTR pszInsert) const {
    CString text;
    GetWindowText(text);
    int start = 0, end = 0;
    GetSel(start, end);
    return text.Left(start) + pszInsert + text.Mid(end);
}

void CDateEdit::ReplaceWith(LPCTSTR pszInsert) {
    SetInvalid(FALSE);
    ReplaceSel(pszInsert, TRUE);
}

void CDateEdit::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags) {
    if (nChar == 0x16) { // Ctrl+V: pasted text is checked like typed text
        OnPaste(0, 0);
        return;
    }
    if (nChar < 0x20 || nChar == 0x7F) {
        // Backspace and the other clipboard keys work as in any edit.
        if (nChar == '\b' || nChar == 0x18) // Ctrl+X
            SetInvalid(FALSE);
        CExEdit::OnChar(nChar, nRepCnt, nFlags);
        return;
    }
    if (nChar == ' ') {
        CString text;
        GetWindowText(text);
        int start = 0, end = 0;
        GetSel(start, end);
        if (text.IsEmpty() || (start == 0 && end == text.GetLength())) {
            SetWindowText(COleDateTime::GetCurrentTime().Format(kDateFormat));
            SetInvalid(FALSE);
            SetSel(0, -1);
            return;
        }
        ::MessageBeep(MB_OK);
        return;
    }
    const char insert[2] = {static_cast<char>(nChar), '\0'};
    if (nChar > 0x7F || !IsPartialDate(TextWith(insert))) {
        ::MessageBeep(MB_OK);
        return;
    }
    ReplaceWith(insert);
}

void CDateEdit::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
    if (nChar == VK_UP || nChar == VK_DOWN) {
        COleDateTime date;
        if (GetDate(date)) {
            date += COleDateTimeSpan(nChar == VK_UP ? 1 : -1, 0, 0, 0);
            int start = 0, end = 0;
            GetSel(start, end);
            SetDate(date);
            SetSel(start, end, TRUE);
        }
        return;
    }
    if (nChar == VK_INSERT && ::GetKeyState(VK_SHIFT) < 0 && ::GetKeyState(VK_CONTROL) >= 0) {
        OnPaste(0, 0);
        return;
    }
    if (nChar == VK_DELETE)
        SetInvalid(FALSE);
    CExEdit::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CDateEdit::Normalise() {
    CString text;
    GetWindowText(text);
    if (CountParts(text) < kMaxParts) {
        SetInvalid(FALSE); // not finished: the user carries on later
        return;
    }
    COleDateTime date;
    if (!ParseDate(text, date)) {
        SetInvalid(TRUE);
        return;
    }
    const CString written = date.Format(kDateFormat);
    if (written != text)
        SetWindowText(written);
    SetInvalid(FALSE);
}

void CDateEdit::OnKillFocus(CWnd* pNewWnd) {
    CExEdit::OnKillFocus(pNewWnd);
    if (m_hWnd != NULL)
        Normalise();
}

LRESULT CDateEdit::OnPaste(WPARAM, LPARAM) {
    CString pasted = KelGetClipboardText();
    pasted.Trim();
    if (pasted.IsEmpty())
        return 0;
    if (IsPartialDate(TextWith(pasted))) {
        ReplaceWith(pasted);
        return 0;
    }
    // A date written another way ("Jan 5, 2024", "2024-01-05 10:30") replaces the selection.
    COleDateTime date;
    if (date.ParseDateTime(pasted, VAR_DATEVALUEONLY, LANG_USER_DEFAULT)) {
        const CString written = date.Format(kDateFormat);
        if (IsPartialDate(TextWith(written))) {
            ReplaceWith(written);
            return 0;
        }
    }
    ::MessageBeep(MB_OK);
    return 0;
}
