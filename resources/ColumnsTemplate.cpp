// The "Columns" dialog: which of the grid's columns are shown, and in which order.
#include "resources/LibraryModule.h"

#include "platform/win/DialogDefs.h"
#include "platform/win/DialogTemplate.h"

void KelRegisterColumnsTemplate(HINSTANCE hModule) {
    const DWORD dwList =
        LBS_MULTIPLESEL | LBS_NOINTEGRALHEIGHT | WS_VSCROLL; // unsorted, notify, border added
    AfxSetResource(
        hModule, RT_DIALOG, MAKEINTRESOURCE(2052),
        KelDialogTemplate{"Columns",
                          DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU,
                          0,
                          0,
                          274,
                          156,
                          {
                              KelDialogItem::GroupBox("Columns configuration", -1, 7, 4, 260, 127),
                              KelDialogItem::LText("Columns to &HIDE:", -1, 18, 19, 100, 12),
                              KelDialogItem::ListBox(5123, 18, 32, 100, 91, dwList),
                              KelDialogItem::PushButton(">>", 5117, 124, 52, 25, 14),
                              KelDialogItem::PushButton("<<", 5116, 124, 70, 25, 14),
                              KelDialogItem::LText("Columns to &SHOW:", -1, 156, 19, 100, 12),
                              KelDialogItem::ListBox(5124, 156, 32, 100, 75, dwList),
                              KelDialogItem::PushButton("Move &up", 5119, 156, 109, 50, 14),
                              KelDialogItem::PushButton("Move &down", 5120, 206, 109, 50, 14),
                              KelDialogItem::DefPushButton("OK", IDOK, 84, 137, 50, 14),
                              KelDialogItem::PushButton("Cancel", IDCANCEL, 139, 137, 50, 14),
                          }});
}
