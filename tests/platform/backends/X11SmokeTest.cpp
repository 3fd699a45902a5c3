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
