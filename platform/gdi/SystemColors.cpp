// The system colour table (the classic scheme) and its brushes.
#include "platform/gdi/SystemColors.h"
#include "platform/gdi/GdiInternal.h"

#include <array>

using namespace kel::gdi;

namespace {

constexpr int kColors = COLOR_MENUBAR + 1;

constexpr std::array<COLORREF, kColors> kClassic = {
    RGB(192, 192, 192), // COLOR_SCROLLBAR
    RGB(0, 128, 128),   // COLOR_BACKGROUND
    RGB(0, 0, 128),     // COLOR_ACTIVECAPTION
    RGB(128, 128, 128), // COLOR_INACTIVECAPTION
    RGB(192, 192, 192), // COLOR_MENU
    RGB(255, 255, 255), // COLOR_WINDOW
    RGB(0, 0, 0),       // COLOR_WINDOWFRAME
    RGB(0, 0, 0),       // COLOR_MENUTEXT
    RGB(0, 0, 0),       // COLOR_WINDOWTEXT
    RGB(255, 255, 255), // COLOR_CAPTIONTEXT
    RGB(192, 192, 192), // COLOR_ACTIVEBORDER
    RGB(192, 192, 192), // COLOR_INACTIVEBORDER
    RGB(128, 128, 128), // COLOR_APPWORKSPACE
    RGB(0, 0, 128),     // COLOR_HIGHLIGHT
    RGB(255, 255, 255), // COLOR_HIGHLIGHTTEXT
    RGB(192, 192, 192), // COLOR_BTNFACE
    RGB(128, 128, 128), // COLOR_BTNSHADOW
    RGB(128, 128, 128), // COLOR_GRAYTEXT
    RGB(0, 0, 0),       // COLOR_BTNTEXT
    RGB(192, 192, 192), // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255), // COLOR_BTNHIGHLIGHT
    RGB(0, 0, 0),       // COLOR_3DDKSHADOW
    RGB(223, 223, 223), // COLOR_3DLIGHT
    RGB(0, 0, 0),       // COLOR_INFOTEXT
    RGB(255, 255, 225), // COLOR_INFOBK
    RGB(181, 181, 181), // 25: unused by the system, kept for completeness
    RGB(0, 0, 255),     // COLOR_HOTLIGHT
    RGB(16, 132, 208),  // COLOR_GRADIENTACTIVECAPTION
    RGB(181, 181, 181), // COLOR_GRADIENTINACTIVECAPTION
    RGB(0, 0, 128),     // COLOR_MENUHILIGHT
    RGB(192, 192, 192), // COLOR_MENUBAR
};

std::array<COLORREF, kColors> g_colors = kClassic;
std::array<HGDIOBJ__*, kColors> g_brushes{};

} // namespace

DWORD GetSysColor(int nIndex) {
    return nIndex >= 0 && nIndex < kColors ? g_colors[nIndex] : 0;
}

HBRUSH GetSysColorBrush(int nIndex) {
    if (nIndex < 0 || nIndex >= kColors)
        return NULL;
    HGDIOBJ__*& b = g_brushes[nIndex];
    if (!b || !LiveObject(b)) {
        b = NewObject(Kind::Brush);
        if (!b)
            return NULL;
        b->brush = LOGBRUSH{BS_SOLID, g_colors[nIndex], 0};
        b->sysColor = nIndex; // the colour is looked up when drawing
        b->stock = true;
    }
    return b;
}

BOOL SetSysColors(int cElements, const INT* lpaElements, const COLORREF* lpaRgbValues) {
    if (cElements < 0 || (cElements > 0 && (!lpaElements || !lpaRgbValues)))
        return FALSE;
    BOOL ok = TRUE;
    for (int i = 0; i < cElements; ++i) {
        int k = lpaElements[i];
        if (k < 0 || k >= kColors) {
            ok = FALSE;
            continue;
        }
        g_colors[k] = lpaRgbValues[i] & 0x00FFFFFF;
    }
    return ok;
}

void KelResetSysColors() {
    g_colors = kClassic;
}
