// Inside the window layer: making dialog windows from templates, in two steps so that a CWnd
// (CDialog, CDialogBar) can create the window itself between them. Not a public header.
#pragma once

#include "platform/win/DialogDefs.h"
#include "platform/win/DialogTemplate.h"

namespace kel::win {

// Where and how a dialog window goes: style, extended style, the window's rectangle (screen
// coordinates for a popup, the parent's client coordinates for a child), and its font (owned
// by the dialog once FinishDialog took it).
struct DialogLayout {
    DWORD style = 0;
    DWORD exStyle = 0;
    CRect rect;
    HFONT font = nullptr;
    SIZE base{};
};

// The layout for a template shown for hWndParent; hidden drops WS_VISIBLE (a modal dialog is
// shown by its loop). FALSE when the font cannot be made.
bool PrepareDialog(const KelDialogTemplate& tmpl, HWND hWndParent, bool hidden, DialogLayout& out);
// Frees a layout's font when no window took it.
void DiscardDialog(DialogLayout& layout);
// Completes a dialog window made with a prepared layout: its font and controls, WM_INITDIALOG
// and the focus, and showing it. FALSE when the dialog could not be made or went during its
// initialisation (the window is then destroyed).
bool FinishDialog(HWND hDlg, HINSTANCE hInstance, const KelDialogTemplate& tmpl,
                  DialogLayout& layout, LPARAM lInitParam);
// Registers the dialog class (once).
void EnsureDialogClass();

} // namespace kel::win
