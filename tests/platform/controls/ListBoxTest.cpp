// The list box: items, the selection kinds, LB_FINDSTRINGEXACT's rules, toggling entries of a
// multiple-selection list by mouse and keyboard, and its scroll bar.
#include "ControlTest.h"

namespace {

class ListBoxTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        ASSERT_TRUE(host.CreateHost(CRect(100, 100, 500, 400)));
        ASSERT_TRUE(multi.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER | WS_VSCROLL |
                                     LBS_NOTIFY | LBS_MULTIPLESEL | LBS_NOINTEGRALHEIGHT,
                                 CRect(10, 10, 150, 110), &host, 31));
        for (LPCTSTR s : {"Name", "Amount", "Date", "Amount due", "name"})
            multi.AddString(s);
        KelRunUntilIdle();
        host.Clear();
    }
    CPoint ItemCenter(CListBox& lb, int index) {
        CRect rc;
        lb.GetItemRect(index, &rc);
        return rc.CenterPoint();
    }
    std::vector<int> Selected(CListBox& lb) {
        std::vector<int> out(static_cast<size_t>(lb.GetCount()));
        const int n = lb.GetSelItems(static_cast<int>(out.size()), out.data());
        out.resize(static_cast<size_t>(std::max(0, n)));
        return out;
    }
    CHostWnd host;
    CListBox multi;
};

TEST_F(ListBoxTest, FindStringExactIsWholeTextWithoutCaseFromAfterTheStart) {
    EXPECT_EQ(0, multi.FindStringExact(-1, "NAME"));
    EXPECT_EQ(4, multi.FindStringExact(0, "name")); // after entry 0
    EXPECT_EQ(0, multi.FindStringExact(4, "name")); // round from the end
    EXPECT_EQ(1, multi.FindStringExact(-1, "amount"));
    EXPECT_EQ(LB_ERR, multi.FindStringExact(-1, "Amoun"));
    EXPECT_EQ(3, multi.FindString(1, "amount")); // a prefix search from after 1
    EXPECT_EQ(LB_ERR, multi.FindStringExact(-1, "Total"));
    CListBox empty;
    ASSERT_TRUE(empty.Create(WS_CHILD | WS_VISIBLE, CRect(200, 10, 300, 60), &host, 32));
    EXPECT_EQ(LB_ERR, empty.FindStringExact(-1, "x"));
}

TEST_F(ListBoxTest, ItemsAndMultipleSelectionThroughMessages) {
    EXPECT_EQ(5, multi.GetCount());
    EXPECT_EQ(5, multi.InsertString(-1, "Last"));
    EXPECT_EQ(LB_ERR, multi.InsertString(9, "Nowhere"));
    CString text;
    multi.GetText(5, text);
    EXPECT_STREQ("Last", text);
    EXPECT_EQ(LB_ERR, multi.GetTextLen(6));
    EXPECT_EQ(5, multi.DeleteString(5));
    EXPECT_EQ(LB_ERR, multi.DeleteString(5));

    EXPECT_EQ(0, multi.GetSelCount());
    EXPECT_EQ(LB_ERR, multi.SetCurSel(1)); // only for single selection
    multi.SetSel(-1, TRUE);                // every entry
    EXPECT_EQ(5, multi.GetSelCount());
    multi.SetSel(2, FALSE);
    EXPECT_EQ((std::vector<int>{0, 1, 3, 4}), Selected(multi));
    EXPECT_EQ(0, multi.GetSel(2));
    EXPECT_GT(multi.GetSel(3), 0);
    EXPECT_EQ(LB_ERR, multi.GetSel(7));
    EXPECT_EQ(LB_ERR, multi.SetSel(7, TRUE));
    multi.SetSel(-1, FALSE);
    EXPECT_EQ(0, multi.GetSelCount());
    multi.SetItemData(1, 77);
    EXPECT_EQ(77u, multi.GetItemData(1));
    EXPECT_EQ(LB_ERR, static_cast<int>(multi.GetItemData(-1)));

    // A single-selection list has no selection count; LB_SETCURSEL -1 clears.
    CListBox single;
    ASSERT_TRUE(
        single.Create(WS_CHILD | WS_VISIBLE | LBS_SORT, CRect(200, 10, 300, 100), &host, 33));
    single.AddString("b");
    EXPECT_EQ(0, single.AddString("a"));
    EXPECT_EQ(LB_ERR, single.GetCurSel());
    EXPECT_EQ(LB_ERR, single.GetSelCount());
    EXPECT_EQ(1, single.SetCurSel(1));
    EXPECT_EQ(1, single.GetCurSel());
    EXPECT_EQ(LB_ERR, single.SetCurSel(-1));
    EXPECT_EQ(LB_ERR, single.GetCurSel());
}

TEST_F(ListBoxTest, ClicksToggleEntriesOfAMultipleSelectionList) {
    Robot robot;
    robot.Click(&multi, ItemCenter(multi, 1));
    robot.Wait(1000);
    robot.Click(&multi, ItemCenter(multi, 3));
    EXPECT_EQ((std::vector<int>{1, 3}), Selected(multi));
    EXPECT_EQ(2, host.Count("cmd 31 LBN_SELCHANGE"));
    robot.Wait(1000);
    robot.Click(&multi, ItemCenter(multi, 1));
    EXPECT_EQ((std::vector<int>{3}), Selected(multi));
    // The keyboard: arrows move the caret, Space toggles.
    robot.Key(VK_DOWN);
    robot.Key(VK_SPACE);
    EXPECT_EQ((std::vector<int>{2, 3}), Selected(multi));
    EXPECT_EQ(2, multi.GetCaretIndex());
    // A click below the last entry changes nothing.
    host.Clear();
    robot.Wait(1000);
    robot.Click(&multi, CPoint(20, 90));
    EXPECT_EQ((std::vector<int>{2, 3}), Selected(multi));
    EXPECT_EQ(0, host.Count("cmd 31 LBN_SELCHANGE"));
    robot.Wait(1000);
    robot.DoubleClick(&multi, ItemCenter(multi, 0));
    EXPECT_EQ(1, host.Count("cmd 31 LBN_DBLCLK"));
}

TEST_F(ListBoxTest, SingleAndExtendedSelectionByMouseAndKeys) {
    CListBox single;
    ASSERT_TRUE(single.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | LBS_NOTIFY,
                              CRect(200, 10, 300, 100), &host, 34));
    for (LPCTSTR s : {"a", "b", "c", "d"})
        single.AddString(s);
    Robot robot;
    robot.Click(&single, ItemCenter(single, 2));
    EXPECT_EQ(2, single.GetCurSel());
    robot.Key(VK_UP);
    EXPECT_EQ(1, single.GetCurSel());
    robot.Key(VK_END);
    EXPECT_EQ(3, single.GetCurSel());
    EXPECT_EQ(3, host.Count("cmd 34 LBN_SELCHANGE"));

    CListBox ext;
    ASSERT_TRUE(ext.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | LBS_EXTENDEDSEL,
                           CRect(200, 120, 300, 220), &host, 35));
    for (LPCTSTR s : {"a", "b", "c", "d", "e"})
        ext.AddString(s);
    robot.Click(&ext, ItemCenter(ext, 1));
    robot.Wait(1000);
    robot.Click(&ext, ItemCenter(ext, 3), Robot::Shift);
    EXPECT_EQ((std::vector<int>{1, 2, 3}), Selected(ext));
    robot.Wait(1000);
    robot.Click(&ext, ItemCenter(ext, 2), Robot::Ctrl);
    EXPECT_EQ((std::vector<int>{1, 3}), Selected(ext));
    robot.Wait(1000);
    robot.Click(&ext, ItemCenter(ext, 4));
    EXPECT_EQ((std::vector<int>{4}), Selected(ext));
}

TEST_F(ListBoxTest, ScrollBarComesWhenNeededAndScrollsTheItems) {
    CRect before;
    multi.GetClientRect(&before);
    EXPECT_FALSE(multi.GetStyle() & WS_VSCROLL); // five items fit
    for (int i = 0; i < 20; ++i) {
        CString s;
        s.Format("Item %02d", i);
        multi.AddString(s);
    }
    EXPECT_TRUE(multi.GetStyle() & WS_VSCROLL);
    CRect after;
    multi.GetClientRect(&after);
    EXPECT_EQ(before.Width() - ::GetSystemMetrics(SM_CXVSCROLL), after.Width());
    EXPECT_EQ(0, multi.GetTopIndex());
    // The down arrow of the bar, in the frame at the right.
    CRect wr;
    multi.GetWindowRect(&wr);
    Robot robot;
    robot.ClickScreen(CPoint(wr.right - 10, wr.bottom - 8));
    EXPECT_EQ(1, multi.GetTopIndex());
    // The last item at the top would leave the list half empty: the list stops at its end.
    multi.SetTopIndex(24);
    const int rows = after.Height() / multi.GetItemHeight(0);
    EXPECT_EQ(25 - rows, multi.GetTopIndex());
    EXPECT_EQ(LB_ERR, multi.SetTopIndex(25));
    EXPECT_EQ(LB_ERR, multi.SetTopIndex(-3));
    multi.SetSel(5, TRUE);
    multi.SetTopIndex(3);
    KelRunUntilIdle();
    SavePicture(&host, "listbox");
}

} // namespace
