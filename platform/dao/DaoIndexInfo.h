// CDaoIndexInfo: what GetIndexInfo tells about one index of a table-type recordset.
#pragma once

#include "platform/dao/DaoIndexFieldInfo.h"

#include <vector>

class CDaoIndexInfo {
public:
    CDaoIndexInfo() = default;
    // Copies own their field list: m_pFieldInfos always points into this object.
    CDaoIndexInfo(const CDaoIndexInfo& other);
    CDaoIndexInfo& operator=(const CDaoIndexInfo& other);

    // Replaces the field list (m_pFieldInfos and m_nFields follow).
    void SetFields(std::vector<CDaoIndexFieldInfo> fields);

    // AFX_DAO_PRIMARY_INFO
    CString m_strName;
    CDaoIndexFieldInfo* m_pFieldInfos = NULL;
    short m_nFields = 0;
    // AFX_DAO_SECONDARY_INFO
    BOOL m_bPrimary = FALSE;
    BOOL m_bUnique = FALSE;
    BOOL m_bClustered = FALSE;
    BOOL m_bIgnoreNulls = FALSE;
    BOOL m_bRequired = FALSE;
    BOOL m_bForeign = FALSE;
    // AFX_DAO_ALL_INFO
    long m_lDistinctCount = 0;

private:
    std::vector<CDaoIndexFieldInfo> m_fields;
};
