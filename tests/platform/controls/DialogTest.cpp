// Dialogs from templates: modal and modeless, dialog units, Tab order, the default button,
// Enter, Escape and mnemonics, data exchange, and a picture.
#include "ControlTest.h"

#include <climits>

namespace {

constexpr UINT IDD_PERSON = 3200;
constexpr int IDC_NAME = 1001, IDC_AGE = 1002, IDC_KIND = 1003, IDC_LIST = 1004, IDC_MEMBER = 1005,
              IDC_APPLY = 1006;

KelDialogTemplate PersonTemplate() {
    return KelDialogTemplate{
        "Person",
        DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE,
        10,
        10,
        200,
        120,
        {
            KelDialogItem::LText("&Name:", -1, 7, 9, 30, 8),
            KelDialogItem::EditText(IDC_NAME, 40, 7, 100, 14, ES_AUTOHSCROLL),
            KelDialogItem::LText("&Age:", -1, 7, 27, 30, 8),
            KelDialogItem::EditText(IDC_AGE, 40, 25, 40, 14, ES_AUTOHSCROLL),
            KelDialogItem::ComboBox(IDC_KIND, 40, 43, 100, 60, CBS_DROPDOWNLIST | WS_VSCROLL),
            KelDialogItem::ListBox(IDC_LIST, 40, 61, 100, 30, LBS_NOINTEGRALHEIGHT | WS_VSCROLL),
            KelDialogItem::CheckBox("&Member", IDC_MEMBER, 40, 95, 60, 10),
            KelDialogItem::DefPushButton("OK", IDOK, 145, 7, 50, 14),
            KelDialogItem::PushButton("Cancel", IDCANCEL, 145, 24, 50, 14),
            KelDialogItem::PushButton("A&pply", IDC_APPLY, 145, 41, 50, 14),
        }};
}

class CPersonDlg : public CDialog {
public:
    explicit CPersonDlg(CWnd* pParent = nullptr) : CDialog(IDD_PERSON, pParent) {}

    CString m_strName = "Ann";
    int m_nAge = 30;
    int m_nKind = 1;
    int m_nMember = 0;
    CComboBox m_combo;
    int m_nApplied = 0;
    int m_nInit = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Control(pDX, IDC_KIND, m_combo);
        DDX_Text(pDX, IDC_NAME, m_strName);
        DDX_Text(pDX, IDC_AGE, m_nAge);
        DDX_CBIndex(pDX, IDC_KIND, m_nKind);
        DDX_Check(pDX, IDC_MEMBER, m_nMember);
    }
    BOOL OnInitDialog() override {
        ++m_nInit;
        // The combo box is filled before the data goes in.
        if (m_combo.m_hWnd == nullptr)
            m_combo.SubclassDlgItem(IDC_KIND, this);
        for (LPCTSTR s : {"Guest", "Member", "Staff"})
            m_combo.AddString(s);
        return CDialog::OnInitDialog();
    }
    afx_msg void OnApply() { ++m_nApplied; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPersonDlg, CDialog)
ON_BN_CLICKED(IDC_APPLY, OnApply)
END_MESSAGE_MAP()

class DialogTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        hModule = AfxRegisterModule("KelTestDialogs.dll");
        AfxSetResource(hModule, RT_DIALOG, MAKEINTRESOURCE(IDD_PERSON), PersonTemplate());
        ASSERT_TRUE(owner.CreateHost(CRect(50, 50, 650, 450), "Owner"));
        KelRunUntilIdle();
    }
    void TearDown() override {
        KelResetWindowSystem();
        AfxUnregisterModule(hModule);
        ControlTest::TearDown();
    }
    static CString FocusText() {
        CWnd* f = CWnd::GetFocus();
        CString s;
        if (f != nullptr)
            f->GetWindowText(s);
        return s;
    }
    HINSTANCE hModule = nullptr;
    CHostWnd owner;
};

TEST_F(DialogTest, ModalDialogTypedIntoAndAcceptedWithEnter) {
    CPersonDlg dlg(&owner);
    bool ownerDisabled = false;
    KelQueueModalAction([&](CWnd* pModal) {
        ASSERT_EQ(&dlg, pModal);
        ownerDisabled = !owner.IsWindowEnabled();
        // The first tab stop has the focus with its text selected; typing replaces it.
        EXPECT_EQ(dlg.GetDlgItem(IDC_NAME), CWnd::GetFocus());
        Robot robot;
        robot.Type("Bob");
        robot.Key(VK_TAB);
        EXPECT_EQ(dlg.GetDlgItem(IDC_AGE), CWnd::GetFocus());
        robot.Type("42");
        robot.Key(VK_TAB); // the combo box
        robot.Key(VK_DOWN);
        robot.Key(VK_TAB); // the list box
        robot.Key(VK_TAB); // the check box
        robot.Key(VK_SPACE);
        robot.Key(VK_RETURN); // the default button
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_EQ(1, dlg.m_nInit);
    EXPECT_STREQ("Bob", dlg.m_strName);
    EXPECT_EQ(42, dlg.m_nAge);
    EXPECT_EQ(2, dlg.m_nKind);
    EXPECT_EQ(1, dlg.m_nMember);
}

TEST_F(DialogTest, EscapeCloseAndCancelLeaveTheMembers) {
    for (int way = 0; way < 3; ++way) {
        CPersonDlg dlg(&owner);
        KelQueueModalAction([&](CWnd*) {
            Robot robot;
            robot.Type("Zed");
            if (way == 0)
                robot.Key(VK_ESCAPE);
            else if (way == 1)
                dlg.SendMessage(WM_CLOSE);
            else
                robot.Click(dlg.GetDlgItem(IDCANCEL), CPoint(5, 5));
        });
        EXPECT_EQ(IDCANCEL, dlg.DoModal()) << way;
        EXPECT_STREQ("Ann", dlg.m_strName) << way;
    }
}

TEST_F(DialogTest, TabOrderDefaultButtonAndMnemonics) {
    CPersonDlg dlg(&owner);
    KelQueueModalAction([&](CWnd*) {
        Robot robot;
        // Shift+Tab goes round backwards: from the first tab stop to the last.
        robot.Key(VK_TAB, Robot::Shift);
        EXPECT_EQ(dlg.GetDlgItem(IDC_APPLY), CWnd::GetFocus());
        // A push button with the focus looks like the default one and takes Enter.
        EXPECT_EQ(static_cast<UINT>(BS_DEFPUSHBUTTON),
                  dlg.GetDlgItem(IDC_APPLY)->GetStyle() & BS_TYPEMASK);
        EXPECT_EQ(static_cast<UINT>(BS_PUSHBUTTON), dlg.GetDlgItem(IDOK)->GetStyle() & BS_TYPEMASK);
        robot.Key(VK_RETURN);
        EXPECT_EQ(1, dlg.m_nApplied);
        // Alt and a label's mnemonic: the control after the label.
        robot.Key('A', Robot::Alt);
        EXPECT_EQ(dlg.GetDlgItem(IDC_AGE), CWnd::GetFocus());
        // The default look is back on OK once the focus left the push buttons.
        EXPECT_EQ(static_cast<UINT>(BS_DEFPUSHBUTTON),
                  dlg.GetDlgItem(IDOK)->GetStyle() & BS_TYPEMASK);
        // A button's mnemonic clicks it, with or without Alt when the focus takes no characters.
        robot.Key('P', Robot::Alt);
        EXPECT_EQ(2, dlg.m_nApplied);
        robot.Key('M', Robot::Alt);
        EXPECT_EQ(BST_CHECKED, dlg.IsDlgButtonChecked(IDC_MEMBER));
        robot.Type("m"); // the check box has the focus and wants no characters
        EXPECT_EQ(BST_UNCHECKED, dlg.IsDlgButtonChecked(IDC_MEMBER));
        // A typed letter in an edit is text, not a mnemonic.
        robot.Key('N', Robot::Alt);
        robot.Type("p");
        EXPECT_EQ(2, dlg.m_nApplied);
        CString name;
        dlg.GetDlgItemText(IDC_NAME, name);
        EXPECT_STREQ("p", name);
        // A disabled default button keeps Enter from ending the dialog.
        dlg.GetDlgItem(IDOK)->EnableWindow(FALSE);
        robot.Key(VK_RETURN);
        EXPECT_NE(nullptr, dlg.m_hWnd);
        EXPECT_TRUE(dlg.IsWindowVisible());
        dlg.GetDlgItem(IDOK)->EnableWindow(TRUE);
        // A disabled Cancel keeps both Escape and the close box from ending it, with a beep.
        dlg.GetDlgItem(IDCANCEL)->EnableWindow(FALSE);
        KelClearBeeps();
        robot.Key(VK_ESCAPE);
        dlg.SendMessage(WM_CLOSE);
        EXPECT_TRUE(dlg.IsWindowVisible());
        EXPECT_EQ(2u, KelGetBeeps().size());
        dlg.GetDlgItem(IDCANCEL)->EnableWindow(TRUE);
        dlg.EndDialog(77);
    });
    EXPECT_EQ(77, dlg.DoModal());
}

TEST_F(DialogTest, BadNumberKeepsTheDialogOpenAndTellsTheUser) {
    CPersonDlg dlg(&owner);
    KelQueueModalAction([&](CWnd*) {
        Robot robot;
        robot.Key(VK_TAB);
        robot.Type("forty");
        robot.Key(VK_RETURN);
        // Told, not closed, and the edit has the focus with its text selected.
        ASSERT_EQ(1u, KelGetMessageBoxes().size());
        EXPECT_STREQ("Please enter an integer.", KelGetMessageBoxes()[0].strText);
        EXPECT_TRUE(dlg.IsWindowVisible());
        EXPECT_EQ(dlg.GetDlgItem(IDC_AGE), CWnd::GetFocus());
        robot.Type("41");
        robot.Key(VK_RETURN);
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(41, dlg.m_nAge);
}

// Whole numbers of three types: each is checked against its own type's range and sign.
class CNumbersDlg : public CDialog {
public:
    int m_nInt = 0;
    UINT m_nUint = 0;
    long m_lLong = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override {
        DDX_Text(pDX, IDC_NAME, m_nInt);
        DDX_Text(pDX, IDC_AGE, m_nUint);
        DDX_Text(pDX, IDC_APPLY, m_lLong);
    }
};

TEST_F(DialogTest, WholeNumbersKeepToTheRangeAndSignOfTheirType) {
    const KelDialogTemplate numbers("Numbers", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 120, 60,
                                    {KelDialogItem::EditText(IDC_NAME, 5, 5, 100, 12),
                                     KelDialogItem::EditText(IDC_AGE, 5, 20, 100, 12),
                                     KelDialogItem::EditText(IDC_APPLY, 5, 35, 100, 12)});
    CNumbersDlg dlg;
    ASSERT_TRUE(dlg.CreateIndirect(&numbers, &owner));
    auto store = [&](LPCTSTR i, LPCTSTR u, LPCTSTR l) {
        dlg.SetDlgItemText(IDC_NAME, i);
        dlg.SetDlgItemText(IDC_AGE, u);
        dlg.SetDlgItemText(IDC_APPLY, l);
        KelClearMessageBoxes();
        return dlg.UpdateData(TRUE) != FALSE;
    };
    // The extremes of each type pass, blanks and a plus sign allowed.
    CString longMin;
    longMin.Format("%ld", LONG_MIN);
    ASSERT_TRUE(store("-2147483648", " +4294967295 ", longMin));
    EXPECT_EQ(INT_MIN, dlg.m_nInt);
    EXPECT_EQ(4294967295u, dlg.m_nUint);
    EXPECT_EQ(LONG_MIN, dlg.m_lLong);
    EXPECT_TRUE(KelGetMessageBoxes().empty());
    // One past them, or any minus sign for the unsigned one, is told to the user; the member
    // keeps its value and the edit gets the focus.
    dlg.m_nUint = 5;
    for (LPCTSTR bad : {"4294967296", "-1", "-0"}) {
        EXPECT_FALSE(store("0", bad, "0")) << bad;
        ASSERT_EQ(1u, KelGetMessageBoxes().size()) << bad;
        EXPECT_STREQ("Please enter a positive integer.", KelGetMessageBoxes()[0].strText);
        EXPECT_EQ(5u, dlg.m_nUint) << bad;
        EXPECT_EQ(dlg.GetDlgItem(IDC_AGE), CWnd::GetFocus()) << bad;
    }
    EXPECT_FALSE(store("2147483648", "0", "0"));
    ASSERT_EQ(1u, KelGetMessageBoxes().size());
    EXPECT_STREQ("Please enter an integer.", KelGetMessageBoxes()[0].strText);
    // Into the controls: the unsigned value is not shown as a negative one.
    dlg.m_nUint = 4294967295u;
    dlg.UpdateData(FALSE);
    CString text;
    dlg.GetDlgItemText(IDC_AGE, text);
    EXPECT_STREQ("4294967295", text);
    dlg.DestroyWindow();
}

TEST_F(DialogTest, ControlsArePlacedInDialogUnitsOfTheTemplateFont) {
    CPersonDlg dlg(&owner);
    ASSERT_TRUE(dlg.Create(IDD_PERSON, &owner));
    CRect units(40, 25, 80, 39); // the age edit
    dlg.MapDialogRect(&units);
    CRect rc;
    dlg.GetDlgItem(IDC_AGE)->GetWindowRect(&rc);
    dlg.ScreenToClient(&rc);
    EXPECT_EQ(units, rc);
    // The font's base units: a 6-pixel average width and a 12-pixel line for 8 points.
    CRect one(0, 0, 4, 8);
    dlg.MapDialogRect(&one);
    EXPECT_EQ(CRect(0, 0, 6, 12), one);
    CRect client;
    dlg.GetClientRect(&client);
    EXPECT_EQ(CSize(300, 180), client.Size());
    // Every control speaks the dialog's font.
    EXPECT_EQ(dlg.SendMessage(WM_GETFONT), dlg.GetDlgItem(IDC_KIND)->SendMessage(WM_GETFONT));
    // Modeless: the template's WS_VISIBLE shows it; the data went into the controls.
    EXPECT_TRUE(dlg.IsWindowVisible());
    CString name;
    dlg.GetDlgItemText(IDC_NAME, name);
    EXPECT_STREQ("Ann", name);
    EXPECT_EQ(1, static_cast<int>(dlg.m_combo.GetCurSel()));
    dlg.SetDlgItemInt(IDC_AGE, 55);
    BOOL ok = FALSE;
    EXPECT_EQ(55u, dlg.GetDlgItemInt(IDC_AGE, &ok));
    EXPECT_TRUE(ok);
    dlg.CheckDlgButton(IDC_MEMBER, BST_CHECKED);
    EXPECT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(55, dlg.m_nAge);
    EXPECT_EQ(1, dlg.m_nMember);
    KelRunUntilIdle();
    SavePicture(&dlg, "dialog");
    dlg.DestroyWindow();
}

TEST_F(DialogTest, MissingTemplateOrUnknownControlClassFailsCleanly) {
    CDialog missing(4242u, &owner);
    EXPECT_EQ(-1, missing.DoModal());
    EXPECT_TRUE(owner.IsWindowEnabled());

    KelDialogTemplate broken = PersonTemplate();
    broken.items.push_back(KelDialogItem::Control("", 99, "NoSuchClass", WS_VISIBLE, 0, 0, 10, 10));
    CDialog dlg;
    ASSERT_TRUE(dlg.InitModalIndirect(&broken, &owner));
    EXPECT_EQ(-1, dlg.DoModal());
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_TRUE(owner.IsWindowEnabled());
}

// A control that wants every key (as a grid in a dialog does) and one that filters its
// characters (a subclassed template edit).
class CKeyEater : public CWnd {
public:
    std::vector<UINT> keys;

protected:
    afx_msg UINT OnGetDlgCode() { return DLGC_WANTALLKEYS; }
    afx_msg void OnKeyDown(UINT nChar, UINT, UINT) { keys.push_back(nChar); }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CKeyEater, CWnd)
ON_WM_GETDLGCODE()
ON_WM_KEYDOWN()
END_MESSAGE_MAP()

class CUpperEdit : public CEdit {
protected:
    afx_msg void OnChar(UINT nChar, UINT, UINT) {
        const UINT upper = (nChar >= 'a' && nChar <= 'z') ? nChar - 32 : nChar;
        DefWindowProc(WM_CHAR, upper, 0);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CUpperEdit, CEdit)
ON_WM_CHAR()
END_MESSAGE_MAP()

TEST_F(DialogTest, AControlThatWantsEveryKeyKeepsEnterAndEscape) {
    CPersonDlg dlg(&owner);
    CKeyEater eater;
    KelQueueModalAction([&](CWnd*) {
        ASSERT_TRUE(eater.Create(nullptr, "eater", WS_CHILD | WS_VISIBLE | WS_TABSTOP,
                                 CRect(5, 150, 50, 170), &dlg, 77));
        eater.SetFocus();
        Robot robot;
        robot.Key(VK_RETURN);
        robot.Key(VK_ESCAPE);
        robot.Key(VK_TAB);
        EXPECT_EQ((std::vector<UINT>{VK_RETURN, VK_ESCAPE, VK_TAB}), eater.keys);
        EXPECT_TRUE(dlg.IsWindowVisible());
        dlg.GetDlgItem(IDC_NAME)->SetFocus();
        robot.Key(VK_ESCAPE);
    });
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
}

TEST_F(DialogTest, TemplateControlsCanBeSubclassedAndGivenBack) {
    CPersonDlg dlg(&owner);
    ASSERT_TRUE(dlg.Create(IDD_PERSON, &owner));
    CUpperEdit upper;
    ASSERT_TRUE(upper.SubclassDlgItem(IDC_NAME, &dlg));
    EXPECT_EQ(&upper, CWnd::FromHandlePermanent(upper.m_hWnd));
    upper.SetWindowText("");
    upper.SetFocus();
    Robot robot;
    robot.Type("ab");
    CString text;
    upper.GetWindowText(text);
    EXPECT_STREQ("AB", text);
    HWND h = upper.UnsubclassWindow();
    EXPECT_EQ(nullptr, upper.m_hWnd);
    robot.Type("c");
    CWnd::FromHandle(h)->GetWindowText(text);
    EXPECT_STREQ("ABc", text); // the plain edit again
    dlg.DestroyWindow();
}

// A dialog that ends (or goes) while it initialises.
class CQuitterDlg : public CDialog {
public:
    CQuitterDlg(bool modeless, bool* pDeleted)
        : CDialog(IDD_PERSON), m_bModeless(modeless), m_pDeleted(pDeleted) {}
    ~CQuitterDlg() override {
        if (m_pDeleted != nullptr)
            *m_pDeleted = true;
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        if (m_bModeless)
            DestroyWindow();
        else
            OnCancel();
        return FALSE;
    }
    void PostNcDestroy() override {
        if (m_bModeless)
            delete this;
    }
    bool m_bModeless;
    bool* m_pDeleted;
};

TEST_F(DialogTest, DialogEndingWhileItInitialises) {
    CQuitterDlg modal(false, nullptr);
    EXPECT_EQ(IDCANCEL, modal.DoModal());
    EXPECT_EQ(0, KelGetModalLoopCount()); // no loop ran
    EXPECT_TRUE(owner.IsWindowEnabled());
    bool deleted = false;
    auto* modeless = new CQuitterDlg(true, &deleted);
    EXPECT_FALSE(modeless->Create(IDD_PERSON, &owner));
    EXPECT_TRUE(deleted); // it went with its window; nothing of it was touched afterwards
}

// Command-update handlers of a dialog's controls, run on the modal loop's idle time.
class CIdleDlg : public CPersonDlg {
public:
    using CPersonDlg::CPersonDlg;

protected:
    afx_msg LRESULT OnKickIdle(WPARAM, LPARAM) {
        UpdateDialogControls(this, FALSE);
        return 0;
    }
    afx_msg void OnUpdateApply(CCmdUI* pCmdUI) {
        CString name;
        GetDlgItemText(IDC_NAME, name);
        pCmdUI->Enable(!name.IsEmpty());
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CIdleDlg, CPersonDlg)
ON_MESSAGE(WM_KICKIDLE, OnKickIdle)
ON_UPDATE_COMMAND_UI(IDC_APPLY, OnUpdateApply)
END_MESSAGE_MAP()

TEST_F(DialogTest, IdleTimeUpdatesTheControls) {
    CIdleDlg dlg(&owner);
    dlg.m_strName = "";
    bool enabledAtFirst = true;
    KelQueueModalAction([&](CWnd*) {
        enabledAtFirst = dlg.GetDlgItem(IDC_APPLY)->IsWindowEnabled() != FALSE;
        dlg.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_FALSE(enabledAtFirst);
}

} // namespace
