// CRecordsetDoc: what fields the open dynaset has, and their default presentation.
#include "document/DaoErrorReport.h"
#include "document/RecordsetDoc.h"

using kel::document::ReportDaoException;

namespace {

// Default column width, in average character widths, by DAO type and field size.
UINT DefaultWidth(short nType, long lSize) {
    switch (nType) {
    case dbBoolean:
        return 4;
    case dbByte:
        return 2;
    case dbInteger:
        return 5;
    case dbLong:
    case dbCurrency:
    case dbDouble:
        return 8;
    case dbSingle:
        return 7;
    case dbDate:
        return 10;
    case dbText: {
        if (lSize > 30)
            return 15;
        int nWidth = static_cast<int>(static_cast<double>(lSize) * 2 / 3);
        return nWidth > 0 ? static_cast<UINT>(nWidth) : 10;
    }
    case dbMemo:
        return 15;
    default: // Binary and Long binary are hidden by default, as is anything unknown
        return 0;
    }
}

} // namespace

void CRecordsetDoc::GetFields(CStringArray* pNames, CUIntArray* pWidths,
                              CArray<short, short>* pTypes, CArray<BYTE, BYTE>* pAligns,
                              CArray<int, int>* pSortable, int* pKey) {
    if (!IsOpen() || !m_pRecordset)
        return;
    try {
        const int nFields = m_pRecordset->GetFieldCount();
        if (pNames)
            pNames->SetSize(nFields);
        if (pWidths)
            pWidths->SetSize(nFields);
        if (pTypes)
            pTypes->SetSize(nFields);
        if (pAligns)
            pAligns->SetSize(nFields);
        if (pSortable)
            pSortable->SetSize(nFields);

        // The key: the first field of a table's primary index; field 0 otherwise.
        CString strKey;
        if (pKey && *pKey == -1) {
            if (m_pRecordset->GetType() == dbOpenTable) {
                const int nIndexes = m_pRecordset->GetIndexCount();
                for (int i = 0; i < nIndexes; ++i) {
                    CDaoIndexInfo info;
                    m_pRecordset->GetIndexInfo(i, info, AFX_DAO_SECONDARY_INFO);
                    if (info.m_bPrimary) {
                        if (info.m_nFields > 0 && info.m_pFieldInfos)
                            strKey = info.m_pFieldInfos[0].m_strName;
                        break;
                    }
                }
            }
            if (strKey.IsEmpty())
                *pKey = 0;
        }

        for (int i = 0; i < nFields; ++i) {
            CDaoFieldInfo info;
            m_pRecordset->GetFieldInfo(i, info, AFX_DAO_PRIMARY_INFO);
            if (pNames)
                (*pNames)[i] = info.m_strName;
            if (pWidths)
                (*pWidths)[i] = DefaultWidth(info.m_nType, info.m_lSize);
            if (pTypes)
                (*pTypes)[i] = info.m_nType;
            if (pAligns)
                (*pAligns)[i] = (info.m_nType >= dbByte && info.m_nType <= dbDouble) ? 2 : 0;
            if (pSortable)
                (*pSortable)[i] = info.m_nType == dbMemo ? 0 : 1;
            if (pKey && !strKey.IsEmpty() && info.m_strName == strKey)
                *pKey = i;
        }
    } catch (CDaoException* e) {
        ReportDaoException(e);
    }
}
