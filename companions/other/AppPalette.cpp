#include "companions/other/AppPalette.h"

#include "platform/gdi/BitmapResource.h"

#include <algorithm>
#include <vector>

CAppPalette AppPalette;

BOOL CAppPalette::EnsureCreated() {
    if (m_hObject != NULL)
        return TRUE;
    std::vector<COLORREF> colors;
    for (int i = 0; i < 16; ++i)
        colors.push_back(KelStandardColor(i));
    static const BYTE kLevels[] = {0, 51, 102, 153, 204, 255};
    for (BYTE r : kLevels) {
        for (BYTE g : kLevels) {
            for (BYTE b : kLevels) {
                const COLORREF c = RGB(r, g, b);
                if (std::find(colors.begin(), colors.end(), c) == colors.end())
                    colors.push_back(c);
            }
        }
    }
    std::vector<BYTE> buffer(sizeof(LOGPALETTE) + colors.size() * sizeof(PALETTEENTRY));
    auto* pal = reinterpret_cast<LOGPALETTE*>(buffer.data());
    pal->palVersion = 0x300;
    pal->palNumEntries = static_cast<WORD>(colors.size());
    PALETTEENTRY* entries = pal->palPalEntry; // the entries run on past the declared one
    for (size_t i = 0; i < colors.size(); ++i)
        entries[i] =
            PALETTEENTRY{GetRValue(colors[i]), GetGValue(colors[i]), GetBValue(colors[i]), 0};
    return CreatePalette(pal);
}

CPalette* CAppPalette::UsePalette(CDC* pDC, BOOL bForceBackground) {
    if (pDC == nullptr || pDC->GetSafeHdc() == nullptr || !EnsureCreated())
        return nullptr;
    CPalette* pOld = pDC->SelectPalette(this, bForceBackground);
    pDC->RealizePalette();
    return pOld;
}
