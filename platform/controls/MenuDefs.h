// Menus behind HMENU: flags, the system's menu functions and the popup menu's tracking.
#pragma once

#include "platform/core/Types.h"

#define MF_INSERT 0x00000000L
#define MF_CHANGE 0x00000080L
#define MF_APPEND 0x00000100L
#define MF_DELETE 0x00000200L
#define MF_REMOVE 0x00001000L
#define MF_BYCOMMAND 0x00000000L
#define MF_BYPOSITION 0x00000400L
#define MF_SEPARATOR 0x00000800L
#define MF_ENABLED 0x00000000L
#define MF_GRAYED 0x00000001L
#define MF_DISABLED 0x00000002L
#define MF_UNCHECKED 0x00000000L
#define MF_CHECKED 0x00000008L
#define MF_USECHECKBITMAPS 0x00000200L
#define MF_STRING 0x00000000L
#define MF_BITMAP 0x00000004L
#define MF_OWNERDRAW 0x00000100L
#define MF_POPUP 0x00000010L
#define MF_MENUBARBREAK 0x00000020L
#define MF_MENUBREAK 0x00000040L
#define MF_UNHILITE 0x00000000L
#define MF_HILITE 0x00000080L
#define MF_DEFAULT 0x00001000L
#define MF_RIGHTJUSTIFY 0x00004000L

#define TPM_LEFTBUTTON 0x0000L
#define TPM_RIGHTBUTTON 0x0002L
#define TPM_LEFTALIGN 0x0000L
#define TPM_CENTERALIGN 0x0004L
#define TPM_RIGHTALIGN 0x0008L
#define TPM_TOPALIGN 0x0000L
#define TPM_VCENTERALIGN 0x0010L
#define TPM_BOTTOMALIGN 0x0020L
#define TPM_HORIZONTAL 0x0000L
#define TPM_VERTICAL 0x0040L
#define TPM_NONOTIFY 0x0080L
#define TPM_RETURNCMD 0x0100L

// The window class of popup menus while they are shown.
#define KEL_MENU_CLASS "#32768"

HMENU CreateMenu();
HMENU CreatePopupMenu();
// Destroys the menu and its submenus; FALSE for a handle that names no menu.
BOOL DestroyMenu(HMENU hMenu);
BOOL IsMenu(HMENU hMenu);
// lpNewItem is the text of an MF_STRING item; with MF_POPUP uIDNewItem is the submenu, which
// the menu then owns.
BOOL AppendMenu(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCTSTR lpNewItem);
BOOL InsertMenu(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCTSTR lpNewItem);
BOOL ModifyMenu(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCTSTR lpNewItem);
// Takes an item out; a submenu is kept (RemoveMenu) or destroyed with it (DeleteMenu).
BOOL RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags);
BOOL DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags);
// -1 for a handle that names no menu.
int GetMenuItemCount(HMENU hMenu);
// 0 for a separator, (UINT)-1 for a submenu or a position past the end.
UINT GetMenuItemID(HMENU hMenu, int nPos);
HMENU GetSubMenu(HMENU hMenu, int nPos);
// The item's flags (for a submenu the item count in the high byte of the low word);
// (UINT)-1 when there is no such item. By command, submenus are searched too.
UINT GetMenuState(HMENU hMenu, UINT uId, UINT uFlags);
int GetMenuString(HMENU hMenu, UINT uIDItem, LPTSTR lpString, int cchMax, UINT flags);
// The item's previous check (MF_CHECKED or MF_UNCHECKED) or enabled state (MF_ENABLED,
// MF_GRAYED, MF_DISABLED); (DWORD)-1 / -1 when there is no such item.
DWORD CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck);
BOOL EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable);
BOOL CheckMenuRadioItem(HMENU hMenu, UINT first, UINT last, UINT check, UINT flags);
// A menu from a RT_MENU resource (a KelMenuResource) of exactly that module.
HMENU LoadMenu(HINSTANCE hInstance, LPCTSTR lpMenuName);

// Shows the popup at (x, y) (screen) for the owner hWnd and tracks it in a loop of its own
// until the user chooses or cancels. The choice is posted to the owner as WM_COMMAND; with
// TPM_RETURNCMD it is returned instead (0 when cancelled).
BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int nReserved, HWND hWnd,
                    LPCRECT prcRect);
// The screen rectangle of an item of a popup being shown; FALSE when it is not shown.
BOOL GetMenuItemRect(HWND hWnd, HMENU hMenu, UINT uItem, LPRECT lprcItem);
// Closes the menu being tracked, as a cancel.
BOOL EndMenu();
