// Tooltips: tools for windows and rectangles, texts given, from strings or asked for; the tip
// shows after the initial delay while the pointer rests on a tool (on the test clock), and
// goes on a click, when the pointer leaves, or after its time.
#include "ControlTest.h"

namespace {

constexpr UINT IDS_AREA_TIP = 3400;

// A window that hands its and its children's mouse messages to its tooltip, as the grid does.
class CTipHost : public CHostWnd {
public:
    CToolTipCtrl* pTip = nullptr;
    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pTip != nullptr && pTip->m_hWnd != nullptr && pMsg->message >= WM_MOUSEFIRST &&
            pMsg->message <= WM_MBUTTONDBLCLK)
            pTip->RelayEvent(pMsg);
        return CHostWnd::PreTranslateMessage(pMsg);
    }

protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
        if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == TTN_NEEDTEXT) {
            auto* info = reinterpret_cast<NMTTDISPINFO*>(lParam);
            std::strcpy(info->szText, "Asked for");
        }
        return CHostWnd::OnWndMsg(message, wParam, lParam, pResult);
    }
};

class ToolTipTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        hModule = AfxRegisterModule("KelTestTips.dll");
        AfxSetStringResource(hModule, IDS_AREA_TIP, "From the string table");
        ASSERT_TRUE(host.CreateHost(CRect(100, 100, 400, 300)));
        ASSERT_TRUE(button.Create("Go", WS_CHILD | WS_VISIBLE, CRect(10, 10, 90, 40), &host, 41));
        ASSERT_TRUE(tip.Create(&host));
        host.pTip = &tip;
        EXPECT_TRUE(tip.AddTool(&button, "Run the search"));
        CRect area(150, 10, 250, 60);
        EXPECT_TRUE(tip.AddTool(&host, IDS_AREA_TIP, &area, 1));
        CRect asked(150, 100, 250, 150);
        EXPECT_TRUE(tip.AddTool(&host, LPSTR_TEXTCALLBACK, &asked, 2));
        KelRunUntilIdle();
    }
    void TearDown() override {
        KelResetWindowSystem();
        AfxUnregisterModule(hModule);
        ControlTest::TearDown();
    }
    CString Shown() {
        if (!tip.IsWindowVisible())
            return CString();
        TOOLINFO ti{};
        ti.cbSize = sizeof(ti);
        if (!tip.SendMessage(TTM_GETCURRENTTOOL, 0, reinterpret_cast<LPARAM>(&ti)))
            return CString();
        char text[256] = {};
        ti.lpszText = text;
        tip.SendMessage(TTM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(&ti));
        return CString(text);
    }
    HINSTANCE hModule = nullptr;
    CTipHost host;
    CButton button;
    CToolTipCtrl tip;
};

TEST_F(ToolTipTest, TextShowsAfterTheInitialDelayWhileThePointerRests) {
    EXPECT_EQ(3, tip.GetToolCount());
    CString text;
    tip.GetText(text, &button);
    EXPECT_STREQ("Run the search", text);
    Robot robot;
    robot.Move(&button, CPoint(20, 15));
    robot.Wait(400);
    EXPECT_FALSE(tip.IsWindowVisible());
    robot.Wait(150);
    EXPECT_STREQ("Run the search", Shown());
    // Below the pointer, on top of everything.
    CRect rc;
    tip.GetWindowRect(&rc);
    CPoint cursor;
    ::GetCursorPos(&cursor);
    EXPECT_GT(rc.top, cursor.y);
    EXPECT_TRUE(tip.GetExStyle() & WS_EX_TOPMOST);
    KelRunUntilIdle();
    SavePicture(&tip, "tooltip");
    const COLORREF back = KelGetWindowPixel(tip.m_hWnd, CPoint(1, 1));
    EXPECT_EQ(::GetSysColor(COLOR_INFOBK), back);

    // A click hides it; it does not come back while the pointer stays on the tool.
    robot.Click(&button, CPoint(20, 15));
    EXPECT_FALSE(tip.IsWindowVisible());
    robot.Wait(1000);
    EXPECT_FALSE(tip.IsWindowVisible());
    // Another tool: a rectangle of the host with a string of the resource chain.
    robot.Move(&host, CPoint(200, 30));
    robot.Wait(600);
    EXPECT_STREQ("From the string table", Shown());
    // Off every tool it goes at once.
    robot.Move(&host, CPoint(120, 180));
    EXPECT_FALSE(tip.IsWindowVisible());
    // A tool whose text is asked for when shown.
    robot.Move(&host, CPoint(200, 120));
    robot.Wait(600);
    EXPECT_STREQ("Asked for", Shown());
    // After its time (ten initial delays) it goes by itself.
    robot.Wait(5100);
    EXPECT_FALSE(tip.IsWindowVisible());
}

TEST_F(ToolTipTest, InactiveTooltipShowsNothingAndDelaysCanChange) {
    tip.Activate(FALSE);
    Robot robot;
    robot.Move(&button, CPoint(20, 15));
    robot.Wait(2000);
    EXPECT_FALSE(tip.IsWindowVisible());
    tip.Activate(TRUE);
    tip.SetDelayTime(TTDT_INITIAL, 100);
    EXPECT_EQ(100, tip.GetDelayTime(TTDT_INITIAL));
    robot.Move(&host, CPoint(200, 30));
    robot.Wait(120);
    EXPECT_STREQ("From the string table", Shown());
    tip.DelTool(&host, 1);
    EXPECT_FALSE(tip.IsWindowVisible());
    EXPECT_EQ(2, tip.GetToolCount());
}

TEST_F(ToolTipTest, SubclassedToolNeedsNoRelay) {
    host.pTip = nullptr; // nothing relayed
    CButton other;
    ASSERT_TRUE(other.Create("Other", WS_CHILD | WS_VISIBLE, CRect(10, 100, 90, 130), &host, 42));
    TOOLINFO ti{};
    tip.FillInToolInfo(ti, &other, 0);
    ti.uFlags |= TTF_SUBCLASS;
    ti.lpszText = const_cast<LPSTR>("Seen by itself");
    ASSERT_TRUE(tip.SendMessage(TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti)));
    Robot robot;
    robot.Move(&other, CPoint(20, 15));
    robot.Wait(600);
    EXPECT_STREQ("Seen by itself", Shown());
    // The button still works under the tooltip's procedure.
    robot.Click(&other, CPoint(20, 15));
    EXPECT_EQ(1, host.Count("cmd 42 BN_CLICKED"));
    tip.DelTool(&other);
    robot.Wait(1000);
    robot.Move(&other, CPoint(25, 16));
    robot.Wait(600);
    EXPECT_FALSE(tip.IsWindowVisible());
}

} // namespace
