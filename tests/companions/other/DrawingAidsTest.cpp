// The drawing aids: the off-screen context that reaches the screen once, at its end; the
// application palette; the mask colour.
#include <KelOther.h>
#include <afxwin.h>

#include "platform/backends/headless/HeadlessBackend.h"

#include <cairo.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

namespace {

const COLORREF kRed = RGB(255, 0, 0), kBlue = RGB(0, 0, 255), kGreen = RGB(0, 128, 0);

// A display: what the window manager shows of each top-level window, kept as a screen would.
class ScreenBackend : public kel::backends::HeadlessBackend {
public:
    void Present(HWND top, cairo_surface_t* image, const RECT& dirty) override {
        cairo_surface_flush(image);
        const int cx = cairo_image_surface_get_width(image);
        const int cy = cairo_image_surface_get_height(image);
        const int stride = cairo_image_surface_get_stride(image);
        const unsigned char* data = cairo_image_surface_get_data(image);
        Shown& shown = m_shown[top];
        if (shown.cx != cx || shown.cy != cy)
            shown = Shown{cx, cy, std::vector<uint32_t>(static_cast<size_t>(cx) * cy, 0)};
        for (int y = std::max<LONG>(0, dirty.top); y < std::min<LONG>(cy, dirty.bottom); ++y)
            for (int x = std::max<LONG>(0, dirty.left); x < std::min<LONG>(cx, dirty.right); ++x)
                shown.pixels[static_cast<size_t>(y) * cx + x] =
                    reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride)[x];
    }
    COLORREF Pixel(HWND top, int x, int y) const {
        const auto it = m_shown.find(top);
        if (it == m_shown.end() || x < 0 || y < 0 || x >= it->second.cx || y >= it->second.cy)
            return CLR_INVALID;
        const uint32_t p = it->second.pixels[static_cast<size_t>(y) * it->second.cx + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

private:
    struct Shown {
        int cx = 0, cy = 0;
        std::vector<uint32_t> pixels;
    };
    std::map<HWND, Shown> m_shown;
};

// A window that paints through a CMemDC and looks at the screen while it does.
class CMemPaintWnd : public CWnd {
public:
    const ScreenBackend* m_pScreen = nullptr;
    COLORREF m_crFill = kBlue;
    CRect m_rcArea; // the area given to the CMemDC; empty: the clip box
    std::vector<COLORREF> m_seenWhileDrawing;
    CRect m_rcCovered;
    COLORREF m_crStart = CLR_INVALID;   // the first pixel of the covered area, as it began
    COLORREF m_crBkAfter = CLR_INVALID; // the paint context's background after the CMemDC
    int m_nPaints = 0;

    BOOL CreateWnd() {
        return CreateEx(0, AfxRegisterWndClass(0, nullptr, ::GetSysColorBrush(COLOR_WINDOW)),
                        "Paint", WS_POPUP | WS_VISIBLE, CRect(0, 0, 100, 80), nullptr, 0);
    }
    COLORREF Screen(int x, int y) const { return m_pScreen->Pixel(m_hWnd, x, y); }

protected:
    afx_msg BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    afx_msg void OnPaint() {
        ++m_nPaints;
        CPaintDC dc(this);
        dc.SetBkColor(kGreen);
        {
            CMemDC mem(&dc, m_rcArea.IsRectEmpty() ? nullptr : &m_rcArea);
            m_rcCovered = mem.GetRect();
            EXPECT_TRUE(mem.IsOffScreen());
            m_crStart = mem.GetPixel(m_rcCovered.TopLeft());
            // Intermediate states, each looked for on the screen.
            mem->FillSolidRect(CRect(0, 0, 100, 80), kRed);
            m_seenWhileDrawing.push_back(Screen(15, 15));
            mem.SetBkColor(kRed);
            mem->FillSolidRect(CRect(0, 0, 100, 80), m_crFill);
            m_seenWhileDrawing.push_back(Screen(15, 15));
        }
        m_crBkAfter = dc.GetBkColor();
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

// On a window, the drawing goes on the window's image, which reaches the screen only when the
// paint ends; it starts filled with the paint's background, stays inside its area, and leaves
// the paint context as it found it.
TEST_F(DrawingAidsTest, OffScreenDrawingReachesTheScreenOnlyAtTheEnd) {
    auto backend = std::make_unique<ScreenBackend>();
    const ScreenBackend* screen = backend.get();
    KelSetBackend(std::move(backend));
    CMemPaintWnd wnd;
    wnd.m_pScreen = screen;
    ASSERT_TRUE(wnd.CreateWnd());
    KelRunUntilIdle();
    ASSERT_EQ(1, wnd.m_nPaints);
    EXPECT_EQ(CRect(0, 0, 100, 80), wnd.m_rcCovered);
    EXPECT_EQ(kGreen, wnd.m_crStart);
    EXPECT_EQ(kGreen, wnd.m_crBkAfter);
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

    // An area smaller than what is painted: nothing drawn outside it lands.
    wnd.m_rcArea = CRect(30, 30, 40, 40);
    wnd.m_crFill = kRed;
    wnd.Invalidate(FALSE);
    KelRunUntilIdle();
    EXPECT_EQ(kRed, wnd.Screen(35, 35));
    EXPECT_EQ(kGreen, wnd.Screen(15, 15));
    EXPECT_EQ(kBlue, wnd.Screen(25, 15));
    EXPECT_EQ(kBlue, wnd.Screen(45, 45));
    wnd.DestroyWindow();
    KelSetBackend(kel::backends::CreateHeadlessBackend());
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
