#include "platform/win/WinThread.h"

#include "platform/win/WinApp.h"
#include "platform/win/Wnd.h"
#include "platform/win/WindowManager.h"

#include "platform/gdi/DC.h"
#include "platform/gdi/GdiObject.h"

#include <vector>

IMPLEMENT_DYNAMIC(CWinThread, CCmdTarget)

CWinThread::CWinThread()
    : m_pMainWnd(nullptr), m_pActiveWnd(nullptr), m_msgCur{}, m_bStalled(FALSE), m_msgLast{} {}

CWinThread::~CWinThread() = default;

BOOL CWinThread::InitInstance() {
    return FALSE;
}
int CWinThread::ExitInstance() {
    return static_cast<int>(m_msgCur.wParam);
}
CWnd* CWinThread::GetMainWnd() {
    return m_pMainWnd;
}

int CWinThread::Run() {
    BOOL bIdle = TRUE;
    LONG lIdleCount = 0;
    for (;;) {
        while (bIdle && !::PeekMessage(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(lIdleCount++))
                bIdle = FALSE;
        }
        do {
            if (!PumpMessage())
                return ExitInstance();
            if (m_bStalled)
                return ExitInstance();
            if (IsIdleMessage(&m_msgCur)) {
                bIdle = TRUE;
                lIdleCount = 0;
            }
        } while (::PeekMessage(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE));
    }
}

BOOL CWinThread::PumpMessage() {
    m_bStalled = FALSE;
    if (!::GetMessage(&m_msgCur, nullptr, 0, 0))
        return FALSE;
    if (m_msgCur.message == WM_NULL && m_msgCur.hwnd == nullptr && m_msgCur.lPrivate != 0) {
        m_bStalled = TRUE;
        return TRUE;
    }
    ProcessMessage(&m_msgCur);
    return TRUE;
}

void CWinThread::ProcessMessage(MSG* pMsg) {
    if (pMsg->message != WM_KICKIDLE && !PreTranslateMessage(pMsg)) {
        ::TranslateMessage(pMsg);
        ::DispatchMessage(pMsg);
    }
}

BOOL CWinThread::PreTranslateMessage(MSG* pMsg) {
    CWnd* pMainWnd = GetMainWnd();
    HWND hWndStop = pMainWnd != nullptr ? pMainWnd->m_hWnd : nullptr;
    if (CWnd::WalkPreTranslateTree(hWndStop, pMsg))
        return TRUE;
    // A message of another top-level window (a modeless dialog) still meets the main
    // window's accelerators.
    if (pMainWnd != nullptr && pMainWnd->m_hWnd != nullptr && pMsg->hwnd != nullptr) {
        CWnd* pWnd = CWnd::FromHandle(pMsg->hwnd);
        if (pWnd != nullptr && pWnd->GetTopLevelParent() != pMainWnd)
            return pMainWnd->PreTranslateMessage(pMsg);
    }
    return FALSE;
}

BOOL CWinThread::OnIdle(LONG lCount) {
    if (lCount <= 0) {
        // Every visible top-level window with an object updates its commands' state: the main
        // window, frames, modeless dialogs.
        std::vector<HWND> tops = kel::win::WindowManager::Get().TopLevels();
        for (HWND h : tops) {
            CWnd* pWnd = CWnd::FromHandlePermanent(h);
            if (pWnd == nullptr || !::IsWindowVisible(h))
                continue;
            AfxCallWndProc(pWnd, h, WM_IDLEUPDATECMDUI, TRUE, 0);
            if (::IsWindow(h))
                pWnd->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
        }
        return TRUE;
    }
    // Temporary objects go only when no handler runs: a loop run from inside a handler (a
    // modal loop, a test's driver) must not free what that handler still holds.
    if (lCount == 1 && !kel::win::WindowManager::Get().InSend()) {
        CWnd::DeleteTempMap();
        CDC::DeleteTempMap();
        CGdiObject::DeleteTempMap();
    }
    return FALSE;
}

BOOL CWinThread::IsIdleMessage(MSG* pMsg) {
    if (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_NCMOUSEMOVE) {
        const bool same = m_msgLast.message == pMsg->message && m_msgLast.pt.x == pMsg->pt.x &&
                          m_msgLast.pt.y == pMsg->pt.y;
        m_msgLast = *pMsg;
        return !same;
    }
    return pMsg->message != WM_PAINT && pMsg->message != 0x0118; // WM_SYSTIMER (caret blink)
}

CWinThread* AFXAPI AfxGetThread() {
    return AfxGetApp();
}

CWnd* AFXAPI AfxGetMainWnd() {
    CWinThread* pThread = AfxGetThread();
    return pThread != nullptr ? pThread->GetMainWnd() : nullptr;
}

BOOL AFXAPI AfxPumpMessage() {
    return AfxGetThread()->PumpMessage();
}
void AFXAPI AfxPostQuitMessage(int nExitCode) {
    ::PostQuitMessage(nExitCode);
}
