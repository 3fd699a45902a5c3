// Logical palettes.
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/GdiFunctions.h"

#include <algorithm>
#include <climits>

using namespace kel::gdi;

HPALETTE CreatePalette(const LOGPALETTE* plpal) {
    if (!plpal || plpal->palVersion != 0x300 || plpal->palNumEntries == 0)
        return NULL;
    HGDIOBJ__* o = NewObject(Kind::Palette);
    if (o)
        o->palette.assign(plpal->palPalEntry, plpal->palPalEntry + plpal->palNumEntries);
    return o;
}

UINT GetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, LPPALETTEENTRY pPalEntries) {
    HGDIOBJ__* o = LiveObject(hpal, Kind::Palette);
    if (!o)
        return 0;
    UINT size = (UINT)o->palette.size();
    if (!pPalEntries)
        return size;
    if (iStart >= size)
        return 0;
    UINT n = std::min(cEntries, size - iStart);
    std::copy_n(o->palette.begin() + iStart, n, pPalEntries);
    return n;
}

UINT SetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, const PALETTEENTRY* pPalEntries) {
    HGDIOBJ__* o = LiveObject(hpal, Kind::Palette);
    if (!o || o->stock || !pPalEntries || iStart >= o->palette.size())
        return 0;
    UINT n = std::min(cEntries, (UINT)o->palette.size() - iStart);
    std::copy_n(pPalEntries, n, o->palette.begin() + iStart);
    return n;
}

UINT GetNearestPaletteIndex(HPALETTE h, COLORREF color) {
    HGDIOBJ__* o = LiveObject(h, Kind::Palette);
    if (!o || o->palette.empty())
        return CLR_INVALID;
    UINT best = 0;
    long bestDist = LONG_MAX;
    for (size_t i = 0; i < o->palette.size(); ++i) {
        const PALETTEENTRY& e = o->palette[i];
        long dr = (long)e.peRed - GetRValue(color), dg = (long)e.peGreen - GetGValue(color),
             db = (long)e.peBlue - GetBValue(color);
        long d = dr * dr + dg * dg + db * db;
        if (d < bestDist) {
            bestDist = d;
            best = (UINT)i;
        }
    }
    return best;
}

BOOL ResizePalette(HPALETTE hpal, UINT n) {
    HGDIOBJ__* o = LiveObject(hpal, Kind::Palette);
    if (!o || o->stock || n == 0 || n > 1024)
        return FALSE;
    o->palette.resize(n, PALETTEENTRY{0, 0, 0, 0});
    return TRUE;
}
