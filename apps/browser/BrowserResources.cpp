#include "BrowserResources.h"

#include <KelRSList.h>

#include "platform/gdi/BitmapResource.h"
#include "platform/win/ToolBarResource.h"

#include <cstdlib>
#include <initializer_list>
#include <vector>

namespace {

constexpr int kCx = 16, kCy = 15;

enum Image { kNew, kOpen, kDelete, kChoose, kClose, kPrint };
constexpr COLORREF kFace = RGB(192, 192, 192);

// The images of the buttons, in order, drawn by rule: New (a page with a plus), Open (a page
// with lines), Delete (a red cross), Choose (a green tick), Close (a door), Print (a printer).
KelBitmapResource ToolStrip(std::initializer_list<Image> images) {
    KelBitmapResource bmp;
    bmp.cx = kCx * static_cast<int>(images.size());
    bmp.cy = kCy;
    bmp.pixels.assign(static_cast<size_t>(bmp.cx) * kCy, kFace);
    std::vector<int> slot(kPrint + 1, -1);
    int nSlot = 0;
    for (Image image : images)
        slot[image] = nSlot++;
    auto set = [&](int image, int x, int y, COLORREF cr) {
        if (slot[image] >= 0 && x >= 0 && x < kCx && y >= 0 && y < kCy)
            bmp.pixels[static_cast<size_t>(y) * bmp.cx + slot[image] * kCx + x] = cr;
    };
    auto page = [&](int image) {
        for (int y = 1; y < 14; ++y)
            for (int x = 3; x < 12; ++x)
                set(image, x, y,
                    (x == 3 || x == 11 || y == 1 || y == 13) ? RGB(0, 0, 0) : RGB(255, 255, 255));
    };
    page(0);
    for (int k = -2; k <= 2; ++k) {
        set(0, 7 + k, 7, RGB(0, 128, 0));
        set(0, 7, 7 + k, RGB(0, 128, 0));
    }
    page(1);
    for (int y = 4; y < 12; y += 2)
        for (int x = 5; x < 10; ++x)
            set(1, x, y, RGB(0, 0, 128));
    for (int k = 2; k < 13; ++k) {
        set(2, k + 1, k, RGB(192, 0, 0));
        set(2, k + 2, k, RGB(192, 0, 0));
        set(2, 14 - k, k, RGB(192, 0, 0));
        set(2, 15 - k, k, RGB(192, 0, 0));
    }
    for (int k = 0; k < 4; ++k) {
        set(3, 3 + k, 7 + k, RGB(0, 128, 0));
        set(3, 3 + k, 8 + k, RGB(0, 128, 0));
    }
    for (int k = 0; k < 7; ++k) {
        set(3, 7 + k, 10 - k, RGB(0, 128, 0));
        set(3, 7 + k, 11 - k, RGB(0, 128, 0));
    }
    for (int y = 1; y < 14; ++y)
        for (int x = 4; x < 12; ++x)
            set(4, x, y, (x == 4 || x == 11 || y == 1) ? RGB(0, 0, 0) : RGB(128, 64, 0));
    set(4, 9, 8, RGB(255, 255, 0));
    for (int y = 5; y < 11; ++y)
        for (int x = 2; x < 14; ++x)
            set(5, x, y, (y == 5 || y == 10 || x == 2 || x == 13) ? RGB(0, 0, 0) : kFace);
    for (int y = 1; y < 5; ++y)
        for (int x = 4; x < 12; ++x)
            set(5, x, y, RGB(255, 255, 255));
    for (int y = 10; y < 14; ++y)
        for (int x = 4; x < 12; ++x)
            set(5, x, y, RGB(255, 255, 255));
    return bmp;
}

} // namespace

void RegisterBrowserResources(HINSTANCE hModule) {
    AfxSetStringResource(hModule, IDR_BROWSER, "KelRSList Browser\n\nRecords\n");
    AfxSetStringResource(hModule, ID_RECORD_NEW, "Add a record\nNew");
    AfxSetStringResource(hModule, ID_RECORD_OPEN, "Open the current record\nOpen");
    AfxSetStringResource(hModule, ID_RECORD_DELETE, "Delete the current record\nDelete");
    AfxSetStringResource(hModule, ID_RECORD_CHOOSE, "Choose the current record\nChoose");
    AfxSetStringResource(hModule, ID_RECORD_CLOSE, "Close the window\nClose");
    AfxSetStringResource(hModule, ID_RECORD_PRINT, "Print the rows of the view\nPrint");
    // Only the chooser offers Choose: in the frame, activating a row opens it.
    AfxSetResource(
        hModule, RT_TOOLBAR, MAKEINTRESOURCE(IDR_BROWSER_TOOLS),
        KelToolBarResource(kCx, kCy,
                           {ID_RECORD_NEW, ID_RECORD_OPEN, ID_RECORD_DELETE, ID_SEPARATOR,
                            ID_RECORD_CLOSE, ID_SEPARATOR, ID_RECORD_PRINT}));
    KelSetBitmapResource(hModule, IDR_BROWSER_TOOLS,
                         ToolStrip({kNew, kOpen, kDelete, kClose, kPrint}));
    AfxSetResource(
        hModule, RT_TOOLBAR, MAKEINTRESOURCE(IDR_CHOOSER_TOOLS),
        KelToolBarResource(kCx, kCy,
                           {ID_RECORD_NEW, ID_RECORD_OPEN, ID_RECORD_DELETE, ID_SEPARATOR,
                            ID_RECORD_CHOOSE, ID_RECORD_CLOSE, ID_SEPARATOR, ID_RECORD_PRINT}));
    KelSetBitmapResource(hModule, IDR_CHOOSER_TOOLS,
                         ToolStrip({kNew, kOpen, kDelete, kChoose, kClose, kPrint}));
}
