// CGdiObject and the thin classes over it: ownership of handles and the temporary wrappers
// that FromHandle hands out.
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/DC.h"
#include "platform/gdi/ResourceException.h"
#include "platform/gdi/SurfaceDC.h"
#include "platform/gdi/SystemColors.h"

#include <cstdio>
#include <cstdlib>

using namespace kel::gdi;

IMPLEMENT_DYNCREATE(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CPalette, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)
IMPLEMENT_DYNAMIC(CResourceException, CException)

BOOL CResourceException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) {
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (!lpszError || nMaxError == 0)
        return FALSE;
    std::snprintf(lpszError, nMaxError, "%s", "A required resource was unavailable.");
    return TRUE;
}

void AfxThrowResourceException() {
    throw new CResourceException;
}

CGdiObject::~CGdiObject() {
    DeleteObject();
}

CGdiObject* PASCAL CGdiObject::FromHandle(HGDIOBJ hObject) {
    HGDIOBJ__* o = LiveObject(hObject);
    if (!o)
        return NULL;
    if (o->wrapper)
        return o->wrapper;
    if (o->temp)
        return o->temp;
    std::unique_ptr<CGdiObject> w;
    switch (o->kind) {
    case Kind::Pen:
        w = std::make_unique<CPen>();
        break;
    case Kind::Brush:
        w = std::make_unique<CBrush>();
        break;
    case Kind::Font:
        w = std::make_unique<CFont>();
        break;
    case Kind::Bitmap:
        w = std::make_unique<CBitmap>();
        break;
    case Kind::Palette:
        w = std::make_unique<CPalette>();
        break;
    case Kind::Region:
        w = std::make_unique<CRgn>();
        break;
    }
    w->m_hObject = hObject;
    o->temp = w.get();
    AdoptTempObject(std::move(w));
    return o->temp;
}

void PASCAL CGdiObject::DeleteTempMap() {
    FreeTempObjects();
}

int PASCAL CGdiObject::GetTempMapCount() {
    return TempObjectCount();
}

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
    HGDIOBJ__* o = LiveObject(hObject);
    if (!o || m_hObject)
        return FALSE;
    o->wrapper = this;
    m_hObject = hObject;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ h = m_hObject;
    if (HGDIOBJ__* o = LiveObject(h); o && o->wrapper == this)
        o->wrapper = nullptr;
    m_hObject = NULL;
    return h;
}

BOOL CGdiObject::DeleteObject() {
    if (!m_hObject)
        return FALSE;
    return ::DeleteObject(Detach());
}

BOOL CGdiObject::CreateStockObject(int nIndex) {
    return Attach(::GetStockObject(nIndex));
}

CPen::CPen(int nPenStyle, int nWidth, COLORREF crColor) {
    if (!CreatePen(nPenStyle, nWidth, crColor))
        AfxThrowResourceException();
}

CBrush::CBrush(COLORREF crColor) {
    if (!CreateSolidBrush(crColor))
        AfxThrowResourceException();
}

CBrush::CBrush(int nIndex, COLORREF crColor) {
    if (!CreateHatchBrush(nIndex, crColor))
        AfxThrowResourceException();
}

CBrush::CBrush(CBitmap* pBitmap) {
    if (!CreatePatternBrush(pBitmap))
        AfxThrowResourceException();
}

BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap) {
    return pBitmap && Attach(::CreatePatternBrush((HBITMAP)pBitmap->m_hObject));
}

BOOL CBrush::CreateSysColorBrush(int nIndex) {
    return Attach(::GetSysColorBrush(nIndex));
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC) {
    LOGFONT lf{};
    lf.lfHeight = nPointSize;
    if (lpszFaceName)
        std::snprintf(lf.lfFaceName, LF_FACESIZE, "%s", lpszFaceName);
    return CreatePointFontIndirect(&lf, pDC);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONT* lpLogFont, CDC* pDC) {
    if (!lpLogFont)
        return FALSE;
    LOGFONT lf = *lpLogFont;
    // Tenths of a point to pixels at the context's resolution, as a character height.
    int dpi = pDC && pDC->m_hDC ? pDC->GetDeviceCaps(LOGPIXELSY) : KelGetScreenDpi();
    long tenths = lf.lfHeight;
    lf.lfHeight = -(LONG)std::labs((dpi * tenths + (tenths >= 0 ? 360 : -360)) / 720);
    return CreateFontIndirect(&lf);
}

int CPalette::GetEntryCount() {
    WORD n = 0;
    return ::GetObject(m_hObject, sizeof(WORD), &n) ? n : 0;
}
