// The library's own module in the resource chain, known by the file name "KelRSList.dll".
#pragma once

#include "afx.h"

#define KELRSLIST_MODULE_NAME "KelRSList.dll"

// The library module, registered on first use (and when the library is loaded).
HINSTANCE KelGetLibraryModule();

// Fills the library module's string table.
void KelRegisterLibraryStrings(HINSTANCE hModule);

// The library's bitmaps: the grid's refresh and columns buttons (16 x 16) and the strip of the
// search bar's three button images (search, all, configure search; 16 x 16 each).
#define KELRS_IDB_REFRESH 2055
#define KELRS_IDB_COLUMNS 2056
#define KELRS_IDB_SEARCHBAR 2057
void KelRegisterLibraryBitmaps(HINSTANCE hModule);
