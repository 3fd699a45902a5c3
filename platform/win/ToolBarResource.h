// The data of a toolbar resource: what a module registers under RT_TOOLBAR with
// AfxSetResource(hModule, RT_TOOLBAR, MAKEINTRESOURCE(id), KelToolBarResource{...}):
// the images' size and the buttons' command IDs in order, ID_SEPARATOR (0) for a gap. The
// images come from the bitmap strip of the same ID (or nBitmapID), one image per button.
//
//   KelToolBarResource{16, 15, {5500, 5501, 5502, 0, 5505}}
#pragma once

#include "platform/core/Types.h"

#include <initializer_list>
#include <vector>

struct KelToolBarResource {
    KelToolBarResource() = default;
    KelToolBarResource(int cxImage, int cyImage, std::initializer_list<UINT> ids, UINT bitmapID = 0)
        : cx(cxImage), cy(cyImage), items(ids), nBitmapID(bitmapID) {}

    int cx = 16;
    int cy = 15;
    std::vector<UINT> items;
    UINT nBitmapID = 0; // 0: the bitmap with the toolbar's own ID
};
