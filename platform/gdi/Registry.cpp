// The registry of device contexts and graphics objects: creation, lookup, counted selection,
// deletion, stock objects and the temporary C++ wrappers.
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/DC.h"
#include "platform/gdi/SystemColors.h"

#include <array>
#include <cstdio>
#include <cstring>

namespace kel::gdi {
namespace {

bool g_gone = false; // set when the registry is destroyed at exit

struct World {
    std::unordered_map<HDC__*, std::unique_ptr<HDC__>> dcs;
    std::unordered_map<HGDIOBJ__*, std::unique_ptr<HGDIOBJ__>> objects;
    std::array<HGDIOBJ__*, DEFAULT_GUI_FONT + 2> stock{}; // and the memory contexts' bitmap
    std::vector<std::unique_ptr<CGdiObject>> tempObjects;
    std::vector<std::unique_ptr<CDC>> tempDCs;

    ~World() {
        FreeTempObjects();
        FreeTempDCs();
        dcs.clear(); // releases what the contexts still hold
        objects.clear();
        g_gone = true;
    }
};

World* TheWorld() {
    static World world;
    return g_gone ? nullptr : &world;
}

// The program is done with the handle: its C++ wrappers, attached or temporary, forget it.
void Forget(HGDIOBJ__* o) {
    for (CGdiObject* w : {o->wrapper, o->temp})
        if (w)
            w->m_hObject = NULL;
    o->wrapper = o->temp = nullptr;
}

// Frees an object's record.
void Destroy(World& w, HGDIOBJ__* o) {
    Forget(o);
    w.objects.erase(o);
}

HGDIOBJ__* MakeStock(int i) {
    HGDIOBJ__* o = nullptr;
    auto brush = [&](UINT style, COLORREF c) {
        o = NewObject(Kind::Brush);
        o->brush = LOGBRUSH{style, c, 0};
    };
    auto pen = [&](UINT style, COLORREF c) {
        o = NewObject(Kind::Pen);
        o->pen = LOGPEN{style, {1, 0}, c};
    };
    auto font = [&](LONG height, LONG weight, BYTE pitch, const char* face) {
        o = NewObject(Kind::Font);
        o->font.lfHeight = height;
        o->font.lfWeight = weight;
        o->font.lfPitchAndFamily = pitch;
        std::snprintf(o->font.lfFaceName, LF_FACESIZE, "%s", face);
    };
    switch (i) {
    case WHITE_BRUSH:
        brush(BS_SOLID, RGB(255, 255, 255));
        break;
    case LTGRAY_BRUSH:
        brush(BS_SOLID, RGB(192, 192, 192));
        break;
    case GRAY_BRUSH:
        brush(BS_SOLID, RGB(128, 128, 128));
        break;
    case DKGRAY_BRUSH:
        brush(BS_SOLID, RGB(64, 64, 64));
        break;
    case BLACK_BRUSH:
        brush(BS_SOLID, RGB(0, 0, 0));
        break;
    case NULL_BRUSH:
        brush(BS_NULL, 0);
        break;
    case WHITE_PEN:
        pen(PS_SOLID, RGB(255, 255, 255));
        break;
    case BLACK_PEN:
        pen(PS_SOLID, RGB(0, 0, 0));
        break;
    case NULL_PEN:
        pen(PS_NULL, 0);
        break;
    case OEM_FIXED_FONT:
        font(12, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Terminal");
        break;
    case ANSI_FIXED_FONT:
        font(12, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Courier");
        break;
    case ANSI_VAR_FONT:
        font(-11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif");
        break;
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
        font(16, FW_BOLD, VARIABLE_PITCH | FF_SWISS, "System");
        break;
    case SYSTEM_FIXED_FONT:
        font(15, FW_NORMAL, FIXED_PITCH | FF_MODERN, "Fixedsys");
        break;
    case DEFAULT_GUI_FONT:
        font(-11, FW_NORMAL, VARIABLE_PITCH | FF_SWISS, "MS Shell Dlg");
        break;
    case DEFAULT_PALETTE: {
        static const BYTE rgb[20][3] = {
            {0, 0, 0},       {128, 0, 0},     {0, 128, 0},     {128, 128, 0},   {0, 0, 128},
            {128, 0, 128},   {0, 128, 128},   {192, 192, 192}, {192, 220, 192}, {166, 202, 240},
            {255, 251, 240}, {160, 160, 164}, {128, 128, 128}, {255, 0, 0},     {0, 255, 0},
            {255, 255, 0},   {0, 0, 255},     {255, 0, 255},   {0, 255, 255},   {255, 255, 255}};
        o = NewObject(Kind::Palette);
        for (const auto& e : rgb)
            o->palette.push_back(PALETTEENTRY{e[0], e[1], e[2], 0});
        break;
    }
    case DEFAULT_GUI_FONT + 1:
        o = NewObject(Kind::Bitmap);
        o->surface = NewImage(1, 1);
        o->mono = true;
        break;
    default:
        return nullptr;
    }
    o->stock = true;
    return o;
}

} // namespace

HGDIOBJ__* LiveObject(HGDIOBJ h) {
    World* w = TheWorld();
    if (!w || !h)
        return nullptr;
    FlushPendingText(); // a bitmap's pixels may be read or copied
    auto it = w->objects.find(h);
    return it == w->objects.end() || it->second->deleted ? nullptr : it->second.get();
}

HGDIOBJ__* LiveObject(HGDIOBJ h, Kind kind) {
    HGDIOBJ__* o = LiveObject(h);
    return o && o->kind == kind ? o : nullptr;
}

HGDIOBJ__* NewObject(Kind kind) {
    World* w = TheWorld();
    if (!w)
        return nullptr;
    auto o = std::make_unique<HGDIOBJ__>(kind);
    HGDIOBJ__* p = o.get();
    w->objects.emplace(p, std::move(o));
    return p;
}

HDC__* LiveDCKeepingText(HDC h) {
    World* w = TheWorld();
    if (!w || !h)
        return nullptr;
    auto it = w->dcs.find(h);
    return it == w->dcs.end() ? nullptr : it->second.get();
}

HDC__* LiveDC(HDC h) {
    HDC__* dc = LiveDCKeepingText(h);
    if (dc)
        FlushPendingText();
    return dc;
}

HDC__* NewDC() {
    World* w = TheWorld();
    if (!w)
        return nullptr;
    auto d = std::make_unique<HDC__>();
    HDC__* p = d.get();
    w->dcs.emplace(p, std::move(d));
    return p;
}

void FreeDC(HDC__* dc) {
    World* w = TheWorld();
    if (!w)
        return;
    if (dc->wrapper)
        dc->wrapper->m_hDC = dc->wrapper->m_hAttribDC = NULL;
    if (dc->temp)
        dc->temp->m_hDC = dc->temp->m_hAttribDC = NULL;
    if (dc->st.bitmap && dc->st.bitmap->selectedInto == dc)
        dc->st.bitmap->selectedInto = nullptr;
    w->dcs.erase(dc);
}

void Acquire(HGDIOBJ__* o) {
    if (o)
        ++o->refs;
}

void Release(HGDIOBJ__* o) {
    if (!o || --o->refs > 0 || !o->deleted)
        return;
    if (World* w = TheWorld())
        Destroy(*w, o);
}

HGDIOBJ__* StockObject(int i) {
    World* w = TheWorld();
    if (!w || i < 0 || i >= (int)w->stock.size())
        return nullptr;
    if (!w->stock[i])
        w->stock[i] = MakeStock(i);
    return w->stock[i];
}

HGDIOBJ__* DefaultBitmap() {
    return StockObject(DEFAULT_GUI_FONT + 1);
}

void AdoptTempObject(std::unique_ptr<CGdiObject> wrapper) {
    if (World* w = TheWorld())
        w->tempObjects.push_back(std::move(wrapper));
}

void FreeTempObjects() {
    World* w = TheWorld();
    if (!w)
        return;
    for (auto& t : w->tempObjects) {
        if (HGDIOBJ__* o = LiveObject(t->m_hObject); o && o->temp == t.get())
            o->temp = nullptr;
        t->m_hObject = NULL;
    }
    w->tempObjects.clear();
}

int TempObjectCount() {
    World* w = TheWorld();
    return w ? (int)w->tempObjects.size() : 0;
}

void AdoptTempDC(std::unique_ptr<CDC> wrapper) {
    if (World* w = TheWorld())
        w->tempDCs.push_back(std::move(wrapper));
}

void FreeTempDCs() {
    World* w = TheWorld();
    if (!w)
        return;
    for (auto& t : w->tempDCs) {
        if (HDC__* d = LiveDC(t->m_hDC); d && d->temp == t.get())
            d->temp = nullptr;
        t->m_hDC = t->m_hAttribDC = NULL;
    }
    w->tempDCs.clear();
}

} // namespace kel::gdi

using namespace kel::gdi;

HGDIOBJ GetStockObject(int i) {
    return i >= 0 && i <= DEFAULT_GUI_FONT ? StockObject(i) : NULL;
}

BOOL DeleteObject(HGDIOBJ ho) {
    HGDIOBJ__* o = LiveObject(ho);
    if (!o)
        return FALSE;
    if (o->stock)
        return TRUE;
    if (o->refs > 0) {
        // Still drawn with: freed when the last context lets go. The temporary wrapper lets
        // go now too, as DeleteTempMap no longer finds the deleted record to unlink it.
        o->deleted = true;
        Forget(o);
        return TRUE;
    }
    if (World* w = TheWorld())
        Destroy(*w, o);
    return TRUE;
}

DWORD GetObjectType(HGDIOBJ h) {
    HGDIOBJ__* o = LiveObject(h);
    return o ? (DWORD)o->kind : 0;
}

DWORD GetObjectType(HDC h) {
    HDC__* dc = LiveDC(h);
    return dc ? (dc->memory ? OBJ_MEMDC : OBJ_DC) : 0;
}

int GetObject(HGDIOBJ h, int c, LPVOID pv) {
    HGDIOBJ__* o = LiveObject(h);
    if (!o || c < 0)
        return 0;
    auto copy = [&](const void* src, int size) {
        if (!pv)
            return size;
        int n = c < size ? c : size;
        std::memcpy(pv, src, (size_t)n);
        return n;
    };
    switch (o->kind) {
    case Kind::Pen:
        return copy(&o->pen, sizeof(LOGPEN));
    case Kind::Brush: {
        LOGBRUSH lb = o->brush;
        if (o->sysColor >= 0)
            lb.lbColor = GetSysColor(o->sysColor);
        return copy(&lb, sizeof(LOGBRUSH));
    }
    case Kind::Font:
        return copy(&o->font, sizeof(LOGFONT));
    case Kind::Bitmap: {
        BITMAP bm{};
        bm.bmWidth = o->Width();
        bm.bmHeight = o->Height();
        bm.bmPlanes = 1;
        bm.bmBitsPixel = o->mono ? 1 : 32;
        bm.bmWidthBytes = o->mono ? ((bm.bmWidth + 15) / 16) * 2 : bm.bmWidth * 4;
        return copy(&bm, sizeof(BITMAP));
    }
    case Kind::Palette: {
        WORD n = (WORD)o->palette.size();
        return copy(&n, sizeof(WORD));
    }
    case Kind::Region:
        return 0;
    }
    return 0;
}
