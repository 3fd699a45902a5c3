// Inside the controls: the menu records behind HMENU. Not a public header.
#pragma once

#include "platform/controls/MenuDefs.h"
#include "platform/core/String.h"

#include <vector>

struct HMENU__ {
    struct Item {
        UINT flags = 0; // MF_ state and kind bits
        UINT id = 0;
        CString text;
        HMENU sub = nullptr;
    };
    std::vector<Item> items;
    bool popup = false;
};

namespace kel::ctl {

// The record of a live menu; NULL for anything else.
HMENU__* MenuRec(HMENU h);
// The item of an MF_BYPOSITION or MF_BYCOMMAND reference (submenus searched by command).
HMENU__::Item* FindMenuItem(HMENU h, UINT uItem, UINT uFlags, HMENU* pOwner = nullptr,
                            int* pIndex = nullptr);
// The item's text without its mnemonic marks and accelerator text.
CString PlainMenuText(const CString& text);

} // namespace kel::ctl
