// Real windows on the X display: a window shows what it painted, xdotool's click and keys
// arrive as messages, a message box is a real window.
#include <afxwin.h>

#include "platform/backends/x11/X11Backend.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// Runs the loop in real time until done() or ms pass; whether done() came true.
bool RunUntil(const std::function<bool()>& done, DWORD ms) {
    const DWORD end = ::GetTickCount() + ms;
    while (!done()) {
        if (static_cast<int32_t>(::GetTickCount() - end) >= 0)
            return false;
        KelRunFor(20);
    }
    return true;
}

std::string Output(const std::string& command) {
    std::array<char, 256> buf{};
    std::string out;
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (!pipe)
        return out;
    while (fgets(buf.data(), static_cast<int>(buf.size()), pipe.get()) != nullptr)
        out += buf.data();
    return out;
}

class CClickWnd : public CWnd {
public:
    std::vector<CPoint> m_clicks;
    std::string m_chars;
    int m_nPaints = 0;

protected:
    afx_msg void OnLButtonDown(UINT, CPoint point) { m_clicks.push_back(point); }
    afx_msg void OnChar(UINT nChar, UINT, UINT) { m_chars += static_cast<char>(nChar); }
    afx_msg void OnPaint() {
        CPaintDC dc(this);
        CRect rc;
        GetClientRect(&rc);
        dc.FillSolidRect(&rc, RGB(255, 0, 0));
        ++m_nPaints;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CClickWnd, CWnd)
ON_WM_LBUTTONDOWN()
ON_WM_CHAR()
ON_WM_PAINT()
END_MESSAGE_MAP()

// Bands 20 pixels high, each of its own colour, from m_nTop down: a scroll moves them.
class CBandsWnd : public CWnd {
public:
    static constexpr int kBand = 20;
    int m_nTop = 0;
    int m_nPaints = 0;
    static COLORREF BandColour(int k) { return RGB((k * 37) % 256, (k * 91) % 256, 128); }

protected:
    afx_msg void OnPaint() {
        CPaintDC dc(this);
        CRect rc;
        GetClientRect(&rc);
        for (int y = 0; y < rc.bottom; y += kBand)
            dc.FillSolidRect(0, y, rc.right, kBand, BandColour((y + m_nTop) / kBand));
        ++m_nPaints;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBandsWnd, CWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

// The screen's pixels in the column x from y, n of them, as COLORREFs.
std::vector<COLORREF> ScreenColumn(int x, int y, int n) {
    const std::string text =
        Output("import -window root -crop 1x" + std::to_string(n) + "+" + std::to_string(x) + "+" +
               std::to_string(y) + " -depth 8 txt:- 2>/dev/null");
    std::vector<COLORREF> column;
    // Lines "x,y: (r,g,b)  #RRGGBB  srgb(...)" after a heading that starts with '#'.
    for (size_t at = text.find(": ("); at != std::string::npos; at = text.find(": (", at + 1)) {
        const size_t hash = text.find('#', at);
        if (hash == std::string::npos)
            break;
        const unsigned long rgb = std::strtoul(text.substr(hash + 1, 6).c_str(), nullptr, 16);
        column.push_back(RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF));
    }
    return column;
}

class X11Test : public ::testing::Test {
protected:
    void SetUp() override {
        // Real windows need a display: ./run test gives a private Xvfb one.
        if (!kel::backends::CreateX11Backend())
            GTEST_SKIP() << "no X display can be opened";
        ASSERT_TRUE(KelX11BackendAvailable());
        KelRequestRealWindows(TRUE);
        ASSERT_STREQ("x11", KelGetBackendName());
    }
    void TearDown() override { KelResetWindowSystem(); }
};

TEST_F(X11Test, WindowShowsItsImageAndTakesTheClickAndKeys) {
    CClickWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW)), "smoke",
                             WS_POPUP | WS_VISIBLE | WS_BORDER, CRect(100, 100, 300, 250), nullptr,
                             0));
    ASSERT_TRUE(RunUntil([&] { return wnd.m_nPaints > 0; }, 5000));
    KelRunFor(300); // the server maps and shows it

    // What the window painted is on the screen.
    std::string pixel = Output("import -window root -crop 1x1+200+200 -depth 8 txt:- 2>/dev/null");
    EXPECT_NE(std::string::npos, pixel.find("#FF0000")) << pixel;

    // A real click at 150,160 on the screen: the client area starts after the 1-pixel border.
    std::system("xdotool mousemove --sync 150 160 click 1");
    ASSERT_TRUE(RunUntil([&] { return !wnd.m_clicks.empty(); }, 5000));
    EXPECT_EQ(CPoint(49, 59), wnd.m_clicks.front());

    std::system("xdotool type --delay 20 ab");
    EXPECT_TRUE(RunUntil([&] { return wnd.m_chars == "ab"; }, 5000)) << wnd.m_chars;
}

// A scroll moves the pixels on the screen as in the image, also where the source was covered
// by another window; the band that comes in is painted.
TEST_F(X11Test, AScrollShowsWhatTheImageHolds) {
    CBandsWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW)), "bands",
                             WS_POPUP | WS_VISIBLE, CRect(100, 100, 300, 300), nullptr, 0));
    ASSERT_TRUE(RunUntil([&] { return wnd.m_nPaints > 0; }, 5000));
    KelRunFor(300);
    auto expectShown = [&](int nFrom, int nRows, const char* what) {
        const std::vector<COLORREF> column = ScreenColumn(150, 100 + nFrom, nRows);
        ASSERT_EQ(static_cast<size_t>(nRows), column.size()) << what;
        for (int y = nFrom; y < nFrom + nRows; ++y)
            ASSERT_EQ(CBandsWnd::BandColour((y + wnd.m_nTop) / CBandsWnd::kBand),
                      column[static_cast<size_t>(y - nFrom)])
                << what << ", row " << y;
    };
    expectShown(0, 200, "first paint");

    for (int k = 0; k < 3; ++k) {
        wnd.m_nTop += CBandsWnd::kBand;
        wnd.ScrollWindow(0, -CBandsWnd::kBand);
        wnd.UpdateWindow();
    }
    KelRunFor(100);
    expectShown(0, 200, "three bands up");

    // The lower half covered: moving up 60 takes pixels from under the cover.
    CBandsWnd cover;
    cover.m_nTop = 1000;
    ASSERT_TRUE(cover.CreateEx(0, AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW)), "cover",
                               WS_POPUP | WS_VISIBLE, CRect(100, 200, 300, 300), nullptr, 0));
    ASSERT_TRUE(RunUntil([&] { return cover.m_nPaints > 0; }, 5000));
    KelRunFor(300);
    wnd.m_nTop += 3 * CBandsWnd::kBand;
    wnd.ScrollWindow(0, -3 * CBandsWnd::kBand);
    wnd.UpdateWindow();
    KelRunFor(100);
    expectShown(0, 100, "above the cover");
    // The cover gone and the window scrolled before the server's exposure is read: the copy
    // carries the uncovered strip along, and both places are shown from the image.
    cover.DestroyWindow();
    wnd.m_nTop += 3 * CBandsWnd::kBand;
    wnd.ScrollWindow(0, -3 * CBandsWnd::kBand);
    wnd.UpdateWindow();
    KelRunFor(300);
    expectShown(0, 200, "the cover gone as the window scrolled");
}

TEST_F(X11Test, MessageBoxIsARealModalWindow) {
    CWnd* pBox = nullptr;
    KelSetModalDriver([&](CWnd* pModal) {
        pBox = pModal;
        EXPECT_TRUE(pModal->IsWindowVisible());
        Robot().Key(VK_ESCAPE); // Cancel
    });
    EXPECT_EQ(IDCANCEL, AfxMessageBox("Delete the record?", MB_OKCANCEL));
    EXPECT_NE(nullptr, pBox);
    ASSERT_EQ(1u, KelGetMessageBoxes().size());
    EXPECT_EQ(IDCANCEL, KelGetMessageBoxes()[0].nResult);
}

} // namespace
