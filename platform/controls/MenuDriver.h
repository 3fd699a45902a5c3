// What a test's modal driver does with a popup menu being tracked (TrackPopupMenu hands the
// driver the menu's window): choose a command as a user would, or cancel. A choice of a
// grayed or missing item does nothing and answers FALSE, leaving the menu open.
#pragma once

#include "platform/core/Types.h"

class CWnd;

// Whether the modal window is a popup menu being tracked.
BOOL KelIsPopupMenu(CWnd* pModal);
// The menu shown (the popup passed to TrackPopupMenu); NULL when pModal is not a menu.
HMENU KelGetTrackedMenu(CWnd* pModal);
// Chooses the enabled command nID of the menu or its submenus.
BOOL KelChooseMenuCommand(CWnd* pModal, UINT nID);
// Chooses the first enabled command whose text, without "&" marks and accelerator text,
// is lpszText ("Show &ToolBar" is chosen by "Show ToolBar").
BOOL KelChooseMenuItem(CWnd* pModal, LPCTSTR lpszText);
// Closes the menu without a choice, as Escape does.
void KelCancelMenu(CWnd* pModal);
