// CArray<TYPE, ARG_TYPE> and the typed arrays.
#pragma once

#include "afx.h"
#include "platform/core/Array.h"
