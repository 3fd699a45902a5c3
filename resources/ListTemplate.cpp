// Dialog 2058 "List": the record chooser. A resizable tool window whose only control, the
// black frame 5130, marks where the grid goes.
#include "resources/LibraryModule.h"

#include "afxwin.h"
#include "platform/win/DialogDefs.h"
#include "platform/win/DialogTemplate.h"

void KelRegisterListTemplate(HINSTANCE hModule) {
    AfxSetResource(
        hModule, RT_DIALOG, MAKEINTRESOURCE(2058),
        KelDialogTemplate{"List",
                          DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU |
                              WS_THICKFRAME | WS_CLIPCHILDREN,
                          0,
                          0,
                          240,
                          144,
                          {
                              KelDialogItem::Control("", 5130, "STATIC", WS_VISIBLE | SS_BLACKFRAME,
                                                     0, 0, 239, 144),
                          },
                          "MS Sans Serif",
                          8,
                          WS_EX_TOOLWINDOW});
}
