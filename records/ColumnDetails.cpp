#include "records/ColumnDetails.h"

CColumnDetails::CColumnDetails() {
    init();
}

// Member by member: a member added later cannot be forgotten in a copy.
CColumnDetails::CColumnDetails(const CColumnDetails&) = default;
CColumnDetails& CColumnDetails::operator=(const CColumnDetails&) = default;
CColumnDetails::~CColumnDetails() = default;

void CColumnDetails::init() {
    m_bKey = FALSE;
    m_strName.Empty();
    m_strCaption.Empty();
    m_bVisible = TRUE;
    m_nWidth = 0;
    m_nType = 0;
    m_nAlign = -1;
    m_bSortable = FALSE;
    m_crText = 0;
    m_crBack = 0;
    m_nField = -1;
    m_nOrder = -1;
    m_nImage = 0;
    m_nEditMode = 1;
    m_nFormat = 0;
}
