// The resource registry: modules (HINSTANCE) known by file name, each with a string table
// and typed slots (menus, dialog templates, accelerators, toolbars, bitmaps) that the layers
// above fill with compiled-in data and interpret.
//
// The search chain is the framework's: the application's resource module first, then the
// extension modules in the order they were registered.
#pragma once

#include "platform/core/Types.h"

#include <any>

#define RT_CURSOR MAKEINTRESOURCE(1)
#define RT_BITMAP MAKEINTRESOURCE(2)
#define RT_ICON MAKEINTRESOURCE(3)
#define RT_MENU MAKEINTRESOURCE(4)
#define RT_DIALOG MAKEINTRESOURCE(5)
#define RT_STRING MAKEINTRESOURCE(6)
#define RT_ACCELERATOR MAKEINTRESOURCE(9)
#define RT_TOOLBAR MAKEINTRESOURCE(241)

enum AfxModuleKind {
    afxApplicationModule, // the program itself: AfxGetInstanceHandle
    afxExtensionModule    // a library that joins the resource chain
};

// Registers (or finds) a module by file name, compared without case. The application module
// exists from the start under the program's own name.
HINSTANCE AfxRegisterModule(LPCTSTR lpszFileName, AfxModuleKind kind = afxExtensionModule);
// Removes an extension module from the chain (a library unloading); its data is freed.
void AfxUnregisterModule(HINSTANCE hModule);
// NULL: the application module; otherwise the module of that file name, or NULL.
HMODULE GetModuleHandle(LPCTSTR lpModuleName);
LPCTSTR AfxGetModuleFileName(HINSTANCE hModule);

HINSTANCE AfxGetInstanceHandle();
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);

// Strings.
void AfxSetStringResource(HINSTANCE hModule, UINT nID, LPCTSTR lpszText);
LPCTSTR AfxGetStringResource(HINSTANCE hModule, UINT nID); // NULL when absent
HINSTANCE AfxFindStringResourceHandle(UINT nID);
int LoadString(HINSTANCE hInstance, UINT uID, LPTSTR lpBuffer, int cchBufferMax);

// Typed slots. lpszType is one of the RT_ values; lpszName an integer ID
// (MAKEINTRESOURCE) or a name.
void AfxSetResource(HINSTANCE hModule, LPCTSTR lpszType, LPCTSTR lpszName, std::any data);
const std::any* AfxGetResource(HINSTANCE hModule, LPCTSTR lpszType, LPCTSTR lpszName);

template <class T>
const T* AfxGetResourceData(HINSTANCE hModule, LPCTSTR lpszType, LPCTSTR lpszName) {
    const std::any* a = AfxGetResource(hModule, lpszType, lpszName);
    return a ? std::any_cast<T>(a) : nullptr;
}

// The first module of the chain holding that resource; the resource handle when none does.
HINSTANCE AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType);
// The module when it holds the resource, else NULL (the system's test for presence).
HRSRC FindResource(HMODULE hModule, LPCTSTR lpName, LPCTSTR lpType);
