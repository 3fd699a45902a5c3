// A stand-in for the view host in the search tests: a frame with the search bar (template
// 2051) that answers the grid's WM_RSC_GETHOSTBARS and passes on the commands it does not
// handle to the grid, as the view host does.
#pragma once

#include "GridTest.h"

#include "companions/dialogs/ExDialogBar.h"
#include "platform/win/MessageBox.h"
#include "platform/win/ModalDriver.h"

class CSearchFrame : public CFrameWnd {
public:
    CExDialogBar m_wndBar;
    // The selectors as combo-box objects, as the view host gives them.
    CComboBox m_wndColumnBox;
    CComboBox m_wndOperatorBox;
    CRecordsetCtrl* m_pGrid = nullptr;

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pInfo) override {
        if (m_pGrid != nullptr && m_pGrid->GetSafeHwnd() != NULL &&
            m_pGrid->OnCmdMsg(nID, nCode, pExtra, pInfo))
            return TRUE;
        return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pInfo);
    }

protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
        if (message == WM_RSC_GETHOSTBARS) {
            auto* pBars = reinterpret_cast<RSC_HOSTBARS*>(wParam);
            pBars->pSearchBar = &m_wndBar;
            *pResult = TRUE;
            return TRUE;
        }
        return CFrameWnd::OnWndMsg(message, wParam, lParam, pResult);
    }
};

// A command-update target that writes down what it was told.
struct CRecordedCmdUI : CCmdUI {
    BOOL bEnabled = -1;
    void Enable(BOOL bOn = TRUE) override { bEnabled = bOn; }
};

class SearchTest : public GridTest {
protected:
    void TearDown() override {
        KelClearModalDriver();
        CloseGrid();
        if (m_pFrame != nullptr && m_pFrame->GetSafeHwnd() != NULL)
            m_pFrame->DestroyWindow();
        GridTest::TearDown();
    }

    // Destroys the grid; the frame stops routing commands to it.
    void CloseGrid() {
        DestroyGrid();
        if (m_pFrame != nullptr)
            m_pFrame->m_pGrid = nullptr;
    }

    // The grid in the frame, under the bar, marked as standing in the view host.
    CRecordsetCtrl* CreateSearchGrid(CRecordsetLoad* pLoad) {
        DestroyGrid();
        if (m_pFrame == nullptr) {
            m_pFrame = new CSearchFrame; // frames delete themselves when destroyed
            EXPECT_TRUE(m_pFrame->Create(NULL, "Search", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                         CRect(0, 0, 800, 600)));
            EXPECT_TRUE(m_pFrame->m_wndBar.Create(
                m_pFrame, IDD_RSC_SEARCHBAR, WS_CHILD | WS_VISIBLE | CBRS_TOP, IDD_RSC_SEARCHBAR));
            m_pFrame->m_wndColumnBox.SubclassDlgItem(IDC_SB_COLUMN, &m_pFrame->m_wndBar);
            m_pFrame->m_wndOperatorBox.SubclassDlgItem(IDC_SB_OPERATOR, &m_pFrame->m_wndBar);
            m_pFrame->RecalcLayout();
        }
        auto* pGrid = new CRecordsetCtrl;
        m_pOwned.reset(pGrid);
        m_pGrid = pGrid;
        pGrid->SetInView(TRUE);
        m_pFrame->m_pGrid = pGrid;
        EXPECT_TRUE(pGrid->Create(pLoad, "", 0, WS_CHILD | WS_VISIBLE, CRect(0, 40, 600, 400),
                                  m_pFrame, AFX_IDW_PANE_FIRST));
        KelRunUntilIdle();
        return pGrid;
    }

    CWnd* Item(UINT nID) { return m_pFrame->m_wndBar.GetDlgItem(nID); }
    CComboBox* Combo(UINT nID) { return static_cast<CComboBox*>(Item(nID)); }
    bool Visible(UINT nID) { return (Item(nID)->GetStyle() & WS_VISIBLE) != 0; }
    // The column index of a field.
    int Column(LPCTSTR lpszName) {
        for (int i = 0; i < m_pGrid->m_arrayColumns.GetSize(); ++i)
            if (m_pGrid->m_arrayColumns[i].m_strName == lpszName)
                return i;
        ADD_FAILURE() << "no column " << lpszName;
        return -1;
    }
    // Chooses the selector entry whose item data is nData (-1: none), as a user's choice ends.
    void Choose(UINT nID, int nData) {
        CComboBox* pCombo = Combo(nID);
        int nSel = -1;
        for (int i = 0; i < pCombo->GetCount() && nData != -1; ++i)
            if ((int)pCombo->GetItemData(i) == nData)
                nSel = i;
        pCombo->SetCurSel(nSel);
        m_pFrame->m_wndBar.SendMessage(WM_COMMAND, MAKEWPARAM(nID, CBN_SELENDOK),
                                       (LPARAM)pCombo->GetSafeHwnd());
    }
    void Type(UINT nID, LPCTSTR lpszText) { Item(nID)->SetWindowText(lpszText); }
    // Presses a bar button with the mouse.
    void Press(UINT nID) {
        CRect rc;
        Item(nID)->GetClientRect(&rc);
        m_robot.Click(Item(nID), rc.CenterPoint());
        KelRunUntilIdle();
    }
    CString Slot(int n) { return m_pGrid->m_pDoc->GetArrayFilter()->GetAt(n); }
    int Count() { return VMax() + 1; }
    BOOL UpdateView() {
        CRecordedCmdUI ui;
        m_pGrid->OnUpdateView(&ui);
        return ui.bEnabled;
    }

    CSearchFrame* m_pFrame = nullptr;
};
