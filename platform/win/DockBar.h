// CDockBar: the strip along one side of a frame (AFX_IDW_DOCKBAR_TOP ... BOTTOM) that holds
// docked control bars, one row each, and is as thick as their rows.
#pragma once

#include "platform/win/ControlBar.h"

#include <vector>

class CDockBar : public CControlBar {
    DECLARE_DYNAMIC(CDockBar)
public:
    CDockBar();
    ~CDockBar() override;

    // nID is one of AFX_IDW_DOCKBAR_TOP, _LEFT, _RIGHT, _BOTTOM; dwStyle its CBRS_ALIGN_ side.
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);

    // Takes the bar (from another dock bar or the frame) into a new row at the end.
    void DockControlBar(CControlBar* pBar, LPCRECT lpRect = NULL);
    BOOL RemoveControlBar(CControlBar* pBar);
    int GetDockedCount() const { return static_cast<int>(m_bars.size()); }
    CControlBar* GetDockedBar(int nIndex) const;
    CControlBar* FindBar(UINT nID) const;
    BOOL IsHorz() const { return (m_dwStyle & CBRS_ORIENT_HORZ) != 0; }

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;

protected:
    afx_msg LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    afx_msg void OnPaint();
    // Places the visible bars in rows inside a dock bar of that size.
    void LayoutBars(CSize size);

    std::vector<CControlBar*> m_bars;

    DECLARE_MESSAGE_MAP()
};
