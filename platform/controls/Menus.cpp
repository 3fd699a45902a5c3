// Menus behind HMENU: creation, items, states, and menus loaded from resources.
#include "platform/controls/MenuData.h"
#include "platform/controls/MenuResource.h"
#include "platform/controls/NativeControl.h"

#include "platform/core/Resources.h"

#include <algorithm>
#include <map>
#include <memory>

namespace kel::ctl {

namespace {

std::map<HMENU, std::unique_ptr<HMENU__>>& Menus() {
    static std::map<HMENU, std::unique_ptr<HMENU__>> menus;
    return menus;
}

HMENU NewMenu(bool popup) {
    auto rec = std::make_unique<HMENU__>();
    rec->popup = popup;
    HMENU h = rec.get();
    Menus().emplace(h, std::move(rec));
    return h;
}

constexpr UINT kStateBits = MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT |
                            MF_MENUBREAK | MF_MENUBARBREAK | MF_RIGHTJUSTIFY;

// Makes an item from the flags of AppendMenu and its kin; FALSE for kinds not carried here.
bool MakeItem(HMENU__::Item& item, UINT uFlags, UINT_PTR uIDNewItem, LPCTSTR lpNewItem) {
    if (uFlags & (MF_BITMAP | MF_OWNERDRAW))
        return false;
    item.flags = uFlags & (kStateBits | MF_POPUP | MF_SEPARATOR);
    item.text.Empty();
    item.sub = nullptr;
    item.id = 0;
    if (uFlags & MF_SEPARATOR)
        return true;
    item.text = lpNewItem ? lpNewItem : "";
    if (uFlags & MF_POPUP) {
        HMENU sub = reinterpret_cast<HMENU>(uIDNewItem);
        if (MenuRec(sub) == nullptr)
            return false;
        MenuRec(sub)->popup = true;
        item.sub = sub;
    } else {
        item.id = static_cast<UINT>(uIDNewItem);
    }
    return true;
}

HMENU Build(const std::vector<KelMenuItem>& items, bool popup) {
    HMENU h = NewMenu(popup);
    for (const KelMenuItem& it : items) {
        BOOL ok = FALSE;
        if (it.nFlags & MF_SEPARATOR)
            ok = ::AppendMenu(h, MF_SEPARATOR, 0, nullptr);
        else if ((it.nFlags & MF_POPUP) || !it.items.empty())
            ok = ::AppendMenu(h, (it.nFlags & kStateBits) | MF_POPUP,
                              reinterpret_cast<UINT_PTR>(Build(it.items, true)), it.strText);
        else
            ok = ::AppendMenu(h, it.nFlags & kStateBits, it.nID, it.strText);
        (void)ok;
    }
    return h;
}

} // namespace

HMENU__* MenuRec(HMENU h) {
    auto it = Menus().find(h);
    return it == Menus().end() ? nullptr : it->second.get();
}

HMENU__::Item* FindMenuItem(HMENU h, UINT uItem, UINT uFlags, HMENU* pOwner, int* pIndex) {
    HMENU__* m = MenuRec(h);
    if (m == nullptr)
        return nullptr;
    if (uFlags & MF_BYPOSITION) {
        if (uItem >= m->items.size())
            return nullptr;
        if (pOwner)
            *pOwner = h;
        if (pIndex)
            *pIndex = static_cast<int>(uItem);
        return &m->items[uItem];
    }
    for (size_t i = 0; i < m->items.size(); ++i) {
        HMENU__::Item& item = m->items[i];
        if (item.sub != nullptr) {
            if (HMENU__::Item* found = FindMenuItem(item.sub, uItem, uFlags, pOwner, pIndex))
                return found;
        } else if (!(item.flags & MF_SEPARATOR) && item.id == uItem) {
            if (pOwner)
                *pOwner = h;
            if (pIndex)
                *pIndex = static_cast<int>(i);
            return &item;
        }
    }
    return nullptr;
}

CString PlainMenuText(const CString& text) {
    CString out;
    const int tab = text.Find('\t');
    const CString label = tab >= 0 ? text.Left(tab) : text;
    for (int i = 0; i < label.GetLength(); ++i) {
        if (label[i] == '&') {
            if (i + 1 < label.GetLength() && label[i + 1] == '&')
                out += '&';
            ++i;
            if (i < label.GetLength() && label[i] != '&')
                out += label[i];
            continue;
        }
        out += label[i];
    }
    return out;
}

} // namespace kel::ctl

using kel::ctl::FindMenuItem;
using kel::ctl::MenuRec;

HMENU CreateMenu() {
    return kel::ctl::NewMenu(false);
}

HMENU CreatePopupMenu() {
    return kel::ctl::NewMenu(true);
}

BOOL DestroyMenu(HMENU hMenu) {
    auto& menus = kel::ctl::Menus();
    auto it = menus.find(hMenu);
    if (it == menus.end())
        return FALSE;
    std::unique_ptr<HMENU__> rec = std::move(it->second);
    menus.erase(it);
    for (const HMENU__::Item& item : rec->items) {
        if (item.sub != nullptr)
            DestroyMenu(item.sub);
    }
    return TRUE;
}

BOOL IsMenu(HMENU hMenu) {
    return MenuRec(hMenu) != nullptr;
}

BOOL AppendMenu(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCTSTR lpNewItem) {
    HMENU__* m = MenuRec(hMenu);
    HMENU__::Item item;
    if (m == nullptr || !kel::ctl::MakeItem(item, uFlags, uIDNewItem, lpNewItem))
        return FALSE;
    m->items.push_back(item);
    return TRUE;
}

BOOL InsertMenu(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCTSTR lpNewItem) {
    HMENU__* m = MenuRec(hMenu);
    HMENU__::Item item;
    if (m == nullptr || !kel::ctl::MakeItem(item, uFlags, uIDNewItem, lpNewItem))
        return FALSE;
    if (uFlags & MF_BYPOSITION) {
        // A position past the end (or -1) appends.
        const size_t at = std::min<size_t>(uPosition, m->items.size());
        m->items.insert(m->items.begin() + static_cast<long>(at), item);
        return TRUE;
    }
    HMENU owner = nullptr;
    int index = 0;
    if (FindMenuItem(hMenu, uPosition, MF_BYCOMMAND, &owner, &index) == nullptr)
        return FALSE;
    HMENU__* om = MenuRec(owner);
    om->items.insert(om->items.begin() + index, item);
    return TRUE;
}

BOOL ModifyMenu(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCTSTR lpNewItem) {
    HMENU__::Item* target = FindMenuItem(hMenu, uPosition, uFlags);
    HMENU__::Item item;
    if (target == nullptr || !kel::ctl::MakeItem(item, uFlags, uIDNewItem, lpNewItem))
        return FALSE;
    if (target->sub != nullptr && target->sub != item.sub)
        DestroyMenu(target->sub);
    *target = item;
    return TRUE;
}

namespace {
BOOL Remove(HMENU hMenu, UINT uPosition, UINT uFlags, bool destroy) {
    HMENU owner = nullptr;
    int index = 0;
    if (FindMenuItem(hMenu, uPosition, uFlags, &owner, &index) == nullptr)
        return FALSE;
    HMENU__* m = MenuRec(owner);
    HMENU sub = m->items[static_cast<size_t>(index)].sub;
    m->items.erase(m->items.begin() + index);
    if (destroy && sub != nullptr)
        DestroyMenu(sub);
    return TRUE;
}
} // namespace

BOOL RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags) {
    return Remove(hMenu, uPosition, uFlags, false);
}

BOOL DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags) {
    return Remove(hMenu, uPosition, uFlags, true);
}

int GetMenuItemCount(HMENU hMenu) {
    HMENU__* m = MenuRec(hMenu);
    return m != nullptr ? static_cast<int>(m->items.size()) : -1;
}

UINT GetMenuItemID(HMENU hMenu, int nPos) {
    HMENU__* m = MenuRec(hMenu);
    if (m == nullptr || nPos < 0 || static_cast<size_t>(nPos) >= m->items.size())
        return static_cast<UINT>(-1);
    const HMENU__::Item& item = m->items[static_cast<size_t>(nPos)];
    if (item.sub != nullptr)
        return static_cast<UINT>(-1);
    return (item.flags & MF_SEPARATOR) ? 0 : item.id;
}

HMENU GetSubMenu(HMENU hMenu, int nPos) {
    HMENU__* m = MenuRec(hMenu);
    if (m == nullptr || nPos < 0 || static_cast<size_t>(nPos) >= m->items.size())
        return nullptr;
    return m->items[static_cast<size_t>(nPos)].sub;
}

UINT GetMenuState(HMENU hMenu, UINT uId, UINT uFlags) {
    const HMENU__::Item* item = FindMenuItem(hMenu, uId, uFlags);
    if (item == nullptr)
        return static_cast<UINT>(-1);
    UINT state = item->flags & (kel::ctl::kStateBits | MF_SEPARATOR);
    if (item->sub != nullptr)
        state = (state & 0xFF) | MF_POPUP | (static_cast<UINT>(GetMenuItemCount(item->sub)) << 8);
    return state;
}

int GetMenuString(HMENU hMenu, UINT uIDItem, LPTSTR lpString, int cchMax, UINT flags) {
    const HMENU__::Item* item = FindMenuItem(hMenu, uIDItem, flags);
    if (item == nullptr)
        return 0;
    const int n = item->text.GetLength();
    if (lpString == nullptr || cchMax <= 0)
        return n;
    return kel::ctl::CopyText(item->text, lpString, cchMax);
}

DWORD CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck) {
    HMENU__::Item* item = FindMenuItem(hMenu, uIDCheckItem, uCheck);
    if (item == nullptr)
        return static_cast<DWORD>(-1);
    const DWORD old = item->flags & MF_CHECKED;
    item->flags = (item->flags & ~static_cast<UINT>(MF_CHECKED)) | (uCheck & MF_CHECKED);
    return old;
}

BOOL EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable) {
    HMENU__::Item* item = FindMenuItem(hMenu, uIDEnableItem, uEnable);
    if (item == nullptr)
        return -1;
    const UINT old = item->flags & (MF_GRAYED | MF_DISABLED);
    item->flags = (item->flags & ~static_cast<UINT>(MF_GRAYED | MF_DISABLED)) |
                  (uEnable & (MF_GRAYED | MF_DISABLED));
    return static_cast<BOOL>(old);
}

BOOL CheckMenuRadioItem(HMENU hMenu, UINT first, UINT last, UINT check, UINT flags) {
    bool found = false;
    if (flags & MF_BYPOSITION) {
        HMENU__* m = MenuRec(hMenu);
        if (m == nullptr || first > last || last >= m->items.size())
            return FALSE;
        for (UINT i = first; i <= last; ++i) {
            HMENU__::Item& item = m->items[i];
            const bool on = i == check;
            item.flags =
                on ? (item.flags | MF_CHECKED) : (item.flags & ~static_cast<UINT>(MF_CHECKED));
            found = found || on;
        }
        return found;
    }
    for (UINT id = first; id <= last; ++id) {
        if (HMENU__::Item* item = FindMenuItem(hMenu, id, MF_BYCOMMAND)) {
            const bool on = id == check;
            item->flags =
                on ? (item->flags | MF_CHECKED) : (item->flags & ~static_cast<UINT>(MF_CHECKED));
            found = found || on;
        }
        if (id == 0xFFFFFFFFu)
            break;
    }
    return found;
}

HMENU LoadMenu(HINSTANCE hInstance, LPCTSTR lpMenuName) {
    if (hInstance == nullptr)
        hInstance = AfxGetResourceHandle();
    const auto* res = AfxGetResourceData<KelMenuResource>(hInstance, RT_MENU, lpMenuName);
    if (res == nullptr)
        return nullptr;
    return kel::ctl::Build(res->items, false);
}
