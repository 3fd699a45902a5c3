// The data of a bitmap resource: what the layers above register under RT_BITMAP with
// AfxSetResource(hModule, RT_BITMAP, MAKEINTRESOURCE(id), KelBitmapResource{...}) and what
// LoadImage, LoadBitmap and CImageList read back.
#pragma once

#include "platform/core/Resources.h"
#include "platform/core/Types.h"

#include <initializer_list>
#include <string_view>
#include <vector>

struct KelBitmapResource {
    int cx = 0;
    int cy = 0;
    std::vector<COLORREF> pixels; // cx * cy colours, row by row from the top

    COLORREF GetPixel(int x, int y) const { return pixels[(size_t)y * cx + x]; }

    // Artwork written in source code: one string a row, one character a pixel, each a hex
    // digit naming a colour of the standard 16-colour palette (KelStandardColor): '0' black,
    // '7' light grey, '8' dark grey, 'F' white... Throws std::invalid_argument, naming the row
    // and column, for rows of unequal length or any other character.
    static KelBitmapResource FromRows(std::initializer_list<std::string_view> rows);
};

// The standard 16-colour palette: 0 black, 1 maroon, 2 green, 3 olive, 4 navy, 5 purple,
// 6 teal, 7 light grey (192), 8 dark grey (128), 9 red, 10 lime, 11 yellow, 12 blue,
// 13 fuchsia, 14 aqua, 15 white. CLR_INVALID outside 0..15.
COLORREF KelStandardColor(int nIndex);

// Registers a bitmap resource of a module under its numeric ID.
void KelSetBitmapResource(HINSTANCE hModule, UINT nID, KelBitmapResource bitmap);
