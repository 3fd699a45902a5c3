#include "SearchHost.h"

#include "grid/AdvSearchDlg.h"

namespace {

class AdvSearchTest : public SearchTest {
protected:
    void SetUp() override {
        SearchTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        CreateSearchGrid(MakeLoad());
    }
    CComboBox* Row(CWnd* pDlg, int nRow, int nPart) {
        return static_cast<CComboBox*>(pDlg->GetDlgItem(CAdvSearchDlg::ColumnID(nRow) + nPart));
    }
    // In the open dialog: row nRow (0 to 9) on the column of that index, operator code, text.
    void Fill(CWnd* pDlg, int nRow, int nColumn, int nOperator, LPCTSTR lpszText) {
        for (int nPart : {0, 1}) {
            CComboBox* pCombo = Row(pDlg, nRow, nPart);
            const int nData = nPart == 0 ? nColumn : nOperator;
            for (int i = 0; i < pCombo->GetCount(); ++i)
                if ((int)pCombo->GetItemData(i) == nData)
                    pCombo->SetCurSel(i);
            pDlg->SendMessage(WM_COMMAND,
                              MAKEWPARAM(CAdvSearchDlg::ColumnID(nRow) + nPart, CBN_SELENDOK),
                              (LPARAM)pCombo->GetSafeHwnd());
        }
        pDlg->SetDlgItemText(CAdvSearchDlg::CriteriaID(nRow), lpszText);
    }
    void Click(CWnd* pDlg, UINT nID) {
        CWnd* pButton = pDlg->GetDlgItem(nID);
        CRect rc;
        pButton->GetClientRect(&rc);
        m_robot.Click(pButton, rc.CenterPoint());
    }
    // Opens the dialog from the bar's button and lets pAction act in it.
    void RunDialog(KelModalHandler action) {
        Choose(IDC_SB_COLUMN, -2);
        KelQueueModalAction(std::move(action));
        Press(IDC_SB_CONFIG);
    }
};

// Rows 1, 3 and 7 are stored as three records with the second group at index 2; they reopen
// closed up in rows 1, 2 and 6, and "Search" applies (A AND B) OR (C).
TEST_P(AdvSearchTest, GapsAreClosedUpAndTheFilterApplied) {
    const int city = Column("[City]"), qty = Column("[Quantity]");
    RunDialog([&](CWnd* pDlg) {
        CString strTitle;
        pDlg->GetWindowText(strTitle);
        EXPECT_EQ(strTitle, "Advanced Search");
        EXPECT_EQ(Row(pDlg, 0, 1)->GetCount(), 7); // no Between here
        Fill(pDlg, 0, city, 2, "B");
        Fill(pDlg, 2, qty, 4, "100");
        Fill(pDlg, 6, city, 0, "");         // an empty text keeps the row
        Fill(pDlg, 4, city, -2, "ignored"); // no operator: skipped
        Click(pDlg, IDOK);
    });
    auto& adv = m_pGrid->m_arrayAdvSearch;
    ASSERT_EQ(adv.GetSize(), 3);
    EXPECT_EQ(m_pGrid->m_nAdvSearchOr, 2);
    EXPECT_EQ(adv[1].m_nColumn, qty);
    EXPECT_EQ(adv[1].m_nOperator, 4);
    EXPECT_EQ(adv[2].m_strCriteria, "");
    EXPECT_EQ(Slot(0), "([City] LIKE \"B*\" AND [Quantity] >= 100) OR ([City] IS NULL)");
    EXPECT_GT(Count(), 0);
    EXPECT_TRUE(UpdateView());

    RunDialog([&](CWnd* pDlg) {
        EXPECT_EQ((int)Row(pDlg, 0, 0)->GetItemData(Row(pDlg, 0, 0)->GetCurSel()), city);
        EXPECT_EQ((int)Row(pDlg, 1, 0)->GetItemData(Row(pDlg, 1, 0)->GetCurSel()), qty);
        // The rest of the first group waits for no record: nothing selected.
        EXPECT_EQ(Row(pDlg, 2, 0)->GetCurSel(), CB_ERR);
        EXPECT_EQ(Row(pDlg, 3, 0)->GetCurSel(), CB_ERR);
        EXPECT_EQ(Row(pDlg, 6, 0)->GetCurSel(), 0); // past the last record: the empty entry
        EXPECT_EQ((int)Row(pDlg, 5, 0)->GetItemData(Row(pDlg, 5, 0)->GetCurSel()), city);
        CString strText;
        pDlg->GetDlgItemText(CAdvSearchDlg::CriteriaID(1), strText);
        EXPECT_EQ(strText, "100");
        // Clear, then Cancel: the criteria stay as they were.
        Click(pDlg, IDC_AS_CLEAR);
        EXPECT_EQ(Row(pDlg, 0, 0)->GetCurSel(), 0);
        pDlg->GetDlgItemText(CAdvSearchDlg::CriteriaID(1), strText);
        EXPECT_EQ(strText, "");
        Click(pDlg, IDCANCEL);
    });
    EXPECT_EQ(adv.GetSize(), 3);
    EXPECT_EQ(m_pGrid->m_nAdvSearchOr, 2);
    Press(IDC_SB_ALL);
    EXPECT_EQ(Slot(0), "");
    EXPECT_EQ(Count(), 250);
}

// Only rows 6 and 8: index 0, reopened in rows 6 and 7, one group without OR.
TEST_P(AdvSearchTest, OnlyTheSecondGroup) {
    const int city = Column("[City]"), qty = Column("[Quantity]");
    RunDialog([&](CWnd* pDlg) {
        Fill(pDlg, 5, city, 6, "Jena");
        Fill(pDlg, 7, qty, 5, "250");
        Click(pDlg, IDOK);
    });
    EXPECT_EQ(m_pGrid->m_arrayAdvSearch.GetSize(), 2);
    EXPECT_EQ(m_pGrid->m_nAdvSearchOr, 0);
    EXPECT_EQ(Slot(0), "([City] = \"Jena\" AND [Quantity] <= 250)");
    RunDialog([&](CWnd* pDlg) {
        EXPECT_EQ(Row(pDlg, 0, 0)->GetCurSel(), CB_ERR);
        EXPECT_EQ((int)Row(pDlg, 5, 0)->GetItemData(Row(pDlg, 5, 0)->GetCurSel()), city);
        EXPECT_EQ((int)Row(pDlg, 6, 0)->GetItemData(Row(pDlg, 6, 0)->GetCurSel()), qty);
        EXPECT_EQ(Row(pDlg, 7, 0)->GetCurSel(), 0);
        // OK with every row empty: no record, index 0, every record shown.
        Click(pDlg, IDC_AS_CLEAR);
        Click(pDlg, IDOK);
    });
    EXPECT_EQ(m_pGrid->m_arrayAdvSearch.GetSize(), 0);
    EXPECT_EQ(m_pGrid->m_nAdvSearchOr, 0);
    EXPECT_EQ(Slot(0), "");
}

// A date column makes the row's edit a date editor; another column or none makes it plain
// again with its text kept. A bad date is refused when the search runs.
TEST_P(AdvSearchTest, DateEditorPerRow) {
    const int date = Column("[OrderDate]"), city = Column("[City]");
    RunDialog([&](CWnd* pDlg) {
        auto* pAdv = static_cast<CAdvSearchDlg*>(pDlg);
        HWND hEdit = pDlg->GetDlgItem(CAdvSearchDlg::CriteriaID(3))->GetSafeHwnd();
        Fill(pDlg, 3, date, 6, "02/30/2001");
        ASSERT_NE(pAdv->m_pDateEdit[3], nullptr);
        EXPECT_EQ(pAdv->m_pDateEdit[3]->GetSafeHwnd(), hEdit);
        EXPECT_EQ(pAdv->m_pDateEdit[2], nullptr);
        Fill(pDlg, 3, city, 6, "Jena");
        EXPECT_EQ(pAdv->m_pDateEdit[3]->GetSafeHwnd(), (HWND)NULL);
        Fill(pDlg, 3, date, 6, "02/30/2001");
        Fill(pDlg, 3, -2, 6, "02/30/2001");
        EXPECT_EQ(pAdv->m_pDateEdit[3]->GetSafeHwnd(), (HWND)NULL);
        CString strText;
        pDlg->GetDlgItemText(CAdvSearchDlg::CriteriaID(3), strText);
        EXPECT_EQ(strText, "02/30/2001");
        Fill(pDlg, 3, date, 6, "02/30/2001");
        Click(pDlg, IDOK);
    });
    ASSERT_EQ(m_pGrid->m_arrayAdvSearch.GetSize(), 1);
    ASSERT_FALSE(KelGetMessageBoxes().empty());
    EXPECT_NE(KelGetMessageBoxes().back().strText.Find("02/30/2001"), -1);
    EXPECT_EQ(Slot(0), "");
}

} // namespace

KEL_BOTH_ENGINES(AdvSearchTest);
