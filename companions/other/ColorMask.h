// ColorMask: the colour that stands for "transparent" in button images (fuchsia,
// RGB(255, 0, 255)); the library's own button strip is drawn on it.
#pragma once

#include "afx.h"

extern const DWORD ColorMask;
