// The date edit on an existing edit: typing rules, today's date, completion when the focus
// leaves, and a plain edit again after unsubclassing, the text kept all along.
#include "CompanionTest.h"

namespace {

constexpr int IDC_DATE = 9431;

class DateEditTest : public CompanionTest {
protected:
    void SetUp() override {
        CompanionTest::SetUp();
        ASSERT_TRUE(host.CreateHost(CRect(0, 0, 300, 200)));
        // An edit made as a dialog makes its items: no object of its own.
        KelRegisterControlClasses();
        HWND h = ::CreateWindowEx(
            0, "Edit", "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 10, 10,
            140, 24, host.GetSafeHwnd(), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(IDC_DATE)),
            AfxGetInstanceHandle(), nullptr);
        ASSERT_NE(nullptr, h);
        ASSERT_TRUE(other.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP,
                                 CRect(10, 100, 150, 124), &host, 5));
    }
    CString Text() {
        CString text;
        host.GetDlgItemText(IDC_DATE, text);
        return text;
    }
    // Puts text in the field, then types keys into it with the whole text selected.
    void TypeOver(LPCTSTR text) {
        date.SetFocus();
        date.SetSel(0, -1);
        robot.Type(text);
    }
    void LeaveField() { robot.Click(&other, CPoint(5, 5)); }

    CHostWnd host;
    CEdit other;
    CDateEdit date;
    Robot robot;
};

TEST_F(DateEditTest, SubclassingAndUnsubclassingKeepTheText) {
    host.SetDlgItemText(IDC_DATE, "3/4/2024");
    ASSERT_TRUE(date.SubclassDlgItem(IDC_DATE, &host));
    EXPECT_EQ(CString("3/4/2024"), Text());
    COleDateTime value;
    ASSERT_TRUE(date.GetDate(value));
    EXPECT_EQ(3, value.GetMonth());

    TypeOver("12/31/2025");
    HWND h = date.UnsubclassWindow();
    ASSERT_NE(nullptr, h);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(h));
    EXPECT_EQ(CString("12/31/2025"), Text());
    // A plain edit again: any text goes in.
    ::SetFocus(h);
    ::SendMessage(h, EM_SETSEL, 0, -1);
    robot.Type("soon");
    EXPECT_EQ(CString("soon"), Text());

    // And it can be made a date field again, as the search bar does when a date column returns.
    ASSERT_TRUE(date.SubclassWindow(h));
    TypeOver("x1/2/2024");
    EXPECT_EQ(CString("1/2/2024"), Text());
}

TEST_F(DateEditTest, TypingTakesOnlyWhatCanBecomeADate) {
    ASSERT_TRUE(date.SubclassDlgItem(IDC_DATE, &host));
    KelClearBeeps();
    TypeOver("1a/b5/2024 ");
    EXPECT_EQ(CString("1/5/2024"), Text());
    EXPECT_EQ(3u, KelGetBeeps().size());
    TypeOver("12//3");
    EXPECT_EQ(CString("12/3"), Text());
    TypeOver("/12345");
    EXPECT_EQ(CString("1234"), Text());
    TypeOver("1/2/3/4");
    EXPECT_EQ(CString("1/2/34"), Text());
    TypeOver("2024-01-15");
    EXPECT_EQ(CString("2024-01-15"), Text());
    TypeOver("1.15.2024.");
    EXPECT_EQ(CString("1.15.2024"), Text());

    EXPECT_TRUE(CDateEdit::IsPartialDate(""));
    EXPECT_FALSE(CDateEdit::IsPartialDate("12/31/20245"));
    COleDateTime d;
    EXPECT_FALSE(CDateEdit::ParseDate("12/31", d));
    EXPECT_FALSE(CDateEdit::ParseDate("2/30/2024", d));
    EXPECT_TRUE(CDateEdit::ParseDate("2/29/2024", d));
}

TEST_F(DateEditTest, LeavingTheFieldCompletesADate) {
    ASSERT_TRUE(date.SubclassDlgItem(IDC_DATE, &host));
    TypeOver("1/5/24");
    LeaveField();
    EXPECT_EQ(CString("01/05/2024"), Text());
    EXPECT_FALSE(date.IsInvalid());

    TypeOver("2024-3-7");
    LeaveField();
    EXPECT_EQ(CString("03/07/2024"), Text());

    // Not finished: left for the user. Not a date: kept and shown in red until changed.
    TypeOver("1/5");
    LeaveField();
    EXPECT_EQ(CString("1/5"), Text());
    EXPECT_FALSE(date.IsInvalid());
    TypeOver("2/30/2024");
    LeaveField();
    EXPECT_EQ(CString("2/30/2024"), Text());
    EXPECT_TRUE(date.IsInvalid());
    bool red = false;
    for (int x = 0; x < 60 && !red; ++x)
        for (int y = 0; y < 20 && !red; ++y)
            red = GetRValue(Pixel(&date, x, y)) > 120 && GetGValue(Pixel(&date, x, y)) < 60;
    EXPECT_TRUE(red);
    date.SetFocus();
    robot.Key(VK_END);
    robot.Key(VK_BACK);
    EXPECT_FALSE(date.IsInvalid());
}

TEST_F(DateEditTest, SpaceGivesTodayAndArrowsMoveByADay) {
    ASSERT_TRUE(date.SubclassDlgItem(IDC_DATE, &host));
    date.SetFocus();
    robot.Type(" ");
    const COleDateTime today = COleDateTime::GetCurrentTime();
    EXPECT_EQ(today.Format("%m/%d/%Y"), Text());
    // Over text that is not all selected, the space is refused.
    date.SetSel(0, 1);
    KelClearBeeps();
    robot.Type(" ");
    EXPECT_EQ(1u, KelGetBeeps().size());
    EXPECT_EQ(today.Format("%m/%d/%Y"), Text());

    TypeOver("12/31/2024");
    robot.Key(VK_UP);
    EXPECT_EQ(CString("01/01/2025"), Text());
    robot.Key(VK_DOWN);
    robot.Key(VK_DOWN);
    EXPECT_EQ(CString("12/30/2024"), Text());
    // An incomplete date does not move.
    TypeOver("12/3");
    robot.Key(VK_UP);
    EXPECT_EQ(CString("12/3"), Text());
}

TEST_F(DateEditTest, PastedTextIsCheckedLikeTypedText) {
    ASSERT_TRUE(date.SubclassDlgItem(IDC_DATE, &host));
    date.SetFocus();
    KelSetClipboardText("January 5, 2024");
    date.SetSel(0, -1);
    robot.Key('V', Robot::Ctrl);
    EXPECT_EQ(CString("01/05/2024"), Text());
    KelSetClipboardText("  7/4/1999 ");
    date.SetSel(0, -1);
    date.Paste();
    EXPECT_EQ(CString("7/4/1999"), Text());
    KelSetClipboardText("tomorrow");
    KelClearBeeps();
    date.SetSel(0, -1);
    date.Paste();
    EXPECT_EQ(CString("7/4/1999"), Text());
    EXPECT_EQ(1u, KelGetBeeps().size());
}

} // namespace
