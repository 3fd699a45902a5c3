// CImageList: a strip of images of one size with a monochrome mask beside it.
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/DC.h"
#include "platform/gdi/ImageList.h"
#include "platform/gdi/SystemColors.h"
#include "platform/core/Resources.h"

#include <unordered_set>

using namespace kel::gdi;

// The list behind an HIMAGELIST. Images lie side by side in one bitmap, image i at x = i * cx;
// the mask bitmap (lists made with ILC_MASK) is white where an image is transparent.
struct KelImageList {
    int cx = 0, cy = 0;
    UINT flags = 0;
    int grow = 4;
    int count = 0;
    COLORREF bk = CLR_NONE;
    CBitmap image;
    CBitmap mask;
    SurfacePtr alpha; // the mask as cairo alpha, made when first drawn after a change

    bool Masked() const { return (flags & ILC_MASK) != 0; }
    int Capacity() const {
        HGDIOBJ__* o = LiveObject(image.m_hObject, Kind::Bitmap);
        return o ? o->Width() / cx : 0;
    }
};

namespace {

bool g_listsGone = false;

// The lists alive, for checking handles. Lists destroyed after it at exit are let go quietly.
std::unordered_set<KelImageList*>* Lists() {
    static struct Holder {
        std::unordered_set<KelImageList*> lists;
        ~Holder() { g_listsGone = true; }
    } holder;
    return g_listsGone ? nullptr : &holder.lists;
}

KelImageList* Live(HIMAGELIST h) {
    return h && Lists() && Lists()->count(h) ? h : nullptr;
}

cairo_surface_t* SurfaceOf(const CBitmap& bm) {
    HGDIOBJ__* o = LiveObject(bm.m_hObject, Kind::Bitmap);
    return o ? o->surface.get() : nullptr;
}

void Copy(cairo_surface_t* from, int fx, int fy, int w, int h, cairo_surface_t* to, int tx,
          int ty) {
    cairo_surface_flush(from);
    ContextPtr cr(cairo_create(to));
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr.get(), from, tx - fx, ty - fy);
    cairo_rectangle(cr.get(), tx, ty, w, h);
    cairo_fill(cr.get());
    cairo_surface_flush(to);
}

// Makes room for n images.
bool Reserve(KelImageList& il, int n) {
    int cap = il.Capacity();
    if (n <= cap)
        return true;
    int newCap = std::max(n, cap + std::max(1, il.grow));
    CBitmap image, mask;
    if (!image.CreateBitmap(newCap * il.cx, il.cy, 1, 32, nullptr))
        return false;
    if (il.Masked() && !mask.CreateBitmap(newCap * il.cx, il.cy, 1, 1, nullptr))
        return false;
    if (cap > 0) {
        Copy(SurfaceOf(il.image), 0, 0, cap * il.cx, il.cy, SurfaceOf(image), 0, 0);
        if (il.Masked())
            Copy(SurfaceOf(il.mask), 0, 0, cap * il.cx, il.cy, SurfaceOf(mask), 0, 0);
    }
    il.image.DeleteObject();
    il.image.Attach(image.Detach());
    if (il.Masked()) {
        il.mask.DeleteObject();
        il.mask.Attach(mask.Detach());
    }
    il.alpha.reset();
    return true;
}

// Puts images from a bitmap into slots first.. of the list. transparent(x, y, pixel) tells
// which source pixels the mask hides; pixels beyond the source are transparent.
template <class IsClear>
int Put(KelImageList& il, int first, cairo_surface_t* src, int n, IsClear transparent) {
    cairo_surface_t* img = SurfaceOf(il.image);
    cairo_surface_t* msk = il.Masked() ? SurfaceOf(il.mask) : nullptr;
    cairo_surface_flush(src);
    cairo_surface_flush(img);
    if (msk)
        cairo_surface_flush(msk);
    int sw = cairo_image_surface_get_width(src), sh = cairo_image_surface_get_height(src);
    const unsigned char* sdata = cairo_image_surface_get_data(src);
    int sstride = cairo_image_surface_get_stride(src);
    unsigned char* idata = cairo_image_surface_get_data(img);
    int istride = cairo_image_surface_get_stride(img);
    unsigned char* mdata = msk ? cairo_image_surface_get_data(msk) : nullptr;
    int mstride = msk ? cairo_image_surface_get_stride(msk) : 0;
    for (int i = 0; i < n; ++i) {
        for (int y = 0; y < il.cy; ++y) {
            auto* irow = reinterpret_cast<uint32_t*>(idata + (size_t)y * istride);
            auto* mrow = mdata ? reinterpret_cast<uint32_t*>(mdata + (size_t)y * mstride) : nullptr;
            for (int x = 0; x < il.cx; ++x) {
                int sx = i * il.cx + x, dx = (first + i) * il.cx + x;
                bool inside = sx < sw && y < sh;
                uint32_t px =
                    inside ? reinterpret_cast<const uint32_t*>(sdata + (size_t)y * sstride)[sx]
                           : 0xFF000000u;
                bool clear = !inside || transparent(sx, y, px);
                // Hidden pixels are kept black, so the image also draws right with SRCINVERT.
                irow[dx] = (clear && mrow) ? 0xFF000000u : (px | 0xFF000000u);
                if (mrow)
                    mrow[dx] = clear ? 0xFFFFFFFFu : 0xFF000000u;
            }
        }
    }
    cairo_surface_mark_dirty(img);
    if (msk)
        cairo_surface_mark_dirty(msk);
    il.alpha.reset();
    return first;
}

// The transparency test of a mask bitmap for Put: its white pixels hide; pixels beyond it, or
// every pixel without a mask, do not.
class MaskBits {
public:
    explicit MaskBits(cairo_surface_t* mask) {
        if (!mask)
            return;
        cairo_surface_flush(mask);
        m_data = cairo_image_surface_get_data(mask);
        m_stride = cairo_image_surface_get_stride(mask);
        m_width = cairo_image_surface_get_width(mask);
        m_height = cairo_image_surface_get_height(mask);
    }
    bool operator()(int x, int y, uint32_t) const {
        if (!m_data || x >= m_width || y >= m_height)
            return false;
        const auto* row = reinterpret_cast<const uint32_t*>(m_data + (size_t)y * m_stride);
        return (row[x] & 0xFFFFFF) != 0;
    }

private:
    const unsigned char* m_data = nullptr;
    int m_stride = 0, m_width = 0, m_height = 0;
};

int ImageCountIn(cairo_surface_t* src, int cx) {
    return std::max(1, cairo_image_surface_get_width(src) / cx);
}

// The mask as an alpha surface: opaque where the mask is black.
cairo_surface_t* Alpha(KelImageList& il) {
    if (il.alpha)
        return il.alpha.get();
    cairo_surface_t* msk = SurfaceOf(il.mask);
    int w = cairo_image_surface_get_width(msk), h = cairo_image_surface_get_height(msk);
    il.alpha.reset(cairo_image_surface_create(CAIRO_FORMAT_A8, w, h));
    cairo_surface_flush(msk);
    cairo_surface_flush(il.alpha.get());
    const unsigned char* mdata = cairo_image_surface_get_data(msk);
    unsigned char* adata = cairo_image_surface_get_data(il.alpha.get());
    int ms = cairo_image_surface_get_stride(msk),
        as = cairo_image_surface_get_stride(il.alpha.get());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            adata[(size_t)y * as + x] =
                (reinterpret_cast<const uint32_t*>(mdata + (size_t)y * ms)[x] & 0xFFFFFF) ? 0 : 255;
    cairo_surface_mark_dirty(il.alpha.get());
    return il.alpha.get();
}

BOOL DrawImage(KelImageList& il, int i, HDC hdc, int x, int y, UINT style) {
    HDC__* dc = LiveDC(hdc);
    if (!dc || i < 0 || i >= il.count)
        return FALSE;
    int sx = x + dc->OffX(), sy = y + dc->OffY();
    int ix = i * il.cx;
    cairo_t* cr = dc->cr.get();
    cairo_save(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_rectangle(cr, sx, sy, il.cx, il.cy);
    cairo_clip(cr);
    if (style & ILD_MASK) {
        cairo_surface_t* m = il.Masked() ? SurfaceOf(il.mask) : nullptr;
        if (m) {
            cairo_surface_flush(m);
            cairo_set_source_surface(cr, m, sx - ix, sy);
        } else {
            SetSourceColor(cr, RGB(0, 0, 0)); // no mask: every pixel is opaque
        }
        cairo_paint(cr);
        cairo_restore(cr);
        return TRUE;
    }
    bool transparent = il.Masked() && ((style & ILD_TRANSPARENT) || il.bk == CLR_NONE);
    if (il.Masked() && !transparent) {
        SetSourceColor(cr, Resolve(*dc, il.bk));
        cairo_paint(cr);
    }
    cairo_surface_t* img = SurfaceOf(il.image);
    cairo_surface_flush(img);
    cairo_set_source_surface(cr, img, sx - ix, sy);
    cairo_surface_t* alpha = il.Masked() ? Alpha(il) : nullptr;
    if (alpha)
        cairo_mask_surface(cr, alpha, sx - ix, sy);
    else
        cairo_paint(cr);
    if (style & (ILD_BLEND25 | ILD_BLEND50)) {
        // Focused (25 %) or selected (50 %) images take on the highlight colour.
        COLORREF h = GetSysColor(COLOR_HIGHLIGHT);
        cairo_set_source_rgba(cr, GetRValue(h) / 255.0, GetGValue(h) / 255.0, GetBValue(h) / 255.0,
                              (style & ILD_BLEND50) ? 0.5 : 0.25);
        if (alpha)
            cairo_mask_surface(cr, alpha, sx - ix, sy);
        else
            cairo_paint(cr);
    }
    cairo_restore(cr);
    return TRUE;
}

} // namespace

IMPLEMENT_DYNCREATE(CImageList, CObject)

CImageList::~CImageList() {
    DeleteImageList();
}

BOOL CImageList::Create(int cx, int cy, UINT nFlags, int nInitial, int nGrow) {
    if (m_hImageList || cx <= 0 || cy <= 0)
        return FALSE;
    auto il = std::make_unique<KelImageList>();
    il->cx = cx;
    il->cy = cy;
    il->flags = nFlags;
    il->grow = std::max(1, nGrow);
    if (!Reserve(*il, std::max(1, nInitial)))
        return FALSE;
    if (!Lists())
        return FALSE;
    m_hImageList = il.release(); // owned by this object until DeleteImageList
    Lists()->insert(m_hImageList);
    return TRUE;
}

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask) {
    return Create(MAKEINTRESOURCE(nBitmapID), cx, nGrow, crMask);
}

BOOL CImageList::Create(LPCTSTR lpszBitmapID, int cx, int nGrow, COLORREF crMask) {
    CBitmap bm;
    if (m_hImageList || cx <= 0 || !bm.LoadBitmap(lpszBitmapID))
        return FALSE;
    BITMAP info{};
    bm.GetBitmap(&info);
    if (!Create(cx, info.bmHeight, ILC_COLOR | ILC_MASK, info.bmWidth / cx, nGrow))
        return FALSE;
    if (Add(&bm, crMask) < 0) {
        DeleteImageList();
        return FALSE;
    }
    return TRUE;
}

BOOL CImageList::DeleteImageList() {
    KelImageList* il = Live(Detach());
    if (!il)
        return FALSE;
    Lists()->erase(il);
    delete il;
    return TRUE;
}

BOOL CImageList::Attach(HIMAGELIST hImageList) {
    if (m_hImageList || !Live(hImageList))
        return FALSE;
    m_hImageList = hImageList;
    return TRUE;
}

HIMAGELIST CImageList::Detach() {
    HIMAGELIST h = m_hImageList;
    m_hImageList = NULL;
    return h;
}

int CImageList::GetImageCount() const {
    return ImageList_GetImageCount(m_hImageList);
}

BOOL CImageList::GetImageInfo(int nImage, IMAGEINFO* pImageInfo) const {
    KelImageList* il = Live(m_hImageList);
    if (!il || !pImageInfo || nImage < 0 || nImage >= il->count)
        return FALSE;
    pImageInfo->hbmImage = (HBITMAP)il->image.m_hObject;
    pImageInfo->hbmMask = il->Masked() ? (HBITMAP)il->mask.m_hObject : NULL;
    pImageInfo->Unused1 = pImageInfo->Unused2 = 0;
    pImageInfo->rcImage = RECT{nImage * il->cx, 0, (nImage + 1) * il->cx, il->cy};
    return TRUE;
}

COLORREF CImageList::SetBkColor(COLORREF cr) {
    KelImageList* il = Live(m_hImageList);
    if (!il)
        return CLR_NONE;
    COLORREF old = il->bk;
    il->bk = cr;
    return old;
}

COLORREF CImageList::GetBkColor() const {
    KelImageList* il = Live(m_hImageList);
    return il ? il->bk : CLR_NONE;
}

int CImageList::Add(CBitmap* pbmImage, CBitmap* pbmMask) {
    KelImageList* il = Live(m_hImageList);
    cairo_surface_t* src = pbmImage ? SurfaceOf(*pbmImage) : nullptr;
    if (!il || !src)
        return -1;
    cairo_surface_t* msk = pbmMask ? SurfaceOf(*pbmMask) : nullptr;
    if (pbmMask && !msk)
        return -1;
    int n = ImageCountIn(src, il->cx);
    if (!Reserve(*il, il->count + n))
        return -1;
    int first = Put(*il, il->count, src, n, MaskBits(msk));
    il->count += n;
    return first;
}

int CImageList::Add(CBitmap* pbmImage, COLORREF crMask) {
    KelImageList* il = Live(m_hImageList);
    cairo_surface_t* src = pbmImage ? SurfaceOf(*pbmImage) : nullptr;
    if (!il || !src)
        return -1;
    int n = ImageCountIn(src, il->cx);
    if (!Reserve(*il, il->count + n))
        return -1;
    cairo_surface_flush(src);
    uint32_t key = ToPixel(crMask) & 0xFFFFFF;
    if (crMask == CLR_DEFAULT) // the colour of the top-left pixel
        key = *reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(src)) & 0xFFFFFF;
    bool none = crMask == CLR_NONE;
    int first = Put(*il, il->count, src, n,
                    [&](int, int, uint32_t px) { return !none && (px & 0xFFFFFF) == key; });
    il->count += n;
    return first;
}

BOOL CImageList::Replace(int nImage, CBitmap* pbmImage, CBitmap* pbmMask) {
    KelImageList* il = Live(m_hImageList);
    cairo_surface_t* src = pbmImage ? SurfaceOf(*pbmImage) : nullptr;
    if (!il || !src || nImage < 0 || nImage >= il->count)
        return FALSE;
    Put(*il, nImage, src, 1, MaskBits(pbmMask ? SurfaceOf(*pbmMask) : nullptr));
    return TRUE;
}

BOOL CImageList::Remove(int nImage) {
    KelImageList* il = Live(m_hImageList);
    if (!il || nImage < -1 || nImage >= il->count)
        return FALSE;
    if (nImage == -1) {
        il->count = 0;
        return TRUE;
    }
    int tail = il->count - nImage - 1;
    if (tail > 0) {
        // Shift the later images left through a copy (source and target overlap).
        for (CBitmap* bm : {&il->image, &il->mask}) {
            cairo_surface_t* s = SurfaceOf(*bm);
            if (!s)
                continue;
            SurfacePtr tmp = NewImage(tail * il->cx, il->cy);
            Copy(s, (nImage + 1) * il->cx, 0, tail * il->cx, il->cy, tmp.get(), 0, 0);
            Copy(tmp.get(), 0, 0, tail * il->cx, il->cy, s, nImage * il->cx, 0);
        }
    }
    --il->count;
    il->alpha.reset();
    return TRUE;
}

BOOL CImageList::Draw(CDC* pDC, int nImage, POINT pt, UINT nStyle) {
    return pDC && ImageList_Draw(m_hImageList, nImage, pDC->m_hDC, pt.x, pt.y, nStyle);
}

int ImageList_GetImageCount(HIMAGELIST himl) {
    KelImageList* il = Live(himl);
    return il ? il->count : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy) {
    KelImageList* il = Live(himl);
    if (!il || !cx || !cy)
        return FALSE;
    *cx = il->cx;
    *cy = il->cy;
    return TRUE;
}

BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle) {
    KelImageList* il = Live(himl);
    return il && DrawImage(*il, i, hdcDst, x, y, fStyle);
}
