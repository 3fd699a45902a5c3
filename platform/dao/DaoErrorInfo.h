// CDaoErrorInfo: one error of the database engine, as a CDaoException carries it.
#pragma once

#include "platform/core/String.h"

class CDaoErrorInfo {
public:
    long m_lErrorCode = 0;
    CString m_strSource;
    CString m_strDescription;
    CString m_strHelpFile;
    long m_lHelpContext = 0;
};
