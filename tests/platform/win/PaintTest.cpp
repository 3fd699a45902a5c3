// Painting: invalid regions, erase then paint, parents before children, children clipped
// out of their parent, the window's image and its PNG.
#include "TraceWnd.h"

#include "platform/win/Backend.h"

#include <cairo.h>

#include <filesystem>

namespace {

using PaintTest = WinTest;

// Fills its client area with one colour on every WM_PAINT and writes down what it painted.
class CPaintWnd : public CTraceWnd {
public:
    CPaintWnd(std::vector<std::string>* pLog, const char* name, COLORREF color)
        : CTraceWnd(pLog, name), m_color(color) {}
    COLORREF m_color;
    CRect m_lastPaint;
    BOOL m_lastErase = FALSE;
    int m_nPaints = 0;

protected:
    afx_msg void OnPaint() {
        CPaintDC dc(this);
        ++m_nPaints;
        m_lastPaint = dc.m_ps.rcPaint;
        m_lastErase = dc.m_ps.fErase;
        Log("PAINT");
        CRect rc;
        GetClientRect(&rc);
        dc.FillSolidRect(&rc, m_color); // everything: the clipping keeps it in its place
    }
    afx_msg BOOL OnEraseBkgnd(CDC* pDC) {
        Log("ERASE");
        return CWnd::OnEraseBkgnd(pDC);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaintWnd, CTraceWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kGreen = RGB(0, 160, 0);

LPCTSTR BrushClass(UINT style = 0) {
    return AfxRegisterWndClass(style, ::LoadCursor(nullptr, IDC_ARROW),
                               ::GetSysColorBrush(COLOR_WINDOW));
}

std::vector<std::string> Only(const std::vector<std::string>& log, const std::string& what) {
    std::vector<std::string> out;
    for (const auto& e : log)
        if (e.find(what) != std::string::npos)
            out.push_back(e);
    return out;
}

// The erase and paint entries, in order.
std::vector<std::string> Painting(const std::vector<std::string>& log) {
    std::vector<std::string> out;
    for (const auto& e : log)
        if (e.find("PAINT") != std::string::npos || e.find("ERASE") != std::string::npos)
            out.push_back(e);
    return out;
}

TEST_F(PaintTest, ParentsPaintBeforeChildrenAndNeverOverThem) {
    std::vector<std::string> log;
    CPaintWnd top(&log, "top", kRed);
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 200, 100), WS_POPUP | WS_VISIBLE, BrushClass()));
    CPaintWnd child(&log, "child", kBlue);
    ASSERT_TRUE(child.CreateChild(&top, CRect(50, 20, 150, 80), 1, WS_VISIBLE, BrushClass()));
    KelRunUntilIdle();
    // Erase then paint, the parent first.
    std::vector<std::string> expected = {"top:ERASE", "top:PAINT", "child:ERASE", "child:PAINT"};
    EXPECT_EQ(expected, Painting(log));
    EXPECT_EQ(kRed, KelGetWindowPixel(top, CPoint(10, 10)));
    EXPECT_EQ(kBlue, KelGetWindowPixel(top, CPoint(60, 30)));
    EXPECT_EQ(kBlue, KelGetWindowPixel(child, CPoint(0, 0)));

    // The parent repainting itself leaves the child's pixels alone.
    log.clear();
    top.Invalidate();
    KelRunUntilIdle();
    EXPECT_EQ(std::vector<std::string>({"top:ERASE", "top:PAINT"}), Painting(log));
    EXPECT_EQ(kBlue, KelGetWindowPixel(top, CPoint(60, 30)));
    EXPECT_EQ(kRed, KelGetWindowPixel(top, CPoint(160, 30)));

    // A paint validates: nothing more to do.
    log.clear();
    KelRunUntilIdle();
    EXPECT_TRUE(log.empty());
}

TEST_F(PaintTest, InvalidRegionsAccumulateAndOnlyThatAreaIsRepainted) {
    std::vector<std::string> log;
    CPaintWnd top(&log, "top", kRed);
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 200, 100), WS_POPUP | WS_VISIBLE, BrushClass()));
    KelRunUntilIdle();
    log.clear();
    top.m_color = kGreen;
    CRect a(0, 0, 10, 10), b(100, 50, 120, 60);
    top.InvalidateRect(&a, FALSE);
    top.InvalidateRect(&b, FALSE);
    KelRunUntilIdle();
    EXPECT_EQ(CRect(0, 0, 120, 60), top.m_lastPaint); // the bounds of what was invalid
    EXPECT_EQ(kGreen, KelGetWindowPixel(top, CPoint(5, 5)));
    EXPECT_EQ(kGreen, KelGetWindowPixel(top, CPoint(110, 55)));
    EXPECT_EQ(kRed, KelGetWindowPixel(top, CPoint(50, 30))); // inside the bounds, not invalid
    EXPECT_EQ(std::vector<std::string>({"top:PAINT"}), Only(log, "PAINT"));
    EXPECT_TRUE(Only(log, "ERASE").empty()); // invalidated without erase
}

TEST_F(PaintTest, ClassBrushErasesAndNullBrushLeavesItToThePaint) {
    std::vector<std::string> log;
    CTraceWnd top(&log, "top");
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 100, 100), WS_POPUP | WS_VISIBLE,
                              AfxRegisterWndClass(0, nullptr, ::CreateSolidBrush(kGreen))));
    KelRunUntilIdle();
    EXPECT_EQ(kGreen, KelGetWindowPixel(top, CPoint(50, 50)));

    // Without a brush nothing is erased and the paint is told to do it (fErase).
    CPaintWnd bare(&log, "bare", kBlue);
    ASSERT_TRUE(bare.CreateChild(&top, CRect(0, 0, 50, 50), 1, WS_VISIBLE, AfxRegisterWndClass(0)));
    KelRunUntilIdle();
    EXPECT_TRUE(bare.m_lastErase);
}

TEST_F(PaintTest, ResizeRepaintsAllWithRedrawStylesAndOnlyTheNewStripWithout) {
    std::vector<std::string> log;
    CPaintWnd top(&log, "top", kRed);
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 300, 200), WS_POPUP | WS_VISIBLE, BrushClass()));
    CPaintWnd plain(&log, "plain", kBlue);
    ASSERT_TRUE(plain.CreateChild(&top, CRect(0, 0, 100, 50), 1, WS_VISIBLE, BrushClass()));
    CPaintWnd redraw(&log, "redraw", kBlue);
    ASSERT_TRUE(redraw.CreateChild(&top, CRect(0, 100, 100, 150), 2, WS_VISIBLE,
                                   BrushClass(CS_HREDRAW | CS_VREDRAW)));
    KelRunUntilIdle();
    plain.MoveWindow(0, 0, 120, 50);
    redraw.MoveWindow(0, 100, 120, 50);
    KelRunUntilIdle();
    EXPECT_EQ(CRect(100, 0, 120, 50), plain.m_lastPaint);
    EXPECT_EQ(CRect(0, 0, 120, 50), redraw.m_lastPaint);
    // Shrinking shows the parent again where the child was.
    log.clear();
    plain.MoveWindow(0, 0, 60, 50);
    KelRunUntilIdle();
    EXPECT_EQ(1u, Only(log, "top:PAINT").size());
    EXPECT_EQ(kRed, KelGetWindowPixel(top, CPoint(90, 25)));
    // So does hiding it.
    plain.ShowWindow(SW_HIDE);
    KelRunUntilIdle();
    EXPECT_EQ(kRed, KelGetWindowPixel(top, CPoint(30, 25)));
}

// Paints its colour with a black line along its right and bottom edges: what it shows depends
// on its size.
class CEdgeWnd : public CPaintWnd {
public:
    using CPaintWnd::CPaintWnd;

protected:
    afx_msg void OnPaint() {
        CPaintDC dc(this);
        ++m_nPaints;
        CRect rc;
        GetClientRect(&rc);
        dc.FillSolidRect(&rc, m_color);
        dc.FillSolidRect(rc.right - 1, 0, 1, rc.bottom, RGB(0, 0, 0));
        dc.FillSolidRect(0, rc.bottom - 1, rc.right, 1, RGB(0, 0, 0));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CEdgeWnd, CPaintWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

// Lays its child over its whole client area without redrawing it, as a view does with the
// control it hosts.
class CHostWnd : public CPaintWnd {
public:
    using CPaintWnd::CPaintWnd;
    CWnd* m_pChild = nullptr;

protected:
    afx_msg void OnSize(UINT, int cx, int cy) {
        if (m_pChild != nullptr && m_pChild->GetSafeHwnd() != nullptr)
            m_pChild->MoveWindow(0, 0, cx, cy - 20, FALSE);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHostWnd, CPaintWnd)
ON_WM_SIZE()
END_MESSAGE_MAP()

std::vector<COLORREF> Pixels(CWnd& wnd) {
    CRect rc;
    wnd.GetClientRect(&rc);
    std::vector<COLORREF> out;
    for (int y = 0; y < rc.bottom; ++y)
        for (int x = 0; x < rc.right; ++x)
            out.push_back(KelGetWindowPixel(wnd, CPoint(x, y)));
    return out;
}

TEST_F(PaintTest, ResizedTopLevelShowsWhatAFullRepaintShows) {
    // A top-level window sized by the user, a host with the redraw styles that lays out its
    // child in WM_SIZE without redrawing it, the child: after the resize, larger or smaller,
    // the image is the one a full repaint gives.
    std::vector<std::string> log;
    CHostWnd top(&log, "top", kRed);
    ASSERT_TRUE(top.CreateTop(CRect(10, 10, 310, 210), WS_POPUP | WS_VISIBLE,
                              BrushClass(CS_HREDRAW | CS_VREDRAW)));
    CHostWnd host(&log, "host", kGreen);
    ASSERT_TRUE(host.CreateChild(&top, CRect(0, 0, 300, 180), 1, WS_VISIBLE,
                                 BrushClass(CS_HREDRAW | CS_VREDRAW)));
    top.m_pChild = &host;
    CEdgeWnd inner(&log, "inner", kBlue);
    ASSERT_TRUE(inner.CreateChild(&host, CRect(0, 0, 300, 160), 2, WS_VISIBLE, BrushClass()));
    host.m_pChild = &inner;
    KelRunUntilIdle();
    for (CRect rc : {CRect(10, 10, 410, 310), CRect(10, 10, 210, 160), CRect(10, 10, 330, 200)}) {
        KelInputMoveSize(top, rc);
        KelRunUntilIdle();
        CRect inside;
        inner.GetClientRect(&inside);
        EXPECT_EQ(rc.Height() - 40, inside.Height());
        std::vector<COLORREF> shown = Pixels(top);
        top.RedrawWindow(nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME | RDW_UPDATENOW);
        EXPECT_TRUE(shown == Pixels(top)) << rc.Width() << "x" << rc.Height();
    }
}

TEST_F(PaintTest, OverlappingSiblingsAboveAreClippedOut) {
    std::vector<std::string> log;
    CPaintWnd top(&log, "top", kRed);
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 200, 100), WS_POPUP | WS_VISIBLE, BrushClass()));
    CPaintWnd first(&log, "first", kBlue); // created first: on top of later siblings
    ASSERT_TRUE(first.CreateChild(&top, CRect(0, 0, 100, 100), 1, WS_VISIBLE, BrushClass()));
    CPaintWnd second(&log, "second", kGreen);
    ASSERT_TRUE(second.CreateChild(&top, CRect(50, 0, 150, 100), 2, WS_VISIBLE, BrushClass()));
    KelRunUntilIdle();
    second.Invalidate();
    KelRunUntilIdle();
    EXPECT_EQ(kBlue, KelGetWindowPixel(top, CPoint(75, 50)));
    EXPECT_EQ(kGreen, KelGetWindowPixel(top, CPoint(125, 50)));
}

TEST_F(PaintTest, UpdateWindowPaintsNowAndClientDCDrawsOutsidePaint) {
    std::vector<std::string> log;
    CPaintWnd top(&log, "top", kRed);
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 100, 100), WS_POPUP | WS_VISIBLE, BrushClass()));
    KelRunUntilIdle();
    top.Invalidate(FALSE);
    top.m_color = kBlue;
    top.UpdateWindow(); // synchronous: no loop needed
    EXPECT_EQ(kBlue, KelGetWindowPixel(top, CPoint(50, 50)));
    {
        CClientDC dc(&top);
        dc.FillSolidRect(0, 0, 10, 10, kGreen);
    }
    EXPECT_EQ(kGreen, KelGetWindowPixel(top, CPoint(5, 5)));
    EXPECT_EQ(kBlue, KelGetWindowPixel(top, CPoint(15, 15)));
}

TEST_F(PaintTest, FrameIsDrawnAroundTheClientArea) {
    CPaintWnd wnd(nullptr, "frame", kBlue);
    ASSERT_TRUE(wnd.CreateEx(WS_EX_CLIENTEDGE, BrushClass(), "Frame",
                             WS_POPUP | WS_VISIBLE | WS_CAPTION, CRect(0, 0, 200, 150), nullptr,
                             0));
    KelRunUntilIdle();
    CRect client;
    wnd.GetClientRect(&client);
    EXPECT_EQ(kBlue, KelGetWindowPixel(wnd, CPoint(0, 0)));
    // The caption above the client area has the active caption colour.
    CRect window;
    wnd.GetWindowRect(&window);
    CPoint org(0, 0);
    wnd.ClientToScreen(&org);
    EXPECT_GT(org.y - window.top, GetSystemMetrics(SM_CYCAPTION) - 1);
    // One of the drawn rows of the caption, in the caption's colour.
    const std::string path = std::string(KEL_TEST_DATA_DIR) + "/frame.png";
    std::filesystem::create_directories(KEL_TEST_DATA_DIR);
    ASSERT_TRUE(SaveWindowImage(wnd, path.c_str()));
    cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
    ASSERT_EQ(CAIRO_STATUS_SUCCESS, cairo_surface_status(png));
    EXPECT_EQ(200, cairo_image_surface_get_width(png));
    EXPECT_EQ(150, cairo_image_surface_get_height(png));
    const unsigned char* data = cairo_image_surface_get_data(png);
    const int stride = cairo_image_surface_get_stride(png);
    auto at = [&](int x, int y) {
        uint32_t p = *reinterpret_cast<const uint32_t*>(data + y * stride + x * 4);
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    };
    const int captionY = (org.y - window.top) / 2;
    EXPECT_EQ(::GetSysColor(COLOR_ACTIVECAPTION), at(window.Width() - 10, captionY));
    EXPECT_EQ(kBlue, at(org.x - window.left + 5, org.y - window.top + 5));
    cairo_surface_destroy(png);
    EXPECT_FALSE(SaveWindowImage(wnd, ""));
    EXPECT_FALSE(SaveWindowImage(nullptr, path.c_str()));
}

TEST_F(PaintTest, ChildImageIsItsPartOfTheTopLevelImage) {
    CPaintWnd top(nullptr, "top", kRed);
    ASSERT_TRUE(top.CreateTop(CRect(0, 0, 200, 100), WS_POPUP | WS_VISIBLE, BrushClass()));
    CPaintWnd child(nullptr, "child", kBlue);
    ASSERT_TRUE(child.CreateChild(&top, CRect(50, 20, 150, 80), 1, WS_VISIBLE, BrushClass()));
    const std::string path = std::string(KEL_TEST_DATA_DIR) + "/child.png";
    std::filesystem::create_directories(KEL_TEST_DATA_DIR);
    ASSERT_TRUE(SaveWindowImage(child, path.c_str())); // paints what is pending first
    cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
    ASSERT_EQ(CAIRO_STATUS_SUCCESS, cairo_surface_status(png));
    EXPECT_EQ(100, cairo_image_surface_get_width(png));
    EXPECT_EQ(60, cairo_image_surface_get_height(png));
    const unsigned char* data = cairo_image_surface_get_data(png);
    uint32_t p = *reinterpret_cast<const uint32_t*>(data);
    EXPECT_EQ(0x0000FFu, p & 0xFFFFFF);
    cairo_surface_destroy(png);
}

} // namespace
