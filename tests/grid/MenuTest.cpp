#include "GridTest.h"

#include "platform/controls/MenuDriver.h"
#include "platform/win/ModalDriver.h"

#include <functional>

namespace {

// The show or hide list's texts, read by message from the dialog's list box.
std::vector<std::string> ListTexts(CWnd* pDlg, int nID) {
    HWND hList = ::GetDlgItem(pDlg->GetSafeHwnd(), nID);
    std::vector<std::string> texts;
    const int n = (int)::SendMessage(hList, LB_GETCOUNT, 0, 0);
    for (int i = 0; i < n; ++i) {
        char buf[256] = {};
        ::SendMessage(hList, LB_GETTEXT, i, (LPARAM)buf);
        texts.push_back(buf);
    }
    return texts;
}

void Select(CWnd* pDlg, int nID, std::initializer_list<int> rows) {
    HWND hList = ::GetDlgItem(pDlg->GetSafeHwnd(), nID);
    ::SendMessage(hList, LB_SETSEL, FALSE, -1);
    for (int r : rows)
        ::SendMessage(hList, LB_SETSEL, TRUE, r);
}

void Press(CWnd* pDlg, int nID) {
    pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED),
                      (LPARAM)::GetDlgItem(pDlg->GetSafeHwnd(), nID));
}

} // namespace

class MenuTest : public GridTest {
protected:
    // Right-clicks row 1 and hands the tracked menu to the action.
    void WithMenu(std::function<void(CWnd*, CMenu*)> action) {
        KelQueueModalAction([action](CWnd* pModal) {
            ASSERT_TRUE(KelIsPopupMenu(pModal));
            action(pModal, CMenu::FromHandle(KelGetTrackedMenu(pModal)));
        });
        m_robot.RightClick(m_pGrid, CPoint(30, 18 + (m_pGrid->m_nCharHeight + 2) + 2));
    }
    // Columns 0 to 3 with captions A to D, the rest hidden.
    void FourColumns() {
        for (int i = 0; i < m_pGrid->m_arrayColumns.GetSize(); ++i) {
            CColumnDetails& c = m_pGrid->m_arrayColumns[i];
            c.m_bVisible = i < 4;
            c.m_strCaption.Format("%c", 'A' + i);
            c.m_nOrder = i;
        }
    }
    // Runs the column dialog from the grid's button command, driven by the action.
    void RunColumns(std::function<void(CWnd*)> action) {
        KelQueueModalAction([action](CWnd* pDlg) { action(pDlg); });
        // The dialog reads the header first: keep the records as the test set them.
        while (m_pGrid->m_wndHeader.GetItemCount() > 0)
            m_pGrid->m_wndHeader.DeleteItem(0);
        m_pGrid->FillHeader();
        m_pGrid->SendMessage(WM_COMMAND, IDC_RSC_COLUMNS, 0);
    }
};

TEST_P(MenuTest, TheMenuChecksTheFontSizeAndGraysWhatCannotBeDone) {
    CreateGrid(MakeLoad());
    m_host.Clear();
    UINT nState9 = 0, nState11 = 0, nBack = 0, nTool = 0, nSearch = 0, nRefresh = 0;
    WithMenu([&](CWnd* pModal, CMenu* pMenu) {
        nState9 = pMenu->GetMenuState(ID_CM_FONTSIZE9, MF_BYCOMMAND);
        nState11 = pMenu->GetMenuState(ID_CM_FONTSIZE11, MF_BYCOMMAND);
        nBack = pMenu->GetMenuState(ID_CM_SHOWBACKGROUND, MF_BYCOMMAND);
        nTool = pMenu->GetMenuState(ID_CM_SHOWTOOLBAR, MF_BYCOMMAND);
        nSearch = pMenu->GetMenuState(ID_CM_SHOWSEARCHBAR, MF_BYCOMMAND);
        nRefresh = pMenu->GetMenuState(ID_CM_REFRESH, MF_BYCOMMAND);
        KelCancelMenu(pModal);
    });
    EXPECT_TRUE(nState9 & MF_CHECKED);
    EXPECT_FALSE(nState11 & MF_CHECKED);
    EXPECT_TRUE(nBack & MF_GRAYED); // no background bitmap
    EXPECT_TRUE(nTool & MF_GRAYED); // outside a view host
    EXPECT_TRUE(nSearch & MF_GRAYED);
    EXPECT_EQ(nRefresh, 0u);
    // The right click moved the cursor and started no edit.
    EXPECT_EQ(m_pGrid->m_nCursor, 1);
    m_robot.Wait(1000);
    EXPECT_EQ(DYNAMIC_DOWNCAST(CKillEdit, CWnd::GetFocus()), nullptr);

    // A size outside the four checks nothing.
    m_pGrid->m_nFontSize = 10;
    UINT nChecked = 0;
    WithMenu([&](CWnd* pModal, CMenu* pMenu) {
        for (UINT id = ID_CM_FONTSIZE8; id <= ID_CM_FONTSIZE13; ++id)
            nChecked |= pMenu->GetMenuState(id, MF_BYCOMMAND) & MF_CHECKED;
        KelCancelMenu(pModal);
    });
    EXPECT_EQ(nChecked, 0u);
}

TEST_P(MenuTest, AFontSizeFromTheMenuLaysTheGridOutAgain) {
    CreateGrid(MakeLoad());
    const int nRows = m_pGrid->m_nRows, nHeight = m_pGrid->m_nCharHeight;
    WithMenu([](CWnd* pModal, CMenu*) { KelChooseMenuCommand(pModal, ID_CM_FONTSIZE13); });
    EXPECT_EQ(m_pGrid->m_nFontSize, 13);
    EXPECT_GT(m_pGrid->m_nCharHeight, nHeight);
    EXPECT_LT(m_pGrid->m_nRows, nRows);
    EXPECT_EQ(m_pGrid->m_nRows, (300 - 16 - 18) / (m_pGrid->m_nCharHeight + 2));
    EXPECT_EQ(m_pGrid->m_arrayTable.GetSize(), m_pGrid->m_nRows);
    EXPECT_EQ(Keys()[0], "1");
}

TEST_P(MenuTest, RecordCommandsAreEnabledOnlyOnARecord) {
    CreateGrid(MakeLoad());
    CToolBar toolBar;
    ASSERT_TRUE(toolBar.Create(&m_host));
    const UINT ids[] = {ID_RECORD_NEW, ID_RECORD_OPEN, ID_RECORD_DELETE, ID_RECORD_CHOOSE};
    toolBar.SetButtons(ids, 4);
    auto enabled = [&](UINT id) {
        struct Probe : CCmdUI {
            BOOL bEnabled = FALSE;
            void Enable(BOOL b) override { bEnabled = b; }
        } probe;
        probe.m_nID = id;
        probe.DoUpdate(m_pGrid, FALSE);
        return probe.bEnabled;
    };
    EXPECT_TRUE(enabled(ID_RECORD_NEW));
    EXPECT_TRUE(enabled(ID_RECORD_CHOOSE));
    // Choose goes to the parent outside the view host.
    m_host.Clear();
    m_pGrid->SendMessage(WM_COMMAND, ID_RECORD_CHOOSE, 0);
    ASSERT_EQ(m_host.commands.size(), 1u);
    EXPECT_EQ(m_host.commands[0].nID, (UINT)ID_RECORD_CHOOSE);
    // A record whose key text is empty is still a record; no current row is none.
    m_pGrid->m_arrayTable[0][m_pGrid->m_nKeyColumn].Empty();
    EXPECT_TRUE(enabled(ID_RECORD_OPEN));
    m_pGrid->m_nCursor = -1;
    EXPECT_TRUE(enabled(ID_RECORD_NEW));
    EXPECT_FALSE(enabled(ID_RECORD_OPEN));
    EXPECT_FALSE(enabled(ID_RECORD_DELETE));
    EXPECT_FALSE(enabled(ID_RECORD_CHOOSE));
    m_pGrid->m_arrayTable.RemoveAll();
    EXPECT_FALSE(enabled(ID_RECORD_NEW));
    toolBar.DestroyWindow();
}

TEST_P(MenuTest, ColumnDialogFillsByDisplayPositionAndWritesOnlyOnOK) {
    CreateGrid(MakeLoad());
    FourColumns();
    auto& cols = m_pGrid->m_arrayColumns;
    cols[0].m_nOrder = 2;
    cols[1].m_nOrder = 0;
    cols[2].m_nOrder = 1;
    cols[3].m_nOrder = 3;
    std::vector<std::string> shown, hidden;
    RunColumns([&](CWnd* pDlg) {
        shown = ListTexts(pDlg, 5124);
        hidden = ListTexts(pDlg, 5123);
        // Moves, then Cancel.
        Select(pDlg, 5124, {0});
        Press(pDlg, 5116);
        pDlg->SendMessage(WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(shown, (std::vector<std::string>{"B", "C", "A", "D"}));
    ASSERT_FALSE(hidden.empty());
    EXPECT_EQ(hidden[0], "E");
    EXPECT_TRUE(cols[1].m_bVisible);
    EXPECT_EQ(cols[0].m_nOrder, 2);

    // Move up at the top edge with the two top entries selected swaps them; move down at the
    // bottom the same; ">>" appends at the end; OK writes the positions.
    std::vector<std::string> afterUp, afterDown;
    RunColumns([&](CWnd* pDlg) {
        Select(pDlg, 5124, {0, 1});
        Press(pDlg, 5119);
        afterUp = ListTexts(pDlg, 5124);
        Select(pDlg, 5124, {2, 3});
        Press(pDlg, 5120);
        afterDown = ListTexts(pDlg, 5124);
        Select(pDlg, 5123, {0});
        Press(pDlg, 5117);
        pDlg->SendMessage(WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(afterUp, (std::vector<std::string>{"C", "B", "A", "D"}));
    EXPECT_EQ(afterDown, (std::vector<std::string>{"C", "B", "D", "A"}));
    EXPECT_EQ(cols[2].m_nOrder, 0);
    EXPECT_EQ(cols[1].m_nOrder, 1);
    EXPECT_EQ(cols[3].m_nOrder, 2);
    EXPECT_EQ(cols[0].m_nOrder, 3);
    EXPECT_TRUE(cols[4].m_bVisible);
    EXPECT_EQ(cols[4].m_nOrder, 4);
    EXPECT_EQ(m_pGrid->m_wndHeader.GetItemCount(), 5);
}

TEST_P(MenuTest, ColumnDialogSharedPositionsAndEqualCaptions) {
    CreateGrid(MakeLoad());
    FourColumns();
    auto& cols = m_pGrid->m_arrayColumns;
    cols[3].m_nOrder = 1; // the same position as column 1: column 3 wins
    cols[2].m_strCaption = "d";
    // Run directly: through the grid the header would first give every column a place.
    std::vector<std::string> shown;
    KelQueueModalAction([&](CWnd* pDlg) {
        shown = ListTexts(pDlg, 5124);
        pDlg->SendMessage(WM_COMMAND, IDOK, 0);
    });
    CRecordsetCtrlDlg dlg(NULL);
    dlg.SetRecordsetCtrl(m_pGrid);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(shown, (std::vector<std::string>{"A", "D", "d"}));
    EXPECT_FALSE(cols[1].m_bVisible);
    // "d" and "D" are equal ignoring case, yet each keeps a place of its own.
    EXPECT_TRUE(cols[2].m_bVisible);
    EXPECT_EQ(cols[2].m_nOrder, 2);
    EXPECT_EQ(cols[3].m_nOrder, 1);

    // Moved entries take their columns with them, also between the lists.
    KelQueueModalAction([&](CWnd* pDlg) {
        Select(pDlg, 5124, {2});
        Press(pDlg, 5119); // "d" above "D"
        Select(pDlg, 5124, {0});
        Press(pDlg, 5116); // "A" hidden
        const int nHidden = (int)ListTexts(pDlg, 5123).size();
        HWND hHide = ::GetDlgItem(pDlg->GetSafeHwnd(), 5123);
        ::SendMessage(hHide, LB_SETSEL, FALSE, -1);
        ::SendMessage(hHide, LB_SETSEL, TRUE, nHidden - 1);
        Press(pDlg, 5117); // and shown again, last
        pDlg->SendMessage(WM_COMMAND, IDOK, 0);
    });
    CRecordsetCtrlDlg again(NULL);
    again.SetRecordsetCtrl(m_pGrid);
    EXPECT_EQ(again.DoModal(), IDOK);
    EXPECT_EQ(cols[2].m_nOrder, 0);
    EXPECT_EQ(cols[3].m_nOrder, 1);
    EXPECT_EQ(cols[0].m_nOrder, 2);
    EXPECT_TRUE(cols[0].m_bVisible);
}

// Font sizes change the pixels, never the stored widths: any number of cycles through every
// size leaves them as they were, every column (the narrow key too) stays in the column
// dialog, and OK there keeps the sort mark on the sorted column.
TEST_P(MenuTest, FontSizesKeepWidthsColumnsAndTheSortMark) {
    auto stored = [this] {
        CRegistry reg(AppRegistryRoot, KeyPath("Fonts\\"));
        std::vector<std::string> values;
        for (LPCTSTR name : {"[OrderID]", "[Customer]", "[City]", "[Amount]", "[Quantity]"}) {
            CString strValue;
            reg.Read(name, strValue, "");
            values.push_back(strValue.str());
        }
        return values;
    };
    CreateGrid(MakeLoad("SELECT * FROM Orders", "Fonts\\"));
    HDITEM item{};
    item.mask = HDI_WIDTH;
    item.cxy = m_pGrid->m_nHeaderCharWidth * 2 + 41; // a narrow key
    m_pGrid->m_wndHeader.SetItem(HeaderItemOf(0), &item);
    DestroyGrid();
    const std::vector<std::string> before = stored();
    ASSERT_EQ(before[0].substr(4, 6), " 0002 ");

    for (int nCycle = 0; nCycle < 3; ++nCycle) {
        for (UINT nSize : {ID_CM_FONTSIZE13, ID_CM_FONTSIZE8, ID_CM_FONTSIZE11, ID_CM_FONTSIZE13}) {
            CreateGrid(MakeLoad("SELECT * FROM Orders", "Fonts\\"));
            m_pGrid->SendMessage(WM_COMMAND, nSize, 0);
            DestroyGrid();
            ASSERT_EQ(before, stored()) << "cycle " << nCycle << ", command " << nSize;
        }
    }

    // At size 13, sorted on Amount: the key is offered, and OK keeps the mark on Amount.
    CreateGrid(MakeLoad("SELECT * FROM Orders", "Fonts\\"));
    m_pGrid->SendMessage(WM_COMMAND, ID_CM_FONTSIZE13, 0);
    NMHEADER nm{};
    nm.hdr.hwndFrom = m_pGrid->m_wndHeader.m_hWnd;
    nm.hdr.code = HDN_ITEMCLICK;
    nm.iItem = HeaderItemOf(4);
    m_pGrid->SendMessage(WM_NOTIFY, 0, (LPARAM)&nm);
    ASSERT_EQ(m_pGrid->m_wndHeader.GetSortCol(), HeaderItemOf(4));
    std::vector<std::string> shown;
    KelQueueModalAction([&](CWnd* pDlg) {
        shown = ListTexts(pDlg, 5124);
        pDlg->SendMessage(WM_COMMAND, IDOK, 0);
    });
    m_pGrid->SendMessage(WM_COMMAND, IDC_RSC_COLUMNS, 0);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown[0], "OrderID");
    EXPECT_EQ(m_pGrid->m_wndHeader.GetSortCol(), HeaderItemOf(4));
    EXPECT_EQ(m_pGrid->m_arrayColumns[0].m_nWidth, 2);
}

KEL_BOTH_ENGINES(MenuTest);
