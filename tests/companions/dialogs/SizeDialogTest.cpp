// The resizer: every registered edge keeps its distance to the side its code names, through
// any number of resizes.
#include "../controls/CompanionTest.h"

#include <KelDialogs.h>

namespace {

constexpr UINT IDD_SIZED = 400;
constexpr int IDC_LIST = 401, IDC_FIELD = 402, IDC_SIDE = 403, IDC_STATUS = 404;

class CSizedDialog : public CDialog {
public:
    CSizedDialog() : CDialog(IDD_SIZED) {}
    CSizeDialog m_size;

protected:
    afx_msg void OnSize(UINT, int cx, int cy) { m_size.Resize(cx, cy); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSizedDialog, CDialog)
ON_WM_SIZE()
END_MESSAGE_MAP()

class SizeDialogTest : public CompanionTest {
protected:
    void SetUp() override {
        CompanionTest::SetUp();
        AfxSetResource(hModule, RT_DIALOG, MAKEINTRESOURCE(IDD_SIZED),
                       KelDialogTemplate(
                           "Sized", WS_POPUP | WS_CAPTION | WS_THICKFRAME, 0, 0, 200, 120,
                           {KelDialogItem::ListBox(IDC_LIST, 40, 30, 150, 60, LBS_NOINTEGRALHEIGHT),
                            KelDialogItem::EditText(IDC_FIELD, 40, 8, 150, 14),
                            KelDialogItem::ListBox(IDC_SIDE, 4, 8, 30, 82, LBS_NOINTEGRALHEIGHT),
                            KelDialogItem::LText("Ready", IDC_STATUS, 4, 100, 60, 10),
                            KelDialogItem::DefPushButton("OK", IDOK, 140, 98, 50, 14)}));
        ASSERT_TRUE(dlg.Create(IDD_SIZED));
        dlg.GetClientRect(&client0);
        for (int id : {IDC_LIST, IDC_FIELD, IDC_SIDE, IDC_STATUS, IDOK})
            start[id] = Place(id);
    }
    void TearDown() override {
        dlg.DestroyWindow();
        CompanionTest::TearDown();
    }
    CRect Place(int id) {
        CRect rc;
        dlg.GetDlgItem(id)->GetWindowRect(&rc);
        dlg.ScreenToClient(&rc);
        return rc;
    }
    // Resizes the dialog's client area by (dx, dy) from where it started.
    void ResizeBy(int dx, int dy) {
        CRect window;
        dlg.GetWindowRect(&window);
        CRect client;
        dlg.GetClientRect(&client);
        dlg.SetWindowPos(nullptr, 0, 0, window.Width() + client0.Width() + dx - client.Width(),
                         window.Height() + client0.Height() + dy - client.Height(),
                         SWP_NOMOVE | SWP_NOZORDER);
        dlg.GetClientRect(&client);
        ASSERT_EQ(client0.Width() + dx, client.Width());
    }

    CSizedDialog dlg;
    CRect client0;
    std::map<int, CRect> start;
};

TEST_F(SizeDialogTest, EdgesKeepTheirDistancesThroughManyResizes) {
    CSizeDialog& size = dlg.m_size;
    EXPECT_FALSE(size.Add(IDC_LIST, 1, 1, 2, 2)); // not bound yet
    size.Set(&dlg);
    ASSERT_TRUE(size.Add(IDC_LIST, 1, 1, 2, 2));   // stretches both ways
    ASSERT_TRUE(size.Add(IDC_FIELD, 1, 1, 2, 1));  // along the top
    ASSERT_TRUE(size.Add(IDC_SIDE, 1, 1, 1, 2));   // down the left side
    ASSERT_TRUE(size.Add(IDC_STATUS, 1, 2, 1, 2)); // rides on the bottom edge
    ASSERT_TRUE(size.Add(IDOK, 2, 2, 2, 2));       // the bottom right corner
    EXPECT_FALSE(size.Add(IDC_LIST, 0, 1, 2, 2));
    EXPECT_FALSE(size.Add(IDC_LIST, 1, 1, 3, 2));
    EXPECT_FALSE(size.Add(999, 1, 1, 1, 1));
    EXPECT_EQ(5, size.GetCount());

    for (auto [dx, dy] : {std::pair{150, 90}, {-40, 20}, {300, -10}, {60, 60}}) {
        ResizeBy(dx, dy);
        const CRect& list = start[IDC_LIST];
        EXPECT_EQ(CRect(list.left, list.top, list.right + dx, list.bottom + dy), Place(IDC_LIST));
        const CRect& field = start[IDC_FIELD];
        EXPECT_EQ(CRect(field.left, field.top, field.right + dx, field.bottom), Place(IDC_FIELD));
        const CRect& side = start[IDC_SIDE];
        EXPECT_EQ(CRect(side.left, side.top, side.right, side.bottom + dy), Place(IDC_SIDE));
        CRect status = start[IDC_STATUS];
        status.OffsetRect(0, dy);
        EXPECT_EQ(status, Place(IDC_STATUS));
        CRect ok = start[IDOK];
        ok.OffsetRect(dx, dy);
        EXPECT_EQ(ok, Place(IDOK));
    }
    // Back to the first size, everything is where it began.
    ResizeBy(0, 0);
    for (const auto& [id, rc] : start)
        EXPECT_EQ(rc, Place(id)) << id;

    // Smaller than the controls: a stretched one becomes empty, never turned inside out.
    ResizeBy(-client0.Width() + 20, -client0.Height() + 20);
    const CRect list = Place(IDC_LIST);
    EXPECT_EQ(start[IDC_LIST].TopLeft(), list.TopLeft());
    EXPECT_EQ(0, list.Width());
    EXPECT_EQ(0, list.Height());

    // Set again starts a new table.
    size.Set(&dlg);
    EXPECT_EQ(0, size.GetCount());
}

} // namespace
