// Collections: CStringArray, CUIntArray, CByteArray, ...
#pragma once

#include "afx.h"
