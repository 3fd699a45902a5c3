// CMemDC: an off-screen drawing context for one paint. It covers the paint context's
// clip box (the area being painted), starts filled with the context's background colour,
// and reaches the screen once, when it is destroyed, so that nothing drawn in between shows
// piecemeal. A window's context draws on the window's image, which the system shows only when
// the context is let go: there it draws on that image, clipped to its area, and the target's
// state comes back at the end. Any other context gets a bitmap of its own, copied to the
// target at the end. On a printer it draws straight through.
//
//   CPaintDC dc(this);
//   CMemDC mem(&dc);
//   mem->FillSolidRect(...);   // logical coordinates of the window, as on dc
#pragma once

#include "afx.h"
#include "platform/gdi/DC.h"

class CMemDC : public CDC {
public:
    // pRect: the area to cover (logical units); NULL for the paint context's clip box.
    explicit CMemDC(CDC* pDC, const CRect* pRect = NULL);
    ~CMemDC() override;
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

    CMemDC* operator->() { return this; }
    operator CMemDC*() { return this; }

    // The area covered, in logical units.
    const CRect& GetRect() const { return m_rect; }
    // FALSE when drawing goes straight to where the target shows it (printing, or no memory
    // context): then it did not start filled either.
    BOOL IsOffScreen() const { return m_bMemDC; }

private:
    void Borrow(CDC* pDC);

    CDC* m_pDC;
    CBitmap m_bitmap;
    HGDIOBJ m_hOldBitmap = NULL;
    CRect m_rect;
    BOOL m_bMemDC = FALSE;
    int m_nSavedDC = 0; // drawing on a window's image: the target's state to restore
};
