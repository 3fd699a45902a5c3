// The edits: colours of their own; the in-place editor telling its parent once how an edit
// ended, whichever way it ends, and going away by itself.
#include "CompanionTest.h"

namespace {

class EditTest : public CompanionTest {
protected:
    void SetUp() override {
        CompanionTest::SetUp();
        ASSERT_TRUE(host.CreateHost(CRect(0, 0, 300, 200)));
        ASSERT_TRUE(other.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP,
                                 CRect(10, 100, 150, 124), &host, 5));
    }
    // A new editor over a cell, as the grid makes one; its window handle.
    HWND StartEdit(LPCTSTR text, bool focus = true, CWnd* pParent = nullptr) {
        auto* editor = new CKillEdit;
        if (!editor->Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, CRect(10, 10, 150, 28),
                            pParent ? pParent : &host, 0))
            return nullptr; // a failed Create has deleted the object
        editor->SetWindowText(text);
        if (focus)
            editor->SetFocus();
        KelRunUntilIdle();
        return editor->GetSafeHwnd();
    }

    CHostWnd host;
    CEdit other;
    Robot robot;
};

TEST_F(EditTest, ExEditDrawsInItsOwnColours) {
    CExEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 150, 30), &host, 7));
    edit.SetWindowText("WWW");
    EXPECT_EQ(::GetSysColor(COLOR_WINDOW), Pixel(&edit, 130, 10));
    edit.SetBkColor(RGB(255, 255, 192));
    edit.SetTextColor(RGB(0, 0, 255));
    EXPECT_EQ(RGB(255, 255, 192), Pixel(&edit, 130, 10));
    bool blue = false;
    for (int x = 0; x < 40 && !blue; ++x)
        for (int y = 0; y < 20 && !blue; ++y)
            blue = Pixel(&edit, x, y) == RGB(0, 0, 255);
    EXPECT_TRUE(blue);
    edit.SetBkColor(CLR_DEFAULT);
    edit.SetTextColor(CLR_DEFAULT);
    EXPECT_EQ(::GetSysColor(COLOR_WINDOW), Pixel(&edit, 130, 10));
}

TEST_F(EditTest, EnterAcceptsAndEscapeCancelsOnce) {
    HWND h = StartEdit("abc");
    ASSERT_NE(nullptr, h);
    robot.Key(VK_END);
    robot.Type("de");
    robot.Key(VK_RETURN);
    EXPECT_EQ(std::vector<std::string>{"accept"}, host.Ends());
    EXPECT_EQ(std::vector<std::string>{"abcde"}, host.editTexts);
    EXPECT_FALSE(::IsWindow(h));

    host.log.clear();
    h = StartEdit("abc");
    robot.Key(VK_ESCAPE);
    EXPECT_EQ(std::vector<std::string>{"cancel"}, host.Ends());
    EXPECT_FALSE(::IsWindow(h));
    // Nothing more arrives later: the focus that left with the window ended nothing again.
    KelRunUntilIdle();
    EXPECT_EQ(1u, host.Ends().size());
}

TEST_F(EditTest, FocusLeavingAcceptsOnce) {
    HWND h = StartEdit("abc");
    robot.Click(&other, CPoint(5, 5));
    EXPECT_EQ(std::vector<std::string>{"accept"}, host.Ends());
    EXPECT_FALSE(::IsWindow(h));
    EXPECT_EQ(&other, CWnd::GetFocus());

    // A parent that destroys the editor itself in its handler is fine too.
    host.log.clear();
    host.destroyEditor = true;
    h = StartEdit("xyz");
    robot.Key(VK_RETURN);
    EXPECT_EQ(std::vector<std::string>{"accept"}, host.Ends());
    EXPECT_FALSE(::IsWindow(h));
}

TEST_F(EditTest, ParentGoingAwayEndsTheEditOnce) {
    // With the focus in the editor, closing the parent accepts (the focus leaves first).
    HWND h = StartEdit("abc");
    host.DestroyWindow();
    EXPECT_EQ(std::vector<std::string>{"accept"}, host.Ends());
    EXPECT_EQ(std::vector<std::string>{"abc"}, host.editTexts);
    EXPECT_FALSE(::IsWindow(h));

    // Without the focus (an editor a derived grid kept hidden), the parent's end cancels.
    host.log.clear();
    ASSERT_TRUE(host.CreateHost(CRect(0, 0, 300, 200)));
    h = StartEdit("abc", false);
    host.DestroyWindow();
    EXPECT_EQ(std::vector<std::string>{"cancel"}, host.Ends());
    EXPECT_FALSE(::IsWindow(h));
}

TEST_F(EditTest, DeletingAnEditorThatHasNotEndedCancels) {
    auto* editor = new CKillEdit;
    ASSERT_TRUE(editor->Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 150, 28), &host, 0));
    HWND h = editor->GetSafeHwnd();
    delete editor;
    EXPECT_FALSE(::IsWindow(h));
    EXPECT_EQ(std::vector<std::string>{"cancel"}, host.Ends());
}

// Inside a dialog, Enter ends the edit and leaves the dialog open.
class CEditHostDialog : public CDialog {
public:
    CEditHostDialog() : CDialog(IDD_HOST) {}
    static constexpr UINT IDD_HOST = 310;
    std::vector<std::string> log;

protected:
    LRESULT OnAccept(WPARAM, LPARAM) {
        log.push_back("accept");
        return 0;
    }
    LRESULT OnCancelEdit(WPARAM, LPARAM) {
        log.push_back("cancel");
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CEditHostDialog, CDialog)
ON_MESSAGE(WM_KILLEDIT_ACCEPT, OnAccept)
ON_MESSAGE(WM_KILLEDIT_CANCEL, OnCancelEdit)
END_MESSAGE_MAP()

TEST_F(EditTest, EnterAndEscapeInADialogEndTheEditNotTheDialog) {
    AfxSetResource(
        hModule, RT_DIALOG, MAKEINTRESOURCE(CEditHostDialog::IDD_HOST),
        KelDialogTemplate("Host", DS_MODALFRAME | WS_POPUP | WS_CAPTION, 0, 0, 160, 80,
                          {KelDialogItem::DefPushButton("OK", IDOK, 50, 50, 50, 14),
                           KelDialogItem::PushButton("Cancel", IDCANCEL, 105, 50, 50, 14)}));
    CEditHostDialog dlg;
    bool stillUp = false;
    KelQueueModalAction([&](CWnd* pDlg) {
        StartEdit("abc", true, pDlg);
        robot.Key(VK_RETURN);
        StartEdit("abc", true, pDlg);
        robot.Key(VK_ESCAPE);
        stillUp = ::IsWindow(pDlg->GetSafeHwnd()) != FALSE;
        static_cast<CDialog*>(pDlg)->EndDialog(7);
    });
    EXPECT_EQ(7, dlg.DoModal());
    EXPECT_TRUE(stillUp);
    EXPECT_EQ((std::vector<std::string>{"accept", "cancel"}), dlg.log);
}

} // namespace
