// CWinThread: the message loop of the user-interface thread (pumping, pre-translation, idle
// processing). The application object is one.
#pragma once

#include "platform/win/CmdTarget.h"
#include "platform/win/Messages.h"

class CWnd;

class CWinThread : public CCmdTarget {
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();
    ~CWinThread() override;

    CWnd* m_pMainWnd;   // its destruction ends the loop
    CWnd* m_pActiveWnd; // the window of an in-place activation; unused here
    MSG m_msgCur;       // the message being pumped

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // The loop: pumps until WM_QUIT (or, without a display, until nothing can ever come).
    virtual int Run();
    // Takes one message (waiting for it), pre-translates and dispatches it. FALSE on WM_QUIT.
    virtual BOOL PumpMessage();
    // Offers a message to PreTranslateMessage of its window and its parents, then to the
    // main window. TRUE when one of them took it.
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Idle work: lCount 0 updates the command-user-interface of visible windows, 1 frees the
    // temporary objects. TRUE while more idle work remains.
    virtual BOOL OnIdle(LONG lCount);
    // Whether a message ends idle time (mouse moves and paints do not restart idle work).
    virtual BOOL IsIdleMessage(MSG* pMsg);
    virtual CWnd* GetMainWnd();

    // Pre-translates and dispatches a message already taken from the queue.
    void ProcessMessage(MSG* pMsg);
    // The last pump found that no input can ever come (headless, nothing queued or timed).
    BOOL IsStalled() const { return m_bStalled; }

protected:
    BOOL m_bStalled;
    MSG m_msgLast; // for IsIdleMessage: a mouse move to the same place is not news
};

CWinThread* AFXAPI AfxGetThread();
CWnd* AFXAPI AfxGetMainWnd();
// One message pumped by the current thread (modal loops use it).
BOOL AFXAPI AfxPumpMessage();
void AFXAPI AfxPostQuitMessage(int nExitCode);
