// CDC: the framework's class over an HDC.
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/DC.h"

using namespace kel::gdi;

IMPLEMENT_DYNCREATE(CDC, CObject)

CDC::~CDC() {
    if (m_hDC)
        ::DeleteDC(Detach());
}

CDC* PASCAL CDC::FromHandle(HDC hDC) {
    HDC__* dc = LiveDC(hDC);
    if (!dc)
        return NULL;
    if (dc->wrapper)
        return dc->wrapper;
    if (dc->temp)
        return dc->temp;
    auto w = std::make_unique<CDC>();
    w->m_hDC = w->m_hAttribDC = hDC;
    dc->temp = w.get();
    AdoptTempDC(std::move(w));
    return dc->temp;
}

void PASCAL CDC::DeleteTempMap() {
    FreeTempDCs();
}

BOOL CDC::Attach(HDC hDC) {
    HDC__* dc = LiveDC(hDC);
    if (!dc || m_hDC)
        return FALSE;
    dc->wrapper = this;
    m_hDC = m_hAttribDC = hDC;
    return TRUE;
}

HDC CDC::Detach() {
    HDC h = m_hDC;
    if (HDC__* dc = LiveDC(h); dc && dc->wrapper == this)
        dc->wrapper = nullptr;
    m_hDC = m_hAttribDC = NULL;
    return h;
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) {
    if (m_hDC)
        return FALSE;
    HDC h = ::CreateCompatibleDC(pDC ? pDC->m_hDC : NULL);
    if (!h)
        return FALSE;
    return Attach(h);
}

BOOL CDC::DeleteDC() {
    if (!m_hDC)
        return FALSE;
    return ::DeleteDC(Detach());
}

CGdiObject* CDC::SelectStockObject(int nIndex) {
    HGDIOBJ h = ::GetStockObject(nIndex);
    return h ? CGdiObject::FromHandle(::SelectObject(m_hDC, h)) : NULL;
}

CPen* CDC::SelectObject(CPen* pPen) {
    return pPen ? CPen::FromHandle(::SelectObject(m_hDC, pPen->m_hObject)) : NULL;
}

CBrush* CDC::SelectObject(CBrush* pBrush) {
    return pBrush ? CBrush::FromHandle(::SelectObject(m_hDC, pBrush->m_hObject)) : NULL;
}

CFont* CDC::SelectObject(CFont* pFont) {
    return pFont ? CFont::FromHandle(::SelectObject(m_hDC, pFont->m_hObject)) : NULL;
}

CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
    return pBitmap ? CBitmap::FromHandle(::SelectObject(m_hDC, pBitmap->m_hObject)) : NULL;
}

int CDC::SelectObject(CRgn* pRgn) {
    return (int)(INT_PTR)::SelectObject(m_hDC, pRgn ? pRgn->m_hObject : NULL);
}

CGdiObject* CDC::SelectObject(CGdiObject* pObject) {
    return pObject ? CGdiObject::FromHandle(::SelectObject(m_hDC, pObject->m_hObject)) : NULL;
}

CPen* CDC::GetCurrentPen() const {
    return CPen::FromHandle(::GetCurrentObject(m_hDC, OBJ_PEN));
}
CBrush* CDC::GetCurrentBrush() const {
    return CBrush::FromHandle(::GetCurrentObject(m_hDC, OBJ_BRUSH));
}
CFont* CDC::GetCurrentFont() const {
    return CFont::FromHandle(::GetCurrentObject(m_hDC, OBJ_FONT));
}
CBitmap* CDC::GetCurrentBitmap() const {
    return CBitmap::FromHandle(::GetCurrentObject(m_hDC, OBJ_BITMAP));
}
CPalette* CDC::GetCurrentPalette() const {
    return CPalette::FromHandle(::GetCurrentObject(m_hDC, OBJ_PAL));
}

CPalette* CDC::SelectPalette(CPalette* pPalette, BOOL bForceBackground) {
    if (!pPalette)
        return NULL;
    return CPalette::FromHandle(
        ::SelectPalette(m_hDC, (HPALETTE)pPalette->m_hObject, bForceBackground));
}

CPoint CDC::GetViewportOrg() const {
    POINT p{0, 0};
    ::GetViewportOrgEx(m_hDC, &p);
    return p;
}
CPoint CDC::SetViewportOrg(int x, int y) {
    POINT p{0, 0};
    ::SetViewportOrgEx(m_hDC, x, y, &p);
    return p;
}
CPoint CDC::OffsetViewportOrg(int nWidth, int nHeight) {
    POINT p{0, 0};
    ::OffsetViewportOrgEx(m_hDC, nWidth, nHeight, &p);
    return p;
}
CPoint CDC::GetWindowOrg() const {
    POINT p{0, 0};
    ::GetWindowOrgEx(m_hDC, &p);
    return p;
}
CPoint CDC::SetWindowOrg(int x, int y) {
    POINT p{0, 0};
    ::SetWindowOrgEx(m_hDC, x, y, &p);
    return p;
}
CPoint CDC::OffsetWindowOrg(int nWidth, int nHeight) {
    POINT p{0, 0};
    ::OffsetWindowOrgEx(m_hDC, nWidth, nHeight, &p);
    return p;
}
CPoint CDC::GetBrushOrg() const {
    POINT p{0, 0};
    ::GetBrushOrgEx(m_hDC, &p);
    return p;
}
CPoint CDC::SetBrushOrg(int x, int y) {
    POINT p{0, 0};
    ::SetBrushOrgEx(m_hDC, x, y, &p);
    return p;
}

int CDC::SelectClipRgn(CRgn* pRgn) {
    return ::SelectClipRgn(m_hDC, pRgn ? (HRGN)pRgn->m_hObject : NULL);
}
int CDC::SelectClipRgn(CRgn* pRgn, int nMode) {
    return ::ExtSelectClipRgn(m_hDC, pRgn ? (HRGN)pRgn->m_hObject : NULL, nMode);
}

CPoint CDC::GetCurrentPosition() const {
    POINT p{0, 0};
    ::GetCurrentPositionEx(m_hDC, &p);
    return p;
}
CPoint CDC::MoveTo(int x, int y) {
    POINT p{0, 0};
    ::MoveToEx(m_hDC, x, y, &p);
    return p;
}

void CDC::FillRect(LPCRECT lpRect, CBrush* pBrush) {
    ::FillRect(m_hDC, lpRect, pBrush ? (HBRUSH)pBrush->m_hObject : NULL);
}
void CDC::FrameRect(LPCRECT lpRect, CBrush* pBrush) {
    ::FrameRect(m_hDC, lpRect, pBrush ? (HBRUSH)pBrush->m_hObject : NULL);
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
    ::SetBkColor(m_hDC, clr);
    ::ExtTextOut(m_hDC, 0, 0, ETO_OPAQUE, lpRect, NULL, 0, NULL);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
    CRect rc(x, y, x + cx, y + cy);
    FillSolidRect(&rc, clr);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight) {
    Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left,
               lpRect->bottom - lpRect->top, clrTopLeft, clrBottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight) {
    // Top and left stop short of the far corners, which belong to the bottom-right colour.
    FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
    FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
    FillSolidRect(x + cx, y, -1, cy, clrBottomRight);
    FillSolidRect(x, y + cy, cx, -1, clrBottomRight);
}

CSize CDC::GetTextExtent(LPCTSTR lpszString, int nCount) const {
    SIZE sz{0, 0};
    ::GetTextExtentPoint32(m_hDC, lpszString, nCount, &sz);
    return sz;
}

int CDC::GetTextFace(CString& rString) const {
    char name[LF_FACESIZE] = {};
    int n = ::GetTextFace(m_hDC, LF_FACESIZE, name);
    rString = name;
    return n;
}
