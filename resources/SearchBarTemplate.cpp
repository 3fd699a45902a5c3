// Dialog 2051: the search bar (column, operator, criterion or two bounds, Search, All).
#include "resources/LibraryModule.h"

#include "platform/win/DialogTemplate.h"

void KelRegisterSearchBarTemplate(HINSTANCE hModule) {
    using I = KelDialogItem;
    const DWORD kList = CBS_DROPDOWNLIST | WS_VSCROLL;
    // Hidden controls: the same items without WS_VISIBLE.
    auto hidden = [](I item) {
        item.dwStyle &= ~WS_VISIBLE;
        return item;
    };
    AfxSetResource(
        hModule, RT_DIALOG, MAKEINTRESOURCE(2051),
        KelDialogTemplate{"",
                          WS_CHILD,
                          0,
                          0,
                          310,
                          20,
                          {
                              I::ComboBox(9440, 7, 3, 73, 120, kList),
                              I::ComboBox(9430, 82, 3, 53, 120, kList),
                              hidden(I::PushButton("Configure Search...", 9435, 85, 3, 90, 14)),
                              I::EditText(9431, 138, 3, 71, 14, ES_AUTOHSCROLL),
                              hidden(I::EditText(9433, 138, 3, 32, 14, ES_AUTOHSCROLL)),
                              hidden(I::CText("&&", 9432, 170, 6, 8, 8)),
                              hidden(I::EditText(9434, 178, 3, 32, 14, ES_AUTOHSCROLL)),
                              I::DefPushButton("Search", 9438, 214, 3, 49, 14),
                              I::PushButton("All", 9439, 266, 3, 40, 14),
                          }});
}
