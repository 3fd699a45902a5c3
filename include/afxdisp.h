// COleVariant, COleDateTime, COleCurrency.
#pragma once

#include "afx.h"
#include "platform/core/Variant.h"
#include "platform/core/OleCurrency.h"
#include "platform/core/OleDateTime.h"
#include "platform/core/OleVariant.h"
