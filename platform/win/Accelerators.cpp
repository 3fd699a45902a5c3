// Accelerator tables: keys that become commands before they reach a window.
#include "platform/win/WinApi.h"

#include "platform/core/Resources.h"

#include <map>
#include <memory>
#include <vector>

struct HACCEL__ {
    std::vector<ACCEL> entries;
};

namespace {

// Tables loaded from resources are shared: loading the same resource again gives the same
// handle, as the system does.
std::map<std::pair<HINSTANCE, std::string>, std::unique_ptr<HACCEL__>>& Loaded() {
    static std::map<std::pair<HINSTANCE, std::string>, std::unique_ptr<HACCEL__>> tables;
    return tables;
}

std::map<HACCEL, std::unique_ptr<HACCEL__>>& Created() {
    static std::map<HACCEL, std::unique_ptr<HACCEL__>> tables;
    return tables;
}

std::string KeyOf(LPCTSTR name) {
    if (!IS_INTRESOURCE(name))
        return name;
    // Appended, not "#" + ...: GCC 12 warns falsely (-Wrestrict) on that form at -O2.
    std::string key(1, '#');
    return key += std::to_string(static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
}

bool Known(HACCEL h) {
    if (h == nullptr)
        return false;
    if (Created().count(h))
        return true;
    for (auto& [key, table] : Loaded()) {
        if (table.get() == h)
            return true;
    }
    return false;
}

} // namespace

HACCEL LoadAccelerators(HINSTANCE hInstance, LPCTSTR lpTableName) {
    if (hInstance == nullptr)
        hInstance = AfxGetResourceHandle();
    const auto* data =
        AfxGetResourceData<std::vector<ACCEL>>(hInstance, RT_ACCELERATOR, lpTableName);
    if (data == nullptr)
        return nullptr;
    auto key = std::make_pair(hInstance, KeyOf(lpTableName));
    auto& slot = Loaded()[key];
    if (!slot) {
        slot = std::make_unique<HACCEL__>();
        slot->entries = *data;
    }
    return slot.get();
}

HACCEL CreateAcceleratorTable(LPACCEL paccel, int cAccel) {
    if (paccel == nullptr || cAccel <= 0)
        return nullptr;
    auto table = std::make_unique<HACCEL__>();
    table->entries.assign(paccel, paccel + cAccel);
    HACCEL h = table.get();
    Created().emplace(h, std::move(table));
    return h;
}

BOOL DestroyAcceleratorTable(HACCEL hAccel) {
    return Created().erase(hAccel) != 0;
}

int CopyAcceleratorTable(HACCEL hAccelSrc, LPACCEL lpAccelDst, int cAccelEntries) {
    if (!Known(hAccelSrc))
        return 0;
    const auto& e = hAccelSrc->entries;
    if (lpAccelDst == nullptr)
        return static_cast<int>(e.size());
    int n = std::min(cAccelEntries, static_cast<int>(e.size()));
    for (int i = 0; i < n; ++i)
        lpAccelDst[i] = e[static_cast<size_t>(i)];
    return n;
}

// A key with exactly the accelerator's modifiers (virtual keys), or a character (others),
// becomes WM_COMMAND to hWnd with 1 in the high word of wParam.
int TranslateAccelerator(HWND hWnd, HACCEL hAccTable, LPMSG lpMsg) {
    if (lpMsg == nullptr || !IsWindow(hWnd) || !Known(hAccTable))
        return 0;
    const UINT m = lpMsg->message;
    const bool keyDown = m == WM_KEYDOWN || m == WM_SYSKEYDOWN;
    const bool charMsg = m == WM_CHAR || m == WM_SYSCHAR;
    if (!keyDown && !charMsg)
        return 0;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    const bool alt = GetKeyState(VK_MENU) < 0;
    for (const ACCEL& a : hAccTable->entries) {
        if (a.fVirt & FVIRTKEY) {
            if (!keyDown || a.key != lpMsg->wParam)
                continue;
            if (((a.fVirt & FSHIFT) != 0) != shift || ((a.fVirt & FCONTROL) != 0) != ctrl ||
                ((a.fVirt & FALT) != 0) != alt)
                continue;
        } else {
            if (!charMsg || a.key != lpMsg->wParam)
                continue;
            if (((a.fVirt & FALT) != 0) != alt)
                continue;
        }
        if (!IsWindowEnabled(hWnd))
            return 1; // taken, but a disabled window gets no command
        SendMessage(hWnd, WM_COMMAND, MAKEWPARAM(a.cmd, 1), 0);
        return 1;
    }
    return 0;
}
