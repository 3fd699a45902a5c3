#include "companions/other/ColorMask.h"

const DWORD ColorMask = RGB(255, 0, 255);
