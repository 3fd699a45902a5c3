// Menus: items and states behind HMENU and CMenu, menus loaded from resources, and popup menus
// tracked with the mouse, the keyboard and a test's modal driver.
#include "ControlTest.h"

#include "platform/win/Backend.h"

namespace {

constexpr UINT IDR_CONTEXT = 3300;

KelMenuResource ContextMenu() {
    return KelMenuResource{{KelMenuItem::Popup(
        "", {KelMenuItem::Popup("&Font Size",
                                {KelMenuItem::Command("8", 22403), KelMenuItem::Command("9", 22404),
                                 KelMenuItem::Command("11", 22405)}),
             KelMenuItem::Command("&Column Configuration...", 22407), KelMenuItem::Separator(),
             KelMenuItem::Command("Show &Background", 22408),
             KelMenuItem::Command("Show &ToolBar\tAlt+T", 22400), KelMenuItem::Separator(),
             KelMenuItem::Command("&Refresh List", 22402)})}};
}

// A window that takes the menu's commands.
class COwnerWnd : public CHostWnd {
public:
    std::vector<UINT> commands;
    int initPopups = 0;

protected:
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override {
        if (message == WM_COMMAND && lParam == 0)
            commands.push_back(LOWORD(wParam));
        if (message == WM_INITMENUPOPUP)
            ++initPopups;
        return CHostWnd::OnWndMsg(message, wParam, lParam, pResult);
    }
};

class MenuTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        hModule = AfxRegisterModule("KelTestMenus.dll");
        AfxSetResource(hModule, RT_MENU, MAKEINTRESOURCE(IDR_CONTEXT), ContextMenu());
        ASSERT_TRUE(owner.CreateHost(CRect(100, 100, 500, 400)));
        ASSERT_TRUE(menu.LoadMenu(IDR_CONTEXT));
        popup = menu.GetSubMenu(0);
        ASSERT_NE(nullptr, popup);
        KelRunUntilIdle();
    }
    void TearDown() override {
        menu.DestroyMenu();
        KelResetWindowSystem();
        AfxUnregisterModule(hModule);
        ControlTest::TearDown();
    }
    // Tracks the popup at a point of the owner; the command (if any) arrives afterwards.
    BOOL Track(UINT flags = TPM_LEFTALIGN | TPM_RIGHTBUTTON) {
        CPoint pt(50, 50);
        owner.ClientToScreen(&pt);
        BOOL r = popup->TrackPopupMenu(flags, pt.x, pt.y, &owner);
        KelRunUntilIdle();
        return r;
    }
    static CPoint ItemCenter(HMENU hMenu, UINT index) {
        CRect rc;
        EXPECT_TRUE(::GetMenuItemRect(nullptr, hMenu, index, &rc));
        return rc.CenterPoint();
    }
    static void QueueKey(UINT vk) {
        KelInputKey(vk, TRUE);
        KelInputKey(vk, FALSE);
    }

    HINSTANCE hModule = nullptr;
    COwnerWnd owner;
    CMenu menu;
    CMenu* popup = nullptr;
};

TEST_F(MenuTest, ItemsAndStates) {
    EXPECT_EQ(7u, popup->GetMenuItemCount());
    EXPECT_EQ(static_cast<UINT>(-1), popup->GetMenuItemID(0)); // a submenu
    EXPECT_EQ(22407u, popup->GetMenuItemID(1));
    EXPECT_EQ(0u, popup->GetMenuItemID(2)); // a separator
    EXPECT_EQ(static_cast<UINT>(-1), popup->GetMenuItemID(9));
    CMenu* sizes = popup->GetSubMenu(0);
    ASSERT_NE(nullptr, sizes);
    EXPECT_EQ(3u, sizes->GetMenuItemCount());
    CString text;
    popup->GetMenuString(0, text, MF_BYPOSITION);
    EXPECT_STREQ("&Font Size", text);

    // By command, items of submenus are found too; the previous state comes back.
    EXPECT_EQ(static_cast<UINT>(MF_UNCHECKED),
              popup->CheckMenuItem(22404, MF_BYCOMMAND | MF_CHECKED));
    EXPECT_EQ(static_cast<UINT>(MF_CHECKED),
              popup->CheckMenuItem(22404, MF_BYCOMMAND | MF_CHECKED));
    EXPECT_EQ(static_cast<UINT>(MF_CHECKED), sizes->GetMenuState(1, MF_BYPOSITION));
    EXPECT_EQ(static_cast<UINT>(MF_ENABLED),
              popup->EnableMenuItem(22408, MF_BYCOMMAND | MF_GRAYED));
    EXPECT_EQ(static_cast<UINT>(MF_GRAYED), popup->GetMenuState(22408, MF_BYCOMMAND));
    EXPECT_EQ(static_cast<UINT>(MF_GRAYED), popup->EnableMenuItem(3, MF_BYPOSITION | MF_ENABLED));
    EXPECT_EQ(static_cast<UINT>(-1), popup->CheckMenuItem(999, MF_BYCOMMAND | MF_CHECKED));
    EXPECT_EQ(static_cast<UINT>(-1), popup->GetMenuState(999, MF_BYCOMMAND));
    // A submenu's state carries its item count.
    EXPECT_EQ(static_cast<UINT>(MF_POPUP | (3 << 8)), popup->GetMenuState(0, MF_BYPOSITION));
    EXPECT_EQ(static_cast<UINT>(MF_SEPARATOR), popup->GetMenuState(2, MF_BYPOSITION));

    // Removing keeps a submenu alive; deleting destroys it.
    HMENU hSizes = sizes->GetSafeHmenu();
    EXPECT_TRUE(popup->RemoveMenu(0, MF_BYPOSITION));
    EXPECT_TRUE(::IsMenu(hSizes));
    EXPECT_TRUE(popup->InsertMenu(0, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(hSizes),
                                  "&Font Size"));
    EXPECT_TRUE(popup->DeleteMenu(0, MF_BYPOSITION));
    EXPECT_FALSE(::IsMenu(hSizes));
    EXPECT_FALSE(popup->DeleteMenu(22499, MF_BYCOMMAND));

    CMenu made;
    ASSERT_TRUE(made.CreatePopupMenu());
    EXPECT_TRUE(made.AppendMenu(MF_STRING, 1, "One"));
    EXPECT_FALSE(made.AppendMenu(MF_POPUP, reinterpret_cast<UINT_PTR>(HMENU(nullptr)), "Bad"));
    HMENU h = made.Detach();
    EXPECT_EQ(nullptr, made.m_hMenu);
    EXPECT_TRUE(::DestroyMenu(h));
    EXPECT_FALSE(::DestroyMenu(h));
    CMenu missing;
    EXPECT_FALSE(missing.LoadMenu(4999));
}

TEST_F(MenuTest, DriverChoosesACommandThatArrivesAfterTheMenuCloses) {
    bool seenMenu = false;
    popup->CheckMenuItem(22408, MF_BYCOMMAND | MF_CHECKED);
    popup->EnableMenuItem(22407, MF_BYCOMMAND | MF_GRAYED);
    KelQueueModalAction([&](CWnd* pModal) {
        seenMenu = KelIsPopupMenu(pModal) && KelGetTrackedMenu(pModal) == popup->GetSafeHmenu();
        EXPECT_TRUE(pModal->IsWindowVisible());
        Robot().MoveScreen(ItemCenter(popup->GetSafeHmenu(), 4));
        SavePicture(pModal, "menu");
        EXPECT_TRUE(KelChooseMenuCommand(pModal, 22405)); // in the submenu
    });
    EXPECT_TRUE(Track());
    EXPECT_TRUE(seenMenu);
    EXPECT_EQ(std::vector<UINT>({22405}), owner.commands);
    EXPECT_EQ(1, owner.initPopups);

    // By text (without the marks and the accelerator), a grayed item refused, a cancel.
    popup->EnableMenuItem(22407, MF_BYCOMMAND | MF_ENABLED);
    popup->EnableMenuItem(22408, MF_BYCOMMAND | MF_GRAYED);
    KelQueueModalAction([&](CWnd* pModal) {
        EXPECT_FALSE(KelChooseMenuCommand(pModal, 22408));
        EXPECT_FALSE(KelChooseMenuItem(pModal, "Show Background"));
        EXPECT_FALSE(KelChooseMenuCommand(pModal, 12345));
        EXPECT_TRUE(KelChooseMenuItem(pModal, "Show ToolBar"));
    });
    Track();
    KelQueueModalAction([&](CWnd* pModal) { KelCancelMenu(pModal); });
    Track();
    EXPECT_EQ(std::vector<UINT>({22405, 22400}), owner.commands);
    // With TPM_RETURNCMD the choice is the answer and nothing is sent.
    KelQueueModalAction([&](CWnd* pModal) { KelChooseMenuCommand(pModal, 22402); });
    EXPECT_EQ(22402, Track(TPM_RETURNCMD));
    EXPECT_EQ(2u, owner.commands.size());
}

TEST_F(MenuTest, MouseChoosesOpensSubmenusOnHoverAndCancelsElsewhere) {
    KelQueueModalAction([&](CWnd*) {
        Robot robot;
        robot.ClickScreen(ItemCenter(popup->GetSafeHmenu(), 6));
    });
    Track();
    EXPECT_EQ(std::vector<UINT>({22402}), owner.commands);

    // Hovering on the submenu's item opens it after the delay; a click chooses in it.
    KelQueueModalAction([&](CWnd*) {
        Robot robot;
        robot.MoveScreen(ItemCenter(popup->GetSafeHmenu(), 0));
        robot.Wait(500);
        robot.ClickScreen(ItemCenter(popup->GetSubMenu(0)->GetSafeHmenu(), 0));
    });
    Track();
    EXPECT_EQ(std::vector<UINT>({22402, 22403}), owner.commands);

    // A grayed item keeps the menu open; a click elsewhere closes it without a command.
    popup->EnableMenuItem(22407, MF_BYCOMMAND | MF_GRAYED);
    bool stillOpen = false;
    KelQueueModalAction([&](CWnd* pModal) {
        Robot robot;
        robot.ClickScreen(ItemCenter(popup->GetSafeHmenu(), 1));
        stillOpen = pModal->IsWindowVisible() != FALSE;
        robot.ClickScreen(CPoint(5, 5));
    });
    Track();
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(2u, owner.commands.size());

    // The right button chooses with TPM_RIGHTBUTTON only.
    KelQueueModalAction([&](CWnd*) {
        Robot robot;
        robot.PressScreen(ItemCenter(popup->GetSafeHmenu(), 3), Robot::Right);
        robot.ReleaseScreen(ItemCenter(popup->GetSafeHmenu(), 3), Robot::Right);
    });
    Track(TPM_LEFTALIGN | TPM_RIGHTBUTTON);
    EXPECT_EQ(22408u, owner.commands.back());
}

TEST_F(MenuTest, KeyboardMovesChoosesAndUsesMnemonics) {
    // Keys typed while the menu is up go to the menu's own loop.
    KelQueueModalAction([&](CWnd*) {
        QueueKey(VK_DOWN); // the submenu item
        QueueKey(VK_DOWN); // Column Configuration...
        QueueKey(VK_DOWN); // the separator is passed over: Show Background
        QueueKey(VK_RETURN);
    });
    Track();
    EXPECT_EQ(std::vector<UINT>({22408}), owner.commands);

    KelQueueModalAction([&](CWnd*) {
        QueueKey(VK_DOWN);
        QueueKey(VK_RIGHT); // into the submenu, on its first item
        QueueKey(VK_DOWN);
        QueueKey(VK_RETURN);
    });
    Track();
    EXPECT_EQ(22404u, owner.commands.back());

    KelQueueModalAction([&](CWnd*) { QueueKey('R'); }); // &Refresh List
    Track();
    EXPECT_EQ(22402u, owner.commands.back());

    KelQueueModalAction([&](CWnd*) {
        QueueKey(VK_DOWN);
        QueueKey(VK_RIGHT);
        QueueKey(VK_ESCAPE); // closes the submenu only
        QueueKey(VK_ESCAPE); // then the menu
    });
    Track();
    EXPECT_EQ(3u, owner.commands.size());
}

TEST_F(MenuTest, WithoutADriverTheLoopEndsInsteadOfWaitingForever) {
    EXPECT_TRUE(Track());
    EXPECT_TRUE(owner.commands.empty());
    EXPECT_EQ(nullptr, CWnd::GetCapture());
}

} // namespace
