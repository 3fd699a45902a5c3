#include "companions/other/MemDC.h"

#include "platform/win/WinApi.h"

CMemDC::CMemDC(CDC* pDC, const CRect* pRect) : m_pDC(pDC) {
    if (pDC == nullptr || pDC->GetSafeHdc() == nullptr)
        return;
    if (pRect != nullptr)
        m_rect = *pRect;
    else
        pDC->GetClipBox(&m_rect);
    m_rect.NormalizeRect();
    if (pDC->IsPrinting() || m_rect.IsRectEmpty()) {
        Borrow(pDC);
        return;
    }
    if (::WindowFromDC(pDC->GetSafeHdc()) != NULL) {
        // The window's image is off-screen until the paint ends: no copy of it is needed.
        Borrow(pDC);
        m_nSavedDC = SaveDC();
        if (m_nSavedDC != 0) {
            m_bMemDC = TRUE;
            IntersectClipRect(m_rect);
            FillSolidRect(m_rect, pDC->GetBkColor());
            return;
        }
    } else if (CreateCompatibleDC(pDC) &&
               m_bitmap.CreateCompatibleBitmap(pDC, m_rect.Width(), m_rect.Height())) {
        m_bMemDC = TRUE;
        m_hOldBitmap = ::SelectObject(m_hDC, m_bitmap.GetSafeHandle());
        // Logical coordinates stay those of the target: its (left, top) is the bitmap's origin.
        SetWindowOrg(m_rect.left, m_rect.top);
        FillSolidRect(m_rect, pDC->GetBkColor());
        // Drawing starts from the target's font, colours and background mode.
        if (CFont* pFont = pDC->GetCurrentFont())
            SelectObject(pFont);
        SetTextColor(pDC->GetTextColor());
        SetBkColor(pDC->GetBkColor());
        SetBkMode(pDC->GetBkMode());
        return;
    }
    Borrow(pDC);
}

// Straight through: this object borrows the target's handle.
void CMemDC::Borrow(CDC* pDC) {
    if (m_hDC != nullptr && m_hDC != pDC->m_hDC)
        DeleteDC();
    m_hDC = pDC->m_hDC;
    m_hAttribDC = pDC->m_hAttribDC;
}

CMemDC::~CMemDC() {
    if (m_bMemDC && m_nSavedDC == 0) {
        m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left,
                      m_rect.top, SRCCOPY);
        ::SelectObject(m_hDC, m_hOldBitmap);
        DeleteDC();
        return;
    }
    if (m_nSavedDC != 0)
        RestoreDC(m_nSavedDC);
    // The borrowed handle belongs to the target.
    m_hDC = nullptr;
    m_hAttribDC = nullptr;
}
