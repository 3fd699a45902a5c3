#include "GridTest.h"

#include "platform/win/ModalDriver.h"

// A grid that writes down the vertical scroll codes and the commands it gets; Close is kept
// from closing the host.
class CRecordingGrid : public CRecordsetCtrl {
    DECLARE_DYNCREATE(CRecordingGrid)
public:
    std::vector<UINT> vscroll;
    std::vector<UINT> commands;
    std::vector<std::pair<UINT, CPoint>> drags;
    BOOL bTakeDrag = FALSE; // a drag message starts a drag of this class's own

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_RSC_DRAG) {
            drags.emplace_back((UINT)wParam, *reinterpret_cast<CPoint*>(lParam));
            if (bTakeDrag)
                m_bDragStarted = TRUE;
            return 0;
        }
        return CRecordsetCtrl::WindowProc(message, wParam, lParam);
    }
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) override {
        vscroll.push_back(nSBCode);
        CRecordsetCtrl::OnVScroll(nSBCode, nPos, pScrollBar);
    }
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override {
        commands.push_back(LOWORD(wParam));
        if (LOWORD(wParam) == ID_RECORD_CLOSE)
            return TRUE;
        return CRecordsetCtrl::OnCommand(wParam, lParam);
    }
};
IMPLEMENT_DYNCREATE(CRecordingGrid, CRecordsetCtrl)

class KeyboardTest : public GridTest {
protected:
    CRecordingGrid* Grid(LPCTSTR lpszKey = "") {
        CRecordsetLoad* pLoad = MakeLoad("SELECT * FROM Orders", lpszKey);
        pLoad->m_pCtrlClass = RUNTIME_CLASS(CRecordingGrid);
        auto* pGrid = static_cast<CRecordingGrid*>(CreateGrid(pLoad));
        pGrid->SetFocus();
        m_robot.Idle();
        pGrid->vscroll.clear();
        pGrid->commands.clear();
        m_host.Clear();
        return pGrid;
    }
    CPoint RowPoint(int nRow, int x = 30) const {
        return CPoint(x, 18 + nRow * (m_pGrid->m_nCharHeight + 2) + 2);
    }
};

TEST_P(KeyboardTest, UpAndDownMoveTheCursorInsideTheWindowAndScrollAtItsEdges) {
    CRecordingGrid* pGrid = Grid();
    const int nLast = pGrid->m_nRows - 1;
    ASSERT_GT(nLast, 3);
    // Top of the data, row 0: Up scrolls.
    m_robot.Key(VK_UP);
    EXPECT_EQ(pGrid->m_nCursor, 0);
    EXPECT_EQ(pGrid->vscroll, std::vector<UINT>{SB_LINEUP});
    // Middle: Down and Up move the cursor and notify, nothing scrolls.
    pGrid->vscroll.clear();
    m_robot.Key(VK_DOWN);
    m_robot.Key(VK_DOWN);
    m_robot.Key(VK_UP);
    EXPECT_EQ(pGrid->m_nCursor, 1);
    EXPECT_TRUE(pGrid->vscroll.empty());
    EXPECT_EQ(m_host.Count(RSCN_SELCHANGE), 3);
    EXPECT_EQ(Cell(pGrid->m_nCursor, pGrid->m_nKeyColumn), "2");
    // Bottom row of the window: Down scrolls instead of moving, the next record comes under it.
    pGrid->m_nCursor = nLast;
    m_robot.Key(VK_DOWN);
    EXPECT_EQ(pGrid->m_nCursor, nLast);
    EXPECT_EQ(pGrid->vscroll, std::vector<UINT>{SB_LINEDOWN});
    EXPECT_EQ(Keys()[0], "2");
    EXPECT_EQ(Cell(nLast, pGrid->m_nKeyColumn), std::to_string(nLast + 2));
    // Page keys scroll by a window less one row, the cursor keeping its row.
    pGrid->vscroll.clear();
    m_robot.Key(VK_NEXT);
    EXPECT_EQ(Keys()[0], std::to_string(2 + nLast));
    EXPECT_EQ(pGrid->m_nCursor, nLast);
    m_robot.Key(VK_PRIOR);
    EXPECT_EQ(pGrid->vscroll, (std::vector<UINT>{SB_PAGEDOWN, SB_PAGEUP}));
    EXPECT_EQ(Keys()[0], "2");
    m_robot.Key(VK_PRIOR);
    EXPECT_EQ(Keys()[0], "1");
    // Up at the top of the data changes nothing.
    pGrid->m_nCursor = 0;
    m_robot.Key(VK_UP);
    EXPECT_EQ(Keys()[0], "1");
    EXPECT_EQ(pGrid->m_nCursor, 0);
}

TEST_P(KeyboardTest, HomeAndEndGoToTheEndsOfTheData) {
    CRecordingGrid* pGrid = Grid();
    pGrid->m_nCursor = 3;
    // At the top already: Home puts the cursor on row 0 and asks for one line up.
    m_robot.Key(VK_HOME);
    EXPECT_EQ(pGrid->m_nCursor, 0);
    EXPECT_EQ(pGrid->vscroll, std::vector<UINT>{SB_LINEUP});
    // End: the last row, and the thumb to the last record.
    pGrid->vscroll.clear();
    m_robot.Key(VK_END);
    EXPECT_EQ(pGrid->vscroll, std::vector<UINT>{SB_THUMBPOSITION});
    // The window ends with the last record, and the cursor stands on it.
    ASSERT_GE(pGrid->m_nCursor, 0);
    EXPECT_EQ(Cell(pGrid->m_nCursor, pGrid->m_nKeyColumn), "250");
    EXPECT_EQ(Cell(pGrid->m_nCursor + 1, pGrid->m_nKeyColumn), "");
    // End again at the end: the window stays, the cursor on the last record, no notification
    // (the bar's position stops a page short of its maximum, so the thumb message goes again).
    const std::string strTop = Keys()[0];
    m_host.Clear();
    m_robot.Key(VK_END);
    EXPECT_EQ(Keys()[0], strTop);
    EXPECT_EQ(Cell(pGrid->m_nCursor, pGrid->m_nKeyColumn), "250");
    EXPECT_EQ(m_host.Count(RSCN_SELCHANGE), 0);
    // Away from the top, Home goes back by the thumb to the first record.
    pGrid->vscroll.clear();
    m_robot.Key(VK_HOME);
    EXPECT_EQ(pGrid->vscroll, std::vector<UINT>{SB_THUMBPOSITION});
    EXPECT_EQ(pGrid->m_nCursor, 0);
    EXPECT_EQ(Keys()[0], "1");
}

// Beyond 65,535 records the keys still reach both ends, and the thumb the records it stands for.
TEST_P(KeyboardTest, EndsAndThumbBeyondSixteenBits) {
    CRecordsetLoad* pLoad = MakeLoad("SELECT * FROM Orders");
    pLoad->m_strDatabase = SampleDatabase(70000).c_str();
    pLoad->m_pCtrlClass = RUNTIME_CLASS(CRecordingGrid);
    auto* pGrid = static_cast<CRecordingGrid*>(CreateGrid(pLoad));
    ASSERT_NE(pGrid, nullptr);
    CountAll();
    ASSERT_EQ(VMax(), 69999);
    pGrid->SetFocus();
    pGrid->m_nCursor = 2;
    m_robot.Key(VK_END);
    ASSERT_GE(pGrid->m_nCursor, 0);
    EXPECT_EQ(Cell(pGrid->m_nCursor, pGrid->m_nKeyColumn), "70000");
    EXPECT_EQ(Keys()[0], std::to_string(VPos() + 1));
    m_robot.Key(VK_HOME);
    EXPECT_EQ(VPos(), 0);
    EXPECT_EQ(Keys()[0], "1");
    EXPECT_EQ(pGrid->m_nCursor, 0);
    // A thumb released at 16-bit position 65000 stands for a record beyond 65,535.
    const int nReal = pGrid->m_wndVScroll.GetThumbPos(65000);
    ASSERT_GT(nReal, 65535);
    pGrid->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 65000),
                       (LPARAM)pGrid->m_wndVScroll.GetSafeHwnd());
    EXPECT_EQ(VPos(), nReal);
    EXPECT_EQ(Keys()[0], std::to_string(nReal + 1));
    // Page down and up from there move by a window's worth of records.
    m_robot.Key(VK_NEXT);
    EXPECT_GT(VPos(), nReal);
    m_robot.Key(VK_PRIOR);
    EXPECT_EQ(VPos(), nReal);
}

TEST_P(KeyboardTest, WithoutACursorNavigationKeysOnlyPlaceIt) {
    CRecordingGrid* pGrid = Grid();
    for (UINT vk : {VK_UP, VK_DOWN, VK_PRIOR, VK_NEXT, VK_HOME, VK_END, VK_TAB}) {
        pGrid->m_nCursor = -1;
        m_robot.Key(vk);
        EXPECT_EQ(pGrid->m_nCursor, 0) << vk;
    }
    EXPECT_TRUE(pGrid->vscroll.empty());
    EXPECT_EQ(m_host.Count(RSCN_SELCHANGE), 0);
    // Enter, Escape and Delete act whatever the cursor.
    pGrid->m_nCursor = -1;
    m_robot.Key(VK_RETURN);
    m_robot.Key(VK_ESCAPE);
    m_robot.Key(VK_DELETE);
    EXPECT_EQ(pGrid->commands,
              (std::vector<UINT>{ID_RECORD_OPEN, ID_RECORD_CLOSE, ID_RECORD_DELETE}));
}

TEST_P(KeyboardTest, ActivationChoosesWhereTheToolbarOffersChoose) {
    CRecordingGrid* pGrid = Grid();
    m_robot.Key(VK_RETURN);
    CToolBar toolBar;
    ASSERT_TRUE(toolBar.Create(&m_host));
    const UINT ids[] = {ID_RECORD_NEW, ID_RECORD_CHOOSE};
    toolBar.SetButtons(ids, 2);
    m_robot.Key(VK_RETURN);
    // A double click activates: its first click has already put the cursor on the row.
    m_robot.DoubleClick(pGrid, RowPoint(0));
    m_robot.Wait(1000);
    m_robot.DoubleClick(pGrid, RowPoint(2));
    EXPECT_EQ(pGrid->m_nCursor, 2);
    EXPECT_EQ(pGrid->commands, (std::vector<UINT>{ID_RECORD_OPEN, ID_RECORD_CHOOSE,
                                                  ID_RECORD_CHOOSE, ID_RECORD_CHOOSE}));
    EXPECT_EQ(m_host.Count(RSCN_DBLCLK), 2);
    toolBar.DestroyWindow();
    pGrid->commands.clear();
    pGrid->m_bAlwaysChoose = TRUE;
    m_robot.Key(VK_RETURN);
    EXPECT_EQ(pGrid->commands, std::vector<UINT>{ID_RECORD_CHOOSE});
}

TEST_P(KeyboardTest, WheelScrollsThreeLinesANotchAndCarriesTheRest) {
    CRecordingGrid* pGrid = Grid();
    const std::vector<UINT> three(3, SB_LINEUP);
    m_robot.Wheel(pGrid, CPoint(50, 50), 120);
    EXPECT_EQ(pGrid->vscroll, three);
    pGrid->vscroll.clear();
    m_robot.Wheel(pGrid, CPoint(50, 50), 240);
    EXPECT_EQ(pGrid->vscroll, three);
    m_robot.Wheel(pGrid, CPoint(50, 50), 10);
    EXPECT_EQ(pGrid->vscroll.size(), 6u);
    pGrid->vscroll.clear();
    m_robot.Wheel(pGrid, CPoint(50, 50), -360);
    EXPECT_EQ(pGrid->vscroll, std::vector<UINT>(3, SB_LINEDOWN));
}

TEST_P(KeyboardTest, TypeAheadSearchesTheSortColumnWithThePrefixTypedSoFar) {
    {
        CRegistry reg(AppRegistryRoot, KeyPath("typeahead"));
        reg.Write("SortByN", 1); // Customer
    }
    CRecordingGrid* pGrid = Grid("typeahead");
    ASSERT_EQ(pGrid->m_nSortByN, 1);
    pGrid->m_nCursor = 2;
    m_robot.Type("b");
    EXPECT_EQ(pGrid->m_strTypeAhead, "b");
    EXPECT_EQ(pGrid->m_nCursor, 0);
    EXPECT_EQ(Cell(0, 1).Left(1).MakeUpper(), "B");
    const int nPosB = VPos();
    EXPECT_GT(nPosB, 0);
    m_robot.Wait(500);
    m_robot.Type("r");
    EXPECT_EQ(pGrid->m_strTypeAhead, "br");
    EXPECT_EQ(Cell(0, 1).Left(2).MakeUpper(), "BR");
    EXPECT_GE(VPos(), nPosB);
    // After a pause the next character starts a new search.
    m_robot.Wait(950);
    EXPECT_TRUE(pGrid->m_strTypeAhead.IsEmpty());
    m_robot.Type("a");
    EXPECT_EQ(pGrid->m_strTypeAhead, "a");
    EXPECT_EQ(Cell(0, 1).Left(1).MakeUpper(), "A");
    // A navigation key empties the buffer too.
    m_robot.Key(VK_DOWN);
    EXPECT_TRUE(pGrid->m_strTypeAhead.IsEmpty());
}

TEST_P(KeyboardTest, UnsortedGridCollectsCharactersButSearchesNothing) {
    CRecordingGrid* pGrid = Grid();
    ASSERT_EQ(pGrid->m_nSortByN, -1);
    const auto keys = Keys();
    m_robot.Type("ab");
    EXPECT_EQ(pGrid->m_strTypeAhead, "ab");
    EXPECT_EQ(Keys(), keys);
}

TEST_P(KeyboardTest, ClicksPlaceTheCursorAndDragsAreReported) {
    CRecordingGrid* pGrid = Grid();
    // With the cell font's pitch, y 50 is row (50 - 18) / pitch.
    m_robot.Click(pGrid, CPoint(30, 50));
    EXPECT_EQ(pGrid->m_nCursor, (50 - 18) / (pGrid->m_nCharHeight + 2));
    EXPECT_EQ(m_host.Count(RSCN_SELCHANGE), 1);
    // A right click moves the cursor, notifies and never starts an edit.
    KelSetModalDriver([](CWnd* pModal) { KelCancelMenu(pModal); });
    m_robot.RightClick(pGrid, RowPoint(4));
    m_robot.Wait(1000);
    KelClearModalDriver();
    EXPECT_EQ(pGrid->m_nCursor, 4);
    EXPECT_EQ(m_host.Count(RSCN_SELCHANGE), 2);
    EXPECT_EQ(CWnd::GetFocus(), pGrid);
}

// Moving more than 5 pixels from the click with the button down reports a drag, every move,
// until a derived class says a drag has started; the pending edit of the click goes.
TEST_P(KeyboardTest, MovesBeyondFivePixelsSendTheDragMessage) {
    CRecordingGrid* pGrid = Grid();
    const CPoint pt = RowPoint(0, pGrid->m_wndHeader.GetWidth(1) + 5); // the current row's City
    m_robot.Press(pGrid, pt);
    m_robot.Move(pGrid, pt + CPoint(5, -5));
    EXPECT_TRUE(pGrid->drags.empty());
    m_robot.Move(pGrid, pt + CPoint(6, 0));
    ASSERT_EQ(pGrid->drags.size(), 1u);
    EXPECT_NE(pGrid->drags[0].first & MK_LBUTTON, 0u);
    EXPECT_EQ(pGrid->drags[0].second, pt + CPoint(6, 0));
    m_robot.Move(pGrid, pt + CPoint(0, 9));
    EXPECT_EQ(pGrid->drags.size(), 2u);
    pGrid->bTakeDrag = TRUE;
    m_robot.Move(pGrid, pt + CPoint(0, 12));
    m_robot.Move(pGrid, pt + CPoint(0, 15));
    EXPECT_EQ(pGrid->drags.size(), 3u); // the drag started: no more messages
    m_robot.Release(pGrid, pt + CPoint(0, 15));
    // Without the button, no drag.
    m_robot.Move(pGrid, pt + CPoint(30, 0));
    EXPECT_EQ(pGrid->drags.size(), 3u);

    // The next click clears the flag; a click on the current row, dragged away, never edits.
    pGrid->bTakeDrag = FALSE;
    pGrid->drags.clear();
    m_robot.Press(pGrid, pt);
    m_robot.Move(pGrid, pt + CPoint(0, 20));
    m_robot.Release(pGrid, pt + CPoint(0, 20));
    EXPECT_EQ(pGrid->drags.size(), 1u);
    m_robot.Wait(2000);
    EXPECT_EQ(DYNAMIC_DOWNCAST(CKillEdit, CWnd::GetFocus()), nullptr);
    // Without the drag the same click edits.
    m_robot.Click(pGrid, pt);
    m_robot.Wait(2000);
    EXPECT_NE(DYNAMIC_DOWNCAST(CKillEdit, CWnd::GetFocus()), nullptr);
}

KEL_BOTH_ENGINES(KeyboardTest);
