// Message boxes, beeps and the wait cursor as a test sees them.
#include "TraceWnd.h"

#include "platform/win/MessageBoxWnd.h"

namespace {

using MessageBoxTest = WinTest;

TEST_F(MessageBoxTest, RecordedWithTextTypeAndHelpAndAnsweredByDefaultButton) {
    EXPECT_EQ(IDOK, AfxMessageBox("Could not find file 'x.mdb'.", MB_OK, 0));
    EXPECT_EQ(IDYES, AfxMessageBox("Save?", MB_YESNO));
    EXPECT_EQ(IDNO, AfxMessageBox("Really?", MB_YESNO | MB_DEFBUTTON2, 77));
    EXPECT_EQ(IDCANCEL, ::MessageBox(nullptr, "Stop", nullptr, MB_OKCANCEL | MB_DEFBUTTON2));

    const auto& boxes = KelGetMessageBoxes();
    ASSERT_EQ(4u, boxes.size());
    EXPECT_STREQ("Could not find file 'x.mdb'.", boxes[0].strText);
    // The framework adds an icon by the kind of buttons; the buttons stay as asked.
    EXPECT_EQ(static_cast<UINT>(MB_OK), boxes[0].nType & MB_TYPEMASK);
    EXPECT_EQ(static_cast<UINT>(MB_ICONEXCLAMATION), boxes[0].nType & MB_ICONMASK);
    EXPECT_EQ(static_cast<UINT>(MB_ICONQUESTION), boxes[1].nType & MB_ICONMASK);
    EXPECT_EQ(77u, boxes[2].nHelpID);
    EXPECT_EQ(IDNO, boxes[2].nResult);
    // The application's title captions the framework's boxes; the system's says "Error".
    EXPECT_STREQ(AfxGetApp()->m_pszAppName, boxes[0].strCaption);
    EXPECT_STREQ("Error", boxes[3].strCaption);

    KelClearMessageBoxes();
    EXPECT_TRUE(KelGetMessageBoxes().empty());
}

TEST_F(MessageBoxTest, AnswerSetByTestOrHandler) {
    KelSetMessageBoxAnswer(IDNO);
    EXPECT_EQ(IDNO, AfxMessageBox("Delete?", MB_YESNO));
    EXPECT_EQ(IDNO, AfxMessageBox("Again?", MB_YESNO));

    KelSetMessageBoxHandler([](const KelMessageBoxRecord& box) {
        return box.strText == "Retry?" ? IDRETRY : IDCANCEL;
    });
    EXPECT_EQ(IDRETRY, AfxMessageBox("Retry?", MB_RETRYCANCEL));
    EXPECT_EQ(IDCANCEL, AfxMessageBox("Other", MB_OKCANCEL));
    ASSERT_EQ(4u, KelGetMessageBoxes().size());
    EXPECT_EQ(IDCANCEL, KelGetMessageBoxes()[3].nResult);
}

TEST_F(MessageBoxTest, StringIdTextAndHelpDefaultToTheString) {
    HINSTANCE app = AfxGetInstanceHandle();
    AfxSetStringResource(app, 31001, "Can't perform operation.");
    AfxMessageBox(31001);
    ASSERT_EQ(1u, KelGetMessageBoxes().size());
    EXPECT_STREQ("Can't perform operation.", KelGetMessageBoxes()[0].strText);
    EXPECT_EQ(31001u, KelGetMessageBoxes()[0].nHelpID);
}

TEST_F(MessageBoxTest, FrameworkExceptionsReportThroughTheMessageBox) {
    CException* e = new CNotSupportedException;
    e->ReportError();
    e->Delete();
    ASSERT_EQ(1u, KelGetMessageBoxes().size());
    EXPECT_STREQ("Unsupported operation was attempted.", KelGetMessageBoxes()[0].strText);
}

TEST_F(MessageBoxTest, BeepsAreRecorded) {
    MessageBeep(MB_ICONHAND);
    MessageBeep(0xFFFFFFFF);
    ASSERT_EQ(2u, KelGetBeeps().size());
    EXPECT_EQ(static_cast<UINT>(MB_ICONHAND), KelGetBeeps()[0]);
}

using WaitCursorTest = WinTest;

TEST_F(WaitCursorTest, NestsAndRestoresTheCursorAtTheOutermostEnd) {
    HCURSOR arrow = ::LoadCursor(nullptr, IDC_ARROW);
    HCURSOR wait = ::LoadCursor(nullptr, IDC_WAIT);
    ::SetCursor(arrow);
    CCmdTarget target;
    target.BeginWaitCursor();
    EXPECT_EQ(wait, ::GetCursor());
    {
        CWaitCursor inner;
        EXPECT_EQ(2, AfxGetApp()->m_nWaitCursorCount);
    }
    EXPECT_EQ(wait, ::GetCursor()); // still inside the outer one
    target.EndWaitCursor();
    EXPECT_EQ(arrow, ::GetCursor());

    KelWaitCursorStats stats = KelGetWaitCursorStats();
    EXPECT_EQ(0, stats.nDepth);
    EXPECT_EQ(2, stats.nBegins);
    EXPECT_EQ(2, stats.nMaxDepth);

    // An end without a begin does not leave the count below zero.
    target.EndWaitCursor();
    EXPECT_EQ(0, AfxGetApp()->m_nWaitCursorCount);
    target.BeginWaitCursor();
    EXPECT_EQ(1, AfxGetApp()->m_nWaitCursorCount);
    target.EndWaitCursor();
}

} // namespace

namespace {

using MessageBoxWindowTest = WinTest;

TEST_F(MessageBoxWindowTest, RealBoxAnswersWithTheButtonClickedOrTheKeyPressed) {
    CTraceWnd owner;
    ASSERT_TRUE(owner.CreateTop(CRect(0, 0, 300, 200)));
    // A click on the second button of a Yes/No box; the owner is disabled meanwhile.
    KelQueueModalAction([&](CWnd* pModal) {
        auto* pBox = dynamic_cast<CMessageBoxWnd*>(pModal);
        ASSERT_NE(nullptr, pBox);
        EXPECT_FALSE(owner.IsWindowEnabled());
        ASSERT_EQ(2u, pBox->GetButtons().size());
        Robot().Click(pBox, pBox->GetButtonRect(1).CenterPoint());
    });
    EXPECT_EQ(IDNO, KelRunMessageBoxWindow(owner, "Delete?", "Title", MB_YESNO));
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(owner.m_hWnd, ::GetTopWindow(nullptr)); // the box is gone

    // Enter chooses the default button, Escape cancels, a letter picks its button.
    KelQueueModalAction([](CWnd*) { Robot().Key(VK_RETURN); });
    EXPECT_EQ(IDCANCEL,
              KelRunMessageBoxWindow(owner, "Stop?", "Title", MB_OKCANCEL | MB_DEFBUTTON2));
    KelQueueModalAction([](CWnd*) { Robot().Key(VK_ESCAPE); });
    EXPECT_EQ(IDCANCEL, KelRunMessageBoxWindow(owner, "Stop?", "Title", MB_YESNOCANCEL));
    KelQueueModalAction([](CWnd*) { Robot().Key('R'); });
    EXPECT_EQ(IDRETRY, KelRunMessageBoxWindow(owner, "Again?", "Title", MB_ABORTRETRYIGNORE));
    // A Yes/No box has no Cancel: Escape does nothing and the loop waits on.
    KelQueueModalAction([](CWnd*) {
        Robot().Key(VK_ESCAPE);
        Robot().Key(VK_TAB);
        Robot().Key(VK_SPACE);
    });
    EXPECT_EQ(IDNO, KelRunMessageBoxWindow(owner, "Sure?", "Title", MB_YESNO));
}

} // namespace
