// Where a program keeps its settings: the root and the base path that the library puts in
// front of each grid's own key. The host sets both at start-up.
#pragma once

#include "afx.h"

// HKEY_CURRENT_USER unless the host chooses another root.
extern HKEY AppRegistryRoot;
// "Software\\KelRSList\\" unless the host sets its own path (ending in a backslash, since
// a grid's key is appended directly).
extern CString AppRegistryPath;
