// Timers on the virtual clock.
#include "TraceWnd.h"

namespace {

using TimerTest = WinTest;

class CTimerWnd : public CTraceWnd {
public:
    using CTraceWnd::CTraceWnd;
    bool m_bKillOnFire = false;

protected:
    afx_msg void OnTimer(UINT_PTR nIDEvent) {
        if (m_bKillOnFire)
            KillTimer(nIDEvent);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTimerWnd, CTraceWnd)
ON_WM_TIMER()
END_MESSAGE_MAP()

TEST_F(TimerTest, FireOnTheVirtualClockInOrderAndStopWhenKilled) {
    std::vector<std::string> log;
    CTimerWnd wnd(&log, "w");
    ASSERT_TRUE(wnd.CreateTop(CRect(0, 0, 50, 50)));
    KelRunUntilIdle();
    log.clear();
    const DWORD t0 = ::GetTickCount();
    wnd.SetTimer(1, 950, nullptr);
    wnd.SetTimer(2, 500, nullptr);
    KelRunUntilIdle();
    EXPECT_TRUE(log.empty()); // time does not move by itself
    KelAdvanceTime(1000);
    std::vector<std::string> expected = {"w:TIMER 2 at " + std::to_string(t0 + 500),
                                         "w:TIMER 1 at " + std::to_string(t0 + 950),
                                         "w:TIMER 2 at " + std::to_string(t0 + 1000)};
    EXPECT_EQ(expected, log);
    EXPECT_EQ(t0 + 1000, ::GetTickCount());

    log.clear();
    EXPECT_TRUE(wnd.KillTimer(2));
    EXPECT_FALSE(wnd.KillTimer(2));
    KelAdvanceTime(1000); // timer 1 runs on from 950
    expected = {"w:TIMER 1 at " + std::to_string(t0 + 1900)};
    EXPECT_EQ(expected, log);
}

TEST_F(TimerTest, SettingAgainRestartsTheInterval) {
    std::vector<std::string> log;
    CTimerWnd wnd(&log, "w");
    ASSERT_TRUE(wnd.CreateTop(CRect(0, 0, 50, 50)));
    const DWORD t0 = ::GetTickCount();
    wnd.SetTimer(1, 950, nullptr);
    KelAdvanceTime(900);
    wnd.SetTimer(1, 950, nullptr); // a character typed in time restarts the pause
    log.clear();
    KelAdvanceTime(900);
    EXPECT_TRUE(log.empty());
    KelAdvanceTime(100);
    ASSERT_EQ(1u, log.size());
    EXPECT_EQ("w:TIMER 1 at " + std::to_string(t0 + 1850), log[0]);
}

TEST_F(TimerTest, HandlerKillingItsTimerFiresOnceAndTimersDieWithTheWindow) {
    std::vector<std::string> log;
    CTimerWnd wnd(&log, "w");
    wnd.m_bKillOnFire = true;
    ASSERT_TRUE(wnd.CreateTop(CRect(0, 0, 50, 50)));
    wnd.SetTimer(2, ::GetDoubleClickTime(), nullptr);
    KelAdvanceTime(5000);
    int fired = 0;
    for (const auto& e : log)
        fired += e.rfind("w:TIMER 2", 0) == 0;
    EXPECT_EQ(1, fired);

    wnd.m_bKillOnFire = false;
    wnd.SetTimer(3, 100, nullptr);
    wnd.DestroyWindow();
    KelAdvanceTime(1000); // nothing left to fire, nothing to crash on
}

int g_procFired = 0;
void CALLBACK OnThreadTimer(HWND hWnd, UINT msg, UINT_PTR, DWORD) {
    if (hWnd == nullptr && msg == WM_TIMER)
        ++g_procFired;
}

TEST_F(TimerTest, TimerWithoutWindowCallsItsProcedure) {
    g_procFired = 0;
    UINT_PTR id = ::SetTimer(nullptr, 0, 200, OnThreadTimer);
    ASSERT_NE(0u, id);
    KelAdvanceTime(650);
    EXPECT_EQ(3, g_procFired);
    EXPECT_TRUE(::KillTimer(nullptr, id));
    KelAdvanceTime(650);
    EXPECT_EQ(3, g_procFired);
}

} // namespace
