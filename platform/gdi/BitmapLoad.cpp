// Bitmap resources: artwork from rows of characters, LoadImage and the CBitmap loaders.
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/BitmapResource.h"
#include "platform/gdi/DC.h"
#include "platform/gdi/SystemColors.h"
#include "platform/core/Resources.h"

#include <map>
#include <stdexcept>
#include <string>
#include <tuple>

using namespace kel::gdi;

// ---------------------------------------------------------------------------
// Resource data.

COLORREF KelStandardColor(int nIndex) {
    static const COLORREF colors[16] = {
        RGB(0, 0, 0),       RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0),
        RGB(0, 0, 128),     RGB(128, 0, 128), RGB(0, 128, 128), RGB(192, 192, 192),
        RGB(128, 128, 128), RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(255, 255, 0),
        RGB(0, 0, 255),     RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255)};
    return nIndex >= 0 && nIndex < 16 ? colors[nIndex] : CLR_INVALID;
}

KelBitmapResource KelBitmapResource::FromRows(std::initializer_list<std::string_view> rows) {
    KelBitmapResource bm;
    bm.cy = (int)rows.size();
    bm.cx = rows.size() ? (int)rows.begin()->size() : 0;
    if (bm.cx == 0 || bm.cy == 0)
        throw std::invalid_argument("bitmap artwork is empty");
    bm.pixels.reserve((size_t)bm.cx * bm.cy);
    int y = 0;
    for (std::string_view row : rows) {
        if ((int)row.size() != bm.cx)
            throw std::invalid_argument("bitmap row " + std::to_string(y) + " has " +
                                        std::to_string(row.size()) + " pixels, expected " +
                                        std::to_string(bm.cx));
        for (int x = 0; x < bm.cx; ++x) {
            char c = row[(size_t)x];
            int v = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                           : -1;
            if (v < 0)
                throw std::invalid_argument("bitmap row " + std::to_string(y) + ", column " +
                                            std::to_string(x) + ": '" + std::string(1, c) +
                                            "' is not a colour digit (0-9, A-F)");
            bm.pixels.push_back(KelStandardColor(v));
        }
        ++y;
    }
    return bm;
}

void KelSetBitmapResource(HINSTANCE hModule, UINT nID, KelBitmapResource bitmap) {
    AfxSetResource(hModule, RT_BITMAP, MAKEINTRESOURCE(nID), std::move(bitmap));
}

// ---------------------------------------------------------------------------
// Loading.

namespace {

// A bitmap object from colours, row by row.
HGDIOBJ__* FromPixels(int cx, int cy, const std::vector<COLORREF>& px, bool mono) {
    HBITMAP h = CreateBitmap(cx, cy, 1, mono ? 1 : 32, nullptr);
    HGDIOBJ__* o = LiveObject(h, Kind::Bitmap);
    if (!o)
        return nullptr;
    cairo_surface_t* s = o->surface.get();
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < cy; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + (size_t)y * stride);
        for (int x = 0; x < cx; ++x) {
            COLORREF c = px[(size_t)y * cx + x];
            row[x] = ToPixel(mono ? ToMono(c) : c);
        }
    }
    cairo_surface_mark_dirty(s);
    return o;
}

// Stretches to cx x cy by picking the nearest source pixel.
std::vector<COLORREF> Resample(const KelBitmapResource& res, int cx, int cy) {
    std::vector<COLORREF> out((size_t)cx * cy);
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x)
            out[(size_t)y * cx + x] =
                res.GetPixel((int)((long)x * res.cx / cx), (int)((long)y * res.cy / cy));
    return out;
}

void MapColors(std::vector<COLORREF>& px, const COLORMAP* map, int n) {
    for (COLORREF& c : px)
        for (int i = 0; i < n; ++i)
            if ((c & 0xFFFFFF) == (map[i].from & 0xFFFFFF)) {
                c = map[i].to & 0xFFFFFF;
                break;
            }
}

using SharedKey = std::tuple<HINSTANCE, std::string, int, int, UINT>;
std::map<SharedKey, HGDIOBJ__*>& SharedImages() {
    static std::map<SharedKey, HGDIOBJ__*> shared;
    return shared;
}

std::string NameKey(LPCTSTR name) {
    if (!IS_INTRESOURCE(name))
        return name;
    // Appended, not "#" + ...: GCC 12 warns falsely (-Wrestrict) on that form at -O2.
    std::string key(1, '#');
    return key += std::to_string(static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
}

} // namespace

HANDLE LoadImage(HINSTANCE hInst, LPCTSTR name, UINT type, int cx, int cy, UINT fuLoad) {
    if (type != IMAGE_BITMAP || !name || cx < 0 || cy < 0)
        return NULL;
    SharedKey key{hInst, NameKey(name), cx, cy, fuLoad & ~LR_SHARED};
    if (fuLoad & LR_SHARED) {
        auto it = SharedImages().find(key);
        if (it != SharedImages().end() && LiveObject(it->second))
            return it->second;
    }
    const auto* res = AfxGetResourceData<KelBitmapResource>(hInst, RT_BITMAP, name);
    if (!res || res->cx <= 0 || res->cy <= 0 ||
        res->pixels.size() != (size_t)res->cx * (size_t)res->cy)
        return NULL;
    int w = cx ? cx : res->cx, h = cy ? cy : res->cy;
    std::vector<COLORREF> px = (w == res->cx && h == res->cy) ? res->pixels : Resample(*res, w, h);
    if (fuLoad & LR_LOADTRANSPARENT) {
        // The colour of the first pixel becomes the window colour (the face colour when the
        // 3D colours are asked for too).
        COLORREF to = GetSysColor((fuLoad & LR_LOADMAP3DCOLORS) ? COLOR_3DFACE : COLOR_WINDOW);
        COLORMAP m{res->pixels[0], to};
        MapColors(px, &m, 1);
    }
    if (fuLoad & LR_LOADMAP3DCOLORS) {
        COLORMAP m[3] = {{RGB(128, 128, 128), GetSysColor(COLOR_3DSHADOW)},
                         {RGB(192, 192, 192), GetSysColor(COLOR_3DFACE)},
                         {RGB(223, 223, 223), GetSysColor(COLOR_3DLIGHT)}};
        MapColors(px, m, 3);
    }
    HGDIOBJ__* o = FromPixels(w, h, px, (fuLoad & LR_MONOCHROME) != 0);
    if (o && (fuLoad & LR_SHARED)) {
        o->stock = true; // shared images belong to the system and are never deleted
        SharedImages()[key] = o;
    }
    return o;
}

HBITMAP LoadBitmap(HINSTANCE hInstance, LPCTSTR lpBitmapName) {
    return static_cast<HBITMAP>(LoadImage(hInstance, lpBitmapName, IMAGE_BITMAP, 0, 0, 0));
}

BOOL CBitmap::LoadBitmap(LPCTSTR lpszResourceName) {
    if (!lpszResourceName || m_hObject)
        return FALSE;
    HINSTANCE h = AfxFindResourceHandle(lpszResourceName, RT_BITMAP);
    return Attach(::LoadBitmap(h, lpszResourceName));
}

BOOL CBitmap::LoadMappedBitmap(UINT nIDBitmap, UINT nFlags, LPCOLORMAP lpColorMap, int nMapSize) {
    (void)nFlags; // no flags are defined
    if (m_hObject)
        return FALSE;
    LPCTSTR name = MAKEINTRESOURCE(nIDBitmap);
    HINSTANCE h = AfxFindResourceHandle(name, RT_BITMAP);
    const auto* res = AfxGetResourceData<KelBitmapResource>(h, RT_BITMAP, name);
    if (!res || res->pixels.size() != (size_t)res->cx * (size_t)res->cy || res->cx <= 0 ||
        res->cy <= 0)
        return FALSE;
    std::vector<COLORREF> px = res->pixels;
    if (lpColorMap && nMapSize > 0) {
        MapColors(px, lpColorMap, nMapSize);
    } else {
        COLORMAP m[4] = {{RGB(0, 0, 0), GetSysColor(COLOR_BTNTEXT)},
                         {RGB(128, 128, 128), GetSysColor(COLOR_BTNSHADOW)},
                         {RGB(192, 192, 192), GetSysColor(COLOR_BTNFACE)},
                         {RGB(255, 255, 255), GetSysColor(COLOR_BTNHIGHLIGHT)}};
        MapColors(px, m, 4);
    }
    return Attach(FromPixels(res->cx, res->cy, px, false));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
    if (!pDC)
        return FALSE;
    return Attach(::CreateCompatibleBitmap(pDC->m_hDC, nWidth, nHeight));
}
