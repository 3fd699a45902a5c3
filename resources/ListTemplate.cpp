// Dialog 2058 "List": the record chooser. A resizable tool window whose one control, a black
// frame, marks where the grid goes.
#include "resources/LibraryModule.h"

#include "afxwin.h"
#include "platform/win/DialogTemplate.h"

void KelRegisterListTemplate(HINSTANCE hModule) {
    KelDialogTemplate tmpl(
        "List",
        DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
            WS_CLIPCHILDREN,
        0, 0, 240, 144,
        {KelDialogItem::Control("", 5130, "Static", SS_BLACKFRAME | WS_VISIBLE, 0, 0, 239, 144)},
        "MS Sans Serif", 8, WS_EX_TOOLWINDOW);
    AfxSetResource(hModule, RT_DIALOG, MAKEINTRESOURCE(2058), tmpl);
}
