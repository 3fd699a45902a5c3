// CToolTipCtrl: tooltips for windows or rectangles of windows.
#pragma once

#include "platform/controls/CommCtrlDefs.h"
#include "platform/win/Wnd.h"

class CToolTipCtrl : public CWnd {
    DECLARE_DYNAMIC(CToolTipCtrl)
public:
    CToolTipCtrl() = default;

    // A popup owned by the parent's top-level window; active from the start.
    virtual BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);

    void Activate(BOOL bActivate) { ::SendMessage(m_hWnd, TTM_ACTIVATE, bActivate, 0); }
    // A tool for the window pWnd (nIDTool 0) or for a rectangle of it (nIDTool not 0), with a
    // text (LPSTR_TEXTCALLBACK: asked with TTN_NEEDTEXT) or a string of the resource chain.
    BOOL AddTool(CWnd* pWnd, LPCTSTR lpszText = LPSTR_TEXTCALLBACK, LPCRECT lpRectTool = NULL,
                 UINT_PTR nIDTool = 0);
    BOOL AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool = NULL, UINT_PTR nIDTool = 0);
    void DelTool(CWnd* pWnd, UINT_PTR nIDTool = 0);
    void GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool = 0) const;
    BOOL GetToolInfo(TOOLINFO& toolInfo, CWnd* pWnd, UINT_PTR nIDTool = 0) const;
    void SetToolInfo(LPTOOLINFO lpToolInfo) {
        ::SendMessage(m_hWnd, TTM_SETTOOLINFO, 0, (LPARAM)lpToolInfo);
    }
    void SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect);
    void UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
    void UpdateTipText(UINT nIDText, CWnd* pWnd, UINT_PTR nIDTool = 0);
    int GetToolCount() const { return (int)::SendMessage(m_hWnd, TTM_GETTOOLCOUNT, 0, 0); }
    // Hands the tooltip a mouse message of a tool window.
    void RelayEvent(LPMSG lpMsg) { ::SendMessage(m_hWnd, TTM_RELAYEVENT, 0, (LPARAM)lpMsg); }
    void SetDelayTime(UINT nDelay) {
        ::SendMessage(m_hWnd, TTM_SETDELAYTIME, TTDT_AUTOMATIC, nDelay);
    }
    void SetDelayTime(DWORD dwDuration, int iTime) {
        ::SendMessage(m_hWnd, TTM_SETDELAYTIME, dwDuration, MAKELONG(iTime, 0));
    }
    int GetDelayTime(DWORD dwDuration) const {
        return (int)::SendMessage(m_hWnd, TTM_GETDELAYTIME, dwDuration, 0);
    }
    int SetMaxTipWidth(int iWidth) {
        return (int)::SendMessage(m_hWnd, TTM_SETMAXTIPWIDTH, 0, iWidth);
    }
    void Pop() { ::SendMessage(m_hWnd, TTM_POP, 0, 0); }
    void Update() { ::SendMessage(m_hWnd, TTM_UPDATE, 0, 0); }

    void FillInToolInfo(TOOLINFO& ti, CWnd* pWnd, UINT_PTR nIDTool) const;
};
