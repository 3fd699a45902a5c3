// Bitmap objects: creation and their pixels in the system's row layouts.
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/GdiFunctions.h"

#include <algorithm>

using namespace kel::gdi;

namespace {

constexpr int kMaxSide = 32767; // what an image surface can hold

int MonoRowBytes(int cx) {
    return ((cx + 15) / 16) * 2;
}

HGDIOBJ__* NewBitmap(int cx, int cy, bool mono) {
    if (cx <= 0 || cy <= 0 || cx > kMaxSide || cy > kMaxSide)
        return nullptr;
    SurfacePtr s = NewImage(cx, cy);
    if (cairo_surface_status(s.get()) != CAIRO_STATUS_SUCCESS)
        return nullptr;
    HGDIOBJ__* o = NewObject(Kind::Bitmap);
    if (!o)
        return nullptr;
    o->surface = std::move(s);
    o->mono = mono;
    return o;
}

// Writes rows in the layout of bpp (1, 24 or 32) into the bitmap; reading stops at cb bytes.
LONG WriteBits(HGDIOBJ__* o, int bpp, const unsigned char* src, size_t cb) {
    int cx = o->Width(), cy = o->Height();
    int rowBytes = bpp == 1 ? MonoRowBytes(cx) : bpp == 24 ? ((cx * 3 + 1) / 2) * 2 : cx * 4;
    cairo_surface_t* s = o->surface.get();
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    size_t used = 0;
    for (int y = 0; y < cy && used + (size_t)rowBytes <= cb; ++y, used += (size_t)rowBytes) {
        const unsigned char* row = src + (size_t)y * rowBytes;
        auto* out = reinterpret_cast<uint32_t*>(data + (size_t)y * stride);
        for (int x = 0; x < cx; ++x) {
            if (bpp == 1)
                out[x] = ((row[x / 8] >> (7 - x % 8)) & 1) ? 0xFFFFFFFFu : 0xFF000000u;
            else if (bpp == 24)
                out[x] = 0xFF000000u | ((uint32_t)row[x * 3 + 2] << 16) |
                         ((uint32_t)row[x * 3 + 1] << 8) | row[x * 3];
            else
                out[x] = 0xFF000000u | ((uint32_t)row[x * 4 + 2] << 16) |
                         ((uint32_t)row[x * 4 + 1] << 8) | row[x * 4];
        }
    }
    cairo_surface_mark_dirty(s);
    return (LONG)used;
}

} // namespace

HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits) {
    if (nWidth == 0 || nHeight == 0) // the system answers a 1 x 1 monochrome bitmap
        return NewBitmap(1, 1, true);
    if (nPlanes != 1 || (nBitCount != 1 && nBitCount != 24 && nBitCount != 32))
        return NULL;
    HGDIOBJ__* o = NewBitmap(nWidth, nHeight, nBitCount == 1);
    if (o && lpBits)
        WriteBits(o, (int)nBitCount, static_cast<const unsigned char*>(lpBits), SIZE_MAX);
    return o;
}

HBITMAP CreateBitmapIndirect(const BITMAP* pbm) {
    if (!pbm)
        return NULL;
    return CreateBitmap(pbm->bmWidth, pbm->bmHeight, pbm->bmPlanes, pbm->bmBitsPixel, pbm->bmBits);
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
    HDC__* dc = LiveDC(hdc);
    if (!dc || cx < 0 || cy < 0)
        return NULL;
    if (cx == 0 || cy == 0)
        return NewBitmap(1, 1, true);
    return NewBitmap(cx, cy, IsMono(*dc));
}

LONG GetBitmapBits(HBITMAP hbit, LONG cb, LPVOID lpvBits) {
    HGDIOBJ__* o = LiveObject(hbit, Kind::Bitmap);
    if (!o || cb <= 0 || !lpvBits)
        return 0;
    int cx = o->Width(), cy = o->Height();
    int rowBytes = o->mono ? MonoRowBytes(cx) : cx * 4;
    cairo_surface_t* s = o->surface.get();
    cairo_surface_flush(s);
    const unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    auto* out = static_cast<unsigned char*>(lpvBits);
    LONG done = 0;
    for (int y = 0; y < cy && done + rowBytes <= cb; ++y, done += rowBytes) {
        const auto* in = reinterpret_cast<const uint32_t*>(data + (size_t)y * stride);
        unsigned char* row = out + done;
        if (o->mono) {
            std::fill(row, row + rowBytes, 0);
            for (int x = 0; x < cx; ++x)
                if (in[x] & 0xFFFFFF)
                    row[x / 8] |= (unsigned char)(0x80 >> (x % 8));
        } else {
            for (int x = 0; x < cx; ++x) {
                row[x * 4] = in[x] & 0xFF;
                row[x * 4 + 1] = (in[x] >> 8) & 0xFF;
                row[x * 4 + 2] = (in[x] >> 16) & 0xFF;
                row[x * 4 + 3] = 0;
            }
        }
    }
    return done;
}

LONG SetBitmapBits(HBITMAP hbm, DWORD cb, const void* pvBits) {
    HGDIOBJ__* o = LiveObject(hbm, Kind::Bitmap);
    if (!o || !pvBits || o->stock)
        return 0;
    return WriteBits(o, o->mono ? 1 : 32, static_cast<const unsigned char*>(pvBits), cb);
}
