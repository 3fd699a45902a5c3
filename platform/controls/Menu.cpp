#include "platform/controls/Menu.h"

#include "platform/core/Resources.h"
#include "platform/win/Wnd.h"

#include <memory>
#include <unordered_map>
#include <vector>

IMPLEMENT_DYNCREATE(CMenu, CObject)

namespace {

// CMenu objects attached to menus (permanent) and the temporary ones FromHandle made.
std::unordered_map<HMENU, CMenu*>& Permanent() {
    static std::unordered_map<HMENU, CMenu*> map;
    return map;
}
// Temporary objects never destroy their menu, not even when the program ends.
struct TemporaryMenus {
    std::unordered_map<HMENU, std::unique_ptr<CMenu>> map;
    ~TemporaryMenus() {
        for (auto& [h, p] : map)
            p->m_hMenu = nullptr;
    }
};
std::unordered_map<HMENU, std::unique_ptr<CMenu>>& Temporary() {
    static TemporaryMenus temps;
    return temps.map;
}

// A temporary object forgets its menu and goes (without destroying the menu).
void DropTemporary(HMENU h) {
    auto& temps = Temporary();
    auto it = temps.find(h);
    if (it != temps.end()) {
        it->second->m_hMenu = nullptr;
        temps.erase(it);
    }
}

} // namespace

CMenu::~CMenu() {
    DestroyMenu();
}

CMenu* PASCAL CMenu::FromHandle(HMENU hMenu) {
    if (hMenu == nullptr || !::IsMenu(hMenu))
        return nullptr;
    auto it = Permanent().find(hMenu);
    if (it != Permanent().end())
        return it->second;
    auto& slot = Temporary()[hMenu];
    if (!slot) {
        slot = std::make_unique<CMenu>();
        slot->m_hMenu = hMenu;
    }
    return slot.get();
}

BOOL CMenu::Attach(HMENU hMenu) {
    if (hMenu == nullptr || m_hMenu != nullptr || Permanent().count(hMenu))
        return FALSE;
    DropTemporary(hMenu);
    m_hMenu = hMenu;
    Permanent()[hMenu] = this;
    return TRUE;
}

HMENU CMenu::Detach() {
    HMENU h = m_hMenu;
    if (h != nullptr) {
        auto it = Permanent().find(h);
        if (it != Permanent().end() && it->second == this)
            Permanent().erase(it);
    }
    m_hMenu = nullptr;
    return h;
}

BOOL CMenu::LoadMenu(LPCTSTR lpszResourceName) {
    HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_MENU);
    return Attach(::LoadMenu(hInst, lpszResourceName));
}

BOOL CMenu::DestroyMenu() {
    if (m_hMenu == nullptr)
        return FALSE;
    // Submenus go with the menu: their temporary objects with them.
    std::vector<HMENU> stack{m_hMenu};
    while (!stack.empty()) {
        HMENU h = stack.back();
        stack.pop_back();
        for (int i = 0, n = ::GetMenuItemCount(h); i < n; ++i) {
            if (HMENU sub = ::GetSubMenu(h, i))
                stack.push_back(sub);
        }
        if (h != m_hMenu)
            DropTemporary(h);
    }
    HMENU h = Detach();
    DropTemporary(h);
    return ::DestroyMenu(h);
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const {
    const int n = ::GetMenuString(m_hMenu, nIDItem, nullptr, 0, nFlags);
    ::GetMenuString(m_hMenu, nIDItem, rString.GetBuffer(n), n + 1, nFlags);
    rString.ReleaseBuffer();
    return rString.GetLength();
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect) {
    return ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0,
                            pWnd != nullptr ? pWnd->GetSafeHwnd() : nullptr, lpRect);
}
