// Memory contexts, block transfers, bitmap resources and image lists.
#include "Canvas.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 128, 0);
constexpr COLORREF kFuchsia = RGB(255, 0, 255);

// A 4 x 3 tile: red left column, green rest, a black bottom-right pixel.
void MakeTile(CDC& screen, CBitmap& bm) {
    ASSERT_TRUE(bm.CreateCompatibleBitmap(&screen, 4, 3));
    CDC mem;
    ASSERT_TRUE(mem.CreateCompatibleDC(&screen));
    CBitmap* old = mem.SelectObject(&bm);
    ASSERT_NE(old, nullptr);
    mem.FillSolidRect(0, 0, 4, 3, kGreen);
    mem.FillSolidRect(0, 0, 1, 3, kRed);
    mem.SetPixel(3, 2, kBlack);
    mem.SelectObject(old);
}

TEST(Bitmap, MemoryContextDrawsIntoItsBitmap) {
    Canvas screen(10, 10);
    CBitmap bm;
    MakeTile(screen.dc, bm);
    BITMAP info{};
    ASSERT_TRUE(bm.GetBitmap(&info));
    EXPECT_EQ(info.bmWidth, 4);
    EXPECT_EQ(info.bmHeight, 3);
    EXPECT_EQ(info.bmBitsPixel, 32);
    unsigned char bits[4 * 3 * 4];
    ASSERT_EQ(bm.GetBitmapBits(sizeof bits, bits), sizeof bits);
    EXPECT_EQ(bits[0], 0);       // blue of (0, 0)
    EXPECT_EQ(bits[2], 255);     // red of (0, 0)
    EXPECT_EQ(bits[4 + 1], 128); // green of (1, 0)
}

// A bitmap of screen size lies on memory of its own, which the next one of about its size may
// take over: each still starts black, holds its pixels up to the last one, and keeps them while
// another is made and let go.
TEST(Bitmap, LargeBitmapsStartBlackWhateverCameBefore) {
    Canvas screen(10, 10);
    auto pixelAt = [&](CBitmap& bm, int x, int y) {
        CDC mem;
        mem.CreateCompatibleDC(&screen.dc);
        CBitmap* old = mem.SelectObject(&bm);
        const COLORREF c = mem.GetPixel(x, y);
        mem.SelectObject(old);
        return c;
    };
    auto fill = [&](CBitmap& bm, int cx, int cy, COLORREF c) {
        CDC mem;
        mem.CreateCompatibleDC(&screen.dc);
        CBitmap* old = mem.SelectObject(&bm);
        mem.FillSolidRect(0, 0, cx, cy, c);
        mem.SelectObject(old);
    };
    CBitmap kept;
    ASSERT_TRUE(kept.CreateCompatibleBitmap(&screen.dc, 1200, 900));
    fill(kept, 1200, 900, kRed);
    // Two at once, as a window's image and a paint's bitmap are: each one let go is kept.
    for (const CSize size : {CSize(1920, 1080), CSize(1920, 1080), CSize(1910, 1090)}) {
        CBitmap bm[2];
        for (CBitmap& b : bm) {
            ASSERT_TRUE(b.CreateCompatibleBitmap(&screen.dc, size.cx, size.cy));
            EXPECT_EQ(pixelAt(b, 0, 0), kBlack);
            EXPECT_EQ(pixelAt(b, size.cx - 1, size.cy - 1), kBlack);
            EXPECT_EQ(pixelAt(b, size.cx / 2, size.cy / 2), kBlack);
        }
        for (CBitmap& b : bm) {
            fill(b, size.cx, size.cy, kWhite);
            EXPECT_EQ(pixelAt(b, size.cx - 1, size.cy - 1), kWhite);
        }
    }
    EXPECT_EQ(pixelAt(kept, 0, 0), kRed);
    EXPECT_EQ(pixelAt(kept, 1199, 899), kRed);
}

TEST(Bitmap, BackgroundTilesCopyWithoutCuttingTheLastOnes) {
    // The grid's background: tiles at every multiple of the bitmap size from the header
    // down, the last ones running past the grid area (here the surface) unclipped.
    Canvas c(10, 11);
    CBitmap tile;
    MakeTile(c.dc, tile);
    CDC mem;
    mem.CreateCompatibleDC(&c.dc);
    CBitmap* old = mem.SelectObject(&tile);
    const int header = 2;
    for (int y = header; y < c.Height(); y += 3)
        for (int x = 0; x < c.Width(); x += 4)
            ASSERT_TRUE(c.dc.BitBlt(x, y, 4, 3, &mem, 0, 0, SRCCOPY));
    mem.SelectObject(old);
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x) {
            COLORREF want = kWhite;
            if (y >= header) {
                int tx = x % 4, ty = (y - header) % 3;
                want = tx == 0 ? kRed : (tx == 3 && ty == 2) ? kBlack : kGreen;
            }
            ASSERT_EQ(c.At(x, y), want) << x << "," << y;
        }
}

TEST(Bitmap, RasterOperationsCombineSourceAndDestination) {
    Canvas c(8, 2, RGB(0xF0, 0x0F, 0x55));
    CBitmap bm;
    bm.CreateCompatibleBitmap(&c.dc, 8, 2);
    CDC mem;
    mem.CreateCompatibleDC(&c.dc);
    mem.SelectObject(&bm);
    mem.FillSolidRect(0, 0, 8, 2, RGB(0xFF, 0x0F, 0x0F));
    c.dc.BitBlt(0, 0, 2, 2, &mem, 0, 0, SRCAND);
    c.dc.BitBlt(2, 0, 2, 2, &mem, 0, 0, SRCPAINT);
    c.dc.BitBlt(4, 0, 2, 2, &mem, 0, 0, SRCINVERT);
    c.dc.BitBlt(6, 0, 2, 2, &mem, 0, 0, DSTINVERT);
    EXPECT_EQ(c.At(0, 0), RGB(0xF0, 0x0F, 0x05));
    EXPECT_EQ(c.At(2, 0), RGB(0xFF, 0x0F, 0x5F));
    EXPECT_EQ(c.At(4, 0), RGB(0x0F, 0x00, 0x5A));
    EXPECT_EQ(c.At(6, 0), RGB(0x0F, 0xF0, 0xAA));
    mem.SelectStockObject(WHITE_BRUSH); // PATCOPY takes the destination's brush
    CBrush blue(RGB(0, 0, 255));
    c.dc.SelectObject(&blue);
    c.dc.PatBlt(0, 1, 8, 1, PATCOPY);
    EXPECT_EQ(c.At(5, 1), RGB(0, 0, 255));
    c.dc.SelectStockObject(WHITE_BRUSH);
}

TEST(Bitmap, OverlappingCopyOnOneSurfaceScrolls) {
    Canvas c(10, 1);
    for (int x = 0; x < 10; ++x)
        c.dc.SetPixel(x, 0, RGB(x * 20, 0, 0));
    c.dc.BitBlt(2, 0, 8, 1, &c.dc, 0, 0, SRCCOPY);
    for (int x = 2; x < 10; ++x)
        EXPECT_EQ(c.At(x, 0), RGB((x - 2) * 20, 0, 0));
}

TEST(Bitmap, MonochromeBitmapsFollowTheSystemConversions) {
    Canvas c(10, 4);
    CDC mem;
    mem.CreateCompatibleDC(&c.dc);
    // A bitmap compatible with a fresh memory context is monochrome, as on the system.
    CBitmap mono;
    ASSERT_TRUE(mono.CreateCompatibleBitmap(&mem, 4, 1));
    BITMAP info{};
    mono.GetBitmap(&info);
    EXPECT_EQ(info.bmBitsPixel, 1);

    // Colour to monochrome: the source's background colour becomes white, the rest black.
    CBitmap colour;
    colour.CreateCompatibleBitmap(&c.dc, 4, 1);
    CDC cmem;
    cmem.CreateCompatibleDC(&c.dc);
    cmem.SelectObject(&colour);
    cmem.FillSolidRect(0, 0, 4, 1, kFuchsia);
    cmem.SetPixel(1, 0, kRed);
    cmem.SetBkColor(kFuchsia);
    mem.SelectObject(&mono);
    mem.BitBlt(0, 0, 4, 1, &cmem, 0, 0, SRCCOPY);
    EXPECT_EQ(mem.GetPixel(0, 0), kWhite);
    EXPECT_EQ(mem.GetPixel(1, 0), kBlack);

    // Monochrome to colour: black takes the text colour, white the background colour.
    c.dc.SetTextColor(kRed);
    c.dc.SetBkColor(kGreen);
    c.dc.BitBlt(0, 2, 4, 1, &mem, 0, 0, SRCCOPY);
    EXPECT_EQ(c.At(0, 2), kGreen);
    EXPECT_EQ(c.At(1, 2), kRed);
}

TEST(Bitmap, StretchDoublesAndMirrors) {
    Canvas c(8, 4);
    CBitmap bm;
    MakeTile(c.dc, bm);
    CDC mem;
    mem.CreateCompatibleDC(&c.dc);
    mem.SelectObject(&bm);
    ASSERT_TRUE(c.dc.StretchBlt(0, 0, 8, 2, &mem, 0, 0, 4, 1, SRCCOPY));
    EXPECT_EQ(c.At(0, 0), kRed);
    EXPECT_EQ(c.At(1, 1), kRed);
    EXPECT_EQ(c.At(2, 0), kGreen);
    c.dc.StretchBlt(3, 3, -4, 1, &mem, 0, 2, 4, 1, SRCCOPY); // mirrored: black pixel first
    EXPECT_EQ(c.At(0, 3), kBlack);
    EXPECT_EQ(c.At(3, 3), kRed);
}

TEST(Bitmap, ArtworkFromRowsAndItsMistakes) {
    KelBitmapResource bm = KelBitmapResource::FromRows({"0F7", "8C9"});
    EXPECT_EQ(bm.cx, 3);
    EXPECT_EQ(bm.cy, 2);
    EXPECT_EQ(bm.GetPixel(1, 0), RGB(255, 255, 255));
    EXPECT_EQ(bm.GetPixel(2, 0), RGB(192, 192, 192));
    EXPECT_EQ(bm.GetPixel(0, 1), RGB(128, 128, 128));
    EXPECT_EQ(bm.GetPixel(1, 1), RGB(0, 0, 255));
    try {
        KelBitmapResource::FromRows({"000", "0x0"});
        FAIL();
    } catch (const std::invalid_argument& e) {
        EXPECT_NE(std::string(e.what()).find("row 1, column 1"), std::string::npos);
    }
    EXPECT_THROW(KelBitmapResource::FromRows({"000", "00"}), std::invalid_argument);
    EXPECT_THROW(KelBitmapResource::FromRows({}), std::invalid_argument);
}

TEST(Bitmap, BitsRoundTripInTheSystemLayouts) {
    // One bit a pixel, rows padded to 16 bits, 1 = white.
    const unsigned char mono[4] = {0xA0, 0x00, 0x40, 0x00}; // 3 x 2: 101 / 010
    CBitmap m;
    ASSERT_TRUE(m.CreateBitmap(3, 2, 1, 1, mono));
    BITMAP info{};
    m.GetBitmap(&info);
    EXPECT_EQ(info.bmWidthBytes, 2);
    EXPECT_EQ(info.bmBitsPixel, 1);
    unsigned char back[4] = {};
    EXPECT_EQ(m.GetBitmapBits(sizeof back, back), 4u);
    EXPECT_EQ(back[0], 0xA0);
    EXPECT_EQ(back[2], 0x40);
    Canvas c(2, 2);
    CDC mem;
    mem.CreateCompatibleDC(&c.dc);
    mem.SelectObject(&m);
    EXPECT_EQ(mem.GetPixel(0, 0), kWhite);
    EXPECT_EQ(mem.GetPixel(1, 0), kBlack);
    // Drawing colours on a monochrome bitmap gives black or white.
    mem.SetPixel(1, 1, RGB(250, 240, 230));
    EXPECT_EQ(mem.GetPixel(1, 1), kWhite);
    mem.SelectStockObject(WHITE_BRUSH);

    // Four bytes a pixel: blue, green, red, unused.
    const unsigned char colour[8] = {0, 0, 255, 0, 255, 0, 0, 0};
    CBitmap col;
    ASSERT_TRUE(col.CreateBitmap(2, 1, 1, 32, colour));
    CDC cmem;
    cmem.CreateCompatibleDC(&c.dc);
    cmem.SelectObject(&col);
    EXPECT_EQ(cmem.GetPixel(0, 0), kRed);
    EXPECT_EQ(cmem.GetPixel(1, 0), RGB(0, 0, 255));
    // A zero size gives the system's 1 x 1 monochrome bitmap.
    CBitmap empty;
    ASSERT_TRUE(empty.CreateBitmap(0, 5, 1, 32, nullptr));
    empty.GetBitmap(&info);
    EXPECT_EQ(info.bmWidth, 1);
    EXPECT_EQ(info.bmBitsPixel, 1);
}

TEST(Bitmap, OnlyExistingSourcePixelsAndTheDestinationClipCount) {
    cairo_rectangle_int_t visible{0, 0, 6, 10};
    cairo_region_t* clip = cairo_region_create_rectangle(&visible);
    Canvas c(10, 10, kWhite, POINT{0, 0}, clip);
    cairo_region_destroy(clip);
    CBitmap tile;
    MakeTile(c.dc, tile);
    CDC mem;
    mem.CreateCompatibleDC(&c.dc);
    mem.SelectObject(&tile);
    mem.IntersectClipRect(0, 0, 1, 1); // the source's clip does not limit a copy
    // A block larger than the 4 x 3 bitmap: the part beyond it keeps the destination.
    c.dc.BitBlt(0, 0, 10, 10, &mem, 0, 0, SRCCOPY);
    EXPECT_EQ(c.Ink(kWhite), CRect(0, 0, 4, 3));
    c.dc.BitBlt(3, 5, 4, 3, &mem, 0, 0, SRCCOPY);
    EXPECT_EQ(c.At(5, 5), kGreen);
    EXPECT_EQ(c.At(6, 5), kWhite); // outside the destination's clip
}

class BitmapResources : public ::testing::Test {
protected:
    void SetUp() override {
        m_module = AfxRegisterModule("GdiTestArtwork.dll");
        // Greys of the 3D look, a red pixel and a white one.
        KelSetBitmapResource(m_module, 300, KelBitmapResource::FromRows({"87", "9F"}));
        // A strip of two 3 x 2 images on a fuchsia background.
        KelSetBitmapResource(m_module, 301, KelBitmapResource::FromRows({"D0DDCD", "DDDCCC"}));
        KelSetBitmapResource(m_module, 302, KelBitmapResource::FromRows({"7"}));
        AfxSetResource(m_module, RT_BITMAP, MAKEINTRESOURCE(303), 42); // not a bitmap
    }
    void TearDown() override {
        AfxUnregisterModule(m_module);
        KelResetSysColors();
    }
    HINSTANCE m_module = NULL;
};

TEST_F(BitmapResources, LoadImageMapsTheGreysToTheSystemColours) {
    int which[3] = {COLOR_3DSHADOW, COLOR_3DFACE, COLOR_3DLIGHT};
    COLORREF scheme[3] = {RGB(60, 60, 90), RGB(180, 170, 150), RGB(230, 220, 200)};
    ASSERT_TRUE(SetSysColors(3, which, scheme));
    HBITMAP h = (HBITMAP)LoadImage(m_module, MAKEINTRESOURCE(300), IMAGE_BITMAP, 0, 0,
                                   LR_CREATEDIBSECTION | LR_LOADMAP3DCOLORS);
    ASSERT_NE(h, nullptr);
    CBitmap bm;
    ASSERT_TRUE(bm.Attach(h));
    Canvas c(2, 2);
    CDC mem;
    mem.CreateCompatibleDC(&c.dc);
    mem.SelectObject(&bm);
    EXPECT_EQ(mem.GetPixel(0, 0), RGB(60, 60, 90));    // 128 grey: shadow
    EXPECT_EQ(mem.GetPixel(1, 0), RGB(180, 170, 150)); // 192 grey: face
    EXPECT_EQ(mem.GetPixel(0, 1), RGB(255, 0, 0));     // other colours stay
    EXPECT_EQ(mem.GetPixel(1, 1), RGB(255, 255, 255));

    // Without the flag the artwork is as drawn; a requested size stretches it.
    CBitmap plain;
    plain.Attach((HBITMAP)LoadImage(m_module, MAKEINTRESOURCE(300), IMAGE_BITMAP, 4, 4, 0));
    BITMAP info{};
    plain.GetBitmap(&info);
    EXPECT_EQ(info.bmWidth, 4);
    mem.SelectObject(&plain);
    EXPECT_EQ(mem.GetPixel(1, 1), RGB(128, 128, 128));
    EXPECT_EQ(mem.GetPixel(3, 3), RGB(255, 255, 255));
    mem.SelectStockObject(WHITE_BRUSH);
}

TEST_F(BitmapResources, MissingOrForeignResourcesLoadNothing) {
    EXPECT_EQ(LoadImage(m_module, MAKEINTRESOURCE(999), IMAGE_BITMAP, 0, 0, 0), nullptr);
    EXPECT_EQ(LoadImage(m_module, MAKEINTRESOURCE(303), IMAGE_BITMAP, 0, 0, 0), nullptr);
    EXPECT_EQ(LoadImage(m_module, MAKEINTRESOURCE(300), IMAGE_BITMAP + 1, 0, 0, 0), nullptr);
    CBitmap bm;
    EXPECT_FALSE(bm.LoadBitmap(999));
    EXPECT_EQ(bm.m_hObject, nullptr);
}

TEST_F(BitmapResources, LoadBitmapWalksTheResourceChain) {
    CBitmap bm;
    ASSERT_TRUE(bm.LoadBitmap(301));
    BITMAP info{};
    bm.GetBitmap(&info);
    EXPECT_EQ(info.bmWidth, 6);
    EXPECT_EQ(info.bmHeight, 2);
    CBitmap mapped;
    ASSERT_TRUE(mapped.LoadMappedBitmap(302));
    int face = COLOR_BTNFACE;
    COLORREF c = RGB(1, 2, 3);
    SetSysColors(1, &face, &c);
    CBitmap mapped2;
    ASSERT_TRUE(mapped2.LoadMappedBitmap(302));
    Canvas canvas(1, 1);
    CDC mem;
    mem.CreateCompatibleDC(&canvas.dc);
    mem.SelectObject(&mapped2);
    EXPECT_EQ(mem.GetPixel(0, 0), RGB(1, 2, 3));
    mem.SelectStockObject(WHITE_BRUSH);
}

TEST_F(BitmapResources, SharedImagesAreLoadedOnceAndNeverDeleted) {
    HANDLE a = LoadImage(m_module, MAKEINTRESOURCE(302), IMAGE_BITMAP, 0, 0, LR_SHARED);
    HANDLE b = LoadImage(m_module, MAKEINTRESOURCE(302), IMAGE_BITMAP, 0, 0, LR_SHARED);
    EXPECT_EQ(a, b);
    EXPECT_TRUE(DeleteObject((HBITMAP)a));
    EXPECT_EQ(GetObjectType((HBITMAP)a), (DWORD)OBJ_BITMAP);
}

TEST_F(BitmapResources, ImageListDrawsWithTheMaskColourTransparent) {
    CImageList il;
    ASSERT_TRUE(il.Create(301, 3, 1, kFuchsia));
    EXPECT_EQ(il.GetImageCount(), 2);
    IMAGEINFO info{};
    ASSERT_TRUE(il.GetImageInfo(1, &info));
    EXPECT_EQ(CRect(info.rcImage), CRect(3, 0, 6, 2));
    EXPECT_NE(info.hbmMask, nullptr);

    Canvas c(20, 10, kGreen);
    ASSERT_TRUE(il.Draw(&c.dc, 0, CPoint(2, 3), ILD_NORMAL));
    EXPECT_EQ(c.At(3, 3), kBlack); // the image's one black pixel
    EXPECT_EQ(c.At(2, 3), kGreen); // fuchsia shows what was there
    EXPECT_EQ(c.At(4, 4), kGreen);
    EXPECT_EQ(c.Ink(kGreen), CRect(3, 3, 4, 4));
    ASSERT_TRUE(il.Draw(&c.dc, 1, CPoint(10, 3), ILD_TRANSPARENT));
    EXPECT_EQ(c.At(10, 3), kGreen);
    EXPECT_EQ(c.At(11, 3), RGB(0, 0, 255));
    EXPECT_FALSE(il.Draw(&c.dc, 2, CPoint(0, 0), ILD_NORMAL));

    // With a background colour, ILD_NORMAL fills the transparent pixels with it.
    il.SetBkColor(kWhite);
    il.Draw(&c.dc, 0, CPoint(2, 6), ILD_NORMAL);
    EXPECT_EQ(c.At(2, 6), kWhite);
    EXPECT_EQ(c.At(3, 6), kBlack);

    ASSERT_TRUE(il.Remove(0));
    EXPECT_EQ(il.GetImageCount(), 1);
    Canvas d(10, 10, kGreen);
    il.Draw(&d.dc, 0, CPoint(0, 0), ILD_TRANSPARENT);
    EXPECT_EQ(d.At(1, 0), RGB(0, 0, 255)); // the second image moved to the front
    EXPECT_EQ(d.At(0, 0), kGreen);
}

TEST_F(BitmapResources, ImageListWithoutMaskDrawsOpaque) {
    CBitmap strip;
    ASSERT_TRUE(strip.LoadBitmap(301));
    CImageList il;
    ASSERT_TRUE(il.Create(3, 2, ILC_COLOR24, 2, 2));
    EXPECT_EQ(il.Add(&strip, kFuchsia), 0);
    EXPECT_EQ(il.Add(&strip, kFuchsia), 2); // the list grows past its first size
    EXPECT_EQ(il.GetImageCount(), 4);
    Canvas c(10, 10, kGreen);
    il.Draw(&c.dc, 0, CPoint(0, 0), ILD_TRANSPARENT);
    EXPECT_EQ(c.At(0, 0), kFuchsia);
}

TEST_F(BitmapResources, TransparentAndMonochromeLoads) {
    HBITMAP h =
        (HBITMAP)LoadImage(m_module, MAKEINTRESOURCE(301), IMAGE_BITMAP, 0, 0, LR_LOADTRANSPARENT);
    CBitmap bm;
    ASSERT_TRUE(bm.Attach(h));
    Canvas c(1, 1);
    CDC mem;
    mem.CreateCompatibleDC(&c.dc);
    mem.SelectObject(&bm);
    EXPECT_EQ(mem.GetPixel(0, 0), GetSysColor(COLOR_WINDOW)); // fuchsia took the window colour
    EXPECT_EQ(mem.GetPixel(1, 0), kBlack);
    CBitmap mono;
    mono.Attach(
        (HBITMAP)LoadImage(m_module, MAKEINTRESOURCE(300), IMAGE_BITMAP, 0, 0, LR_MONOCHROME));
    BITMAP info{};
    mono.GetBitmap(&info);
    EXPECT_EQ(info.bmBitsPixel, 1);
    mem.SelectStockObject(WHITE_BRUSH);
}

TEST_F(BitmapResources, ImageListMasksBlendsAndReplaces) {
    CBitmap strip, mask;
    ASSERT_TRUE(strip.LoadBitmap(301));
    // A mask bitmap: white hides, here the left column of each image.
    const unsigned char bits[4] = {0x90, 0x00, 0x90, 0x00}; // 100100
    ASSERT_TRUE(mask.CreateBitmap(6, 2, 1, 1, bits));
    CImageList il;
    EXPECT_FALSE(il.Create(0, 2, ILC_MASK, 1, 1));
    ASSERT_TRUE(il.Create(3, 2, ILC_COLOR24 | ILC_MASK, 1, 1));
    EXPECT_EQ(il.Add(&strip, &mask), 0);
    Canvas c(20, 10, kGreen);
    il.Draw(&c.dc, 0, CPoint(0, 0), ILD_TRANSPARENT);
    EXPECT_EQ(c.At(0, 0), kGreen);
    EXPECT_EQ(c.At(1, 0), kBlack);
    EXPECT_EQ(c.At(2, 0), kFuchsia); // not the mask colour: a mask bitmap was given
    il.Draw(&c.dc, 0, CPoint(5, 0), ILD_MASK);
    EXPECT_EQ(c.At(5, 0), kWhite);
    EXPECT_EQ(c.At(6, 0), kBlack);
    // Selected images take on half of the highlight colour.
    il.Draw(&c.dc, 0, CPoint(10, 0), ILD_TRANSPARENT | ILD_SELECTED);
    COLORREF blended = c.At(12, 0);
    EXPECT_NE(blended, kFuchsia);
    EXPECT_NEAR(GetRValue(blended), 128, 2);
    EXPECT_NEAR(GetBValue(blended), 192, 2);
    EXPECT_EQ(c.At(10, 0), kGreen);
    // Replacing an image without a mask makes it opaque.
    CBitmap other;
    other.LoadBitmap(302);
    EXPECT_EQ(il.GetImageCount(), 2);
    ASSERT_TRUE(il.Replace(0, &other, nullptr));
    EXPECT_FALSE(il.Replace(2, &other, nullptr));
    Canvas d(5, 5, kGreen);
    il.Draw(&d.dc, 0, CPoint(0, 0), ILD_TRANSPARENT);
    EXPECT_EQ(d.At(0, 0), RGB(192, 192, 192));
    EXPECT_EQ(d.At(2, 1), kGreen); // beyond the 1 x 1 source: padding, masked out
    IMAGEINFO info{};
    EXPECT_FALSE(il.GetImageInfo(5, &info));
}

} // namespace
