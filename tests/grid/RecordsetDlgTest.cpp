// The record chooser: its grid in place of the frame, its size and centring, closing.
#include "GridTest.h"

#include <cstdlib>

namespace {

class RecordsetDlgTest : public GridTest {};

TEST_F(RecordsetDlgTest, ModelessChooserTakesTheRequestedSizeAroundTheSameCentre) {
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

TEST_F(RecordsetDlgTest, ChooserWithoutLoadRecordClosesAsCancel) {
    CRecordsetDlg dlg;
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(nullptr, dlg.GetRecordsetCtrl());
}

} // namespace
