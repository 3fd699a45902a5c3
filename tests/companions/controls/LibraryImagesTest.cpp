// The library's own images in use: the margin buttons' bitmaps 2055 and 2056 and the search
// bar's strip 2057, found in the library module by its file name; and a picture of the
// controls dressed as the grid dresses them.
#include "CompanionTest.h"

#include <KelOther.h>

#include "resources/LibraryModule.h"

namespace {

class LibraryImagesTest : public CompanionTest {};

CSize BitmapSize(HBITMAP hbm) {
    BITMAP bm{};
    ::GetObject(hbm, sizeof(bm), &bm);
    return CSize(bm.bmWidth, bm.bmHeight);
}

// The colours of a bitmap's pixels, counted.
std::map<COLORREF, int> Colours(HBITMAP hbm) {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    HGDIOBJ old = dc.SelectObject(hbm);
    const CSize size = BitmapSize(hbm);
    std::map<COLORREF, int> colours;
    for (int y = 0; y < size.cy; ++y)
        for (int x = 0; x < size.cx; ++x)
            ++colours[dc.GetPixel(x, y)];
    dc.SelectObject(old);
    return colours;
}

TEST_F(LibraryImagesTest, TheLibraryModuleHoldsItsBitmaps) {
    HINSTANCE hLib = GetModuleHandle(KELRSLIST_MODULE_NAME);
    ASSERT_NE(nullptr, hLib);
    EXPECT_EQ(KelGetLibraryModule(), hLib);

    // The margin buttons: 16 x 16, grey ground that becomes the button face.
    for (UINT id : {KELRS_IDB_REFRESH, KELRS_IDB_COLUMNS}) {
        auto hbm = static_cast<HBITMAP>(
            ::LoadImage(hLib, MAKEINTRESOURCE(id), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
        ASSERT_NE(nullptr, hbm) << id;
        EXPECT_EQ(CSize(16, 16), BitmapSize(hbm));
        const auto colours = Colours(hbm);
        EXPECT_GT(colours.count(::GetSysColor(COLOR_3DFACE)), 0u) << id;
        EXPECT_GE(colours.size(), 3u) << id; // artwork, not a blank
        ::DeleteObject(hbm);
    }

    // The search bar's strip: three images on the mask colour, each with artwork.
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 3, 0));
    CBitmap strip;
    strip.Attach(static_cast<HBITMAP>(
        ::LoadImage(hLib, MAKEINTRESOURCE(KELRS_IDB_SEARCHBAR), IMAGE_BITMAP, 0, 0, 0)));
    ASSERT_NE(nullptr, strip.GetSafeHandle());
    EXPECT_EQ(CSize(48, 16), BitmapSize(strip));
    EXPECT_GT(Colours(strip)[ColorMask], 48 * 16 / 4);
    EXPECT_EQ(0, images.Add(&strip, ColorMask));
    EXPECT_EQ(3, images.GetImageCount());
}

// The controls as the grid and its hosts dress them, saved for a look.
TEST_F(LibraryImagesTest, PictureOfTheDressedControls) {
    HINSTANCE hLib = KelGetLibraryModule();
    CHostWnd host;
    ASSERT_TRUE(host.CreateHost(CRect(0, 0, 460, 250)));

    CFont bold;
    ASSERT_TRUE(bold.CreateFont(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
    CExHeaderCtrl header;
    ASSERT_TRUE(
        header.Create(WS_CHILD | WS_VISIBLE | HDS_BUTTONS | HDS_DRAGDROP, CRect(), &host, 0));
    header.SetHeight(21);
    header.SetFont(&bold);
    ASSERT_TRUE(header.SetBitmap(hLib, KELRS_IDB_SEARCHBAR, 16, 16, ColorMask));
    const struct {
        const char* caption;
        int width;
        int image;
        int fmt;
    } columns[] = {{"Customer", 130, 0, HDF_LEFT},
                   {"Amount", 90, 1, HDF_RIGHT},
                   {"Due", 100, 2, HDF_LEFT},
                   {"City", 120, -1, HDF_LEFT}};
    int i = 0;
    for (const auto& c : columns) {
        HDITEM hdi{};
        hdi.mask = HDI_WIDTH | HDI_TEXT | HDI_FORMAT | HDI_LPARAM | HDI_IMAGE;
        hdi.cxy = c.width;
        hdi.pszText = const_cast<LPSTR>(c.caption);
        hdi.fmt = HDF_OWNERDRAW | HDF_STRING | c.fmt;
        hdi.lParam = i;
        hdi.iImage = c.image;
        header.InsertItem(i++, &hdi);
    }
    header.SetSortCol(1, TRUE);
    CRect client(0, 0, 444, 250);
    header.MoveToTop(&client, 0);

    // The margin buttons and the scroll bars, in the grid's places.
    CNoFocusButton refresh, columnsButton;
    CBitmap bmpRefresh, bmpColumns;
    auto load = [&](UINT id) {
        return static_cast<HBITMAP>(
            ::LoadImage(hLib, MAKEINTRESOURCE(id), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
    };
    bmpRefresh.Attach(load(KELRS_IDB_REFRESH));
    bmpColumns.Attach(load(KELRS_IDB_COLUMNS));
    const DWORD buttonStyle = WS_CHILD | WS_VISIBLE | BS_NOTIFY | BS_BITMAP;
    ASSERT_TRUE(refresh.Create("", buttonStyle, CRect(444, 21, 460, 37), &host, 9437));
    ASSERT_TRUE(columnsButton.Create("", buttonStyle, CRect(444, 37, 460, 53), &host, 9436));
    refresh.SetBitmap(bmpRefresh);
    columnsButton.SetBitmap(bmpColumns);
    CExScrollBar vert, horz;
    ASSERT_TRUE(vert.Create(WS_CHILD | WS_VISIBLE | SBS_VERT, CRect(444, 53, 460, 234), &host, 0));
    ASSERT_TRUE(horz.Create(WS_CHILD | WS_VISIBLE | SBS_HORZ, CRect(100, 234, 444, 250), &host, 0));
    vert.SetScrollRangePage(0, 1199999, FALSE);
    vert.SetScrollPage(8, FALSE);
    vert.SetScrollPos(300000);
    horz.SetScrollRangePage(0, 3, FALSE);
    horz.SetScrollPage(3, TRUE);

    // A search bar's worth: a date criterion and the image buttons.
    KelRegisterControlClasses();
    HWND hEdit = ::CreateWindowEx(
        0, "Edit", "7/4/2024", WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 20, 60, 110, 22,
        host.GetSafeHwnd(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(9431)),
        AfxGetInstanceHandle(), nullptr);
    ASSERT_NE(nullptr, hEdit);
    CDateEdit date;
    ASSERT_TRUE(date.SubclassDlgItem(9431, &host));
    date.SetFont(CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))));
    date.SetFocus();
    host.SetFocus(); // leaving the field completes the date
    EXPECT_EQ(CString("07/04/2024"), [&] {
        CString t;
        date.GetWindowText(t);
        return t;
    }());
    CExButton search, all, configure;
    ASSERT_TRUE(search.Create("Search", WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON,
                              CRect(140, 59, 220, 83), &host, 9438));
    ASSERT_TRUE(all.Create("All", WS_CHILD | WS_VISIBLE, CRect(225, 59, 285, 83), &host, 9439));
    ASSERT_TRUE(configure.Create("Configure Search...", WS_CHILD | WS_VISIBLE,
                                 CRect(20, 95, 190, 119), &host, 9435));
    search.SetBitmap(hLib, KELRS_IDB_SEARCHBAR, 0, 16, 16, ColorMask);
    all.SetBitmap(hLib, KELRS_IDB_SEARCHBAR, 1, 16, 16, ColorMask);
    configure.SetBitmap(hLib, KELRS_IDB_SEARCHBAR, 2, 16, 16, ColorMask);
    all.EnableWindow(FALSE);
    KelRunUntilIdle();
    SavePicture(&host, "companion-controls");
}

} // namespace
