// The single-line edit: typing, caret and selection by keyboard and mouse, the clipboard,
// the text limit, alignment and automatic scrolling, and its notifications.
#include "ControlTest.h"

namespace {

class EditTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        KelEmptyClipboard();
        ASSERT_TRUE(host.CreateHost(CRect(100, 100, 400, 300)));
        ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL,
                                CRect(10, 10, 160, 32), &host, 11));
        ASSERT_TRUE(other.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP,
                                 CRect(10, 40, 160, 62), &host, 12));
        KelRunUntilIdle();
        host.Clear();
    }
    CString Text(CEdit& e) {
        CString s;
        e.GetWindowText(s);
        return s;
    }
    std::pair<int, int> Sel(CEdit& e) {
        int a = -9, b = -9;
        e.GetSel(a, b);
        return {a, b};
    }
    // The client x of the caret: where a character index is drawn.
    int X(CEdit& e, int index) { return e.PosFromChar(static_cast<UINT>(index)).x; }

    CHostWnd host;
    CEdit edit, other;
};

TEST_F(EditTest, TypingEditingKeysAndNotifications) {
    Robot robot;
    robot.Click(&edit, CPoint(5, 5));
    EXPECT_EQ(&edit, CWnd::GetFocus());
    EXPECT_EQ("cmd 11 EN_SETFOCUS", host.log.front());
    host.Clear();
    robot.Type("hello");
    EXPECT_STREQ("hello", Text(edit));
    // Each change: EN_UPDATE then EN_CHANGE.
    EXPECT_EQ(5, host.Count("cmd 11 EN_CHANGE"));
    EXPECT_EQ("cmd 11 EN_UPDATE", host.log[0]);
    EXPECT_EQ("cmd 11 EN_CHANGE", host.log[1]);
    EXPECT_EQ(std::make_pair(5, 5), Sel(edit));
    robot.Key(VK_HOME);
    robot.Key(VK_DELETE);
    robot.Key(VK_END);
    robot.Key(VK_BACK);
    EXPECT_STREQ("ell", Text(edit));
    robot.Key(VK_LEFT);
    robot.Type("X");
    EXPECT_STREQ("elXl", Text(edit));
    EXPECT_TRUE(edit.GetModify());
    // Undo takes the last change back; undo again redoes it.
    robot.Key('Z', Robot::Ctrl);
    EXPECT_STREQ("ell", Text(edit));
    robot.Key('Z', Robot::Ctrl);
    EXPECT_STREQ("elXl", Text(edit));
    // Tab is the parent's: the edit keeps no tab character. Leaving tells the parent.
    host.Clear();
    robot.Click(&other, CPoint(5, 5));
    EXPECT_EQ(1, host.Count("cmd 11 EN_KILLFOCUS"));
    EXPECT_STREQ("elXl", Text(edit));
}

TEST_F(EditTest, SelectionByKeyboardMessagesAndMouse) {
    edit.SetWindowText("one two three");
    EXPECT_EQ(std::make_pair(0, 0), Sel(edit));
    Robot robot;
    robot.Click(&edit, CPoint(2, 5));
    EXPECT_EQ(std::make_pair(0, 0), Sel(edit));
    robot.Key(VK_RIGHT, Robot::Shift);
    robot.Key(VK_RIGHT, Robot::Shift);
    EXPECT_EQ(std::make_pair(0, 2), Sel(edit));
    robot.Key(VK_RIGHT, Robot::Shift | Robot::Ctrl);
    EXPECT_EQ(std::make_pair(0, 4), Sel(edit));
    robot.Key(VK_END, Robot::Shift);
    EXPECT_EQ(std::make_pair(0, 13), Sel(edit));
    robot.Type("Z"); // typing replaces the selection
    EXPECT_STREQ("Z", Text(edit));

    edit.SetWindowText("one two three");
    edit.SetSel(0, -1);
    EXPECT_EQ(std::make_pair(0, 13), Sel(edit));
    EXPECT_EQ(MAKELONG(0, 13), static_cast<LONG>(edit.GetSel()));
    edit.SetSel(-1, 0); // start -1: no selection, the caret stays
    int a = 0, b = 0;
    edit.GetSel(a, b);
    EXPECT_EQ(a, b);
    edit.SetSel(4, 99); // past the end: to the end
    EXPECT_EQ(std::make_pair(4, 13), Sel(edit));

    // The mouse: a press at a character, a drag, Shift with a click, a double click.
    robot.Wait(1000);
    const int x4 = X(edit, 4), x7 = X(edit, 7);
    robot.Drag(&edit, CPoint(x4, 8), CPoint(x7, 8), 3);
    EXPECT_EQ(std::make_pair(4, 7), Sel(edit));
    robot.Wait(1000);
    robot.Click(&edit, CPoint(X(edit, 8), 8));
    robot.Wait(1000);
    robot.Click(&edit, CPoint(X(edit, 11), 8), Robot::Shift);
    EXPECT_EQ(std::make_pair(8, 11), Sel(edit));
    robot.Wait(1000);
    robot.DoubleClick(&edit, CPoint(X(edit, 5), 8));
    EXPECT_EQ(std::make_pair(4, 7), Sel(edit));
}

TEST_F(EditTest, PostedClickPlacesTheCaretAfterTheFocus) {
    // What an editor laid over a cell receives: the focus, then a posted press and release.
    edit.SetWindowText("abcdef");
    edit.SetFocus();
    const CPoint at(X(edit, 3), 8);
    edit.PostMessage(WM_LBUTTONDOWN, 0, MAKELPARAM(at.x, at.y));
    edit.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    KelRunUntilIdle();
    EXPECT_EQ(std::make_pair(3, 3), Sel(edit));
    EXPECT_EQ(nullptr, CWnd::GetCapture());
}

TEST_F(EditTest, ClipboardWithinTheProcess) {
    edit.SetWindowText("copy me");
    edit.SetFocus();
    edit.SetSel(0, 4);
    Robot robot;
    robot.Key('C', Robot::Ctrl);
    EXPECT_STREQ("copy", KelGetClipboardText());
    robot.Key(VK_END);
    robot.Key('V', Robot::Ctrl);
    EXPECT_STREQ("copy mecopy", Text(edit));
    edit.SetSel(0, 5);
    robot.Key('X', Robot::Ctrl);
    EXPECT_STREQ("mecopy", Text(edit));
    EXPECT_STREQ("copy ", KelGetClipboardText());
    // Pasted lines stop at the first line break in a single-line edit.
    KelSetClipboardText("one\r\ntwo");
    other.SetFocus();
    robot.Key(VK_INSERT, Robot::Shift);
    EXPECT_STREQ("one", Text(other));
    // Read-only: copying works, cutting and typing do nothing.
    edit.SetReadOnly(TRUE);
    edit.SetFocus();
    edit.SetSel(0, 2);
    robot.Key('X', Robot::Ctrl);
    robot.Type("q");
    EXPECT_STREQ("mecopy", Text(edit));
    EXPECT_STREQ("one\r\ntwo", KelGetClipboardText());
    robot.Key('C', Robot::Ctrl);
    EXPECT_STREQ("me", KelGetClipboardText());
}

TEST_F(EditTest, LimitRefusesWhatDoesNotFit) {
    edit.LimitText(4);
    EXPECT_EQ(4u, edit.GetLimitText());
    edit.SetFocus();
    Robot robot;
    robot.Type("abcdef");
    EXPECT_STREQ("abcd", Text(edit));
    EXPECT_EQ(2, host.Count("cmd 11 EN_MAXTEXT"));
    // A paste is cut to what fits.
    edit.SetSel(3, 4);
    KelSetClipboardText("XYZ");
    robot.Key('V', Robot::Ctrl);
    EXPECT_STREQ("abcX", Text(edit));
    // WM_SETTEXT is not limited.
    edit.SetWindowText("longer text");
    EXPECT_STREQ("longer text", Text(edit));
}

TEST_F(EditTest, AlignmentAndAutomaticScrolling) {
    CEdit right, center, fixed;
    ASSERT_TRUE(right.Create(WS_CHILD | WS_VISIBLE | ES_RIGHT | ES_AUTOHSCROLL,
                             CRect(10, 70, 110, 86), &host, 13));
    ASSERT_TRUE(center.Create(WS_CHILD | WS_VISIBLE | ES_CENTER | ES_AUTOHSCROLL,
                              CRect(10, 90, 110, 106), &host, 14));
    ASSERT_TRUE(fixed.Create(WS_CHILD | WS_VISIBLE, CRect(10, 110, 60, 126), &host, 15));
    right.SetWindowText("42");
    center.SetWindowText("42");
    CRect rc;
    right.GetClientRect(&rc);
    const int w = X(right, 2) - X(right, 0);
    EXPECT_GT(w, 0);
    EXPECT_EQ(rc.right - 1, X(right, 2)); // against the right margin
    EXPECT_EQ((rc.Width() - w) / 2, X(center, 0));

    // A long text scrolls to keep the caret in view; the start goes out at the left.
    edit.SetWindowText("the quick brown fox jumps over the lazy dog");
    edit.SetSel(0, -1);
    edit.SendMessage(EM_SCROLLCARET);
    CRect erc;
    edit.GetClientRect(&erc);
    EXPECT_LT(X(edit, 0), 0);
    EXPECT_GE(X(edit, 43), 0);
    EXPECT_LE(X(edit, 43), erc.right);
    EXPECT_GT(edit.GetFirstVisibleLine(), 0); // the first visible character
    edit.SetFocus();
    Robot robot;
    robot.Key(VK_HOME);
    EXPECT_EQ(1, X(edit, 0));

    // Without automatic scrolling, typing stops where the edit is full.
    fixed.SetFocus();
    robot.Type("wwwwwwwwwwwwwwwwwwww");
    CString text;
    fixed.GetWindowText(text);
    EXPECT_GT(text.GetLength(), 2);
    EXPECT_LT(text.GetLength(), 20);
    EXPECT_GE(host.Count("cmd 15 EN_MAXTEXT"), 1);
}

TEST_F(EditTest, FocusedSelectionIsDrawnHighlighted) {
    edit.SetWindowText("WWWW");
    edit.SetFocus();
    edit.SetSel(0, -1);
    KelRunUntilIdle();
    // The share of the selected characters' box painted in the highlight colour.
    auto highlighted = [&] {
        int n = 0, total = 0;
        for (int y = 4; y < 14; ++y) {
            for (int x = X(edit, 0); x < X(edit, 4); ++x, ++total)
                n += KelGetWindowPixel(edit.m_hWnd, CPoint(x, y)) == ::GetSysColor(COLOR_HIGHLIGHT);
        }
        return total > 0 ? n * 100 / total : 0;
    };
    EXPECT_GT(highlighted(), 30);
    other.SetFocus();
    KelRunUntilIdle();
    EXPECT_EQ(0, highlighted()); // hidden without the focus
}

} // namespace
