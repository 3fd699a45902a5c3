// Object and context lifetimes, selection, saved states, palettes, system colours and metrics.
#include "Canvas.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);

TEST(Objects, SelectReturnsThePreviousObject) {
    Canvas c(10, 10);
    CPen red(PS_SOLID, 1, kRed);
    CPen* old = c.dc.SelectObject(&red);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->m_hObject, GetStockObject(BLACK_PEN)); // a new context's pen
    EXPECT_TRUE(old->IsKindOf(RUNTIME_CLASS(CPen)));
    EXPECT_EQ(c.dc.SelectObject(old), &red); // the attached object itself comes back
    EXPECT_EQ(c.dc.GetCurrentPen(), old);
    CGdiObject* font = c.dc.SelectStockObject(DEFAULT_GUI_FONT);
    EXPECT_TRUE(font->IsKindOf(RUNTIME_CLASS(CFont)));
    EXPECT_EQ(font->m_hObject, GetStockObject(SYSTEM_FONT));
}

TEST(Objects, TemporaryWrappersLiveUntilTheTempMapIsFreed) {
    CGdiObject::DeleteTempMap();
    CBrush* a = CBrush::FromHandle((HBRUSH)GetStockObject(GRAY_BRUSH));
    CBrush* b = CBrush::FromHandle((HBRUSH)GetStockObject(GRAY_BRUSH));
    EXPECT_EQ(a, b);
    EXPECT_EQ(CGdiObject::GetTempMapCount(), 1);
    CGdiObject::DeleteTempMap();
    EXPECT_EQ(CGdiObject::GetTempMapCount(), 0);
    // The handle outlives its temporary wrapper.
    LOGBRUSH lb{};
    EXPECT_EQ(GetObject(GetStockObject(GRAY_BRUSH), sizeof lb, &lb), (int)sizeof lb);
    EXPECT_EQ(lb.lbColor, RGB(128, 128, 128));
    EXPECT_EQ(CGdiObject::FromHandle(nullptr), nullptr);
}

TEST(Objects, DeletingASelectedObjectWaitsForTheContext) {
    Canvas c(10, 10);
    HBRUSH red = CreateSolidBrush(kRed);
    HGDIOBJ old = SelectObject(c.dc, red);
    EXPECT_TRUE(DeleteObject(red));
    EXPECT_EQ(GetObjectType(red), 0u); // gone for the program
    CRect r(0, 0, 3, 3);
    c.dc.SelectStockObject(NULL_PEN);
    c.dc.Rectangle(&r); // the context still draws with it
    EXPECT_EQ(c.At(1, 1), kRed);
    SelectObject(c.dc, old);

    // A wrapper destroyed while its pen is selected leaves the context drawing safely.
    {
        CPen pen(PS_SOLID, 1, kRed);
        c.dc.SelectObject(&pen);
    }
    c.dc.MoveTo(0, 5);
    c.dc.LineTo(5, 5);
    EXPECT_EQ(c.At(2, 5), kRed);
    c.dc.SelectStockObject(BLACK_PEN);

    // Its temporary wrapper forgets the handle at the deletion: the idle clean-up may free the
    // wrapper before the context lets the object go, which must not reach the freed wrapper.
    HBRUSH blue = CreateSolidBrush(RGB(0, 0, 255));
    old = SelectObject(c.dc, blue);
    CBrush* temp = CBrush::FromHandle(blue);
    ASSERT_NE(temp, nullptr);
    EXPECT_TRUE(DeleteObject(blue));
    EXPECT_EQ(temp->m_hObject, nullptr);
    CGdiObject::DeleteTempMap();
    SelectObject(c.dc, old);
}

TEST(Objects, StockObjectsSurviveDeletion) {
    HGDIOBJ white = GetStockObject(WHITE_BRUSH);
    EXPECT_TRUE(DeleteObject(white));
    EXPECT_EQ(GetObjectType(white), (DWORD)OBJ_BRUSH);
    {
        CPen pen;
        ASSERT_TRUE(pen.CreateStockObject(NULL_PEN));
    } // the destructor "deletes" it
    EXPECT_EQ(GetObjectType(GetStockObject(NULL_PEN)), (DWORD)OBJ_PEN);
    EXPECT_EQ(GetStockObject(99), nullptr);
    HBRUSH face = GetSysColorBrush(COLOR_3DFACE);
    EXPECT_TRUE(DeleteObject(face));
    EXPECT_EQ(GetSysColorBrush(COLOR_3DFACE), face);
}

TEST(Objects, BadHandlesFailWithoutHarm) {
    Canvas c(10, 10);
    HGDIOBJ gone = CreatePen(PS_SOLID, 1, kRed);
    DeleteObject(gone);
    EXPECT_FALSE(DeleteObject(gone));
    EXPECT_EQ(SelectObject(c.dc, gone), nullptr);
    EXPECT_EQ(SelectObject(nullptr, GetStockObject(BLACK_PEN)), nullptr);
    EXPECT_FALSE(TextOut(nullptr, 0, 0, "x", 1));
    EXPECT_EQ(GetPixel(nullptr, 0, 0), CLR_INVALID);
    EXPECT_EQ(CreatePen(42, 1, 0), nullptr);
    EXPECT_EQ(CreateHatchBrush(17, 0), nullptr);
    EXPECT_EQ(CreateBitmap(10, 10, 1, 7, nullptr), nullptr);
    EXPECT_EQ(KelCreateSurfaceDC(nullptr, POINT{0, 0}, nullptr), nullptr);
    EXPECT_FALSE(c.dc.RestoreDC(3));
    EXPECT_EQ(c.dc.SetROP2(99), 0);
    EXPECT_EQ(c.dc.GetROP2(), R2_COPYPEN);
    // A bitmap cannot be selected into a window's context, only into a memory one.
    CBitmap bm;
    bm.CreateCompatibleBitmap(&c.dc, 2, 2);
    EXPECT_EQ(c.dc.SelectObject(&bm), nullptr);
}

TEST(Objects, ABitmapLivesInOneMemoryContextAtATime) {
    Canvas c(10, 10);
    CBitmap bm;
    bm.CreateCompatibleBitmap(&c.dc, 2, 2);
    CDC a, b;
    a.CreateCompatibleDC(&c.dc);
    b.CreateCompatibleDC(&c.dc);
    CBitmap* oldA = a.SelectObject(&bm);
    ASSERT_NE(oldA, nullptr);
    BITMAP info{};
    oldA->GetBitmap(&info);
    EXPECT_EQ(info.bmWidth, 1); // the initial 1 x 1 monochrome bitmap
    EXPECT_EQ(info.bmBitsPixel, 1);
    EXPECT_EQ(b.SelectObject(&bm), nullptr);
    a.DeleteDC(); // deleting the context lets the bitmap go
    EXPECT_NE(b.SelectObject(&bm), nullptr);
    b.FillSolidRect(0, 0, 2, 2, kRed);
    EXPECT_EQ(b.GetPixel(1, 1), kRed);
}

TEST(Objects, SaveAndRestoreBringBackSelectionsAndColours) {
    Canvas c(10, 10);
    CPen pen(PS_SOLID, 1, kRed);
    CBrush brush(kRed);
    CFont font;
    font.CreatePointFont(90, "Arial");
    c.dc.SetTextColor(RGB(1, 1, 1));
    c.dc.SetBkMode(TRANSPARENT);
    int level = c.dc.SaveDC();
    EXPECT_EQ(level, 1);
    c.dc.SelectObject(&pen);
    c.dc.SelectObject(&brush);
    c.dc.SelectObject(&font);
    c.dc.SetTextColor(RGB(2, 2, 2));
    c.dc.SetBkColor(RGB(3, 3, 3));
    c.dc.SetBkMode(OPAQUE);
    c.dc.SetTextAlign(TA_RIGHT);
    c.dc.SetROP2(R2_NOT);
    c.dc.SetViewportOrg(4, 4);
    EXPECT_EQ(c.dc.SaveDC(), 2);
    c.dc.SelectStockObject(NULL_PEN);
    ASSERT_TRUE(c.dc.RestoreDC(-1)); // the latest: pen is red again
    EXPECT_EQ(c.dc.GetCurrentPen(), &pen);
    ASSERT_TRUE(c.dc.RestoreDC(level));
    EXPECT_EQ(c.dc.GetCurrentPen()->m_hObject, GetStockObject(BLACK_PEN));
    EXPECT_EQ(c.dc.GetCurrentBrush()->m_hObject, GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(c.dc.GetCurrentFont()->m_hObject, GetStockObject(SYSTEM_FONT));
    EXPECT_EQ(c.dc.GetTextColor(), RGB(1, 1, 1));
    EXPECT_EQ(c.dc.GetBkColor(), kWhite);
    EXPECT_EQ(c.dc.GetBkMode(), TRANSPARENT);
    EXPECT_EQ(c.dc.GetTextAlign(), (UINT)TA_LEFT);
    EXPECT_EQ(c.dc.GetROP2(), R2_COPYPEN);
    EXPECT_EQ(c.dc.GetViewportOrg(), CPoint(0, 0));
    EXPECT_FALSE(c.dc.RestoreDC(-1)); // nothing saved any more
}

TEST(Objects, RestoringAMemoryContextPutsItsBitmapBack) {
    Canvas c(4, 4);
    CBitmap first, second;
    first.CreateCompatibleBitmap(&c.dc, 2, 2);
    second.CreateCompatibleBitmap(&c.dc, 2, 2);
    CDC mem;
    mem.CreateCompatibleDC(&c.dc);
    mem.SelectObject(&first);
    int level = mem.SaveDC();
    mem.SelectObject(&second);
    mem.FillSolidRect(0, 0, 2, 2, kRed);
    mem.RestoreDC(level);
    EXPECT_EQ(mem.GetCurrentBitmap(), &first);
    EXPECT_EQ(mem.GetPixel(0, 0), RGB(0, 0, 0));
    CDC other;
    other.CreateCompatibleDC(&c.dc);
    ASSERT_NE(other.SelectObject(&second), nullptr); // released by the restore
    EXPECT_EQ(other.GetPixel(1, 1), kRed);

    // A bitmap deleted while selected is freed by the restore that lets it go (the sanitizer
    // build sees any use of it afterwards).
    level = mem.SaveDC();
    {
        CBitmap scratch;
        scratch.CreateCompatibleBitmap(&c.dc, 2, 2);
        ASSERT_NE(mem.SelectObject(&scratch), nullptr);
    }
    EXPECT_TRUE(mem.RestoreDC(level));
    EXPECT_EQ(mem.GetCurrentBitmap(), &first);
    EXPECT_EQ(mem.GetPixel(0, 0), RGB(0, 0, 0));
}

// What the window layer does: a context class that owns a surface context and releases it.
class CSurfaceTestDC : public CDC {
public:
    explicit CSurfaceTestDC(cairo_surface_t* s) { Attach(KelCreateSurfaceDC(s, {0, 0}, nullptr)); }
    ~CSurfaceTestDC() override { KelDeleteSurfaceDC(Detach()); }
};

TEST(Objects, ContextsAttachDetachAndTemporaries) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, 4, 4);
    HDC h = nullptr;
    {
        CSurfaceTestDC dc(s);
        h = dc.GetSafeHdc();
        ASSERT_NE(h, nullptr);
        EXPECT_EQ(CDC::FromHandle(h), &dc);
        EXPECT_EQ(GetObjectType(h), (DWORD)OBJ_DC);
    }
    EXPECT_EQ(GetObjectType(h), 0u);
    HDC mem = CreateCompatibleDC(nullptr);
    CDC* temp = CDC::FromHandle(mem);
    ASSERT_NE(temp, nullptr);
    EXPECT_EQ(CDC::FromHandle(mem), temp);
    EXPECT_EQ(GetObjectType(mem), (DWORD)OBJ_MEMDC);
    CDC::DeleteTempMap(); // frees the wrapper, not the context
    EXPECT_TRUE(DeleteDC(mem));
    EXPECT_FALSE(DeleteDC(mem));
    cairo_surface_destroy(s);
}

TEST(Objects, PalettesAreRecordedAndNameColours) {
    Canvas c(4, 4);
    struct {
        LOGPALETTE lp;
        PALETTEENTRY more[1];
    } pal{{0x300, 2, {{10, 20, 30, 0}}}, {{200, 100, 50, 0}}};
    CPalette palette;
    ASSERT_TRUE(palette.CreatePalette(&pal.lp));
    EXPECT_EQ(palette.GetEntryCount(), 2);
    EXPECT_EQ(palette.GetNearestPaletteIndex(RGB(190, 90, 60)), 1u);
    CPalette* old = c.dc.SelectPalette(&palette, FALSE);
    ASSERT_NE(old, nullptr);
    EXPECT_EQ(old->m_hObject, GetStockObject(DEFAULT_PALETTE));
    EXPECT_EQ(c.dc.RealizePalette(), 0u);
    c.dc.FillSolidRect(0, 0, 1, 1, PALETTEINDEX(1));
    EXPECT_EQ(c.At(0, 0), RGB(200, 100, 50));
    c.dc.FillSolidRect(1, 0, 1, 1, PALETTERGB(7, 8, 9));
    EXPECT_EQ(c.At(1, 0), RGB(7, 8, 9));
    EXPECT_EQ(c.dc.SelectPalette(old, FALSE), &palette);
}

TEST(SystemLook, ClassicColoursAndTheirBrushes) {
    EXPECT_EQ(GetSysColor(COLOR_3DFACE), RGB(192, 192, 192));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), RGB(0, 0, 128));
    EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHTTEXT), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_INFOBK), RGB(255, 255, 225));
    EXPECT_EQ(GetSysColor(COLOR_3DLIGHT), RGB(223, 223, 223));
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColorBrush(99), nullptr);

    // System-colour brushes follow later changes of their colour.
    Canvas c(4, 4);
    CRect r(0, 0, 4, 4);
    HBRUSH face = GetSysColorBrush(COLOR_3DFACE);
    int idx = COLOR_3DFACE;
    COLORREF teal = RGB(0, 128, 128);
    ASSERT_TRUE(SetSysColors(1, &idx, &teal));
    FillRect(c.dc, &r, face);
    EXPECT_EQ(c.At(2, 2), teal);
    int bad = 77;
    EXPECT_FALSE(SetSysColors(1, &bad, &teal));
    KelResetSysColors();
    EXPECT_EQ(GetSysColor(COLOR_3DFACE), RGB(192, 192, 192));
}

TEST(SystemLook, MetricsAndTheScreen) {
    EXPECT_EQ(GetSystemMetrics(SM_CXVSCROLL), 16);
    EXPECT_EQ(GetSystemMetrics(SM_CYHSCROLL), 16);
    EXPECT_EQ(GetSystemMetrics(SM_CXDOUBLECLK), 4);
    EXPECT_EQ(GetSystemMetrics(SM_CXEDGE), 2);
    EXPECT_EQ(GetSystemMetrics(SM_CYCAPTION), 18);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(-5), 0);
    KelSetScreenSize(1920, 1080);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1920);
    EXPECT_EQ(GetSystemMetrics(SM_CXFULLSCREEN), 1920);
    Canvas c(2, 2);
    EXPECT_EQ(c.dc.GetDeviceCaps(HORZRES), 1920);
    EXPECT_EQ(c.dc.GetDeviceCaps(LOGPIXELSY), 96);
    KelSetScreenDpi(120);
    EXPECT_EQ(c.dc.GetDeviceCaps(LOGPIXELSY), 120);
    KelSetScreenDpi(96);
    KelResetSystemMetrics();
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1280);
}

TEST(Objects, LogicalRecordsComeBackFromGetObject) {
    CPen pen(PS_DASH, 0, kRed);
    LOGPEN lp{};
    ASSERT_EQ(pen.GetLogPen(&lp), (int)sizeof lp);
    EXPECT_EQ(lp.lopnStyle, (UINT)PS_DASH);
    EXPECT_EQ(lp.lopnWidth.x, 0);
    EXPECT_EQ(lp.lopnColor, kRed);
    CBrush hatch(HS_BDIAGONAL, kRed);
    LOGBRUSH lb{};
    hatch.GetLogBrush(&lb);
    EXPECT_EQ(lb.lbStyle, (UINT)BS_HATCHED);
    EXPECT_EQ(lb.lbHatch, (ULONG_PTR)HS_BDIAGONAL);
    EXPECT_EQ(GetObject(hatch, 0, nullptr), (int)sizeof(LOGBRUSH)); // the size asked for
    LOGBRUSH face{};
    GetObject(GetSysColorBrush(COLOR_HIGHLIGHT), sizeof face, &face);
    EXPECT_EQ(face.lbColor, RGB(0, 0, 128));
    CFont font;
    LOGFONT in{};
    in.lfHeight = -13;
    in.lfWeight = FW_BOLD;
    std::strcpy(in.lfFaceName, "Courier New");
    ASSERT_TRUE(font.CreateFontIndirect(&in));
    LOGFONT out{};
    font.GetLogFont(&out);
    EXPECT_EQ(out.lfHeight, -13);
    EXPECT_STREQ(out.lfFaceName, "Courier New");
    EXPECT_EQ(pen.GetObjectType(), (UINT)OBJ_PEN);
    EXPECT_EQ(font.GetObjectType(), (UINT)OBJ_FONT);
}

TEST(Objects, PointFontsFollowTheContextsResolution) {
    KelSetScreenDpi(120);
    Canvas c(2, 2);
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(100, "Arial", &c.dc));
    LOGFONT lf{};
    font.GetLogFont(&lf);
    EXPECT_EQ(lf.lfHeight, -17); // 10 points at 120 dpi, rounded
    KelSetScreenDpi(96);
}

} // namespace
