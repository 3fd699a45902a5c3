#include "companions/dialogs/ToolBarDialog.h"

#include "companions/controls/CommandTip.h"
#include "companions/dialogs/ControlToolTips.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CToolBarDialog, CToolTipDialog)

BEGIN_MESSAGE_MAP(CToolBarDialog, CToolTipDialog)
ON_WM_SIZE()
END_MESSAGE_MAP()

namespace {

bool IsSide(DWORD dwSide) {
    return dwSide == CBRS_LEFT || dwSide == CBRS_TOP || dwSide == CBRS_RIGHT ||
           dwSide == CBRS_BOTTOM;
}

// Clears a flag when the scope ends, however it ends.
class CFlagScope {
public:
    explicit CFlagScope(BOOL& flag) : m_flag(flag) { m_flag = TRUE; }
    ~CFlagScope() { m_flag = FALSE; }
    CFlagScope(const CFlagScope&) = delete;
    CFlagScope& operator=(const CFlagScope&) = delete;

private:
    BOOL& m_flag;
};

} // namespace

CToolBarDialog::CToolBarDialog() = default;

CToolBarDialog::CToolBarDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : CToolTipDialog(nIDTemplate, pParentWnd) {}

CToolBarDialog::CToolBarDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : CToolTipDialog(lpszTemplateName, pParentWnd) {}

CToolBarDialog::~CToolBarDialog() = default;

BOOL CToolBarDialog::AddBar(UINT nIDToolBar, DWORD dwSide, UINT nCtrlID, BOOL bShowText,
                            BOOL bLargeMode) {
    if (m_bBarsMade || m_nBars >= kMaxBars || !IsSide(dwSide) || nIDToolBar == 0)
        return FALSE;
    if (nCtrlID == 0) {
        nCtrlID = AFX_IDW_TOOLBAR;
        while (std::find(m_anBarID, m_anBarID + m_nBars, nCtrlID) != m_anBarID + m_nBars)
            ++nCtrlID;
    } else if (std::find(m_anBarID, m_anBarID + m_nBars, nCtrlID) != m_anBarID + m_nBars) {
        return FALSE;
    }
    m_anBarID[m_nBars] = nCtrlID;
    m_adwBarSide[m_nBars] = dwSide;
    m_anBarResource[m_nBars] = nIDToolBar;
    m_abBarText[m_nBars] = bShowText;
    m_abBarLarge[m_nBars] = bLargeMode;
    ++m_nBars;
    return TRUE;
}

UINT CToolBarDialog::GetBarID(int nBar) const {
    return nBar >= 0 && nBar < m_nBars ? m_anBarID[nBar] : 0;
}

DWORD CToolBarDialog::GetBarSide(int nBar) const {
    return nBar >= 0 && nBar < m_nBars ? m_adwBarSide[nBar] : 0;
}

CExToolBar* CToolBarDialog::GetBar(int nBar) {
    if (nBar < 0 || nBar >= m_nBars || m_wndBar[nBar].GetSafeHwnd() == NULL)
        return nullptr;
    return &m_wndBar[nBar];
}

BOOL CToolBarDialog::IsBar(HWND hWnd) const {
    for (int i = 0; i < m_nBars; ++i) {
        if (m_wndBar[i].GetSafeHwnd() == hWnd)
            return TRUE;
    }
    return FALSE;
}

BOOL CToolBarDialog::OnInitDialog() {
    CreateBars();
    return CToolTipDialog::OnInitDialog();
}

void CToolBarDialog::CreateBars() {
    if (m_bBarsMade)
        return;
    m_bBarsMade = TRUE;
    CRect before;
    GetClientRect(&before);
    int made = 0;
    for (int i = 0; i < m_nBars; ++i) {
        CExToolBar& bar = m_wndBar[made];
        bar.SetShowText(m_abBarText[i]);
        bar.SetLargeMode(m_abBarLarge[i]);
        const DWORD style = WS_CHILD | WS_VISIBLE | m_adwBarSide[i] | CBRS_TOOLTIPS | CBRS_FLYBY;
        if (!bar.Create(this, style, m_anBarID[i]) || !bar.LoadToolBar(m_anBarResource[i])) {
            if (bar.GetSafeHwnd() != NULL)
                bar.DestroyWindow();
            continue; // the bars after it move up
        }
        m_anBarID[made] = m_anBarID[i];
        m_adwBarSide[made] = m_adwBarSide[i];
        m_anBarResource[made] = m_anBarResource[i];
        m_abBarText[made] = m_abBarText[i];
        m_abBarLarge[made] = m_abBarLarge[i];
        ++made;
    }
    m_nBars = made;
    if (made == 0)
        return;
    // The template's controls keep their places relative to each other: they move right and
    // down by the room the bars take on the left and top, and the dialog grows by all of it.
    CRect after;
    RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, 0, reposQuery, &after);
    const CPoint offset(after.left - before.left, after.top - before.top);
    for (CWnd* pChild = GetWindow(GW_CHILD); pChild != nullptr; pChild = pChild->GetNextWindow()) {
        if (IsBar(pChild->GetSafeHwnd()))
            continue;
        CRect rc;
        pChild->GetWindowRect(&rc);
        ScreenToClient(&rc);
        rc.OffsetRect(offset);
        pChild->MoveWindow(&rc, FALSE);
    }
    CRect window;
    GetWindowRect(&window);
    SetWindowPos(NULL, 0, 0, window.Width() + before.Width() - after.Width(),
                 window.Height() + before.Height() - after.Height(),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, 0);
}

void CToolBarDialog::AddToolTips() {
    CToolTipDialog::AddToolTips();
    for (int b = 0; b < m_nBars; ++b) {
        CExToolBar& bar = m_wndBar[b];
        if (bar.GetSafeHwnd() == NULL)
            continue;
        for (int i = 0, n = bar.GetCount(); i < n; ++i) {
            const UINT id = bar.GetItemID(i);
            const CString text = id != ID_SEPARATOR ? KelCommandTip(id) : CString();
            CRect rc;
            bar.GetItemRect(i, &rc);
            if (!text.IsEmpty() && !rc.IsRectEmpty())
                m_toolTip.AddTool(&bar, text, &rc, id);
        }
    }
}

void CToolBarDialog::OnSize(UINT nType, int cx, int cy) {
    CToolTipDialog::OnSize(nType, cx, cy);
    if (m_bBarsMade && m_nBars > 0)
        RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, 0);
}

void CToolBarDialog::UpdateControls() {
    CToolTipDialog::UpdateControls();
    for (int i = 0; i < m_nBars; ++i) {
        if (m_wndBar[i].GetSafeHwnd() != NULL && m_wndBar[i].IsWindowVisible())
            m_wndBar[i].UpdateButtons(this, FALSE);
    }
}

BOOL CToolBarDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) {
    if (CToolTipDialog::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (m_bRouting || m_hWnd == NULL ||
        (nCode != CN_COMMAND && nCode != static_cast<int>(CN_UPDATE_COMMAND_UI)))
        return FALSE;
    CFlagScope routing(m_bRouting);
    auto offer = [&](HWND h) {
        CWnd* pWnd = CWnd::FromHandlePermanent(h);
        return pWnd != nullptr && !IsBar(h) && pWnd->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
    };
    HWND hFocus = ::GetFocus();
    if (hFocus != NULL && ::IsChild(m_hWnd, hFocus)) {
        for (HWND h = hFocus; h != NULL && h != m_hWnd; h = ::GetParent(h)) {
            if (offer(h))
                return TRUE;
        }
        return FALSE;
    }
    for (HWND h = ::GetWindow(m_hWnd, GW_CHILD); h != NULL; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (offer(h))
            return TRUE;
    }
    return FALSE;
}
