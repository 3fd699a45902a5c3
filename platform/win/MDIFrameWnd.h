// CMDIFrameWnd: the main frame of a multiple-document application. Its client window holds
// the child frames; one of them is active and gets the commands first.
#pragma once

#include "platform/win/FrameWnd.h"

class CMDIChildWnd;
class CMenu;

class CMDIFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMDIFrameWnd)
public:
    CMDIFrameWnd();

    HWND m_hWndMDIClient;

    // The active child frame (NULL when there is none); *pbMaximized tells whether it fills
    // the client window.
    CMDIChildWnd* MDIGetActive(BOOL* pbMaximized = NULL) const;
    void MDIActivate(CWnd* pWndActivate);
    void MDINext();
    void MDIMaximize(CWnd* pWnd);
    void MDIRestore(CWnd* pWnd);
    void MDITile();
    void MDICascade();

    virtual BOOL CreateClient(LPCREATESTRUCT lpCreateStruct, CMenu* pWindowMenu);
    CFrameWnd* GetActiveFrame() override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    void OnUpdateFrameTitle(BOOL bAddToTitle) override;

protected:
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;

    DECLARE_MESSAGE_MAP()
};

// The class of the client window that holds child frames.
#define KEL_MDICLIENT_CLASS "MDIClient"
