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

// The grid's context menu (2050), accelerator table (2054) and dialog templates: the search bar
// (2051), "Columns" (2052), "Advanced Search" (2053) and "List" (2058), one file each.
void KelRegisterLibraryMenus(HINSTANCE hModule);
void KelRegisterLibraryAccelerators(HINSTANCE hModule);
void KelRegisterSearchBarTemplate(HINSTANCE hModule);
void KelRegisterColumnsTemplate(HINSTANCE hModule);
void KelRegisterAdvSearchTemplate(HINSTANCE hModule);
void KelRegisterListTemplate(HINSTANCE hModule);
