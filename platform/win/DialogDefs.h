// The dialog manager of the system: dialog styles and messages, dialog units, keyboard
// navigation (Tab, arrows, Enter, Escape, mnemonics) and the dialogs' default processing.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/Messages.h"

struct KelDialogTemplate;

// Dialog styles.
#define DS_ABSALIGN 0x01L
#define DS_SYSMODAL 0x02L
#define DS_3DLOOK 0x04L
#define DS_FIXEDSYS 0x08L
#define DS_NOFAILCREATE 0x10L
#define DS_LOCALEDIT 0x20L
#define DS_SETFONT 0x40L
#define DS_MODALFRAME 0x80L
#define DS_NOIDLEMSG 0x100L
#define DS_SETFOREGROUND 0x200L
#define DS_CONTROL 0x0400L
#define DS_CENTER 0x0800L
#define DS_CENTERMOUSE 0x1000L
#define DS_CONTEXTHELP 0x2000L

// Dialog messages and the answer of DM_GETDEFID.
#define DM_GETDEFID (WM_USER + 0)
#define DM_SETDEFID (WM_USER + 1)
#define DM_REPOSITION (WM_USER + 2)
#define DC_HASDEFID 0x534B

// The class of dialog windows.
#define KEL_DIALOG_CLASS "#32770"

// A dialog made from a template: its controls created, WM_INITDIALOG sent (with lInitParam),
// the focus given, and shown when the template says WS_VISIBLE. NULL when a control cannot be
// made (an unknown class) unless the template says DS_NOFAILCREATE.
HWND CreateDialogIndirectParam(HINSTANCE hInstance, const KelDialogTemplate* lpTemplate,
                               HWND hWndParent, LPARAM lInitParam);
// The same from a template of the resource registry (RT_DIALOG) of exactly that module.
HWND CreateDialogParam(HINSTANCE hInstance, LPCTSTR lpTemplateName, HWND hWndParent,
                       LPARAM lInitParam);
// The default processing of dialog windows (the class procedure of "#32770").
LRESULT DefDlgProc(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam);
// Handles the dialog keys of a message for hDlg or its controls, and dispatches the others;
// FALSE when the message is not for the dialog.
BOOL IsDialogMessage(HWND hDlg, LPMSG lpMsg);
// Ends the dialog with a result: the window is hidden (a modal loop ends on it).
BOOL EndDialog(HWND hDlg, INT_PTR nResult);
// The result EndDialog gave; -1 when none.
INT_PTR KelGetDialogResult(HWND hDlg);
// Dialog units to pixels for the dialog's font: x * base width / 4, y * base height / 8.
BOOL MapDialogRect(HWND hDlg, LPRECT lpRect);
// The base units of the system font: base width in the low word, height in the high word.
LONG GetDialogBaseUnits();
HWND GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious);
HWND GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious);
BOOL CheckRadioButton(HWND hDlg, int nIDFirstButton, int nIDLastButton, int nIDCheckButton);
// The character after the single "&" of a label (before any tab), lower case; 0 for none.
char KelMnemonicOf(LPCTSTR lpszText);
