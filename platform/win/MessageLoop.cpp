#include "platform/win/MessageLoop.h"

#include "platform/win/ModalDriver.h"
#include "platform/win/WinApp.h"
#include "platform/win/Wnd.h"
#include "platform/win/WindowManager.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using kel::win::WindowManager;

BOOL KelRunUntilIdle() {
    CWinThread* pThread = AfxGetThread();
    WindowManager& m = WindowManager::Get();
    // A handler that keeps making work (invalidating itself while it paints) never lets the
    // loop rest: that is a fault worth stopping for rather than a hang.
    long guard = 0;
    for (;;) {
        while (::PeekMessage(&pThread->m_msgCur, nullptr, 0, 0, PM_REMOVE)) {
            if (pThread->m_msgCur.message == WM_QUIT)
                return FALSE;
            pThread->ProcessMessage(&pThread->m_msgCur);
            if (++guard > 1000000) {
                std::fprintf(stderr, "KelRunUntilIdle: the loop never becomes idle\n");
                std::abort();
            }
        }
        LONG count = 0;
        while (pThread->OnIdle(count++)) {
        }
        if (!m.HasPending(true))
            return TRUE;
    }
}

void KelAdvanceTime(DWORD ms) {
    WindowManager& m = WindowManager::Get();
    kel::win::Clock& clock = m.GetClock();
    const DWORD target = m.Now() + ms;
    KelRunUntilIdle();
    if (clock.GetMode() != kel::win::Clock::Virtual) {
        ::Sleep(ms); // real time passes by itself
        KelRunUntilIdle();
        return;
    }
    for (;;) {
        DWORD due = 0;
        if (!m.NextTimerDue(due) || static_cast<int32_t>(due - target) > 0)
            break;
        clock.SetVirtualTime(due);
        KelRunUntilIdle();
    }
    clock.SetVirtualTime(target);
    KelRunUntilIdle();
}

void KelRunFor(DWORD ms) {
    WindowManager& m = WindowManager::Get();
    if (m.GetClock().GetMode() == kel::win::Clock::Virtual) {
        KelAdvanceTime(ms);
        return;
    }
    const DWORD end = m.Now() + ms;
    for (;;) {
        KelRunUntilIdle();
        const int32_t left = static_cast<int32_t>(end - m.Now());
        if (left <= 0)
            break;
        DWORD due = 0;
        int wait = left;
        if (m.NextTimerDue(due))
            wait = std::min<int>(wait, std::max(0, static_cast<int32_t>(due - m.Now())));
        m.GetBackend().Wait(wait);
    }
}

void KelResetWindowSystem() {
    WindowManager::Get().Reset();
    CWnd::DeleteTempMap();
    KelClearMessageBoxes();
    KelSetMessageBoxAnswer(0);
    KelSetMessageBoxHandler(nullptr);
    KelClearBeeps();
    KelClearModalDriver();
    KelResetWaitCursorStats();
    AfxGetApp()->m_nWaitCursorCount = 0;
    AfxGetApp()->m_pMainWnd = nullptr;
}
