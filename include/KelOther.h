// The drawing and formatting companion: CMemDC, the application palette, the mask colour of
// button images, TranslateValue and pause.
#pragma once

#include "afx.h"
#include "companions/other/AppPalette.h"
#include "companions/other/ColorMask.h"
#include "companions/other/MemDC.h"
#include "companions/other/Pause.h"
#include "companions/other/TranslateValue.h"
