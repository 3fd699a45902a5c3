// Message boxes and beeps. In a test every message box is recorded (text, caption, type, help
// ID) and answered without a window by the installed answer (the box's default button unless
// a test sets another); on a display a message box is a real modal dialog window.
#pragma once

#include "platform/core/String.h"

#include <functional>
#include <vector>

// Buttons.
#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_ABORTRETRYIGNORE 0x00000002L
#define MB_YESNOCANCEL 0x00000003L
#define MB_YESNO 0x00000004L
#define MB_RETRYCANCEL 0x00000005L
// Icons.
#define MB_ICONHAND 0x00000010L
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONASTERISK 0x00000040L
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONSTOP MB_ICONHAND
#define MB_ICONINFORMATION MB_ICONASTERISK
// Default button and modality.
#define MB_DEFBUTTON1 0x00000000L
#define MB_DEFBUTTON2 0x00000100L
#define MB_DEFBUTTON3 0x00000200L
#define MB_APPLMODAL 0x00000000L
#define MB_SYSTEMMODAL 0x00001000L
#define MB_TASKMODAL 0x00002000L
#define MB_HELP 0x00004000L
#define MB_SETFOREGROUND 0x00010000L
#define MB_TOPMOST 0x00040000L
#define MB_TYPEMASK 0x0000000FL
#define MB_ICONMASK 0x000000F0L
#define MB_DEFMASK 0x00000F00L
#define MB_MODEMASK 0x00003000L
#define MB_MISCMASK 0x0000C000L

// The system's message box: the ID of the button chosen (IDOK, IDCANCEL, IDYES, ...).
// A NULL caption shows "Error".
int MessageBox(HWND hWnd, LPCTSTR lpText, LPCTSTR lpCaption, UINT uType);
// The box behind both, with a help ID: recorded, then answered or shown.
int KelShowMessageBox(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType,
                      UINT nIDHelp);
// The framework's: the application's title as caption, an icon added by the button kind.
int AFXAPI AfxMessageBox(LPCTSTR lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// The text is string nIDPrompt of the resource chain; the help ID defaults to nIDPrompt.
int AFXAPI AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = (UINT)-1);
// A sound (MB_OK, MB_ICONxxx, or 0xFFFFFFFF); recorded, and played by a display backend.
BOOL MessageBeep(UINT uType);

// One message box as it was shown.
struct KelMessageBoxRecord {
    CString strText;
    CString strCaption;
    UINT nType;   // the box's style, with the icon the framework added
    UINT nHelpID; // 0 when none
    HWND hWndOwner;
    int nResult; // the answer given
};

// The boxes shown so far, oldest first.
const std::vector<KelMessageBoxRecord>& KelGetMessageBoxes();
void KelClearMessageBoxes();
// The answer of the boxes to come: a button ID, or 0 for each box's default button (IDOK for
// an OK box). Stays until changed.
void KelSetMessageBoxAnswer(int nResult);
// Or a function that answers each box; an empty function goes back to the fixed answer.
void KelSetMessageBoxHandler(std::function<int(const KelMessageBoxRecord&)> handler);
// The buttons of a box of that style, in order, and its default one.
std::vector<int> KelMessageBoxButtons(UINT nType);
int KelDefaultMessageBoxButton(UINT nType);

// Beeps so far (their types), oldest first.
const std::vector<UINT>& KelGetBeeps();
void KelClearBeeps();
