// CCmdUI: one command-user-interface object (a menu item, a toolbar button, a dialog
// control) being asked whether it is enabled, checked, and what it says. Update handlers
// (ON_UPDATE_COMMAND_UI) receive it on idle.
#pragma once

#include "platform/core/Types.h"

class CCmdTarget;
class CMenu;
class CWnd;

class CCmdUI {
public:
    CCmdUI();
    virtual ~CCmdUI() = default;

    UINT m_nID;
    UINT m_nIndex;
    CMenu* m_pMenu; // set when the object is a menu item (menus handle those themselves)
    CMenu* m_pSubMenu;
    CWnd* m_pOther; // set when it is a window (a control, a bar)
    CMenu* m_pParentMenu;
    BOOL m_bEnableChanged;
    BOOL m_bContinueRouting;
    UINT m_nIndexMax;

    virtual void Enable(BOOL bOn = TRUE);
    // 0 unchecked, 1 checked, 2 indeterminate.
    virtual void SetCheck(int nCheck = 1);
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCTSTR lpszText);
    // The handler did not decide: routing goes on to the next command target.
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Asks pTarget's update handlers; without one, a command without a handler is disabled
    // when bDisableIfNoHndler is set. TRUE when a handler answered.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
};
