// CPalette: a logical palette. Surfaces are true colour, so a palette only names colours
// (PALETTEINDEX) and is recorded when selected.
#pragma once

#include "platform/gdi/GdiObject.h"

class CPalette : public CGdiObject {
    DECLARE_DYNAMIC(CPalette)
public:
    CPalette() = default;

    static CPalette* PASCAL FromHandle(HPALETTE hPalette) {
        return static_cast<CPalette*>(CGdiObject::FromHandle(hPalette));
    }
    operator HPALETTE() const { return (HPALETTE)m_hObject; }

    BOOL CreatePalette(LPLOGPALETTE lpLogPalette) { return Attach(::CreatePalette(lpLogPalette)); }
    int GetEntryCount();
    UINT GetPaletteEntries(UINT nStartIndex, UINT nNumEntries,
                           LPPALETTEENTRY lpPaletteColors) const {
        return ::GetPaletteEntries((HPALETTE)m_hObject, nStartIndex, nNumEntries, lpPaletteColors);
    }
    UINT SetPaletteEntries(UINT nStartIndex, UINT nNumEntries, LPPALETTEENTRY lpPaletteColors) {
        return ::SetPaletteEntries((HPALETTE)m_hObject, nStartIndex, nNumEntries, lpPaletteColors);
    }
    UINT GetNearestPaletteIndex(COLORREF crColor) const {
        return ::GetNearestPaletteIndex((HPALETTE)m_hObject, crColor);
    }
    BOOL ResizePalette(UINT nNumEntries) {
        return ::ResizePalette((HPALETTE)m_hObject, nNumEntries);
    }
};
