// Dialog 2053: the advanced search, two groups of five criterion rows.
#include "resources/LibraryModule.h"

#include "platform/win/DialogDefs.h"
#include "platform/win/DialogTemplate.h"

void KelRegisterAdvSearchTemplate(HINSTANCE hModule) {
    using I = KelDialogItem;
    KelDialogTemplate dlg;
    dlg.strCaption = "Advanced Search";
    dlg.dwStyle = DS_MODALFRAME | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    dlg.cx = 241;
    dlg.cy = 198;
    static const int kTops[] = {5, 20, 35, 50, 65, 97, 112, 127, 142, 157};
    for (int r = 0; r < 10; ++r) {
        const int id = 9400 + 3 * r;
        dlg.items.push_back(I::ComboBox(id, 5, kTops[r], 73, 120, CBS_DROPDOWNLIST | WS_VSCROLL));
        dlg.items.push_back(
            I::ComboBox(id + 1, 81, kTops[r], 53, 120, CBS_DROPDOWNLIST | WS_VSCROLL));
        dlg.items.push_back(I::EditText(id + 2, 137, kTops[r], 71, 14, ES_AUTOHSCROLL));
    }
    dlg.items.push_back(I::LText("AND", -1, 213, 5, 23, 73));
    dlg.items.push_back(I::LText("AND", -1, 213, 97, 23, 73));
    dlg.items.push_back(I::LText("OR", -1, 5, 82, 203, 13));
    dlg.items.push_back(I::PushButton("&Clear", 5154, 6, 178, 50, 14));
    dlg.items.push_back(I::DefPushButton("OK", IDOK, 132, 178, 50, 14));
    dlg.items.push_back(I::PushButton("Cancel", IDCANCEL, 186, 178, 50, 14));
    AfxSetResource(hModule, RT_DIALOG, MAKEINTRESOURCE(2053), dlg);
}
