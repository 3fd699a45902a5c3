// The library's own module in the resource chain, known by the file name "KelRSList.dll".
#pragma once

#include "afx.h"

#define KELRSLIST_MODULE_NAME "KelRSList.dll"

// The library module, registered on first use (and when the library is loaded).
HINSTANCE KelGetLibraryModule();

// Fills the library module's string table.
void KelRegisterLibraryStrings(HINSTANCE hModule);
