// Base types, CString, CObject, CRuntimeClass, CException, resources and collections.
#pragma once

#include "platform/core/Types.h"
#include "platform/core/String.h"
#include "platform/core/Object.h"
#include "platform/core/Exception.h"
#include "platform/core/Resources.h"
#include "platform/core/Array.h"
