#include "GridTest.h"

#include "platform/win/MessageBox.h"

#include <filesystem>

// Edits write to the test's own copy of the sample database.
class EditTest : public GridTest {
protected:
    CRecordsetCtrl* EditableGrid() {
        CRecordsetLoad* pLoad = MakeLoad("SELECT * FROM Orders");
        pLoad->m_strDatabase = SampleDatabase().c_str();
        CRecordsetCtrl* pGrid = CreateGrid(pLoad);
        pGrid->SetFocus();
        m_robot.Idle();
        KelClearMessageBoxes();
        return pGrid;
    }
    // A point in the cell of row r, column index c (columns in their initial order).
    CPoint CellPoint(int r, int c) const {
        const int x = m_pGrid->m_wndHeader.GetWidth(c) + 5;
        return CPoint(x, 18 + r * (m_pGrid->m_nCharHeight + 2) + 2);
    }
    CKillEdit* Editor() const { return DYNAMIC_DOWNCAST(CKillEdit, CWnd::GetFocus()); }
    void TypeAndAccept(LPCTSTR text) {
        CKillEdit* pEdit = Editor();
        ASSERT_NE(pEdit, nullptr);
        pEdit->SetWindowText(text);
        m_robot.Key(VK_RETURN);
    }
};

TEST_P(EditTest, ASecondClickOnTheCurrentRowEditsAfterTheDoubleClickTime) {
    CRecordsetCtrl* pGrid = EditableGrid();
    m_robot.Click(pGrid, CellPoint(0, 1));
    EXPECT_EQ(Editor(), nullptr);
    m_robot.Wait(::GetDoubleClickTime() + 10);
    ASSERT_NE(Editor(), nullptr);
    CString strText;
    Editor()->GetWindowText(strText);
    EXPECT_EQ(strText, Cell(0, 1));
    std::filesystem::create_directories(KEL_TEST_DATA_DIR "/pictures");
    SaveWindowImage(pGrid->GetSafeHwnd(), KEL_TEST_DATA_DIR "/pictures/grid-inplace-edit.png");
    TypeAndAccept("Zed O'Neil \"Z\"");
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(Cell(0, 1), "Zed O'Neil \"Z\"");
    EXPECT_EQ(pGrid->m_pDoc->m_pRecordset->GetEditMode(), dbEditNone);

    // An empty text stores Null (City may be Null).
    m_robot.Wait(1000);
    m_robot.Click(pGrid, CellPoint(0, 2));
    m_robot.Wait(::GetDoubleClickTime() + 10);
    TypeAndAccept("");
    CDaoRecordset rs(pGrid->m_pDoc->GetDatabase());
    rs.Open(dbOpenDynaset, "SELECT City FROM Orders WHERE OrderID = 1");
    EXPECT_EQ(rs.GetFieldValue(0).vt, VT_NULL);
    rs.Close();
    EXPECT_TRUE(KelGetMessageBoxes().empty());
}

TEST_P(EditTest, ADoubleClickCancelsThePendingEdit) {
    CRecordsetCtrl* pGrid = EditableGrid();
    m_host.Clear();
    m_robot.DoubleClick(pGrid, CellPoint(0, 1));
    m_robot.Wait(::GetDoubleClickTime() + 10);
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(m_host.Count(RSCN_DBLCLK), 1);
}

TEST_P(EditTest, AValueTheDatabaseRefusesLeavesNoRecordInEditMode) {
    CRecordsetCtrl* pGrid = EditableGrid();
    const CString strBefore = Cell(0, 1);
    m_robot.Click(pGrid, CellPoint(0, 1));
    m_robot.Wait(::GetDoubleClickTime() + 10);
    TypeAndAccept(""); // Customer is NOT NULL
    ASSERT_EQ(KelGetMessageBoxes().size(), 1u);
    EXPECT_EQ(pGrid->m_pDoc->m_pRecordset->GetEditMode(), dbEditNone);
    EXPECT_EQ(Cell(0, 1), strBefore);
    // The grid goes on working: the next edit is stored.
    m_robot.Wait(1000);
    m_robot.Click(pGrid, CellPoint(0, 1));
    m_robot.Wait(::GetDoubleClickTime() + 10);
    TypeAndAccept("Again");
    EXPECT_EQ(Cell(0, 1), "Again");
}

TEST_P(EditTest, EditsOutsideTheWindowOrOutOfViewAreRefused) {
    CRecordsetCtrl* pGrid = EditableGrid();
    EXPECT_FALSE(pGrid->EditCurrentRecord(pGrid->m_wndHeader.GetItemCount(), 0, nullptr));
    EXPECT_FALSE(pGrid->EditCurrentRecord(0, pGrid->m_nRows, nullptr));
    pGrid->m_wndHScroll.SetScrollPos(2, FALSE);
    EXPECT_FALSE(pGrid->EditCurrentRecord(1, 0, nullptr));
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(pGrid->m_pDoc->m_pRecordset->GetEditMode(), dbEditNone);
}

TEST_P(EditTest, GetCurrentRecordOpensTheRecordUnderTheCursor) {
    CRecordsetCtrl* pGrid = EditableGrid();
    CDaoDatabase* pDb = pGrid->m_pDoc->GetDatabase();
    pGrid->m_nCursor = 3;
    {
        CDaoRecordset rs(pDb);
        ASSERT_TRUE(pGrid->GetCurrentRecord(&rs, TRUE, TRUE));
        EXPECT_EQ(rs.GetFieldValue(0).lVal, 4);
        EXPECT_EQ(rs.GetEditMode(), dbEditInProgress);
        rs.CancelUpdate();
        rs.Close();
    }
    // A record deleted since it was shown.
    {
        CDaoDatabase other;
        other.Open(pGrid->m_pDoc->m_strDatabase);
        other.Execute("DELETE FROM Orders WHERE OrderID = 4");
    }
    CDaoRecordset rs(pDb);
    EXPECT_FALSE(pGrid->GetCurrentRecord(&rs, FALSE, 0));
    ASSERT_EQ(KelGetMessageBoxes().size(), 1u);
    EXPECT_EQ(KelGetMessageBoxes()[0].strText,
              "Can't perform operation; the current record is deleted.");
    pGrid->m_nCursor = -1;
    EXPECT_FALSE(pGrid->GetCurrentRecord(&rs, FALSE, 0));
    EXPECT_EQ(KelGetMessageBoxes().size(), 1u);
    // AddRecord opens the whole statement in add mode.
    EXPECT_TRUE(pGrid->AddRecord(&rs));
    EXPECT_EQ(rs.GetEditMode(), dbEditAdd);
    rs.CancelUpdate();
    rs.Close();
}

KEL_BOTH_ENGINES(EditTest);
