#include "SearchHost.h"

#include <filesystem>

// Without stored settings the bar stands on the first column and "Containing"; a second full
// load lists every column once, not twice.
TEST_P(SearchTest, SelectorsFilledOnceAndFreshDefaults) {
    CreateSearchGrid(MakeLoad());
    CComboBox* pColumns = Combo(IDC_SB_COLUMN);
    int nListed = 0;
    for (int i = 0; i < m_pGrid->m_arrayColumns.GetSize(); ++i)
        nListed += m_pGrid->m_arrayColumns[i].m_nWidth != 0;
    EXPECT_EQ(pColumns->GetCount(), nListed + 1);
    EXPECT_EQ(pColumns->GetCurSel(), 1);
    EXPECT_EQ((int)pColumns->GetItemData(0), -2);
    CString strText;
    pColumns->GetLBText(0, strText);
    EXPECT_EQ(strText, "<ADV. SEARCH>");
    EXPECT_EQ(Combo(IDC_SB_OPERATOR)->GetCount(), 7);
    Combo(IDC_SB_OPERATOR)->GetLBText(Combo(IDC_SB_OPERATOR)->GetCurSel(), strText);
    EXPECT_EQ(strText, "Containing");
    m_pGrid->SendMessage(WM_RSC_RELOAD, 1, 0);
    EXPECT_EQ(pColumns->GetCount(), nListed + 1);
    EXPECT_EQ(Combo(IDC_SB_OPERATOR)->GetCount(), 7);
}

// Stored selections come back; one beyond the list leaves no column selected, and "Search"
// then looks in every text column.
TEST_P(SearchTest, SelectorsRestoredFromSettings) {
    {
        CRegistry reg(AppRegistryRoot, KeyPath("Bar"));
        reg.Write("SearchCol", 3);
        reg.Write("SearchOp", 6);
    }
    CreateSearchGrid(MakeLoad("SELECT * FROM Orders", "Bar"));
    EXPECT_EQ(Combo(IDC_SB_COLUMN)->GetCurSel(), 3);
    EXPECT_EQ((int)Combo(IDC_SB_OPERATOR)->GetItemData(Combo(IDC_SB_OPERATOR)->GetCurSel()), 6);
    CloseGrid(); // writes its own choice
    {
        CRegistry reg(AppRegistryRoot, KeyPath("Bar"));
        reg.Write("SearchCol", 99);
        reg.Write("SearchOp", 0);
    }
    CreateSearchGrid(MakeLoad("SELECT * FROM Orders", "Bar"));
    EXPECT_EQ(Combo(IDC_SB_COLUMN)->GetCurSel(), CB_ERR);
    EXPECT_EQ(m_pGrid->m_nSearchCol, -1);
    Type(IDC_SB_CRITERIA, "urgent");
    Press(IDC_SB_SEARCH);
    EXPECT_EQ(Slot(0), "[Customer] LIKE \"*urgent*\" OR [City] LIKE \"*urgent*\" OR [Notes] "
                       "LIKE \"*urgent*\"");
    EXPECT_EQ(Count(), SampleCount(250, "lower(Notes) LIKE '%urgent%'"));
    // The choice is written back when the grid goes.
    Choose(IDC_SB_COLUMN, Column("[City]"));
    CloseGrid();
    CRegistry reg(AppRegistryRoot, KeyPath("Bar"));
    int nCol = 0;
    reg.Read("SearchCol", nCol, 0);
    EXPECT_EQ(nCol, 3);
}

// The controls follow the column and the operator; Between needs both bounds; the date
// editors follow the column's type in each mode and the one of the other mode keeps its state.
TEST_P(SearchTest, ControlsAndDateEditorsFollowTheChoice) {
    CreateSearchGrid(MakeLoad());
    Choose(IDC_SB_COLUMN, -2);
    EXPECT_FALSE(Visible(IDC_SB_OPERATOR));
    EXPECT_FALSE(Visible(IDC_SB_CRITERIA));
    EXPECT_TRUE(Visible(IDC_SB_CONFIG));
    EXPECT_FALSE(UpdateView()); // no criteria stored yet

    Choose(IDC_SB_COLUMN, Column("[OrderDate]"));
    EXPECT_TRUE(Visible(IDC_SB_OPERATOR));
    EXPECT_TRUE(Visible(IDC_SB_CRITERIA));
    EXPECT_FALSE(Visible(IDC_SB_FROM));
    EXPECT_FALSE(Visible(IDC_SB_CONFIG));
    EXPECT_EQ(m_pGrid->m_dateEdit[0].GetSafeHwnd(), Item(IDC_SB_CRITERIA)->GetSafeHwnd());

    Choose(IDC_SB_OPERATOR, 1);
    EXPECT_FALSE(Visible(IDC_SB_CRITERIA));
    EXPECT_TRUE(Visible(IDC_SB_FROM));
    EXPECT_TRUE(Visible(IDC_SB_AND));
    EXPECT_TRUE(Visible(IDC_SB_TO));
    EXPECT_EQ(m_pGrid->m_dateEdit[1].GetSafeHwnd(), Item(IDC_SB_FROM)->GetSafeHwnd());
    EXPECT_EQ(m_pGrid->m_dateEdit[2].GetSafeHwnd(), Item(IDC_SB_TO)->GetSafeHwnd());
    EXPECT_NE(m_pGrid->m_dateEdit[0].GetSafeHwnd(), (HWND)NULL); // Between leaves it
    EXPECT_FALSE(UpdateView());
    Type(IDC_SB_FROM, "01/01/2005");
    EXPECT_FALSE(UpdateView());
    Type(IDC_SB_TO, "12/31/2005");
    EXPECT_TRUE(UpdateView());

    Choose(IDC_SB_COLUMN, Column("[City]"));
    EXPECT_EQ(m_pGrid->m_dateEdit[1].GetSafeHwnd(), (HWND)NULL);
    EXPECT_EQ(m_pGrid->m_dateEdit[2].GetSafeHwnd(), (HWND)NULL);
    EXPECT_NE(m_pGrid->m_dateEdit[0].GetSafeHwnd(), (HWND)NULL);
    Choose(IDC_SB_OPERATOR, 0);
    EXPECT_EQ(m_pGrid->m_dateEdit[0].GetSafeHwnd(), (HWND)NULL);
    EXPECT_TRUE(Visible(IDC_SB_CRITERIA));
    EXPECT_FALSE(Visible(IDC_SB_TO));

    // No column: plain edits, and no column record is read.
    Choose(IDC_SB_COLUMN, Column("[OrderDate]"));
    Choose(IDC_SB_COLUMN, -1);
    EXPECT_EQ(m_pGrid->m_dateEdit[0].GetSafeHwnd(), (HWND)NULL);
    EXPECT_TRUE(UpdateView());
}

// A grid closed while a date editor holds the bar's edit gives the host its edit back at once,
// before its object goes.
TEST_P(SearchTest, ClosingTheGridGivesTheBarItsEditsBack) {
    CreateSearchGrid(MakeLoad());
    Choose(IDC_SB_COLUMN, Column("[OrderDate]"));
    Choose(IDC_SB_OPERATOR, 1);
    const HWND hFrom = Item(IDC_SB_FROM)->GetSafeHwnd();
    ASSERT_EQ(m_pGrid->m_dateEdit[1].GetSafeHwnd(), hFrom);
    m_pGrid->DestroyWindow();
    EXPECT_EQ(m_pGrid->m_dateEdit[1].GetSafeHwnd(), (HWND)NULL);
    EXPECT_NE(CWnd::FromHandlePermanent(hFrom), &m_pGrid->m_dateEdit[1]);
    CloseGrid();
    ASSERT_NE(Item(IDC_SB_FROM), nullptr);
    EXPECT_TRUE(::IsWindow(Item(IDC_SB_FROM)->GetSafeHwnd()));
    Type(IDC_SB_FROM, "01/01/2005");
    CString str;
    Item(IDC_SB_FROM)->GetWindowText(str);
    EXPECT_EQ(str, "01/01/2005");
    // A new grid takes the edits again.
    CreateSearchGrid(MakeLoad());
    Choose(IDC_SB_COLUMN, Column("[OrderDate]"));
    EXPECT_EQ(m_pGrid->m_dateEdit[0].GetSafeHwnd(), Item(IDC_SB_CRITERIA)->GetSafeHwnd());
}

// "Search" filters the records; "All" empties slots 0 and 1 and keeps the fixed filters.
TEST_P(SearchTest, SearchAndAll) {
    CRecordsetLoad* pLoad = MakeLoad();
    pLoad->m_strFilter = "[Priority] < 5";
    CreateSearchGrid(pLoad);
    CRecordedCmdUI ui;
    m_pGrid->OnUpdateAll(&ui);
    EXPECT_FALSE(ui.bEnabled);

    Choose(IDC_SB_COLUMN, Column("[OrderDate]"));
    Choose(IDC_SB_OPERATOR, 1);
    Type(IDC_SB_FROM, "1/1/2005");
    Type(IDC_SB_TO, "12/31/2005");
    Press(IDC_SB_SEARCH);
    EXPECT_EQ(Slot(0), "[OrderDate] >= #1/1/2005# AND [OrderDate] <= #12/31/2005#");
    EXPECT_EQ(Count(), SampleCount(250, "Priority < 5 AND OrderDate >= '2005-01-01' AND "
                                        "OrderDate <= '2005-12-31'"));
    EXPECT_EQ(::GetFocus(), m_pGrid->GetSafeHwnd());
    m_pGrid->OnUpdateAll(&ui);
    EXPECT_TRUE(ui.bEnabled);

    m_pGrid->m_pDoc->SetFilter(1, "[Quantity] > 10");
    Press(IDC_SB_ALL);
    EXPECT_EQ(Slot(0), "");
    EXPECT_EQ(Slot(1), "");
    EXPECT_EQ(Slot(2), "[Priority] < 5");
    EXPECT_EQ(Count(), SampleCount(250, "Priority < 5"));
    m_pGrid->OnUpdateAll(&ui);
    EXPECT_FALSE(ui.bEnabled);
}

// A value that cannot become a condition is refused with a message and changes nothing.
TEST_P(SearchTest, BadValuesAreRefused) {
    CreateSearchGrid(MakeLoad());
    Choose(IDC_SB_COLUMN, Column("[Quantity]"));
    Choose(IDC_SB_OPERATOR, 4);
    Type(IDC_SB_CRITERIA, "100");
    Press(IDC_SB_SEARCH);
    const CString strBefore = Slot(0);
    EXPECT_EQ(strBefore, "[Quantity] >= 100");
    const int nBefore = Count();
    const auto cases = {std::pair<int, LPCTSTR>{Column("[Quantity]"), "1; DROP"},
                        {Column("[Quantity]"), "--5"},
                        {Column("[OrderDate]"), "13/45/2001"}};
    size_t nBoxes = KelGetMessageBoxes().size();
    for (auto [nColumn, lpszValue] : cases) {
        Choose(IDC_SB_COLUMN, nColumn);
        Choose(IDC_SB_OPERATOR, 6);
        Type(IDC_SB_CRITERIA, lpszValue);
        Press(IDC_SB_SEARCH);
        ASSERT_EQ(KelGetMessageBoxes().size(), ++nBoxes) << lpszValue;
        EXPECT_NE(KelGetMessageBoxes().back().strText.Find(lpszValue), -1);
        EXPECT_EQ(Slot(0), strBefore);
        EXPECT_EQ(Count(), nBefore);
    }
    // No operator, and Between over every text column.
    Choose(IDC_SB_COLUMN, -1);
    Choose(IDC_SB_OPERATOR, -1);
    Press(IDC_SB_SEARCH);
    Choose(IDC_SB_OPERATOR, 1);
    Type(IDC_SB_FROM, "a");
    Type(IDC_SB_TO, "b");
    Press(IDC_SB_SEARCH);
    EXPECT_EQ(KelGetMessageBoxes().size(), nBoxes + 2);
    EXPECT_EQ(Slot(0), strBefore);
}

// A picture of the bar in both modes, to look at: the selectors, the edit or the two bounds
// with "&" between them, the buttons.
TEST_P(SearchTest, BarPictures) {
    CreateSearchGrid(MakeLoad());
    const std::string dir = std::string(KEL_TEST_DATA_DIR) + "/pictures";
    std::filesystem::create_directories(dir);
    Type(IDC_SB_CRITERIA, "Berlin");
    KelRunUntilIdle();
    EXPECT_TRUE(SaveWindowImage(m_pFrame->GetSafeHwnd(), (dir + "/searchbar.png").c_str()));
    Choose(IDC_SB_COLUMN, Column("[OrderDate]"));
    Choose(IDC_SB_OPERATOR, 1);
    Type(IDC_SB_FROM, "01/01/2005");
    Type(IDC_SB_TO, "12/31/2005");
    Press(IDC_SB_SEARCH);
    EXPECT_TRUE(SaveWindowImage(m_pFrame->GetSafeHwnd(), (dir + "/searchbar-between.png").c_str()));
}

KEL_BOTH_ENGINES(SearchTest);
