// The toolbar with image modes: loading a toolbar resource, strips per mode and size, the
// buttons' texts, and button states asked of any command target.
#include "CompanionTest.h"

namespace {

constexpr UINT IDR_RECORDS = 320;   // toolbar with its own strip
constexpr UINT IDR_NOSTRIP = 321;   // toolbar whose images come from SetBitmap only
constexpr UINT IDB_LARGE = 322;     // 3 images 26 x 24 (the 16 x 15 shape, 24 high)
constexpr UINT IDB_SMALL_HOT = 323; // 3 images 16 x 15
constexpr UINT ID_NEW = 5500, ID_OPEN = 5501, ID_PRINT = 5505;

KelBitmapResource Plain(int cx, int cy, COLORREF c) {
    KelBitmapResource b;
    b.cx = cx;
    b.cy = cy;
    b.pixels.assign(static_cast<size_t>(cx * cy), c);
    return b;
}

// A command target that answers the state of the Open button.
class CRecordCommands : public CCmdTarget {
public:
    BOOL m_bCanOpen = FALSE;

protected:
    void OnUpdateOpen(CCmdUI* pCmdUI) { pCmdUI->Enable(m_bCanOpen); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRecordCommands, CCmdTarget)
ON_UPDATE_COMMAND_UI(ID_OPEN, OnUpdateOpen)
END_MESSAGE_MAP()

class ToolBarTest : public CompanionTest {
protected:
    void SetUp() override {
        CompanionTest::SetUp();
        AfxSetResource(hModule, RT_TOOLBAR, MAKEINTRESOURCE(IDR_RECORDS),
                       KelToolBarResource(16, 15, {ID_NEW, ID_OPEN, ID_SEPARATOR, ID_PRINT}));
        KelSetBitmapResource(hModule, IDR_RECORDS, Plain(48, 15, RGB(0, 0, 128)));
        AfxSetResource(hModule, RT_TOOLBAR, MAKEINTRESOURCE(IDR_NOSTRIP),
                       KelToolBarResource(16, 15, {ID_NEW, ID_OPEN}));
        KelSetBitmapResource(hModule, IDB_LARGE, Plain(78, 24, RGB(0, 128, 0)));
        KelSetBitmapResource(hModule, IDB_SMALL_HOT, Plain(48, 15, RGB(128, 0, 0)));
        AfxSetStringResource(hModule, ID_NEW, "New");
        AfxSetStringResource(hModule, ID_OPEN, "Open the chosen record\nOpen");
        ASSERT_TRUE(host.CreateHost(CRect(0, 0, 400, 200)));
        ASSERT_TRUE(bar.Create(&host, WS_CHILD | WS_VISIBLE | CBRS_TOP));
    }
    HIMAGELIST List(UINT msg) { return reinterpret_cast<HIMAGELIST>(bar.SendMessage(msg)); }
    CSize ImageSize() {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(List(TB_GETIMAGELIST), &cx, &cy);
        return CSize(cx, cy);
    }

    CHostWnd host;
    CExToolBar bar;
};

TEST_F(ToolBarTest, LoadsButtonsAndImagesPerMode) {
    EXPECT_FALSE(bar.LoadToolBar(999));
    bar.SetInstance(hModule);
    ASSERT_TRUE(bar.LoadToolBar(IDR_RECORDS));
    EXPECT_EQ(4, bar.GetCount());
    EXPECT_EQ(1, bar.CommandToIndex(ID_OPEN));
    EXPECT_EQ(3, bar.CommandToIndex(ID_PRINT));
    // The toolbar's own strip gives the small images.
    ASSERT_NE(nullptr, bar.GetImages(CExToolBar::imSmall));
    EXPECT_EQ(bar.GetImages(CExToolBar::imSmall)->GetSafeHandle(), List(TB_GETIMAGELIST));
    EXPECT_EQ(CSize(16, 15), ImageSize());

    // The large strips are cut in the resource's proportions, as high as the strip.
    ASSERT_TRUE(bar.SetBitmap(IDB_LARGE, CExToolBar::imLarge, RGB(255, 0, 255)));
    ASSERT_TRUE(bar.SetBitmap(IDB_SMALL_HOT, 1, RGB(255, 0, 255)));
    EXPECT_EQ(3, bar.GetImages(CExToolBar::imLarge)->GetImageCount());
    EXPECT_EQ(CSize(16, 15), ImageSize()); // still small
    EXPECT_EQ(bar.GetImages(CExToolBar::imSmallHot)->GetSafeHandle(), List(TB_GETHOTIMAGELIST));
    bar.SetLargeMode(TRUE);
    EXPECT_EQ(CSize(26, 24), ImageSize());
    EXPECT_EQ(nullptr, List(TB_GETHOTIMAGELIST)); // no large hot strip
    CRect button;
    bar.GetItemRect(0, &button);
    EXPECT_EQ(CSize(33, 31), button.Size());
    bar.SetLargeMode(FALSE);
    EXPECT_EQ(CSize(16, 15), ImageSize());

    EXPECT_FALSE(bar.SetBitmap(999, CExToolBar::imSmallDisabled, RGB(255, 0, 255)));
    EXPECT_FALSE(bar.SetBitmap(IDB_LARGE, 6, RGB(255, 0, 255)));
    EXPECT_EQ(nullptr, bar.GetImages(CExToolBar::imSmallDisabled));

    // A toolbar resource without a strip of its own loads too: the modes give its images.
    CExToolBar second;
    ASSERT_TRUE(second.Create(&host, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR + 1));
    second.SetInstance(hModule);
    EXPECT_TRUE(second.LoadToolBar(IDR_NOSTRIP));
    EXPECT_EQ(nullptr, second.GetImages(CExToolBar::imSmall));
}

TEST_F(ToolBarTest, ButtonsCarryTheirTextsWhenShown) {
    bar.SetShowText(TRUE);
    ASSERT_TRUE(bar.LoadToolBar(IDR_RECORDS));
    EXPECT_EQ(CString("New"), bar.GetButtonText(0));
    EXPECT_EQ(CString("Open"), bar.GetButtonText(1));
    EXPECT_EQ(CString(""), bar.GetButtonText(3)); // no string for Print
    CRect withText;
    bar.GetItemRect(0, &withText);
    bar.SetShowText(FALSE);
    EXPECT_EQ(CString(""), bar.GetButtonText(1));
    CRect without;
    bar.GetItemRect(0, &without);
    EXPECT_GT(withText.Height(), without.Height());
}

TEST_F(ToolBarTest, ButtonStatesComeFromAnyCommandTarget) {
    bar.SetInstance(hModule);
    ASSERT_TRUE(bar.LoadToolBar(IDR_RECORDS));
    CRecordCommands commands;
    bar.UpdateButtons(&commands, FALSE);
    EXPECT_FALSE(Enabled(bar, ID_OPEN));
    EXPECT_TRUE(Enabled(bar, ID_NEW)); // no handler: left alone
    commands.m_bCanOpen = TRUE;
    bar.UpdateButtons(&commands, FALSE);
    EXPECT_TRUE(Enabled(bar, ID_OPEN));
    // Asked to disable what has no handler, the others go grey.
    bar.UpdateButtons(&commands, TRUE);
    EXPECT_FALSE(Enabled(bar, ID_NEW));

    // A click sends the command to the toolbar's parent.
    bar.UpdateButtons(&commands, FALSE);
    host.RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, 0);
    CRect rc;
    bar.GetItemRect(1, &rc);
    Robot robot;
    robot.Click(&bar, rc.CenterPoint());
    EXPECT_EQ(1, host.Count("cmd 5501 0"));
}

TEST_F(ToolBarTest, TheButtonUnderThePointerShowsItsHotImageUntilThePointerLeaves) {
    bar.SetInstance(hModule);
    ASSERT_TRUE(bar.LoadToolBar(IDR_RECORDS));
    ASSERT_TRUE(bar.SetBitmap(IDB_SMALL_HOT, CExToolBar::imSmallHot, RGB(255, 0, 255)));
    host.RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, 0);
    CRect first, second;
    bar.GetItemRect(0, &first);
    bar.GetItemRect(1, &second);
    const CPoint image = first.CenterPoint();
    EXPECT_EQ(RGB(0, 0, 128), Pixel(&bar, image.x, image.y)); // the normal strip is navy

    Robot robot;
    robot.Move(&bar, image);
    robot.Idle();
    EXPECT_EQ(0, bar.SendMessage(TB_GETHOTITEM));
    EXPECT_EQ(RGB(128, 0, 0), Pixel(&bar, image.x, image.y)); // the hot strip is maroon

    robot.Move(&bar, second.CenterPoint()); // the next button takes over
    robot.Idle();
    EXPECT_EQ(1, bar.SendMessage(TB_GETHOTITEM));
    EXPECT_EQ(RGB(0, 0, 128), Pixel(&bar, image.x, image.y));

    robot.Move(&host, CPoint(300, 150)); // off the bar: nothing is hot
    robot.Idle();
    EXPECT_EQ(-1, bar.SendMessage(TB_GETHOTITEM));
    EXPECT_EQ(RGB(0, 0, 128), Pixel(&bar, second.CenterPoint().x, second.CenterPoint().y));
}

} // namespace
