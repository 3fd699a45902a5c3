#include "platform/core/Resources.h"
#include "platform/core/String.h"

#include <cctype>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The handle is the address of the module record.
struct HINSTANCE__ {
    std::string fileName;
    AfxModuleKind kind;
    std::map<UINT, std::string> strings;
    std::map<std::pair<std::string, std::string>, std::any> slots;
};

namespace {

std::string KeyOf(LPCTSTR name) {
    if (IS_INTRESOURCE(name)) {
        // Appended, not "#" + ...: GCC 12 warns falsely (-Wrestrict) on that form at -O2.
        std::string key(1, '#');
        return key += std::to_string(static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(name)));
    }
    std::string s(name);
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string ProgramName() {
    std::ifstream in("/proc/self/comm");
    std::string name;
    std::getline(in, name);
    return name.empty() ? "application.exe" : name;
}

struct Registry {
    std::vector<std::unique_ptr<HINSTANCE__>> modules; // [0] is the application
    HINSTANCE resourceHandle = nullptr;

    Registry() {
        modules.push_back(std::make_unique<HINSTANCE__>());
        modules[0]->fileName = ProgramName();
        modules[0]->kind = afxApplicationModule;
        resourceHandle = modules[0].get();
    }

    HINSTANCE Find(LPCTSTR name) {
        for (auto& m : modules) {
            if (_tcsicmp(m->fileName.c_str(), name) == 0)
                return m.get();
        }
        return nullptr;
    }

    bool Known(HINSTANCE h) const {
        for (auto& m : modules) {
            if (m.get() == h)
                return true;
        }
        return false;
    }

    // The chain: the resource module, then every other module in registration order.
    std::vector<HINSTANCE> Chain() const {
        std::vector<HINSTANCE> chain{resourceHandle};
        for (auto& m : modules) {
            if (m.get() != resourceHandle)
                chain.push_back(m.get());
        }
        return chain;
    }
};

Registry& Reg() {
    static Registry registry;
    return registry;
}

} // namespace

HINSTANCE AfxRegisterModule(LPCTSTR lpszFileName, AfxModuleKind kind) {
    Registry& r = Reg();
    if (!lpszFileName || !*lpszFileName)
        return nullptr;
    if (kind == afxApplicationModule) {
        r.modules[0]->fileName = lpszFileName;
        return r.modules[0].get();
    }
    if (HINSTANCE h = r.Find(lpszFileName))
        return h;
    auto m = std::make_unique<HINSTANCE__>();
    m->fileName = lpszFileName;
    m->kind = kind;
    r.modules.push_back(std::move(m));
    return r.modules.back().get();
}

void AfxUnregisterModule(HINSTANCE hModule) {
    Registry& r = Reg();
    if (!hModule || hModule == r.modules[0].get())
        return;
    if (r.resourceHandle == hModule)
        r.resourceHandle = r.modules[0].get();
    for (auto it = r.modules.begin(); it != r.modules.end(); ++it) {
        if (it->get() == hModule) {
            r.modules.erase(it);
            return;
        }
    }
}

HMODULE GetModuleHandle(LPCTSTR lpModuleName) {
    if (!lpModuleName)
        return Reg().modules[0].get();
    return Reg().Find(lpModuleName);
}

LPCTSTR AfxGetModuleFileName(HINSTANCE hModule) {
    return hModule && Reg().Known(hModule) ? hModule->fileName.c_str() : nullptr;
}

HINSTANCE AfxGetInstanceHandle() {
    return Reg().modules[0].get();
}

HINSTANCE AfxGetResourceHandle() {
    return Reg().resourceHandle;
}

void AfxSetResourceHandle(HINSTANCE hInstResource) {
    if (hInstResource && Reg().Known(hInstResource))
        Reg().resourceHandle = hInstResource;
}

void AfxSetStringResource(HINSTANCE hModule, UINT nID, LPCTSTR lpszText) {
    if (!hModule || !Reg().Known(hModule))
        return;
    hModule->strings[nID] = lpszText ? lpszText : "";
}

LPCTSTR AfxGetStringResource(HINSTANCE hModule, UINT nID) {
    if (!hModule || !Reg().Known(hModule))
        return nullptr;
    auto it = hModule->strings.find(nID);
    return it == hModule->strings.end() ? nullptr : it->second.c_str();
}

HINSTANCE AfxFindStringResourceHandle(UINT nID) {
    for (HINSTANCE h : Reg().Chain()) {
        if (h->strings.count(nID))
            return h;
    }
    return Reg().resourceHandle;
}

int LoadString(HINSTANCE hInstance, UINT uID, LPTSTR lpBuffer, int cchBufferMax) {
    LPCTSTR text = AfxGetStringResource(hInstance, uID);
    if (!text || !lpBuffer || cchBufferMax <= 0)
        return 0;
    lstrcpyn(lpBuffer, text, cchBufferMax);
    return lstrlen(lpBuffer);
}

void AfxSetResource(HINSTANCE hModule, LPCTSTR lpszType, LPCTSTR lpszName, std::any data) {
    if (!hModule || !Reg().Known(hModule) || !lpszType || !lpszName)
        return;
    hModule->slots[{KeyOf(lpszType), KeyOf(lpszName)}] = std::move(data);
}

const std::any* AfxGetResource(HINSTANCE hModule, LPCTSTR lpszType, LPCTSTR lpszName) {
    if (!hModule || !Reg().Known(hModule) || !lpszType || !lpszName)
        return nullptr;
    auto it = hModule->slots.find({KeyOf(lpszType), KeyOf(lpszName)});
    return it == hModule->slots.end() ? nullptr : &it->second;
}

HINSTANCE AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType) {
    if (lpszType == RT_STRING && IS_INTRESOURCE(lpszName))
        return AfxFindStringResourceHandle(
            static_cast<UINT>(reinterpret_cast<ULONG_PTR>(lpszName)));
    for (HINSTANCE h : Reg().Chain()) {
        if (AfxGetResource(h, lpszType, lpszName))
            return h;
    }
    return Reg().resourceHandle;
}

HRSRC FindResource(HMODULE hModule, LPCTSTR lpName, LPCTSTR lpType) {
    if (lpType == RT_STRING && IS_INTRESOURCE(lpName))
        return AfxGetStringResource(hModule, static_cast<UINT>(reinterpret_cast<ULONG_PTR>(lpName)))
                   ? hModule
                   : nullptr;
    return AfxGetResource(hModule, lpType, lpName) ? hModule : nullptr;
}
