#include "companions/controls/ExEdit.h"

IMPLEMENT_DYNAMIC(CExEdit, CEdit)

BEGIN_MESSAGE_MAP(CExEdit, CEdit)
ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

CExEdit::CExEdit() : m_crText(CLR_DEFAULT), m_crBack(CLR_DEFAULT) {}

CExEdit::~CExEdit() = default;

void CExEdit::SetTextColor(COLORREF crText) {
    m_crText = crText;
    if (m_hWnd != NULL)
        Invalidate();
}

void CExEdit::SetBkColor(COLORREF crBack) {
    m_crBack = crBack;
    m_brBack.DeleteObject();
    if (m_hWnd != NULL)
        Invalidate();
}

BOOL CExEdit::HasOwnColors() const {
    return m_crText != CLR_DEFAULT || m_crBack != CLR_DEFAULT;
}

COLORREF CExEdit::CurrentTextColor() const {
    return m_crText != CLR_DEFAULT ? m_crText : ::GetSysColor(COLOR_WINDOWTEXT);
}

COLORREF CExEdit::CurrentBkColor() const {
    return m_crBack != CLR_DEFAULT ? m_crBack : ::GetSysColor(COLOR_WINDOW);
}

HBRUSH CExEdit::CtlColor(CDC* pDC, UINT) {
    if (!HasOwnColors())
        return NULL; // the parent decides
    const COLORREF back = CurrentBkColor();
    if (m_brBack.GetSafeHandle() == NULL)
        m_brBack.CreateSolidBrush(back);
    pDC->SetTextColor(CurrentTextColor());
    pDC->SetBkColor(back);
    return static_cast<HBRUSH>(m_brBack.GetSafeHandle());
}
