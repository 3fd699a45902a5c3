// The settings companion: CRegistry and the program's settings root and base path.
#pragma once

#include "afx.h"
#include "companions/settings/AppRegistry.h"
#include "companions/settings/Registry.h"
