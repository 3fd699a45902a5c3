#include "companions/controls/ControlDrawing.h"

#include "platform/core/Resources.h"
#include "platform/gdi/SystemColors.h"

#include <vector>

namespace {

COLORREF TopLeftPixel(HBITMAP hbm) {
    CDC mem;
    if (!mem.CreateCompatibleDC(nullptr))
        return CLR_NONE;
    HGDIOBJ old = ::SelectObject(mem.GetSafeHdc(), hbm);
    const COLORREF cr = mem.GetPixel(0, 0);
    ::SelectObject(mem.GetSafeHdc(), old);
    return cr;
}

HINSTANCE ModuleOf(HINSTANCE hInstance, LPCTSTR name) {
    return hInstance != nullptr ? hInstance : AfxFindResourceHandle(name, RT_BITMAP);
}

// Bitmap nID of the module (NULL: the resource chain) into bitmap; FALSE when it is missing.
BOOL LoadStrip(HINSTANCE hInstance, UINT nID, CBitmap& bitmap, BITMAP& bm) {
    LPCTSTR name = MAKEINTRESOURCE(nID);
    auto hbm =
        static_cast<HBITMAP>(::LoadImage(ModuleOf(hInstance, name), name, IMAGE_BITMAP, 0, 0, 0));
    if (hbm == nullptr)
        return FALSE;
    bitmap.Attach(hbm);
    return bitmap.GetBitmap(&bm) && bm.bmWidth > 0 && bm.bmHeight > 0;
}

} // namespace

BOOL KelGetBitmapSize(HINSTANCE hInstance, UINT nID, CSize& size) {
    CBitmap bitmap;
    BITMAP bm{};
    if (!LoadStrip(hInstance, nID, bitmap, bm))
        return FALSE;
    size = CSize(bm.bmWidth, bm.bmHeight);
    return TRUE;
}

BOOL KelLoadImageStrip(CImageList& list, HINSTANCE hInstance, UINT nID, int cx, int cy,
                       COLORREF crMask) {
    CBitmap strip;
    BITMAP bm{};
    if (!LoadStrip(hInstance, nID, strip, bm))
        return FALSE;
    if (cy <= 0)
        cy = bm.bmHeight;
    if (cx <= 0)
        cx = cy;
    if (crMask == CLR_DEFAULT)
        crMask = TopLeftPixel(static_cast<HBITMAP>(strip.GetSafeHandle()));
    else if (crMask != CLR_NONE)
        crMask &= 0x00FFFFFF;
    CImageList images;
    const UINT flags = ILC_COLOR32 | (crMask != CLR_NONE ? ILC_MASK : 0);
    if (!images.Create(cx, cy, flags, bm.bmWidth / cx + 1, 4))
        return FALSE;
    const int first = crMask != CLR_NONE ? images.Add(&strip, crMask)
                                         : images.Add(&strip, static_cast<CBitmap*>(nullptr));
    if (first < 0)
        return FALSE;
    list.DeleteImageList();
    list.Attach(images.Detach());
    return TRUE;
}

void KelDrawDisabledImage(CDC* pDC, CImageList& list, int nImage, CPoint pt) {
    IMAGEINFO info{};
    if (pDC == nullptr || !list.GetImageInfo(nImage, &info))
        return;
    const CRect rc(info.rcImage);
    CDC image, mask;
    if (!image.CreateCompatibleDC(pDC) || !mask.CreateCompatibleDC(pDC))
        return;
    HGDIOBJ oldImage = ::SelectObject(image.GetSafeHdc(), info.hbmImage);
    HGDIOBJ oldMask = info.hbmMask ? ::SelectObject(mask.GetSafeHdc(), info.hbmMask) : nullptr;
    // The shape: opaque pixels darker than the light grey of the classic palette.
    std::vector<CPoint> shape;
    for (int y = 0; y < rc.Height(); ++y) {
        for (int x = 0; x < rc.Width(); ++x) {
            if (info.hbmMask && mask.GetPixel(rc.left + x, rc.top + y) == RGB(255, 255, 255))
                continue;
            const COLORREF c = image.GetPixel(rc.left + x, rc.top + y);
            const int luma = (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100;
            if (luma < 192)
                shape.emplace_back(x, y);
        }
    }
    ::SelectObject(image.GetSafeHdc(), oldImage);
    if (info.hbmMask)
        ::SelectObject(mask.GetSafeHdc(), oldMask);
    const COLORREF highlight = ::GetSysColor(COLOR_3DHILIGHT);
    const COLORREF shadow = ::GetSysColor(COLOR_3DSHADOW);
    for (const CPoint& p : shape)
        pDC->SetPixelV(pt.x + p.x + 1, pt.y + p.y + 1, highlight);
    for (const CPoint& p : shape)
        pDC->SetPixelV(pt.x + p.x, pt.y + p.y, shadow);
}

void KelDrawDisabledText(CDC* pDC, LPCTSTR lpszText, const CRect& rc, UINT nFormat) {
    const COLORREF old = pDC->GetTextColor();
    const int mode = pDC->SetBkMode(TRANSPARENT);
    CRect shifted = rc;
    shifted.OffsetRect(1, 1);
    pDC->SetTextColor(::GetSysColor(COLOR_3DHILIGHT));
    pDC->DrawText(lpszText, -1, shifted, nFormat);
    pDC->SetTextColor(::GetSysColor(COLOR_3DSHADOW));
    pDC->DrawText(lpszText, -1, const_cast<CRect&>(rc), nFormat);
    pDC->SetTextColor(old);
    pDC->SetBkMode(mode);
}
