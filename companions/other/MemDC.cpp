#include "companions/other/MemDC.h"

CMemDC::CMemDC(CDC* pDC, const CRect* pRect) : m_pDC(pDC) {
    if (pDC == nullptr || pDC->GetSafeHdc() == nullptr)
        return;
    if (pRect != nullptr)
        m_rect = *pRect;
    else
        pDC->GetClipBox(&m_rect);
    m_rect.NormalizeRect();
    if (!pDC->IsPrinting() && !m_rect.IsRectEmpty() && CreateCompatibleDC(pDC) &&
        m_bitmap.Attach(KelCreateFilledBitmap(pDC->GetSafeHdc(), m_rect.Width(), m_rect.Height(),
                                              pDC->GetBkColor()))) {
        m_bMemDC = TRUE;
        m_hOldBitmap = ::SelectObject(m_hDC, m_bitmap.GetSafeHandle());
        // Logical coordinates stay those of the target: its (left, top) is the bitmap's origin.
        SetWindowOrg(m_rect.left, m_rect.top);
        // Drawing starts from the target's font, colours and background mode.
        if (CFont* pFont = pDC->GetCurrentFont())
            SelectObject(pFont);
        SetTextColor(pDC->GetTextColor());
        SetBkColor(pDC->GetBkColor());
        SetBkMode(pDC->GetBkMode());
        return;
    }
    // Straight through: this object borrows the target's handle.
    if (m_hDC != nullptr)
        DeleteDC();
    m_bMemDC = FALSE;
    m_hDC = pDC->m_hDC;
    m_hAttribDC = pDC->m_hAttribDC;
}

CMemDC::~CMemDC() {
    if (m_bMemDC) {
        m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left,
                      m_rect.top, SRCCOPY);
        ::SelectObject(m_hDC, m_hOldBitmap);
        DeleteDC();
    } else {
        // The borrowed handle belongs to the target.
        m_hDC = nullptr;
        m_hAttribDC = nullptr;
    }
}
