// CDaoFieldInfo: what GetFieldInfo tells about one field of a recordset.
#pragma once

#include "platform/core/String.h"

class CDaoFieldInfo {
public:
    // AFX_DAO_PRIMARY_INFO
    CString m_strName;
    short m_nType = 0;
    long m_lSize = 0;
    long m_lAttributes = 0;
    // AFX_DAO_SECONDARY_INFO
    short m_nOrdinalPosition = 0;
    BOOL m_bRequired = FALSE;
    BOOL m_bAllowZeroLength = FALSE;
    long m_lCollatingOrder = 0;
    CString m_strForeignName;
    CString m_strSourceField;
    CString m_strSourceTable;
    // AFX_DAO_ALL_INFO
    CString m_strValidationRule;
    CString m_strValidationText;
    CString m_strDefaultValue;
};
