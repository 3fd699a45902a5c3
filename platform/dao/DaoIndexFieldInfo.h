// CDaoIndexFieldInfo: one field of an index.
#pragma once

#include "platform/core/String.h"

class CDaoIndexFieldInfo {
public:
    CString m_strName;
    BOOL m_bDescending = FALSE;
};
