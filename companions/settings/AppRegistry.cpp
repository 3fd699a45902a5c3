#include "companions/settings/AppRegistry.h"
#include "companions/settings/Registry.h"

HKEY AppRegistryRoot = HKEY_CURRENT_USER;
CString AppRegistryPath = "Software\\KelRSList\\";
