// The drawing aids: the off-screen context that reaches the screen once, at its end; the
// application palette; the mask colour.
#include <KelOther.h>
#include <afxwin.h>

#include <gtest/gtest.h>

namespace {

const COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 128, 0);

// A window that paints through a CMemDC and looks at the screen while it does.
class CMemPaintWnd : public CWnd {
public:
    COLORREF m_crFill = kBlue;
    std::vector<COLORREF> m_seenWhileDrawing;
    CRect m_rcCovered;
    int m_nPaints = 0;

    BOOL CreateWnd() {
        return CreateEx(0, AfxRegisterWndClass(0, nullptr, ::GetSysColorBrush(COLOR_WINDOW)),
                        "Paint", WS_POPUP | WS_VISIBLE, CRect(0, 0, 100, 80), nullptr, 0);
    }
    COLORREF Screen(int x, int y) const { return KelGetWindowPixel(m_hWnd, CPoint(x, y)); }

protected:
    afx_msg BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    afx_msg void OnPaint() {
        ++m_nPaints;
        CPaintDC dc(this);
        CMemDC mem(&dc);
        m_rcCovered = mem.GetRect();
        // Intermediate states, each looked for on the screen.
        mem->FillSolidRect(CRect(0, 0, 100, 80), kRed);
        m_seenWhileDrawing.push_back(Screen(15, 15));
        mem->FillSolidRect(CRect(0, 0, 100, 80), m_crFill);
        m_seenWhileDrawing.push_back(Screen(15, 15));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMemPaintWnd, CWnd)
ON_WM_ERASEBKGND()
ON_WM_PAINT()
END_MESSAGE_MAP()

class DrawingAidsTest : public ::testing::Test {
protected:
    void SetUp() override { KelResetWindowSystem(); }
    void TearDown() override { KelResetWindowSystem(); }
};

TEST_F(DrawingAidsTest, OffScreenDrawingReachesTheWindowOnlyAtTheEnd) {
    CMemPaintWnd wnd;
    ASSERT_TRUE(wnd.CreateWnd());
    KelRunUntilIdle();
    ASSERT_EQ(1, wnd.m_nPaints);
    EXPECT_EQ(CRect(0, 0, 100, 80), wnd.m_rcCovered);
    // Nothing of the drawing showed before the end of the paint; then the last state did.
    for (COLORREF seen : wnd.m_seenWhileDrawing) {
        EXPECT_NE(kRed, seen);
        EXPECT_NE(kBlue, seen);
    }
    EXPECT_EQ(kBlue, wnd.Screen(15, 15));

    // A paint of part of the window covers that part only; the rest stays as it was.
    wnd.m_seenWhileDrawing.clear();
    wnd.m_crFill = kGreen;
    wnd.InvalidateRect(CRect(10, 10, 20, 20), FALSE);
    KelRunUntilIdle();
    EXPECT_EQ(CRect(10, 10, 20, 20), wnd.m_rcCovered);
    EXPECT_EQ((std::vector<COLORREF>{kBlue, kBlue}), wnd.m_seenWhileDrawing);
    EXPECT_EQ(kGreen, wnd.Screen(15, 15));
    EXPECT_EQ(kBlue, wnd.Screen(25, 15));
    wnd.DestroyWindow();
}

TEST_F(DrawingAidsTest, OffScreenContextCarriesTheTargetsStateAndDrawsThroughOnAPrinter) {
    CDC target;
    ASSERT_TRUE(target.CreateCompatibleDC(nullptr));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(40, 30, 1, 32, nullptr));
    target.SelectObject(&bitmap);
    target.SetWindowOrg(-5, -5); // logical (-5, -5) is the bitmap's corner
    target.SetBkColor(RGB(1, 2, 3));
    {
        CMemDC mem(&target);
        EXPECT_TRUE(mem.IsOffScreen());
        EXPECT_EQ(CRect(-5, -5, 35, 25), mem.GetRect());
        // It starts filled with the target's background colour, in the target's coordinates.
        EXPECT_EQ(RGB(1, 2, 3), mem.GetPixel(0, 0));
        mem.SetPixelV(10, 10, kRed);
        EXPECT_EQ(RGB(0, 0, 0), target.GetPixel(10, 10));
    }
    EXPECT_EQ(kRed, target.GetPixel(10, 10));
    EXPECT_EQ(RGB(1, 2, 3), target.GetPixel(0, 0));

    // On a printer every call goes straight to the target.
    target.m_bPrinting = TRUE;
    {
        CMemDC mem(&target);
        EXPECT_FALSE(mem.IsOffScreen());
        mem.SetPixelV(12, 12, kBlue);
        EXPECT_EQ(kBlue, target.GetPixel(12, 12));
    }
    EXPECT_NE(nullptr, target.GetSafeHdc()); // still the target's
}

TEST_F(DrawingAidsTest, ApplicationPaletteAndMaskColour) {
    EXPECT_EQ(nullptr, AppPalette.UsePalette(nullptr, FALSE));
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    AppPalette.UsePalette(&dc, FALSE);
    EXPECT_EQ(&AppPalette, dc.GetCurrentPalette());
    // The standard 16 colours and the colour cube, each once.
    EXPECT_EQ(224, AppPalette.GetEntryCount());
    PALETTEENTRY first[16] = {};
    ASSERT_EQ(16u, AppPalette.GetPaletteEntries(0, 16, first));
    EXPECT_EQ(RGB(255, 255, 255), RGB(first[15].peRed, first[15].peGreen, first[15].peBlue));
    EXPECT_EQ(0u, AppPalette.GetNearestPaletteIndex(RGB(0, 0, 0)));
    EXPECT_EQ(RGB(255, 0, 255), ColorMask);
}

} // namespace
