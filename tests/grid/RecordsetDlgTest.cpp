// The record chooser: its grid in place of the frame, its size and centring, closing.
#include "GridTest.h"

#include "platform/gdi/BitmapResource.h"
#include "platform/win/MessageBox.h"
#include "platform/win/ModalDriver.h"
#include "platform/win/ToolBarResource.h"

#include <cstdlib>

namespace {

constexpr UINT IDR_CHOOSER_TOOLS = 7301;

class RecordsetDlgTest : public GridTest {
protected:
    void TearDown() override {
        KelClearModalDriver();
        GridTest::TearDown();
    }
    // A chooser toolbar with or without Choose.
    static void RegisterTools(BOOL bChoose) {
        const HINSTANCE hModule = AfxGetResourceHandle();
        AfxSetResource(hModule, RT_TOOLBAR, MAKEINTRESOURCE(IDR_CHOOSER_TOOLS),
                       bChoose ? KelToolBarResource(16, 15, {ID_RECORD_OPEN, ID_RECORD_CHOOSE})
                               : KelToolBarResource(16, 15, {ID_RECORD_OPEN, ID_RECORD_CLOSE}));
        KelBitmapResource bmp;
        bmp.cx = 32;
        bmp.cy = 15;
        bmp.pixels.assign(32 * 15, RGB(192, 192, 192));
        KelSetBitmapResource(hModule, IDR_CHOOSER_TOOLS, bmp);
    }
    CPoint RowPoint(CRecordsetCtrl* pGrid, int nRow) const {
        return CPoint(30, 18 + nRow * (pGrid->m_nCharHeight + 2) + 2);
    }
};

TEST_P(RecordsetDlgTest, ModelessChooserTakesTheRequestedSizeAroundTheSameCentre) {
    auto* pPlain = new CRecordsetDlg;
    pPlain->SetLoad(MakeLoad());
    ASSERT_TRUE(pPlain->Create());
    KelRunUntilIdle();
    CRect rcPlain;
    pPlain->GetWindowRect(&rcPlain);
    CString strCaption;
    pPlain->GetWindowText(strCaption);
    ASSERT_NE(nullptr, pPlain->GetRecordsetCtrl());
    EXPECT_TRUE(::IsWindow(pPlain->GetRecordsetCtrl()->m_hWnd));
    pPlain->SendMessage(WM_COMMAND, ID_RECORD_CLOSE, 0); // deletes itself

    auto* pSized = new CRecordsetDlg;
    pSized->SetLoad(MakeLoad());
    pSized->SetWidth(800);
    pSized->SetHeight(600);
    pSized->SetParent(&m_host);
    ASSERT_TRUE(pSized->Create());
    KelRunUntilIdle();
    CRect rc;
    pSized->GetWindowRect(&rc);
    EXPECT_EQ(800, rc.Width());
    EXPECT_EQ(600, rc.Height());
    EXPECT_LE(std::abs(rc.CenterPoint().x - rcPlain.CenterPoint().x), 1);
    EXPECT_LE(std::abs(rc.CenterPoint().y - rcPlain.CenterPoint().y), 1);
    // The grid stretches with the dialog.
    CRect rcGrid;
    pSized->GetRecordsetCtrl()->GetWindowRect(&rcGrid);
    CRect rcClient;
    pSized->GetClientRect(&rcClient);
    EXPECT_NEAR(rcClient.Width(), rcGrid.Width(), 2); // the frame is a unit short of the edge
    pSized->SendMessage(WM_COMMAND, ID_RECORD_CLOSE, 0);
    KelRunUntilIdle();
    EXPECT_EQ(m_host.m_hWnd, ::GetFocus());
}

TEST_P(RecordsetDlgTest, ChooserWithoutLoadRecordClosesAsCancel) {
    CRecordsetDlg dlg;
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(nullptr, dlg.GetRecordsetCtrl());
}

// Modal: a double click on a row chooses it where the toolbar offers Choose; the host's
// recordset then holds that record and the dialog ends with IDOK.
TEST_P(RecordsetDlgTest, ModalChooserHandsTheChosenRecordToTheHost) {
    RegisterTools(TRUE);
    CDaoDatabase db;
    db.Open(SampleDatabase().c_str());
    CDaoRecordset rs(&db);
    CRecordsetDlg dlg;
    dlg.SetLoad(MakeLoad());
    dlg.SetRecordset(&rs);
    ASSERT_TRUE(dlg.AddBar(IDR_CHOOSER_TOOLS));
    KelSetModalDriver([&](CWnd*) {
        CRecordsetCtrl* pGrid = dlg.GetRecordsetCtrl();
        ASSERT_NE(pGrid, nullptr);
        m_robot.DoubleClick(pGrid, RowPoint(pGrid, 3));
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    ASSERT_TRUE(rs.IsOpen());
    ASSERT_FALSE(rs.IsEOF());
    EXPECT_EQ(rs.GetFieldValue("OrderID").lVal, 4);
    rs.Close();
    db.Close();
}

// Choose on a row that holds no record, or with no recordset to receive it, keeps the dialog
// open; Close ends it as Cancel.
TEST_P(RecordsetDlgTest, ChooseNeedsARecordAndARecordset) {
    RegisterTools(FALSE);
    std::vector<std::string> seen;
    CRecordsetDlg dlg;
    CRecordsetLoad* pLoad = MakeLoad("SELECT * FROM Orders WHERE OrderID <= 2");
    dlg.SetLoad(pLoad);
    ASSERT_TRUE(dlg.AddBar(IDR_CHOOSER_TOOLS));
    KelSetModalDriver([&](CWnd* pModal) {
        CRecordsetCtrl* pGrid = dlg.GetRecordsetCtrl();
        ASSERT_NE(pGrid, nullptr);
        pModal->SendMessage(WM_COMMAND, ID_RECORD_CHOOSE, 0); // no recordset of the host
        seen.push_back(::IsWindowVisible(pModal->GetSafeHwnd()) ? "open" : "closed");
        pGrid->m_nCursor = 5; // past the two records
        CDaoDatabase db;
        db.Open(SampleDatabase().c_str());
        CDaoRecordset rs(&db);
        dlg.SetRecordset(&rs);
        pModal->SendMessage(WM_COMMAND, ID_RECORD_CHOOSE, 0);
        seen.push_back(rs.IsOpen() ? "chosen" : "none");
        dlg.SetRecordset(NULL);
        pModal->SendMessage(WM_COMMAND, ID_RECORD_CLOSE, 0);
    });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(seen, (std::vector<std::string>{"open", "none"}));
    EXPECT_TRUE(KelGetMessageBoxes().empty());
}

} // namespace

KEL_BOTH_ENGINES(RecordsetDlgTest);
