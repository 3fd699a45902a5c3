// The drawing and formatting companion: TranslateValue and pause.
#pragma once

#include "afx.h"
#include "companions/other/Pause.h"
#include "companions/other/TranslateValue.h"
