// CMemDC: an off-screen drawing context for one paint. It covers the paint context's
// clip box (the area being painted), starts filled with the context's background colour,
// and copies its image to the paint context once, when it is destroyed, so that nothing
// drawn in between reaches the screen piecemeal. On a printer it draws straight through.
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
    // FALSE when drawing goes straight to the target (printing, or no memory context).
    BOOL IsOffScreen() const { return m_bMemDC; }

private:
    CDC* m_pDC;
    CBitmap m_bitmap;
    HGDIOBJ m_hOldBitmap = NULL;
    CRect m_rect;
    BOOL m_bMemDC = FALSE;
};
