// CRgn: a region made of rectangles, for clipping.
#pragma once

#include "platform/gdi/GdiObject.h"

class CRgn : public CGdiObject {
    DECLARE_DYNAMIC(CRgn)
    static HRGN SafeHandle(const CRgn* p) { return p ? (HRGN)p->m_hObject : NULL; }

public:
    CRgn() = default;

    static CRgn* PASCAL FromHandle(HRGN hRgn) {
        return static_cast<CRgn*>(CGdiObject::FromHandle(hRgn));
    }
    operator HRGN() const { return (HRGN)m_hObject; }

    BOOL CreateRectRgn(int x1, int y1, int x2, int y2) {
        return Attach(::CreateRectRgn(x1, y1, x2, y2));
    }
    BOOL CreateRectRgnIndirect(LPCRECT lpRect) { return Attach(::CreateRectRgnIndirect(lpRect)); }
    void SetRectRgn(int x1, int y1, int x2, int y2) {
        ::SetRectRgn((HRGN)m_hObject, x1, y1, x2, y2);
    }
    void SetRectRgn(LPCRECT lpRect) {
        ::SetRectRgn((HRGN)m_hObject, lpRect->left, lpRect->top, lpRect->right, lpRect->bottom);
    }
    int CombineRgn(CRgn* pRgn1, CRgn* pRgn2, int nCombineMode) {
        return ::CombineRgn((HRGN)m_hObject, SafeHandle(pRgn1), SafeHandle(pRgn2), nCombineMode);
    }
    int CopyRgn(CRgn* pRgnSrc) {
        return ::CombineRgn((HRGN)m_hObject, SafeHandle(pRgnSrc), NULL, RGN_COPY);
    }
    BOOL EqualRgn(CRgn* pRgn) const { return ::EqualRgn((HRGN)m_hObject, SafeHandle(pRgn)); }
    int OffsetRgn(int x, int y) { return ::OffsetRgn((HRGN)m_hObject, x, y); }
    int OffsetRgn(POINT point) { return ::OffsetRgn((HRGN)m_hObject, point.x, point.y); }
    int GetRgnBox(LPRECT lpRect) const { return ::GetRgnBox((HRGN)m_hObject, lpRect); }
    BOOL PtInRegion(int x, int y) const { return ::PtInRegion((HRGN)m_hObject, x, y); }
    BOOL PtInRegion(POINT point) const { return ::PtInRegion((HRGN)m_hObject, point.x, point.y); }
    BOOL RectInRegion(LPCRECT lpRect) const { return ::RectInRegion((HRGN)m_hObject, lpRect); }
};
