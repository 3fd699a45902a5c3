#include "records/ColumnDetails.h"

CColumnDetails::CColumnDetails() {
    init();
}

CColumnDetails::CColumnDetails(const CColumnDetails& src) {
    *this = src;
}

CColumnDetails& CColumnDetails::operator=(const CColumnDetails& src) {
    if (this == &src)
        return *this;
    m_bKey = src.m_bKey;
    m_strName = src.m_strName;
    m_strCaption = src.m_strCaption;
    m_bVisible = src.m_bVisible;
    m_nWidth = src.m_nWidth;
    m_nType = src.m_nType;
    m_nAlign = src.m_nAlign;
    m_bSortable = src.m_bSortable;
    m_crText = src.m_crText;
    m_crBack = src.m_crBack;
    m_nField = src.m_nField;
    m_nOrder = src.m_nOrder;
    m_nImage = src.m_nImage;
    m_nEditMode = src.m_nEditMode;
    m_nFormat = src.m_nFormat;
    return *this;
}

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
