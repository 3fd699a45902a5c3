// The combo boxes: items and selection through messages (with the CB_ERR answers), choosing
// by mouse and by keyboard with CBN_SELENDOK, cancelling; the editable drop-down and simple
// combo boxes with their edit.
#include "ControlTest.h"

namespace {

class ComboBoxTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        ASSERT_TRUE(host.CreateHost(CRect(100, 100, 400, 400)));
        ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL,
                                 CRect(10, 10, 160, 150), &host, 21));
        for (LPCTSTR s : {"Red", "Green", "Blue", "Cyan", "Magenta"})
            combo.AddString(s);
        KelRunUntilIdle();
        host.Clear();
    }
    // The screen point of an item of the dropped list.
    CPoint ItemPoint(int index) {
        CRect rc;
        combo.GetWindowRect(&rc);
        const int h = combo.GetItemHeight(0);
        return CPoint(rc.left + 20, rc.bottom + 1 + index * h + h / 2);
    }
    std::vector<std::string> Notes() {
        std::vector<std::string> out;
        for (const std::string& s : host.log) {
            if (s.find("FOCUS") == std::string::npos)
                out.push_back(s.substr(7)); // without "cmd 21 "
        }
        return out;
    }
    CHostWnd host;
    CComboBox combo;
};

TEST_F(ComboBoxTest, ItemsAndErrorValues) {
    EXPECT_EQ(5, combo.GetCount());
    EXPECT_EQ(CB_ERR, combo.GetCurSel());
    EXPECT_EQ(CB_ERR, static_cast<int>(combo.GetItemData(-1)));
    EXPECT_EQ(CB_ERR, static_cast<int>(combo.GetItemData(5)));
    EXPECT_EQ(5, combo.AddString("Yellow")); // the new item's index
    EXPECT_EQ(1, combo.InsertString(1, "Black"));
    EXPECT_EQ(7, combo.InsertString(-1, "White"));
    EXPECT_EQ(CB_ERR, combo.InsertString(20, "Nowhere"));
    combo.SetItemData(2, 42);
    EXPECT_EQ(42u, combo.GetItemData(2));
    CString text;
    combo.GetLBText(2, text);
    EXPECT_STREQ("Green", text);
    EXPECT_EQ(CB_ERR, combo.GetLBTextLen(99));

    EXPECT_EQ(3, combo.SetCurSel(3));
    EXPECT_EQ(3, combo.GetCurSel());
    combo.GetWindowText(text);
    EXPECT_STREQ("Blue", text);
    // An index outside the list selects nothing and answers CB_ERR.
    EXPECT_EQ(CB_ERR, combo.SetCurSel(8));
    EXPECT_EQ(CB_ERR, combo.GetCurSel());
    combo.GetWindowText(text);
    EXPECT_STREQ("", text);
    EXPECT_EQ(CB_ERR, combo.SetCurSel(-1));

    // Exact search: whole text, no case, from after the start, going round.
    EXPECT_EQ(4, combo.FindStringExact(-1, "CYAN"));
    EXPECT_EQ(4, combo.FindStringExact(6, "cyan"));
    EXPECT_EQ(CB_ERR, combo.FindStringExact(-1, "Cy"));
    EXPECT_EQ(4, combo.FindString(-1, "cy"));
    EXPECT_EQ(5, combo.SelectString(-1, "mag"));
    EXPECT_EQ(5, combo.GetCurSel());

    EXPECT_EQ(7, combo.DeleteString(0)); // what remains
    EXPECT_EQ(4, combo.GetCurSel());     // the selection moved with its item
    combo.ResetContent();
    EXPECT_EQ(0, combo.GetCount());
    EXPECT_EQ(CB_ERR, combo.GetCurSel());

    // A sorted combo box puts each item in its place.
    CComboBox sorted;
    ASSERT_TRUE(sorted.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_SORT,
                              CRect(10, 200, 160, 300), &host, 22));
    sorted.AddString("pear");
    sorted.AddString("Apple");
    EXPECT_EQ(1, sorted.AddString("fig"));
}

TEST_F(ComboBoxTest, TheFieldKeepsItsHeightTheRestIsTheDroppedList) {
    CRect rc;
    combo.GetWindowRect(&rc);
    EXPECT_LT(rc.Height(), 30);
    EXPECT_GT(rc.Height(), 14);
    combo.GetDroppedControlRect(&rc);
    EXPECT_EQ(140, rc.Height());
}

TEST_F(ComboBoxTest, ChoosingWithTheMouse) {
    Robot robot;
    robot.Click(&combo, CPoint(20, 8));
    EXPECT_TRUE(combo.GetDroppedState());
    EXPECT_EQ(std::vector<std::string>({"CBN_DROPDOWN"}), Notes());
    host.Clear();
    robot.ClickScreen(ItemPoint(2));
    EXPECT_FALSE(combo.GetDroppedState());
    EXPECT_EQ(2, combo.GetCurSel());
    EXPECT_EQ(std::vector<std::string>({"CBN_SELENDOK", "CBN_CLOSEUP", "CBN_SELCHANGE"}), Notes());

    // Press on the field, drag into the list, release on an item.
    host.Clear();
    robot.Wait(1000);
    robot.Press(&combo, CPoint(20, 8));
    robot.MoveScreen(ItemPoint(3));
    robot.ReleaseScreen(ItemPoint(4));
    EXPECT_EQ(4, combo.GetCurSel());
    EXPECT_EQ(
        std::vector<std::string>({"CBN_DROPDOWN", "CBN_SELENDOK", "CBN_CLOSEUP", "CBN_SELCHANGE"}),
        Notes());
}

TEST_F(ComboBoxTest, ClickingElsewhereOrEscapeCancels) {
    combo.SetCurSel(1);
    Robot robot;
    robot.Click(&combo, CPoint(20, 8));
    host.Clear();
    robot.MoveScreen(ItemPoint(3)); // hovering moves the highlight only
    EXPECT_EQ(3, combo.GetCurSel());
    robot.Click(&host, CPoint(250, 250));
    EXPECT_FALSE(combo.GetDroppedState());
    EXPECT_EQ(1, combo.GetCurSel());
    EXPECT_EQ(std::vector<std::string>({"CBN_SELENDCANCEL", "CBN_CLOSEUP"}), Notes());

    host.Clear();
    robot.Wait(1000);
    robot.Click(&combo, CPoint(20, 8));
    robot.Key(VK_ESCAPE);
    EXPECT_FALSE(combo.GetDroppedState());
    EXPECT_EQ(1, combo.GetCurSel());
    EXPECT_EQ(std::vector<std::string>({"CBN_DROPDOWN", "CBN_SELENDCANCEL", "CBN_CLOSEUP"}),
              Notes());
}

TEST_F(ComboBoxTest, ChoosingWithTheKeyboard) {
    combo.SetFocus();
    host.Clear();
    Robot robot;
    // Closed: arrows change the selection at once, each a choice.
    robot.Key(VK_DOWN);
    EXPECT_EQ(0, combo.GetCurSel());
    robot.Key(VK_DOWN);
    EXPECT_EQ(1, combo.GetCurSel());
    EXPECT_EQ(std::vector<std::string>(
                  {"CBN_SELENDOK", "CBN_SELCHANGE", "CBN_SELENDOK", "CBN_SELCHANGE"}),
              Notes());
    robot.Key(VK_UP);
    robot.Key(VK_UP); // already at the top: nothing
    EXPECT_EQ(0, combo.GetCurSel());
    EXPECT_EQ(6, static_cast<int>(Notes().size()));
    // A typed letter goes to the next item that starts with it.
    robot.Type("c");
    EXPECT_EQ(3, combo.GetCurSel());

    // Alt+Down drops the list; arrows move in it; Enter chooses.
    host.Clear();
    robot.Key(VK_DOWN, Robot::Alt);
    EXPECT_TRUE(combo.GetDroppedState());
    robot.Key(VK_DOWN);
    EXPECT_EQ(4, combo.GetCurSel());
    robot.Key(VK_RETURN);
    EXPECT_FALSE(combo.GetDroppedState());
    EXPECT_EQ(4, combo.GetCurSel());
    EXPECT_EQ(
        std::vector<std::string>({"CBN_DROPDOWN", "CBN_SELCHANGE", "CBN_SELENDOK", "CBN_CLOSEUP"}),
        Notes());
    // Escape after moving puts the selection back.
    host.Clear();
    robot.Key(VK_F4);
    robot.Key(VK_UP);
    robot.Key(VK_UP);
    EXPECT_EQ(2, combo.GetCurSel());
    robot.Key(VK_ESCAPE);
    EXPECT_EQ(4, combo.GetCurSel());
    EXPECT_EQ("CBN_SELENDCANCEL", Notes()[3]);
    EXPECT_EQ("CBN_SELCHANGE", Notes().back()); // back where the parent was told before
}

TEST_F(ComboBoxTest, EnterInADroppedListInADialogChoosesWithoutClosingTheDialog) {
    KelDialogTemplate tmpl("Pick", DS_MODALFRAME | WS_POPUP | WS_CAPTION, 0, 0, 120, 60,
                           {KelDialogItem::ComboBox(30, 5, 5, 80, 60, CBS_DROPDOWNLIST),
                            KelDialogItem::DefPushButton("OK", IDOK, 5, 40, 40, 14)});
    CDialog dlg;
    ASSERT_TRUE(dlg.InitModalIndirect(&tmpl, &host));
    int selected = -2;
    bool stillOpen = false;
    KelQueueModalAction([&](CWnd*) {
        // Temporary objects go at idle time: the handle is kept, not the object.
        HWND hCombo = dlg.GetDlgItem(30)->GetSafeHwnd();
        ::SendMessage(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("one"));
        ::SendMessage(hCombo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("two"));
        Robot robot;
        robot.Key(VK_DOWN, Robot::Alt);
        robot.Key(VK_DOWN);
        robot.Key(VK_DOWN);
        robot.Key(VK_RETURN);
        stillOpen = dlg.IsWindowVisible() != FALSE;
        selected = static_cast<int>(::SendMessage(hCombo, CB_GETCURSEL, 0, 0));
        robot.Key(VK_RETURN); // closed now: the dialog's default button
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(1, selected);
}

// Notes of one control of the host, without the focus ones.
std::vector<std::string> NotesOf(const CHostWnd& host, int id) {
    const std::string prefix = "cmd " + std::to_string(id) + " ";
    std::vector<std::string> out;
    for (const std::string& s : host.log) {
        if (s.rfind(prefix, 0) == 0 && s.find("FOCUS") == std::string::npos)
            out.push_back(s.substr(prefix.size()));
    }
    return out;
}

CString TextOf(CWnd& wnd) {
    CString text;
    wnd.GetWindowText(text);
    return text;
}

TEST_F(ComboBoxTest, ADropDownComboKeepsWhatIsTypedUntilAnItemIsChosen) {
    CComboBox dd;
    ASSERT_TRUE(dd.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWN | CBS_AUTOHSCROLL,
                          CRect(10, 200, 160, 330), &host, 23));
    for (LPCTSTR s : {"Red", "Green", "Blue", "Cyan", "Magenta"})
        dd.AddString(s);
    const HWND edit = ::GetDlgItem(dd.GetSafeHwnd(), 1001);
    ASSERT_NE(nullptr, edit);
    Robot robot;
    robot.Click(&dd, CPoint(20, 8));
    EXPECT_EQ(edit, ::GetFocus());
    EXPECT_FALSE(dd.GetDroppedState()); // a click on the text edits it
    host.Clear();
    robot.Type("gr");
    EXPECT_STREQ("gr", TextOf(dd));
    EXPECT_EQ(2, dd.GetWindowTextLength());
    EXPECT_EQ(CB_ERR, dd.GetCurSel()); // typed text is no item
    EXPECT_EQ(std::vector<std::string>(
                  {"CBN_EDITUPDATE", "CBN_EDITCHANGE", "CBN_EDITUPDATE", "CBN_EDITCHANGE"}),
              NotesOf(host, 23));

    // The list opens on the item the text begins; moving in it shows the item in the edit,
    // and cancelling puts the typed text back.
    robot.Key(VK_F4);
    EXPECT_TRUE(dd.GetDroppedState());
    EXPECT_EQ(1, dd.GetCurSel());
    EXPECT_STREQ("gr", TextOf(dd));
    robot.Key(VK_DOWN);
    EXPECT_STREQ("Blue", TextOf(dd));
    robot.Key(VK_ESCAPE);
    EXPECT_FALSE(dd.GetDroppedState());
    EXPECT_STREQ("gr", TextOf(dd));
    EXPECT_EQ(CB_ERR, dd.GetCurSel());

    // Enter takes the item and its text.
    host.Clear();
    robot.Key(VK_DOWN, Robot::Alt);
    robot.Key(VK_RETURN);
    EXPECT_STREQ("Green", TextOf(dd));
    EXPECT_EQ(1, dd.GetCurSel());
    EXPECT_EQ(
        std::vector<std::string>({"CBN_DROPDOWN", "CBN_SELENDOK", "CBN_CLOSEUP", "CBN_SELCHANGE"}),
        NotesOf(host, 23));
    // Closed, the arrows step through the items, the edit following.
    robot.Key(VK_DOWN);
    EXPECT_STREQ("Blue", TextOf(dd));
    EXPECT_EQ(2, dd.GetCurSel());

    // Clicking the button drops the list; an item clicked becomes the text.
    CRect rc;
    dd.GetClientRect(&rc);
    robot.Click(&dd, CPoint(rc.right - 6, rc.Height() / 2));
    EXPECT_TRUE(dd.GetDroppedState());
    dd.GetWindowRect(&rc);
    const int h = dd.GetItemHeight(0);
    robot.ClickScreen(CPoint(rc.left + 20, rc.bottom + 1 + 4 * h + h / 2));
    EXPECT_STREQ("Magenta", TextOf(dd));
    EXPECT_EQ(edit, ::GetFocus());

    // Text set from outside: any text, selecting the item it names.
    dd.SetWindowText("Cyan");
    EXPECT_EQ(3, dd.GetCurSel());
    dd.SetWindowText("Orange");
    EXPECT_EQ(CB_ERR, dd.GetCurSel());
    EXPECT_STREQ("Orange", TextOf(dd));
    dd.SetCurSel(0);
    EXPECT_STREQ("Red", TextOf(dd));

    // The edit's selection and limit.
    EXPECT_TRUE(dd.SetEditSel(1, 2));
    EXPECT_EQ(MAKELONG(1, 2), static_cast<LONG>(dd.GetEditSel()));
    EXPECT_TRUE(dd.LimitText(4));
    dd.SetWindowText("");
    robot.Type("abcdef");
    EXPECT_STREQ("abcd", TextOf(dd));
    // A drop-down list has no edit to ask about.
    EXPECT_EQ(CB_ERR, combo.GetEditSel());
    EXPECT_EQ(CB_ERR, static_cast<int>(combo.LimitText(3)));
}

TEST_F(ComboBoxTest, ASimpleComboShowsItsListUnderTheEdit) {
    CComboBox simple;
    ASSERT_TRUE(simple.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_SIMPLE,
                              CRect(180, 10, 290, 150), &host, 24));
    for (LPCTSTR s : {"Red", "Green", "Blue", "Cyan", "Magenta"})
        simple.AddString(s);
    CRect rc;
    simple.GetWindowRect(&rc);
    EXPECT_EQ(140, rc.Height()); // no field height forced on it
    const HWND list = ::GetDlgItem(simple.GetSafeHwnd(), 1000);
    ASSERT_NE(nullptr, list);
    EXPECT_TRUE(::IsWindowVisible(list));
    simple.ShowDropDown(TRUE);
    EXPECT_FALSE(simple.GetDroppedState());

    // A click in the list chooses at once.
    host.Clear();
    Robot robot;
    const int h = simple.GetItemHeight(0);
    robot.Click(list, CPoint(20, 2 * h + h / 2));
    EXPECT_EQ(2, simple.GetCurSel());
    EXPECT_STREQ("Blue", TextOf(simple));
    EXPECT_EQ(std::vector<std::string>({"CBN_SELENDOK", "CBN_SELCHANGE"}), NotesOf(host, 24));
    EXPECT_EQ(::GetDlgItem(simple.GetSafeHwnd(), 1001), ::GetFocus());

    // Arrows in the edit move through the list; typing selects the item the text begins.
    robot.Key(VK_DOWN);
    EXPECT_STREQ("Cyan", TextOf(simple));
    robot.Type("ma");
    EXPECT_STREQ("ma", TextOf(simple));
    EXPECT_EQ(4, simple.GetCurSel());
    robot.DoubleClick(CWnd::FromHandle(list), CPoint(20, h / 2));
    EXPECT_EQ("CBN_DBLCLK", NotesOf(host, 24).back());
    EXPECT_STREQ("Red", TextOf(simple));

    CComboBox dd;
    ASSERT_TRUE(
        dd.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, CRect(10, 200, 160, 330), &host, 23));
    dd.AddString("Typed text");
    dd.SetCurSel(0);
    combo.SetCurSel(1);
    KelRunUntilIdle();
    SavePicture(&host, "combo-boxes");
}

TEST_F(ComboBoxTest, AnEditableComboInADialogTabsLikeOneControlAndPassesEnterOn) {
    KelDialogTemplate tmpl("Pick", DS_MODALFRAME | WS_POPUP | WS_CAPTION, 0, 0, 140, 70,
                           {KelDialogItem::ComboBox(30, 5, 5, 80, 60, CBS_DROPDOWN),
                            KelDialogItem::EditText(31, 5, 22, 80, 12),
                            KelDialogItem::DefPushButton("OK", IDOK, 5, 45, 40, 14)});
    CDialog dlg;
    ASSERT_TRUE(dlg.InitModalIndirect(&tmpl, &host));
    CString typed;
    KelQueueModalAction([&](CWnd*) {
        HWND hCombo = dlg.GetDlgItem(30)->GetSafeHwnd();
        HWND hComboEdit = ::GetDlgItem(hCombo, 1001);
        HWND hEdit = dlg.GetDlgItem(31)->GetSafeHwnd();
        EXPECT_EQ(hComboEdit, ::GetFocus()); // the first tab stop
        Robot robot;
        robot.Type("Lime");
        robot.Key(VK_TAB);
        EXPECT_EQ(hEdit, ::GetFocus());
        robot.Key(VK_TAB, Robot::Shift);
        EXPECT_EQ(hComboEdit, ::GetFocus());
        CDataExchange dx(&dlg, TRUE);
        DDX_CBString(&dx, 30, typed);
        robot.Key(VK_RETURN); // no list dropped: the default button
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_STREQ("Lime", typed);
}

} // namespace
