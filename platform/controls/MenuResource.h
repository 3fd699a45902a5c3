// The data of a menu resource: what a module registers under RT_MENU with
// AfxSetResource(hModule, RT_MENU, MAKEINTRESOURCE(id), KelMenuResource{...}) and LoadMenu
// builds a menu from. Written compactly in source:
//
//   KelMenuResource{{KelMenuItem::Popup("", {
//       KelMenuItem::Popup("&Font Size", {KelMenuItem::Command("8", 22403), ...}),
//       KelMenuItem::Command("&Refresh List", 22402),
//       KelMenuItem::Separator(),
//   })}}
#pragma once

#include "platform/controls/MenuDefs.h"
#include "platform/core/String.h"

#include <initializer_list>
#include <vector>

struct KelMenuItem {
    CString strText; // "&" marks the mnemonic; "\t" separates an accelerator's text
    UINT nID = 0;
    UINT nFlags = 0; // MF_SEPARATOR, MF_POPUP, MF_GRAYED, MF_DISABLED, MF_CHECKED, ...
    std::vector<KelMenuItem> items; // of a popup

    static KelMenuItem Command(LPCTSTR lpszText, UINT nID, UINT nFlags = 0) {
        return KelMenuItem{lpszText, nID, nFlags & ~static_cast<UINT>(MF_POPUP), {}};
    }
    static KelMenuItem Popup(LPCTSTR lpszText, std::initializer_list<KelMenuItem> items,
                             UINT nFlags = 0) {
        return KelMenuItem{lpszText, 0, nFlags | static_cast<UINT>(MF_POPUP), items};
    }
    static KelMenuItem Separator() {
        return KelMenuItem{"", 0, static_cast<UINT>(MF_SEPARATOR), {}};
    }
};

struct KelMenuResource {
    std::vector<KelMenuItem> items;
};
